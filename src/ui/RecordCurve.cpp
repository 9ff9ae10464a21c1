#include "RecordCurve.h"

#include <algorithm>
#include <cmath>

#include "SignalRecord.h"

namespace {
// Value pixels are clamped this far outside the axis rect: the painter copes with such lines, and
// a line leaving the rect that steeply looks the same either way.
constexpr double kPixelClampMargin = 1e6;

bool InSignDomain(double v, QCP::SignDomain d) {
    switch (d) {
    case QCP::sdNegative:
        return v < 0;
    case QCP::sdPositive:
        return v > 0;
    default:
        return true;
    }
}
} // namespace

TRecordCurve::TRecordCurve(QCPAxis *keyAxis, QCPAxis *valueAxis, const TSignalRecord *record, int signal)
    : QCPAbstractPlottable(keyAxis, valueAxis), FRecord(record), FSignal(signal) {
    // Data curves are drawn with a thin pen and no antialiasing: the software painter stays fast.
    setPen(QPen(Qt::black, 1));
    setBrush(Qt::NoBrush);
    setAntialiased(false);
    setSelectable(QCP::stNone);
}

void TRecordCurve::UpdateExtremes() const {
    const std::size_t n = FRecord ? FRecord->Count() : 0;
    if (!FRecord || FRecord->Revision() != FScannedRevision || n < FScanned) {
        FScannedRevision = FRecord ? FRecord->Revision() : 0;
        FScanned = 0;
        FFound = false;
    }
    for (; FScanned < n; ++FScanned) {
        const double v = FRecord->Value(FSignal, FScanned);
        if (!std::isfinite(v))
            continue;
        if (!FFound) {
            FMin = FMax = v;
            FFound = true;
        } else if (v < FMin) {
            FMin = v;
        } else if (v > FMax) {
            FMax = v;
        }
    }
}

bool TRecordCurve::ValueExtremes(double &lo, double &hi) const {
    UpdateExtremes();
    lo = FMin;
    hi = FMax;
    return FFound;
}

double TRecordCurve::selectTest(const QPointF &, bool, QVariant *) const { return -1; }

QCPRange TRecordCurve::getKeyRange(bool &foundRange, QCP::SignDomain inSignDomain) const {
    foundRange = false;
    const std::size_t n = FRecord ? FRecord->Count() : 0;
    if (n == 0)
        return QCPRange();
    if (inSignDomain == QCP::sdBoth) {
        // Time never decreases along the record.
        foundRange = true;
        return QCPRange(FRecord->Time(0), FRecord->Time(n - 1));
    }
    QCPRange r;
    for (std::size_t i = 0; i < n; ++i) {
        const double t = FRecord->Time(i);
        if (!std::isfinite(t) || !InSignDomain(t, inSignDomain))
            continue;
        if (!foundRange) {
            r = QCPRange(t, t);
            foundRange = true;
        } else {
            r.expand(t);
        }
    }
    return r;
}

QCPRange TRecordCurve::getValueRange(bool &foundRange, QCP::SignDomain inSignDomain,
                                     const QCPRange &inKeyRange) const {
    foundRange = false;
    if (!FRecord)
        return QCPRange();
    const bool allKeys = inKeyRange == QCPRange();
    if (inSignDomain == QCP::sdBoth && allKeys) {
        double lo, hi;
        foundRange = ValueExtremes(lo, hi);
        return foundRange ? QCPRange(lo, hi) : QCPRange();
    }
    std::size_t begin = 0, end = FRecord->Count();
    if (!allKeys) {
        begin = FirstAtOrAbove(inKeyRange.lower);
        end = FirstAbove(inKeyRange.upper);
    }
    QCPRange r;
    for (std::size_t i = begin; i < end; ++i) {
        const double v = FRecord->Value(FSignal, i);
        if (!std::isfinite(v) || !InSignDomain(v, inSignDomain))
            continue;
        if (!foundRange) {
            r = QCPRange(v, v);
            foundRange = true;
        } else {
            r.expand(v);
        }
    }
    return r;
}

std::size_t TRecordCurve::FirstAtOrAbove(double key) const {
    std::size_t lo = 0, hi = FRecord->Count();
    while (lo < hi) {
        const std::size_t mid = lo + (hi - lo) / 2;
        if (FRecord->Time(mid) < key)
            lo = mid + 1;
        else
            hi = mid;
    }
    return lo;
}

std::size_t TRecordCurve::FirstAbove(double key) const {
    std::size_t lo = 0, hi = FRecord->Count();
    while (lo < hi) {
        const std::size_t mid = lo + (hi - lo) / 2;
        if (FRecord->Time(mid) <= key)
            lo = mid + 1;
        else
            hi = mid;
    }
    return lo;
}

