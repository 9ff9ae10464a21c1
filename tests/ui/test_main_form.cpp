// SPDX-License-Identifier: GPL-3.0-or-later
// The main window as a user drives it: building tasks with the real button, running, breaking and
// resuming, the spatial view and its boundary lines.
#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <cmath>
#include <gtest/gtest.h>

#include <functional>

#include "TestFormat.h"
#include "app/AppFormat.h"
#include "charts/ChartAdapter.h"
#include "main/AppEngine.h"
#include "main/EventYield.h"
#include "main/Main.h"
#include "parameters/ParametersUnit.h"
#include "signals/ElectroUnit.h"
#include "widgets/QNSuperSpin.h"
#include "widgets/RadioGroup.h"
#include "widgets/SpinEdit.h"

namespace {

class MainFormTest : public ::testing::Test {
protected:
    void SetUp() override {
        Saved = TestFormat();
        CreateWindows();
        InstallEventYield();
    }
    void CreateWindows() {
        Electro.reset();
        Params.reset();
        Main.reset();
        Main = std::make_unique<TMainForm>(&TestFormat());
        Params = std::make_unique<TParametersForm>(&TestFormat());
        Electro = std::make_unique<TElectroForm>(&TestFormat());
        Main->SetWindows(Params.get(), Electro.get());
        Main->ShowError = [this](const QString &text) { Errors << text; };
        Main->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(Main.get()));
    }
    void TearDown() override {
        Engine.Yield().SetHook(nullptr);
        TestFormat() = Saved;
    }

    void Click(QPushButton *b) { QTest::mouseClick(b, Qt::LeftButton); }
    // A radio item reacts to clicks on its circle and caption, not on the empty space beside it.
    void ClickItem(TRadioGroup *group, int i) {
        QRadioButton *b = group->Button(i);
        QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(8, b->height() / 2));
    }

    double MarkerX(int series) const { return Main->Chart->XValue(series, 0); }

    // Runs the calculation until StepCount reaches `steps`, pressing "Прервать" from inside the run.
    // Runs until `steps` steps are done; `during` is called at every look in between.
    void RunUntil(int32_t steps, const std::function<void()> &during = {}) {
        QTimer poll;
        poll.setInterval(1);
        QObject::connect(&poll, &QTimer::timeout, [&] {
            if (during)
                during();
            if (Engine.StepCount >= steps)
                QTest::mouseClick(Main->BreakCalculationBitBtn, Qt::LeftButton);
        });
        poll.start();
        Click(Main->CalculateTaskBitBtn);
        poll.stop();
    }

    FormatSettings Saved;
    std::unique_ptr<TMainForm> Main;
    std::unique_ptr<TParametersForm> Params;
    std::unique_ptr<TElectroForm> Electro;
    QStringList Errors;
};

} // namespace

TEST_F(MainFormTest, StartsWithThePlaceholderView) {
    EXPECT_EQ(Main->windowTitle(), QStringLiteral("Электромеханическая модель пъезопреобразователя"));
    EXPECT_EQ(Main->CalcLabel->text(), QStringLiteral("Время ???"));
    EXPECT_EQ(Main->NetCountLabel->text(), QStringLiteral("Количество узлов в сетке"));
    EXPECT_EQ(Main->IterationSpinEdit->Value(), 10);
    ASSERT_EQ(Main->Chart->Count(0), 2);
    EXPECT_EQ(Main->Chart->XValue(0, 0), 1);
    EXPECT_EQ(Main->Chart->YValue(0, 0), -1);
    for (int k = 2; k <= 9; ++k) {
        EXPECT_EQ(Main->Chart->XValue(k - 1, 1), k);
        EXPECT_EQ(Main->Chart->YValue(k - 1, 1), 1);
    }
    EXPECT_TRUE(Main->CreateTaskBitBtn->font().bold());

    // Before any task, another field only changes the axis title and rescales the lines.
    ClickItem(Main->ViewRadioGroup, 1);
    EXPECT_EQ(Main->Chart->LeftTitle(), QStringLiteral("КПа"));
    EXPECT_EQ(Main->Chart->YValue(0, 0), -1);
    EXPECT_DOUBLE_EQ(Main->Chart->YValue(1, 0), 1.2);
    EXPECT_DOUBLE_EQ(Main->Chart->YValue(1, 1), -1.2);
}

