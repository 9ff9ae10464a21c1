// SPDX-License-Identifier: GPL-3.0-or-later
#include "run/BatchRun.h"

#include <charconv>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <limits>
#include <sstream>
#include <stdexcept>
#include <unistd.h>

#include "analysis/RecordFigures.h"
#include "circuit/GeneratorCircuit.h"
#include "circuit/SignalRecord.h"
#include "files/AtomicFile.h"
#include "files/DataFiles.h"
#include "files/ProfileFile.h"
#include "files/ProjectFile.h"
#include "solver/SweepPool.h"
#include "text/CoreTexts.h"
#include "text/Errors.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

// A number of the command line: "." as decimal point, whatever the locale.
bool ParseNumber(const std::string &text, double &value) {
    if (text.empty())
        return false;
    std::istringstream in(text);
    in.imbue(std::locale::classic());
    in >> value;
    return in && in.peek() == std::char_traits<char>::eof();
}

// A figure of the progress line with "." as decimal point; std::to_chars ignores the C library's locale.
std::string Fixed(double value, int decimals) {
    char buffer[400]; // the integer digits of the largest double and a few decimals
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
    return std::string(buffer, result.ptr);
}

// Progress on a terminal, at most about four times a second.
class Progress {
public:
    Progress(std::ostream &err, bool terminal, double until, const BatchLanguage &language)
        : FErr(err), FTerminal(terminal), FUntil(until), FLanguage(language) {}

    void Update(int32_t steps, double simulated) {
        if (!FTerminal || (steps & 255) != 0)
            return;
        const auto now = Clock::now();
        if (now - FLast < std::chrono::milliseconds(250))
            return;
        FLast = now;
        const double wall = std::chrono::duration<double>(now - FStart).count();
        const double fraction = FUntil > 0 ? std::min(1.0, simulated / FUntil) : 1.0;
        const double rate = wall > 0 ? steps / wall : 0;
        const double left = fraction > 0 ? wall * (1 - fraction) / fraction : 0;
        FErr << "\r"
             << ArgText(FLanguage.Own(QT_TRANSLATE_NOOP("Batch", "%1 %  %2 шагов/с  осталось %3 с   ")),
                        {Fixed(100 * fraction, 1), Fixed(rate, 0), Fixed(left, 0)})
             << std::flush;
    }

    void Finish(int32_t steps, double simulated, double wall, const std::string &outcome) {
        if (FTerminal)
            FErr << "\r";
        FErr << ArgText(
                    FLanguage.Own(QT_TRANSLATE_NOOP("Batch", "%1: %2 шагов, %3 мкс за %4 с (%5 шагов/с)")),
                    {outcome, std::to_string(steps), Fixed(simulated, 3), Fixed(wall, 2),
                     Fixed(wall > 0 ? steps / wall : 0, 0)})
             << "          \n";
    }

    Clock::time_point Start() const { return FStart; }

private:
    std::ostream &FErr;
    bool FTerminal;
    double FUntil;
    const BatchLanguage &FLanguage;
    Clock::time_point FStart = Clock::now();
    Clock::time_point FLast = FStart;
};

// A figure, or NaN (null in JSON, an empty CSV field) when it was not found.
double Found(bool found, double value) {
    return found ? value : std::numeric_limits<double>::quiet_NaN();
}

std::string CsvField(double value) {
    return std::isfinite(value) ? ShortestNumber(value) : std::string();
}

struct FigureRow {
    double fr, fa, keff, Zr, Za, C0, fpeak, fc, bw6, bw6pc, bw20, length, envPeak;
};

FigureRow Row(const RecordFigures &f) {
    const ImpedanceFigures &z = f.Impedance;
    const PulseFigures &p = f.Pulse;
    const bool both = z.Valid && z.SeriesFound && z.ParallelFound;
    return {Found(z.Valid && z.SeriesFound, z.fr_MHz),
            Found(z.Valid && z.ParallelFound, z.fa_MHz),
            Found(both, z.keff),
            Found(z.Valid && z.SeriesFound, z.Zr_Ohm),
            Found(z.Valid && z.ParallelFound, z.Za_Ohm),
            Found(z.Valid && z.ClampedFound, z.C0_pF),
            Found(p.Valid, p.Peak_MHz),
            Found(p.Valid && p.Band6Found, p.fc_MHz),
            Found(p.Valid && p.Band6Found, p.bw6_MHz),
            Found(p.Valid && p.Band6Found, p.bw6_percent),
            Found(p.Valid && p.Band20Found, p.bw20_MHz),
            Found(p.Valid, p.Duration20_us),
            Found(p.Valid, p.EnvelopePeak_us)};
}

