// SPDX-License-Identifier: GPL-3.0-or-later
// The electrical-signal window: record, display and markers.
#include <QElapsedTimer>

#include <array>
#include <memory>

#include "ElectroFormFixture.h"
#include "TestFormat.h"
#include "main/AppEngine.h"

namespace {

// The generator with a seventh signal, as a circuit with one more element publishes it.
class TProbedGenerator : public TGeneratorCircuit {
public:
    const std::vector<SignalInfo> &SignalList() const override {
        static const std::vector<SignalInfo> list = [] {
            std::vector<SignalInfo> l = GeneratorSignals();
            l.push_back({"Utest", "V", nullptr});
            return l;
        }();
        return list;
    }
};

} // namespace

// ---------------------------------------------------------------------------------------------

TEST_F(ElectroForm, IsCreatedHiddenWithTheSpectrumPageInFrontAndItsControlsInTheirStartState) {
    TElectroForm &f = *Form;
    EXPECT_FALSE(f.isVisible());
    EXPECT_EQ(f.windowTitle(), QStringLiteral("Электрический сигнал на преобразователе"));
    EXPECT_EQ(f.size(), QSize(809, 560));
    EXPECT_FALSE(f.testAttribute(Qt::WA_QuitOnClose));
    EXPECT_EQ(f.PageControl->currentWidget(), f.SpectrPage);
    EXPECT_EQ(f.PageControl->tabText(0), QStringLiteral("Электрические сигналы ПЭП"));
    EXPECT_EQ(f.PageControl->tabText(1), QStringLiteral("Спектр выбранного сигнала"));
    for (const char *name : {"PageControl", "Middle_F_QNSuperSpin", "Width_F_QNSuperSpin",
                             "Diapazon_QNSuperSpin", "TypeRadioGroup", "ChooseMarkerRadioGroup", "A1_Edit",
                             "T1_Edit", "A2_Edit", "T2_Edit", "DA_Edit", "DT_Edit", "MarkersEnableCheckBox",
                             "Chart", "SpectrChart", "CalculateSpectrBitBtn", "ZoomUnDoButton"})
        EXPECT_NE(f.findChild<QWidget *>(QString::fromLatin1(name)), nullptr) << name;

    EXPECT_EQ(f.Diapazon_QNSuperSpin->GetValue(), 350);
    EXPECT_EQ(f.Diapazon_QNSuperSpin->MaxValue(), 100000);
    EXPECT_EQ(f.Middle_F_QNSuperSpin->GetValue(), 5);
    EXPECT_EQ(f.Width_F_QNSuperSpin->GetValue(), 8);
    EXPECT_EQ(f.Middle_F_QNSuperSpin->MaxValue(), 100000);
    EXPECT_EQ(f.TypeRadioGroup->title(), QStringLiteral("Выбор графика"));
    EXPECT_EQ(f.TypeRadioGroup->Items(),
              (QStringList{QStringLiteral("Напряжение U0"), QStringLiteral("Напряжение U1"),
                           QStringLiteral("Напряжение Upep"), QStringLiteral("Ток I0"),
                           QStringLiteral("Ток IL"), QStringLiteral("Ток Ipep")}));
    EXPECT_EQ(f.TypeRadioGroup->ItemIndex(), 0);
    EXPECT_EQ(f.ChooseMarkerRadioGroup->title(), QStringLiteral("Маркер"));
    EXPECT_EQ(f.ChooseMarkerRadioGroup->Items(),
              (QStringList{QStringLiteral("1 красный"), QStringLiteral("2 синий")}));
    EXPECT_EQ(f.ChooseMarkerRadioGroup->ItemIndex(), 0);
    EXPECT_EQ(f.MarkersEnableCheckBox->text(), QStringLiteral("Использовать маркеры"));
    EXPECT_FALSE(f.MarkersEnableCheckBox->isChecked());
    EXPECT_EQ(f.ZoomUnDoButton->text(), QStringLiteral("Отмена ZOOM"));
    EXPECT_EQ(f.CalculateSpectrBitBtn->text(), QStringLiteral("Расчет спектра"));
    EXPECT_TRUE(f.CalculateSpectrBitBtn->isEnabled());
    for (QLineEdit *e : {f.A1_Edit, f.A2_Edit, f.DA_Edit}) {
        EXPECT_EQ(e->text(), QStringLiteral("  ??? В"));
        EXPECT_TRUE(e->isReadOnly());
    }
    for (QLineEdit *e : {f.T1_Edit, f.T2_Edit, f.DT_Edit})
        EXPECT_EQ(e->text(), QStringLiteral("  ??? мкс"));
    EXPECT_EQ(f.A1_Edit->palette().color(QPalette::Text), QColor(Qt::red));
    EXPECT_EQ(f.T2_Edit->palette().color(QPalette::Text), QColor(0, 0, 255));
    EXPECT_EQ(f.DT_Edit->palette().color(QPalette::Text), QColor(Qt::black));

    const QList<QAction *> menu = f.PopupMenu1->actions();
    ASSERT_EQ(menu.size(), 6);
    EXPECT_EQ(menu[0]->text(), QStringLiteral("Картинка"));
    EXPECT_TRUE(menu[1]->isSeparator());
    EXPECT_EQ(menu[2]->text(), QStringLiteral("Сохранить в буфер"));
    EXPECT_EQ(menu[3]->text(), QStringLiteral("Записать в файл"));
    EXPECT_TRUE(menu[4]->isSeparator());
    EXPECT_EQ(menu[5]->text(), QStringLiteral("Сохранить данные (CSV)"));
    EXPECT_EQ(f.PictureFolder(), QCoreApplication::applicationDirPath());
}

