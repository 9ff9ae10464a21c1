// SPDX-License-Identifier: GPL-3.0-or-later
// Circuit models and their named signals: the generator's six, a record of another signal list, and a
// model with one more signal reaching the record, signals.csv and the batch line's --signal.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <sstream>
#include <vector>

#include "analysis/RecordFigures.h"
#include "circuit/GeneratorCircuit.h"
#include "circuit/SignalRecord.h"
#include "files/DataFiles.h"
#include "files/ProfileFile.h"
#include "files/ProjectInputs.h"
#include "run/BatchRun.h"
#include "run/Engine.h"

namespace {

// The generator with one more signal, the voltage across RL, as a further element would add one.
class TProbedGenerator : public TGeneratorCircuit {
public:
    static const std::vector<SignalInfo> &List() {
        static const std::vector<SignalInfo> list = [] {
            std::vector<SignalInfo> l = GeneratorSignals();
            l.push_back({"Utest", "V", nullptr});
            return l;
        }();
        return list;
    }
    const std::vector<SignalInfo> &SignalList() const override { return List(); }
    void Sample(std::span<double> out) const override {
        TGeneratorCircuit::Sample(out.first(6));
        out[6] = Signals().U1[1] - Signals().Upep[1];
    }
};

EngineInputs DefaultInputs() {
    return ReadProjectInputs(ProfileFile{}, {}, FormatSettings{U',', U' '});
}

// The engine's samples of `steps` iterations, time first, in a record of the engine's signals.
TSignalRecord RunRecord(TSimulationEngine &e, int steps) {
    TSignalRecord record(e.SignalList());
    e.OnSample = [&record](double t, const TSimulationEngine::Sample &v) { record.Append(t, v); };
    for (int n = 0; n < steps; ++n)
        EXPECT_TRUE(e.Iterate());
    return record;
}

std::string Csv(const TSignalRecord &r) {
    std::ostringstream out;
    EXPECT_TRUE(WriteSignalsCsv(out, r));
    return out.str();
}

} // namespace

TEST(SignalList, TheGeneratorsSixAsTheFilesName) {
    EXPECT_EQ(SignalsCsvHeader(GeneratorSignals()), "t_us,U0_V,U1_V,Upep_V,I0_A,IL_A,Ipep_A");
    EXPECT_EQ(SignalIndex(GeneratorSignals(), "Upep"), 2);
    EXPECT_EQ(SignalIndex(GeneratorSignals(), "upep"), -1);
    const SignalNameList names = ListSignalNames(GeneratorSignals());
    EXPECT_EQ(names.AllButLast, "U0, U1, Upep, I0, IL");
    EXPECT_EQ(names.Last, "Ipep");
    EXPECT_EQ(TSignalRecord().Signals().size(), 6u);
}

TEST(SignalList, ARecordOfSevenSignalsRoundTripsAcrossBlocks) {
    std::vector<SignalInfo> list = GeneratorSignals();
    list.insert(list.begin(), {"Urx", "V", nullptr}); // first, so every other column moves
    TSignalRecord r(list);
    const std::size_t n = 70000; // past the first block
    for (std::size_t i = 0; i < n; ++i) {
        const double b = static_cast<double>(i);
        r.Append(b * 0.25, {b, b + 1, b + 2, b + 3, b + 4, b + 5, b + 6});
    }
    ASSERT_EQ(r.Count(), n);
    for (std::size_t i : {std::size_t{0}, std::size_t{65535}, std::size_t{65536}, n - 1})
        for (int s = 0; s < 7; ++s)
            EXPECT_EQ(r.Value(s, i), static_cast<double>(i) + s) << i << " " << s;
    EXPECT_EQ(*r.ValueRun(6, 65536), 65542.0);
    // Eight doubles per sample, in two blocks.
    EXPECT_GE(r.BytesAllocated(), 2 * 65536 * 8 * sizeof(double));
    EXPECT_LT(r.BytesAllocated(), 2 * 65536 * 8 * sizeof(double) + 4096);

    r.Reset(list);
    r.Append(0, {0, 0, 0, 0, 0, 0, 0});
    r.Append(0.25, {-1, 0.5, 2, 3e-7, 4, 5, 6});
    EXPECT_EQ(Csv(r),
              "t_us,Urx_V,U0_V,U1_V,Upep_V,I0_A,IL_A,Ipep_A\n0,0,0,0,0,0,0,0\n0.25,-1,0.5,2,3e-07,4,5,6\n");

    // Back to the generator's six: the blocks of eight columns are not reused.
    r.Reset(GeneratorSignals());
    EXPECT_LT(r.BytesAllocated(), 4096u);
    r.Append(0, {1, 2, 3, 4, 5, 6});
    EXPECT_EQ(Csv(r), "t_us,U0_V,U1_V,Upep_V,I0_A,IL_A,Ipep_A\n0,1,2,3,4,5,6\n");
}

