// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the program remembers between sessions about project files: the most recently loaded or
// saved projects and the folder each project dialog last showed. Kept with QSettings under the
// organisation and application name "pepsim", whatever names the application object carries.

#include <QString>
#include <QStringList>

namespace RecentProjects {

// The length of the list in the "Файл" menu.
constexpr int MaxCount = 5;

// Full paths, the most recent first, at most MaxCount.
QStringList Files();
// Puts the project first, dropping an older entry of the same file and the entries beyond MaxCount.
void Add(const QString &path);
void Remove(const QString &path);

// The folder a project dialog last showed, or empty when none is remembered. `dialog` names the
// dialog: each one remembers its own.
QString Folder(const QString &dialog);
void SetFolder(const QString &dialog, const QString &folder);

} // namespace RecentProjects