TEST_F(ElectroForm, StartsWithAnEmptyRecordUZeroShownAndMarkersAtTimeZero) {
    TChart *c = Form->Chart;
    ASSERT_EQ(c->SeriesCount(), 12);
    ASSERT_EQ(Form->SpectrChart->SeriesCount(), 1);
    for (int s = 0; s < 6; ++s) {
        ASSERT_EQ(c->Count(s), 1);
        EXPECT_EQ(c->XValue(s, 0), 0.0);
        EXPECT_EQ(c->YValue(s, 0), 0.0);
        EXPECT_EQ(c->Active(s), s == 0) << s;
    }
    EXPECT_EQ(c->FirstShownSeries(), 0);
    EXPECT_EQ(c->BottomTitle(), QStringLiteral("мкс"));
    EXPECT_EQ(c->LeftTitle(), QStringLiteral("В"));
    EXPECT_EQ(c->LeftMinimum(), -350.0);
    EXPECT_EQ(c->LeftMaximum(), 350.0);
    EXPECT_TRUE(c->ZoomAllowed());
    // The marker series are shown although the box is unchecked.
    for (int s = 6; s < 12; ++s)
        EXPECT_TRUE(c->Active(s)) << s;
    EXPECT_EQ(c->Count(6), 1);
    EXPECT_EQ(c->Count(7), 2);
    EXPECT_EQ(c->YValue(7, 0), 350.0);
    EXPECT_EQ(c->YValue(7, 1), -350.0);
    EXPECT_EQ(c->YValue(10, 0), 350.0);
    EXPECT_EQ(c->YValue(10, 1), -350.0);
    EXPECT_EQ(c->Tag(8), 0);
    EXPECT_EQ(c->Tag(11), 0);
    // Marker 1 is drawn red, marker 2 blue; the curves black.
    EXPECT_EQ(c->SeriesColour(6), QColor(Qt::red));
    EXPECT_EQ(c->SeriesColour(7), QColor(Qt::red));
    EXPECT_EQ(c->SeriesColour(9), QColor(0, 0, 255));
    EXPECT_EQ(c->SeriesColour(10), QColor(0, 0, 255));
    EXPECT_EQ(c->SeriesColour(8), QColor(Qt::black));
    EXPECT_EQ(c->SeriesColour(0), QColor(Qt::black));
    EXPECT_EQ(Form->SpectrChart->Count(0), 0);
    EXPECT_EQ(Form->SpectrChart->BottomTitle(), QStringLiteral("МГц"));
    EXPECT_EQ(Form->SpectrChart->LeftTitle(), QString());

    // Cleared the first time the box goes off after having been on.
    EnableMarkers(true);
    EXPECT_FALSE(c->ZoomAllowed());
    EnableMarkers(false);
    EXPECT_TRUE(c->ZoomAllowed());
    for (int s = 6; s < 12; ++s)
        EXPECT_FALSE(c->Active(s)) << s;
}

