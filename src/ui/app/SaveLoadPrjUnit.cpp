// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/SaveLoadPrjUnit.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QDialog>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QMainWindow>
#include <QMessageBox>
#include <QTabWidget>
#include <algorithm>
#include <cstring>
#include <limits>

#include "app/AppFormat.h"
#include "app/UiText.h"
#include "files/ProfileFile.h"
#include "files/ProjectFile.h"
#include "stack/TaskFields.h"
#include "text/Errors.h"
#include "text/NumberText.h"
#include "widgets/QNSuperSpin.h"
#include "widgets/RadioGroup.h"
#include "widgets/SpinEdit.h"

namespace {

// The order in which each window's controls are written; controls not listed follow in the order
// the window holds them.
const QStringList &WriteOrder(const QString &section) {
    // The task's fields in the order of their table, amid the windows' other controls.
    const auto withTaskFields = [](const char *tableSection, QStringList before, const QStringList &after) {
        for (const TaskField &f : TaskFields())
            if (std::strcmp(f.Section, tableSection) == 0)
                before.append(QString::fromLatin1(f.Name));
        return before + after;
    };
    static const QStringList mainForm =
        withTaskFields(kMainFormSection, {}, {"IterationSpinEdit", "ViewRadioGroup", "CommentEdit"});
    static const QStringList parametersForm =
        withTaskFields(kParametersFormSection, {"ElMechPageControl"}, {"CommentEdit"});
    static const QStringList electroForm = {
        "PageControl", "Middle_F_QNSuperSpin", "Width_F_QNSuperSpin", "Diapazon_QNSuperSpin",
        "TypeRadioGroup", "ChooseMarkerRadioGroup", "A1_Edit", "T1_Edit", "A2_Edit", "T2_Edit",
        "DA_Edit", "DT_Edit", "MarkersEnableCheckBox"};
    static const QStringList none;
    if (section == "MainForm")
        return mainForm;
    if (section == "ParametersForm")
        return parametersForm;
    if (section == "ElectroForm")
        return electroForm;
    return none;
}

bool IsStoredKind(QWidget *w) {
    return qobject_cast<TQNSuperSpin *>(w) || qobject_cast<TSpinEdit *>(w) || qobject_cast<QCheckBox *>(w) ||
           qobject_cast<TRadioGroup *>(w) || qobject_cast<QTabWidget *>(w) || qobject_cast<QLineEdit *>(w);
}

// The controls of a window that the project stores: named controls of a stored kind, not parts of
// another stored control (the edit inside a spin field) and not inside a dialog.
void Collect(QWidget *parent, QList<QWidget *> &out) {
    for (QObject *child : parent->children()) {
        auto *w = qobject_cast<QWidget *>(child);
        if (!w || qobject_cast<QDialog *>(w))
            continue;
        const QString name = w->objectName();
        if (IsStoredKind(w) && !name.isEmpty() && !name.startsWith("qt_")) {
            out.append(w);
            if (!qobject_cast<QTabWidget *>(w)) // a page control's pages hold controls of their own
                continue;
        }
        Collect(w, out);
    }
}

QList<QWidget *> StoredControls(QWidget *window) {
    QList<QWidget *> controls;
    Collect(window, controls);
    const QStringList &order = WriteOrder(window->objectName());
    std::stable_sort(controls.begin(), controls.end(), [&](QWidget *a, QWidget *b) {
        const auto rank = [&](QWidget *w) {
            const qsizetype i = order.indexOf(w->objectName());
            return i < 0 ? std::numeric_limits<qsizetype>::max() : i;
        };
        return rank(a) < rank(b);
    });
    return controls;
}

std::string Std(const QString &s) { return s.toStdString(); }

std::string Section(QWidget *window) { return Std(window->objectName()); }

int ReadInt(const ProfileFile &p, const std::string &section, const QString &key, int current) {
    const auto text = p.Read(section, Std(key));
    long long v = 0;
    if (!text || !TryStrToInt(*text, v) || v < std::numeric_limits<int>::min() ||
        v > std::numeric_limits<int>::max())
        return current;
    return static_cast<int>(v);
}

std::string RealText(TQNSuperSpin *field) {
    return FloatToStrGeneral(field->GetValue(), FormatOf(field));
}

} // namespace

