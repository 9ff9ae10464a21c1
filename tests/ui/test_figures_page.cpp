// SPDX-License-Identifier: GPL-3.0-or-later
// The page "Характеристики" over a real record: the default transducer on a coarse grid (20 µm,
// 0.4 ns; the task's own grid for the pictures) run to 10 µs by the engine, its samples appended to the signal window as a run appends
// them. What the page shows: its charts' ranges and axis labels, the clamped capacitance, and the
// figures a stretch cannot support withheld with their reasons.
#include <QRegularExpression>

#include "ElectroFormFixture.h"
#include "TestFormat.h"
#include "app/AppFormat.h"
#include "files/ProfileFile.h"
#include "files/ProjectInputs.h"
#include "main/AppEngine.h"

// Readable failures for Qt strings.
inline void PrintTo(const QString &s, std::ostream *os) {
    *os << s.toStdString();
}

namespace {

class FiguresPage : public ElectroForm {
protected:
    // On the coarse grid, or for the pictures (PEP_SHOTS_DIR set) on the task's own grid, as the
    // README shows it (50,000 steps, a few seconds); by the application's engine, whose task the
    // signal window reads.
    void RunDefaultTask(double until_us) {
        const ProjectOverrides coarse = {{"DeltaX_QNSuperSpin", "20"}, {"DeltaT_QNSuperSpin", "0.4"}};
        EngineInputs in = ReadProjectInputs(
            ProfileFile{}, qEnvironmentVariableIsEmpty("PEP_SHOTS_DIR") ? coarse : ProjectOverrides{},
            TestFormat());
        ASSERT_EQ(Engine.CreateTask(in), "");
        Engine.OnSample = [this](double t, const TSimulationEngine::Sample &v) {
            Form->AppendSignals(t, v[0], v[1], v[2], v[3], v[4], v[5]);
        };
        while (Engine.TimeMicroseconds() < until_us)
            ASSERT_TRUE(Engine.Iterate());
        Engine.OnSample = nullptr;
        Form->Chart->RefreshNow();
    }
    void Calculate() {
        Form->PageControl->setCurrentWidget(Form->FiguresPage);
        QTest::mouseClick(Form->CalculateFiguresBitBtn, Qt::LeftButton);
        Form->ImpedanceChart->RefreshNow();
        Form->PulseChart->RefreshNow();
    }
    void Shot(const QString &name) {
        if (const QString dir = qEnvironmentVariable("PEP_SHOTS_DIR"); !dir.isEmpty()) {
            EXPECT_TRUE(Form->grab().save(dir + QLatin1Char('/') + name));
        }
    }
};

// Every label of the axis, joined, for messages.
QString Labels(const QCPAxis *axis) {
    return axis->tickVectorLabels().toList().join(QLatin1Char('|'));
}

} // namespace

TEST_F(FiguresPage, ThePulseBoxNamesTheChosenSignalBeforeTheFirstCalculation) {
    Form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(Form.get()));
    ASSERT_EQ(Form->TypeRadioGroup->ItemIndex(), 0);
    EXPECT_EQ(Form->PulseBox->title(), QStringLiteral("Импульс U0"));
    ChooseSignal(5);
    EXPECT_EQ(Form->PulseBox->title(), QStringLiteral("Импульс Ipep"));
    // What the box names is what gets computed.
    AppendSteps(400, 1e-8, [](int k) { return std::exp(-0.5 * std::pow((k - 100) / 20.0, 2)); });
    QTest::mouseClick(Form->CalculateFiguresBitBtn, Qt::LeftButton);
    EXPECT_EQ(Form->PulseBox->title(), QStringLiteral("Импульс Ipep"));
    EXPECT_EQ(Form->Figures().Pulse.EnvelopePeak, Form->Figures().Pulse.EnvelopePeak); // computed
    EXPECT_NEAR(Form->Figures().Pulse.EnvelopePeak, 1.0 / 300, 1e-3 / 300);            // Ipep = U0 / 300
    // Afterwards the box names the figures' signal until the next calculation.
    ChooseSignal(0);
    EXPECT_EQ(Form->PulseBox->title(), QStringLiteral("Импульс Ipep"));
    QTest::mouseClick(Form->CalculateFiguresBitBtn, Qt::LeftButton);
    EXPECT_EQ(Form->PulseBox->title(), QStringLiteral("Импульс U0"));
}

