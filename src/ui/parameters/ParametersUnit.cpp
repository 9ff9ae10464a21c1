// SPDX-License-Identifier: GPL-3.0-or-later
#include "parameters/ParametersUnit.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QTabWidget>
#include <cmath>
#include <limits>

#include "app/AppFormat.h"
#include "main/AppEngine.h"
#include "stack/DerivedQuantities.h"
#include "stack/TaskFields.h"
#include "text/Errors.h"
#include "widgets/QNSuperSpin.h"

namespace {

// A field's value, or NaN when its text is no number: the labels then show their placeholders.
double ValueOrNaN(const TQNSuperSpin *spin) {
    try {
        return static_cast<double>(spin->GetValue());
    } catch (const ConversionError &) {
        return std::numeric_limits<double>::quiet_NaN();
    }
}

void ShowLayer(QLabel *cl, QLabel *z, const LayerAcoustics &a) {
    if (a.Valid) {
        cl->setText(FormatFloatQ(cl, QCoreApplication::translate("TParametersForm", "CL=###0,0 м/с"), a.CL));
        z->setText(FormatFloatQ(z, QStringLiteral("Z =0.00E+00"), a.Z));
    } else {
        cl->setText(QStringLiteral("CL=???"));
        z->setText(QStringLiteral("Z =???"));
    }
}

} // namespace

TParametersForm::TParametersForm(const FormatSettings *format, QWidget *parent)
    : QWidget(parent, Qt::Window), TNumberFormatHolder(format) {
    setObjectName(QStringLiteral("ParametersForm"));
    setWindowTitle(tr("Параметры электромеханической задачи"));
    setAttribute(Qt::WA_QuitOnClose, false);
    resize(888, 630);
    CreateControls();

    TQNSuperSpin *const triggers[] = {
        Dempfer_Ro_QNSuperSpin,    Dempfer_C33_QNSuperSpin, Ag_L1_QNSuperSpin,      Ag_Ro1_QNSuperSpin,
        Ag_C33_1_QNSuperSpin,      Piezo_L_QNSuperSpin,     Piezo_Ro_QNSuperSpin,   Piezo_C33_QNSuperSpin,
        Ag_L2_QNSuperSpin,         Ag_Ro2_QNSuperSpin,      Ag_C33_2_QNSuperSpin,   Protector_Ro_QNSuperSpin,
        Protector_C33_QNSuperSpin, Liquid_Ro_QNSuperSpin,   Liquid_C33_QNSuperSpin, Sample_Ro_QNSuperSpin,
        Sample_C33_QNSuperSpin,    Piezo_ee0_QNSuperSpin,   Spep_QNSuperSpin,
    };
    for (TQNSuperSpin *spin : triggers)
        connect(spin, &TQNSuperSpin::OnChange, this, &TParametersForm::FormActivate);
    FComplete = true;
}

bool TParametersForm::event(QEvent *e) {
    if (e->type() == QEvent::WindowActivate)
        FormActivate();
    return QWidget::event(e);
}

void TParametersForm::FormActivate() {
    if (!FComplete)
        return;
    DerivedInputs in;
    for (const TaskField &f : TaskFields()) {
        if (f.Sets == TaskInput::Density)
            in.Layers[f.Layer].Density = ValueOrNaN(findChild<TQNSuperSpin *>(QLatin1String(f.Name)));
        else if (f.Sets == TaskInput::Stiffness)
            in.Layers[f.Layer].StiffnessGPa = ValueOrNaN(findChild<TQNSuperSpin *>(QLatin1String(f.Name)));
    }
    in.PlateThicknessMm = ValueOrNaN(Piezo_L_QNSuperSpin);
    in.RelativePermittivity = ValueOrNaN(Piezo_ee0_QNSuperSpin);
    in.PlateAreaMm2 = ValueOrNaN(Spep_QNSuperSpin);

    const DerivedResults r = ComputeDerivedQuantities(in);
    ShowLayer(Dempfer_CL_Label, Dempfer_Z_Label, r.Layers[Backing]);
    ShowLayer(Ag_CL_1_Label, Ag_Z_1_Label, r.Layers[Electrode1]);
    ShowLayer(Ag_CL_2_Label, Ag_Z_2_Label, r.Layers[Electrode2]);
    ShowLayer(Protector_CL_Label, Protector_Z_Label, r.Layers[Protector]);
    ShowLayer(Liquid_CL_Label, Liquid_Z_Label, r.Layers[Liquid]);
    ShowLayer(Sample_CL_Label, Sample_Z_Label, r.Layers[Sample]);

    FaradLabel->setText(r.C0Valid ? FormatFloatQ(tr(" #0.000 нФ"), r.C0 * 1e9L) : tr(" ??? нФ"));
    ShowLayer(Piezo_CL_Label, Piezo_Z_Label, r.Layers[Plate]);
    if (!r.Layers[Plate].Valid) {
        FrezLabel->setText(tr("??? МГц"));
        Lc_Label->setText(tr(" ??? мкГ"));
        return;
    }
    FrezLabel->setText(r.FValid ? FormatFloatQ(tr(" #0.0000 МГц"), r.F * 1e-6L) : tr("??? МГц"));
    Lc_Label->setText(r.LcValid ? FormatFloatQ(tr(" #0.0000 мкГ"), r.Lc * 1e6L) : tr(" ??? мкГ"));
}

CircuitInputs TParametersForm::ReadCircuitInputs() const {
    // Every field is read before anything is converted or stored, so a bad text changes nothing.
    EngineInputs in;
    for (const TaskField &f : TaskFields())
        if (f.Sets >= TaskInput::ChargeVoltage && f.Sets <= TaskInput::CutOffVoltage)
            SetTaskInput(in, f, findChild<TQNSuperSpin *>(QLatin1String(f.Name))->GetValue());
    return in.Generator;
}