ProjectUi StandardProjectUi() {
    return ProjectUi{
        [](QFileDialog *dialog) {
            return dialog->exec() == QDialog::Accepted && !dialog->selectedFiles().isEmpty()
                       ? dialog->selectedFiles().constFirst()
                       : QString();
        },
        [](QWidget *owner, const QString &text) { QMessageBox::critical(owner, QString(), text); },
        [](QWidget *owner, const QString &text) {
            return QMessageBox::question(owner, QString(), text, QMessageBox::Yes | QMessageBox::No) ==
                   QMessageBox::Yes;
        }};
}

void SaveWindowState(ProfileFile &profile, QWidget *window) {
    if (!window)
        return;
    const std::string section = Section(window);
    // Position of the frame, size of the window without it: window managers draw frames of
    // different widths, and this way a project restores the same working area everywhere.
    profile.EraseSection(section);
    profile.Write(section, "Top", std::to_string(window->y()));
    profile.Write(section, "Left", std::to_string(window->x()));
    profile.Write(section, "Width", std::to_string(window->width()));
    profile.Write(section, "Height", std::to_string(window->height()));
    for (QWidget *w : StoredControls(window)) {
        const std::string key = Std(w->objectName());
        if (auto *f = qobject_cast<TQNSuperSpin *>(w))
            profile.Write(section, key, RealText(f));
        else if (auto *s = qobject_cast<TSpinEdit *>(w))
            profile.Write(section, key, std::to_string(s->Value()));
        else if (auto *c = qobject_cast<QCheckBox *>(w))
            profile.Write(section, key, c->isChecked() ? "1" : "0");
        else if (auto *r = qobject_cast<TRadioGroup *>(w))
            profile.Write(section, key, std::to_string(r->ItemIndex()));
        else if (auto *t = qobject_cast<QTabWidget *>(w))
            profile.Write(section, key, std::to_string(t->currentIndex()));
        else if (auto *e = qobject_cast<QLineEdit *>(w))
            profile.Write(section, key, Std(e->text()));
    }
    profile.Write(section, "Wisible", window->isVisible() ? "1" : "0");
    profile.Write(section, "Enabled", window->isEnabled() ? "1" : "0");
}

void CheckWindowState(const ProfileFile &profile, QWidget *window) {
    if (!window)
        return;
    const std::string section = Section(window);
    for (QWidget *w : StoredControls(window))
        if (qobject_cast<TQNSuperSpin *>(w))
            if (const auto text = profile.Read(section, Std(w->objectName())))
                StrToFloatEitherPoint(*text, FormatOf(w));
}

