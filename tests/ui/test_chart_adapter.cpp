// SPDX-License-Identifier: GPL-3.0-or-later
#include <QApplication>
#include <QClipboard>
#include <QCursor>
#include <QFile>
#include <QRegularExpression>
#include <QSet>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <cmath>

#include "TestFormat.h"
#include "app/AppFormat.h"
#include "charts/ChartAdapter.h"
#include "circuit/SignalRecord.h"
#include "text/FormatSettings.h"

namespace {

class ChartTest : public ::testing::Test {
protected:
    void SetUp() override {
        Window.resize(640, 470);
        Chart.resize(640, 470);
        Window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&Window));
    }

    // A line series from (0, 0) to (100, 50) and a hidden one far away.
    void AddTwoSeries() {
        A = Chart.AddSeries("Series1", TChart::SeriesKind::Line);
        B = Chart.AddSeries("Series2", TChart::SeriesKind::Line);
        for (int i = 0; i <= 100; ++i)
            Chart.AddXY(A, i, i / 2.0);
        Chart.AddXY(B, -1000, -1000);
        Chart.AddXY(B, 1000, 1000);
        Chart.SetActive(B, false);
    }

    void Drag(Qt::MouseButton button, QPoint from, QPoint to) {
        QTest::mousePress(&Chart, button, Qt::NoModifier, from);
        for (int k = 1; k <= 4; ++k)
            QTest::mouseMove(&Chart, from + (to - from) * k / 4);
        QTest::mouseRelease(&Chart, button, Qt::NoModifier, to);
    }

    QPoint Pixel(double x, double y) const {
        return QPoint(qRound(Chart.xAxis->coordToPixel(x)), qRound(Chart.yAxis->coordToPixel(y)));
    }

    TFormatWindow Window; // the separators of the tick labels
    TChart Chart{&Window};
    int A = -1, B = -1;
};

bool IsDark(QRgb c) {
    return qGray(c) < 100;
}

// The extremes of a series as the windows read them (0 and 0 for an empty one).
double Lowest(const TChart &chart, int s) {
    double lo = 0, hi = 0;
    chart.YRange(s, lo, hi);
    return lo;
}
double Highest(const TChart &chart, int s) {
    double lo = 0, hi = 0;
    chart.YRange(s, lo, hi);
    return hi;
}

} // namespace

TEST_F(ChartTest, PointsAreReadReplacedAndSummarised) {
    const int s = Chart.AddSeries("Series1", TChart::SeriesKind::Line);
    EXPECT_EQ(Chart.SeriesCount(), 1);
    EXPECT_EQ(Chart.Count(s), 0);
    EXPECT_EQ(Lowest(Chart, s), 0.0);
    EXPECT_EQ(Highest(Chart, s), 0.0);
    Chart.AddXY(s, 0, 0);
    Chart.AddXY(s, 0, 3.5); // equal x keeps the order of arrival
    Chart.AddXY(s, 1, -2);
    ASSERT_EQ(Chart.Count(s), 3);
    EXPECT_EQ(Chart.YValue(s, 0), 0.0);
    EXPECT_EQ(Chart.YValue(s, 1), 3.5);
    EXPECT_EQ(Chart.XValue(s, 2), 1.0);
    EXPECT_EQ(Lowest(Chart, s), -2.0);
    EXPECT_EQ(Highest(Chart, s), 3.5);
    Chart.SetYValue(s, 2, 7);
    EXPECT_EQ(Chart.YValue(s, 2), 7.0);
    EXPECT_EQ(Highest(Chart, s), 7.0);
    EXPECT_EQ(Lowest(Chart, s), 0.0);
    Chart.Clear(s);
    EXPECT_EQ(Chart.Count(s), 0);
}