std::string SummaryJson(const BatchOptions &options, const TSimulationEngine &engine, bool failed, double wall,
                        const RecordFigures &figures) {
    JsonWriter json;
    json.Begin();
    json.String("project", options.Project);
    const TSolver &solver = engine.Solver();
    json.Integer("nodes", static_cast<long long>(solver.NodeGrid.size()));
    json.Integer("piezo_first", solver.PiezoFirst);
    json.Integer("piezo_last", solver.PiezoLast);
    json.Number("dx_m", solver.Dx);
    json.Number("dt_s", solver.Dt);
    json.Integer("steps", engine.StepCount);
    json.Number("simulated_us", engine.TimeMicroseconds());
    json.Number("wall_s", wall);
    json.Integer("threads", solver.Pool() ? solver.Pool()->Threads() : 1);
    json.String("outcome", failed ? "solver failure" : "completed");
    if (failed) {
        const SolverFailure &f = engine.Failure();
        json.Begin("failure");
        json.Integer("step", f.Step);
        json.String("reason", SolverFailureReason(f));
        json.String("what", f.What);
        json.End();
    }
    const FigureRow r = Row(figures);
    json.Begin("impedance");
    json.Number("fr_MHz", r.fr).Number("fa_MHz", r.fa).Number("keff", r.keff);
    json.Number("Z_fr_ohm", r.Zr).Number("Z_fa_ohm", r.Za).Number("C0_pF", r.C0);
    const ImpedanceFigures &z = figures.Impedance;
    if (!z.Valid) {
        json.String("reason", z.Reason);
    } else {
        // Each withheld figure with its own reason (|Z| at a resonance shares the resonance's).
        for (const auto &[key, reason] : {std::pair{"fr_reason", &z.SeriesReason},
                                          {"fa_reason", &z.ParallelReason},
                                          {"keff_reason", &z.KeffReason()},
                                          {"C0_reason", &z.C0Reason}})
            if (!reason->empty())
                json.String(key, *reason);
    }
    json.End();
    json.Begin("pulse");
    json.String("signal", options.Signal);
    json.Number("f_peak_MHz", r.fpeak).Number("fc_MHz", r.fc).Number("bw6_MHz", r.bw6);
    json.Number("bw6_percent", r.bw6pc).Number("bw20_MHz", r.bw20);
    json.Number("pulse_length_20dB_us", r.length).Number("envelope_peak_us", r.envPeak);
    // The envelope is still above −20 dB at an end of the stretch: the length is the stretch's, a
    // lower bound of the pulse's.
    if (figures.Pulse.Valid)
        json.Bool("pulse_length_cut", figures.Pulse.DurationClipped);
    if (!figures.Pulse.Valid)
        json.String("reason", figures.Pulse.Reason);
    json.End();
    json.End();
    return json.Text();
}

// The summary's figures as one CSV row under a header, for tables over many runs.
std::string SummaryCsv(const TSimulationEngine &engine, bool failed, double wall, const RecordFigures &figures) {
    std::string text = "nodes,piezo_first,piezo_last,dx_m,dt_s,steps,simulated_us,wall_s,outcome,fr_MHz,fa_MHz,"
                       "keff,C0_pF,f_peak_MHz,fc_MHz,bw6_MHz,bw6_percent,bw20_MHz,pulse_length_20dB_us,"
                       "pulse_length_cut\n";
    const TSolver &solver = engine.Solver();
    text += std::to_string(solver.NodeGrid.size()) + ',' + std::to_string(solver.PiezoFirst) + ',' +
            std::to_string(solver.PiezoLast) + ',' + ShortestNumber(solver.Dx) + ',' +
            ShortestNumber(solver.Dt) + ',' + std::to_string(engine.StepCount) + ',' +
            ShortestNumber(engine.TimeMicroseconds()) + ',' + ShortestNumber(wall) + ',' +
            (failed ? "solver failure" : "completed");
    const FigureRow r = Row(figures);
    for (double v : {r.fr, r.fa, r.keff, r.C0, r.fpeak, r.fc, r.bw6, r.bw6pc, r.bw20, r.length})
        text += ',' + CsvField(v);
    // 1 when the length is cut by the stretch (a lower bound), 0 when whole, empty without a pulse.
    text += ',';
    if (figures.Pulse.Valid)
        text += figures.Pulse.DurationClipped ? '1' : '0';
    return text + '\n';
}

