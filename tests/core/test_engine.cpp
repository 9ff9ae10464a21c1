// SPDX-License-Identifier: GPL-3.0-or-later
// The simulation engine, the project-input reader, the machine-readable files and the batch run.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "circuit/SignalRecord.h"
#include "files/DataFiles.h"
#include "files/ProfileFile.h"
#include "files/ProjectInputs.h"
#include "run/BatchRun.h"
#include "run/Engine.h"
#include "text/Errors.h"

namespace {

namespace fs = std::filesystem;

// The engine's circuit: the generator unless a test installs another.
TGeneratorCircuit &Generator(TSimulationEngine &e) {
    return dynamic_cast<TGeneratorCircuit &>(e.Circuit());
}

const FormatSettings kComma{U',', U' '};

EngineInputs DefaultInputs() {
    return ReadProjectInputs(ProfileFile{}, {}, kComma);
}

std::string ReadText(const fs::path &p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// A scratch folder per test, removed afterwards.
class TempDir : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() /
              ("pep_engine_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }
    // A project file holding the given [MainForm] and [ParametersForm] lines.
    std::string Project(const std::string &mainLines, const std::string &paramLines = "") {
        const fs::path p = dir / "task.PEPmodel";
        std::ofstream(p, std::ios::binary) << "[MainForm]\r\n"
                                           << mainLines << "[ParametersForm]\r\n"
                                           << paramLines;
        return p.string();
    }
    int Run(BatchOptions o, std::string &messages) {
        std::ostringstream err;
        const int status = RunBatch(o, kComma, err, false);
        messages = err.str();
        return status;
    }
    fs::path dir;
};

} // namespace

TEST(Engine, DefaultTaskBuildsTheKnownGridAndStartsAtRest) {
    TSimulationEngine e;
    ASSERT_EQ(e.CreateTask(DefaultInputs()), "");
    EXPECT_EQ(e.Solver().NodeGrid.size(), 2525u);
    EXPECT_EQ(e.Solver().PiezoFirst, 728);
    EXPECT_EQ(e.Solver().PiezoLast, 768);
    EXPECT_EQ(e.PlateArea, 5e-5);
    EXPECT_EQ(e.RedrawEvery, 10);
    EXPECT_EQ(e.StepCount, 0);
    EXPECT_EQ(Generator(e).Constants().C, static_cast<double>(68.0L * 1e-9L));
    for (int k = 0; k < 4; ++k)
        EXPECT_EQ(Generator(e).Signals().U0[k], 300);
}

TEST(Engine, RefusalsChangeNothingAndSayWhy) {
    TSimulationEngine e;
    ASSERT_EQ(e.CreateTask(DefaultInputs()), "");
    struct Case {
        const char *name;
        void (*edit)(EngineInputs &);
        std::string refusal;
    };
    const Case cases[] = {
        {"area", [](EngineInputs &in) { in.PlateAreaMm2 = 0; },
         "Площадь пъезопластины должна быть больше нуля."},
        {"RL", [](EngineInputs &in) { in.Generator.RL = 0; },
         "Параметр «Резистор RL (Ом)» равен нулю: схема генератора не может быть рассчитана."},
        {"charge", [](EngineInputs &in) { in.Generator.ChargeVoltage = INFINITY; },
         "Параметр «Напряжение заряда на конденсаторе С (В)» не является конечным числом: схема генератора "
         "не "
         "может быть рассчитана."},
    };
    for (const Case &c : cases) {
        EngineInputs in = DefaultInputs();
        in.Task.DeltaX = 50; // a refused task must not build this grid
        c.edit(in);
        EXPECT_EQ(e.CreateTask(in), c.refusal) << c.name;
        EXPECT_EQ(e.Solver().NodeGrid.size(), 2525u) << c.name;
    }
}

TEST(Engine, PlateCurrentDensityIsOneExtendedDivision) {
    // A pair where the double quotient and the extended quotient rounded to double differ.
    const double current = 0.32642810931381927, area = 5.0000000000000002e-05;
    ASSERT_NE(current / area, static_cast<double>(static_cast<long double>(current) / area));
    EXPECT_EQ(PlateCurrentDensity(current, area), 6528.5621862763855);
}

TEST(Engine, IterationFollowsTheCoupledOrderBitForBit) {
    // The same run written out from the core's operations, in the order of one iteration.
    const int steps = 3000;
    std::vector<std::array<double, 7>> expected;
    {
        TSimulationEngine setup;
        ASSERT_EQ(setup.CreateTask(DefaultInputs()), "");
        CircuitSignals s = Generator(setup).Signals();
        const CircuitConstants c = Generator(setup).Constants();
        for (int32_t n = 0; n < steps; ++n) {
            s.Upep[0] =
                setup.Solver().DoTimeStep(static_cast<double>(static_cast<long double>(s.Ipep[1]) / 5e-5));
            CircuitStep(c, s, setup.Solver().Dt,
                        static_cast<double>(static_cast<long double>(n) * setup.Solver().Dt));
            ShiftCircuitLevels(s);
            setup.Solver().ShiftTimeLevels();
            expected.push_back({static_cast<double>(static_cast<long double>(n) * setup.Solver().Dt * 1e6L),
                                s.U0[1], s.U1[1], s.Upep[1], s.I0[1], s.IL[1], s.Ipep[1]});
        }
    }
    TSimulationEngine e;
    ASSERT_EQ(e.CreateTask(DefaultInputs()), "");
    std::vector<std::array<double, 7>> got;
    std::vector<int32_t> redraws;
    e.RedrawEvery = 7;
    e.OnRedraw = [&] { redraws.push_back(e.StepCount); };
    e.OnSample = [&](double t, const TSimulationEngine::Sample &v) {
        got.push_back({t, v[0], v[1], v[2], v[3], v[4], v[5]});
    };
    for (int n = 0; n < steps; ++n)
        ASSERT_TRUE(e.Iterate());
    ASSERT_EQ(got.size(), expected.size());
    EXPECT_EQ(std::memcmp(got.data(), expected.data(), got.size() * sizeof got[0]), 0);
    EXPECT_EQ(e.StepCount, steps);
    ASSERT_EQ(redraws.size(), 429u); // 0, 7, ..., 2996
    EXPECT_EQ(redraws.back(), 2996);
}

TEST(Engine, DivergingRunReportsOverflowInTheVelocityUpdateInRussian) {
    EngineInputs in = DefaultInputs();
    in.Task.DeltaT = 5; // ns: far beyond the stable step
    TSimulationEngine e;
    ASSERT_EQ(e.CreateTask(in), "");
    int samples = 0;
    e.OnSample = [&](double, const TSimulationEngine::Sample &) { ++samples; };
    while (e.Iterate())
        ASSERT_LT(e.StepCount, 10000);
    const SolverFailure &f = e.Failure();
    EXPECT_EQ(f.Step, e.StepCount - 1);
    EXPECT_EQ(samples, e.StepCount); // the failing iteration is still recorded
    EXPECT_EQ(f.Fault, FloatingPointError::FaultKind::Overflow);
    EXPECT_EQ(f.Stage, FloatingPointError::StepStage::Velocity);
    EXPECT_EQ(f.What, "Floating-point overflow in the velocity update");
    EXPECT_EQ(SolverFailureReason(f), "переполнение при расчете скоростей");
}

TEST(Engine, FailureReasonsInRussian) {
    using F = FloatingPointError::FaultKind;
    using S = FloatingPointError::StepStage;
    const std::pair<SolverFailure, std::string> cases[] = {
        {{0, F::DivisionByZero, S::Field, ""}, "деление на ноль при расчете электрического поля"},
        {{0, F::Invalid, S::Stress, ""}, "недопустимая операция при расчете механических напряжений"},
        {{0, F::Overflow, S::Voltage, ""}, "переполнение при расчете напряжения на пластине"},
        {{0, F::Unknown, S::Other, ""}, "ошибка вычислений"},
    };
    for (const auto &[failure, text] : cases)
        EXPECT_EQ(SolverFailureReason(failure), text);
}

TEST(ProjectInputs, FileValuesOverridesAndTheirRefusals) {
    const ProfileFile file =
        ProfileFile::Parse("[MainForm]\r\nDeltaX_QNSuperSpin=20\r\nIterationSpinEdit=3\r\n"
                           "[ParametersForm]\r\nPiezo_L_QNSuperSpin=0,5\r\nInverseCheckBox=1\r\n");
    const EngineInputs in = ReadProjectInputs(file, {{"protector_l_qnsuperspin", "0.7"}}, kComma);
    EXPECT_EQ(in.Task.DeltaX, 20);
    EXPECT_EQ(in.Task.DeltaT, 0.2L);
    EXPECT_EQ(in.RedrawEvery, 3);
    EXPECT_TRUE(in.Task.Inverse);
    EXPECT_EQ(in.Task.Layers[Plate].ThicknessMm, 0.5L);
    EXPECT_EQ(in.Task.Layers[Protector].ThicknessMm, 0.7L);
    EXPECT_EQ(in.Task.Layers[Electrode1].Viscosity, 0);
    EXPECT_EQ(in.Generator.RL, 0.01L);
    EXPECT_EQ(in.PlateAreaMm2, 50);

    // A field shows at most 14 decimals, and the task reads what it shows.
    const EngineInputs rounded =
        ReadProjectInputs({}, {{"Piezo_L_QNSuperSpin", "0,123456789012345678"}}, kComma);
    EXPECT_EQ(rounded.Task.Layers[Plate].ThicknessMm, 0.12345678901235L);

    const auto message = [&](const ProfileFile &p, const ProjectOverrides &o) {
        try {
            ReadProjectInputs(p, o, kComma);
        } catch (const std::exception &e) {
            return std::string(e.what());
        }
        return std::string("no refusal");
    };
    EXPECT_EQ(message(ProfileFile::Parse("[ElectroForm]\r\nWidth_F_QNSuperSpin=1,5.0\r\n"), {}),
              "'1,5.0' is not a valid floating point value");
    EXPECT_EQ(message({}, {{"Piezo_X", "1"}}), "Параметр Piezo_X не является входным параметром задачи.");
    EXPECT_EQ(message({}, {{"Piezo_L_QNSuperSpin", "abc"}}), "'abc' is not a valid floating point value");
    EXPECT_EQ(message({}, {{"IterationSpinEdit", "2.5"}}),
              "Значение «2.5» параметра IterationSpinEdit не является целым числом.");
}

// A project written under a Russian locale reads under an English one and the other way round, and
// --set takes either point too.
TEST(ProjectInputs, CommaAndPointReadAlikeUnderEitherLocale) {
    const FormatSettings point{U'.', U','};
    const auto read = [](const char *sep, const FormatSettings &fs, const char *set) {
        std::string text =
            "[MainForm]\r\nDeltaT_QNSuperSpin=0#15\r\n[ParametersForm]\r\nPiezo_L_QNSuperSpin=0#45\r\n"
            "Electro_L_QNSuperSpin=1#25\r\n[ElectroForm]\r\nWidth_F_QNSuperSpin=2#5\r\n";
        for (auto p = text.find('#'); p != std::string::npos; p = text.find('#'))
            text.replace(p, 1, sep);
        return ReadProjectInputs(ProfileFile::Parse(text), {{"Protector_L_QNSuperSpin", set}}, fs);
    };
    for (const FormatSettings &fs : {kComma, point})
        for (const char *sep : {",", "."})
            for (const char *set : {"0,7", "0.7"}) {
                const EngineInputs in = read(sep, fs, set);
                EXPECT_EQ(in.Task.DeltaT, 0.15L);
                EXPECT_EQ(in.Task.Layers[Plate].ThicknessMm, 0.45L);
                EXPECT_EQ(in.Generator.L, 1.25L);
                EXPECT_EQ(in.Task.Layers[Protector].ThicknessMm, 0.7L);
            }
}

TEST(DataFiles, ShortestNumbersAndSignalTable) {
    const std::pair<double, const char *> numbers[] = {{0, "0"},
                                                       {-0.0, "-0"},
                                                       {0.1, "0.1"},
                                                       {1e-7 * 3, "3e-07"},
                                                       {6528.5621862763855, "6528.562186276386"},
                                                       {2e-4, "2e-04"},
                                                       {HUGE_VAL, "inf"},
                                                       {300, "300"}};
    for (const auto &[v, text] : numbers) {
        EXPECT_EQ(ShortestNumber(v), text);
        EXPECT_EQ(std::strtod(text, nullptr), v) << text; // reads back as the same double
    }

    TSignalRecord r;
    r.Append(0, {0, 0, 0, 0, 0, 0});
    r.Append(0.0002, {300, -1.5, 0.25, 0.0075, 1e-20, -0});
    std::ostringstream out;
    ASSERT_TRUE(WriteSignalsCsv(out, r));
    EXPECT_EQ(out.str(),
              "t_us,U0_V,U1_V,Upep_V,I0_A,IL_A,Ipep_A\n0,0,0,0,0,0,0\n2e-04,300,-1.5,0.25,0.0075,1e-20,0\n");
}

TEST(DataFiles, JsonNestingEscapesAndNonFiniteNumbers) {
    JsonWriter j;
    j.Begin()
        .String("a\"b", "x\\y\n")
        .Number("n", 0.5)
        .Number("bad", NAN)
        .Begin("inner")
        .Integer("k", -3)
        .End();
    j.Begin("empty").End().Bool("ok", true).End();
    EXPECT_EQ(j.Text(), "{\n  \"a\\\"b\": \"x\\\\y\\n\",\n  \"n\": 0.5,\n  \"bad\": null,\n  \"inner\": {\n"
                        "    \"k\": -3\n  },\n  \"empty\": {},\n  \"ok\": true\n}\n");
}

TEST(BatchArguments, RefusedCommandLines) {
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{"--batch"}, "После --batch нужен файл проекта."},
        {{"--batch", "p", "--until", "x"},
         "После --until нужно время в микросекундах (неотрицательное число)."},
        {{"--batch", "p", "--until", "-1"},
         "После --until нужно время в микросекундах (неотрицательное число)."},
        {{"--batch", "p"}, "Нужен аргумент --until МИКРОСЕКУНДЫ."},
        {{"--until", "1"}, "Нужен аргумент --batch ПРОЕКТ.PEPmodel."},
        {{"--batch", "p", "--until", "1", "--set", "abc"}, "Аргумент --set abc не имеет вида ИМЯ=ЗНАЧЕНИЕ."},
        {{"--batch", "p", "--until", "1", "--threads", "0"},
         "После --threads нужно число потоков от 1 до 1024."},
        {{"--batch", "p", "--until", "1", "--frobnicate"}, "Неизвестный аргумент: --frobnicate"},
    };
    for (const auto &[args, message] : cases) {
        BatchOptions o;
        EXPECT_EQ(ParseBatchArguments(args, o), message);
    }
    BatchOptions o;
    ASSERT_EQ(ParseBatchArguments({"--batch", "p.PEPmodel", "--until", "7.5", "--out", "d", "--set", "A=1,5",
                                   "--set", "B=2", "--threads", "2"},
                                  o),
              "");
    EXPECT_EQ(o.Project, "p.PEPmodel");
    EXPECT_EQ(o.UntilMicroseconds, 7.5);
    EXPECT_EQ(o.OutDir, "d");
    EXPECT_EQ(o.Sets, (ProjectOverrides{{"A", "1,5"}, {"B", "2"}}));
    EXPECT_EQ(o.Threads, 2);
}