TEST_F(ElectroForm, AppendsDuringARunRepaintAtMostEveryFiftyMilliseconds) {
    Form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(Form.get()));
    TChart *c = Form->Chart;
    QSignalSpy replots(c, &QCustomPlot::afterReplot);
    Engine.Solver().Dt = 2e-10;
    // A run appends at every step and lets events through every few milliseconds, for 400 ms.
    QElapsedTimer clock;
    clock.start();
    for (int k = 0; clock.elapsed() < 400; ++k) {
        Form->AppendSignals(k * Engine.Solver().Dt * 1e6, k, k, k, k, k, k);
        if (k % 50 == 0)
            QCoreApplication::processEvents();
    }
    QTest::qWait(60);
    EXPECT_GE(replots.count(), 3);
    EXPECT_LE(replots.count(), 400 / 50 + 2);
}

TEST_F(ElectroForm, AppendingGrowsTheRecordWithoutReplottingAtOnceEvenWhileHidden) {
    TChart *c = Form->Chart;
    QSignalSpy replots(c, &QCustomPlot::afterReplot);
    Engine.Solver().Dt = 2e-10;
    Form->AppendSignals(0, 1, 2, 3, 4, 5, 6);
    for (int s = 0; s < 6; ++s) {
        ASSERT_EQ(c->Count(s), 2);
        EXPECT_EQ(c->XValue(s, 0), 0.0);
        EXPECT_EQ(c->XValue(s, 1), 0.0);
        EXPECT_EQ(c->YValue(s, 1), s + 1.0);
    }
    for (int k = 1; k < 1000; ++k)
        Form->AppendSignals(k * Engine.Solver().Dt * 1e6, k, k, k, k, k, k);
    EXPECT_FALSE(Form->isVisible());
    EXPECT_EQ(Form->Record().Count(), 1001u);
    EXPECT_EQ(c->Count(5), 1001);
    EXPECT_DOUBLE_EQ(c->XValue(3, 1000), 999 * 2e-4);
    EXPECT_EQ(replots.count(), 0);
    Form->show();
    QTRY_VERIFY(replots.count() >= 1);
    EXPECT_LE(replots.count(), 2);

    Form->ClearSignals();
    for (int s = 0; s < 6; ++s) {
        ASSERT_EQ(c->Count(s), 1);
        EXPECT_EQ(c->YValue(s, 0), 0.0);
    }
}

TEST_F(ElectroForm, ChoosingASignalShowsItsCurveAloneWithItsUnitAndTheRange) {
    ShowSignalsPage();
    TChart *c = Form->Chart;
    ChooseSignal(5);
    EXPECT_EQ(Form->TypeRadioGroup->ItemIndex(), 5);
    for (int s = 0; s < 6; ++s)
        EXPECT_EQ(c->Active(s), s == 5) << s;
    EXPECT_EQ(c->FirstShownSeries(), 5);
    EXPECT_EQ(c->LeftTitle(), QStringLiteral("А"));
    EXPECT_EQ(c->LeftMinimum(), -350.0);
    EXPECT_EQ(c->LeftMaximum(), 350.0);
    ChooseSignal(2);
    for (int s = 0; s < 6; ++s)
        EXPECT_EQ(c->Active(s), s == 2) << s;
    EXPECT_EQ(c->LeftTitle(), QStringLiteral("В"));

    TypeRange(QStringLiteral("20"));
    EXPECT_EQ(Form->Diapazon_QNSuperSpin->GetValue(), 20);
    EXPECT_EQ(c->LeftMinimum(), -20.0);
    EXPECT_EQ(c->LeftMaximum(), 20.0);
    ChooseSignal(4);
    EXPECT_EQ(c->LeftTitle(), QStringLiteral("А"));
    EXPECT_EQ(c->LeftMinimum(), -20.0);
    EXPECT_EQ(c->LeftMaximum(), 20.0);
    c->RefreshNow();
    EXPECT_EQ(c->yAxis->range().lower, -20.0);
    EXPECT_EQ(c->yAxis->range().upper, 20.0);
}

