// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Project files (.PEPmodel): the state of every input control of the three windows, one INI
// section per window, each control stored under its objectName by its kind (text field, integer
// spin field, check box, radio group, numeric field, page control).

#include <QList>
#include <QPointer>
#include <QString>
#include <functional>

class QFileDialog;
class QWidget;
class ProfileFile;

// The questions and messages of the project flows. Replaceable, so tests can answer them.
struct ProjectUi {
    // Shows the dialog; returns the confirmed full file name, or empty for a cancel.
    std::function<QString(QFileDialog *dialog)> ExecDialog;
    std::function<void(QWidget *owner, const QString &text)> Error;
    // Yes/No question; true for Yes.
    std::function<bool(QWidget *owner, const QString &text)> Confirm;
};
// The file dialog itself and message boxes.
ProjectUi StandardProjectUi();

// What a project is made of: the windows in the order of their creation (the project is read and
// written in this order; a window that no longer exists is skipped), and the questions and
// messages of its flows. The main window owns it.
struct ProjectContext {
    QList<QPointer<QWidget>> Windows;
    ProjectUi Ui = StandardProjectUi();
};

// The load and save flows with their dialog, existence and overwrite checks and messages. `text`
// receives the caption the dialog's owner is to bear afterwards: the file's full path after a
// successful load or save, the owner's caption otherwise. True when a project was loaded or saved.
bool LoadProject(const ProjectContext &project, QFileDialog *dialog, QString &text);
bool SaveProject(const ProjectContext &project, QFileDialog *dialog, QString &text);

// The load flow after the dialog, for a file named elsewhere (the command line, the recent list):
// the existence check, the load and the error box on `owner`. `text` as above.
bool LoadProjectFile(const ProjectContext &project, QWidget *owner, const QString &file, QString &text);

// Every window of `windows`. Loading checks every real value of the file before it applies
// anything (throws ProjectFileError for a file that cannot be read or holds no section of a project,
// ConversionError for an unreadable real; nothing changed); saving writes all sections at once through a
// temporary file (throws ProfileWriteError, previous file intact).
void LoadAllWindows(const QList<QPointer<QWidget>> &windows, const QString &path);
void SaveAllWindows(const QList<QPointer<QWidget>> &windows, const QString &path);

// One window's section; a null window does nothing. A project never hides the main window.
void LoadWindowState(const QString &path, QWidget *window);
void SaveWindowState(const QString &path, QWidget *window);

// The same on a profile in memory (the file operations above are built on these).
void LoadWindowState(const ProfileFile &profile, QWidget *window);
void SaveWindowState(ProfileFile &profile, QWidget *window);
// Throws ConversionError for the first real entry of the window's section that cannot be read.
void CheckWindowState(const ProfileFile &profile, QWidget *window);
