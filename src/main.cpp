#include <QApplication>

#include "AppFormat.h"
#include "ElectroUnit.h"
#include "EventYield.h"
#include "Main.h"
#include "ParametersUnit.h"

int main(int argc, char **argv) {
    QApplication app(argc, argv);
    InitAppFormatSettings();
    InstallEventYield();

    // The three windows, in this order; the main window's close ends the program.
    TMainForm mainForm;
    TParametersForm parametersForm;
    TElectroForm electroForm;
    mainForm.SetWindows(&parametersForm, &electroForm);
    mainForm.show();
    return app.exec();
}