// Creates the output folder and tries a file in it. Returns "" or the message naming the folder.
std::string CheckOutputFolder(const fs::path &out, const BatchLanguage &language) {
    std::error_code ec;
    fs::create_directories(out, ec);
    if (!fs::is_directory(out, ec))
        return ArgText(language.Own(QT_TRANSLATE_NOOP("Batch", "Не удалось создать папку %1")),
                       {out.string()});
    std::string probe = (out / ".pepsim-probe-XXXXXX").string();
    const int fd = ::mkstemp(probe.data());
    if (fd < 0)
        return ArgText(language.Own(QT_TRANSLATE_NOOP("Batch", "В папку %1 нельзя записать файлы.")),
                       {out.string()});
    ::close(fd);
    ::unlink(probe.c_str());
    return {};
}

} // namespace

bool IsBatchCommandLine(const std::vector<std::string> &args) {
    for (const std::string &a : args)
        if (a == "--batch" || a == "--help" || a == "-h")
            return true;
    return false;
}

std::string BatchHelpText(const BatchLanguage &language, std::span<const SignalInfo> list) {
    const std::string help = language.Own(QT_TRANSLATE_NOOP(
        "Batch",
        "Использование:\n"
        "  pepsim [--lang ru|en] [ПРОЕКТ.PEPmodel]\n"
        "      открывает окна программы (с проектом, если он указан); --lang выбирает язык\n"
        "      интерфейса: ru - русский, en - English (иначе - выбранный в меню \"Файл\")\n"
        "  pepsim --batch ПРОЕКТ.PEPmodel --until МИКРОСЕКУНДЫ [--out ПАПКА] [--lang ru|en]\n"
        "         [--set ИМЯ=ЗНАЧЕНИЕ]... [--threads N] [--signal ИМЯ] [--from МКС] [--to МКС]\n"
        "      расчет без окон и без дисплея: задача строится из файла проекта, как кнопкой\n"
        "      «Создать и загрузить задачу», и считается, пока время шага меньше МИКРОСЕКУНДЫ.\n"
        "\n"
        "  --out ПАПКА        куда записать файлы результатов (по умолчанию текущая папка)\n"
        "  --set ИМЯ=ЗНАЧЕНИЕ заменяет поле проекта, например --set Protector_L_QNSuperSpin=0.6;\n"
        "                     ИМЯ - имя поля в файле проекта, ЗНАЧЕНИЕ - число с запятой или с точкой\n"
        "  --threads N        число потоков расчета (по умолчанию: PEPSIM_THREADS или число ядер)\n"
        "  --signal ИМЯ       сигнал для характеристик импульса: %1 или %2\n"
        "                     (по умолчанию Upep)\n"
        "  --from МКС, --to МКС  участок записи для характеристик импульса (по умолчанию вся запись)\n"
        "  --lang ru|en       язык сообщений (иначе - выбранный в меню \"Файл\", затем язык системы)\n"
        "  --help             эта справка\n"
        "\n"
        "signals.csv: %3 - по строке на точку записи сигналов.\n"
        "impedance.csv: f_MHz,Z_ohm,phase_deg - импеданс пластины по всей записи (Upep / Ipep).\n"
        "spectrum_db.csv: f_MHz,A_dB - нормированный спектр выбранного сигнала на участке.\n"
        "summary.json и summary.csv: число узлов, PiezoFirst, PiezoLast, Dx, Dt, число шагов, время, итог;\n"
        "резонансы fr и fa, keff, C0; частота максимума, fc, полосы -6 и -20 дБ, длительность импульса.\n"
        "\n"
        "Код завершения: 0 - расчет выполнен; 2 - неверные аргументы, файл проекта не прочитан или не\n"
        "является проектом, в папку --out нельзя записать; 3 - задача не создана (причина выводится);\n"
        "4 - расчет остановлен ошибкой вычислений (файлы записаны до этого шага).\n"));
    // The signals (%1 or %2) and the columns of signals.csv (%3) come from the circuit's list.
    const SignalNameList names = ListSignalNames(list);
    return ArgText(help, {names.AllButLast, names.Last, SignalsCsvHeader(list)});
}

