// SPDX-License-Identifier: GPL-3.0-or-later
#include "stack/TaskLayout.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <unistd.h>
#include <vector>

#include "solver/Solver.h"
#include "stack/TaskFields.h"

namespace {

// Trunc of the quotient of two doubles formed in extended precision; false when it is not a
// finite number of a 64-bit integer's range.
bool TruncQuotient(double a, double b, int64_t &out) {
    if (b == 0)
        return false;
    const long double q = static_cast<long double>(a) / static_cast<long double>(b);
    if (!std::isfinite(q) || std::fabs(q) >= 9.2e18L)
        return false;
    out = static_cast<int64_t>(q); // conversion truncates toward zero
    return true;
}

// Quantities stored as doubles: the extended-precision result rounded once.
double D(long double v) { return static_cast<double>(v); }

constexpr int64_t kUnset = INT64_MIN;

// A field's caption as the refusals name it.
std::string FieldCaption(const char *name) {
    return TaskFieldCaption(*FindTaskField(name));
}

std::string Negative(const std::string &caption) {
    return "Параметр «" + caption + "» меньше нуля: задача не может быть рассчитана.";
}
std::string NotPositive(const std::string &caption) {
    return "Параметр «" + caption + "» должен быть больше нуля: задача не может быть рассчитана.";
}

// The constants of a layer that keeps nodes of its own. The velocity update divides by the density;
// a zero modulus is a layer that carries no stress (a free face, as the free-plate validation
// uses), a negative one or a negative viscosity makes waves grow without a source.
std::string CheckLayerConstants(const PlacedLayer &m) {
    const struct {
        double value;
        LayerRow row;
        bool zeroAllowed;
    } constants[] = {
        {m.Density, RowDensity, false}, {m.Stiffness, RowModulus, true}, {m.Viscosity, RowViscosity, true}};
    for (const auto &c : constants) {
        const std::string caption = LayerFieldCaption(m.Name, c.row);
        if (!std::isfinite(c.value))
            return NotFiniteRefusal(caption);
        if (c.zeroAllowed ? c.value < 0 : !(c.value > 0))
            return c.zeroAllowed ? Negative(caption) : NotPositive(caption);
    }
    return {};
}

} // namespace

int64_t OwnNodeCount(const TaskLayout &layout, std::size_t k) {
    struct Range {
        int64_t first, last;
    };
    // Layer k's nodes on the grid (SetMaterial clips to it), less the ranges of the later layers.
    const PlacedLayer &m = layout.Materials[k];
    std::vector<Range> own{{std::max<int64_t>(m.First, 0), std::min<int64_t>(m.Last, layout.N - 1)}};
    for (std::size_t j = k + 1; j < layout.Materials.size(); ++j) {
        const Range later{layout.Materials[j].First, layout.Materials[j].Last};
        if (later.last < later.first)
            continue;
        std::vector<Range> rest;
        for (const Range &r : own) {
            if (r.first < later.first)
                rest.push_back({r.first, std::min(r.last, later.first - 1)});
            if (r.last > later.last)
                rest.push_back({std::max(r.first, later.last + 1), r.last});
        }
        own.swap(rest);
    }
    int64_t count = 0;
    for (const Range &r : own)
        count += std::max<int64_t>(r.last - r.first + 1, 0);
    return count;
}

TaskLayout PlaceStack(const Stack &stack, long double deltaX, long double deltaT) {
    if (stack.PlateIndex >= stack.Layers.size())
        throw std::invalid_argument("a stack needs its plate among its layers");
    TaskLayout out;
    const std::size_t count = stack.Layers.size();
    out.Boundaries.assign(count + 1, kUnset);
    out.Materials.resize(count);
    out.PlateIndex = stack.PlateIndex;
    for (std::size_t k = 0; k < count; ++k)
        out.Materials[k].Name = stack.Layers[k].Name;

    // Stack thickness and grid length.
    double T = 0;
    for (std::size_t k = 0; k < count; ++k)
        T = k == 0 ? D(stack.Layers[k].ThicknessMm * 0.001L) : D(stack.Layers[k].ThicknessMm * 0.001L + T);
    out.T = T;
    out.L = D(T * 1.1L);
    out.Dx = D(deltaX * 1e-6L);
    out.Dt = D(deltaT * 1e-9L);

    int64_t q = 0;
    out.N = TruncQuotient(out.L, out.Dx, q) ? q + 2 : 0;

    double p = D(out.L * 0.05L);
    int64_t first = 0;
    if (!TruncQuotient(p, out.Dx, first))
        return out;
    out.Boundaries[0] = first;

    for (std::size_t k = 0; k < count; ++k) {
        const Layer &layer = stack.Layers[k];
        const Material &material = layer.Material;
        p = D(layer.ThicknessMm * 0.001L + p);
        int64_t last = 0;
        if (!TruncQuotient(p, out.Dx, last))
            return out;

        PlacedLayer &m = out.Materials[k];
        m.First = static_cast<int32_t>(first);
        m.Last = static_cast<int32_t>(last);
        m.Density = D(material.Density);
        m.Stiffness = D(material.StiffnessGPa * 1e9L);
        m.Viscosity = D(material.Viscosity);
        m.PiezoE33 = 0;
        m.Permittivity = material.Permittivity;
        if (material.Piezoelectric) {
            const long double d33 = material.PiezoD33pCN * 1e-12L;
            double e33 = D(material.StiffnessGPa * d33 * 1e9L);
            if (material.PolarizationInverted)
                e33 = -e33;
            m.PiezoE33 = e33;
            m.Permittivity = D(material.RelativePermittivity * 8.85L * 1e-12L);
        }
        if (k == stack.PlateIndex) {
            out.PiezoFirst = static_cast<int32_t>(first);
            out.PiezoLast = static_cast<int32_t>(last);
        }
        out.Boundaries[k + 1] = last;
        first = last;
    }
    return out;
}

