// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The record of the six circuit signals: one time column and six value columns, stored once, in
// fixed-size blocks so that appending is O(1) without reallocation spikes and a million samples
// take 56 MB. The signal chart draws its six curves straight from it.

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

class TSignalRecord {
public:
    static constexpr int kSignals = 6;

    void Clear();
    // One sample: time (µs) and the six signal values.
    void Append(double time, const std::array<double, kSignals> &values);
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
    const double *TimeRun(std::size_t i) const {
        return &FBlocks[i >> kBlockBits]->time[i & (kBlockSize - 1)];
    }
    const double *ValueRun(int signal, std::size_t i) const {
        return &FBlocks[i >> kBlockBits]->value[signal][i & (kBlockSize - 1)];
    }
    // Changes whenever existing samples change or vanish (Clear, SetValue, SetTime) but not on
    // Append, so a reader that caches a summary of the first n samples knows when to start over.
    std::uint64_t Revision() const { return FRevision; }

private:
    static constexpr std::size_t kBlockBits = 16;
    static constexpr std::size_t kBlockSize = std::size_t{1} << kBlockBits;
    struct Block {
        double time[kBlockSize];
        double value[kSignals][kBlockSize];
    };
    std::vector<std::unique_ptr<Block>> FBlocks;
    std::size_t FCount = 0;
    std::uint64_t FRevision = 0;
};
