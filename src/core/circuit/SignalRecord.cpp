// SPDX-License-Identifier: GPL-3.0-or-later
#include "circuit/SignalRecord.h"

#include <cassert>

void TSignalRecord::Clear() {
    // Keep the first block: a new task refills the record at once, and one block is small.
    if (FBlocks.size() > 1)
        FBlocks.resize(1);
    FCount = 0;
    ++FRevision;
}

void TSignalRecord::Append(double time, const std::array<double, kSignals> &values) {
    const std::size_t block = FCount >> kBlockBits;
    const std::size_t slot = FCount & (kBlockSize - 1);
    if (block == FBlocks.size())
        // Default-initialised on purpose: pages are touched only as samples arrive.
        FBlocks.push_back(std::unique_ptr<Block>(new Block));
    Block &b = *FBlocks[block];
    b.time[slot] = time;
    for (int s = 0; s < kSignals; ++s)
        b.value[s][slot] = values[static_cast<std::size_t>(s)];
    ++FCount;
}

double TSignalRecord::Time(std::size_t i) const {
    assert(i < FCount);
    return FBlocks[i >> kBlockBits]->time[i & (kBlockSize - 1)];
}

double TSignalRecord::Value(int signal, std::size_t i) const {
    assert(i < FCount && signal >= 0 && signal < kSignals);
    return FBlocks[i >> kBlockBits]->value[signal][i & (kBlockSize - 1)];
}

void TSignalRecord::SetValue(int signal, std::size_t i, double y) {
    assert(i < FCount && signal >= 0 && signal < kSignals);
    FBlocks[i >> kBlockBits]->value[signal][i & (kBlockSize - 1)] = y;
    ++FRevision;
}

void TSignalRecord::SetTime(std::size_t i, double x) {
    assert(i < FCount);
    FBlocks[i >> kBlockBits]->time[i & (kBlockSize - 1)] = x;
    ++FRevision;
}

std::size_t TSignalRecord::BytesAllocated() const {
    return FBlocks.size() * sizeof(Block) + FBlocks.capacity() * sizeof(FBlocks[0]);
}
