#include <QApplication>

#include "AppFormat.h"
#include "EventYield.h"
#include "Main.h"

int main(int argc, char **argv) {
    QApplication app(argc, argv);
    InitAppFormatSettings();
    InstallEventYield();

    TMainForm mainForm;
    mainForm.show();
    return app.exec();
}
