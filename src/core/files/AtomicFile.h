// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The one way the program replaces a file: data tables, summaries and project files alike.

#include <string>
#include <string_view>

// The file a write to `path` replaces: the end of a chain of symbolic links, else `path` itself.
std::string ReplacedFile(const std::string &path);

// Writes `bytes` to a temporary file of a name no other writer uses, next to the target (so the
// rename stays within one file system), flushes it to the disk, renames it over the target and
// flushes the folder, so that the new file survives a crash. False on any failure before the
// rename, which leaves the previous file as it was and no temporary behind. A symbolic link is
// followed: the link stays and the file it names is replaced. An existing file's permission bits
// are kept.
bool WriteFileAtomically(const std::string &path, std::string_view bytes);
