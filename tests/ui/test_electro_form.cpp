#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QCursor>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <cmath>
#include <numbers>
#include <vector>

#include "ChartAdapter.h"
#include "ElectroUnit.h"
#include "EventYield.h"
#include "FDTD_1D_Routines.h"
#include "FormatSettings.h"
#include "QNSuperSpin.h"
#include "RadioGroup.h"
#include "Spectrum.h"
#include "Yield.h"

namespace {

class ElectroForm : public ::testing::Test {
protected:
    void SetUp() override {
        FSavedFormat = DefaultFormatSettings();
        FSavedDt = Dt;
        Dt = 0;
        Form = std::make_unique<TElectroForm>();
    }
    void TearDown() override {
        Form.reset();
        DefaultFormatSettings() = FSavedFormat;
        Dt = FSavedDt;
        YieldHook = nullptr;
    }

    void ShowSignalsPage() {
        Form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(Form.get()));
        Form->PageControl->setCurrentWidget(Form->SignalsPage);
        QCoreApplication::processEvents();
        Form->Chart->RefreshNow();
    }

    // A task with the given step: samples of step k at k × Dt × 1e6 µs, as the run appends them.
    void AppendSteps(int steps, double dt, double (*u0)(int)) {
        Dt = dt;
        for (int k = 0; k < steps; ++k) {
            const double v = u0(k);
            Form->AppendSignals(k * Dt * 1e6, v, -v, 2 * v, v / 100, v / 200, v / 300);
        }
        Form->Chart->RefreshNow();
    }

    QPoint PixelOf(double tx, double ay) const {
        return QPoint(static_cast<int>(std::lround(Form->Chart->xAxis->coordToPixel(tx))),
                      static_cast<int>(std::lround(Form->Chart->yAxis->coordToPixel(ay))));
    }

    // A left-button drag on the signal chart from one axis position to another; the real pointer
    // follows the mouse.
    void Drag(double tx0, double tx1, double ay, Qt::KeyboardModifiers mods = {},
              Qt::MouseButton button = Qt::LeftButton, double ay1 = NAN) {
        TChart *c = Form->Chart;
        const QPoint p0 = PixelOf(tx0, ay), p1 = PixelOf(tx1, std::isnan(ay1) ? ay : ay1);
        QCursor::setPos(c->mapToGlobal(p0));
        QTest::mousePress(c, button, mods, p0);
        for (const QPoint &p : {(p0 + p1) / 2, p1}) {
            QCursor::setPos(c->mapToGlobal(p));
            // The keys held during the drag come with every move.
            QMouseEvent move(QEvent::MouseMove, QPointF(p), QPointF(c->mapToGlobal(p)), Qt::NoButton, button,
                             mods);
            QApplication::sendEvent(c, &move);
        }
        QTest::mouseRelease(c, button, mods, p1);
        QCoreApplication::processEvents();
    }
    void Click(double tx, double ay) { Drag(tx, tx, ay); }

    void ChooseMarker(int m) {
        QRadioButton *b = Form->ChooseMarkerRadioGroup->Button(m);
        QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(8, b->height() / 2));
    }
    void ChooseSignal(int item) {
        QRadioButton *b = Form->TypeRadioGroup->Button(item);
        QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(8, b->height() / 2));
    }
    void EnableMarkers(bool on) {
        if (Form->MarkersEnableCheckBox->isChecked() != on)
            QTest::mouseClick(Form->MarkersEnableCheckBox, Qt::LeftButton, {},
                              QPoint(8, Form->MarkersEnableCheckBox->height() / 2));
        ASSERT_EQ(Form->MarkersEnableCheckBox->isChecked(), on);
    }
    void TypeRange(const QString &text) {
        TQNSuperSpin *f = Form->Diapazon_QNSuperSpin;
        f->setFocus();
        f->selectAll();
        QTest::keyClicks(f, text);
    }
    void SetCentreAndWidth(long double centre, long double width) {
        Form->Middle_F_QNSuperSpin->SetValue(centre);
        Form->Width_F_QNSuperSpin->SetValue(width);
    }
    void PressCalculate() {
        QTest::mouseClick(Form->CalculateSpectrBitBtn, Qt::LeftButton);
        QCoreApplication::processEvents();
    }

    std::unique_ptr<TElectroForm> Form;
    FormatSettings FSavedFormat;
    double FSavedDt = 0;
};

QString Dec(const char *text) {
    QString s = QString::fromUtf8(text);
    return s.replace(QLatin1Char('.'), QString(QChar(char16_t(DefaultFormatSettings().DecimalSeparator))));
}

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
    ASSERT_EQ(menu.size(), 4);
    EXPECT_EQ(menu[0]->text(), QStringLiteral("Картинка"));
    EXPECT_TRUE(menu[1]->isSeparator());
    EXPECT_EQ(menu[2]->text(), QStringLiteral("Сохранить в буфер"));
    EXPECT_EQ(menu[3]->text(), QStringLiteral("Записать в файл"));
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

TEST_F(ElectroForm, AppendingGrowsTheRecordWithoutReplottingAtOnceEvenWhileHidden) {
    TChart *c = Form->Chart;
    QSignalSpy replots(c, &QCustomPlot::afterReplot);
    Dt = 2e-10;
    Form->AppendSignals(0, 1, 2, 3, 4, 5, 6);
    for (int s = 0; s < 6; ++s) {
        ASSERT_EQ(c->Count(s), 2);
        EXPECT_EQ(c->XValue(s, 0), 0.0);
        EXPECT_EQ(c->XValue(s, 1), 0.0);
        EXPECT_EQ(c->YValue(s, 1), s + 1.0);
    }
    for (int k = 1; k < 1000; ++k)
        Form->AppendSignals(k * Dt * 1e6, k, k, k, k, k, k);
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
        DefaultFormatSettings() = fs;
        Form = std::make_unique<TElectroForm>();
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
    DefaultFormatSettings() = FormatSettings{U',', U'\u00A0'};
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
    ASSERT_EQ(Dt, 0.0);
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
    YieldHook = &InterferingYield;
    PressCalculate();
    YieldHook = nullptr;
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
    RemoveEventYield();
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
    RemoveEventYield();
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

TEST_F(ElectroForm, SavingAPictureAsksForAFileAndWritesABitmapWhateverTheExtension) {
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

    answer = dir.filePath(QStringLiteral("signal.png"));
    Form->N8->trigger();
    QFile file(answer);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.read(2), QByteArray("BM"));
    file.close();
    QImageReader reader(answer);
    EXPECT_EQ(reader.format(), QByteArray("bmp"));
    const QImage image = reader.read();
    EXPECT_EQ(image.size(), Form->Chart->size());
    Form->PopupMenu1->hide();
}

TEST_F(ElectroForm, RendersBothPagesTidily) {
    DefaultFormatSettings() = FormatSettings{U',', U'\u00A0'};
    Form = std::make_unique<TElectroForm>();
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
