// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The fuzz target's pass through task construction (FuzzTask.cpp).
#include <string_view>

// Reads the bytes as a project file and builds the task it describes as the batch line and the
// windows would; aborts when an accepted task breaks what the solver relies on.
void FuzzTask(std::string_view bytes);