std::string BatchHelpHint(const BatchLanguage &language) {
    return language.Own(QT_TRANSLATE_NOOP("Batch", "Справка: pepsim --help"));
}

std::string ParseBatchArguments(const std::vector<std::string> &args, BatchOptions &options,
                                const BatchLanguage &language, std::span<const SignalInfo> list) {
    const auto say = [&language](const char *text, std::initializer_list<std::string> args = {}) {
        return ArgText(language.Own(text), args);
    };
    BatchOptions parsed;
    bool batch = false, until = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string &a = args[i];
        const auto value = [&](std::string &out) {
            if (i + 1 >= args.size())
                return false;
            out = args[++i];
            return true;
        };
        std::string text;
        if (a == "--batch") {
            if (!value(parsed.Project))
                return say(QT_TRANSLATE_NOOP("Batch", "После --batch нужен файл проекта."));
            batch = true;
        } else if (a == "--until") {
            if (!value(text) || !ParseNumber(text, parsed.UntilMicroseconds) ||
                !std::isfinite(parsed.UntilMicroseconds) || parsed.UntilMicroseconds < 0)
                return say(QT_TRANSLATE_NOOP(
                    "Batch", "После --until нужно время в микросекундах (неотрицательное число)."));
            until = true;
        } else if (a == "--out") {
            if (!value(parsed.OutDir) || parsed.OutDir.empty())
                return say(QT_TRANSLATE_NOOP("Batch", "После --out нужна папка."));
        } else if (a == "--set") {
            if (!value(text))
                return say(QT_TRANSLATE_NOOP("Batch", "После --set нужно ИМЯ=ЗНАЧЕНИЕ."));
            const auto eq = text.find('=');
            if (eq == std::string::npos || eq == 0)
                return say(QT_TRANSLATE_NOOP("Batch", "Аргумент --set %1 не имеет вида ИМЯ=ЗНАЧЕНИЕ."),
                           {text});
            // Blanks around a value are dropped as in a project file: nothing is left to read.
            if (text.find_first_not_of(" \t", eq + 1) == std::string::npos)
                return say(QT_TRANSLATE_NOOP("Batch", "Аргумент --set %1 не задает значение поля %2."),
                           {text, text.substr(0, eq)});
            parsed.Sets.emplace_back(text.substr(0, eq), text.substr(eq + 1));
        } else if (a == "--signal") {
            if (!value(parsed.Signal) || SignalIndex(list, parsed.Signal) < 0) {
                const SignalNameList names = ListSignalNames(list);
                return say(QT_TRANSLATE_NOOP("Batch", "После --signal нужно имя сигнала: %1 или %2."),
                           {names.AllButLast, names.Last});
            }
        } else if (a == "--from" || a == "--to") {
            double &bound = a == "--from" ? parsed.FromMicroseconds : parsed.ToMicroseconds;
            if (!value(text) || !ParseNumber(text, bound) || !std::isfinite(bound))
                return say(QT_TRANSLATE_NOOP("Batch", "После %1 нужно время в микросекундах."), {a});
        } else if (a == "--threads") {
            double n = 0;
            if (!value(text) || !ParseNumber(text, n) || n < 1 || n > 1024 || n != std::floor(n))
                return say(QT_TRANSLATE_NOOP("Batch", "После --threads нужно число потоков от 1 до 1024."));
            parsed.Threads = static_cast<int>(n);
        } else {
            return say(QT_TRANSLATE_NOOP("Batch", "Неизвестный аргумент: %1"), {a});
        }
    }
    if (!batch)
        return say(QT_TRANSLATE_NOOP("Batch", "Нужен аргумент --batch ПРОЕКТ.PEPmodel."));
    if (!until)
        return say(QT_TRANSLATE_NOOP("Batch", "Нужен аргумент --until МИКРОСЕКУНДЫ."));
    options = parsed;
    return {};
}

