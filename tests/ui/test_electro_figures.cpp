// SPDX-License-Identifier: GPL-3.0-or-later
// The page "Характеристики" of the signal window, driven through its button and the markers.
#include <QGroupBox>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <numbers>

#include "ElectroFormFixture.h"
#include "TestFormat.h"
#include "app/AppFormat.h"

// Readable failures for Qt strings.
inline void PrintTo(const QString &s, std::ostream *os) {
    *os << s.toStdString();
}

namespace {

// The number in a readout such as "fc = 4,934 МГц" (the locale's separator), or NaN for "???".
double NumberIn(const QLabel *label) {
    QString t = label->text();
    const int after = std::max(t.indexOf(QLatin1Char('=')), t.indexOf(QLatin1Char(':')));
    const int start = t.indexOf(QRegularExpression(QStringLiteral("[0-9]")), after + 1);
    if (t.contains(QStringLiteral("???")) || start < 0)
        return NAN;
    QString number;
    for (int i = start;
         i < t.size() && (t[i].isDigit() || t[i] == QLatin1Char(',') || t[i] == QLatin1Char('.') ||
                          t[i] == QChar(0x00A0) || t[i] == QLatin1Char(' '));
         ++i)
        number += t[i];
    number.remove(QChar(0x00A0)).remove(QLatin1Char(' ')).replace(QLatin1Char(','), QLatin1Char('.'));
    return number.toDouble();
}

} // namespace

TEST_F(ElectroForm, FiguresOfARecordThroughTheButton) {
    Form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(Form.get()));
    EXPECT_EQ(Form->PageControl->tabText(2), QStringLiteral("Характеристики"));
    Form->PageControl->setCurrentWidget(Form->FiguresPage);
    EXPECT_EQ(Form->FrLabel->text(), QStringLiteral("fr = ???"));

    // A damped sine of 0.31 rad per 10 ns step; Upep = 2 v and Ipep = v / 300: a 600-ohm resistor.
    AppendSteps(4000, 1e-8, [](int k) { return 300 * std::exp(-k * 0.003) * std::sin(k * 0.31); });
    ChooseSignal(0);
    QTest::mouseClick(Form->CalculateFiguresBitBtn, Qt::LeftButton);

    const RecordFigures &f = Form->Figures();
    ASSERT_TRUE(f.Impedance.Valid) << f.Impedance.Reason;
    ASSERT_GT(Form->ImpedanceChart->Count(TElectroForm::kSeriesAbsZ), 10);
    for (int i = 0; i < Form->ImpedanceChart->Count(TElectroForm::kSeriesAbsZ); i += 7) {
        EXPECT_NEAR(Form->ImpedanceChart->YValue(TElectroForm::kSeriesAbsZ, i), 600, 600e-6);
        EXPECT_NEAR(Form->ImpedanceChart->YValue(TElectroForm::kSeriesPhase, i), 0, 1e-4);
    }
    // A resistor has no resonance and no capacitance.
    for (QLabel *l : {Form->FrLabel, Form->FaLabel, Form->KeffLabel, Form->C0Label})
        EXPECT_TRUE(l->text().endsWith(QStringLiteral("???"))) << l->text().toStdString();

    // The pulse: a spectral line at 0.31 / (2 π · 0.01 µs), 0.3 per µs of decay: a Lorentzian whose
    // -6 dB width is √3 · 0.3 / π MHz.
    const double f0 = 0.31 / (2 * std::numbers::pi * 0.01), bw6 = std::sqrt(3.0) * 0.3 / std::numbers::pi;
    EXPECT_EQ(Form->PulseBox->title(), QStringLiteral("Импульс U0"));
    EXPECT_NEAR(NumberIn(Form->PeakLabel), f0, 0.005 * f0) << Form->PeakLabel->text().toStdString();
    EXPECT_NEAR(NumberIn(Form->FcLabel), f0, 0.005 * f0);
    EXPECT_NEAR(NumberIn(Form->Bw6Label), bw6, 0.02 * bw6) << Form->Bw6Label->text().toStdString();
    EXPECT_EQ(Form->FcLabel->text(),
              Dec("fc = ") + FormatFloatQ(QStringLiteral("#0.000"), f.Pulse.fc_MHz) + QStringLiteral(" МГц"));
    EXPECT_LT(NumberIn(Form->EnvelopePeakLabel), 0.15); // the envelope peaks at the start
    EXPECT_EQ(Form->FiguresStretchLabel->text(), Dec("участок 0.000 … 39.990 мкс"));
    // Every readout fits its place on the shown page.
    QCoreApplication::processEvents();
    for (QLabel *l : Form->FiguresPage->findChildren<QLabel *>()) {
        if (!l->wordWrap()) {
            EXPECT_LE(l->fontMetrics().horizontalAdvance(l->text()), l->contentsRect().width())
                << l->text().toStdString();
        }
    }
    if (const QString dir = qEnvironmentVariable("PEP_SHOTS_DIR"); !dir.isEmpty()) {
        EXPECT_TRUE(Form->grab().save(dir + QStringLiteral("/signal-window-figures.png")));
    }

    // Between the markers: only that stretch is analysed.
    Form->PageControl->setCurrentWidget(Form->SignalsPage);
    EnableMarkers(true);
    Form->Diapazon_QNSuperSpin->SetValue(350);
    Form->Chart->RefreshNow();
    ChooseMarker(0);
    Click(10.0, 0);
    ChooseMarker(1);
    Click(20.0, 0);
    const int m1 = Form->Chart->Tag(Form->SeriesMarker1Point());
    const int m2 = Form->Chart->Tag(Form->SeriesMarker2Point());
    ASSERT_NEAR(m1, 1001, 10);
    ASSERT_NEAR(m2, 2001, 10);
    Form->PageControl->setCurrentWidget(Form->FiguresPage);
    QTest::mouseClick(Form->CalculateFiguresBitBtn, Qt::LeftButton);
    EXPECT_EQ(Form->FiguresStretchLabel->text(),
              FormatFloatQ(QStringLiteral("участок #0.000"), Form->Record().Time(m1)) +
                  FormatFloatQ(QStringLiteral(" … #0.000 мкс"), Form->Record().Time(m2)));
    // The stretch starts at marker 1, where the decaying sine is largest.
    EXPECT_NEAR(Form->Figures().Pulse.EnvelopePeak_us, Form->Record().Time(m1), 0.15);
}

