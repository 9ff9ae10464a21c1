// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/AppFormat.h"

#include <QLocale>
#include <QWidget>

#include "text/NumberText.h"

FormatSettings SystemFormatSettings() {
    const QLocale locale = QLocale::system();
    FormatSettings fs;
    const QString dec = locale.decimalPoint();
    const QString group = locale.groupSeparator();
    fs.DecimalSeparator = dec.isEmpty() ? U'.' : dec.toUcs4().value(0, U'.');
    fs.ThousandSeparator = group.isEmpty() ? U' ' : group.toUcs4().value(0, U' ');
    return fs;
}

TNumberFormatHolder::TNumberFormatHolder(const FormatSettings *format)
    : FOwn(format ? FormatSettings{} : SystemFormatSettings()), FFormat(format ? format : &FOwn) {}

QString TNumberFormatHolder::FormatFloatQ(const QString &pattern, long double value) const {
    return QString::fromStdString(FormatFloat(pattern.toStdString(), value, Format()));
}

FormatSettings FormatOf(const QWidget *widget) {
    if (widget)
        if (const auto *holder = dynamic_cast<const TNumberFormatHolder *>(widget->window()))
            return holder->Format();
    return SystemFormatSettings();
}

QString FormatFloatQ(const QWidget *widget, const QString &pattern, long double value) {
    return QString::fromStdString(FormatFloat(pattern.toStdString(), value, FormatOf(widget)));
}
