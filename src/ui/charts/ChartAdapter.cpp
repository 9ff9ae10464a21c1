// SPDX-License-Identifier: GPL-3.0-or-later
#include "charts/ChartAdapter.h"

#include <QClipboard>
#include <QCursor>
#include <QGuiApplication>
#include <QImage>
#include <algorithm>
#include <cmath>

#include "app/AppFormat.h"
#include "charts/ChartTickers.h"
#include "circuit/SignalRecord.h"
#include "signals/RecordCurve.h"

namespace {

constexpr int kMinTopMargin = 10;
constexpr int kMinRightMargin = 24;

// A range of a single value is not a valid axis range: open it up around the value.
QCPRange Widened(QCPRange r) {
    if (r.lower == r.upper) {
        const double d = r.lower == 0 ? 1.0 : std::abs(r.lower) * 0.1;
        r = QCPRange(r.lower - d, r.upper + d);
    }
    return r;
}

void Unite(QCPRange &total, bool &found, const QCPRange &r) {
    if (!found)
        total = r;
    else
        total.expand(r);
    found = true;
}

} // namespace

TChart::TChart(QWidget *parent) : QCustomPlot(parent) {
    FRepaintTimer.setSingleShot(true);
    connect(&FRepaintTimer, &QTimer::timeout, this, &TChart::QueueRepaint);
    setBackground(Qt::white);
    setInteractions(QCP::Interactions()); // no wheel zoom, no panning
    legend->setVisible(false);
    SetTickFormat(QStringLiteral("#,##0"));
    // Room for half of the last tick label on the right and the first one on top.
    axisRect()->setMinimumMargins(QMargins(0, kMinTopMargin, kMinRightMargin, 0));

    // The vertical title is written horizontally, above the top-left corner of the plot area,
    // where it cannot meet the tick labels left of the axis.
    FLeftTitle = new QCPItemText(this);
    FLeftTitle->setClipToAxisRect(false);
    FLeftTitle->position->setAxisRect(axisRect());
    FLeftTitle->position->setType(QCPItemPosition::ptAxisRectRatio);
    FLeftTitle->position->setCoords(0, 0);
    FLeftTitle->setPositionAlignment(Qt::AlignLeft | Qt::AlignBottom);
    FLeftTitle->setPadding(QMargins(2, 0, 0, 3));
    FLeftTitle->setFont(yAxis->labelFont());
    FLeftTitle->setColor(yAxis->labelColor());
    FLeftTitle->setSelectable(false);
    FLeftTitle->setText(QString()); // a new chart has no vertical title

    // Saves the state for undo before the built-in zoom applies the rectangle. The context is the
    // selection rect itself, because setSelectionRectMode drops the rect's connections to `this`.
    connect(selectionRect(), &QCPSelectionRect::accepted, selectionRect(),
            [this](const QRect &, QMouseEvent *) {
                if (!FZoomed)
                    FBeforeZoom = TAxesState{xAxis->range(), yAxis->range(), FBottomAuto, FLeftAuto};
                FZoomPending = true;
            });
    setSelectionRectMode(QCP::srmZoom);

    // Whatever asks for a replot, the curves are drawn sorted and the automatic axes fit them.
    connect(this, &QCustomPlot::beforeReplot, this, [this] {
        SortSeries();
        RescaleAutomaticAxes();
    });
}

int TChart::AddSeries(const QString &name, SeriesKind kind, int PointHalfWidth) {
    TSeriesInfo info;
    info.Graph = addGraph(xAxis, yAxis);
    info.Plottable = info.Graph;
    info.Kind = kind;
    info.PointHalfWidth = PointHalfWidth;
    info.Graph->setName(name);
    info.Graph->setAntialiased(false);
    info.Graph->setAntialiasedScatters(false);
    info.Graph->setAdaptiveSampling(true);
    info.Graph->setLineStyle(kind == SeriesKind::Point ? QCPGraph::lsNone : QCPGraph::lsLine);
    info.Graph->setSelectable(QCP::stNone);
    ApplySeriesColour(info);
    FSeries.push_back(info);
    return static_cast<int>(FSeries.size()) - 1;
}

