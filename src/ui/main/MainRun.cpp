// SPDX-License-Identifier: GPL-3.0-or-later
// Task construction and the calculation run of the main window.
#include <QCheckBox>
#include <QCoreApplication>
#include <QLabel>
#include <QPushButton>
#include <QStatusBar>
#include <new>
#include <stdexcept>

#include "app/AppFormat.h"
#include "app/UiText.h"
#include "charts/ChartAdapter.h"
#include "main/AppEngine.h"
#include "main/EventYield.h"
#include "main/Main.h"
#include "parameters/ParametersUnit.h"
#include "signals/ElectroUnit.h"
#include "text/Errors.h"
#include "widgets/QNSuperSpin.h"
#include "widgets/SpinEdit.h"

namespace {

constexpr int kFieldCurve = 0;

// Marker colours of the eight boundary lines, Series2 .. Series9.
const QColor kBoundaryColours[8] = {Qt::black, Qt::red,   Qt::red,  Qt::red,
                                    Qt::red,   Qt::black, Qt::blue, Qt::blue};

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
    const double x = static_cast<double>(static_cast<long double>(node) * Engine.Solver().Dx * 1000.0L);
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
    EngineInputs in;
    QString refusal;
    try {
        TParametersForm *p = FParametersForm;
        in.RedrawEvery = IterationSpinEdit->Value();
        in.PlateArea = p->Spep_QNSuperSpin->GetValue();
        TaskInputs &task = in.Task;
        task.Layers[Backing] = ReadLayer(p->Dempfer_L_QNSuperSpin, p->Dempfer_Ro_QNSuperSpin,
                                         p->Dempfer_C33_QNSuperSpin, p->Dempfer_Nu_QNSuperSpin);
        task.Layers[Electrode1] =
            ReadLayer(p->Ag_L1_QNSuperSpin, p->Ag_Ro1_QNSuperSpin, p->Ag_C33_1_QNSuperSpin, nullptr);
        task.Layers[Plate] = ReadLayer(p->Piezo_L_QNSuperSpin, p->Piezo_Ro_QNSuperSpin,
                                       p->Piezo_C33_QNSuperSpin, p->Piezo_Nu_QNSuperSpin);
        task.Layers[Electrode2] =
            ReadLayer(p->Ag_L2_QNSuperSpin, p->Ag_Ro2_QNSuperSpin, p->Ag_C33_2_QNSuperSpin, nullptr);
        task.Layers[Protector] = ReadLayer(p->Protector_L_QNSuperSpin, p->Protector_Ro_QNSuperSpin,
                                           p->Protector_C33_QNSuperSpin, p->Protector_Nu_QNSuperSpin);
        task.Layers[Liquid] = ReadLayer(p->Liquid_L_QNSuperSpin, p->Liquid_Ro_QNSuperSpin,
                                        p->Liquid_C33_QNSuperSpin, p->Liquid_Nu_QNSuperSpin);
        task.Layers[Sample] = ReadLayer(p->Sample_L_QNSuperSpin, p->Sample_Ro_QNSuperSpin,
                                        p->Sample_C33_QNSuperSpin, p->Sample_Nu_QNSuperSpin);
        task.PiezoD33 = p->Piezo_d33_QNSuperSpin->GetValue();
        task.PiezoEe0 = p->Piezo_ee0_QNSuperSpin->GetValue();
        task.Inverse = p->InverseCheckBox->isChecked();
        task.DeltaX = DeltaX_QNSuperSpin->GetValue();
        task.DeltaT = DeltaT_QNSuperSpin->GetValue();
        in.Generator = p->ReadCircuitInputs();
    } catch (const ConversionError &e) {
        refusal = QString::fromStdString(e.what());
    }
    if (refusal.isEmpty())
        refusal = UiText(Engine.CreateTask(in));
    if (!refusal.isEmpty()) {
        CreateTaskBitBtn->setEnabled(true);
        ReportError(tr("Задача не создана.\n") + refusal);
        return;
    }

