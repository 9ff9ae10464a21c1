// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <array>

#include "circuit/SignalRecord.h"

namespace {
std::array<double, 6> Sample(double base) {
    return {base, base + 1, base + 2, base + 3, base + 4, base + 5};
}
} // namespace

TEST(SignalRecord, AppendAcrossBlocksKeepsEverySample) {
    TSignalRecord r;
    EXPECT_EQ(r.Count(), 0u);
    EXPECT_EQ(r.BytesAllocated(), 0u);
    // More than two blocks of 65536 samples.
    const std::size_t n = 150000;
    for (std::size_t i = 0; i < n; ++i)
        r.Append(static_cast<double>(i) * 0.5, Sample(static_cast<double>(i) * 10));
    ASSERT_EQ(r.Count(), n);
    for (std::size_t i :
         {std::size_t{0}, std::size_t{65535}, std::size_t{65536}, std::size_t{131072}, n - 1}) {
        EXPECT_EQ(r.Time(i), static_cast<double>(i) * 0.5) << i;
        for (int s = 0; s < r.SignalCount(); ++s)
            EXPECT_EQ(r.Value(s, i), static_cast<double>(i) * 10 + s) << i << " " << s;
    }
    // Seven doubles per sample, in three blocks.
    EXPECT_GE(r.BytesAllocated(), 3 * 65536 * 7 * sizeof(double));
    EXPECT_LT(r.BytesAllocated(), 3 * 65536 * 7 * sizeof(double) + 4096);
}

TEST(SignalRecord, ClearEmptiesAndReleasesAllButOneBlock) {
    TSignalRecord r;
    for (int i = 0; i < 200000; ++i)
        r.Append(i, Sample(i));
    const std::size_t full = r.BytesAllocated();
    const auto rev = r.Revision();
    r.Clear();
    EXPECT_EQ(r.Count(), 0u);
    EXPECT_NE(r.Revision(), rev);
    EXPECT_LT(r.BytesAllocated(), full / 3);
    r.Append(0, Sample(0));
    r.Append(0, Sample(7));
    ASSERT_EQ(r.Count(), 2u);
    EXPECT_EQ(r.Time(1), 0.0);
    EXPECT_EQ(r.Value(5, 1), 12.0);
}

TEST(SignalRecord, ReplacingChangesOneCellAndTheRevision) {
    TSignalRecord r;
    for (int i = 0; i < 10; ++i)
        r.Append(i, Sample(i));
    auto rev = r.Revision();
    r.Append(10, Sample(10));
    EXPECT_EQ(r.Revision(), rev) << "appending leaves earlier samples as they were";
    r.SetValue(2, 4, -1.5);
    EXPECT_NE(r.Revision(), rev);
    EXPECT_EQ(r.Value(2, 4), -1.5);
    EXPECT_EQ(r.Value(1, 4), 5.0);
    EXPECT_EQ(r.Value(3, 4), 7.0);
    rev = r.Revision();
    r.SetTime(3, 3.25);
    EXPECT_NE(r.Revision(), rev);
    EXPECT_EQ(r.Time(3), 3.25);
    EXPECT_EQ(r.Time(4), 4.0);
}
