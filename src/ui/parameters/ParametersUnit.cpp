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
#include "app/UiText.h"
#include "main/AppEngine.h"
#include "stack/DerivedQuantities.h"
#include "text/Errors.h"
#include "widgets/QNSuperSpin.h"

CircuitConstants &Circuit = Engine.Circuit;
CircuitSignals &Signals = Engine.Signals;
double &ElectrodeArea = Engine.ElectrodeArea;

void CircuitStep(double t) {
    CircuitStep(Circuit, Signals, Engine.Solver().Dt, t);
}
void ShiftCircuitLevels() {
    ShiftCircuitLevels(Signals);
}
double SwitchCurrent(double V, double t) {
    return SwitchCurrent(Circuit, Signals, V, t);
}

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
        cl->setText(FormatFloatQ(QCoreApplication::translate("TParametersForm", "CL=###0,0 м/с"), a.CL));
        z->setText(FormatFloatQ(QStringLiteral("Z =0.00E+00"), a.Z));
    } else {
        cl->setText(QStringLiteral("CL=???"));
        z->setText(QStringLiteral("Z =???"));
    }
}

} // namespace

TParametersForm::TParametersForm(QWidget *parent) : QWidget(parent, Qt::Window) {
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
    const struct {
        DerivedLayer layer;
        TQNSuperSpin *ro, *c33;
    } layers[] = {
        {dlDempfer, Dempfer_Ro_QNSuperSpin, Dempfer_C33_QNSuperSpin},
        {dlAg1, Ag_Ro1_QNSuperSpin, Ag_C33_1_QNSuperSpin},
        {dlAg2, Ag_Ro2_QNSuperSpin, Ag_C33_2_QNSuperSpin},
        {dlProtector, Protector_Ro_QNSuperSpin, Protector_C33_QNSuperSpin},
        {dlLiquid, Liquid_Ro_QNSuperSpin, Liquid_C33_QNSuperSpin},
        {dlSample, Sample_Ro_QNSuperSpin, Sample_C33_QNSuperSpin},
        {dlPiezo, Piezo_Ro_QNSuperSpin, Piezo_C33_QNSuperSpin},
    };
    for (const auto &l : layers)
        in.Layers[l.layer] = {ValueOrNaN(l.ro), ValueOrNaN(l.c33)};
    in.PiezoL = ValueOrNaN(Piezo_L_QNSuperSpin);
    in.PiezoEe0 = ValueOrNaN(Piezo_ee0_QNSuperSpin);
    in.Spep = ValueOrNaN(Spep_QNSuperSpin);

    const DerivedResults r = ComputeDerivedQuantities(in);
    ShowLayer(Dempfer_CL_Label, Dempfer_Z_Label, r.Layers[dlDempfer]);
    ShowLayer(Ag_CL_1_Label, Ag_Z_1_Label, r.Layers[dlAg1]);
    ShowLayer(Ag_CL_2_Label, Ag_Z_2_Label, r.Layers[dlAg2]);
    ShowLayer(Protector_CL_Label, Protector_Z_Label, r.Layers[dlProtector]);
    ShowLayer(Liquid_CL_Label, Liquid_Z_Label, r.Layers[dlLiquid]);
    ShowLayer(Sample_CL_Label, Sample_Z_Label, r.Layers[dlSample]);

    FaradLabel->setText(r.C0Valid ? FormatFloatQ(tr(" #0.000 нФ"), r.C0 * 1e9L) : tr(" ??? нФ"));
    ShowLayer(Piezo_CL_Label, Piezo_Z_Label, r.Layers[dlPiezo]);
    if (!r.Layers[dlPiezo].Valid) {
        FrezLabel->setText(tr("??? МГц"));
        Lc_Label->setText(tr(" ??? мкГ"));
        return;
    }
    FrezLabel->setText(r.FValid ? FormatFloatQ(tr(" #0.0000 МГц"), r.F * 1e-6L) : tr("??? МГц"));
    Lc_Label->setText(r.LcValid ? FormatFloatQ(tr(" #0.0000 мкГ"), r.Lc * 1e6L) : tr(" ??? мкГ"));
}

CircuitInputs TParametersForm::ReadCircuitInputs() const {
    // Every field is read before anything is converted or stored, so a bad text changes nothing.
    CircuitInputs in;
    in.ChargeVoltage = Electro_U0_QNSuperSpin->GetValue();
    in.C = Electro_C_QNSuperSpin->GetValue();
    in.R = Electro_R_QNSuperSpin->GetValue();
    in.L = Electro_L_QNSuperSpin->GetValue();
    in.RL = Electro_RL_QNSuperSpin->GetValue();
    in.Ron = Electro_VTRon_QNSuperSpin->GetValue();
    in.Roff = Electro_VTRoff_QNSuperSpin->GetValue();
    in.Tfront = Electro_VTFrontTime_QNSuperSpin->GetValue();
    in.Tpulse = Electro_VTTime_QNSuperSpin->GetValue();
    in.Ucut = VT_Cut_Off_QNSuperSpin->GetValue();
    return in;
}

void TParametersForm::InitCircuit() {
    const CircuitInputs in = ReadCircuitInputs();
    Circuit = ConvertCircuitInputs(in);
    InitCircuitState(Signals, static_cast<double>(in.ChargeVoltage));
}

QString TParametersForm::CheckCircuit() const {
    try {
        return UiText(CheckCircuitInputs(ReadCircuitInputs()));
    } catch (const ConversionError &e) {
        return QString::fromUtf8(e.what());
    }
}
