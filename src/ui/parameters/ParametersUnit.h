// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// TParametersForm: the window "Параметры электромеханической задачи" with every physical input of a
// task and the quantities derived from them. The circuit they set up is the program's engine's
// (AppEngine.h), which builds the task and runs it.

#include <QString>
#include <QWidget>

#include "app/AppFormat.h"
#include "run/Engine.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QTabWidget;
class TQNSuperSpin;
class TSchemePicture;
class TMechanicPicture;

class TParametersForm : public QWidget, public TNumberFormatHolder {
    Q_OBJECT
public:
    // `format`: the program's number formatting, shared with the other windows (see TNumberFormatHolder).
    explicit TParametersForm(const FormatSettings *format = nullptr, QWidget *parent = nullptr);

    // Recomputes every derived label; does nothing until the window is complete.
    void FormActivate();
    // The generator fields in their units; throws ConversionError for a field that holds no number.
    CircuitInputs ReadCircuitInputs() const;

    QLabel *CommentLabel = nullptr;
    QLineEdit *CommentEdit = nullptr;
    QTabWidget *ElMechPageControl = nullptr;
    QWidget *ElectricalTabSheet = nullptr;
    QWidget *MechanicsTabSheet = nullptr;
    TSchemePicture *ShemeImage = nullptr;
    TMechanicPicture *MechanicImage = nullptr;

    // Electrical tab.
    TQNSuperSpin *Electro_C_QNSuperSpin = nullptr;
    TQNSuperSpin *Electro_R_QNSuperSpin = nullptr;
    TQNSuperSpin *Electro_L_QNSuperSpin = nullptr;
    TQNSuperSpin *Electro_U0_QNSuperSpin = nullptr;
    TQNSuperSpin *Electro_VTRon_QNSuperSpin = nullptr;
    TQNSuperSpin *Electro_VTRoff_QNSuperSpin = nullptr;
    TQNSuperSpin *Electro_VTFrontTime_QNSuperSpin = nullptr;
    TQNSuperSpin *Electro_VTTime_QNSuperSpin = nullptr;
    TQNSuperSpin *VT_Cut_Off_QNSuperSpin = nullptr;
    TQNSuperSpin *Electro_RL_QNSuperSpin = nullptr;

    // Mechanical tab: the layer grid.
    TQNSuperSpin *Dempfer_L_QNSuperSpin = nullptr;
    TQNSuperSpin *Dempfer_Ro_QNSuperSpin = nullptr;
    TQNSuperSpin *Dempfer_C33_QNSuperSpin = nullptr;
    TQNSuperSpin *Dempfer_Nu_QNSuperSpin = nullptr;
    TQNSuperSpin *Ag_L1_QNSuperSpin = nullptr;
    TQNSuperSpin *Ag_Ro1_QNSuperSpin = nullptr;
    TQNSuperSpin *Ag_C33_1_QNSuperSpin = nullptr;
    TQNSuperSpin *Piezo_L_QNSuperSpin = nullptr;
    TQNSuperSpin *Piezo_Ro_QNSuperSpin = nullptr;
    TQNSuperSpin *Piezo_C33_QNSuperSpin = nullptr;
    TQNSuperSpin *Piezo_Nu_QNSuperSpin = nullptr;
    TQNSuperSpin *Ag_L2_QNSuperSpin = nullptr;
    TQNSuperSpin *Ag_Ro2_QNSuperSpin = nullptr;
    TQNSuperSpin *Ag_C33_2_QNSuperSpin = nullptr;
    TQNSuperSpin *Protector_L_QNSuperSpin = nullptr;
    TQNSuperSpin *Protector_Ro_QNSuperSpin = nullptr;
    TQNSuperSpin *Protector_C33_QNSuperSpin = nullptr;
    TQNSuperSpin *Protector_Nu_QNSuperSpin = nullptr;
    TQNSuperSpin *Liquid_L_QNSuperSpin = nullptr;
    TQNSuperSpin *Liquid_Ro_QNSuperSpin = nullptr;
    TQNSuperSpin *Liquid_C33_QNSuperSpin = nullptr;
    TQNSuperSpin *Liquid_Nu_QNSuperSpin = nullptr;
    TQNSuperSpin *Sample_L_QNSuperSpin = nullptr;
    TQNSuperSpin *Sample_Ro_QNSuperSpin = nullptr;
    TQNSuperSpin *Sample_C33_QNSuperSpin = nullptr;
    TQNSuperSpin *Sample_Nu_QNSuperSpin = nullptr;

    // Mechanical tab: the piezo plate.
    TQNSuperSpin *Piezo_d33_QNSuperSpin = nullptr;
    TQNSuperSpin *Piezo_ee0_QNSuperSpin = nullptr;
    TQNSuperSpin *Spep_QNSuperSpin = nullptr;
    QCheckBox *InverseCheckBox = nullptr;

    // Derived quantities.
    QLabel *Dempfer_CL_Label = nullptr;
    QLabel *Ag_CL_1_Label = nullptr;
    QLabel *Piezo_CL_Label = nullptr;
    QLabel *Ag_CL_2_Label = nullptr;
    QLabel *Protector_CL_Label = nullptr;
    QLabel *Liquid_CL_Label = nullptr;
    QLabel *Sample_CL_Label = nullptr;
    QLabel *Dempfer_Z_Label = nullptr;
    QLabel *Ag_Z_1_Label = nullptr;
    QLabel *Piezo_Z_Label = nullptr;
    QLabel *Ag_Z_2_Label = nullptr;
    QLabel *Protector_Z_Label = nullptr;
    QLabel *Liquid_Z_Label = nullptr;
    QLabel *Sample_Z_Label = nullptr;
    QLabel *FaradLabel = nullptr;
    QLabel *FrezLabel = nullptr;
    QLabel *Lc_Label = nullptr;

protected:
    bool event(QEvent *event) override;

private:
    // Builds every control with its name, caption, initial value and place (ParametersLayout.cpp).
    void CreateControls();
    void CreateElectricalTab();
    void CreateMechanicsTab();
    void CreateFields();

    bool FComplete = false;
};
