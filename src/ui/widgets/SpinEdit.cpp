// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/SpinEdit.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <algorithm>
#include <climits>

#include "app/AppFormat.h"
#include "app/Platform.h"
#include "text/FormatSettings.h"

TSpinEdit::TSpinEdit(QWidget *parent) : QAbstractSpinBox(parent) {
    // The key filter below decides what goes in; the text itself is never corrected.
    setCorrectionMode(QAbstractSpinBox::CorrectToPreviousValue);
    lineEdit()->setText("10");
    connect(lineEdit(), &QLineEdit::textChanged, this, &TSpinEdit::OnChange);
}

long long TSpinEdit::Clamp(long long v) const {
    if (LimitsApply())
        v = std::clamp<long long>(v, FMinValue, FMaxValue);
    return std::clamp<long long>(v, INT_MIN, INT_MAX);
}

int TSpinEdit::Value() const {
    const QString t = lineEdit()->text();
    // An integer is an optional sign and decimal digits, nothing else.
    bool ok = !t.isEmpty();
    for (int i = 0; ok && i < t.size(); ++i)
        ok = t[i].isDigit() ? t[i].unicode() < 128 : (i == 0 && (t[i] == '+' || t[i] == '-') && t.size() > 1);
    long long v = ok ? t.toLongLong(&ok) : 0;
    if (!ok || v < INT_MIN || v > INT_MAX)
        v = FMinValue;
    return static_cast<int>(Clamp(v));
}

void TSpinEdit::SetValue(int v) {
    const QString t = QString::number(Clamp(v));
    if (t != lineEdit()->text())
        lineEdit()->setText(t);
}

void TSpinEdit::stepBy(int steps) {
    if (isReadOnly())
        return;
    SetValue(static_cast<int>(
        Clamp(static_cast<long long>(Value()) + static_cast<long long>(steps) * FIncrement)));
}

QValidator::State TSpinEdit::validate(QString &, int &) const {
    return QValidator::Acceptable;
}

QAbstractSpinBox::StepEnabled TSpinEdit::stepEnabled() const {
    if (isReadOnly())
        return StepNone;
    if (!LimitsApply())
        return StepUpEnabled | StepDownEnabled;
    const int v = Value();
    StepEnabled e = StepNone;
    if (v < FMaxValue)
        e |= StepUpEnabled;
    if (v > FMinValue)
        e |= StepDownEnabled;
    return e;
}

void TSpinEdit::keyPressEvent(QKeyEvent *event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        MessageBeep();
        return;
    }
    const QString t = event->text();
    if (!t.isEmpty() && t.at(0).isPrint()) {
        const char32_t dec = FormatOf(this).DecimalSeparator;
        for (char32_t c : t.toStdU32String()) {
            const bool accepted = (c >= U'0' && c <= U'9') || c == U'+' || c == U'-' || c == dec;
            if (!accepted) {
                MessageBeep();
                return;
            }
        }
    }
    QAbstractSpinBox::keyPressEvent(event);
}