void TRecordCurve::draw(QCPPainter *painter) {
    QCPAxis *keyAxis = mKeyAxis.data();
    QCPAxis *valueAxis = mValueAxis.data();
    if (!keyAxis || !valueAxis || !FRecord || FRecord->Count() == 0)
        return;
    const std::size_t n = FRecord->Count();
    const QCPRange kr = keyAxis->range();
    // The visible samples plus one beyond each edge, so the line runs on to the border.
    std::size_t begin = FirstAtOrAbove(kr.lower);
    std::size_t end = FirstAbove(kr.upper);
    if (begin > 0)
        --begin;
    if (end < n)
        ++end;
    if (begin >= end)
        return;

    const bool horizontal = keyAxis->orientation() == Qt::Horizontal;
    const bool linearKey = keyAxis->scaleType() == QCPAxis::stLinear;
    const double k0 = keyAxis->coordToPixel(kr.lower);
    const double kScale = (keyAxis->coordToPixel(kr.upper) - k0) / kr.size();
    const QRect ar = keyAxis->axisRect()->rect();
    const double vMin = (horizontal ? ar.top() : ar.left()) - kPixelClampMargin;
    const double vMax = (horizontal ? ar.bottom() : ar.right()) + kPixelClampMargin;

    auto keyPixel = [&](double t) {
        return linearKey ? k0 + (t - kr.lower) * kScale : keyAxis->coordToPixel(t);
    };
    auto valuePixel = [&](double v) { return std::clamp(valueAxis->coordToPixel(v), vMin, vMax); };

    // Sample i, with the two edge samples moved along their segment onto the visible border so
    // that no far-away coordinate reaches the painter.
    auto sample = [&](std::size_t i, double &t, double &v) {
        t = FRecord->Time(i);
        v = FRecord->Value(FSignal, i);
        if (i == begin && t < kr.lower && i + 1 < end) {
            const double t1 = FRecord->Time(i + 1), v1 = FRecord->Value(FSignal, i + 1);
            if (t1 > t && std::isfinite(v1)) {
                v += (v1 - v) * ((kr.lower - t) / (t1 - t));
                t = kr.lower;
            }
        } else if (i + 1 == end && t > kr.upper && i > begin) {
            const double t0 = FRecord->Time(i - 1), v0 = FRecord->Value(FSignal, i - 1);
            if (t > t0 && std::isfinite(v0)) {
                v = v0 + (v - v0) * ((kr.upper - t0) / (t - t0));
                t = kr.upper;
            }
        }
    };

    painter->setPen(mPen);
    painter->setBrush(Qt::NoBrush);
    applyDefaultAntialiasingHint(painter);

    QPolygonF line;
    line.reserve(static_cast<qsizetype>(std::min<std::size_t>(end - begin, 4 * (ar.width() + ar.height()) + 8)));
    auto addPoint = [&](double kp, double v) {
        const double vp = valuePixel(v);
        line.append(horizontal ? QPointF(kp, vp) : QPointF(vp, kp));
    };
    auto drawLine = [&]() {
        if (line.size() == 1)
            painter->drawPoint(line.front());
        else if (line.size() > 1)
            painter->drawPolyline(line);
        line.clear();
    };

    // One pixel column: its first and last samples and its extremes, in the order they occur.
    bool open = false;
    long long col = 0;
    double firstK = 0, firstV = 0, lastK = 0, lastV = 0, minV = 0, maxV = 0;
    std::size_t firstI = 0, lastI = 0, minI = 0, maxI = 0;
    auto flush = [&]() {
        if (!open)
            return;
        open = false;
        addPoint(firstK, firstV);
        std::size_t prev = firstI;
        const bool minFirst = minI < maxI;
        const std::size_t e1 = minFirst ? minI : maxI, e2 = minFirst ? maxI : minI;
        const double v1 = minFirst ? minV : maxV, v2 = minFirst ? maxV : minV;
        if (e1 != prev) {
            addPoint(firstK, v1);
            prev = e1;
        }
        if (e2 != prev) {
            addPoint(firstK, v2);
            prev = e2;
        }
        if (lastI != prev)
            addPoint(lastK, lastV);
    };

    for (std::size_t i = begin; i < end; ++i) {
        double t, v;
        sample(i, t, v);
        const double kp = keyPixel(t);
        if (!std::isfinite(v) || !std::isfinite(kp)) {
            // A gap in the data breaks the line.
            flush();
            drawLine();
            continue;
        }
        const long long c = static_cast<long long>(std::floor(std::clamp(kp, -1e15, 1e15)));
        if (!open || c != col) {
            flush();
            open = true;
            col = c;
            firstK = lastK = kp;
            firstV = lastV = minV = maxV = v;
            firstI = lastI = minI = maxI = i;
            continue;
        }
        lastK = kp;
        lastV = v;
        lastI = i;
        if (v < minV) {
            minV = v;
            minI = i;
        } else if (v > maxV) {
            maxV = v;
            maxI = i;
        }
    }
    flush();
    drawLine();
}

void TRecordCurve::drawLegendIcon(QCPPainter *painter, const QRectF &rect) const {
    applyDefaultAntialiasingHint(painter);
    painter->setPen(mPen);
    painter->drawLine(QLineF(rect.left(), rect.center().y(), rect.right(), rect.center().y()));
}