TEST_F(MainFormTest, DefaultTaskThroughTheButton) {
    Click(Main->CreateTaskBitBtn);
    ASSERT_TRUE(Errors.isEmpty()) << Errors.join('\n').toStdString();
    EXPECT_EQ(Engine.Solver().NodeGrid.size(), 2525u);
    EXPECT_EQ(Main->NetCountLabel->text(), QStringLiteral(" Число узлов в сетке 2525"));
    EXPECT_EQ(Main->CalcLabel->text(), QStringLiteral("Новая задача"));
    EXPECT_EQ(Engine.Solver().PiezoFirst, 728);
    EXPECT_EQ(Engine.Solver().PiezoLast, 768);
    EXPECT_EQ(Engine.StepCount, 0);
    EXPECT_EQ(Engine.RedrawEvery, 10);
    EXPECT_DOUBLE_EQ(Engine.PlateArea, 5e-5);
    EXPECT_NEAR(Engine.Solver().Coefficients[730].PiezoE33, 4.84, 1e-12);
    EXPECT_NEAR(Engine.Solver().Coefficients[730].Permittivity, 1.1505e-8, 1e-20);

    const double expected[8] = {1.26, 7.26, 7.28, 7.68, 7.70, 8.20, 8.20, 24.20};
    for (int k = 0; k < 8; ++k) {
        EXPECT_NEAR(MarkerX(1 + k), expected[k], 1e-9) << "Series" << k + 2;
        EXPECT_EQ(Main->Chart->YValue(1 + k, 0), -1);
        EXPECT_EQ(Main->Chart->YValue(1 + k, 1), 1);
    }
    EXPECT_EQ(Main->Chart->Count(0), 2525);
    EXPECT_NEAR(Main->Chart->XValue(0, 2524), 25.24, 1e-9);
    EXPECT_EQ(Electro->Record().Count(), 1u);

    // Inversion flips the plate constant only; the same inputs give the same grid.
    QTest::mouseClick(Params->InverseCheckBox, Qt::LeftButton);
    Click(Main->CreateTaskBitBtn);
    EXPECT_NEAR(Engine.Solver().Coefficients[730].PiezoE33, -4.84, 1e-12);
    EXPECT_EQ(Engine.Solver().NodeGrid.size(), 2525u);
}

TEST_F(MainFormTest, CoarseStepAndLiquidLayerVariants) {
    Main->DeltaX_QNSuperSpin->SetValue(50);
    Click(Main->CreateTaskBitBtn);
    EXPECT_EQ(Engine.Solver().NodeGrid.size(), 506u);
    EXPECT_EQ(Engine.Solver().PiezoFirst, 145);
    EXPECT_EQ(Engine.Solver().PiezoLast, 153);
    EXPECT_NEAR(MarkerX(8), 484 * 0.05, 1e-9);

    Main->DeltaX_QNSuperSpin->SetValue(10);
    Params->Liquid_L_QNSuperSpin->SetValue(2);
    Click(Main->CreateTaskBitBtn);
    EXPECT_EQ(Engine.Solver().NodeGrid.size(), 2745u);
    EXPECT_EQ(Engine.Solver().Coefficients[900].Density, 1000);
    EXPECT_EQ(Engine.Solver().Coefficients[900].Stiffness, 2.25e9);
    EXPECT_NEAR(MarkerX(6), 8.31, 1e-9);
    EXPECT_NEAR(MarkerX(7), 10.31, 1e-9);
}

TEST_F(MainFormTest, RefusedTasksChangeNothingAndLeaveTheButtonUsable) {
    Click(Main->CreateTaskBitBtn);
    ASSERT_EQ(Engine.Solver().NodeGrid.size(), 2525u);

    Main->DeltaX_QNSuperSpin->SetValue(0);
    Click(Main->CreateTaskBitBtn);
    ASSERT_EQ(Errors.size(), 1);
    EXPECT_TRUE(Errors[0].contains(QStringLiteral("Шаг в пространстве"))) << Errors[0].toStdString();
    EXPECT_EQ(Engine.Solver().NodeGrid.size(), 2525u);
    EXPECT_TRUE(Main->CreateTaskBitBtn->isEnabled());

    Main->DeltaX_QNSuperSpin->SetValue(10);
    Params->Electro_R_QNSuperSpin->SetValue(0);
    Click(Main->CreateTaskBitBtn);
    ASSERT_EQ(Errors.size(), 2);
    EXPECT_TRUE(Errors[1].contains(QStringLiteral("R"))) << Errors[1].toStdString();
    EXPECT_TRUE(Main->CreateTaskBitBtn->isEnabled());

    Params->Electro_R_QNSuperSpin->SetValue(180);
    Main->DeltaX_QNSuperSpin->SetValue(0.0001L); // about 250 million nodes per mm of stack
    Params->Sample_L_QNSuperSpin->SetValue(100000);
    Click(Main->CreateTaskBitBtn);
    ASSERT_EQ(Errors.size(), 3);
    EXPECT_EQ(Engine.Solver().NodeGrid.size(), 2525u);
    EXPECT_TRUE(Main->CreateTaskBitBtn->isEnabled());
}

