// SPDX-License-Identifier: GPL-3.0-or-later
#include "stack/DerivedQuantities.h"

#include <cmath>

namespace {

using Ext = long double;

bool Finite(long double x) {
    return std::isfinite(x);
}

} // namespace

LayerAcoustics ComputeLayerAcoustics(const LayerElastics &m) {
    LayerAcoustics r;
    if (!(m.Density > 0))
        return r;
    const Ext density = m.Density;
    const Ext arg = Ext(m.StiffnessGPa) * 1e9L / density;
    // A negative modulus has no real speed: reported as invalid instead of a NaN.
    if (!(arg >= 0) || !Finite(arg))
        return r;
    const Ext cl = std::sqrt(arg);
    const Ext z = density * cl;
    if (!Finite(z))
        return r;
    r.Valid = true;
    r.CL = static_cast<double>(cl);
    r.Z = static_cast<double>(z);
    return r;
}

DerivedResults ComputeDerivedQuantities(const DerivedInputs &in) {
    DerivedResults r;
    for (int i = 0; i < LayerCount; ++i)
        r.Layers[i] = ComputeLayerAcoustics(in.Layers[i]);

    const Ext eps = Ext(in.RelativePermittivity) * 8.85L * 1e-12L;
    const Ext area = Ext(in.PlateAreaMm2) * 1e-6L;
    const Ext h = Ext(in.PlateThicknessMm) * 0.001L;
    const Ext c0 = h != 0 ? eps * area / h : 1e-16L;
    r.C0 = static_cast<double>(c0);
    r.C0Valid = Finite(c0) && Finite(static_cast<long double>(r.C0));

    const LayerAcoustics &piezo = r.Layers[Plate];
    if (!piezo.Valid)
        return r;
    const Ext f = h != 0 ? Ext(piezo.CL) / 2 / h : 1.0L;
    r.F = static_cast<double>(f);
    r.FValid = Finite(f) && Finite(static_cast<long double>(r.F));
    if (!r.FValid || !r.C0Valid)
        return r;
    const Ext w = 6.28318L * f;
    const Ext denom = c0 * (w * w);
    // Zero capacitance or zero frequency leaves no resonating inductance.
    if (denom == 0 || !Finite(denom))
        return r;
    const Ext lc = 1 / denom;
    r.Lc = static_cast<double>(lc);
    r.LcValid = Finite(lc) && Finite(static_cast<long double>(r.Lc));
    return r;
}