int TChart::AddRecordSeries(const QString &name, const TSignalRecord *record, int signal) {
    TSeriesInfo info;
    info.Curve = new TRecordCurve(xAxis, yAxis, record, signal); // owned by the plot
    info.Plottable = info.Curve;
    info.Curve->setName(name);
    ApplySeriesColour(info);
    FSeries.push_back(info);
    return static_cast<int>(FSeries.size()) - 1;
}

int TChart::AddRightSeries(const QString &name) {
    const int s = AddSeries(name, SeriesKind::Line);
    FSeries[s].Graph->setValueAxis(yAxis2);
    if (!layer(QStringLiteral("right")))
        addLayer(QStringLiteral("right"), layer(QStringLiteral("main")), QCustomPlot::limBelow);
    FSeries[s].Graph->setLayer(QStringLiteral("right"));
    yAxis2->setVisible(true);
    yAxis2->setTicker(QSharedPointer<QCPAxisTicker>(new TPatternTicker(this, FTickFormat)));
    return s;
}

void TChart::SetRightTitle(const QString &t) {
    yAxis2->setLabel(t);
}

QString TChart::RightTitle() const {
    return yAxis2->label();
}

void TChart::SetRightRange(double lower, double upper, double step, const QColor &colour) {
    FRightAuto = false;
    yAxis2->setRange(lower, upper);
    yAxis2->setTicker(QSharedPointer<QCPAxisTicker>(new TPatternTicker(this, QStringLiteral("#,##0"), step)));
    QPen pen = yAxis2->basePen();
    pen.setColor(colour);
    yAxis2->setBasePen(pen);
    yAxis2->setTickPen(pen);
    yAxis2->setSubTickPen(pen);
    yAxis2->setTickLabelColor(colour);
    yAxis2->setLabelColor(colour);
}

void TChart::SetBottomRange(double lower, double upper) {
    FBottomAuto = false;
    if (QCPRange::validRange(lower, upper))
        xAxis->setRange(lower, upper);
}

void TChart::SetSeriesCaption(int s, const QString &caption) {
    if (!ValidSeries(s))
        return;
    FSeries[s].Plottable->setName(caption);
    legend->setVisible(true);
    legend->setFont(xAxis->tickLabelFont());
    legend->setIconSize(16, 8);
    legend->setRowSpacing(0);
    legend->setMargins(QMargins(4, 2, 4, 2));
    legend->setBrush(QColor(255, 255, 255, 220));
    axisRect()->insetLayout()->setInsetAlignment(0, Qt::AlignTop | Qt::AlignRight);
}

void TChart::SetLeftLogarithmic(bool on) {
    yAxis->setScaleType(on ? QCPAxis::stLogarithmic : QCPAxis::stLinear);
    if (on) {
        yAxis->setTicker(QSharedPointer<QCPAxisTicker>(new TLogPatternTicker(this, FTickFormat)));
    } else {
        yAxis->setTicker(QSharedPointer<QCPAxisTicker>(new TPatternTicker(this, FTickFormat)));
    }
}

bool TChart::LeftLogarithmic() const {
    return yAxis->scaleType() == QCPAxis::stLogarithmic;
}

int TChart::SeriesCount() const {
    return static_cast<int>(FSeries.size());
}

QCPAbstractPlottable *TChart::Series(int s) const {
    return ValidSeries(s) ? FSeries[s].Plottable : nullptr;
}

bool TChart::ValidSeries(int s) const {
    return s >= 0 && s < static_cast<int>(FSeries.size());
}

void TChart::ApplySeriesColour(TSeriesInfo &info) {
    const QPen pen(info.Colour, 1);
    if (info.Curve) {
        info.Curve->setPen(pen);
        return;
    }
    QCPGraph *g = info.Graph;
    g->setPen(pen);
    const double size = 2 * std::max(info.PointHalfWidth, 1) + 1;
    switch (info.Kind) {
    case SeriesKind::Point:
        g->setScatterStyle(
            QCPScatterStyle(QCPScatterStyle::ssSquare, QPen(Qt::black, 1), QBrush(Qt::red), size));
        break;
    case SeriesKind::Line:
        if (info.PointHalfWidth > 0)
            g->setScatterStyle(QCPScatterStyle(QCPScatterStyle::ssSquare, pen, QBrush(info.Colour), size));
        else
            g->setScatterStyle(QCPScatterStyle());
        break;
    case SeriesKind::FastLine:
        g->setScatterStyle(QCPScatterStyle());
        break;
    }
}

