// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// TQNNumEdit: a single-line edit that holds one real number as text. Its value is always the
// number its text shows, read afresh on every request. The typing, clipboard and display rules are
// the core's (NumEditRules); this class feeds them the key events and shows the result.

#include <QLineEdit>

#include "text/NumEditRules.h"

class TQNNumEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit TQNNumEdit(QWidget *parent = nullptr);

    // Value of the current text (extended precision); no limits applied.
    // Throws ConversionError for a text outside the number syntax.
    long double GetValue() const;
    // Shows x by the display rule; the text is replaced (and OnChange raised) only when it differs.
    // No limits applied.
    void SetValue(long double x);

    // Setting rules: a MaxValue below MinValue, a MinValue above MaxValue, and (with limits in
    // force) an Increment above MaxValue - MinValue are ignored. Set MaxValue before MinValue, or
    // use SetLimits.
    long double MinValue() const { return FMinValue; }
    void SetMinValue(long double v);
    long double MaxValue() const { return FMaxValue; }
    void SetMaxValue(long double v);
    // Sets both limits whatever the current ones are (ignored when max < min).
    void SetLimits(long double minValue, long double maxValue);
    long double Increment() const { return FIncrement; }
    void SetIncrement(long double v);
    // -1 to 14 (and at most MaxLength - 2 when MaxLength > 0); -1: as many as the value needs.
    int Decimals() const { return FDecimals; }
    void SetDecimals(int d);
    TNumberFormat NumberFormat() const { return FNumberFormat; }
    void SetNumberFormat(TNumberFormat f);
    // Most characters the user can type (thousands separators not counted); 0: no limit.
    // Text set by the program is not cut.
    int MaxLength() const { return FMaxLength; }
    void SetMaxLength(int n);
    bool RoundValues() const { return FRoundValues; }
    void SetRoundValues(bool on) { FRoundValues = on; }
    bool Wrap() const { return FWrap; }
    void SetWrap(bool on) { FWrap = on; }
    // When false, typing is refused but spinning works.
    bool EditorEnabled() const { return FEditorEnabled; }
    void SetEditorEnabled(bool on) { FEditorEnabled = on; }

    // True when MinValue or MaxValue is non-zero.
    bool LimitsInForce() const { return FMinValue != 0 || FMaxValue != 0; }

    // Clipboard operations of the field (also on Ctrl+C / Ctrl+X / Ctrl+V and the context menu).
    void CopyToClipboard();
    void CutToClipboard();
    void PasteFromClipboard();

signals:
    // Raised on every change of the text.
    void OnChange();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;

    NumEditLimits Limits() const;
    NumEditConfig Config() const;
    EditState CurrentState() const;
    void ShowState(const EditState &st);
    bool Editable() const { return !isReadOnly() && FEditorEnabled && isEnabled(); }
    // Value outside the limits: set to the limit passed, beep, focus back into the field.
    void SnapToLimit(long double limit);

    long double FMinValue = 0;
    long double FMaxValue = 0;
    long double FIncrement = 1;
    int FDecimals = -1;
    TNumberFormat FNumberFormat = TNumberFormat::Standard;
    int FMaxLength = 0;
    bool FRoundValues = false;
    bool FWrap = false;
    bool FEditorEnabled = true;

private:
    void TypeText(const QString &text);
    void PressEnter();
    void DeleteKey(bool backward);
    void LeaveField();

    bool FSelectOnPress = false;
};
