// SPDX-License-Identifier: GPL-3.0-or-later
#include <QApplication>
#include <QLocale>
#include <QSettings>
#include <QTemporaryDir>
#include <clocale>
#include <cstdio>
#include <gtest/gtest.h>

#include "app/AppFormat.h"
#include "ui/TestFormat.h"

int main(int argc, char **argv) {
    // Widget tests run without a display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    // A run under a named locale (ctest's ui_<locale>.* entries set PEP_TEST_LOCALE with LANG and
    // LC_ALL) must get it from the C library too: Qt reads LANG even when the C library lacks the
    // locale, and the run would then not see what a desktop with that locale sees.
    if (const QByteArray wanted = qgetenv("PEP_TEST_LOCALE"); !wanted.isEmpty()) {
        const char *numeric = std::setlocale(LC_NUMERIC, nullptr);
        if (!numeric || wanted != numeric ||
            QLocale::system().name() != QString::fromLatin1(wanted.left(5))) {
            std::fprintf(stderr,
                         "The locale %s is not in force (C library: %s, Qt: %s); generate it with "
                         "localedef -i %s -f UTF-8 %s\n",
                         wanted.constData(), numeric ? numeric : "none",
                         QLocale::system().name().toLatin1().constData(), wanted.left(5).constData(),
                         wanted.constData());
            return 1;
        }
    }
    // The recent projects, the dialogs' folders and Qt's own file-dialog state go to a folder of
    // this run, never to the user's settings.
    QTemporaryDir settings;
    if (!settings.isValid())
        return 1;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings.path());
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settings.path());
    TestFormat() = SystemFormatSettings();
    return RUN_ALL_TESTS();
}
