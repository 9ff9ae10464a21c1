// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/QNNumEdit.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QTimer>

#include "app/AppFormat.h"
#include "app/Platform.h"
#include "text/FormatSettings.h"

TQNNumEdit::TQNNumEdit(QWidget *parent) : QLineEdit(parent) {
    setAlignment(Qt::AlignCenter);
    // Every change goes through the typing rules: no drops, no input-method composition.
    setAcceptDrops(false);
    setAttribute(Qt::WA_InputMethodEnabled, false);
    setText("0");
    connect(this, &QLineEdit::textChanged, this, &TQNNumEdit::OnChange);
}

long double TQNNumEdit::GetValue() const {
    return NumEditTextToValue(text().toStdU32String(), FormatOf(this));
}

void TQNNumEdit::SetValue(long double x) {
    const QString t =
        QString::fromStdU32String(NumEditValueToText(x, FNumberFormat, FDecimals, FormatOf(this)));
    if (t != text())
        setText(t);
}

void TQNNumEdit::SetMinValue(long double v) {
    FMinValue = AcceptMinValue(v, Limits());
}
void TQNNumEdit::SetMaxValue(long double v) {
    FMaxValue = AcceptMaxValue(v, Limits());
}

void TQNNumEdit::SetLimits(long double minValue, long double maxValue) {
    if (maxValue < minValue)
        return;
    FMinValue = minValue;
    FMaxValue = maxValue;
}

void TQNNumEdit::SetIncrement(long double v) {
    FIncrement = AcceptIncrement(v, Limits());
}
void TQNNumEdit::SetDecimals(int d) {
    FDecimals = AcceptDecimals(d, FMaxLength);
}
void TQNNumEdit::SetNumberFormat(TNumberFormat f) {
    FNumberFormat = f;
}
void TQNNumEdit::SetMaxLength(int n) {
    FMaxLength = n < 0 ? 0 : n;
}

NumEditLimits TQNNumEdit::Limits() const {
    NumEditLimits lim;
    lim.minValue = FMinValue;
    lim.maxValue = FMaxValue;
    lim.increment = FIncrement;
    lim.roundValues = FRoundValues;
    lim.wrap = FWrap;
    return lim;
}

NumEditConfig TQNNumEdit::Config() const {
    NumEditConfig cfg;
    cfg.fs = FormatOf(this);
    cfg.numberFormat = FNumberFormat;
    cfg.maxLength = FMaxLength;
    return cfg;
}

EditState TQNNumEdit::CurrentState() const {
    EditState st;
    st.text = text().toStdU32String();
    st.caret = cursorPosition();
    if (hasSelectedText()) {
        st.selStart = selectionStart();
        st.selLength = selectionLength();
    } else {
        st.selStart = st.caret;
    }
    return st;
}

void TQNNumEdit::ShowState(const EditState &st) {
    const QString t = QString::fromStdU32String(st.text);
    if (t != text())
        setText(t);
    if (st.selLength > 0) {
        // The caret stays at the end of the selection where it was.
        if (st.caret == st.selStart)
            setSelection(st.selStart + st.selLength, -st.selLength);
        else
            setSelection(st.selStart, st.selLength);
    } else {
        setCursorPosition(st.caret);
    }
}

void TQNNumEdit::TypeText(const QString &text) {
    EditState st = CurrentState();
    const NumEditConfig cfg = Config();
    int refused = 0;
    for (char32_t c : text.toStdU32String())
        refused += NumEditTypeChar(st, c, cfg) ? 0 : 1;
    ShowState(st);
    for (int i = 0; i < refused; ++i)
        MessageBeep();
}

void TQNNumEdit::DeleteKey(bool backward) {
    EditState st = CurrentState();
    const bool ok = backward ? NumEditBackspace(st, Config()) : NumEditDelete(st, Config());
    ShowState(st);
    if (!ok)
        MessageBeep();
}

void TQNNumEdit::PressEnter() {
    // The window's default button, when it has one; otherwise Enter is refused input.
    for (QPushButton *b : window()->findChildren<QPushButton *>()) {
        if (b->isDefault() && b->isVisible() && b->isEnabled()) {
            b->click();
            return;
        }
    }
    MessageBeep();
}

void TQNNumEdit::CopyToClipboard() {
    const EditState st = CurrentState();
    if (st.selLength > 0)
        QApplication::clipboard()->setText(QString::fromStdU32String(NumEditCopyText(st, FormatOf(this))));
}

void TQNNumEdit::CutToClipboard() {
    if (!Editable()) {
        MessageBeep();
        return;
    }
    EditState st = CurrentState();
    if (st.selLength <= 0)
        return;
    CopyToClipboard();
    if (!NumEditDeleteSelection(st, Config()))
        MessageBeep();
    ShowState(st);
}

