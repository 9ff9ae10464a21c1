// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/Language.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QSettings>
#include <QTranslator>
#include <memory>

namespace Language {

namespace {

const QString kSettingsKey = QStringLiteral("language");

// The installed translators are children of the application, found by these names when the
// language is changed; the program's carries its language code.
const QString kProgramTranslator = QStringLiteral("pepsim-translator");
const QString kQtTranslator = QStringLiteral("pepsim-qt-translator");
const char *const kCodeProperty = "languageCode";

QTranslator *Find(const QCoreApplication *app, const QString &name) {
    return app ? app->findChild<QTranslator *>(name, Qt::FindDirectChildrenOnly) : nullptr;
}

void Remove(const QCoreApplication &app, const QString &name) {
    if (QTranslator *translator = Find(&app, name)) {
        QCoreApplication::removeTranslator(translator);
        delete translator;
    }
}

// Loads `file` (from `directory`, if any) into a translator installed into and owned by `app`.
bool Install(QCoreApplication &app, const QString &name, const QString &file, const QString &directory) {
    auto translator = std::make_unique<QTranslator>();
    if (!translator->load(file, directory) || !QCoreApplication::installTranslator(translator.get()))
        return false;
    translator->setObjectName(name);
    translator.release()->setParent(&app);
    return true;
}

} // namespace

bool IsKnown(const QString &code) {
    return code == kRussian || code == kEnglish;
}

bool InstallTranslation(QCoreApplication &app, const QString &code) {
    if (!IsKnown(code))
        return false;
    Remove(app, kProgramTranslator);
    Remove(app, kQtTranslator);

    // Qt's own texts (standard buttons, file dialogs) in the same language, when the system has them.
    Install(app, kQtTranslator, QStringLiteral("qtbase_") + code,
            QLibraryInfo::path(QLibraryInfo::TranslationsPath));
    if (code == kRussian)
        return true;

    if (!Install(app, kProgramTranslator, QStringLiteral(":/i18n/pepsim_") + code, QString())) {
        Remove(app, kQtTranslator);
        return false;
    }
    Find(&app, kProgramTranslator)->setProperty(kCodeProperty, code);
    return true;
}

QString Current() {
    const QTranslator *program = Find(QCoreApplication::instance(), kProgramTranslator);
    return program ? program->property(kCodeProperty).toString() : kRussian;
}

QString Remembered() {
    const QString code =
        QSettings(QStringLiteral("pepsim"), QStringLiteral("pepsim")).value(kSettingsKey).toString();
    return IsKnown(code) ? code : QString();
}

QString Stored() {
    const QString code = Remembered();
    return code.isEmpty() ? kRussian : code;
}

QString OfLocale(const QLocale &locale) {
    const QStringList languages = locale.uiLanguages();
    const QLocale first = languages.isEmpty() ? locale : QLocale(languages.first());
    return first.language() == QLocale::English ? kEnglish : kRussian;
}

QString ForBatch(const QString &option) {
    if (IsKnown(option))
        return option;
    const QString remembered = Remembered();
    return remembered.isEmpty() ? OfLocale(QLocale::system()) : remembered;
}

void Store(const QString &code) {
    QSettings(QStringLiteral("pepsim"), QStringLiteral("pepsim")).setValue(kSettingsKey, code);
}

bool TakeLanguageOption(QStringList &args, QString &code, QString &error) {
    code.clear();
    const QString option = QStringLiteral("--lang");
    for (int i = 0; i < args.size(); ++i) {
        QString value;
        if (args[i] == option) {
            if (i + 1 >= args.size()) {
                error = QStringLiteral("После --lang нужен язык: ru или en.");
                return false;
            }
            value = args[i + 1];
            args.remove(i, 2);
        } else if (args[i].startsWith(option + QLatin1Char('='))) {
            value = args[i].mid(option.size() + 1);
            args.remove(i);
        } else {
            continue;
        }
        if (!IsKnown(value)) {
            error = QStringLiteral("Неизвестный язык: %1 (ru или en).").arg(value);
            return false;
        }
        code = value;
        --i;
    }
    return true;
}

QString RestartNotice() {
    return QStringLiteral("Язык интерфейса будет изменен при следующем запуске программы.\n"
                          "The interface language will change the next time the program starts.");
}

} // namespace Language