TEST_F(TempDir, BatchRunWritesTheRecordAndItsSummary) {
    BatchOptions o;
    o.Project = Project("DeltaX_QNSuperSpin=50\r\n");
    o.UntilMicroseconds = 0.5;
    o.OutDir = (dir / "out").string();
    std::string messages;
    ASSERT_EQ(Run(o, messages), kBatchCompleted) << messages;
    const std::string csv = ReadText(dir / "out" / "signals.csv");
    // 2500 steps of 0.2 ns reach 0.5 µs: the zero point, then one row per step.
    EXPECT_EQ(std::count(csv.begin(), csv.end(), '\n'), 1 + 1 + 2500);
    EXPECT_EQ(csv.rfind("t_us,U0_V,U1_V,Upep_V,I0_A,IL_A,Ipep_A\n0,0,0,0,0,0,0\n0,300,", 0), 0u);
    const std::string json = ReadText(dir / "out" / "summary.json");
    for (const char *part :
         {"\"nodes\": 506", "\"piezo_first\": 145", "\"piezo_last\": 153", "\"dx_m\": 5e-05",
          "\"dt_s\": 2e-10", "\"steps\": 2500", "\"simulated_us\": 0.5", "\"outcome\": \"completed\""})
        EXPECT_NE(json.find(part), std::string::npos) << part;
    EXPECT_NE(messages.find("Расчет выполнен: 2500 шагов, 0.500 мкс"), std::string::npos) << messages;
}

