// SPDX-License-Identifier: GPL-3.0-or-later
// libFuzzer target: the bytes as a project file, taken where the batch line and the windows take it
// after reading: the task inputs (ReadProjectInputs, with the NAME=VALUE lines of a "[Set]" section
// as --set overrides), the task check (CheckTask: PlanTask, CheckLayerThicknesses, CheckTaskLayout),
// and for a small accepted task the grid itself (CreateTask) and its stability bound. No time steps.
// Besides the sanitizers, it checks what an accepted task guarantees the solver and that a refused
// one changes nothing.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <string>
#include <string_view>

#include "files/ProfileFile.h"
#include "files/ProjectInputs.h"
#include "run/Engine.h"
#include "solver/Stability.h"
#include "text/Cp1251.h"
#include "text/Errors.h"

namespace {

// Grids up to this many nodes (ten times the default task's, 4.4 MB) are built; larger ones are
// only planned and checked. Building one costs about as much as the rest of an input's checks.
constexpr int64_t kLargestBuiltGrid = 25000;

void Check(bool ok, const char *what) {
    if (!ok) {
        std::fprintf(stderr, "invariant broken: %s\n", what);
        std::abort();
    }
}

bool Positive(double x) { return std::isfinite(x) && x > 0; }

std::string Trim(const std::string &s) {
    const size_t a = s.find_first_not_of(" \t");
    if (a == std::string::npos)
        return {};
    return s.substr(a, s.find_last_not_of(" \t") - a + 1);
}

// The entries of the "[Set]" sections in file order, as the batch line's --set NAME=VALUE.
ProjectOverrides SetLines(const ProfileFile &profile) {
    ProjectOverrides out;
    bool inSet = false;
    for (const std::string &raw : profile.Lines()) {
        const std::string line = Trim(raw);
        if (!line.empty() && line.front() == '[') {
            inSet = line.size() == 5 && (line[1] | 0x20) == 's' && (line[2] | 0x20) == 'e' &&
                    (line[3] | 0x20) == 't' && line[4] == ']';
            continue;
        }
        const size_t eq = line.find('=');
        if (inSet && eq != std::string::npos)
            out.emplace_back(Trim(line.substr(0, eq)), Trim(line.substr(eq + 1)));
    }
    return out;
}

// What every accepted layout must satisfy for the solver to compute it without reading outside the
// grid or dividing by a zero constant.
void CheckAcceptedLayout(const TaskLayout &l, const EngineInputs &in) {
    Check(Positive(l.Dx) && Positive(l.Dt), "steps are positive and finite");
    Check(l.N > 4 && l.N <= INT32_MAX, "node count in range");
    for (size_t b = 0; b < l.Boundaries.size(); ++b) {
        Check(l.Boundaries[b] >= 0 && l.Boundaries[b] <= l.N - 1, "boundaries inside the grid");
        Check(b == 0 || l.Boundaries[b] >= l.Boundaries[b - 1], "boundaries in stack order");
    }
    Check(l.PiezoFirst >= 2 && l.PiezoLast <= l.N - 2, "plate stencils inside the grid");
    Check(l.PiezoLast - l.PiezoFirst >= 1, "the plate spans at least two nodes");
    for (int k = Backing; k < LayerCount; ++k) {
        const PlacedLayer &m = l.Materials[k];
        Check(m.First >= 0 && m.Last <= l.N - 1 && m.First <= m.Last, "layer nodes inside the grid");
        if (OwnNodeCount(l, k) > 0) {
            Check(Positive(m.Density), "positive density where a layer has nodes");
            Check(std::isfinite(m.Stiffness) && m.Stiffness >= 0, "modulus >= 0 where a layer has nodes");
            Check(std::isfinite(m.Viscosity) && m.Viscosity >= 0, "viscosity >= 0 where a layer has nodes");
        }
    }
    Check(OwnNodeCount(l, Plate) >= 1, "the plate keeps nodes of its own");
    Check(Positive(l.Materials[Plate].Permittivity), "positive plate permittivity");
    Check(std::isfinite(l.Materials[Plate].PiezoE33), "finite plate constant");
    Check(in.PlateAreaMm2 * 1e-6L > 0, "positive plate area");
}

// The grid CreateTask built from an accepted layout.
void CheckBuiltGrid(const TSolver &solver, const TaskLayout &l) {
    Check(static_cast<int64_t>(solver.NodeGrid.size()) == l.N, "the grid has the planned node count");
    Check(solver.Coefficients.size() == solver.NodeGrid.size(), "every node has its coefficients");
    Check(solver.PiezoFirst == l.PiezoFirst && solver.PiezoLast == l.PiezoLast,
          "the plate is where it was planned");
    for (const NodeCoefficients &n : solver.Coefficients) {
        Check(Positive(n.Density) && Positive(n.Permittivity), "every node: density and permittivity > 0");
        Check(std::isfinite(n.Stiffness) && n.Stiffness >= 0 && std::isfinite(n.Viscosity) && n.Viscosity >= 0,
              "every node: finite modulus and viscosity >= 0");
    }
    const double bound = MaxStableTimeStep(solver);
    Check(!std::isnan(bound) && bound > 0, "the stability bound is a positive number");
}

// The inputs as the windows would read the file: with "," as the decimal separator, or with "."
// when a real does not read with ",". False when neither reads every real, or an override names no
// input.
bool ReadInputs(const ProfileFile &profile, const ProjectOverrides &overrides, EngineInputs &in) {
    for (const FormatSettings fs : {FormatSettings{U',', U'\u00A0'}, FormatSettings{U'.', U','}}) {
        try {
            in = ReadProjectInputs(profile, overrides, fs);
            return true;
        } catch (const ConversionError &) {
            continue; // an unreadable real: nothing is read, as the windows and the batch line do
        } catch (const std::invalid_argument &) {
            return false;
        }
    }
    return false;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    static TSimulationEngine engine;
    const TSolver &solver = engine.Solver();
    const std::string_view bytes(reinterpret_cast<const char *>(data), size);
    const ProfileFile profile = ProfileFile::Parse(bytes);
    const ProjectOverrides overrides = SetLines(profile);
    // Bytes that set no input give the default task again.
    if (overrides.empty() && !profile.HasSection("MainForm") && !profile.HasSection("ParametersForm"))
        return 0;
    EngineInputs in;
    if (!ReadInputs(profile, overrides, in))
        return 0;

    TaskLayout layout;
    const std::string refusal = TSimulationEngine::CheckTask(in, &layout);
    if (!refusal.empty()) {
        Check(IsValidUtf8(refusal), "a refusal is UTF-8 text");
        const size_t nodes = solver.NodeGrid.size();
        const double dx = solver.Dx, dt = solver.Dt;
        const int32_t first = solver.PiezoFirst, last = solver.PiezoLast;
        Check(engine.CreateTask(in) == refusal, "CreateTask refuses as CheckTask does");
        Check(solver.NodeGrid.size() == nodes && solver.Dx == dx && solver.Dt == dt &&
                  solver.PiezoFirst == first && solver.PiezoLast == last,
              "a refused task leaves the grid as it was");
        return 0;
    }
    CheckAcceptedLayout(layout, in);
    if (layout.N <= kLargestBuiltGrid) {
        Check(engine.CreateTask(in).empty(), "CreateTask accepts what CheckTask accepts");
        CheckBuiltGrid(solver, layout);
    }
    return 0;
}