    const TaskLayout &layout = Engine.Layout();
    for (int k = 0; k < 8; ++k)
        SetBoundaryMarker(1 + k, layout.Boundaries[k], kBoundaryColours[k]);

    const std::vector<GridNode> &grid = Engine.Solver().NodeGrid;
    const int32_t n = static_cast<int32_t>(grid.size());
    NetCountLabel->setText(tr(" Число узлов в сетке %1").arg(n));

    Chart->Clear(kFieldCurve);
    Chart->SetActive(kFieldCurve, false);
    for (int32_t i = 0; i < n; ++i)
        Chart->AddXY(kFieldCurve, static_cast<double>(grid[i].X * 1000.0L), grid[i].V[1]);
    Chart->SetActive(kFieldCurve, true);
    Chart->Refresh();

    FElectroForm->ClearSignals();
    CalcLabel->setText(tr("Новая задача"));
    SetStatus(QString());
    ShowStabilityHint();
    CreateTaskBitBtn->setEnabled(true);
}

void TMainForm::RunIteration() {
    EventYieldTick();
    if (FClosing)
        Running = false;

    // A failure of the solver step ends the run after this iteration, without a message box.
    if (!Engine.Iterate()) {
        Running = false;
        const SolverFailure &f = Engine.Failure();
        QString text = tr("Расчет остановлен: %1 на шаге %2").arg(UiText(SolverFailureReason(f))).arg(f.Step);
        // Fields that grow without bound are the mark of a time step beyond the stable one.
        if (f.Fault == FloatingPointError::FaultKind::Overflow)
            text += tr("; шаг во времени, вероятно, слишком велик для устойчивого счета");
        SetStatus(text + QLatin1Char('.'));
    }
    FRunTimeShown = false;
}

void TMainForm::ShowRunTime() {
    if (FRunTimeShown)
        return;
    CalcLabel->setText(FormatFloatQ(tr("время #0.000 мкс"), FLastSampleTime));
    FRunTimeShown = true;
}

void TMainForm::CalculateTaskBitBtnClick() {
    if (Running || !FElectroForm)
        return;
    if (Engine.Solver().NodeGrid.empty()) {
        SetStatus(tr("Сначала создайте задачу: кнопка «Создать и загрузить задачу»."));
        return;
    }
    CalculateTaskBitBtn->setEnabled(false);
    CreateTaskBitBtn->setEnabled(false);
    SetStatus(tr("Идет расчет..."));
    Running = true;
    bool stoppedByBreak = true;
    Engine.OnRedraw = [this] { ViewRadioGroupClick(); };
    Engine.OnSample = [this](double time, const TSimulationEngine::Sample &v) {
        FElectroForm->AppendSignals(time, v[0], v[1], v[2], v[3], v[4], v[5]);
        FLastSampleTime = time;
    };
    // The label is set only when it can be seen: before events are processed, and at the end.
    struct RunTimeShown {
        TMainForm *Form;
        explicit RunTimeShown(TMainForm *form) : Form(form) {
            SetBeforeEventsHook([](void *f) { static_cast<TMainForm *>(f)->ShowRunTime(); }, form);
        }
        ~RunTimeShown() {
            SetBeforeEventsHook(nullptr, nullptr);
            Form->ShowRunTime();
        }
    };
    {
        const RunTimeShown shown(this);
        do {
            try {
                RunIteration();
            } catch (const std::exception &e) {
                Running = false;
                stoppedByBreak = false;
                SetStatus(tr("Расчет остановлен: %1").arg(UiText(e.what())));
            }
        } while (Running);
    }
    if (stoppedByBreak && statusBar()->currentMessage() == tr("Идет расчет..."))
        SetStatus(tr("Расчет прерван на шаге %1.").arg(StepCount));
    CreateTaskBitBtn->setEnabled(true);
    CalculateTaskBitBtn->setEnabled(true);
    Chart->Refresh();
}

void TMainForm::BreakCalculationBitBtnClick() {
    Running = false;
}
