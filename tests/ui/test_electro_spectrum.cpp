// SPDX-License-Identifier: GPL-3.0-or-later
// The electrical-signal window: spectrum, pictures, looks.
#include "ElectroFormFixture.h"
#include "TestFormat.h"
#include "solver/Yield.h"

TEST_F(ElectroForm, SpectrumOfAPureSinePeaksAtItsFrequency) {
    ShowSignalsPage();
    // 5 MHz, amplitude 2, 2000 samples of 10 ns = 100 whole periods.
    AppendSteps(2000, 1e-8, [](int k) { return 2.0 * std::sin(2 * std::numbers::pi * 5.0 * k * 0.01); });
    TChart *c = Form->Chart;
    EnableMarkers(true);
    Click(-0.5, 0);
    ChooseMarker(1);
    c->RefreshNow();
    Click(c->xAxis->range().upper + c->xAxis->range().size() * 0.02, 0);
    ASSERT_EQ(c->Tag(8), 0);
    ASSERT_EQ(c->Tag(11), 2000);

    Form->PageControl->setCurrentWidget(Form->SpectrPage);
    PressCalculate();
    TChart *s = Form->SpectrChart;
    ASSERT_EQ(s->Count(0), 501);
    EXPECT_TRUE(s->Active(0));
    EXPECT_TRUE(Form->CalculateSpectrBitBtn->isEnabled());
    EXPECT_EQ(s->LeftTitle(), QStringLiteral("В/Гц"));
    int peak = 0;
    for (int k = 1; k < 501; ++k)
        if (s->YValue(0, k) > s->YValue(0, peak))
            peak = k;
    EXPECT_EQ(s->XValue(0, peak), 5.0);
    EXPECT_NEAR(s->YValue(0, peak), 2.0 * 2000 / 2 / 1000, 0.02);

    // Swapping the markers gives the same spectrum.
    std::vector<double> first(501);
    for (int k = 0; k < 501; ++k)
        first[k] = s->YValue(0, k);
    Form->PageControl->setCurrentWidget(Form->SignalsPage);
    QCoreApplication::processEvents();
    c->RefreshNow();
    Click(-0.5, 0); // marker 2 to the head
    ChooseMarker(0);
    Click(c->xAxis->range().upper + c->xAxis->range().size() * 0.02, 0); // marker 1 to the end
    ASSERT_EQ(c->Tag(8), 2000);
    ASSERT_EQ(c->Tag(11), 0);
    PressCalculate();
    for (int k = 0; k < 501; ++k)
        ASSERT_EQ(s->YValue(0, k), first[k]) << k;

    // A current gives amperes per hertz.
    ChooseSignal(4);
    PressCalculate();
    EXPECT_EQ(s->LeftTitle(), QStringLiteral("А/Гц"));
}

TEST_F(ElectroForm, UnmovedMarkersGiveFiveHundredAndOneZerosAndANewTaskEmptiesTheSpectrum) {
    PressCalculate();
    TChart *s = Form->SpectrChart;
    ASSERT_EQ(s->Count(0), 501);
    for (int k = 0; k < 501; ++k) {
        EXPECT_EQ(s->YValue(0, k), 0.0);
        EXPECT_DOUBLE_EQ(s->XValue(0, k), 1.0 + 8.0 * k / 500);
    }
    EXPECT_EQ(s->XValue(0, 0), 1.0);
    EXPECT_EQ(s->XValue(0, 500), 9.0);

    // Width 0: every point at the centre.
    SetCentreAndWidth(3, 0);
    PressCalculate();
    for (int k = 0; k < 501; ++k)
        EXPECT_EQ(s->XValue(0, k), 3.0);

    // A marker beyond the record after a new task.
    ShowSignalsPage();
    AppendSteps(150, 1e-8, [](int k) { return k * 1.0; });
    EnableMarkers(true);
    Click(1.005, 0);
    ASSERT_EQ(Form->Chart->Tag(8), 100);
    Form->ClearSignals();
    PressCalculate();
    EXPECT_EQ(s->Count(0), 0);
    EXPECT_TRUE(Form->CalculateSpectrBitBtn->isEnabled());
}