TEST_F(MainFormTest, RunBeforeAnyTaskDoesNothingHarmful) {
    Engine.Solver().NodeGrid.clear();
    Click(Main->CalculateTaskBitBtn);
    EXPECT_TRUE(Main->CalculateTaskBitBtn->isEnabled());
    EXPECT_TRUE(Main->CreateTaskBitBtn->isEnabled());
    EXPECT_FALSE(Main->Running());
    EXPECT_FALSE(Main->statusBar()->currentMessage().isEmpty());
}

TEST_F(MainFormTest, RunBreakAndResumeWithoutGap) {
    // A Russian system: the fields show "0,2" from the start.
    TestFormat().DecimalSeparator = U',';
    TestFormat().ThousandSeparator = U'\u00A0';
    CreateWindows();
    EXPECT_EQ(Main->DeltaT_QNSuperSpin->text(), QStringLiteral("0,2"));
    Click(Main->CreateTaskBitBtn);
    ASSERT_TRUE(Errors.isEmpty()) << Errors.join('\n').toStdString();
    RunUntil(50);
    EXPECT_FALSE(Main->Running());
    EXPECT_TRUE(Main->CalculateTaskBitBtn->isEnabled());
    EXPECT_TRUE(Main->CreateTaskBitBtn->isEnabled());
    const int32_t first = Engine.StepCount;
    ASSERT_GE(first, 50);
    const TSignalRecord &rec = Electro->Record();
    EXPECT_EQ(rec.Count(), static_cast<size_t>(first) + 1);
    EXPECT_EQ(rec.Time(0), 0);
    EXPECT_EQ(rec.Time(1), 0);
    // The label shows the start time of the last completed iteration.
    const double lastTime = (first - 1) * 2e-10 * 1e6;
    EXPECT_EQ(Main->CalcLabel->text(),
              QStringLiteral("время %1 мкс").arg(QString::number(lastTime, 'f', 3).replace('.', ',')));

    RunUntil(first + 30);
    const int32_t second = Engine.StepCount;
    ASSERT_GE(second, first + 30);
    EXPECT_EQ(rec.Count(), static_cast<size_t>(second) + 1);
    for (size_t i = 2; i < rec.Count(); ++i)
        ASSERT_NEAR(rec.Time(i) - rec.Time(i - 1), 2e-4, 1e-12) << "sample " << i;
    // The plate voltage follows the circuit: some signal has moved off zero.
    EXPECT_NE(rec.Value(0, rec.Count() - 1), 0);
}

// The time label is brought up to date whenever events are processed, so every look during a run
// finds the time of the last sample, and so does the look after it.
TEST_F(MainFormTest, TheTimeLabelFollowsTheRun) {
    Click(Main->CreateTaskBitBtn);
    const TSignalRecord &rec = Electro->Record();
    const auto expected = [&] {
        return QStringLiteral("время %1 мкс").arg(QString::number(rec.Time(rec.Count() - 1), 'f', 3));
    };
    int looks = 0;
    RunUntil(3000, [&] {
        if (!Main->Running() || rec.Count() < 2)
            return;
        ++looks;
        EXPECT_EQ(Main->CalcLabel->text(), expected()) << "at step " << Engine.StepCount;
    });
    EXPECT_GE(looks, 3);
    EXPECT_EQ(Main->CalcLabel->text(), expected());
}

TEST_F(MainFormTest, BoundaryLinesFollowTheCurveAfterARun) {
    Main->IterationSpinEdit->SetValue(7);
    Click(Main->CreateTaskBitBtn);
    RunUntil(40);
    // The last redraw happened at the last multiple of 7 below StepCount: the curve holds V[1] of
    // that step, which differs from the final state when later steps moved the plate.
    const int32_t lastRedraw = ((Engine.StepCount - 1) / 7) * 7;
    EXPECT_GE(lastRedraw, 35);
    double m = 0;
    for (int i = 0; i < Main->Chart->Count(0); ++i)
        m = std::max(m, std::fabs(Main->Chart->YValue(0, i)));
    EXPECT_DOUBLE_EQ(Main->Chart->YValue(1, 0), 1.2 * m);
    EXPECT_DOUBLE_EQ(Main->Chart->YValue(1, 1), -1.2 * m);
    EXPECT_GT(m, 0);
}