TEST_F(ElectroForm, FiguresRefuseAnEmptyRecordAndSaveTheirCurves) {
    Form->show();
    Form->PageControl->setCurrentWidget(Form->FiguresPage);
    QTest::mouseClick(Form->CalculateFiguresBitBtn, Qt::LeftButton);
    EXPECT_EQ(Form->FiguresStretchLabel->text(), QStringLiteral("Шаг по времени должен быть положительным."));
    EXPECT_TRUE(Form->CalculateFiguresBitBtn->isEnabled());

    AppendSteps(2000, 1e-8,
                [](int k) { return std::exp(-0.5 * std::pow((k - 300) / 40.0, 2)) * std::sin(k * 0.3); });
    QTest::mouseClick(Form->CalculateFiguresBitBtn, Qt::LeftButton);
    QTemporaryDir dir;
    const std::pair<TChart *, const char *> charts[] = {{Form->ImpedanceChart, "f_MHz,Z_ohm,phase_deg"},
                                                        {Form->PulseChart, "f_MHz,A_dB"}};
    for (const auto &[chart, header] : charts) {
        const QString path = dir.filePath(QString::fromLatin1(header).left(8) + QStringLiteral(".csv"));
        Form->ChooseDataFile = [&](const QString &) { return path; };
        QContextMenuEvent menu(QContextMenuEvent::Mouse, QPoint(40, 40), chart->mapToGlobal(QPoint(40, 40)));
        QApplication::sendEvent(chart, &menu);
        EXPECT_EQ(Form->MenuChart(), chart);
        Form->SaveDataAction->trigger();
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << header;
        const QStringList lines =
            QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        EXPECT_EQ(lines[0], QString::fromLatin1(header));
        EXPECT_EQ(lines.size() - 1, chart->Count(0));
        EXPECT_EQ(lines[1].split(QLatin1Char(','))[0].toDouble(), chart->XValue(0, 0));
        Form->PopupMenu1->hide();
    }
}
