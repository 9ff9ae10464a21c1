// Task construction and the calculation run of the main window.
#include <QCheckBox>
#include <QCoreApplication>
#include <QLabel>
#include <QPushButton>
#include <QStatusBar>
#include <new>
#include <stdexcept>

#include "AppFormat.h"
#include "ChartAdapter.h"
#include "ElectroUnit.h"
#include "Errors.h"
#include "EventYield.h"
#include "FDTD_1D_Routines.h"
#include "Main.h"
#include "ParametersUnit.h"
#include "QNSuperSpin.h"
#include "SpinEdit.h"
#include "TaskLayout.h"

namespace {

constexpr int kFieldCurve = 0;

// Marker colours of the eight boundary lines, Series2 .. Series9.
const QColor kBoundaryColours[8] = {Qt::black, Qt::red, Qt::red, Qt::red, Qt::red, Qt::black, Qt::blue, Qt::blue};

LayerInputs ReadLayer(TQNSuperSpin *l, TQNSuperSpin *ro, TQNSuperSpin *c33, TQNSuperSpin *nu) {
    LayerInputs layer;
    layer.Thickness = l->GetValue();
    layer.Rho = ro->GetValue();
    layer.C33 = c33->GetValue();
    layer.Eta = nu ? nu->GetValue() : 0.0L;
    return layer;
}

} // namespace

void TMainForm::SetBoundaryMarker(int series, int64_t node, const QColor &colour) {
    const double x = static_cast<double>(static_cast<long double>(node) * Dx * 1000.0L);
    Chart->Clear(series);
    Chart->SetActive(series, false);
    Chart->AddXY(series, x, -1, QStringLiteral(" "), colour);
    Chart->AddXY(series, x, 1, QStringLiteral(" "), colour);
    Chart->SetActive(series, true);
}

void TMainForm::CreateTaskBitBtnClick() {
    if (!FParametersForm || !FElectroForm || Running)
        return;
    CreateTaskBitBtn->setEnabled(false);

    // Everything is read and checked first: a task that cannot be computed changes nothing.
    TaskInputs in;
    int32_t redraw = 0;
    long double area = 0;
    QString refusal;
    try {
        TParametersForm *p = FParametersForm;
        redraw = IterationSpinEdit->Value();
        area = p->Spep_QNSuperSpin->GetValue();
        in.Layers[Backing] = ReadLayer(p->Dempfer_L_QNSuperSpin, p->Dempfer_Ro_QNSuperSpin,
                                       p->Dempfer_C33_QNSuperSpin, p->Dempfer_Nu_QNSuperSpin);
        in.Layers[Electrode1] =
            ReadLayer(p->Ag_L1_QNSuperSpin, p->Ag_Ro1_QNSuperSpin, p->Ag_C33_1_QNSuperSpin, nullptr);
        in.Layers[Plate] = ReadLayer(p->Piezo_L_QNSuperSpin, p->Piezo_Ro_QNSuperSpin, p->Piezo_C33_QNSuperSpin,
                                     p->Piezo_Nu_QNSuperSpin);
        in.Layers[Electrode2] =
            ReadLayer(p->Ag_L2_QNSuperSpin, p->Ag_Ro2_QNSuperSpin, p->Ag_C33_2_QNSuperSpin, nullptr);
        in.Layers[Protector] = ReadLayer(p->Protector_L_QNSuperSpin, p->Protector_Ro_QNSuperSpin,
                                         p->Protector_C33_QNSuperSpin, p->Protector_Nu_QNSuperSpin);
        in.Layers[Liquid] = ReadLayer(p->Liquid_L_QNSuperSpin, p->Liquid_Ro_QNSuperSpin,
                                      p->Liquid_C33_QNSuperSpin, p->Liquid_Nu_QNSuperSpin);
        in.Layers[Sample] = ReadLayer(p->Sample_L_QNSuperSpin, p->Sample_Ro_QNSuperSpin,
                                      p->Sample_C33_QNSuperSpin, p->Sample_Nu_QNSuperSpin);
        in.PiezoD33 = p->Piezo_d33_QNSuperSpin->GetValue();
        in.PiezoEe0 = p->Piezo_ee0_QNSuperSpin->GetValue();
        in.Inverse = p->InverseCheckBox->isChecked();
        in.DeltaX = DeltaX_QNSuperSpin->GetValue();
        in.DeltaT = DeltaT_QNSuperSpin->GetValue();
        refusal = p->CheckCircuit();
    } catch (const ConversionError &e) {
        refusal = QString::fromStdString(e.what());
    }

    const TaskLayout layout = PlanTask(in);
    if (refusal.isEmpty())
        refusal = QString::fromStdString(CheckTaskLayout(layout));
    if (refusal.isEmpty() && !(area * 1e-6L > 0))
        refusal = QStringLiteral("Площадь пъезопластины должна быть больше нуля.");
    if (!refusal.isEmpty()) {
        CreateTaskBitBtn->setEnabled(true);
        ReportError(QStringLiteral("Задача не создана.\n") + refusal);
        return;
    }

    RedrawEvery = redraw;
    ElectrodeArea = static_cast<double>(area * 1e-6L);
    FParametersForm->InitCircuit();

    int32_t n = 0;
    try {
        n = ApplyTaskLayout(layout);
    } catch (const std::bad_alloc &) {
        CreateTaskBitBtn->setEnabled(true);
        ReportError(QStringLiteral("Задача не создана.\nСетка не помещается в памяти: увеличьте шаг в пространстве."));
        return;
    } catch (const std::exception &e) {
        CreateTaskBitBtn->setEnabled(true);
        ReportError(QStringLiteral("Задача не создана.\n") + QString::fromStdString(e.what()));
        return;
    }

    for (int k = 0; k < 8; ++k)
        SetBoundaryMarker(1 + k, layout.Boundaries[k], kBoundaryColours[k]);

    NetCountLabel->setText(QStringLiteral(" Число узлов в сетке ") + QString::number(n));

    Chart->Clear(kFieldCurve);
    Chart->SetActive(kFieldCurve, false);
    for (int32_t i = 0; i < n; ++i)
        Chart->AddXY(kFieldCurve, static_cast<double>(NodeGrid[i].X * 1000.0L), NodeGrid[i].V[1]);
    Chart->SetActive(kFieldCurve, true);
    Chart->Refresh();

    FElectroForm->ClearSignals();
    StepCount = 0;
    CalcLabel->setText(QStringLiteral("Новая задача"));
    SetStatus(QString());
    ShowStabilityHint();
    CreateTaskBitBtn->setEnabled(true);
}

