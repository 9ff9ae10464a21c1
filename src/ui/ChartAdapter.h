#pragma once
// TChart: the chart adapter. Windows talk to charts only through these operations; QCustomPlot
// does the drawing. Series are numbered from 0 in the order they were added ("Series1" is 0).
// Every point carries a label and a colour in the program's model; a line series is drawn in the
// colour of its points, so the adapter keeps one colour per series (the colour of the last point
// added) and stores the points themselves once, in QCustomPlot's data containers.

#include <QColor>
#include <QPointF>
#include <QString>
#include <vector>

#include <qcustomplot.h>

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
    int SeriesCount() const;
    QCPGraph *Series(int s) const;

    void Clear(int s);
    // O(1) append; never replots.
    void AddXY(int s, double x, double y, const QString &label = QStringLiteral(" "),
               const QColor &colour = Qt::black);
    int Count(int s) const;
    double XValue(int s, int i) const;
    double YValue(int s, int i) const;
    void SetXValue(int s, int i, double x);
    void SetYValue(int s, int i, double y);
    double MinYValue(int s) const; // 0 for an empty series
    double MaxYValue(int s) const;

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
    bool LeftAutomatic() const;
    void SetBottomAutomatic(bool on);
    bool BottomAutomatic() const;

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
    // Repaints now (tests, pictures).
    void RefreshNow();

    // Picture of the chart at its size on white.
    QPixmap Picture();
    void CopyPictureToClipboard();
    bool SavePictureBmp(const QString &path);

signals:
    void ZoomedByUser();
};
