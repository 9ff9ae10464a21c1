// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The inputs of a task as a project file stores them: the numeric fields of the main window and the
// parameter window under their control names (TaskFields), the redraw period and the polarisation switch. A
// task is read from a file exactly as the windows would show and then read it: a field missing
// from the file keeps its initial value, and every real goes through the field's display text.

#include <string>
#include <utility>
#include <vector>

#include "run/Engine.h"
#include "text/FormatSettings.h"

class ProfileFile;

// NAME=VALUE replacements applied after the file is read; NAME is a control name (any letter case).
using ProjectOverrides = std::vector<std::pair<std::string, std::string>>;

// Reads the task from the profile, then the overrides. The file's reals use the separators of
// `fs`; an override may also use ".". Throws ConversionError ("'<text>' is not a valid floating
// point value") for the first unreadable real, and std::invalid_argument (a Russian sentence) for an
// override naming no input of a task; nothing is returned then.
EngineInputs ReadProjectInputs(const ProfileFile &profile, const ProjectOverrides &overrides,
                               const FormatSettings &fs);
