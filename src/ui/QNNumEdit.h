#pragma once
// TQNNumEdit: a single-line edit that holds one real number as text. Its value is always the
// number its text shows, read afresh on every request.

#include <QLineEdit>

enum class TNumberFormat { Standard, Thousands, Scientific, Engineering };

class TQNNumEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit TQNNumEdit(QWidget *parent = nullptr);

    // Value of the current text (extended precision); no limits applied.
    // Throws ConversionError for a text outside the number syntax.
    long double GetValue() const;
    // Shows x by the display rule; the text is replaced (and OnChange raised) only when it differs.
    void SetValue(long double x);

    long double MinValue() const { return FMinValue; }
    void SetMinValue(long double v);
    long double MaxValue() const { return FMaxValue; }
    void SetMaxValue(long double v);
    long double Increment() const { return FIncrement; }
    void SetIncrement(long double v);
    int Decimals() const { return FDecimals; }
    void SetDecimals(int d);
    TNumberFormat NumberFormat() const { return FNumberFormat; }
    void SetNumberFormat(TNumberFormat f);
    int MaxLength() const { return FMaxLength; }
    void SetMaxLength(int n);
    bool RoundValues() const { return FRoundValues; }
    void SetRoundValues(bool on) { FRoundValues = on; }
    bool Wrap() const { return FWrap; }
    void SetWrap(bool on) { FWrap = on; }
    bool ReadOnly() const { return isReadOnly(); }
    void SetReadOnly(bool on) { setReadOnly(on); }

    // True when MinValue or MaxValue is non-zero.
    bool LimitsInForce() const { return FMinValue != 0 || FMaxValue != 0; }

signals:
    // Raised on every change of the text.
    void OnChange();

protected:
    long double FMinValue = 0;
    long double FMaxValue = 0;
    long double FIncrement = 1;
    int FDecimals = -1;
    TNumberFormat FNumberFormat = TNumberFormat::Standard;
    int FMaxLength = 0;
    bool FRoundValues = false;
    bool FWrap = false;
};
