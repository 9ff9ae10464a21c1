// SPDX-License-Identifier: GPL-3.0-or-later
// What the windows show around the numbers: the stability hint under the time-step field, the
// margin that keeps the boundary lines inside the spatial chart, and axis labels of a diverged run.
#include <gtest/gtest.h>

#include <QDir>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <cmath>
#include <memory>

#include "TestFormat.h"
#include "charts/ChartAdapter.h"
#include "main/AppEngine.h"
#include "main/Main.h"
#include "parameters/ParametersUnit.h"
#include "signals/ElectroUnit.h"
#include "text/FormatSettings.h"
#include "widgets/QNSuperSpin.h"

namespace {

struct Separators {
    char32_t dec, thousands;
};

class MainHintsTest : public ::testing::TestWithParam<Separators> {
protected:
    void SetUp() override {
        Saved = TestFormat();
        TestFormat() = FormatSettings{GetParam().dec, GetParam().thousands};
        Main = std::make_unique<TMainForm>(&TestFormat());
        Params = std::make_unique<TParametersForm>(&TestFormat());
        Electro = std::make_unique<TElectroForm>(&TestFormat());
        Main->SetWindows(Params.get(), Electro.get());
        Main->ShowError = [this](const QString &text) { Errors << text; };
        Main->show();
        Main->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(Main.get()));
    }
    void TearDown() override {
        Electro.reset();
        Params.reset();
        Main.reset();
        TestFormat() = Saved;
    }
    QString D(QString s) const { return s.replace('.', QString::fromUcs4(&GetParam().dec, 1)); }
    bool HintIsRed() const {
        return Main->StabilityLabel->palette().color(QPalette::WindowText) == QColor(Qt::red);
    }
    // Types a time step into its field as a user does, and leaves the field.
    void TypeTimeStep(const QString &text) {
        TQNSuperSpin *f = Main->DeltaT_QNSuperSpin;
        QTest::mouseClick(f, Qt::LeftButton, {}, QPoint(8, f->height() / 2));
        ASSERT_TRUE(f->hasFocus());
        QTest::keyClicks(f, text);
        QTest::keyClick(f, Qt::Key_Tab);
    }
    void BuildTask() {
        QTest::mouseClick(Main->CreateTaskBitBtn, Qt::LeftButton);
        ASSERT_TRUE(Errors.isEmpty()) << Errors.join('\n').toStdString();
    }

    FormatSettings Saved;
    std::unique_ptr<TMainForm> Main;
    std::unique_ptr<TParametersForm> Params;
    std::unique_ptr<TElectroForm> Electro;
    QStringList Errors;
};

INSTANTIATE_TEST_SUITE_P(Separators, MainHintsTest,
                         ::testing::Values(Separators{U',', U'\u00A0'}, Separators{U'.', U','}));

// Every label of a chart's vertical axis in a short scientific form.
void ExpectShortScientificLabels(TChart *chart) {
    chart->RefreshNow();
    const QVector<QString> labels = chart->yAxis->tickVectorLabels();
    ASSERT_GE(labels.size(), 2);
    const QRegularExpression scientific(QStringLiteral("^-?\\d([.,]\\d{1,3})?E[+-]\\d+$"));
    for (const QString &label : labels) {
        EXPECT_TRUE(scientific.match(label).hasMatch()) << label.toStdString();
        EXPECT_LE(label.size(), 10) << label.toStdString();
    }
}

} // namespace

TEST_P(MainHintsTest, TheStabilityHintFollowsTheTaskAndTheTimeStep) {
    EXPECT_EQ(Main->StabilityLabel->text(), QString());
    TypeTimeStep(D("0.5"));
    EXPECT_FALSE(HintIsRed()); // no task yet: nothing to compare with
    TypeTimeStep(D("0.2"));

    // The default task: 0.3166… ns, shown with three significant digits, cut.
    BuildTask();
    EXPECT_EQ(Main->StabilityLabel->text(), D("устойчиво при Dt ≤ 0.316 нс"));
    EXPECT_FALSE(HintIsRed());
    TypeTimeStep(D("0.317"));
    EXPECT_TRUE(HintIsRed());
    TypeTimeStep(D("0.316"));
    EXPECT_FALSE(HintIsRed());

    // A task built with too large a step is built all the same, with the hint in red.
    TypeTimeStep("5");
    BuildTask();
    EXPECT_EQ(Engine.Solver().NodeGrid.size(), 2525u);
    EXPECT_EQ(Main->StabilityLabel->text(), D("устойчиво при Dt ≤ 0.316 нс"));
    EXPECT_TRUE(HintIsRed());

    // A coarser grid allows a larger step.
    Main->DeltaX_QNSuperSpin->SetValue(50);
    BuildTask();
    EXPECT_EQ(Main->StabilityLabel->text(), D("устойчиво при Dt ≤ 4.64 нс"));
    EXPECT_TRUE(HintIsRed());
    TypeTimeStep("1");
    EXPECT_FALSE(HintIsRed());

    // It fits in the control column: the label's text is no wider than the label.
    Main->DeltaX_QNSuperSpin->SetValue(10);
    TypeTimeStep(D("0.5"));
    BuildTask();
    QLabel *hint = Main->StabilityLabel;
    EXPECT_LE(hint->fontMetrics().horizontalAdvance(hint->text()), hint->width());
    EXPECT_LE(hint->geometry().right(), Main->ControlGroupBox->contentsRect().right());
    const QString shots = qEnvironmentVariable("PEP_SHOTS_DIR");
    if (!shots.isEmpty() && GetParam().dec == U',')
        Main->ControlGroupBox->grab().save(QDir(shots).filePath("stability-hint.png"));
}

TEST_P(MainHintsTest, ThePlaceholderLinesLieInsideTheHorizontalRange) {
    Main->Chart->RefreshNow();
    const QCPRange r = Main->Chart->xAxis->range();
    EXPECT_LT(r.lower, 1.0);
    EXPECT_GT(r.upper, 9.0);
    // Every placeholder line is drawn inside the plot area, off its frame.
    const QRect plot = Main->Chart->axisRect()->rect();
    for (double x : {1.0, 9.0}) {
        const double px = Main->Chart->xAxis->coordToPixel(x);
        EXPECT_GT(px, plot.left());
        EXPECT_LT(px, plot.right());
    }
}

TEST_P(MainHintsTest, EveryChartLabelsADivergedRunShortly) {
    TChart *spatial = Main->Chart;
    spatial->Clear(0);
    spatial->AddXY(0, 0, 0);
    spatial->AddXY(0, 24, 5e60);
    ExpectShortScientificLabels(spatial);

    // The signal chart's vertical range is the one its range field sets; any range is labelled
    // by the same rule.
    Electro->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(Electro.get()));
    Electro->PageControl->setCurrentWidget(Electro->SignalsPage);
    Engine.Solver().Dt = 5e-9;
    for (int k = 0; k < 180; ++k)
        Electro->AppendSignals(k * 5e-3, std::pow(10.0, k / 3.0), 0, 0, 0, 0, 0);
    Electro->Chart->SetLeftMinimum(-5e60);
    Electro->Chart->SetLeftMaximum(5e60);
    ExpectShortScientificLabels(Electro->Chart);

    Electro->SpectrChart->AddXY(0, 0, 0);
    Electro->SpectrChart->AddXY(0, 10, -2e61);
    ExpectShortScientificLabels(Electro->SpectrChart);
}