TEST_F(ChartTest, VerticalLineMovesWithoutSwappingItsPoints) {
    const int line = Chart.AddSeries("Series8", TChart::SeriesKind::Line);
    Chart.AddXY(line, 1, 10, " ", Qt::red);
    Chart.AddXY(line, 1, -10, " ", Qt::red);
    EXPECT_EQ(Chart.SeriesColour(line), QColor(Qt::red));
    // Point 0 moves right first: the caller's indices must still mean the same points.
    Chart.SetXValue(line, 0, 5);
    Chart.SetYValue(line, 0, 20);
    Chart.SetXValue(line, 1, 5);
    Chart.SetYValue(line, 1, -20);
    Chart.RefreshNow();
    EXPECT_EQ(Chart.XValue(line, 0), 5.0);
    EXPECT_EQ(Chart.YValue(line, 0), 20.0);
    EXPECT_EQ(Chart.XValue(line, 1), 5.0);
    EXPECT_EQ(Chart.YValue(line, 1), -20.0);

    // A point left out of order is sorted in before drawing.
    const int s = Chart.AddSeries("Series2", TChart::SeriesKind::Line);
    for (int i = 0; i < 5; ++i)
        Chart.AddXY(s, i, i);
    Chart.SetXValue(s, 0, 2.5);
    Chart.RefreshNow();
    EXPECT_EQ(Chart.XValue(s, 1), 2.0);
    EXPECT_EQ(Chart.XValue(s, 2), 2.5);
    EXPECT_EQ(Chart.YValue(s, 2), 0.0);
    EXPECT_EQ(Chart.XValue(s, 3), 3.0);
}

TEST_F(ChartTest, ShownSeriesTagsAndTitles) {
    for (int i = 0; i < 4; ++i)
        Chart.AddSeries(QString("Series%1").arg(i + 1), TChart::SeriesKind::Line);
    EXPECT_EQ(Chart.FirstShownSeries(), 0);
    Chart.SetActive(0, false);
    Chart.SetActive(1, false);
    EXPECT_FALSE(Chart.Active(1));
    EXPECT_EQ(Chart.FirstShownSeries(), 2);
    Chart.SetActive(1, true);
    EXPECT_EQ(Chart.FirstShownSeries(), 1);
    for (int i = 0; i < 4; ++i)
        Chart.SetActive(i, false);
    EXPECT_EQ(Chart.FirstShownSeries(), -1);

    Chart.SetTag(3, 1234);
    EXPECT_EQ(Chart.Tag(3), 1234);
    EXPECT_EQ(Chart.Tag(2), 0);

    Chart.SetBottomTitle("мкс");
    Chart.SetLeftTitle("В");
    EXPECT_EQ(Chart.BottomTitle(), "мкс");
    EXPECT_EQ(Chart.LeftTitle(), "В");
    Chart.SetLeftTitle("А");
    EXPECT_EQ(Chart.LeftTitle(), "А");
}

TEST_F(ChartTest, VerticalRangeIsFixedBySettingItsBounds) {
    AddTwoSeries();
    EXPECT_TRUE(Chart.LeftAutomatic());
    Chart.SetLeftMinimum(-20);
    Chart.SetLeftMaximum(20);
    EXPECT_FALSE(Chart.LeftAutomatic());
    Chart.RefreshNow();
    EXPECT_EQ(Chart.LeftMinimum(), -20.0);
    EXPECT_EQ(Chart.LeftMaximum(), 20.0);
    // Bounds given the wrong way round (a negative range value) show the range between them.
    Chart.SetLeftMinimum(5);
    Chart.SetLeftMaximum(-5);
    EXPECT_EQ(Chart.LeftMinimum(), -5.0);
    EXPECT_EQ(Chart.LeftMaximum(), 5.0);
    Chart.SetLeftAutomatic(true);
    Chart.RefreshNow();
    EXPECT_EQ(Chart.LeftMinimum(), 0.0);
    EXPECT_EQ(Chart.LeftMaximum(), 50.0);
}