void LoadWindowState(const ProfileFile &profile, QWidget *window) {
    if (!window)
        return;
    const std::string section = Section(window);
    const int top = ReadInt(profile, section, "Top", window->y());
    const int left = ReadInt(profile, section, "Left", window->x());
    window->move(left, top);
    // Every window of the program can be resized by the user.
    const int width = ReadInt(profile, section, "Width", window->width());
    const int height = ReadInt(profile, section, "Height", window->height());
    window->resize(std::max(1, width), std::max(1, height));

    for (QWidget *w : StoredControls(window)) {
        const QString key = w->objectName();
        if (auto *f = qobject_cast<TQNSuperSpin *>(w)) {
            const std::string text = profile.ReadString(section, Std(key), RealText(f));
            // A project written under another locale reads too: "," or "." as the decimal point.
            f->SetValue(StrToFloatEitherPoint(text, FormatOf(f)));
        } else if (auto *s = qobject_cast<TSpinEdit *>(w)) {
            int v = ReadInt(profile, section, key, s->Value());
            if (s->MinValue() != s->MaxValue())
                v = std::clamp(v, s->MinValue(), s->MaxValue());
            s->SetValue(v);
        } else if (auto *c = qobject_cast<QCheckBox *>(w)) {
            c->setChecked(ReadInt(profile, section, key, c->isChecked() ? 1 : 0) != 0);
        } else if (auto *r = qobject_cast<TRadioGroup *>(w)) {
            const int v = ReadInt(profile, section, key, r->ItemIndex());
            r->SetItemIndex(std::clamp(v, -1, r->Count() - 1));
        } else if (auto *t = qobject_cast<QTabWidget *>(w)) {
            // A page control always shows a page here: an index outside the pages keeps the current one.
            const int v = ReadInt(profile, section, key, t->currentIndex());
            if (v >= 0 && v < t->count())
                t->setCurrentIndex(v);
        } else if (auto *e = qobject_cast<QLineEdit *>(w)) {
            e->setText(QString::fromStdString(profile.ReadString(section, Std(key), Std(e->text()))));
        }
    }

    const bool visible = ReadInt(profile, section, "Wisible", window->isVisible() ? 1 : 0) != 0;
    // The main window is never hidden: a hidden main window would leave nothing to work with.
    const bool isMain = qobject_cast<QMainWindow *>(window) != nullptr;
    if (visible)
        window->show();
    else if (!isMain)
        window->hide();
    window->update();
}

void LoadWindowState(const QString &path, QWidget *window) {
    if (!window)
        return;
    const ProfileFile profile = ProfileFile::Load(Std(path));
    CheckWindowState(profile, window);
    LoadWindowState(profile, window);
}

void SaveWindowState(const QString &path, QWidget *window) {
    if (!window)
        return;
    ProfileFile profile = ProfileFile::Load(Std(path));
    const bool enabled = window->isEnabled();
    window->setEnabled(false);
    try {
        SaveWindowState(profile, window);
        // The state was taken while the window was disabled for the write.
        profile.Write(Section(window), "Enabled", enabled ? "1" : "0");
        profile.Save(Std(path));
    } catch (...) {
        window->setEnabled(enabled);
        throw;
    }
    window->setEnabled(enabled);
    window->update();
}

namespace {

QList<QWidget *> LiveWindows(const QList<QPointer<QWidget>> &all) {
    QList<QWidget *> windows;
    for (const QPointer<QWidget> &w : all)
        if (w)
            windows.append(w.data());
    return windows;
}

} // namespace

void LoadAllWindows(const QList<QPointer<QWidget>> &all, const QString &path) {
    // A file that cannot be read or is no project throws before anything is applied.
    const ProfileFile profile = LoadProjectProfile(Std(path));
    const QList<QWidget *> windows = LiveWindows(all);
    for (QWidget *w : windows)
        CheckWindowState(profile, w);
    for (QWidget *w : windows)
        LoadWindowState(profile, w);
}

void SaveAllWindows(const QList<QPointer<QWidget>> &all, const QString &path) {
    ProfileFile profile = ProfileFile::Load(Std(path));
    const QList<QWidget *> windows = LiveWindows(all);
    QList<bool> enabled;
    for (QWidget *w : windows) {
        enabled.append(w->isEnabled());
        w->setEnabled(false);
    }
    const auto restore = [&] {
        for (int i = 0; i < windows.size(); ++i) {
            windows[i]->setEnabled(enabled[i]);
            windows[i]->update();
        }
    };
    try {
        for (int i = 0; i < windows.size(); ++i) {
            QWidget *w = windows[i];
            SaveWindowState(profile, w);
            profile.Write(Section(w), "Enabled", enabled[i] ? "1" : "0");
        }
        profile.Save(Std(path));
    } catch (...) {
        restore();
        throw;
    }
    restore();
}