TEST_F(ElectroForm, DraggingWithoutMarkersZoomsAndUndoZoomRestoresTheAxes) {
    ShowSignalsPage();
    AppendSteps(200, 1e-8, [](int k) { return 100.0 * std::sin(k * 0.1); });
    TChart *c = Form->Chart;
    const QCPRange before = c->xAxis->range();
    Drag(0.5, 1.2, 50, {}, Qt::LeftButton, -100);
    EXPECT_TRUE(c->Zoomed());
    EXPECT_NEAR(c->yAxis->range().upper, 50, 3);
    EXPECT_LT(c->xAxis->range().size(), before.size());
    EXPECT_EQ(c->Tag(8), 0); // no marker moved
    EXPECT_EQ(c->XValue(8, 0), 0.0);
    EXPECT_EQ(Form->A1_Edit->text(), QStringLiteral("  ??? В"));

    // A click in "Диапазон (В) или (А)" brings the vertical range back at once.
    QTest::mouseClick(Form->Diapazon_QNSuperSpin, Qt::LeftButton, {}, QPoint(10, 5));
    c->RefreshNow();
    EXPECT_EQ(c->yAxis->range().lower, -350.0);
    EXPECT_EQ(c->yAxis->range().upper, 350.0);

    QTest::mouseClick(Form->ZoomUnDoButton, Qt::LeftButton);
    EXPECT_FALSE(c->Zoomed());
    EXPECT_TRUE(c->BottomAutomatic());
    c->RefreshNow();
    EXPECT_NEAR(c->xAxis->range().lower, before.lower, 1e-12);
    EXPECT_NEAR(c->xAxis->range().upper, before.upper, 1e-12);
    EXPECT_EQ(c->yAxis->range().lower, -350.0);
    EXPECT_EQ(c->yAxis->range().upper, 350.0);
}

TEST_F(ElectroForm, MarkersSnapByTruncationToTheSampleUnderThePointer) {
    for (const FormatSettings fs : {FormatSettings{U',', U'\u00A0'}, FormatSettings{U'.', U','}}) {
        SCOPED_TRACE(fs.DecimalSeparator == U',' ? "decimal comma" : "decimal point");
        TestFormat() = fs;
        Form = std::make_unique<TElectroForm>(&TestFormat());
        ShowSignalsPage();
        // Dt = 10 ns: point i is the sample of step i − 1 at (i − 1) × 0.01 µs, value i − 1.
        AppendSteps(150, 1e-8, [](int k) { return k * 1.0; });
        TChart *c = Form->Chart;
        EnableMarkers(true);
        ASSERT_GT(c->PixelToAxis(PixelOf(1.005, 0)).x(), 1.0);
        ASSERT_LT(c->PixelToAxis(PixelOf(1.005, 0)).x(), 1.01);
        Drag(0.3, 1.005, 40);
        EXPECT_FALSE(c->Zoomed());
        EXPECT_EQ(c->Tag(8), 100);
        EXPECT_DOUBLE_EQ(c->XValue(8, 0), 0.99);
        EXPECT_EQ(c->YValue(8, 0), 99.0);
        EXPECT_DOUBLE_EQ(c->XValue(6, 0), 0.99);
        EXPECT_NEAR(c->YValue(6, 0), 40.0, 2.0); // the handle follows the pointer's height
        EXPECT_EQ(c->YValue(7, 0), 350.0);
        EXPECT_EQ(c->YValue(7, 1), -350.0);
        EXPECT_EQ(Form->T1_Edit->text(), Dec(" 0.990 мкс"));
        EXPECT_EQ(Form->A1_Edit->text(), Dec(" 99.000 В"));
        EXPECT_EQ(Form->A2_Edit->text(), Dec(" 0.000 В"));
        EXPECT_EQ(Form->DA_Edit->text(), Dec(" 99.000 В"));
        EXPECT_EQ(Form->DT_Edit->text(), Dec(" 0.990 мкс"));

        // Left of time 0: the point (0, 0); beyond the record: its last point.
        ChooseMarker(1);
        Click(-0.2, 0);
        EXPECT_EQ(c->Tag(11), 0);
        EXPECT_EQ(c->XValue(11, 0), 0.0);
        c->RefreshNow();
        Click(c->xAxis->range().upper + c->xAxis->range().size() * 0.02, 0); // right of the plot area
        EXPECT_EQ(c->Tag(11), 150);
        EXPECT_EQ(c->YValue(11, 0), 149.0);
        EXPECT_EQ(Form->T2_Edit->text(), Dec(" 1.490 мкс"));
        EXPECT_EQ(Form->DT_Edit->text(), Dec(" 0.500 мкс"));
        EXPECT_EQ(Form->Chart->Tag(8), 100); // marker 1 stayed
    }
}

