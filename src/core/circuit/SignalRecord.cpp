// SPDX-License-Identifier: GPL-3.0-or-later
#include "circuit/SignalRecord.h"

#include <cassert>

#include "circuit/GeneratorCircuit.h"

TSignalRecord::TSignalRecord() : TSignalRecord(GeneratorSignals()) {}

TSignalRecord::TSignalRecord(std::span<const SignalInfo> list) : FSignals(list.begin(), list.end()) {}

void TSignalRecord::Reset(std::span<const SignalInfo> list) {
    // Blocks are sized by the column count: another count cannot reuse them.
    if (list.size() != FSignals.size())
        FBlocks.clear();
    FSignals.assign(list.begin(), list.end());
    Clear();
}

void TSignalRecord::Clear() {
    // Keep the first block: a new task refills the record at once, and one block is small.
    if (FBlocks.size() > 1)
        FBlocks.resize(1);
    FCount = 0;
    ++FRevision;
}

void TSignalRecord::Append(double time, std::span<const double> values) {
    assert(values.size() == FSignals.size());
    const std::size_t block = FCount >> kBlockBits;
    const std::size_t slot = FCount & (kBlockSize - 1);
    if (block == FBlocks.size())
        // Default-initialised on purpose: pages are touched only as samples arrive.
        FBlocks.push_back(std::unique_ptr<double[]>(new double[BlockValues()]));
    double *b = FBlocks[block].get();
    b[slot] = time;
    const std::size_t n = FSignals.size();
    for (std::size_t s = 0; s < n; ++s)
        b[(s + 1) * kBlockSize + slot] = values[s];
    ++FCount;
}

double TSignalRecord::Time(std::size_t i) const {
    assert(i < FCount);
    return FBlocks[i >> kBlockBits][i & (kBlockSize - 1)];
}

double TSignalRecord::Value(int signal, std::size_t i) const {
    assert(i < FCount && signal >= 0 && signal < SignalCount());
    return FBlocks[i >> kBlockBits][Column(signal) + (i & (kBlockSize - 1))];
}

void TSignalRecord::SetValue(int signal, std::size_t i, double y) {
    assert(i < FCount && signal >= 0 && signal < SignalCount());
    FBlocks[i >> kBlockBits][Column(signal) + (i & (kBlockSize - 1))] = y;
    ++FRevision;
}

void TSignalRecord::SetTime(std::size_t i, double x) {
    assert(i < FCount);
    FBlocks[i >> kBlockBits][i & (kBlockSize - 1)] = x;
    ++FRevision;
}

std::size_t TSignalRecord::BytesAllocated() const {
    return FBlocks.size() * BlockValues() * sizeof(double) + FBlocks.capacity() * sizeof(FBlocks[0]);
}
