// SPDX-License-Identifier: GPL-3.0-or-later
// Two engines in one process compute independently: two different tasks stepped in turn, on one
// and on two threads, give every field of every node and every signal of each task to the bit as
// the task run alone.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "files/ProfileFile.h"
#include "files/ProjectInputs.h"
#include "run/Engine.h"
#include "solver/SweepPool.h"

namespace {

const FormatSettings kComma{U',', U' '};
constexpr int kSteps = 1500;

// The default task, and one with a coarser grid and a thicker protector.
EngineInputs TaskInputs(int task) {
    if (task == 0)
        return ReadProjectInputs(ProfileFile{}, {}, kComma);
    return ReadProjectInputs(ProfileFile{}, {{"DeltaX_QNSuperSpin", "20"}, {"Protector_L_QNSuperSpin", "1"}},
                             kComma);
}

uint64_t Fnv(uint64_t hash, const void *data, size_t bytes) {
    const auto *p = static_cast<const unsigned char *>(data);
    for (size_t i = 0; i < bytes; ++i)
        hash = (hash ^ p[i]) * 0x100000001B3ull;
    return hash;
}

// What a run leaves after each iteration: the bits of every field of every node (as a hash) and of
// the sample; at the end the grid itself.
struct Trace {
    std::vector<uint64_t> GridHashes;
    std::vector<double> Samples; // every sample's signals, one after another
    std::vector<double> Times;
    std::vector<GridNode> Grid;
    std::vector<NodeCoefficients> Coefficients;
    int Yields = 0;
};

int gYields[2];
void YieldOfTask0() {
    ++gYields[0];
}
void YieldOfTask1() {
    ++gYields[1];
}

struct Runner {
    TSimulationEngine Engine;
    Trace Out;
    int Task;

    Runner(int task, SweepPool *pool) : Engine(pool), Task(task) {
        EXPECT_EQ(Engine.CreateTask(TaskInputs(task)), "");
        Engine.Yield().SetHook(task == 0 ? &YieldOfTask0 : &YieldOfTask1, 7);
        Engine.OnSample = [this](double time, const TSimulationEngine::Sample &values) {
            Out.Times.push_back(time);
            Out.Samples.insert(Out.Samples.end(), values.begin(), values.end());
        };
    }
    void Step() {
        ASSERT_TRUE(Engine.Iterate()) << "task " << Task << ": " << Engine.Failure().What;
        const std::vector<GridNode> &grid = Engine.Solver().NodeGrid;
        Out.GridHashes.push_back(Fnv(0xCBF29CE484222325ull, grid.data(), grid.size() * sizeof(GridNode)));
    }
    Trace Finish() {
        Out.Grid = Engine.Solver().NodeGrid;
        Out.Coefficients = Engine.Solver().Coefficients;
        return Out;
    }
};

Trace RunAlone(int task) {
    gYields[task] = 0;
    Runner r(task, nullptr);
    for (int k = 0; k < kSteps; ++k)
        r.Step();
    Trace t = r.Finish();
    t.Yields = gYields[task];
    return t;
}

bool SameBytes(const void *a, const void *b, size_t bytes) {
    return std::memcmp(a, b, bytes) == 0;
}

void ExpectSame(const Trace &alone, const Trace &together, const std::string &what) {
    ASSERT_EQ(alone.GridHashes.size(), together.GridHashes.size()) << what;
    for (size_t k = 0; k < alone.GridHashes.size(); ++k)
        ASSERT_EQ(alone.GridHashes[k], together.GridHashes[k]) << what << ", grid after step " << k;
    ASSERT_EQ(alone.Samples.size(), together.Samples.size()) << what;
    EXPECT_TRUE(SameBytes(alone.Samples.data(), together.Samples.data(),
                          alone.Samples.size() * sizeof(double)))
        << what << ": the signals differ";
    EXPECT_TRUE(SameBytes(alone.Times.data(), together.Times.data(), alone.Times.size() * sizeof(double)))
        << what << ": the sample times differ";
    ASSERT_EQ(alone.Grid.size(), together.Grid.size()) << what;
    EXPECT_TRUE(SameBytes(alone.Grid.data(), together.Grid.data(), alone.Grid.size() * sizeof(GridNode)))
        << what << ": the final fields differ";
    ASSERT_EQ(alone.Coefficients.size(), together.Coefficients.size()) << what;
    EXPECT_TRUE(SameBytes(alone.Coefficients.data(), together.Coefficients.data(),
                          alone.Coefficients.size() * sizeof(NodeCoefficients)))
        << what << ": the coefficients differ";
}

} // namespace

TEST(TwoEngines, InterleavedTasksGiveTheBitsOfEachTaskAlone) {
    const Trace alone[2] = {RunAlone(0), RunAlone(1)};
    // The tasks differ, and they have moved.
    ASSERT_NE(alone[0].Grid.size(), alone[1].Grid.size());
    // The last sample's plate voltage (Upep, the third of the six signals).
    ASSERT_NE(alone[0].Samples[alone[0].Samples.size() - 6 + 2], 0.0);
    ASSERT_NE(alone[1].Samples[alone[1].Samples.size() - 6 + 2], 0.0);

    for (int threads : {1, 2}) {
        SCOPED_TRACE(std::to_string(threads) + " thread(s)");
        // One pool for both engines, as the program hands its pool to its engines; threshold 0
        // shares even these grids' sweeps with the workers.
        SweepPool pool(threads);
        pool.SetParallelThreshold(0);
        gYields[0] = gYields[1] = 0;
        Runner a(0, &pool);
        Runner b(1, &pool);
        for (int k = 0; k < kSteps; ++k) {
            a.Step();
            b.Step();
        }
        ExpectSame(alone[0], a.Finish(), "the default task");
        ExpectSame(alone[1], b.Finish(), "the coarse task");
        // Each run counts down its own yield points: with one thread, each hook ran as often as in
        // its task alone (with workers the calling thread's share of the nodes varies).
        if (threads == 1) {
            EXPECT_EQ(gYields[0], alone[0].Yields);
            EXPECT_EQ(gYields[1], alone[1].Yields);
        }
        EXPECT_GT(gYields[0], 0);
        EXPECT_GT(gYields[1], 0);
    }
}