TEST_F(ElectroForm, OnlyTheLeftButtonAloneMovesAMarker) {
    ShowSignalsPage();
    AppendSteps(150, 1e-8, [](int k) { return k * 1.0; });
    TChart *c = Form->Chart;
    EnableMarkers(true);
    Drag(0.2, 0.5, 0, Qt::ControlModifier);
    EXPECT_EQ(c->Tag(8), 0);
    Drag(0.2, 0.5, 0, Qt::ShiftModifier);
    EXPECT_EQ(c->Tag(8), 0);
    Drag(0.2, 0.5, 0, {}, Qt::RightButton);
    EXPECT_EQ(c->Tag(8), 0);
    EXPECT_EQ(Form->A1_Edit->text(), QStringLiteral("  ??? В"));
    Drag(0.2, 0.505, 0);
    EXPECT_EQ(c->Tag(8), 50);
    EXPECT_FALSE(c->Zoomed());
}

TEST_F(ElectroForm, ValueDifferenceAndUnitFollowTheMarkersNotTheChoice) {
    TestFormat() = FormatSettings{U',', U'\u00A0'};
    ShowSignalsPage();
    // Sample 50 holds 3.2 V and sample 100 −1.3 V; others 0; I0 is U0 / 100.
    AppendSteps(150, 1e-8, [](int k) { return k == 50 ? 3.2 : k == 100 ? -1.3 : k == 120 ? 1234.5 : 0.0; });
    TChart *c = Form->Chart;
    EnableMarkers(true);
    Click(0.515, 0); // point 51: the sample of step 50
    EXPECT_EQ(c->YValue(8, 0), 3.2);
    ChooseMarker(1);
    Click(1.015, 0);
    EXPECT_EQ(c->YValue(11, 0), -1.3);
    EXPECT_EQ(Form->DA_Edit->text(), QStringLiteral(" 4,500 В"));
    EXPECT_TRUE(Form->A2_Edit->text().contains(QStringLiteral("1,300 В")));
    EXPECT_TRUE(Form->A2_Edit->text().contains(QLatin1Char('-')));
    EXPECT_EQ(Form->DT_Edit->text(), QStringLiteral(" 0,500 мкс"));

    // Switching to "Ток I0" changes nothing until the next move, which rewrites all readouts with
    // "А"; marker 1 still reports the U0 value it recorded.
    ChooseSignal(3);
    EXPECT_EQ(Form->DA_Edit->text(), QStringLiteral(" 4,500 В"));
    Click(1.215, 0);
    EXPECT_EQ(c->Tag(11), 121);
    EXPECT_EQ(Form->A2_Edit->text(), QStringLiteral(" 12,345 А"));
    EXPECT_EQ(Form->A1_Edit->text(), QStringLiteral(" 3,200 А"));
    EXPECT_EQ(Form->T2_Edit->text(), QStringLiteral(" 1,200 мкс"));

    // The thousands position of the pattern is a literal blank.
    ChooseSignal(0);
    Click(1.215, 0);
    EXPECT_EQ(Form->A2_Edit->text(), QStringLiteral("1 234,500 В"));
}

