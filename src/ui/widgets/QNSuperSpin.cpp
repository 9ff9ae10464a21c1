// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/QNSuperSpin.h"

#include <QKeyEvent>
#include <QStyle>
#include <QTimer>
#include <QToolButton>

#include "app/AppFormat.h"
#include "app/Platform.h"
#include "text/FormatSettings.h"

namespace {

constexpr int FirstRepeatMs = 400;
constexpr int NextRepeatMs = 100;
constexpr int ButtonWidth = 15;

QToolButton *MakeSpinButton(QWidget *parent, Qt::ArrowType arrow, const char *name, const QString &caption) {
    auto *b = new QToolButton(parent);
    b->setObjectName(name);
    b->setArrowType(arrow);
    b->setFocusPolicy(Qt::NoFocus); // spinning leaves the focus where it is
    b->setCursor(Qt::ArrowCursor);
    b->setAccessibleName(caption);
    b->setIconSize(QSize(7, 7));
    return b;
}

} // namespace

TQNSuperSpin::TQNSuperSpin(QWidget *parent)
    : TQNNumEdit(parent), FUpButton(MakeSpinButton(this, Qt::UpArrow, "UpButton", tr("Больше"))),
      FDownButton(MakeSpinButton(this, Qt::DownArrow, "DownButton", tr("Меньше"))),
      FRepeatTimer(new QTimer(this)) {
    FRepeatTimer->setObjectName("SpinRepeatTimer");
    connect(FRepeatTimer, &QTimer::timeout, this, &TQNSuperSpin::SpinRepeatTimeout);
    connect(FUpButton, &QToolButton::pressed, this, [this] { ButtonPressed(true); });
    connect(FDownButton, &QToolButton::pressed, this, [this] { ButtonPressed(false); });
    connect(FUpButton, &QToolButton::released, this, &TQNSuperSpin::ButtonReleased);
    connect(FDownButton, &QToolButton::released, this, &TQNSuperSpin::ButtonReleased);
    connect(FUpButton, &QToolButton::clicked, this, [this] { ButtonClicked(true); });
    connect(FDownButton, &QToolButton::clicked, this, [this] { ButtonClicked(false); });
    ResetSpin(FSpin, Limits());
    PlaceButtons();
}

void TQNSuperSpin::SpinUp() {
    Spin(true);
}
void TQNSuperSpin::SpinDown() {
    Spin(false);
}

void TQNSuperSpin::Spin(bool up) {
    if (!isEnabled())
        return;
    if (isReadOnly()) {
        MessageBeep();
        return;
    }
    long double value = 0;
    if (!TryNumEditTextToValue(text().toStdU32String(), FormatOf(this), value)) {
        MessageBeep();
        return;
    }
    const SpinOutcome out = SpinValue(value, up, GetTickCount(), FSpin, Limits());
    switch (out.result) {
    case SpinResult::Stepped:
        SetValue(out.value);
        break;
    case SpinResult::SnappedToLimit:
        SnapToLimit(out.value);
        break;
    case SpinResult::Refused:
        MessageBeep();
        setFocus(Qt::OtherFocusReason);
        break;
    }
}

// A click spins once; holding the button spins first after 400 ms, then every 100 ms, and the
// release after such repeats adds no spin of its own.
void TQNSuperSpin::ButtonPressed(bool up) {
    FRepeatUp = up;
    FRepeated = false;
    FRepeatTimer->start(FirstRepeatMs);
}

void TQNSuperSpin::ButtonReleased() {
    FRepeatTimer->stop();
}

void TQNSuperSpin::ButtonClicked(bool up) {
    if (!FRepeated)
        Spin(up);
    FRepeated = false;
}

void TQNSuperSpin::SpinRepeatTimeout() {
    FRepeated = true;
    FRepeatTimer->setInterval(NextRepeatMs);
    Spin(FRepeatUp);
}

void TQNSuperSpin::keyPressEvent(QKeyEvent *event) {
    if (event->key() == Qt::Key_Up || event->key() == Qt::Key_Down) {
        Spin(event->key() == Qt::Key_Up);
        return;
    }
    TQNNumEdit::keyPressEvent(event);
}

void TQNSuperSpin::keyReleaseEvent(QKeyEvent *event) {
    // A held key sends releases between its repeats; only the real release ends the acceleration.
    if (!event->isAutoRepeat())
        ResetSpin(FSpin, Limits());
    TQNNumEdit::keyReleaseEvent(event);
}

void TQNSuperSpin::resizeEvent(QResizeEvent *event) {
    TQNNumEdit::resizeEvent(event);
    PlaceButtons();
}

void TQNSuperSpin::changeEvent(QEvent *event) {
    TQNNumEdit::changeEvent(event);
    if (event->type() == QEvent::EnabledChange && !isEnabled())
        FRepeatTimer->stop();
}

void TQNSuperSpin::PlaceButtons() {
    const int frame = style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, this);
    const int inner = height() - 2 * frame;
    const int upHeight = inner / 2;
    const int x = width() - frame - ButtonWidth;
    FUpButton->setGeometry(x, frame, ButtonWidth, upHeight);
    FDownButton->setGeometry(x, frame + upHeight, ButtonWidth, inner - upHeight);
    setTextMargins(0, 0, ButtonWidth, 0);
}
