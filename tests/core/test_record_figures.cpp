// SPDX-License-Identifier: GPL-3.0-or-later
// The transducer figures of a signal record: which samples a stretch holds, which figures a stretch
// cannot support, and the batch run's two summaries agreeing column for column.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <map>
#include <numbers>
#include <sstream>
#include <string>
#include <vector>

#include "analysis/RecordFigures.h"
#include "circuit/SignalRecord.h"
#include "run/BatchRun.h"
#include "text/FormatSettings.h"

namespace {

namespace fs = std::filesystem;

// A record as the runs write it: the head point, then samples every 0.25 µs (exact in binary) from
// 0.25 µs; Upep and Ipep are a damped 0.9 MHz ringing that starts at `onset_us` (Upep from 0).
TSignalRecord Ringing(std::size_t samples, double onset_us) {
    TSignalRecord r;
    r.Append(0, {0, 0, 0, 0, 0, 0});
    for (std::size_t j = 1; j <= samples; ++j) {
        const double t = 0.25 * static_cast<double>(j), s = t - onset_us;
        const double w = 2 * std::numbers::pi * 0.9, u = s < 0 ? 0 : std::exp(-s) * std::sin(w * s);
        const double i = s < 0 ? 0 : 0.01 * std::exp(-s) * std::cos(w * s);
        r.Append(t, {u, 0, u, i, 0, i});
    }
    return r;
}

std::string ReadText(const fs::path &p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

std::vector<std::string> SplitCsv(const std::string &line) {
    std::vector<std::string> fields;
    std::stringstream in(line);
    for (std::string f; std::getline(in, f, ',');)
        fields.push_back(f);
    if (!line.empty() && line.back() == ',')
        fields.emplace_back();
    return fields;
}

// The text of the value of "key" in a JSON text written by JsonWriter ("null", a number, true,
// false or a quoted string), or "<missing>".
std::string JsonValue(const std::string &json, const std::string &key) {
    const std::string quoted = "\"" + key + "\": ";
    const std::size_t at = json.find(quoted);
    if (at == std::string::npos)
        return "<missing>";
    const std::size_t from = at + quoted.size();
    return json.substr(from, json.find_first_of(",\n}", from) - from);
}

} // namespace

TEST(RecordStretch, BothBoundsOnSampleTimesAreInside) {
    const TSignalRecord r = Ringing(40, 1);
    struct Case {
        double from, to;
        std::size_t first, last;
    };
    for (const Case &c : {Case{1.0, 2.0, 4, 9},     // 1.0 and 2.0 are the times of samples 4 and 8
                          Case{0.25, 0.25, 1, 2},   // one sample
                          Case{0.9, 2.1, 4, 9},     // bounds between samples
                          Case{0, 10, 1, 41},       // the whole record, never the head point
                          Case{-1, 1e300, 1, 41},   // the batch run's defaults
                          Case{10.0, 10.0, 40, 41}, // the last sample alone
                          Case{2.0, 1.0, 8, 8}}) {  // an empty stretch
        SCOPED_TRACE(std::to_string(c.from) + " … " + std::to_string(c.to));
        const RecordStretch s = StretchByTime(r, c.from, c.to);
        EXPECT_EQ(s.First, c.first);
        EXPECT_EQ(s.Last, c.last);
    }
}

TEST(RecordFigures, AStretchThatStartsAfterTheExcitationHasNoImpedance) {
    // The ringing starts at 2 µs (sample 8, Upep 0 there); sample 9 is the first with Upep ≠ 0.
    const TSignalRecord r = Ringing(400, 2);
    // From the record's start, the last quiet sample or the first loud one, the stretch holds the
    // excitation.
    for (std::size_t first : {1u, 8u, 9u}) {
        const RecordFigures f = ComputeRecordFigures(r, {first, r.Count()}, {first, r.Count()}, 2, 0.25, 0);
        EXPECT_TRUE(f.Impedance.Valid) << first << ": " << f.Impedance.Reason;
    }
    // From the next sample on it holds the ringing alone: refused, the pulse figures still given.
    const RecordFigures f = ComputeRecordFigures(r, {10, r.Count()}, {10, r.Count()}, 2, 0.25, 0);
    EXPECT_FALSE(f.Impedance.Valid);
    EXPECT_EQ(f.Impedance.Reason,
              "Участок не содержит начала возбуждения: импеданс пластины по нему не определяется.");
    EXPECT_TRUE(f.Impedance.f_MHz.empty());
    EXPECT_TRUE(f.Pulse.Valid);
}

// The default transducer on a coarse grid (20 µm, 0.4 ns; 2 s of a Release build) to 10 µs, the
// pulse figures over 6.3 … 7 µs, inside the echo: every column of summary.csv is the value of the
// same name in summary.json, and the pulse's length is marked cut in both.
TEST(BatchSummaries, EveryCsvColumnIsTheJsonValueOfItsName) {
    const fs::path dir = fs::temp_directory_path() / "pep_record_figures_summaries";
    fs::remove_all(dir);
    fs::create_directories(dir);
    std::ofstream(dir / "task.PEPmodel", std::ios::binary) << "[MainForm]\r\n";
    BatchOptions o;
    o.Project = (dir / "task.PEPmodel").string();
    o.OutDir = (dir / "out").string();
    o.UntilMicroseconds = 10;
    o.Sets = {{"DeltaX_QNSuperSpin", "20"}, {"DeltaT_QNSuperSpin", "0.4"}};
    o.FromMicroseconds = 6.3;
    o.ToMicroseconds = 7;
    std::ostringstream err;
    ASSERT_EQ(RunBatch(o, FormatSettings{U',', U' '}, err, false), kBatchCompleted) << err.str();
    const std::string json = ReadText(dir / "out" / "summary.json");
    std::istringstream csv(ReadText(dir / "out" / "summary.csv"));
    std::string header, row;
    ASSERT_TRUE(std::getline(csv, header) && std::getline(csv, row));
    const std::vector<std::string> names = SplitCsv(header), values = SplitCsv(row);
    ASSERT_EQ(names.size(), values.size()) << row;
    std::map<std::string, std::string> byName;
    for (std::size_t c = 0; c < names.size(); ++c)
        byName[names[c]] = values[c];
    for (std::size_t c = 0; c < names.size(); ++c) {
        SCOPED_TRACE(names[c]);
        std::string expected = JsonValue(json, names[c]);
        if (expected == "null")
            expected.clear();
        else if (expected == "true" || expected == "false")
            expected = expected == "true" ? "1" : "0";
        else if (expected.size() >= 2 && expected.front() == '"')
            expected = expected.substr(1, expected.size() - 2);
        EXPECT_EQ(values[c], expected);
    }
    // This run finds every figure, and they differ, so a swap of two columns cannot pass.
    for (const char *name : {"fr_MHz", "fa_MHz", "keff", "C0_pF", "f_peak_MHz", "fc_MHz", "bw6_MHz",
                             "bw6_percent", "bw20_MHz", "pulse_length_20dB_us"})
        EXPECT_FALSE(byName[name].empty()) << name;
    EXPECT_LT(std::stod(byName["fr_MHz"]), std::stod(byName["fa_MHz"]));
    EXPECT_NE(byName["fc_MHz"], byName["f_peak_MHz"]);
    // The echo's envelope is above −20 dB at both ends of 6.3 … 7 µs.
    EXPECT_EQ(byName["pulse_length_cut"], "1");
    EXPECT_EQ(JsonValue(json, "pulse_length_cut"), "true");
    EXPECT_NEAR(std::stod(byName["pulse_length_20dB_us"]), 0.7, 1e-12);
    // The clamped capacitance of the plate: ε·A/h = 1300 · 8.85 pF/m · 50 mm² / 0.4 mm.
    EXPECT_NEAR(std::stod(byName["C0_pF"]) / 1438.125, 1, 0.002);
    fs::remove_all(dir);
}

TEST(RecordFigures, APulseFromTheRecordsStartIsWholeAndOneCutByTheStretchIsMarked) {
    const TSignalRecord r = Ringing(400, 0); // the ringing starts with the record
    const RecordStretch all = WholeRecord(r);
    const PulseFigures whole = ComputeRecordFigures(r, all, all, 2, 0.25, 0).Pulse;
    ASSERT_TRUE(whole.Valid);
    EXPECT_FALSE(whole.DurationClipped);
    EXPECT_FALSE(whole.FallClipped);
    // From the second step on the envelope is still above a tenth of its peak at the stretch's start.
    const PulseFigures late = ComputeRecordFigures(r, all, {2, r.Count()}, 2, 0.25, 0).Pulse;
    EXPECT_TRUE(late.DurationClipped);
    EXPECT_TRUE(late.RiseClipped);
    EXPECT_FALSE(late.FallClipped);
    // Cut at 1.75 µs, it is still above it at the end as well.
    const PulseFigures early = ComputeRecordFigures(r, all, StretchByTime(r, 0.5, 1.75), 2, 0.25, 0).Pulse;
    EXPECT_TRUE(early.RiseClipped && early.FallClipped && early.DurationClipped);
    EXPECT_EQ(early.Duration20_us, 1.25);
}