void TMainForm::RunIteration(int32_t period) {
    EventYieldTick();
    if (FClosing)
        Running = false;

    // Guarded solver step: a failure ends the run after this iteration, without a message box.
    try {
        Signals.Upep[0] = DoTimeStep(Signals.Ipep[1] / ElectrodeArea);
    } catch (const std::exception &e) {
        Running = false;
        SetStatus(QStringLiteral("Расчет остановлен: ошибка вычислений на шаге %1 (%2).")
                      .arg(StepCount)
                      .arg(QString::fromStdString(e.what())));
    }

    const double t = static_cast<double>(static_cast<long double>(StepCount) * Dt);
    CircuitStep(t);
    ShiftCircuitLevels();
    ShiftTimeLevels();
    if (StepCount % period == 0)
        ViewRadioGroupClick();
    const double time = static_cast<double>(static_cast<long double>(StepCount) * Dt * 1e6L);
    FElectroForm->AppendSignals(time, Signals.U0[1], Signals.U1[1], Signals.Upep[1], Signals.I0[1],
                                 Signals.IL[1], Signals.Ipep[1]);
    CalcLabel->setText(FormatFloatQ(QStringLiteral("время #0.000 мкс"), time));
    ++StepCount;
}

void TMainForm::CalculateTaskBitBtnClick() {
    if (Running || !FElectroForm)
        return;
    if (NodeGrid.empty()) {
        SetStatus(QStringLiteral("Сначала создайте задачу: кнопка «Создать и загрузить задачу»."));
        return;
    }
    CalculateTaskBitBtn->setEnabled(false);
    CreateTaskBitBtn->setEnabled(false);
    SetStatus(QStringLiteral("Идет расчет..."));
    Running = true;
    // A period of 0 would divide by zero: redraw every step then.
    const int32_t period = RedrawEvery == 0 ? 1 : RedrawEvery;
    bool stoppedByBreak = true;
    do {
        try {
            RunIteration(period);
        } catch (const std::exception &e) {
            Running = false;
            stoppedByBreak = false;
            SetStatus(QStringLiteral("Расчет остановлен: %1").arg(QString::fromStdString(e.what())));
        }
    } while (Running);
    if (stoppedByBreak && statusBar()->currentMessage() == QStringLiteral("Идет расчет..."))
        SetStatus(QStringLiteral("Расчет прерван на шаге %1.").arg(StepCount));
    CreateTaskBitBtn->setEnabled(true);
    CalculateTaskBitBtn->setEnabled(true);
    Chart->Refresh();
}

void TMainForm::BreakCalculationBitBtnClick() { Running = false; }
