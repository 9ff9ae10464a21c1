// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The windows' number formatting: the separators of the system's locale, which the program reads
// once and hands to its windows; the fields, charts and labels of a window format and read numbers
// with the settings of the window they lie in.

#include <QString>

#include "text/FormatSettings.h"

class QWidget;

// The decimal and thousands separators of QLocale::system().
FormatSettings SystemFormatSettings();

// A window that carries the number formatting of everything in it.
class TNumberFormatHolder {
public:
    TNumberFormatHolder(const TNumberFormatHolder &) = delete;
    TNumberFormatHolder &operator=(const TNumberFormatHolder &) = delete;

    const FormatSettings &Format() const { return *FFormat; }
    // FormatFloat with this window's settings, as a QString.
    QString FormatFloatQ(const QString &pattern, long double value) const;

protected:
    // `format` is owned by the caller and outlives the window; without one the window keeps a copy
    // of the system's settings.
    explicit TNumberFormatHolder(const FormatSettings *format);
    ~TNumberFormatHolder() = default;

private:
    FormatSettings FOwn;
    const FormatSettings *FFormat;
};

// The settings of the window `widget` lies in; the system's outside such a window.
FormatSettings FormatOf(const QWidget *widget);
// FormatFloat with the settings of the window `widget` lies in, as a QString.
QString FormatFloatQ(const QWidget *widget, const QString &pattern, long double value);
