// Provisional implementation: replaced by the full typing and display rules.
#include "QNNumEdit.h"

#include "AppFormat.h"
#include "NumberText.h"

TQNNumEdit::TQNNumEdit(QWidget *parent) : QLineEdit(parent) {
    setAlignment(Qt::AlignCenter);
    setText("0");
    connect(this, &QLineEdit::textChanged, this, &TQNNumEdit::OnChange);
}

long double TQNNumEdit::GetValue() const {
    QString t = text();
    t.remove(QString::fromStdString(Utf8(DefaultFormatSettings().ThousandSeparator)));
    if (t.isEmpty())
        t = "0";
    return StrToFloat(t.toStdString(), DefaultFormatSettings());
}

void TQNNumEdit::SetValue(long double x) {
    QString t = QString::number(static_cast<double>(x), 'g', 14);
    t.replace('.', QString::fromStdString(Utf8(DefaultFormatSettings().DecimalSeparator)));
    if (t != text())
        setText(t);
}

void TQNNumEdit::SetMinValue(long double v) { FMinValue = v; }
void TQNNumEdit::SetMaxValue(long double v) { FMaxValue = v; }
void TQNNumEdit::SetIncrement(long double v) { FIncrement = v; }
void TQNNumEdit::SetDecimals(int d) { FDecimals = d; }
void TQNNumEdit::SetNumberFormat(TNumberFormat f) { FNumberFormat = f; }
void TQNNumEdit::SetMaxLength(int n) { FMaxLength = n; }
