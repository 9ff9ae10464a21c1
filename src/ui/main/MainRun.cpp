// SPDX-License-Identifier: GPL-3.0-or-later
// Task construction and the calculation run of the main window.
#include <QCheckBox>
#include <QCoreApplication>
#include <QLabel>
#include <QPushButton>
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
#include "stack/TaskFields.h"
#include "text/Errors.h"
#include "widgets/QNSuperSpin.h"
#include "widgets/SpinEdit.h"

namespace {

constexpr int kFieldCurve = 0;

// Marker colours of the eight boundary lines, Series2 .. Series9.
const QColor kBoundaryColours[8] = {Qt::black, Qt::red,   Qt::red,  Qt::red,
                                    Qt::red,   Qt::black, Qt::blue, Qt::blue};

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
    if (!FParametersForm || !FElectroForm || FRunning)
        return;
    CreateTaskBitBtn->setEnabled(false);

    // Everything is read and checked first: a task that cannot be computed changes nothing.
    EngineInputs in;
    QString refusal;
    try {
        in.RedrawEvery = IterationSpinEdit->Value();
        for (const TaskField &f : TaskFields()) {
            const QWidget *window = std::strcmp(f.Section, kMainFormSection) == 0
                                        ? static_cast<const QWidget *>(this)
                                        : static_cast<const QWidget *>(FParametersForm);
            const QLatin1String name(f.Name);
            SetTaskInput(in, f,
                         IsCheckBox(f) ? window->findChild<QCheckBox *>(name)->isChecked()
                                       : window->findChild<TQNSuperSpin *>(name)->GetValue());
        }
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
        FRunning = false;

    // A failure of the solver step ends the run after this iteration, without a message box.
    if (!Engine.Iterate()) {
        FRunning = false;
        FRunEnd.Reason = RunStop::SolverFailure;
        FRunEnd.Failure = Engine.Failure();
    }
    FRunTimeShown = false;
}

QString TMainForm::RunEndText(const RunEnd &end) {
    switch (end.Reason) {
    case RunStop::SolverFailure: {
        const SolverFailure &f = end.Failure;
        QString text = tr("Расчет остановлен: %1 на шаге %2").arg(UiText(SolverFailureReason(f))).arg(f.Step);
        // Fields that grow without bound are the mark of a time step beyond the stable one.
        if (f.Fault == FloatingPointError::FaultKind::Overflow)
            text += tr("; шаг во времени, вероятно, слишком велик для устойчивого счета");
        return text + QLatin1Char('.');
    }
    case RunStop::OtherFailure:
        return tr("Расчет остановлен: %1").arg(UiText(end.Error));
    case RunStop::Break:
    case RunStop::WindowClosed:
        break;
    }
    return tr("Расчет прерван на шаге %1.").arg(end.Step);
}

void TMainForm::ShowRunTime() {
    if (FRunTimeShown)
        return;
    CalcLabel->setText(FormatFloatQ(tr("время #0.000 мкс"), FLastSampleTime));
    FRunTimeShown = true;
}

void TMainForm::CalculateTaskBitBtnClick() {
    if (FRunning || !FElectroForm)
        return;
    if (Engine.Solver().NodeGrid.empty()) {
        SetStatus(tr("Сначала создайте задачу: кнопка «Создать и загрузить задачу»."));
        return;
    }
    CalculateTaskBitBtn->setEnabled(false);
    CreateTaskBitBtn->setEnabled(false);
    SetStatus(tr("Идет расчет..."));
    FRunning = true;
    FRunEnd = RunEnd{};
    Engine.OnRedraw = [this] { RedrawFieldAlongStack(); };
    Engine.OnSample = [this](double time, const TSimulationEngine::Sample &v) {
        FElectroForm->AppendSignals(time, v);
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
                FRunning = false;
                FRunEnd.Reason = RunStop::OtherFailure;
                FRunEnd.Error = e.what();
            }
        } while (FRunning);
    }
    FRunEnd.Step = Engine.StepCount;
    SetStatus(RunEndText(FRunEnd));
    CreateTaskBitBtn->setEnabled(true);
    CalculateTaskBitBtn->setEnabled(true);
    Chart->Refresh();
}

void TMainForm::BreakCalculationBitBtnClick() {
    FRunning = false;
}