TEST_F(MainFormTest, RedrawPeriodZeroNeverFaults) {
    Main->IterationSpinEdit->SetValue(0);
    Click(Main->CreateTaskBitBtn);
    RunUntil(5);
    EXPECT_GE(Engine.StepCount, 5);
    EXPECT_TRUE(Main->CalculateTaskBitBtn->isEnabled());
}

TEST_F(MainFormTest, SolverFailureStopsTheRunSilently) {
    Main->DeltaT_QNSuperSpin->SetValue(5); // far beyond the stability limit: the fields overflow
    Click(Main->CreateTaskBitBtn);
    Click(Main->CalculateTaskBitBtn); // ends by itself
    EXPECT_FALSE(Main->Running());
    EXPECT_TRUE(Errors.isEmpty());
    EXPECT_TRUE(Main->CalculateTaskBitBtn->isEnabled());
    EXPECT_TRUE(Main->CreateTaskBitBtn->isEnabled());
    EXPECT_EQ(Engine.StepCount, 182);
    EXPECT_EQ(Main->LastRunEnd().Reason, TMainForm::RunStop::SolverFailure);
    EXPECT_EQ(
        Main->statusBar()->currentMessage(),
        QStringLiteral("Расчет остановлен: переполнение при расчете скоростей на шаге 181; шаг во времени, "
                       "вероятно, слишком велик для устойчивого счета."));
    // The failing iteration was still recorded and counted.
    EXPECT_EQ(Electro->Record().Count(), static_cast<size_t>(Engine.StepCount) + 1);
}