TEST_F(ChartTest, AutomaticAxesFitTheShownSeriesOnly) {
    AddTwoSeries();
    Chart.Refresh();
    EXPECT_EQ(Chart.xAxis->range().lower, 0.0);
    EXPECT_EQ(Chart.xAxis->range().upper, 100.0);
    EXPECT_EQ(Chart.LeftMinimum(), 0.0);
    EXPECT_EQ(Chart.LeftMaximum(), 50.0);
    Chart.SetActive(B, true);
    Chart.Refresh();
    EXPECT_EQ(Chart.xAxis->range().upper, 1000.0);
    EXPECT_EQ(Chart.LeftMinimum(), -1000.0);

    // Nothing to show: the axes keep their range.
    Chart.Clear(A);
    Chart.Clear(B);
    Chart.RefreshNow();
    EXPECT_EQ(Chart.xAxis->range().upper, 1000.0);
    EXPECT_EQ(Chart.LeftMinimum(), -1000.0);

    // All values equal: a valid range around them.
    Chart.AddXY(A, 0, 0);
    Chart.AddXY(A, 3, 0);
    Chart.RefreshNow();
    EXPECT_LT(Chart.LeftMinimum(), 0.0);
    EXPECT_GT(Chart.LeftMaximum(), 0.0);
    EXPECT_EQ(Chart.xAxis->range().upper, 3.0);
}

TEST_F(ChartTest, RecordSeriesReadsTheRecordAndFollowsIt) {
    TSignalRecord record;
    int first = -1;
    for (int s = 0; s < record.SignalCount(); ++s) {
        const int idx = Chart.AddRecordSeries(QString("Series%1").arg(s + 1), &record, s);
        if (s == 0)
            first = idx;
        Chart.SetActive(idx, s == 2);
    }
    EXPECT_EQ(Chart.FirstShownSeries(), first + 2);
    EXPECT_EQ(Chart.Count(first), 0);
    record.Append(0, {0, 0, 0, 0, 0, 0});
    for (int i = 1; i <= 1000; ++i) {
        const double v = std::sin(i * 0.01) * 30;
        record.Append(i * 0.1, {v, v, v + 1, v, v, -v});
    }
    ASSERT_EQ(Chart.Count(first + 2), 1001);
    EXPECT_EQ(Chart.XValue(first + 2, 1000), 100.0);
    EXPECT_EQ(Chart.YValue(first + 5, 1000), -std::sin(10.0) * 30);
    Chart.RefreshNow();
    EXPECT_EQ(Chart.xAxis->range().upper, 100.0);
    EXPECT_NEAR(Chart.LeftMaximum(), 31.0, 1e-3);
    EXPECT_NEAR(Chart.LeftMinimum(), -29.0, 1e-3);
    // Appending extends the cached extremes; replacing a value is noticed too.
    record.Append(200, {0, 0, 500, 0, 0, 0});
    EXPECT_EQ(Highest(Chart, first + 2), 500.0);
    record.SetValue(2, 1001, 0);
    EXPECT_NEAR(Highest(Chart, first + 2), 31.0, 1e-3);
    record.Clear();
    EXPECT_EQ(Chart.Count(first + 2), 0);
    EXPECT_EQ(Highest(Chart, first + 2), 0.0);
}

TEST_F(ChartTest, RecordCurveIsDrawnThroughEveryPixelColumn) {
    TSignalRecord record;
    const int s = Chart.AddRecordSeries("Series1", &record, 0);
    // 200,000 samples alternating between +8 and -8: every column must show the full swing.
    for (int i = 0; i < 200000; ++i) {
        const double v = (i % 2) ? 8 : -8;
        record.Append(i * 1e-3, {v, 0, 0, 0, 0, 0});
    }
    Chart.SetLeftMinimum(-10);
    Chart.SetLeftMaximum(10);
    ASSERT_TRUE(Chart.Active(s));
    const QImage img = Chart.Picture().toImage();
    const int top = Pixel(0, 7).y(), bottom = Pixel(0, -7).y();
    const QRect plot = Chart.axisRect()->rect();
    int fullColumns = 0, columns = 0;
    for (int x = plot.left() + 2; x < plot.right() - 2; x += 7) {
        ++columns;
        if (IsDark(img.pixel(x, top)) && IsDark(img.pixel(x, bottom)) &&
            IsDark(img.pixel(x, (top + bottom) / 2)))
            ++fullColumns;
    }
    EXPECT_EQ(fullColumns, columns);
    // Above +8 nothing is drawn.
    EXPECT_FALSE(IsDark(img.pixel(plot.center().x(), Pixel(0, 9).y())));
}

