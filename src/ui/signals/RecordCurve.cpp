// SPDX-License-Identifier: GPL-3.0-or-later
#include "signals/RecordCurve.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "circuit/SignalRecord.h"

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

// Range of value(i) over [begin, end), finite values of the sign domain only.
template <class Value>
QCPRange RangeOf(std::size_t begin, std::size_t end, Value value, QCP::SignDomain domain, bool &found) {
    QCPRange r;
    for (std::size_t i = begin; i < end; ++i) {
        const double v = value(i);
        if (!std::isfinite(v) || !InSignDomain(v, domain))
            continue;
        if (!found) {
            r = QCPRange(v, v);
            found = true;
        } else {
            r.expand(v);
        }
    }
    return r;
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
    while (FScanned < n) {
        const std::size_t len = FRecord->RunLength(FScanned);
        const double *values = FRecord->ValueRun(FSignal, FScanned);
        for (std::size_t j = 0; j < len; ++j) {
            const double v = values[j];
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
        FScanned += len;
    }
}

bool TRecordCurve::ValueExtremes(double &lo, double &hi) const {
    UpdateExtremes();
    lo = FMin;
    hi = FMax;
    return FFound;
}

double TRecordCurve::selectTest(const QPointF &, bool, QVariant *) const {
    return -1;
}

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
    return RangeOf(0, n, [this](std::size_t i) { return FRecord->Time(i); }, inSignDomain, foundRange);
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
    return RangeOf(begin, end, [this](std::size_t i) { return FRecord->Value(FSignal, i); }, inSignDomain,
                   foundRange);
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

std::size_t TRecordCurve::FirstAtOrAboveFrom(std::size_t from, std::size_t limit, double key) const {
    // Galloping: a pixel column usually holds few samples, sometimes thousands.
    std::size_t lo = from, step = 1, hi = from;
    while (hi < limit && FRecord->Time(hi) < key) {
        lo = hi + 1;
        hi = std::min(limit, hi + step);
        step *= 2;
    }
    while (lo < hi) {
        const std::size_t mid = lo + (hi - lo) / 2;
        if (FRecord->Time(mid) < key)
            lo = mid + 1;
        else
            hi = mid;
    }
    return lo;
}

void TRecordCurve::ExtremesIn(std::size_t i, std::size_t end, std::size_t &minAt, std::size_t &maxAt) const {
    // NaN never compares below or above, so it is skipped.
    double mn = std::numeric_limits<double>::infinity(), mx = -mn;
    minAt = maxAt = end;
    while (i < end) {
        const std::size_t len = std::min(FRecord->RunLength(i), end - i);
        const double *v = FRecord->ValueRun(FSignal, i);
        for (std::size_t j = 0; j < len; ++j) {
            if (v[j] < mn) {
                mn = v[j];
                minAt = i + j;
            }
            if (v[j] > mx) {
                mx = v[j];
                maxAt = i + j;
            }
        }
        i += len;
    }
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
    const QRect ar = keyAxis->axisRect()->rect();
    const double vMin = (horizontal ? ar.top() : ar.left()) - kPixelClampMargin;
    const double vMax = (horizontal ? ar.bottom() : ar.right()) + kPixelClampMargin;
    // Pixels grow with the key (left to right) or shrink (bottom to top, or a reversed axis).
    const bool pixelsGrow = keyAxis->coordToPixel(kr.upper) > keyAxis->coordToPixel(kr.lower);

    QPolygonF line;
    line.reserve(4 * (ar.width() + ar.height()) + 8);
    auto addPoint = [&](double kp, double v) {
        if (!std::isfinite(kp) || std::isnan(v))
            return;
        const double vp = std::clamp(valueAxis->coordToPixel(v), vMin, vMax);
        line.append(horizontal ? QPointF(kp, vp) : QPointF(vp, kp));
    };

    // The edge samples are moved along their segment onto the visible border, so that no
    // far-away coordinate reaches the painter.
    auto edgePoint = [&](std::size_t i) {
        double t = FRecord->Time(i), v = FRecord->Value(FSignal, i);
        if (t < kr.lower && i + 1 < end) {
            const double t1 = FRecord->Time(i + 1), v1 = FRecord->Value(FSignal, i + 1);
            if (t1 > t && std::isfinite(v1)) {
                v += (v1 - v) * ((kr.lower - t) / (t1 - t));
                t = kr.lower;
            }
        } else if (t > kr.upper && i > begin) {
            const double t0 = FRecord->Time(i - 1), v0 = FRecord->Value(FSignal, i - 1);
            if (t > t0 && std::isfinite(v0)) {
                v = v0 + (v - v0) * ((kr.upper - t0) / (t - t0));
                t = kr.upper;
            }
        }
        addPoint(keyAxis->coordToPixel(t), v);
    };

    edgePoint(begin);
    // One pixel column at a time: its first sample, its extremes and its last sample, found by
    // a search for the column's end and one tight pass over its values.
    const std::size_t inner = end - 1;
    for (std::size_t i = begin + 1; i < inner;) {
        const double kp = keyAxis->coordToPixel(FRecord->Time(i));
        const double column = std::floor(kp);
        const double edge = keyAxis->pixelToCoord(pixelsGrow ? column + 1 : column);
        std::size_t j = FirstAtOrAboveFrom(i + 1, inner, edge);
        if (!pixelsGrow) // the column's lower key edge still belongs to it
            while (j < inner && FRecord->Time(j) == edge)
                ++j;
        // In the order they occur, each sample once; the extremes stand on the first's pixel.
        addPoint(kp, FRecord->Value(FSignal, i));
        std::size_t prev = i;
        if (j - i > 1) {
            std::size_t minAt, maxAt;
            ExtremesIn(i, j, minAt, maxAt);
            for (std::size_t e : {std::min(minAt, maxAt), std::max(minAt, maxAt)})
                if (e < j && e != prev) {
                    addPoint(kp, FRecord->Value(FSignal, e));
                    prev = e;
                }
            if (j - 1 != prev)
                addPoint(keyAxis->coordToPixel(FRecord->Time(j - 1)), FRecord->Value(FSignal, j - 1));
        }
        i = j;
    }
    if (end - 1 > begin)
        edgePoint(end - 1);

    painter->setPen(mPen);
    painter->setBrush(Qt::NoBrush);
    applyDefaultAntialiasingHint(painter);
    if (line.size() == 1)
        painter->drawPoint(line.front());
    else if (line.size() > 1)
        painter->drawPolyline(line);
}

void TRecordCurve::drawLegendIcon(QCPPainter *painter, const QRectF &rect) const {
    applyDefaultAntialiasingHint(painter);
    painter->setPen(mPen);
    painter->drawLine(QLineF(rect.left(), rect.center().y(), rect.right(), rect.center().y()));
}