void TChart::SetSeriesColour(int s, const QColor &colour) {
    if (!ValidSeries(s))
        return;
    FSeries[s].Colour = colour;
    ApplySeriesColour(FSeries[s]);
}

QColor TChart::SeriesColour(int s) const {
    return ValidSeries(s) ? FSeries[s].Colour : QColor();
}

void TChart::Clear(int s) {
    // A record series is cleared by the record's owner.
    if (!ValidSeries(s) || !FSeries[s].Graph)
        return;
    FSeries[s].Graph->data()->clear();
    FSeries[s].Unsorted = false;
}

void TChart::AddXY(int s, double x, double y, const QString &, const QColor &colour) {
    // A record series is appended to through its record.
    if (!ValidSeries(s) || !FSeries[s].Graph)
        return;
    TSeriesInfo &info = FSeries[s];
    if (info.Unsorted)
        SortSeries();
    info.Graph->addData(x, y);
    // A line is drawn in the colour of its points; FastLine keeps its one series colour.
    if (info.Kind != SeriesKind::FastLine && colour != info.Colour) {
        info.Colour = colour;
        ApplySeriesColour(info);
    }
}

int TChart::Count(int s) const {
    if (!ValidSeries(s))
        return 0;
    const TSeriesInfo &info = FSeries[s];
    if (info.Curve)
        return info.Curve->Record() ? static_cast<int>(info.Curve->Record()->Count()) : 0;
    return info.Graph->data()->size();
}

double TChart::XValue(int s, int i) const {
    if (i < 0 || i >= Count(s))
        return 0;
    const TSeriesInfo &info = FSeries[s];
    if (info.Curve)
        return info.Curve->Record()->Time(static_cast<std::size_t>(i));
    return (info.Graph->data()->constBegin() + i)->key;
}

double TChart::YValue(int s, int i) const {
    if (i < 0 || i >= Count(s))
        return 0;
    const TSeriesInfo &info = FSeries[s];
    if (info.Curve)
        return info.Curve->Record()->Value(info.Curve->Signal(), static_cast<std::size_t>(i));
    return (info.Graph->data()->constBegin() + i)->value;
}

void TChart::SetXValue(int s, int i, double x) {
    // The record is read-only here; its owner replaces samples.
    if (i < 0 || i >= Count(s) || !FSeries[s].Graph)
        return;
    TSeriesInfo &info = FSeries[s];
    QCPGraphDataContainer &data = *info.Graph->data();
    (data.begin() + i)->key = x;
    // Sorting is put off until the next drawing: a vertical line gets its two x one after the
    // other, and sorting in between would swap its points under the caller's indices.
    const int n = data.size();
    if ((i > 0 && (data.begin() + i - 1)->key > x) || (i + 1 < n && (data.begin() + i + 1)->key < x))
        info.Unsorted = true;
}

void TChart::SetYValue(int s, int i, double y) {
    if (i < 0 || i >= Count(s) || !FSeries[s].Graph)
        return;
    (FSeries[s].Graph->data()->begin() + i)->value = y;
}

void TChart::SetYValues(int s, const double *y, int n) {
    if (!ValidSeries(s) || !FSeries[s].Graph)
        return;
    QCPGraphDataContainer &data = *FSeries[s].Graph->data();
    n = std::min(n, data.size());
    auto it = data.begin();
    for (int i = 0; i < n; ++i, ++it)
        it->value = y[i];
}

void TChart::SortSeries() {
    for (TSeriesInfo &info : FSeries) {
        if (!info.Unsorted)
            continue;
        // Stable, so points with equal x keep their order.
        QCPGraphDataContainer &data = *info.Graph->data();
        std::stable_sort(data.begin(), data.end(),
                         [](const QCPGraphData &a, const QCPGraphData &b) { return a.key < b.key; });
        info.Unsorted = false;
    }
}

bool TChart::YRange(int s, double &lo, double &hi) const {
    lo = hi = 0;
    if (!ValidSeries(s))
        return false;
    const TSeriesInfo &info = FSeries[s];
    if (info.Curve) {
        if (info.Curve->ValueExtremes(lo, hi))
            return true;
        lo = hi = 0;
        return false;
    }
    bool found = false;
    const QCPRange r = info.Graph->getValueRange(found);
    if (found) {
        lo = r.lower;
        hi = r.upper;
    }
    return found;
}

