// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <cmath>

#include "stack/DerivedQuantities.h"

namespace {

// The parameter window's initial layer values.
DerivedInputs InitialInputs() {
    DerivedInputs in;
    in.Layers[Backing] = {8200, 67};
    in.Layers[Electrode1] = {10500, 82.7};
    in.Layers[Electrode2] = {10500, 82.7};
    in.Layers[Protector] = {2650, 90};
    in.Layers[Liquid] = {1000, 2.25};
    in.Layers[Sample] = {7800, 275};
    in.Layers[Plate] = {7600, 121};
    in.PlateThicknessMm = 0.4;
    in.RelativePermittivity = 1300;
    in.PlateAreaMm2 = 50;
    return in;
}

} // namespace

TEST(DerivedQuantities, InitialValues) {
    const DerivedResults r = ComputeDerivedQuantities(InitialInputs());
    struct Row {
        LayerIndex layer;
        double cl, z;
    };
    const Row rows[] = {
        {Backing, 2858, 2.34e7}, {Electrode1, 2806, 2.95e7},       {Electrode2, 2806, 2.95e7},
        {Plate, 3990, 3.03e7},   {Protector, 5828, 1.54e7}, {Liquid, 1500, 1.50e6},
        {Sample, 5938, 4.63e7},
    };
    for (const Row &row : rows) {
        const LayerAcoustics &a = r.Layers[row.layer];
        ASSERT_TRUE(a.Valid) << row.layer;
        EXPECT_NEAR(a.CL, row.cl, 0.5) << row.layer;
        EXPECT_NEAR(a.Z, row.z, 0.005 * std::pow(10.0, std::floor(std::log10(row.z)))) << row.layer;
    }
    EXPECT_DOUBLE_EQ(r.Layers[Liquid].CL, 1500);
    ASSERT_TRUE(r.C0Valid);
    EXPECT_NEAR(r.C0 * 1e9, 1.438, 0.0005);
    EXPECT_NEAR(r.C0, 1300 * 8.85e-12 * 50e-6 / 0.4e-3, 1e-22);
    ASSERT_TRUE(r.FValid);
    EXPECT_NEAR(r.F * 1e-6, 4.9876, 0.00005);
    ASSERT_TRUE(r.LcValid);
    EXPECT_NEAR(r.Lc * 1e6, 0.7080, 0.00005);
    // The constant is 6.28318, not 2*pi to full precision.
    EXPECT_NEAR(r.Lc, 1 / (r.C0 * (6.28318 * r.F) * (6.28318 * r.F)), 1e-20);
}

TEST(DerivedQuantities, DensityNotPositiveIsInvalid) {
    EXPECT_FALSE(ComputeLayerAcoustics({0, 67}).Valid);
    EXPECT_FALSE(ComputeLayerAcoustics({-5, 67}).Valid);
    const LayerAcoustics tiny = ComputeLayerAcoustics({1e-6, 67});
    EXPECT_TRUE(tiny.Valid);
    EXPECT_GT(tiny.CL, 1e8);
}

TEST(DerivedQuantities, ZeroModulusGivesZeroSpeedAndNegativeIsInvalid) {
    const LayerAcoustics zero = ComputeLayerAcoustics({1000, 0});
    EXPECT_TRUE(zero.Valid);
    EXPECT_EQ(zero.CL, 0);
    EXPECT_EQ(zero.Z, 0);
    EXPECT_FALSE(ComputeLayerAcoustics({1000, -1}).Valid);
}

TEST(DerivedQuantities, PiezoDensityZeroKeepsCapacitanceOnly) {
    DerivedInputs in = InitialInputs();
    in.Layers[Plate].Density = 0;
    const DerivedResults r = ComputeDerivedQuantities(in);
    EXPECT_FALSE(r.Layers[Plate].Valid);
    EXPECT_TRUE(r.C0Valid);
    EXPECT_NEAR(r.C0 * 1e9, 1.438, 0.0005);
    EXPECT_FALSE(r.FValid);
    EXPECT_FALSE(r.LcValid);
    EXPECT_TRUE(r.Layers[Backing].Valid);
}

TEST(DerivedQuantities, ZeroThicknessUsesTheReplacements) {
    DerivedInputs in = InitialInputs();
    in.PlateThicknessMm = 0;
    const DerivedResults r = ComputeDerivedQuantities(in);
    EXPECT_EQ(r.C0, 1e-16);
    EXPECT_EQ(r.F, 1.0);
    ASSERT_TRUE(r.LcValid);
    EXPECT_NEAR(r.Lc, 1 / (1e-16 * 6.28318 * 6.28318), 1e-3 * r.Lc);
}

TEST(DerivedQuantities, UndefinedInductanceIsInvalidNotAFault) {
    DerivedInputs in = InitialInputs();
    in.RelativePermittivity = 0; // zero capacitance
    DerivedResults r = ComputeDerivedQuantities(in);
    EXPECT_TRUE(r.C0Valid);
    EXPECT_EQ(r.C0, 0);
    EXPECT_TRUE(r.FValid);
    EXPECT_FALSE(r.LcValid);

    in = InitialInputs();
    in.PlateAreaMm2 = 0;
    EXPECT_FALSE(ComputeDerivedQuantities(in).LcValid);

    in = InitialInputs();
    in.Layers[Plate].StiffnessGPa = 0; // zero frequency
    r = ComputeDerivedQuantities(in);
    EXPECT_TRUE(r.FValid);
    EXPECT_EQ(r.F, 0);
    EXPECT_FALSE(r.LcValid);

    in = InitialInputs();
    in.Layers[Plate].StiffnessGPa = -121; // no real speed
    r = ComputeDerivedQuantities(in);
    EXPECT_FALSE(r.Layers[Plate].Valid);
    EXPECT_FALSE(r.FValid);
    EXPECT_FALSE(r.LcValid);
    EXPECT_TRUE(r.C0Valid);
}