// The status bar's text after a run comes from how the run ended, never from what the bar showed
// during it.
TEST_F(MainFormTest, TheStatusBarTellsHowTheRunEnded) {
    using Stop = TMainForm::RunStop;
    using Fault = FloatingPointError::FaultKind;
    using Stage = FloatingPointError::StepStage;
    const struct {
        TMainForm::RunEnd End;
        const char *Text;
    } cases[] = {
        {{Stop::Break, 42, {}, {}}, "Расчет прерван на шаге 42."},
        {{Stop::WindowClosed, 7, {}, {}}, "Расчет прерван на шаге 7."},
        {{Stop::SolverFailure, 182, {181, Fault::Overflow, Stage::Velocity, "overflow"}, {}},
         "Расчет остановлен: переполнение при расчете скоростей на шаге 181; шаг во времени, вероятно, "
         "слишком велик для устойчивого счета."},
        {{Stop::SolverFailure, 13, {12, Fault::DivisionByZero, Stage::Field, "division"}, {}},
         "Расчет остановлен: деление на ноль при расчете электрического поля на шаге 12."},
        {{Stop::OtherFailure, 5, {}, "std::bad_alloc"}, "Расчет остановлен: std::bad_alloc"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(TMainForm::RunEndText(c.End), QString::fromUtf8(c.Text)) << c.Text;

    // A break while the bar shows something else (a menu entry's status tip) still says so.
    Click(Main->CreateTaskBitBtn);
    RunUntil(20, [this] { Main->statusBar()->showMessage(QStringLiteral("подсказка")); });
    EXPECT_EQ(Main->LastRunEnd().Reason, Stop::Break);
    EXPECT_EQ(Main->statusBar()->currentMessage(),
              QStringLiteral("Расчет прерван на шаге %1.").arg(Engine.StepCount));
}

// Each window formats its numbers with the settings it was given: two main windows side by side.
TEST(MainFormFormat, EachWindowShowsNumbersWithItsOwnSeparators) {
    const FormatSettings comma{U',', U'\u00A0'}, point{U'.', U','};
    TMainForm a(&comma), b(&point);
    EXPECT_EQ(a.DeltaT_QNSuperSpin->text(), QStringLiteral("0,2"));
    EXPECT_EQ(b.DeltaT_QNSuperSpin->text(), QStringLiteral("0.2"));
    EXPECT_EQ(FormatOf(a.DeltaT_QNSuperSpin).DecimalSeparator, U',');
    EXPECT_EQ(b.FormatFloatQ(QStringLiteral("#,##0.0"), 12345.26L), QStringLiteral("12,345.3"));
}

TEST_F(MainFormTest, FieldViewsShowScaledValues) {
    Click(Main->CreateTaskBitBtn);
    Engine.Solver().NodeGrid[1000].V[1] = 0.5;
    Engine.Solver().NodeGrid[1200].V[1] = -0.8;
    Main->ViewRadioGroupClick();
    EXPECT_DOUBLE_EQ(Main->Chart->YValue(0, 1000), 500);
    EXPECT_DOUBLE_EQ(Main->Chart->YValue(0, 1200), -800);
    EXPECT_DOUBLE_EQ(Main->Chart->YValue(3, 0), 960);
    EXPECT_DOUBLE_EQ(Main->Chart->YValue(3, 1), -960);
    EXPECT_EQ(Main->Chart->LeftTitle(), QStringLiteral("мм/с"));

    Engine.Solver().NodeGrid[1000].S[1] = 2.5e6;
    ClickItem(Main->ViewRadioGroup, 1);
    EXPECT_DOUBLE_EQ(Main->Chart->YValue(0, 1000), 2500);
    EXPECT_EQ(Main->Chart->LeftTitle(), QStringLiteral("КПа"));

    Engine.Solver().NodeGrid[740].E[1] = 1200;
    ClickItem(Main->ViewRadioGroup, 2);
    EXPECT_DOUBLE_EQ(Main->Chart->YValue(0, 740), 1200);
    EXPECT_EQ(Main->Chart->LeftTitle(), QStringLiteral("В/м"));

    // All zero: the lines shrink to height 0.
    for (GridNode &n : Engine.Solver().NodeGrid)
        n.E[1] = 0;
    Main->ViewRadioGroupClick();
    EXPECT_EQ(Main->Chart->YValue(5, 0), 0);
}

TEST_F(MainFormTest, ButtonsBringTheOtherWindowsForward) {
    EXPECT_FALSE(Params->isVisible());
    EXPECT_FALSE(Electro->isVisible());
    Click(Main->ViewTaskParamsBitBtn);
    EXPECT_TRUE(Params->isVisible());
    Click(Main->ViewElectricalBitBtn);
    EXPECT_TRUE(Electro->isVisible());
}

TEST_F(MainFormTest, PictureExport) {
    QTemporaryDir dir;
    const QString path = dir.filePath("chart.jpg"); // not PNG or PDF: written as a bitmap
    Main->AskPictureFile = [&](QWidget *, const QString &title, const QString &) {
        EXPECT_EQ(title, QStringLiteral("Записаь картинку в файл"));
        return path;
    };
    Main->N8Click();
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.read(2), QByteArray("BM"));
    f.close();
    EXPECT_FALSE(QImage(path, "BMP").isNull());

    const QString other = dir.filePath("cancelled.bmp");
    Main->AskPictureFile = [](QWidget *, const QString &, const QString &) { return QString(); };
    Main->N8Click();
    EXPECT_FALSE(QFile::exists(other));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 1);
}

TEST_F(MainFormTest, FieldDataHoldsAllThreeFieldsOfTheLastLevel) {
    QStringList asked;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("field.csv"));
    Main->AskDataFile = [&](QWidget *, const QString &folder) {
        asked << folder;
        return path;
    };
    QAction *save = Main->ChartPopupMenu->findChild<QAction *>(QStringLiteral("SaveDataAction"));
    ASSERT_NE(save, nullptr);
    EXPECT_EQ(save->text(), QStringLiteral("Сохранить данные (CSV)"));
    save->trigger(); // before any task: nothing to write, and no dialog
    EXPECT_EQ(Errors, QStringList{QStringLiteral("Нет данных для записи: сначала создайте задачу.")});
    EXPECT_TRUE(asked.isEmpty());

    Main->DeltaX_QNSuperSpin->SetValue(50);
    Click(Main->CreateTaskBitBtn);
    Engine.Solver().NodeGrid[300].V[1] = 0.25;
    Engine.Solver().NodeGrid[300].S[1] = -1500;
    Engine.Solver().NodeGrid[150].E[1] = 7.5;
    Main->ViewRadioGroup->SetItemIndex(1); // the stress is shown; the file holds all three anyway
    save->trigger();
    ASSERT_EQ(asked.size(), 1);
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 1 + 506);
    EXPECT_EQ(lines[0], QStringLiteral("x_mm,V_mm_s,S_kPa,E_V_m"));
    // x in mm as the chart plots it; then the velocity in mm/s, the stress in kPa, the field in V/m.
    const std::pair<int, QString> rows[] = {{300, ",250,-1.5,0"}, {150, ",0,0,7.5"}, {505, ",0,0,0"}};
    for (const auto &[node, fields] : rows) {
        const int comma = lines[1 + node].indexOf(QLatin1Char(','));
        EXPECT_EQ(lines[1 + node].left(comma).toDouble(),
                  static_cast<double>(Engine.Solver().NodeGrid[node].X * 1000.0L));
        EXPECT_EQ(lines[1 + node].mid(comma), fields) << node;
    }
}