void TChart::SetActive(int s, bool shown) {
    if (ValidSeries(s))
        FSeries[s].Plottable->setVisible(shown);
}

bool TChart::Active(int s) const {
    return ValidSeries(s) && FSeries[s].Plottable->visible();
}

int TChart::FirstShownSeries() const {
    for (int s = 0; s < SeriesCount(); ++s)
        if (FSeries[s].Plottable->visible())
            return s;
    return -1;
}

int TChart::Tag(int s) const {
    return ValidSeries(s) ? FSeries[s].Tag : 0;
}

void TChart::SetTag(int s, int tag) {
    if (ValidSeries(s))
        FSeries[s].Tag = tag;
}

void TChart::SetBottomTitle(const QString &t) {
    xAxis->setLabel(t);
}

QString TChart::BottomTitle() const {
    return xAxis->label();
}

void TChart::SetLeftTitle(const QString &t) {
    FLeftTitle->setText(t);
    // Room above the plot area for the title line.
    const int room = t.isEmpty() ? kMinTopMargin : QFontMetrics(FLeftTitle->font()).height() + 6;
    axisRect()->setMinimumMargins(QMargins(0, room, kMinRightMargin, 0));
}

QString TChart::LeftTitle() const {
    return FLeftTitle->text();
}

void TChart::ApplyLeftRange() {
    // Bounds given the wrong way round are shown as the range between them.
    yAxis->setRange(Widened(QCPRange(std::min(FLeftMin, FLeftMax), std::max(FLeftMin, FLeftMax))));
}

void TChart::SetLeftMinimum(double v) {
    FLeftAuto = false;
    FLeftMin = v;
    ApplyLeftRange();
}

void TChart::SetLeftMaximum(double v) {
    FLeftAuto = false;
    FLeftMax = v;
    ApplyLeftRange();
}

double TChart::LeftMinimum() const {
    return yAxis->range().lower;
}

double TChart::LeftMaximum() const {
    return yAxis->range().upper;
}

void TChart::SetLeftAutomatic(bool on) {
    FLeftAuto = on;
    FLeftMin = yAxis->range().lower;
    FLeftMax = yAxis->range().upper;
}

bool TChart::LeftAutomatic() const {
    return FLeftAuto;
}

void TChart::SetBottomAutomatic(bool on) {
    FBottomAuto = on;
}

bool TChart::BottomAutomatic() const {
    return FBottomAuto;
}

void TChart::RescaleAutomaticAxes() {
    if (!FBottomAuto && !FLeftAuto)
        return;
    QCPRange keys, values, rightValues;
    bool keysFound = false, valuesFound = false, rightFound = false;
    const QCP::SignDomain leftDomain = LeftLogarithmic() ? QCP::sdPositive : QCP::sdBoth;
    for (const TSeriesInfo &info : FSeries) {
        if (!info.Plottable->visible())
            continue;
        bool found = false;
        if (FBottomAuto) {
            const QCPRange r = info.Plottable->getKeyRange(found);
            if (found)
                Unite(keys, keysFound, r);
        }
        if (info.Plottable->valueAxis() == yAxis2) {
            const QCPRange r = info.Plottable->getValueRange(found);
            if (found)
                Unite(rightValues, rightFound, r);
        } else if (FLeftAuto) {
            const QCPRange r = info.Plottable->getValueRange(found, leftDomain);
            if (found)
                Unite(values, valuesFound, r);
        }
    }
    if (FRightAuto && rightFound && QCPRange::validRange(Widened(rightValues)))
        yAxis2->setRange(Widened(rightValues));
    // With nothing to show, an automatic axis keeps its range.
    if (keysFound) {
        QCPRange r = Widened(keys);
        const double margin = r.size() * FBottomMargin;
        r = QCPRange(r.lower - margin, r.upper + margin);
        if (QCPRange::validRange(r))
            xAxis->setRange(r);
    }
    if (valuesFound) {
        // Decades widen by a factor, not by a share of the span.
        const QCPRange r = LeftLogarithmic() ? QCPRange(values.lower / 1.25, values.upper * 1.25) : Widened(values);
        if (QCPRange::validRange(r)) {
            yAxis->setRange(r);
            FLeftMin = r.lower;
            FLeftMax = r.upper;
        }
    }
}

