#include "Main.h"

TMainForm::TMainForm(QWidget *parent) : QMainWindow(parent) {
    setObjectName("MainForm");
    setWindowTitle(QStringLiteral("Электромеханическая модель пъезопреобразователя"));
    resize(859, 565);
}