int RunBatch(const BatchOptions &options, const FormatSettings &settings, std::ostream &err,
             bool errIsTerminal, const BatchLanguage &language) {
    // The project, read as the windows read it.
    std::error_code ec;
    fs::path project = fs::absolute(options.Project, ec);
    if (ec)
        project = options.Project;
    if (!fs::is_regular_file(project, ec)) {
        err << language.Own(QT_TRANSLATE_NOOP("Batch", "Не существует Файл \n")) << project.string() << "\n";
        return kBatchBadArguments;
    }
    EngineInputs inputs;
    try {
        inputs = ReadProjectInputs(LoadProjectProfile(project.string()), options.Sets, settings);
    } catch (const std::exception &e) {
        err << language.OfCore(e.what()) << "\n";
        return kBatchBadArguments;
    }
    SweepPool pool(options.Threads);
    TSimulationEngine engine(&pool);
    if (const std::string refusal = engine.CreateTask(inputs); !refusal.empty()) {
        err << language.Own(QT_TRANSLATE_NOOP("Batch", "Задача не создана.")) << "\n"
            << language.OfCore(refusal) << "\n";
        return kBatchRefused;
    }
    // The output folder is tried before the run (a run of hours must not end in files nobody can
    // write), and after the task check, so that a refused task leaves no folder behind.
    const fs::path out = options.OutDir;
    if (const std::string problem = CheckOutputFolder(out, language); !problem.empty()) {
        err << problem << "\n";
        return kBatchBadArguments;
    }

    // The arguments were read against the generator's signals; the task's circuit decides.
    if (SignalIndex(engine.SignalList(), options.Signal) < 0) {
        const SignalNameList names = ListSignalNames(engine.SignalList());
        err << ArgText(
                   language.Own(QT_TRANSLATE_NOOP("Batch", "После --signal нужно имя сигнала: %1 или %2.")),
                   {names.AllButLast, names.Last})
            << "\n";
        return kBatchBadArguments;
    }
    TSignalRecord record(engine.SignalList());
    record.Append(0, std::vector<double>(engine.SignalList().size(), 0.0));
    engine.OnSample = [&record](double time, const TSimulationEngine::Sample &v) { record.Append(time, v); };
    Progress progress(err, errIsTerminal, options.UntilMicroseconds, language);
    bool failed = false;
    try {
        while (engine.TimeMicroseconds() < options.UntilMicroseconds) {
            if (!engine.Iterate()) {
                failed = true;
                break;
            }
            progress.Update(engine.StepCount, engine.TimeMicroseconds());
        }
    } catch (const std::exception &e) {
        // The generator's equations failed: the run ends here, the record so far is kept.
        engine.RecordFailure(e);
        failed = true;
    }
    const double wall = std::chrono::duration<double>(Clock::now() - progress.Start()).count();
    progress.Finish(engine.StepCount, engine.TimeMicroseconds(), wall,
                    failed ? ArgText(language.Own(QT_TRANSLATE_NOOP("Batch", "Расчет остановлен: %1")),
                                     {language.OfCore(SolverFailureReason(engine.Failure()))})
                           : language.Own(QT_TRANSLATE_NOOP("Batch", "Расчет выполнен")));

    // The figures of the record: the impedance over all of it, the pulse over the chosen stretch.
    const RecordFigures figures =
        ComputeRecordFigures(record, WholeRecord(record),
                             StretchByTime(record, options.FromMicroseconds, options.ToMicroseconds),
                             SignalIndex(record.Signals(), options.Signal),
                             static_cast<double>(static_cast<long double>(engine.Solver().Dt) * 1e6L),
                             PlateThicknessModeMHz(engine.Solver()));
    std::ostringstream signals, impedance, spectrum;
    WriteSignalsCsv(signals, record);
    WriteColumnsCsv(impedance, "f_MHz,Z_ohm,phase_deg",
                    {&figures.Impedance.f_MHz, &figures.Impedance.AbsZ_Ohm, &figures.Impedance.Phase_deg});
    WriteColumnsCsv(spectrum, "f_MHz,A_dB", {&figures.Pulse.f_MHz, &figures.Pulse.Level_dB});
    const std::string signalsPath = (out / "signals.csv").string();
    const std::string summaryPath = (out / "summary.json").string();
    if (!WriteFileAtomically(signalsPath, signals.str()) ||
        !WriteFileAtomically((out / "impedance.csv").string(), impedance.str()) ||
        !WriteFileAtomically((out / "spectrum_db.csv").string(), spectrum.str()) ||
        !WriteFileAtomically(summaryPath, SummaryJson(options, engine, failed, wall, figures)) ||
        !WriteFileAtomically((out / "summary.csv").string(), SummaryCsv(engine, failed, wall, figures))) {
        err << ArgText(language.Own(
                           QT_TRANSLATE_NOOP("Batch", "Не удалось записать файлы результатов в папку %1")),
                       {out.string()})
            << "\n";
        return kBatchBadArguments;
    }
    return failed ? kBatchSolverFailure : kBatchCompleted;
}
