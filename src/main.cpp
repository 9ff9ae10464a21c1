// SPDX-License-Identifier: GPL-3.0-or-later
#include <QApplication>
#include <QCoreApplication>
#include <QFileInfo>
#include <clocale>
#include <cstdio>
#include <iostream>
#include <string>
#include <unistd.h>
#include <vector>

#include "app/AppFormat.h"
#include "app/Language.h"
#include "app/UiText.h"
#include "main/EventYield.h"
#include "main/Main.h"
#include "parameters/ParametersUnit.h"
#include "run/BatchRun.h"
#include "signals/ElectroUnit.h"
#include "text/FormatSettings.h"

namespace {

// "--lang CODE" and "--lang=CODE" are options of the batch line too; the others are the batch's own.
std::vector<std::string> WithoutLanguageOption(const std::vector<std::string> &args) {
    std::vector<std::string> rest;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--lang")
            ++i;
        else if (args[i].rfind("--lang=", 0) != 0)
            rest.push_back(args[i]);
    }
    return rest;
}

// The batch run and --help: no windows, no display. An application object without a platform (no
// display needed) carries the translation of the messages.
int BatchMain(int &argc, char **argv, const std::vector<std::string> &all) {
    QString language;
    {
        QStringList own;
        for (const std::string &a : all)
            own << QString::fromLocal8Bit(a.c_str());
        QString error;
        if (!Language::TakeLanguageOption(own, language, error)) {
            std::cerr << error.toStdString() << "\n";
            return kBatchBadArguments;
        }
    }
    const std::vector<std::string> args = WithoutLanguageOption(all);
    QCoreApplication app(argc, argv);
    // The application object sets the C library's locale from the environment; the batch's numbers
    // are written as they were without it, with "." (see FormatSettings for what a person reads).
    std::setlocale(LC_ALL, "C");
    Language::InstallTranslation(app, Language::ForBatch(language));
    BatchLanguage texts;
    texts.Batch = [](const char *text) { return QCoreApplication::translate("Batch", text).toStdString(); };
    texts.Core = [](const std::string &text) { return UiText(text).toStdString(); };

    for (const std::string &a : args)
        if (a == "--help" || a == "-h") {
            std::cout << BatchHelpText(texts);
            return kBatchCompleted;
        }
    BatchOptions options;
    if (const std::string error = ParseBatchArguments(args, options, texts); !error.empty()) {
        std::cerr << error << "\n" << BatchHelpHint(texts) << "\n";
        return kBatchBadArguments;
    }
    return RunBatch(options, SystemFormatSettings(), std::cerr, isatty(STDERR_FILENO) != 0, texts);
}

} // namespace

int main(int argc, char **argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (IsBatchCommandLine(args))
        return BatchMain(argc, argv, args);

    // The program's own options are checked before the application object exists: without a
    // display it could not even be created, and the message would never be seen.
    {
        QStringList own;
        for (const std::string &a : args)
            own << QString::fromLocal8Bit(a.c_str());
        QString code, error;
        if (!Language::TakeLanguageOption(own, code, error)) {
            std::cerr << error.toStdString() << "\n";
            return kBatchBadArguments;
        }
        for (const QString &a : own)
            if (a.startsWith(QStringLiteral("--"))) {
                std::cerr << "Неизвестный аргумент: " << a.toStdString() << "\nСправка: pepsim --help\n";
                return kBatchBadArguments;
            }
    }

    QApplication app(argc, argv);
    QGuiApplication::setDesktopFileName(QStringLiteral("pepsim"));
    // Read once: every window formats its numbers with these.
    const FormatSettings format = SystemFormatSettings();
    InstallEventYield();

    // Qt has taken its own options; what remains is "--lang CODE" and at most a project file to open.
    QStringList rest = app.arguments().mid(1);
    QString language, languageError;
    if (!Language::TakeLanguageOption(rest, language, languageError)) {
        std::cerr << languageError.toStdString() << "\n";
        return kBatchBadArguments;
    }
    if (rest.size() > 1 || (!rest.isEmpty() && rest.first().startsWith(QLatin1Char('-')))) {
        std::cerr << "Неизвестные аргументы.\n" << BatchHelpText();
        return kBatchBadArguments;
    }
    // The command line wins over the choice remembered from the menu; the windows are built after.
    Language::InstallTranslation(app, language.isEmpty() ? Language::Stored() : language);

    // The three windows, in this order; the main window's close ends the program.
    TMainForm mainForm(&format);
    TParametersForm parametersForm(&format);
    TElectroForm electroForm(&format);
    mainForm.SetWindows(&parametersForm, &electroForm);
    mainForm.show();
    if (!rest.isEmpty())
        mainForm.OpenProjectFile(QFileInfo(rest.first()).absoluteFilePath());
    return app.exec();
}
