// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The interface language: Russian (the texts of the sources) or English (translations/pepsim_en.ts,
// compiled into the program). The choice is made once, before the windows are built.

#include <QString>
#include <QStringList>

class QCoreApplication;
class QLocale;

namespace Language {

// "ru" or "en".
inline const QString kRussian = QStringLiteral("ru");
inline const QString kEnglish = QStringLiteral("en");
bool IsKnown(const QString &code);

// Installs the program's translation for `code` (and Qt's own, where the system has it) into the
// application, replacing one installed before. "ru" installs none: the sources are Russian. False
// for an unknown code or a translation that cannot be loaded; the interface then stays Russian.
bool InstallTranslation(QCoreApplication &app, const QString &code);
// The language installed last ("ru" until a translation is installed).
QString Current();

// The choice remembered in the settings ("language"); "ru" when none or an unknown one is stored.
QString Stored();
// The same, but empty when no known choice is stored.
QString Remembered();

// The language of the system's messages (the first of the locale's interface languages): "en" for
// English, "ru" for any other, the texts' own language.
QString OfLocale(const QLocale &locale);
// The batch line's language: `option` (from --lang) when given, else the remembered choice, else
// the system's. Its messages go to logs that readers of either language share; the windows start
// in the remembered choice or Russian and offer the choice in their menu.
QString ForBatch(const QString &option);
void Store(const QString &code);

// Takes "--lang CODE" or "--lang=CODE" out of `args`. Returns false with `error` set when the option
// has no code or an unknown one; `code` stays empty when the option is absent.
bool TakeLanguageOption(QStringList &args, QString &code, QString &error);

// The message shown when the choice is changed in the menu: in both languages, since it is read
// before the change is made.
QString RestartNotice();

} // namespace Language
