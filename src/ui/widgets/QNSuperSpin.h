// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// TQNSuperSpin: the numeric entry field with a pair of spin buttons inside its right edge. Spins
// accelerate while they follow each other within 200 ms; holding a button repeats the spin first
// after 400 ms and then every 100 ms.

#include "widgets/QNNumEdit.h"

class QTimer;
class QToolButton;

class TQNSuperSpin : public TQNNumEdit {
    Q_OBJECT
public:
    explicit TQNSuperSpin(QWidget *parent = nullptr);

    void SpinUp();
    void SpinDown();

    // The repeat timer's tick while a spin button is held (public so tests can drive it).
    void SpinRepeatTimeout();
    const QTimer *SpinRepeatTimer() const { return FRepeatTimer; }

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void Spin(bool up);
    void ButtonPressed(bool up);
    void ButtonReleased();
    void ButtonClicked(bool up);
    void PlaceButtons();

    QToolButton *FUpButton;
    QToolButton *FDownButton;
    QTimer *FRepeatTimer;
    SpinState FSpin;
    bool FRepeatUp = true;
    bool FRepeated = false;
};