TEST_F(ElectroForm, TheMarkerLineKeepsTheRangeOfItsLastMoveAndAMoveBeforeAnyTaskChangesNothing) {
    ShowSignalsPage();
    TChart *c = Form->Chart;
    EnableMarkers(true);
    ASSERT_EQ(Engine.Solver().Dt, 0.0);
    Click(0.5, 0); // no task: Dt = 0
    EXPECT_EQ(c->Tag(8), 0);
    EXPECT_EQ(c->XValue(8, 0), 0.0);
    EXPECT_EQ(Form->A1_Edit->text(), QStringLiteral("  ??? В"));

    AppendSteps(150, 1e-8, [](int k) { return k * 1.0; });
    Click(0.505, 0);
    EXPECT_EQ(c->Tag(8), 50);
    TypeRange(QStringLiteral("20"));
    EXPECT_EQ(c->LeftMaximum(), 20.0);
    EXPECT_EQ(c->YValue(7, 0), 350.0);
    EXPECT_EQ(c->YValue(7, 1), -350.0);
    Click(0.605, 0);
    EXPECT_EQ(c->YValue(7, 0), 20.0);
    EXPECT_EQ(c->YValue(7, 1), -20.0);

    // A new task leaves the markers (and their tags) where they were.
    Form->ClearSignals();
    EXPECT_EQ(c->Tag(8), 60);
    EXPECT_DOUBLE_EQ(c->XValue(8, 0), 0.59);
}

TEST_F(ElectroForm, ChoicesCurvesAndDataFollowTheCircuitsSignals) {
    Form.reset();
    Engine.SetCircuitModel(std::make_unique<TProbedGenerator>());
    Form = std::make_unique<TElectroForm>();
    Engine.SetCircuitModel(std::make_unique<TGeneratorCircuit>()); // the window keeps its record
    EXPECT_EQ(Form->TypeRadioGroup->Items(),
              (QStringList{QStringLiteral("Напряжение U0"), QStringLiteral("Напряжение U1"),
                           QStringLiteral("Напряжение Upep"), QStringLiteral("Ток I0"),
                           QStringLiteral("Ток IL"), QStringLiteral("Ток Ipep"), QStringLiteral("Utest")}));
    ShowSignalsPage();
    Form->AppendSignals(0.001, std::array<double, 7>{1, 2, 3, 4, 5, 6, -7});
    ChooseSignal(6);
    TChart *c = Form->Chart;
    for (int s = 0; s < 7; ++s)
        EXPECT_EQ(c->Active(s), s == 6) << s;
    EXPECT_EQ(c->LeftTitle(), QStringLiteral("В"));
    ASSERT_EQ(c->Count(6), 2);
    EXPECT_EQ(c->YValue(6, 1), -7.0);
    // The markers' series come after the seven curves, at time 0.
    EXPECT_EQ(Form->SeriesMarker1Handle(), 7);
    EXPECT_EQ(Form->SeriesMarker2Point(), 12);
    EXPECT_EQ(c->Count(Form->SeriesMarker2Point()), 1);
    EXPECT_EQ(c->XValue(Form->SeriesMarker2Point(), 0), 0.0);
    if (const QString shots = qEnvironmentVariable("PEP_SHOTS_DIR"); !shots.isEmpty()) {
        QDir().mkpath(shots);
        EXPECT_TRUE(Form->grab().save(shots + QStringLiteral("/signal-window-seven-signals.png")));
    }

    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("signals.csv"));
    Form->ChooseDataFile = [&](const QString &) { return path; };
    Form->SaveDataAction->trigger();
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromUtf8(file.readAll()),
              QStringLiteral(
                  "t_us,U0_V,U1_V,Upep_V,I0_A,IL_A,Ipep_A,Utest_V\n0,0,0,0,0,0,0,0\n0.001,1,2,3,4,5,6,-7\n"));
}