namespace {

// The default extension is added to a name typed without one, whatever dialog was used.
QString WithDefaultSuffix(QFileDialog *dialog, const QString &file) {
    if (file.isEmpty() || !QFileInfo(file).suffix().isEmpty() || dialog->defaultSuffix().isEmpty())
        return file;
    return file + '.' + dialog->defaultSuffix();
}

QWidget *Owner(QFileDialog *dialog) { return dialog->parentWidget() ? dialog->parentWidget()->window() : nullptr; }

// The dialog next opens in the folder of the last name confirmed in it.
void RememberFolder(QFileDialog *dialog, const QString &confirmed) {
    if (!confirmed.isEmpty())
        dialog->setDirectory(QFileInfo(confirmed).absolutePath());
}

enum class LoadOutcome { Loaded, Missing, Failed };

LoadOutcome LoadConfirmedFile(const ProjectContext &project, QWidget *owner, const QString &file,
                              QString &text) {
    // The caption and the recent list name a file one way however it was typed ("./a/../b").
    const QString full = QDir::cleanPath(QFileInfo(file).absoluteFilePath());
    if (!QFileInfo(full).isFile()) {
        project.Ui.Error(owner, QCoreApplication::translate("ProjectFiles", "Не существует Файл \n") + full);
        return LoadOutcome::Missing;
    }
    try {
        LoadAllWindows(project.Windows, full);
    } catch (const std::exception &e) {
        project.Ui.Error(owner, UiText(e.what()));
        return LoadOutcome::Failed;
    }
    text = full;
    return LoadOutcome::Loaded;
}

} // namespace

bool LoadProjectFile(const ProjectContext &project, QWidget *owner, const QString &file, QString &text) {
    text = owner ? owner->windowTitle() : QString();
    return LoadConfirmedFile(project, owner, file, text) == LoadOutcome::Loaded;
}

bool LoadProject(const ProjectContext &project, QFileDialog *dialog, QString &text) {
    QWidget *owner = Owner(dialog);
    text = owner ? owner->windowTitle() : QString();
    dialog->setWindowTitle(QCoreApplication::translate("ProjectFiles", "Загрузить проект из файла"));
    dialog->setAcceptMode(QFileDialog::AcceptOpen);
    const QString file = WithDefaultSuffix(dialog, project.Ui.ExecDialog(dialog));
    LoadOutcome outcome = LoadOutcome::Missing;
    if (!file.isEmpty()) {
        outcome = LoadConfirmedFile(project, owner, file, text);
        // A file that could not be read leaves the dialog's folder as it was.
        if (outcome == LoadOutcome::Failed)
            return false;
    }
    RememberFolder(dialog, file);
    return outcome == LoadOutcome::Loaded;
}

bool SaveProject(const ProjectContext &project, QFileDialog *dialog, QString &text) {
    QWidget *owner = Owner(dialog);
    text = owner ? owner->windowTitle() : QString();
    dialog->setWindowTitle(QCoreApplication::translate("ProjectFiles", "Сохранить проект в файл как..."));
    dialog->setAcceptMode(QFileDialog::AcceptSave);
    const QString file = WithDefaultSuffix(dialog, project.Ui.ExecDialog(dialog));
    bool saved = false;
    if (!file.isEmpty()) {
        const QString full = QFileInfo(file).absoluteFilePath();
        const bool write =
            !QFileInfo::exists(full) ||
            project.Ui.Confirm(
                owner, QCoreApplication::translate("ProjectFiles", "Файл с именем \n") + full +
                           QCoreApplication::translate("ProjectFiles", "\nуже существует\nЗаписать в него?"));
        if (write) {
            try {
                SaveAllWindows(project.Windows, full);
                text = full;
                saved = true;
            } catch (const std::exception &e) {
                project.Ui.Error(owner, UiText(e.what()));
                return false;
            }
        }
    }
    RememberFolder(dialog, file);
    return saved;
}