TEST_F(TempDir, BatchRunStatuses) {
    std::string messages;
    BatchOptions o;
    o.OutDir = (dir / "out").string();
    o.UntilMicroseconds = 0.1;

    o.Project = (dir / "missing.PEPmodel").string();
    EXPECT_EQ(Run(o, messages), kBatchBadArguments);
    EXPECT_EQ(messages, "Не существует Файл \n" + o.Project + "\n");

    o.Project = Project("DeltaT_QNSuperSpin=0,2.\r\n");
    EXPECT_EQ(Run(o, messages), kBatchBadArguments);
    EXPECT_EQ(messages, "'0,2.' is not a valid floating point value\n");

    o.Project = Project("DeltaX_QNSuperSpin=50\r\n", "Spep_QNSuperSpin=0\r\n");
    EXPECT_EQ(Run(o, messages), kBatchRefused);
    EXPECT_EQ(messages, "Задача не создана.\nПлощадь пъезопластины должна быть больше нуля.\n");
    EXPECT_FALSE(fs::exists(dir / "out" / "signals.csv"));

    // A diverging run ends with status 4 and leaves the files up to the failing step.
    o.Project = Project("DeltaX_QNSuperSpin=50\r\nDeltaT_QNSuperSpin=40\r\n");
    o.UntilMicroseconds = 1000;
    EXPECT_EQ(Run(o, messages), kBatchSolverFailure);
    const std::string json = ReadText(dir / "out" / "summary.json");
    EXPECT_NE(json.find("\"outcome\": \"solver failure\""), std::string::npos) << json;
    EXPECT_NE(json.find("\"reason\": \"переполнение при расчете скоростей\""), std::string::npos) << json;
    const auto step = json.find("\"step\": ");
    ASSERT_NE(step, std::string::npos);
    const int failedAt = std::stoi(json.substr(step + 8));
    const std::string csv = ReadText(dir / "out" / "signals.csv");
    EXPECT_EQ(std::count(csv.begin(), csv.end(), '\n'), 1 + 1 + failedAt + 1);
}

