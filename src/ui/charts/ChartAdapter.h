// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// TChart: the chart adapter. Windows talk to charts only through these operations; QCustomPlot
// does the drawing. Series are numbered from 0 in the order they were added ("Series1" is 0).
// Every point carries a label and a colour in the program's model; a line series is drawn in the
// colour of its points, so the adapter keeps one colour per series (the colour of the last point
// added) and stores the points themselves once, in QCustomPlot's data containers.

#include <QColor>
#include <QPointF>
#include <QElapsedTimer>
#include <QString>
#include <QTimer>
#include <vector>

#include <qcustomplot.h>

class TSignalRecord;
class TRecordCurve;

class TChart : public QCustomPlot {
    Q_OBJECT
public:
    enum class SeriesKind {
        Line,     // line through the points, optional point squares
        FastLine, // one pen for the whole curve, no symbols
        Point     // squares only
    };

    explicit TChart(QWidget *parent = nullptr);

    // Adds a series; PointHalfWidth > 0 draws a square of that half-width at each point
    // (filled red with a black outline for Point series, the line colour otherwise).
    int AddSeries(const QString &name, SeriesKind kind, int PointHalfWidth = 0);
    // Adds a line series drawn straight from column `signal` of a signal record (x = time). It
    // shares the record's storage: Count/XValue/YValue read the record, the record is appended to
    // by its owner, and the curve decimates to the pixel columns when drawn.
    int AddRecordSeries(const QString &name, const TSignalRecord *record, int signal);
    // Adds a line series against the right-hand vertical axis, which then shows with its own title
    // and scales automatically to the right-hand series. Right-hand series are drawn under the
    // others, so that a curve read against the left axis is never hidden.
    int AddRightSeries(const QString &name);
    void SetRightTitle(const QString &t);
    QString RightTitle() const;
    // Fixed right-hand range with ticks at multiples of `step`; the axis, its labels and title take
    // `colour` (that of its series).
    void SetRightRange(double lower, double upper, double step, const QColor &colour);
    // Fixed horizontal range (automatic scaling off until SetBottomAutomatic(true)).
    void SetBottomRange(double lower, double upper);
    // The caption of a series in the legend; the legend shows (top right, inside the plot) once
    // any series has one.
    void SetSeriesCaption(int s, const QString &caption);
    int SeriesCount() const;
    QCPAbstractPlottable *Series(int s) const;

    void Clear(int s);
    // O(1) append; never replots.
    void AddXY(int s, double x, double y, const QString &label = QStringLiteral(" "),
               const QColor &colour = Qt::black);
    int Count(int s) const;
    double XValue(int s, int i) const;
    double YValue(int s, int i) const;
    void SetXValue(int s, int i, double x);
    void SetYValue(int s, int i, double y);
    // Replaces y of points 0 .. n-1 at once (n is cut to the point count): the redraw of a whole
    // curve without a bounds check per point.
    void SetYValues(int s, const double *y, int n);
    // Smallest and largest y in one pass; false (and 0, 0) for an empty series.
    bool YRange(int s, double &lo, double &hi) const;

    // The pen colour of a series until the next point with another colour; the only colour of a
    // FastLine series (its points' colours are ignored).
    void SetSeriesColour(int s, const QColor &colour);
    QColor SeriesColour(int s) const;

    void SetActive(int s, bool shown);
    bool Active(int s) const;
    int FirstShownSeries() const; // -1 when none is shown
    int Tag(int s) const;
    void SetTag(int s, int tag);

    void SetBottomTitle(const QString &t);
    QString BottomTitle() const;
    void SetLeftTitle(const QString &t);
    QString LeftTitle() const;

    // Fixed vertical range: setting the minimum or the maximum switches the vertical axis from
    // automatic to fixed scaling.
    void SetLeftMinimum(double v);
    void SetLeftMaximum(double v);
    double LeftMinimum() const;
    double LeftMaximum() const;
    void SetLeftAutomatic(bool on);
    // Decades on the left axis, for magnitudes spanning orders (automatic scaling then uses only
    // the positive values).
    void SetLeftLogarithmic(bool on);
    bool LeftLogarithmic() const;
    bool LeftAutomatic() const;
    void SetBottomAutomatic(bool on);
    bool BottomAutomatic() const;
    // Room left on each side of the automatic horizontal range, as a fraction of its span, so that
    // vertical lines at the ends of the data stay visible inside the plot (0: none).
    void SetBottomMargin(double fraction) { FBottomMargin = fraction; }
    double BottomMargin() const { return FBottomMargin; }

    // Zoom by dragging with the left mouse button; undo restores the ranges in force before it.
    void SetZoomAllowed(bool on);
    bool ZoomAllowed() const;
    bool Zoomed() const;
    void UndoZoom();

    // Current pointer position over the chart, in axis values (x: bottom axis, y: left axis).
    QPointF PointerToAxis() const;
    QPointF PixelToAxis(const QPointF &pixel) const;

    // Asks for a repaint; many requests collapse into one per event-loop turn. Automatic axes
    // are rescaled to the shown series first.
    void Refresh();
    // Asks for a repaint within the same spacing as Refresh, without rescaling now: the sorting and
    // rescaling come with the repaint. For appends at every step of a run.
    void RequestRepaint();
    // Repaints now (tests, pictures).
    void RefreshNow();

    // Picture of the chart at its size on white.
    QPixmap Picture();
    void CopyPictureToClipboard();
    bool SavePictureBmp(const QString &path);

    // Number pattern of the tick labels of both axes (FormatFloat, current separators), e.g.
    // "#,##0" or "#,##0.00".
    void SetTickFormat(const QString &pattern);
    QString TickFormat() const;

signals:
    void ZoomedByUser();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    struct TSeriesInfo {
        QCPAbstractPlottable *Plottable = nullptr;
        QCPGraph *Graph = nullptr;     // null for a record series
        TRecordCurve *Curve = nullptr; // null for a graph series
        SeriesKind Kind = SeriesKind::Line;
        int PointHalfWidth = 0;
        QColor Colour = Qt::black;
        int Tag = 0;
        bool Unsorted = false; // an x was replaced out of order; sorted before drawing
    };
    struct TAxesState {
        QCPRange Bottom, Left;
        bool BottomAuto = true, LeftAuto = true;
    };

    void ApplySeriesColour(TSeriesInfo &info);
    void SortSeries();
    void RescaleAutomaticAxes();
    void ApplyLeftRange();
    bool ValidSeries(int s) const;

    std::vector<TSeriesInfo> FSeries;
    QCPItemText *FLeftTitle = nullptr;
    QString FTickFormat;
    bool FLeftAuto = true;
    bool FBottomAuto = true;
    bool FRightAuto = true;
    double FBottomMargin = 0;
    double FLeftMin = 0; // the fixed vertical bounds as last set (they may arrive in either order)
    double FLeftMax = 0;
    bool FZoomAllowed = true;
    // Repaints are spaced at least kMinRepaintMs apart: a live run asks for one at every step,
    // and painting a chart costs as much as many time steps.
    static constexpr int kMinRepaintMs = 50;
    QElapsedTimer FLastRepaint;
    QTimer FRepaintTimer;
    void QueueRepaint();
    bool FZoomed = false;
    bool FZoomPending = false;
    TAxesState FBeforeZoom;
};