namespace {
TElectroForm *gForm = nullptr;
int gYields = 0;
bool gButtonDisabledInside = false;
void InterferingYield() {
    if (++gYields != 1)
        return;
    gButtonDisabledInside = !gForm->CalculateSpectrBitBtn->isEnabled();
    // The user picks another signal and builds a new task while the sum runs.
    gForm->TypeRadioGroup->SetItemIndex(3);
    gForm->ClearSignals();
}
} // namespace

TEST_F(ElectroForm, SpectrumIsOfTheStretchAsItWasWhenTheButtonWasPressed) {
    ShowSignalsPage();
    AppendSteps(300, 1e-8, [](int k) { return std::cos(k * 0.3) * 10; });
    TChart *c = Form->Chart;
    EnableMarkers(true);
    Click(0.105, 0);
    ChooseMarker(1);
    Click(2.505, 0);
    ASSERT_EQ(c->Tag(8), 10);
    ASSERT_EQ(c->Tag(11), 250);
    std::vector<double> t, y;
    for (int i = 10; i <= 250; ++i) {
        t.push_back(c->XValue(0, i));
        y.push_back(c->YValue(0, i));
    }
    std::vector<SpectrumPoint> expected;
    ASSERT_TRUE(SpectrumSum(t.data(), y.data(), t.size(), 1, 9, expected));

    gForm = Form.get();
    gYields = 0;
    gButtonDisabledInside = false;
    Engine.Yield().SetHook(&InterferingYield);
    PressCalculate();
    Engine.Yield().SetHook(nullptr);
    EXPECT_GT(gYields, 1);
    EXPECT_TRUE(gButtonDisabledInside);
    EXPECT_TRUE(Form->CalculateSpectrBitBtn->isEnabled());
    EXPECT_EQ(c->Count(0), 1); // the record was cleared meanwhile
    TChart *s = Form->SpectrChart;
    ASSERT_EQ(s->Count(0), 501);
    for (int k = 0; k < 501; ++k)
        ASSERT_EQ(s->YValue(0, k), expected[k].A) << k;
    EXPECT_EQ(s->LeftTitle(), QStringLiteral("В/Гц"));
}

TEST_F(ElectroForm, TheWindowStaysResponsiveWhileTheSpectrumIsComputed) {
    ShowSignalsPage();
    AppendSteps(20000, 1e-8, [](int k) { return std::sin(k * 0.2); });
    EnableMarkers(true);
    ChooseMarker(1);
    Form->Chart->RefreshNow();
    Click(Form->Chart->xAxis->range().upper * 1.02, 0);
    ASSERT_EQ(Form->Chart->Tag(11), 20000);

    // 501 × 20,001 terms; a timer due during the sum fires from the sum's event-loop turns.
    InstallEventYield();
    bool fired = false, disabledWhenFired = false, runningWhenFired = false;
    QTimer::singleShot(20, Form.get(), [&] {
        fired = true;
        disabledWhenFired = !Form->CalculateSpectrBitBtn->isEnabled();
        runningWhenFired = Form->SpectrumRunning();
        ChooseSignal(3); // the user picks a current meanwhile
    });
    PressCalculate();
    Engine.Yield().SetHook(nullptr);
    EXPECT_TRUE(fired);
    EXPECT_TRUE(disabledWhenFired);
    EXPECT_TRUE(runningWhenFired);
    EXPECT_FALSE(Form->SpectrumRunning());
    EXPECT_TRUE(Form->CalculateSpectrBitBtn->isEnabled());
    EXPECT_EQ(Form->TypeRadioGroup->ItemIndex(), 3);
    EXPECT_EQ(Form->SpectrChart->Count(0), 501);
    // The spectrum is the one of the voltage that was shown when the button was pressed.
    EXPECT_EQ(Form->SpectrChart->LeftTitle(), QStringLiteral("В/Гц"));

    // A program that closes stops the sum; the spectrum is left empty.
    InstallEventYield();
    QTimer::singleShot(20, Form.get(), [&] { Form->CancelSpectrum(); });
    PressCalculate();
    Engine.Yield().SetHook(nullptr);
    EXPECT_EQ(Form->SpectrChart->Count(0), 0);
    EXPECT_FALSE(Form->SpectrumRunning());
    EXPECT_TRUE(Form->CalculateSpectrBitBtn->isEnabled());
}