void TQNNumEdit::PasteFromClipboard() {
    if (!Editable()) {
        MessageBeep();
        return;
    }
    EditState st = CurrentState();
    const int refused = NumEditPaste(st, QApplication::clipboard()->text().toStdU32String(), Config());
    if (FNumberFormat == TNumberFormat::Thousands)
        NumEditRegroup(st, FormatOf(this));
    ShowState(st);
    for (int i = 0; i < refused; ++i)
        MessageBeep();
}

void TQNNumEdit::keyPressEvent(QKeyEvent *event) {
    if (event->matches(QKeySequence::Copy)) {
        CopyToClipboard();
        return;
    }
    if (event->matches(QKeySequence::Cut)) {
        CutToClipboard();
        return;
    }
    if (event->matches(QKeySequence::Paste)) {
        PasteFromClipboard();
        return;
    }
    switch (event->key()) {
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Home:
    case Qt::Key_End:
        QLineEdit::keyPressEvent(event); // caret movement and selection only
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        PressEnter();
        return;
    case Qt::Key_Backspace:
    case Qt::Key_Delete:
        if (Editable())
            DeleteKey(event->key() == Qt::Key_Backspace);
        else
            MessageBeep();
        return;
    default:
        break;
    }
    if (event->matches(QKeySequence::SelectAll)) {
        selectAll();
        return;
    }
    const QString t = event->text();
    const bool printable =
        !t.isEmpty() && t.at(0).isPrint() && !(event->modifiers() & (Qt::ControlModifier | Qt::MetaModifier));
    if (!printable) {
        // Undo, word deletion and the like would bypass the rules; let the parent see the key.
        event->ignore();
        return;
    }
    if (Editable())
        TypeText(t);
    else
        MessageBeep();
}

void TQNNumEdit::keyReleaseEvent(QKeyEvent *event) {
    // "Thousands" fields regroup after every key; a changed grouping is a text change (OnChange).
    if (FNumberFormat == TNumberFormat::Thousands && Editable()) {
        EditState st = CurrentState();
        NumEditRegroup(st, FormatOf(this));
        ShowState(st);
    }
    QLineEdit::keyReleaseEvent(event);
}

void TQNNumEdit::focusInEvent(QFocusEvent *event) {
    QLineEdit::focusInEvent(event);
    switch (event->reason()) {
    case Qt::MouseFocusReason:
        // The press that follows would place the caret; select after it.
        FSelectOnPress = true;
        break;
    case Qt::ActiveWindowFocusReason:
    case Qt::PopupFocusReason:
        break; // the focus never left the field
    default:
        selectAll();
        break;
    }
}

void TQNNumEdit::mousePressEvent(QMouseEvent *event) {
    QLineEdit::mousePressEvent(event);
    if (FSelectOnPress) {
        FSelectOnPress = false;
        selectAll();
    }
}

void TQNNumEdit::focusOutEvent(QFocusEvent *event) {
    QLineEdit::focusOutEvent(event);
    FSelectOnPress = false;
    // Switching windows or opening a menu does not move the focus to another control.
    if (event->reason() != Qt::ActiveWindowFocusReason && event->reason() != Qt::PopupFocusReason)
        LeaveField();
}

void TQNNumEdit::LeaveField() {
    long double v = 0;
    if (!TryNumEditTextToValue(text().toStdU32String(), FormatOf(this), v))
        return; // a text set by the program outside the syntax stays for GetValue to report
    SetValue(v);
    switch (CheckLimits(v, Limits())) {
    case LimitCheck::BelowMin:
        SnapToLimit(FMinValue);
        break;
    case LimitCheck::AboveMax:
        SnapToLimit(FMaxValue);
        break;
    case LimitCheck::Inside:
        break;
    }
}

void TQNNumEdit::SnapToLimit(long double limit) {
    SetValue(limit);
    MessageBeep();
    // Changing the focus from within a focus change is unreliable: queue it.
    QTimer::singleShot(0, this, [this] {
        if (isVisible() && isEnabled())
            setFocus(Qt::OtherFocusReason);
    });
}

void TQNNumEdit::contextMenuEvent(QContextMenuEvent *event) {
    QMenu menu(this);
    const bool selected = hasSelectedText();
    QAction *cut = menu.addAction(tr("Вырезать"), this, &TQNNumEdit::CutToClipboard);
    cut->setEnabled(selected && Editable());
    menu.addAction(tr("Копировать"), this, &TQNNumEdit::CopyToClipboard)->setEnabled(selected);
    QAction *paste = menu.addAction(tr("Вставить"), this, &TQNNumEdit::PasteFromClipboard);
    paste->setEnabled(Editable() && !QApplication::clipboard()->text().isEmpty());
    QAction *del = menu.addAction(tr("Удалить"), this, [this] {
        EditState st = CurrentState();
        if (!NumEditDeleteSelection(st, Config()))
            MessageBeep();
        ShowState(st);
    });
    del->setEnabled(selected && Editable());
    menu.addSeparator();
    menu.addAction(tr("Выделить всё"), this, &QLineEdit::selectAll);
    menu.exec(event->globalPos());
}
