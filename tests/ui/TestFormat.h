// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The number formatting the tests give their windows: the system's at the start; a test may change
// it, and its fixture puts it back.

#include <QString>
#include <QWidget>

#include "app/AppFormat.h"
#include "text/NumberText.h"

inline FormatSettings &TestFormat() {
    static FormatSettings format = SystemFormatSettings();
    return format;
}

// A plain window carrying TestFormat(), for fields and charts tested on their own.
class TFormatWindow : public QWidget, public TNumberFormatHolder {
public:
    TFormatWindow() : TNumberFormatHolder(&TestFormat()) {}
};

// A number as the windows given TestFormat() write it.
inline QString FormatFloatQ(const QString &pattern, long double value) {
    return QString::fromStdString(FormatFloat(pattern.toStdString(), value, TestFormat()));
}