TEST_F(ElectroForm, ClipboardCopyFromTheSpectrumPageHoldsTheSpectrumChart) {
    Form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(Form.get()));
    PressCalculate();
    TChart *s = Form->SpectrChart;
    QApplication::clipboard()->clear();
    QContextMenuEvent menuEvent(QContextMenuEvent::Mouse, QPoint(100, 100), s->mapToGlobal(QPoint(100, 100)));
    QApplication::sendEvent(s, &menuEvent);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(Form->PopupMenu1));
    EXPECT_EQ(Form->MenuChart(), s);
    QTest::mouseClick(Form->PopupMenu1, Qt::LeftButton, {},
                      Form->PopupMenu1->actionGeometry(Form->N3).center());
    const QImage copied = QApplication::clipboard()->image();
    ASSERT_FALSE(copied.isNull());
    EXPECT_EQ(copied.size(), s->size());
    EXPECT_NE(copied.size(), Form->Chart->size());
    EXPECT_EQ(copied.convertToFormat(QImage::Format_RGB32),
              s->Picture().toImage().convertToFormat(QImage::Format_RGB32));
}

TEST_F(ElectroForm, SavingAPictureWritesABitmapUnlessTheNameAsksForPngOrPdf) {
    ShowSignalsPage();
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QString askedTitle, askedFolder;
    QString answer;
    Form->ChoosePictureFile = [&](const QString &title, const QString &folder) {
        askedTitle = title;
        askedFolder = folder;
        return answer;
    };
    QContextMenuEvent menuEvent(QContextMenuEvent::Mouse, QPoint(50, 50),
                                Form->Chart->mapToGlobal(QPoint(50, 50)));
    QApplication::sendEvent(Form->Chart, &menuEvent);
    EXPECT_EQ(Form->MenuChart(), Form->Chart);

    Form->N8->trigger(); // cancelled
    EXPECT_EQ(askedTitle, QStringLiteral("Записаь картинку в файл"));
    EXPECT_EQ(askedFolder, QCoreApplication::applicationDirPath());
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::Files).isEmpty());

    const std::pair<const char *, QByteArray> cases[] = {{"signal.bmp", "BM"},
                                                         {"signal.xyz", "BM"},
                                                         {"signal", "BM"},
                                                         {"signal.png", "\x89PNG"},
                                                         {"signal.PDF", "%PDF"}};
    for (const auto &[name, magic] : cases) {
        answer = dir.filePath(QString::fromLatin1(name));
        Form->N8->trigger();
        QFile file(answer);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << name;
        EXPECT_EQ(file.read(magic.size()), magic) << name;
    }
    const QImage image(dir.filePath(QStringLiteral("signal.png")));
    EXPECT_EQ(image.size(), Form->Chart->size());
    Form->PopupMenu1->hide();
}