TEST(SignalList, FiguresFindThePlateByNameWhereverItsColumnsLie) {
    std::vector<SignalInfo> shifted = GeneratorSignals();
    shifted.insert(shifted.begin(), {"Urx", "V", nullptr});
    TSignalRecord six, seven(shifted);
    six.Append(0, {0, 0, 0, 0, 0, 0});
    seven.Append(0, {0, 0, 0, 0, 0, 0, 0});
    for (int j = 1; j <= 800; ++j) {
        const double t = 0.25 * j, decay = std::exp(-t / 20);
        const double u = decay * std::sin(5.6 * t), i = 0.01 * decay * std::cos(5.6 * t);
        six.Append(t, {0, 0, u, 0, 0, i});
        seven.Append(t, {7, 0, 0, u, 0, 0, i});
    }
    const RecordFigures a = ComputeRecordFigures(six, WholeRecord(six), WholeRecord(six), 2, 0.25, 0.9);
    const RecordFigures b = ComputeRecordFigures(seven, WholeRecord(seven), WholeRecord(seven), 3, 0.25, 0.9);
    ASSERT_TRUE(a.Impedance.Valid) << a.Impedance.Reason;
    EXPECT_EQ(b.Impedance.AbsZ_Ohm, a.Impedance.AbsZ_Ohm);
    EXPECT_EQ(b.Pulse.Level_dB, a.Pulse.Level_dB);
}

TEST(CircuitModel, AnExtraSignalReachesTheRecordAndLeavesTheSixAsTheyWere) {
    const int steps = 1500;
    TSimulationEngine plain;
    ASSERT_EQ(plain.CreateTask(DefaultInputs()), "");
    const TSignalRecord six = RunRecord(plain, steps);

    TSimulationEngine probed;
    ASSERT_EQ(probed.CreateTask(DefaultInputs()), "");
    probed.SetCircuitModel(std::make_unique<TProbedGenerator>());
    EXPECT_FALSE(probed.HasTask()); // a new topology needs a new task
    ASSERT_EQ(probed.CreateTask(DefaultInputs()), "");
    const TSignalRecord seven = RunRecord(probed, steps);

    ASSERT_EQ(seven.Count(), six.Count());
    EXPECT_EQ(std::memcmp(seven.TimeRun(0), six.TimeRun(0), steps * sizeof(double)), 0);
    for (int s = 0; s < 6; ++s)
        EXPECT_EQ(std::memcmp(seven.ValueRun(s, 0), six.ValueRun(s, 0), steps * sizeof(double)), 0) << s;
    bool moved = false;
    for (std::size_t i = 0; i < seven.Count(); ++i) {
        ASSERT_EQ(seven.Value(6, i), six.Value(1, i) - six.Value(2, i)) << i;
        moved = moved || seven.Value(6, i) != 0;
    }
    EXPECT_TRUE(moved);

    const std::string csv = Csv(seven);
    EXPECT_EQ(csv.substr(0, csv.find('\n')), "t_us,U0_V,U1_V,Upep_V,I0_A,IL_A,Ipep_A,Utest_V");
}

TEST(CircuitModel, TheBatchLineAcceptsAndNamesTheModelsSignals) {
    const auto &list = TProbedGenerator::List();
    BatchOptions o;
    EXPECT_EQ(ParseBatchArguments({"--batch", "p", "--until", "1", "--signal", "Utest"}, o, {}, list), "");
    EXPECT_EQ(o.Signal, "Utest");
    EXPECT_EQ(ParseBatchArguments({"--batch", "p", "--until", "1", "--signal", "Utest"}, o),
              "После --signal нужно имя сигнала: U0, U1, Upep, I0, IL или Ipep.");
    EXPECT_EQ(ParseBatchArguments({"--batch", "p", "--until", "1", "--signal", "Urx"}, o, {}, list),
              "После --signal нужно имя сигнала: U0, U1, Upep, I0, IL, Ipep или Utest.");
    const std::string help = BatchHelpText({}, list);
    EXPECT_NE(help.find("сигнал для характеристик импульса: U0, U1, Upep, I0, IL, Ipep или Utest\n"),
              std::string::npos);
    EXPECT_NE(help.find("\nsignals.csv: t_us,U0_V,U1_V,Upep_V,I0_A,IL_A,Ipep_A,Utest_V - "),
              std::string::npos);
    EXPECT_NE(BatchHelpText().find("\nsignals.csv: t_us,U0_V,U1_V,Upep_V,I0_A,IL_A,Ipep_A - "),
              std::string::npos);
}
