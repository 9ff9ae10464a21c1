// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/AppFormat.h"

#include <QLocale>

#include "text/NumberText.h"

void InitAppFormatSettings() {
    const QLocale locale = QLocale::system();
    FormatSettings &fs = DefaultFormatSettings();
    const QString dec = locale.decimalPoint();
    const QString group = locale.groupSeparator();
    fs.DecimalSeparator = dec.isEmpty() ? U'.' : dec.toUcs4().value(0, U'.');
    fs.ThousandSeparator = group.isEmpty() ? U' ' : group.toUcs4().value(0, U' ');
}

QString FormatFloatQ(const QString &pattern, long double value) {
    return QString::fromStdString(FormatFloat(pattern.toStdString(), value, DefaultFormatSettings()));
}
