// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/RecentProjects.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>

namespace {

const QString kRecentKey = QStringLiteral("RecentProjects");

QSettings Store() {
    return QSettings(QStringLiteral("pepsim"), QStringLiteral("pepsim"));
}

QString FolderKey(const QString &dialog) {
    return QStringLiteral("Folders/") + dialog;
}

void Write(QSettings &settings, QStringList files) {
    if (files.size() > RecentProjects::MaxCount)
        files.resize(RecentProjects::MaxCount);
    settings.setValue(kRecentKey, files);
}

} // namespace

namespace RecentProjects {

QStringList Files() {
    QSettings settings = Store();
    QStringList files = settings.value(kRecentKey).toStringList();
    files.removeAll(QString());
    files.removeDuplicates();
    if (files.size() > MaxCount)
        files.resize(MaxCount);
    return files;
}

void Add(const QString &path) {
    if (path.isEmpty())
        return;
    const QString full = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    QStringList files = Files();
    files.removeAll(full);
    files.prepend(full);
    QSettings settings = Store();
    Write(settings, files);
}

void Remove(const QString &path) {
    QStringList files = Files();
    files.removeAll(path);
    QSettings settings = Store();
    Write(settings, files);
}

QString Folder(const QString &dialog) {
    return Store().value(FolderKey(dialog)).toString();
}

void SetFolder(const QString &dialog, const QString &folder) {
    QSettings settings = Store();
    settings.setValue(FolderKey(dialog), folder);
}

} // namespace RecentProjects
