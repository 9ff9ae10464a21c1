// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A plottable that draws one column of a TSignalRecord straight from the record's storage, so a
// million-sample record is stored once. Drawing decimates to the pixel columns (first, extremes,
// last per column), so a replot costs one pass over the visible values.

#include <cstddef>
#include <cstdint>

#include <qcustomplot.h>

class TSignalRecord;

class TRecordCurve : public QCPAbstractPlottable {
    Q_OBJECT
public:
    TRecordCurve(QCPAxis *keyAxis, QCPAxis *valueAxis, const TSignalRecord *record, int signal);

    const TSignalRecord *Record() const { return FRecord; }
    int Signal() const { return FSignal; }
    // Extremes of all finite values of the column; false when there is none.
    bool ValueExtremes(double &lo, double &hi) const;

    double selectTest(const QPointF &pos, bool onlySelectable, QVariant *details = nullptr) const override;
    QCPRange getKeyRange(bool &foundRange, QCP::SignDomain inSignDomain = QCP::sdBoth) const override;
    QCPRange getValueRange(bool &foundRange, QCP::SignDomain inSignDomain = QCP::sdBoth,
                           const QCPRange &inKeyRange = QCPRange()) const override;

protected:
    void draw(QCPPainter *painter) override;
    void drawLegendIcon(QCPPainter *painter, const QRectF &rect) const override;

private:
    // Brings the cached extremes up to date: appended samples are scanned once; a change of the
    // record's revision (clear or replaced values) starts the scan over.
    void UpdateExtremes() const;
    std::size_t FirstAtOrAbove(double key) const;
    std::size_t FirstAbove(double key) const;
    // First index in [from, limit) with time >= key, or limit.
    std::size_t FirstAtOrAboveFrom(std::size_t from, std::size_t limit, double key) const;
    // Indices of the first minimum and maximum of the values in [i, end), NaN skipped; end when
    // there is none.
    void ExtremesIn(std::size_t i, std::size_t end, std::size_t &minAt, std::size_t &maxAt) const;

    const TSignalRecord *FRecord;
    int FSignal;

    mutable std::uint64_t FScannedRevision = ~std::uint64_t{0};
    mutable std::size_t FScanned = 0;
    mutable bool FFound = false;
    mutable double FMin = 0;
    mutable double FMax = 0;
};