TEST_F(ChartTest, RecordCurveRunsToTheBordersOfANarrowView) {
    TSignalRecord record;
    Chart.AddRecordSeries("Series1", &record, 0);
    record.Append(0, {0, 0, 0, 0, 0, 0});
    record.Append(1, {10, 0, 0, 0, 0, 0});
    record.Append(2, {0, 0, 0, 0, 0, 0});
    // A view between two samples: only the segment through it is visible.
    Chart.SetBottomAutomatic(false);
    Chart.xAxis->setRange(0.4, 0.6);
    Chart.SetLeftMinimum(0);
    Chart.SetLeftMaximum(10);
    const QImage img = Chart.Picture().toImage();
    auto darkNear = [&](double x, double y) {
        const QPoint p = Pixel(x, y);
        for (int dy = -2; dy <= 2; ++dy)
            if (IsDark(img.pixel(p.x(), p.y() + dy)))
                return true;
        return false;
    };
    EXPECT_TRUE(darkNear(0.42, 4.2));
    EXPECT_TRUE(darkNear(0.5, 5));
    EXPECT_TRUE(darkNear(0.58, 5.8));
    EXPECT_FALSE(darkNear(0.5, 8));
    EXPECT_FALSE(darkNear(0.5, 2));
}

TEST_F(ChartTest, LeftDragZoomsAndUndoRestoresTheEarlierState) {
    AddTwoSeries();
    Chart.RefreshNow();
    const QCPRange x0 = Chart.xAxis->range(), y0 = Chart.yAxis->range();
    QSignalSpy zoomed(&Chart, &TChart::ZoomedByUser);

    const QPoint from = Pixel(20, 40), to = Pixel(60, 10);
    Drag(Qt::LeftButton, from, to);
    ASSERT_EQ(zoomed.count(), 1);
    EXPECT_TRUE(Chart.Zoomed());
    EXPECT_FALSE(Chart.LeftAutomatic());
    EXPECT_FALSE(Chart.BottomAutomatic());
    EXPECT_NEAR(Chart.xAxis->range().lower, 20, 0.5);
    EXPECT_NEAR(Chart.xAxis->range().upper, 60, 0.5);
    EXPECT_NEAR(Chart.LeftMinimum(), 10, 0.5);
    EXPECT_NEAR(Chart.LeftMaximum(), 40, 0.5);
    // The zoomed range stays when data change.
    Chart.AddXY(A, 200, 100);
    Chart.RefreshNow();
    EXPECT_NEAR(Chart.xAxis->range().upper, 60, 0.5);

    // A second zoom inside the first; undo goes back to before the first.
    Drag(Qt::LeftButton, Pixel(30, 30), Pixel(40, 20));
    EXPECT_EQ(zoomed.count(), 2);
    EXPECT_NEAR(Chart.xAxis->range().lower, 30, 0.5);
    Chart.UndoZoom();
    EXPECT_FALSE(Chart.Zoomed());
    EXPECT_TRUE(Chart.LeftAutomatic());
    EXPECT_TRUE(Chart.BottomAutomatic());
    Chart.RefreshNow();
    EXPECT_EQ(Chart.xAxis->range().lower, x0.lower);
    EXPECT_EQ(Chart.xAxis->range().upper, 200.0); // automatic again, over the new point
    EXPECT_EQ(Chart.LeftMinimum(), y0.lower);
    EXPECT_EQ(Chart.LeftMaximum(), 100.0);
}

TEST_F(ChartTest, UndoRestoresAFixedVerticalRange) {
    AddTwoSeries();
    Chart.SetLeftMinimum(-350);
    Chart.SetLeftMaximum(350);
    Chart.RefreshNow();
    Drag(Qt::LeftButton, Pixel(10, 100), Pixel(50, -100));
    ASSERT_TRUE(Chart.Zoomed());
    Chart.UndoZoom();
    EXPECT_FALSE(Chart.LeftAutomatic());
    EXPECT_TRUE(Chart.BottomAutomatic());
    EXPECT_EQ(Chart.LeftMinimum(), -350.0);
    EXPECT_EQ(Chart.LeftMaximum(), 350.0);
}

