// Provisional implementation: replaced by the full spinning rules.
#include "QNSuperSpin.h"

TQNSuperSpin::TQNSuperSpin(QWidget *parent) : TQNNumEdit(parent) {}

void TQNSuperSpin::SpinUp() { SetValue(GetValue() + FIncrement); }
void TQNSuperSpin::SpinDown() { SetValue(GetValue() - FIncrement); }
