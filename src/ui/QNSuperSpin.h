#pragma once
// TQNSuperSpin: the numeric entry field with a pair of spin buttons at its right edge.

#include "QNNumEdit.h"

class TQNSuperSpin : public TQNNumEdit {
    Q_OBJECT
public:
    explicit TQNSuperSpin(QWidget *parent = nullptr);

    void SpinUp();
    void SpinDown();
};