TEST_F(TempDir, SetOnAThicknessChangesTheGrid) {
    std::string messages;
    BatchOptions o;
    o.Project = Project("DeltaX_QNSuperSpin=50\r\n");
    o.OutDir = dir.string();
    o.UntilMicroseconds = 0;
    o.Sets = {{"Sample_L_QNSuperSpin", "6"}};
    ASSERT_EQ(Run(o, messages), kBatchCompleted) << messages;
    // 12.94 mm of stack: L = 14.234 mm, N = Trunc(14.234 / 0.05) + 2.
    EXPECT_NE(ReadText(dir / "summary.json").find("\"nodes\": 286"), std::string::npos);
    EXPECT_NE(ReadText(dir / "summary.json").find("\"steps\": 0"), std::string::npos);
}

TEST_F(TempDir, BatchRunGivesTheSameBitsOnAnyThreadCount) {
    std::string messages;
    BatchOptions o;
    o.Project = Project(""); // the default task: 2525 nodes, enough to share the sweeps
    o.UntilMicroseconds = 1;
    std::string csv[2];
    for (int threads : {1, 2}) {
        o.Threads = threads;
        o.OutDir = (dir / std::to_string(threads)).string();
        ASSERT_EQ(Run(o, messages), kBatchCompleted) << messages;
        csv[threads - 1] = ReadText(dir / std::to_string(threads) / "signals.csv");
        EXPECT_NE(ReadText(dir / std::to_string(threads) / "summary.json")
                      .find("\"threads\": " + std::to_string(threads)),
                  std::string::npos);
    }
    EXPECT_EQ(std::count(csv[0].begin(), csv[0].end(), '\n'), 1 + 1 + 5000);
    EXPECT_TRUE(csv[0] == csv[1]) << "two threads changed the record";
}
