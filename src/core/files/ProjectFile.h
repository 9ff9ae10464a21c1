// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Opening a project file (.PEPmodel) for the windows and the batch run: the file must be readable
// and hold at least one section of a project, so that a picture or an empty file renamed to
// .PEPmodel is refused instead of loading as a project of initial values.

#include <stdexcept>
#include <string>

#include "files/ProfileFile.h"

// A file that cannot be opened as a project; what() names the file (a Russian sentence, context
// "Core" of the translation).
class ProjectFileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The sections a project file may hold, one per window.
inline constexpr const char *kProjectSections[] = {"MainForm", "ParametersForm", "ElectroForm"};

// Reads `path` as a project. Throws ProjectFileError when the file cannot be read (no such file, no
// permission, a read error) or holds none of kProjectSections.
ProfileFile LoadProjectProfile(const std::string &path);
