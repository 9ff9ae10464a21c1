// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The parameter window's initial values as task inputs, as the fields read them (extended
// precision); shared by the tests of task layout and stability.

#include "stack/TaskLayout.h"

inline TaskInputs DefaultInputs() {
    TaskInputs in;
    in.Layers[Backing] = {6.0L, 8200.0L, 67.0L, 650.0L};
    in.Layers[Electrode1] = {0.02L, 10500.0L, 82.7L, 0.0L};
    in.Layers[Plate] = {0.4L, 7600.0L, 121.0L, 30.0L};
    in.Layers[Electrode2] = {0.02L, 10500.0L, 82.7L, 0.0L};
    in.Layers[Protector] = {0.5L, 2650.0L, 90.0L, 20.0L};
    in.Layers[Liquid] = {0.0L, 1000.0L, 2.25L, 0.0L};
    in.Layers[Sample] = {16.0L, 7800.0L, 275.0L, 0.0L};
    in.PiezoD33 = 40.0L;
    in.RelativePermittivity = 1300.0L;
    in.DeltaX = 10.0L;
    in.DeltaT = 0.2L;
    return in;
}