TEST_F(ChartTest, NoZoomWithOtherButtonsOrWhenForbidden) {
    AddTwoSeries();
    Chart.RefreshNow();
    const QCPRange x0 = Chart.xAxis->range(), y0 = Chart.yAxis->range();
    QSignalSpy zoomed(&Chart, &TChart::ZoomedByUser);
    QSignalSpy pressed(&Chart, &QCustomPlot::mousePress);

    Drag(Qt::RightButton, Pixel(20, 40), Pixel(60, 10));
    Drag(Qt::MiddleButton, Pixel(20, 40), Pixel(60, 10));
    EXPECT_EQ(zoomed.count(), 0);
    EXPECT_EQ(Chart.xAxis->range(), x0);

    Chart.SetZoomAllowed(false);
    EXPECT_FALSE(Chart.ZoomAllowed());
    Drag(Qt::LeftButton, Pixel(20, 40), Pixel(60, 10));
    EXPECT_EQ(zoomed.count(), 0);
    EXPECT_FALSE(Chart.Zoomed());
    EXPECT_EQ(Chart.xAxis->range(), x0);
    EXPECT_EQ(Chart.yAxis->range(), y0);
    EXPECT_EQ(pressed.count(), 3) << "the window still sees the presses";

    Chart.SetZoomAllowed(true);
    // A click is not a zoom.
    QTest::mouseClick(&Chart, Qt::LeftButton, Qt::NoModifier, Pixel(20, 40));
    EXPECT_EQ(zoomed.count(), 0);
    EXPECT_EQ(Chart.xAxis->range(), x0);
    // A rectangle drawn from its lower right corner zooms the same.
    Drag(Qt::LeftButton, Pixel(60, 10), Pixel(20, 40));
    EXPECT_EQ(zoomed.count(), 1);
    EXPECT_NEAR(Chart.xAxis->range().lower, 20, 0.5);
    EXPECT_NEAR(Chart.xAxis->range().upper, 60, 0.5);
    EXPECT_NEAR(Chart.LeftMinimum(), 10, 0.5);
    // Undo without a zoom in force does nothing.
    Chart.UndoZoom();
    Chart.UndoZoom();
    EXPECT_EQ(Chart.xAxis->range(), x0);
}

TEST_F(ChartTest, PixelsAndPointerConvertToAxisValues) {
    AddTwoSeries();
    Chart.RefreshNow();
    const QPointF v =
        Chart.PixelToAxis(QPointF(Chart.xAxis->coordToPixel(25), Chart.yAxis->coordToPixel(12.5)));
    EXPECT_NEAR(v.x(), 25, 1e-9);
    EXPECT_NEAR(v.y(), 12.5, 1e-9);
    const QPoint p = Pixel(75, 30);
    QCursor::setPos(Chart.mapToGlobal(p));
    if (QCursor::pos() != Chart.mapToGlobal(p))
        GTEST_SKIP() << "the platform does not move the pointer";
    const QPointF q = Chart.PointerToAxis();
    const double xPerPixel = 100.0 / Chart.axisRect()->width(), yPerPixel = 50.0 / Chart.axisRect()->height();
    EXPECT_NEAR(q.x(), 75, xPerPixel);
    EXPECT_NEAR(q.y(), 30, yPerPixel);
}

TEST_F(ChartTest, PicturesGoToBitmapFilesAndTheClipboard) {
    AddTwoSeries();
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath("chart.png"); // the extension does not matter
    {
        QFile old(path);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("an older file, longer than nothing");
    }
    ASSERT_TRUE(Chart.SavePictureBmp(path));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.read(2), QByteArray("BM"));
    f.close();
    QImage loaded;
    ASSERT_TRUE(loaded.load(path, "BMP"));
    EXPECT_EQ(loaded.size(), Chart.size());
    EXPECT_EQ(QColor(loaded.pixel(1, 1)), QColor(Qt::white));
    // Some of the curve is drawn.
    const QPoint mid = Pixel(50, 25);
    bool dark = false;
    for (int dy = -2; dy <= 2; ++dy)
        dark = dark || IsDark(loaded.pixel(mid.x(), mid.y() + dy));
    EXPECT_TRUE(dark);

    EXPECT_FALSE(Chart.SavePictureBmp(dir.filePath("no/such/folder/chart.bmp")));

    QGuiApplication::clipboard()->clear();
    Chart.CopyPictureToClipboard();
    const QImage clip = QGuiApplication::clipboard()->image();
    ASSERT_FALSE(clip.isNull());
    EXPECT_EQ(clip.size(), Chart.size());
}

