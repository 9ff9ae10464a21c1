// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The record of the circuit's signals: one time column and one value column per signal, stored
// once, in fixed-size blocks so that appending is O(1) without reallocation spikes; with the six
// signals of the generator a million samples take 56 MB. Its columns are a signal list given at
// construction or by Reset (the generator's six by default). The signal chart draws its curves
// straight from it.

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <span>
#include <vector>

#include "circuit/SignalInfo.h"

class TSignalRecord {
public:
    // A record of the generator's six signals.
    TSignalRecord();
    explicit TSignalRecord(std::span<const SignalInfo> list);

    // Empties the record and gives it these columns.
    void Reset(std::span<const SignalInfo> list);
    void Clear();
    // One sample: time (µs) and the value of each signal, in the order of Signals().
    void Append(double time, std::span<const double> values);
    void Append(double time, std::initializer_list<double> values) {
        Append(time, std::span<const double>(values.begin(), values.size()));
    }
    const std::vector<SignalInfo> &Signals() const { return FSignals; }
    int SignalCount() const { return static_cast<int>(FSignals.size()); }
    std::size_t Count() const { return FCount; }
    double Time(std::size_t i) const;
    double Value(int signal, std::size_t i) const;
    void SetValue(int signal, std::size_t i, double y);
    void SetTime(std::size_t i, double x);
    // Bytes held by the record (for the memory benchmark).
    std::size_t BytesAllocated() const;
    // Samples i, i+1, ... lie contiguously up to the end of i's block: RunLength(i) of them from
    // TimeRun(i) and ValueRun(signal, i). Lets long scans run over plain arrays.
    std::size_t RunLength(std::size_t i) const {
        const std::size_t inBlock = kBlockSize - (i & (kBlockSize - 1));
        return i < FCount ? (FCount - i < inBlock ? FCount - i : inBlock) : 0;
    }
    const double *TimeRun(std::size_t i) const { return &FBlocks[i >> kBlockBits][i & (kBlockSize - 1)]; }
    const double *ValueRun(int signal, std::size_t i) const {
        return &FBlocks[i >> kBlockBits][Column(signal) + (i & (kBlockSize - 1))];
    }
    // Changes whenever existing samples change or vanish (Clear, Reset, SetValue, SetTime) but not
    // on Append, so a reader that caches a summary of the first n samples knows when to start over.
    std::uint64_t Revision() const { return FRevision; }

private:
    static constexpr std::size_t kBlockBits = 16;
    static constexpr std::size_t kBlockSize = std::size_t{1} << kBlockBits;
    // A block holds the time column, then each signal's column, kBlockSize values each.
    static std::size_t Column(int signal) { return (static_cast<std::size_t>(signal) + 1) * kBlockSize; }
    std::size_t BlockValues() const { return (FSignals.size() + 1) * kBlockSize; }

    std::vector<SignalInfo> FSignals;
    std::vector<std::unique_ptr<double[]>> FBlocks;
    std::size_t FCount = 0;
    std::uint64_t FRevision = 0;
};