TaskLayout PlanTask(const TaskInputs &in) {
    return PlaceStack(BuildTaskStack(in), in.DeltaX, in.DeltaT);
}

std::string CheckTaskLayout(const TaskLayout &layout) {
    if (!(layout.Dx > 0))
        return "Шаг в пространстве должен быть больше нуля.";
    if (!std::isfinite(layout.Dx))
        return NotFiniteRefusal(FieldCaption("DeltaX_QNSuperSpin"));
    if (!(layout.Dt > 0))
        return "Шаг во времени должен быть больше нуля.";
    if (!std::isfinite(layout.Dt))
        return NotFiniteRefusal(FieldCaption("DeltaT_QNSuperSpin"));
    if (!(layout.T > 0))
        return "Суммарная толщина слоев должна быть больше нуля.";
    if (layout.N <= 0 || layout.N > INT32_MAX)
        return "Слишком много узлов в сетке: увеличьте шаг в пространстве.";
    for (int64_t b : layout.Boundaries)
        if (b == kUnset)
            return "Слишком много узлов в сетке: увеличьте шаг в пространстве.";

    // A grid that does not fit comfortably in memory is refused before anything is allocated.
    const long pages = sysconf(_SC_PHYS_PAGES);
    const long pageSize = sysconf(_SC_PAGESIZE);
    if (pages > 0 && pageSize > 0) {
        const long double physical = static_cast<long double>(pages) * pageSize;
        const long double needed = static_cast<long double>(layout.N) * kBytesPerNode;
        if (needed > physical / 2)
            return "Сетка не помещается в памяти: увеличьте шаг в пространстве.";
    }

    for (const PlacedLayer &m : layout.Materials)
        if (m.Last >= m.First && (m.First < 0 || m.Last > layout.N - 1))
            return "Слои выходят за пределы сетки: проверьте толщины слоев.";
    if (layout.N <= 4)
        return "Слишком мало узлов в сетке: уменьшите шаг в пространстве.";
    // The difference stencils of the plate reach two nodes to the left and one to the right.
    if (layout.PiezoFirst < 2 || layout.PiezoLast > layout.N - 2)
        return "Пъезопластина слишком близко к краю сетки: проверьте толщины слоев.";
    // The plate voltage sums the field over PiezoFirst .. PiezoLast - 1: one node is no plate.
    if (layout.PiezoLast - layout.PiezoFirst < 1)
        return "Параметр «" + LayerFieldCaption(layout.Materials[layout.PlateIndex].Name, RowThickness) +
               "» слишком мал: пъезопластина должна занимать не менее двух узлов сетки.";

    // A layer whose nodes are all taken by later layers leaves no trace of its constants.
    for (std::size_t k = 0; k < layout.Materials.size(); ++k)
        if (OwnNodeCount(layout, k) > 0)
            if (std::string refusal = CheckLayerConstants(layout.Materials[k]); !refusal.empty())
                return refusal;
    const PlacedLayer &plate = layout.Materials[layout.PlateIndex];
    if (!std::isfinite(plate.PiezoE33))
        return NotFiniteRefusal(FieldCaption("Piezo_d33_QNSuperSpin"));
    const std::string permittivity = FieldCaption("Piezo_ee0_QNSuperSpin");
    if (!std::isfinite(plate.Permittivity))
        return NotFiniteRefusal(permittivity);
    if (!(plate.Permittivity > 0))
        return NotPositive(permittivity);
    return {};
}

int32_t ApplyTaskLayout(TSolver &solver, const TaskLayout &layout) {
    const int32_t n = solver.InitGrid(layout.L, layout.Dx, layout.Dt);
    for (const PlacedLayer &m : layout.Materials)
        solver.SetMaterial(m.First, m.Last, m.Density, m.Stiffness, m.Viscosity, m.PiezoE33, m.Permittivity);
    solver.SetPlate(layout.PiezoFirst, layout.PiezoLast);
    return n;
}