TEST_F(ChartTest, TickLabelsFollowThePatternAndTheSeparators) {
    const FormatSettings saved = TestFormat();
    const int s = Chart.AddSeries("Series1", TChart::SeriesKind::Line);
    Chart.AddXY(s, 0, 0);
    Chart.AddXY(s, 2, 5000);
    Chart.SetTickFormat("#,##0.00");
    EXPECT_EQ(Chart.TickFormat(), "#,##0.00");

    TestFormat() = FormatSettings{U',', U'\u00A0'};
    Chart.RefreshNow();
    EXPECT_TRUE(Chart.yAxis->tickVectorLabels().contains(QString::fromUtf8("1\u00A0000,00")))
        << Chart.yAxis->tickVectorLabels().join('|').toStdString();
    EXPECT_TRUE(Chart.xAxis->tickVectorLabels().contains("1,00"));

    TestFormat() = FormatSettings{U'.', U','};
    Chart.SetTickFormat("#,##0");
    Chart.RefreshNow();
    EXPECT_TRUE(Chart.yAxis->tickVectorLabels().contains("1,000"))
        << Chart.yAxis->tickVectorLabels().join('|').toStdString();
    EXPECT_TRUE(Chart.xAxis->tickVectorLabels().contains("2"));
    // Ticks no closer than the last digit of the pattern: no two labels alike.
    const QVector<QString> labels = Chart.xAxis->tickVectorLabels();
    EXPECT_EQ(QSet<QString>(labels.begin(), labels.end()).size(), labels.size())
        << labels.join('|').toStdString();
    EXPECT_GE(labels.size(), 3);
    TestFormat() = saved;
}

TEST_F(ChartTest, Screenshot) {
    TSignalRecord record;
    for (int s = 0; s < record.SignalCount(); ++s)
        Chart.SetActive(Chart.AddRecordSeries(QString("Series%1").arg(s + 1), &record, s), s == 0);
    for (int i = 0; i < 100000; ++i) {
        const double t = i * 1e-3;
        const double v = 300 * std::exp(-t / 30) * std::sin(t);
        record.Append(t, {v, v, v, v, v, v});
    }
    const int m = Chart.AddSeries("Series8", TChart::SeriesKind::Line);
    Chart.AddXY(m, 40, 350, " ", Qt::red);
    Chart.AddXY(m, 40, -350, " ", Qt::red);
    const int h = Chart.AddSeries("Series7", TChart::SeriesKind::Point, 2);
    Chart.AddXY(h, 40, 100, " ", Qt::red);
    Chart.SetTickFormat("#,##0.00");
    Chart.SetBottomTitle("мкс");
    Chart.SetLeftTitle("В");
    Chart.SetLeftMinimum(-350);
    Chart.SetLeftMaximum(350);
    QDir().mkpath("/tmp/shots");
    EXPECT_TRUE(Chart.Picture().save("/tmp/shots/chart_signal.png"));
}

TEST(ChartAdapterTitles, NewChartHasNoVerticalTitle) {
    TChart chart;
    EXPECT_TRUE(chart.LeftTitle().isEmpty());
    chart.SetLeftTitle(QStringLiteral("В"));
    EXPECT_EQ(chart.LeftTitle(), QStringLiteral("В"));
}

TEST(ChartAdapterTitles, YRangeInOnePass) {
    TChart chart;
    const int s = chart.AddSeries("Series1", TChart::SeriesKind::Line);
    double lo = 1, hi = 1;
    EXPECT_FALSE(chart.YRange(s, lo, hi));
    EXPECT_EQ(lo, 0);
    chart.AddXY(s, 0, 3);
    chart.AddXY(s, 1, -7);
    chart.AddXY(s, 2, 5);
    EXPECT_TRUE(chart.YRange(s, lo, hi));
    EXPECT_EQ(lo, -7);
    EXPECT_EQ(hi, 5);
}

// Labels stay short for any magnitude: the patterns for ordinary ranges, exactly as they format
// each tick, and a short scientific form when a label would carry ten or more integer digits or
// when the pattern cannot tell neighbouring ticks apart.
struct TickCase {
    const char *pattern;
    double low, high;
    bool scientific;
};