TEST_F(FiguresPage, ChartsShowTheBandInPlainNumbersAndC0IsTheClampedCapacitance) {
    Form->resize(900, 560);
    Form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(Form.get()));
    RunDefaultTask(10);
    ChooseSignal(2);
    Calculate();
    const RecordFigures &f = Form->Figures();
    ASSERT_TRUE(f.Impedance.Valid) << f.Impedance.Reason;
    ASSERT_TRUE(f.Pulse.Valid) << f.Pulse.Reason;

    // C0: ε·A/h = 1300 · 8.85 pF/m · 50 mm² / 0.4 mm = 1438.125 pF, within 0.2 %.
    ASSERT_TRUE(f.Impedance.ClampedFound) << f.Impedance.C0Reason;
    EXPECT_NEAR(f.Impedance.C0_pF / 1438.125, 1, 0.002);
    EXPECT_EQ(Form->C0Label->text(), QStringLiteral("C0 (зажатая) = ") +
                                         FormatFloatQ(QStringLiteral("#,##0.0"), f.Impedance.C0_pF) +
                                         QStringLiteral(" пФ"));
    EXPECT_TRUE(Form->C0Label->toolTip().startsWith(QStringLiteral("Емкость зажатой пластины ε·A/h")))
        << Form->C0Label->toolTip().toStdString();
    EXPECT_EQ(Form->LengthLabel->text().indexOf(QStringLiteral("≥")), -1) << Form->LengthLabel->text().toStdString();

    // The pulse spectrum: from 0 to twice the −20 dB band's upper edge, 0 to −60 dB.
    const TChart *pulse = Form->PulseChart;
    ASSERT_TRUE(f.Pulse.Band20Found);
    EXPECT_EQ(pulse->xAxis->range().lower, 0);
    EXPECT_EQ(pulse->xAxis->range().upper, 2 * f.Pulse.High20_MHz);
    EXPECT_LT(pulse->xAxis->range().upper, 0.25 * f.Pulse.Band_fmax_MHz); // not to the −60 dB end
    EXPECT_EQ(pulse->yAxis->range().lower, -60);
    EXPECT_EQ(pulse->yAxis->range().upper, 0);
    // |Z| on decades or round values, the phase from −90° to 90° every 30° in blue on the right.
    const TChart *z = Form->ImpedanceChart;
    EXPECT_EQ(z->yAxis2->range().lower, -100);
    EXPECT_EQ(z->yAxis2->range().upper, 100);
    EXPECT_EQ(Labels(z->yAxis2), QStringLiteral("-90|-60|-30|0|30|60|90"));
    EXPECT_EQ(z->yAxis2->tickLabelColor(), QColor(Qt::blue));
    EXPECT_EQ(z->SeriesColour(TElectroForm::kSeriesPhase), QColor(Qt::blue));
    // Plain numbers on every axis of both charts: the pattern's own text of each tick.
    for (const QCPAxis *axis : {z->xAxis, z->yAxis, z->yAxis2, pulse->xAxis, pulse->yAxis}) {
        SCOPED_TRACE(Labels(axis).toStdString());
        ASSERT_GE(axis->tickVector().size(), 2);
        for (const QString &label : axis->tickVectorLabels())
            EXPECT_TRUE(
                QRegularExpression(QStringLiteral("^-?[0-9\u00A0 ]+([.,][0-9]+)?$")).match(label).hasMatch());
    }
    // The |Z| of this plate lies between 14 and 43 ohms: under a decade, so round values.
    EXPECT_LT(z->yAxis->range().upper / z->yAxis->range().lower, 10);
    EXPECT_GE(z->yAxis->tickVector().size(), 3);
    // A legend names the curves.
    ASSERT_TRUE(z->legend->visible());
    EXPECT_EQ(z->legend->itemCount(), 2);
    EXPECT_EQ(z->Series(TElectroForm::kSeriesPhase)->name(), QStringLiteral("фаза"));
    EXPECT_EQ(pulse->Series(0)->name(), QStringLiteral("спектр Upep"));
    Shot(QStringLiteral("signal-window-figures-default.png"));

    // Between markers inside the echo: no impedance, the pulse's length marked as cut.
    Form->PageControl->setCurrentWidget(Form->SignalsPage);
    EnableMarkers(true);
    Form->Chart->RefreshNow();
    ChooseMarker(0);
    Click(6.3, 0);
    ChooseMarker(1);
    Click(7.0, 0);
    Calculate();
    EXPECT_FALSE(Form->Figures().Impedance.Valid);
    const QString noStart =
        QStringLiteral("Участок не содержит начала возбуждения: импеданс пластины по нему не определяется.");
    for (QLabel *l :
         {Form->FrLabel, Form->FaLabel, Form->ZrLabel, Form->ZaLabel, Form->KeffLabel, Form->C0Label}) {
        EXPECT_TRUE(l->text().endsWith(QStringLiteral("???"))) << l->text().toStdString();
        EXPECT_EQ(l->toolTip(), noStart);
    }
    const PulseFigures &p = Form->Figures().Pulse;
    ASSERT_TRUE(p.Valid && p.DurationClipped);
    EXPECT_EQ(Form->LengthLabel->text(), QStringLiteral("длительность: ≥ ") +
                                             FormatFloatQ(QStringLiteral("#0.000"), p.Duration20_us) +
                                             QStringLiteral(" мкс"));
    EXPECT_EQ(Form->LengthLabel->toolTip(),
              QStringLiteral("Огибающая не спала на 20 дБ у края участка: импульс не короче показанного."));
    Shot(QStringLiteral("signal-window-figures-echo.png"));
}
