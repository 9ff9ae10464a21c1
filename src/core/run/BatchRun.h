// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The batch run: a project file, optional replacements of its inputs, a run to a given simulated
// time, and the results written as files (signals.csv, summary.json), with no windows and no
// display. Arguments are checked before anything runs (plan, check, then apply).

#include <functional>
#include <ostream>
#include <span>
#include <string>
#include <vector>

#include "circuit/GeneratorCircuit.h"
#include "files/ProjectInputs.h"
#include "text/FormatSettings.h"

struct BatchOptions {
    std::string Project;          // the .PEPmodel file
    double UntilMicroseconds = 0; // iterations run while StepCount × Dt × 1e6 is below this
    std::string OutDir = ".";     // where the files go
    ProjectOverrides Sets;        // --set NAME=VALUE, in order
    int Threads = 0;               // solver threads; 0 for the default
    std::string Signal = "Upep";   // the signal of the pulse figures
    double FromMicroseconds = -1;  // the stretch of the pulse figures (default: the whole record)
    double ToMicroseconds = 1e300;
};

// The language of what the batch line prints. The texts are Russian, marked for Qt Linguist with
// QT_TRANSLATE_NOOP("Batch", ...); the program passes its translation in. Without one the texts stay
// Russian.
struct BatchLanguage {
    std::function<std::string(const char *text)> Batch;       // the batch line's own texts
    std::function<std::string(const std::string &text)> Core; // the core's refusals and reasons
    std::string Own(const char *text) const { return Batch ? Batch(text) : std::string(text); }
    std::string OfCore(const std::string &text) const { return Core ? Core(text) : text; }
};

// Exit statuses of a batch run.
enum BatchExit : int {
    kBatchCompleted = 0,
    kBatchBadArguments = 2, // bad arguments, an unreadable file or not a project, an unwritable folder
    kBatchRefused = 3,      // the task cannot be computed (the refusal text is printed)
    kBatchSolverFailure = 4 // the run ended with a solver failure; the files hold the run up to it
};

// True when the arguments ask for a batch run or for the help text.
bool IsBatchCommandLine(const std::vector<std::string> &args);

// Reads the arguments after the program name. Returns "" and fills `options`, or the reason. --signal
// accepts the names in `list`, the circuit's signals.
std::string ParseBatchArguments(const std::vector<std::string> &args, BatchOptions &options,
                                const BatchLanguage &language = {},
                                std::span<const SignalInfo> list = GeneratorSignals());

// The text of --help, naming the signals of `list` and the columns of signals.csv.
std::string BatchHelpText(const BatchLanguage &language = {},
                          std::span<const SignalInfo> list = GeneratorSignals());
// The line after an argument error that points to the help.
std::string BatchHelpHint(const BatchLanguage &language = {});

// Runs the batch; messages and progress go to `err` (a progress line updated in place when
// `errIsTerminal`, one final line otherwise). Returns a BatchExit status.
// The project must be a readable project file and the output folder writable: both are checked
// before anything is computed.
int RunBatch(const BatchOptions &options, const FormatSettings &fs, std::ostream &err, bool errIsTerminal,
             const BatchLanguage &language = {});