TEST_F(MainFormTest, RendersTidily) {
    Click(Main->CreateTaskBitBtn);
    Click(Main->ViewTaskParamsBitBtn);
    Click(Main->ViewElectricalBitBtn);
    RunUntil(3000);
    for (QRadioButton *b : Main->ViewRadioGroup->findChildren<QRadioButton *>())
        EXPECT_GT(b->height(), 10) << b->text().toStdString();
    // Every button shows its whole caption.
    for (QPushButton *b : Main->findChildren<QPushButton *>())
        EXPECT_LE(b->fontMetrics().horizontalAdvance(b->text()) + 8, b->width()) << b->text().toStdString();
    // Pictures for a look by eye: PEP_SHOTS_DIR=/tmp/shots.
    const QString dir = qEnvironmentVariable("PEP_SHOTS_DIR");
    if (!dir.isEmpty()) {
        QDir().mkpath(dir);
        Main->grab().save(dir + "/main_window.png");
        Params->grab().save(dir + "/parameters_window.png");
        Electro->grab().save(dir + "/electro_window.png");
    }
}

TEST_F(MainFormTest, FiguresOfTheDefaultTransducerAfterTheEcho) {
    // 10 µs of the default task: the pulse, the echo from the far face of the test object and the
    // plate ringing out; its figures through the signal window's page.
    Click(Main->CreateTaskBitBtn);
    Click(Main->ViewElectricalBitBtn);
    RunUntil(50000);
    Electro->PageControl->setCurrentWidget(Electro->FiguresPage);
    QTest::mouseClick(Electro->TypeRadioGroup->Button(2), Qt::LeftButton, {},
                      QPoint(8, Electro->TypeRadioGroup->Button(2)->height() / 2));
    QTest::mouseClick(Electro->CalculateFiguresBitBtn, Qt::LeftButton);
    const RecordFigures &f = Electro->Figures();
    ASSERT_TRUE(f.Impedance.Valid) << f.Impedance.Reason;
    ASSERT_TRUE(f.Pulse.Valid) << f.Pulse.Reason;
    // The free plate's thickness mode is 4.99 MHz; the backing, the electrodes and the protector
    // load it, so the transducer's centre frequency lies below it, and the heavy backing makes its
    // band broad.
    EXPECT_TRUE(f.Pulse.Band6Found);
    EXPECT_GT(f.Pulse.fc_MHz, 0.5 * 4.99);
    EXPECT_LT(f.Pulse.fc_MHz, 4.99);
    EXPECT_GT(f.Pulse.bw6_percent, 20);
    EXPECT_EQ(Electro->PulseBox->title(), QStringLiteral("Импульс Upep"));
    EXPECT_EQ(Electro->FcLabel->text(), QStringLiteral("fc = ") +
                                            FormatFloatQ(QStringLiteral("#0.000"), f.Pulse.fc_MHz) +
                                            QStringLiteral(" МГц"));
    if (const QString dir = qEnvironmentVariable("PEP_SHOTS_DIR"); !dir.isEmpty()) {
        QDir().mkpath(dir);
        QTest::qWait(120); // the charts repaint on the next turns of the event loop
        EXPECT_TRUE(Electro->grab().save(dir + "/electro_window_figures.png"));
    }
}

TEST_F(MainFormTest, ClosingTheMainWindowEndsTheRun) {
    Click(Main->CreateTaskBitBtn);
    QTimer::singleShot(50, Main.get(), [this] { Main->close(); });
    Click(Main->CalculateTaskBitBtn); // returns once the close has ended the run
    EXPECT_FALSE(Main->Running());
    EXPECT_FALSE(Main->isVisible());
    EXPECT_EQ(Main->LastRunEnd().Reason, TMainForm::RunStop::WindowClosed);
    EXPECT_EQ(Main->statusBar()->currentMessage(),
              QStringLiteral("Расчет прерван на шаге %1.").arg(Engine.StepCount));
    EXPECT_GT(Engine.StepCount, 0);
    EXPECT_EQ(Electro->Record().Count(), static_cast<size_t>(Engine.StepCount) + 1);
}
