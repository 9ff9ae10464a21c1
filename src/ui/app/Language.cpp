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

struct Installed {
    QString Code = kRussian;
    std::unique_ptr<QTranslator> Program;
    std::unique_ptr<QTranslator> Qt;
};

Installed &State() {
    static Installed state;
    return state;
}

void Remove(std::unique_ptr<QTranslator> &translator) {
    if (translator)
        QCoreApplication::removeTranslator(translator.get());
    translator.reset();
}

} // namespace

bool IsKnown(const QString &code) {
    return code == kRussian || code == kEnglish;
}

bool InstallTranslation(QCoreApplication &, const QString &code) {
    if (!IsKnown(code))
        return false;
    Installed &state = State();
    Remove(state.Program);
    Remove(state.Qt);
    state.Code = kRussian;

    // Qt's own texts (standard buttons, file dialogs) in the same language, when the system has them.
    auto qt = std::make_unique<QTranslator>();
    if (qt->load(QStringLiteral("qtbase_") + code, QLibraryInfo::path(QLibraryInfo::TranslationsPath)) &&
        QCoreApplication::installTranslator(qt.get()))
        state.Qt = std::move(qt);
    if (code == kRussian)
        return true;

    auto program = std::make_unique<QTranslator>();
    if (!program->load(QStringLiteral(":/i18n/pepsim_") + code) ||
        !QCoreApplication::installTranslator(program.get())) {
        Remove(state.Qt);
        return false;
    }
    state.Program = std::move(program);
    state.Code = code;
    return true;
}

QString Current() {
    return State().Code;
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