void TChart::SetZoomAllowed(bool on) {
    FZoomAllowed = on;
    // Forbidding also cancels a drag in progress.
    setSelectionRectMode(on ? QCP::srmZoom : QCP::srmNone);
}

bool TChart::ZoomAllowed() const {
    return FZoomAllowed;
}

bool TChart::Zoomed() const {
    return FZoomed;
}

void TChart::UndoZoom() {
    if (!FZoomed)
        return;
    FZoomed = false;
    FBottomAuto = FBeforeZoom.BottomAuto;
    FLeftAuto = FBeforeZoom.LeftAuto;
    xAxis->setRange(FBeforeZoom.Bottom);
    yAxis->setRange(FBeforeZoom.Left);
    FLeftMin = FBeforeZoom.Left.lower;
    FLeftMax = FBeforeZoom.Left.upper;
    Refresh();
}

void TChart::mousePressEvent(QMouseEvent *event) {
    FZoomPending = false;
    // Only the left button draws a zoom rectangle; the others stay free for the windows.
    setSelectionRectMode(FZoomAllowed && event->button() == Qt::LeftButton ? QCP::srmZoom : QCP::srmNone);
    QCustomPlot::mousePressEvent(event);
}

void TChart::mouseReleaseEvent(QMouseEvent *event) {
    QCustomPlot::mouseReleaseEvent(event);
    if (!FZoomPending)
        return;
    // The rectangle has been applied: both axes stay at the zoomed range until undone.
    FZoomPending = false;
    FZoomed = true;
    FBottomAuto = false;
    FLeftAuto = false;
    FLeftMin = yAxis->range().lower;
    FLeftMax = yAxis->range().upper;
    emit ZoomedByUser();
}

QPointF TChart::PointerToAxis() const {
    return PixelToAxis(QPointF(mapFromGlobal(QCursor::pos())));
}

QPointF TChart::PixelToAxis(const QPointF &pixel) const {
    return QPointF(xAxis->pixelToCoord(pixel.x()), yAxis->pixelToCoord(pixel.y()));
}

void TChart::Refresh() {
    // A repaint is already due: it sorts and rescales when it comes.
    if (FRepaintTimer.isActive())
        return;
    SortSeries();
    RescaleAutomaticAxes();
    const qint64 since = FLastRepaint.isValid() ? FLastRepaint.elapsed() : kMinRepaintMs;
    if (since >= kMinRepaintMs)
        QueueRepaint();
    else
        FRepaintTimer.start(static_cast<int>(kMinRepaintMs - since));
}

void TChart::RequestRepaint() {
    if (FRepaintTimer.isActive())
        return;
    const qint64 since = FLastRepaint.isValid() ? FLastRepaint.elapsed() : kMinRepaintMs;
    if (since >= kMinRepaintMs) {
        FLastRepaint.start();
        replot(QCustomPlot::rpQueuedReplot);
    } else {
        FRepaintTimer.start(static_cast<int>(kMinRepaintMs - since));
    }
}

void TChart::QueueRepaint() {
    FLastRepaint.start();
    SortSeries();
    RescaleAutomaticAxes();
    replot(QCustomPlot::rpQueuedReplot);
}

void TChart::RefreshNow() {
    SortSeries();
    RescaleAutomaticAxes();
    replot(QCustomPlot::rpRefreshHint);
}

QPixmap TChart::Picture() {
    RefreshNow();
    return toPixmap(width(), height());
}

void TChart::CopyPictureToClipboard() {
    QGuiApplication::clipboard()->setImage(Picture().toImage());
}

bool TChart::SavePictureBmp(const QString &path) {
    const QImage image = Picture().toImage().convertToFormat(QImage::Format_RGB32);
    return !image.isNull() && image.save(path, "BMP");
}

void TChart::SetTickFormat(const QString &pattern) {
    FTickFormat = pattern;
    xAxis->setTicker(QSharedPointer<QCPAxisTicker>(new TPatternTicker(this, pattern)));
    yAxis->setTicker(QSharedPointer<QCPAxisTicker>(new TPatternTicker(this, pattern)));
}

QString TChart::TickFormat() const {
    return FTickFormat;
}