TEST_F(ElectroForm, SavingDataWritesTheRecordOrTheSpectrumAsCsv) {
    ShowSignalsPage();
    AppendSteps(200, 1e-8, [](int k) { return 0.5 * k; });
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QString folder;
    QString answer = dir.filePath(QStringLiteral("signals.csv"));
    Form->ChooseDataFile = [&](const QString &f) {
        folder = f;
        return answer;
    };
    const auto readLines = [&] {
        QFile file(answer);
        EXPECT_TRUE(file.open(QIODevice::ReadOnly));
        return QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    };
    QContextMenuEvent onSignals(QContextMenuEvent::Mouse, QPoint(50, 50),
                                Form->Chart->mapToGlobal(QPoint(50, 50)));
    QApplication::sendEvent(Form->Chart, &onSignals);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(Form->PopupMenu1));
    EXPECT_EQ(Form->SaveDataAction->text(), QStringLiteral("Сохранить данные (CSV)"));
    QTest::mouseClick(Form->PopupMenu1, Qt::LeftButton, {},
                      Form->PopupMenu1->actionGeometry(Form->SaveDataAction).center());
    EXPECT_EQ(folder, QCoreApplication::applicationDirPath());
    QStringList lines = readLines();
    ASSERT_EQ(lines.size(), 1 + static_cast<int>(Form->Record().Count()));
    EXPECT_EQ(lines[0], QStringLiteral("t_us,U0_V,U1_V,Upep_V,I0_A,IL_A,Ipep_A"));
    for (int i : {1, 2, 150}) {
        const QStringList cells = lines[i].split(QLatin1Char(','));
        ASSERT_EQ(cells.size(), 7);
        EXPECT_EQ(cells[0].toDouble(), Form->Record().Time(i - 1)) << i;
        for (int sgl = 0; sgl < 6; ++sgl)
            EXPECT_EQ(cells[1 + sgl].toDouble(), Form->Record().Value(sgl, i - 1)) << i;
    }

    PressCalculate();
    answer = dir.filePath(QStringLiteral("spectrum.csv"));
    QContextMenuEvent onSpectrum(QContextMenuEvent::Mouse, QPoint(50, 50),
                                 Form->SpectrChart->mapToGlobal(QPoint(50, 50)));
    QApplication::sendEvent(Form->SpectrChart, &onSpectrum);
    Form->SaveDataAction->trigger();
    lines = readLines();
    const int n = Form->SpectrChart->Count(TElectroForm::kSeriesSpectrum);
    ASSERT_GT(n, 10);
    ASSERT_EQ(lines.size(), 1 + n);
    EXPECT_EQ(lines[0], QStringLiteral("f_MHz,A"));
    const QStringList last = lines[n].split(QLatin1Char(','));
    EXPECT_EQ(last[0].toDouble(), Form->SpectrChart->XValue(TElectroForm::kSeriesSpectrum, n - 1));
    EXPECT_EQ(last[1].toDouble(), Form->SpectrChart->YValue(TElectroForm::kSeriesSpectrum, n - 1));
    Form->PopupMenu1->hide();
}

TEST_F(ElectroForm, RendersBothPagesTidily) {
    TestFormat() = FormatSettings{U',', U'\u00A0'};
    Form = std::make_unique<TElectroForm>(&TestFormat());
    ShowSignalsPage();
    AppendSteps(1500, 1e-8, [](int k) { return 300 * std::exp(-k * 0.003) * std::sin(k * 0.31); });
    EnableMarkers(true);
    Click(0.405, 0);
    ChooseMarker(1);
    Click(6.005, 0);
    QDir().mkpath(QStringLiteral("/tmp/shots"));
    Form->Chart->RefreshNow();
    const QImage signalsShot = Form->grab().toImage();
    EXPECT_TRUE(signalsShot.save(QStringLiteral("/tmp/shots/electro_signals.png")));
    // Marker 2's line is blue on the picture.
    {
        TChart *c = Form->Chart;
        const QPoint at = c->mapTo(Form.get(), PixelOf(c->XValue(10, 0), 300));
        const qreal ratio = signalsShot.devicePixelRatio();
        bool blueFound = false;
        for (int dx = -1; dx <= 1; ++dx)
            blueFound |= signalsShot.pixelColor(QPoint(at.x() + dx, at.y()) * ratio) == QColor(0, 0, 255);
        EXPECT_TRUE(blueFound);
    }
    Form->PageControl->setCurrentWidget(Form->SpectrPage);
    SetCentreAndWidth(5, 10);
    PressCalculate();
    Form->SpectrChart->RefreshNow();
    EXPECT_TRUE(Form->grab().save(QStringLiteral("/tmp/shots/electro_spectrum.png")));
    // The window keeps its size and nothing of the right-hand panel is cut off.
    EXPECT_EQ(Form->size(), QSize(809, 560));
    for (QWidget *w :
         std::initializer_list<QWidget *>{Form->DA_Edit, Form->DT_Edit, Form->ChooseMarkerRadioGroup}) {
        const QRect r(w->mapTo(Form.get(), QPoint(0, 0)), w->size());
        EXPECT_TRUE(Form->rect().contains(r));
    }
}