class TickLabelTest : public ::testing::TestWithParam<TickCase> {};

TEST_P(TickLabelTest, ShortForAnyMagnitude) {
    const TickCase c = GetParam();
    const FormatSettings saved = TestFormat();
    TestFormat() = FormatSettings{U',', U'\u00A0'};
    TFormatWindow window;
    TChart &chart = *new TChart(&window);
    chart.resize(640, 470);
    chart.SetTickFormat(c.pattern);
    const int s = chart.AddSeries("Series1", TChart::SeriesKind::Line);
    chart.AddXY(s, 0, c.low);
    chart.AddXY(s, 180, c.high);
    chart.RefreshNow();
    const QVector<double> ticks = chart.yAxis->tickVector();
    const QVector<QString> labels = chart.yAxis->tickVectorLabels();
    ASSERT_GE(ticks.size(), 3);
    ASSERT_EQ(labels.size(), ticks.size());
    const QRegularExpression scientific(QStringLiteral("^-?\\d(,\\d{1,3})?E[+-]\\d+$"));
    for (qsizetype i = 0; i < ticks.size(); ++i) {
        SCOPED_TRACE(labels.join('|').toStdString());
        if (c.scientific) {
            EXPECT_TRUE(scientific.match(labels[i]).hasMatch()) << labels[i].toStdString();
            EXPECT_LE(labels[i].size(), 10);
        } else {
            EXPECT_EQ(labels[i], FormatFloatQ(c.pattern, ticks[i]));
        }
        if (i > 0) {
            EXPECT_NE(labels[i], labels[i - 1]);
        }
    }
    // The horizontal axis of an ordinary range keeps its pattern.
    for (qsizetype i = 0; i < chart.xAxis->tickVector().size(); ++i)
        EXPECT_EQ(chart.xAxis->tickVectorLabels()[i], FormatFloatQ(c.pattern, chart.xAxis->tickVector()[i]));
    TestFormat() = saved;
}

INSTANTIATE_TEST_SUITE_P(
    Ranges, TickLabelTest,
    ::testing::Values(TickCase{"#,##0", 0, 5e60, true}, TickCase{"#,##0", -3e60, 4e60, true},
                      TickCase{"#,##0.00", -2e61, 0, true}, TickCase{"#,##0", 0, 2e9, true},
                      TickCase{"#,##0.00", 0, 1e-30, true}, TickCase{"#,##0", -250, 1250, false},
                      TickCase{"#,##0", 0, 9e8, false}, TickCase{"#,##0.00", 0, 5000, false},
                      TickCase{"#,##0.00", -0.3, 0.4, false}));

// A logarithmic axis labels its ticks in the axis' pattern: powers of ten (1, 2, 5 times them up to
// three decades) over a wide range, round values within less than a decade; never "2E+01".
TEST_F(ChartTest, LogarithmicTicksArePlainNumbers) {
    const FormatSettings saved = TestFormat();
    TestFormat() = FormatSettings{U',', U'\u00A0'};
    const int s = Chart.AddSeries("Series1", TChart::SeriesKind::Line);
    Chart.SetTickFormat("#,##0.##");
    Chart.SetLeftLogarithmic(true);
    struct Case {
        double lo, hi;
        const char *labels;
    };
    // The automatic range widens the data's by a factor 1.25 each way.
    for (const Case &c : {Case{1.25, 8000, "1|10|100|1\u00A0000|10\u00A0000"}, // beyond three decades
                          Case{0.5, 160, "0,5|1|2|5|10|20|50|100|200"},        // 1, 2, 5 per decade
                          Case{16.25, 40, "15|20|25|30|35|40|45|50"}}) {       // under a decade
        SCOPED_TRACE(c.labels);
        Chart.Clear(s);
        Chart.AddXY(s, 0, c.lo);
        Chart.AddXY(s, 1, c.hi);
        Chart.RefreshNow();
        EXPECT_EQ(Chart.yAxis->tickVectorLabels().toList().join('|'), QString::fromUtf8(c.labels));
    }
    TestFormat() = saved;
}
