// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// TSpinEdit: the ordinary integer spin field (the redraw period). It accepts digits, "+", "-", the
// decimal separator and control keys; its value is the text read as an integer, or MinValue when
// the text is not one (so "1,5" reads as MinValue); its limits apply only when MinValue and
// MaxValue differ.

#include <QAbstractSpinBox>

class TSpinEdit : public QAbstractSpinBox {
    Q_OBJECT
public:
    explicit TSpinEdit(QWidget *parent = nullptr);

    int Value() const;
    void SetValue(int v);

    int MinValue() const { return FMinValue; }
    void SetMinValue(int v) { FMinValue = v; }
    int MaxValue() const { return FMaxValue; }
    void SetMaxValue(int v) { FMaxValue = v; }
    int Increment() const { return FIncrement; }
    void SetIncrement(int v) { FIncrement = v; }

    void stepBy(int steps) override;
    QValidator::State validate(QString &input, int &pos) const override;

signals:
    // Raised on every change of the text.
    void OnChange();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    StepEnabled stepEnabled() const override;

private:
    bool LimitsApply() const { return FMinValue != FMaxValue; }
    long long Clamp(long long v) const;

    int FMinValue = 0;
    int FMaxValue = 0;
    int FIncrement = 1;
};
