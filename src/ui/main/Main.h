// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// TMainForm: the main window "Электромеханическая модель пъезопреобразователя". It builds a task
// from the inputs, runs the calculation with the live chart of a field along the stack, and brings
// the parameter and signal windows forward.

#include <QMainWindow>
#include <cstdint>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "app/AppFormat.h"
#include "app/SaveLoadPrjUnit.h"
#include "run/Engine.h"

class QAction;
class QFileDialog;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class TChart;
class TElectroForm;
class TParametersForm;
class TQNSuperSpin;
class TRadioGroup;
class TSpinEdit;

class TMainForm : public QMainWindow, public TNumberFormatHolder {
    Q_OBJECT
public:
    // Why a run ended. The run loop sets it; the status bar's text is made from it.
    enum class RunStop {
        Break,         // "Прервать"
        WindowClosed,  // the main window was closed during the run
        SolverFailure, // the solver step failed (a floating-point fault)
        OtherFailure   // any other sub-step of an iteration threw
    };
    struct RunEnd {
        RunStop Reason = RunStop::Break;
        int32_t Step = 0;      // completed time steps when the run ended
        SolverFailure Failure; // the solver's failure, for RunStop::SolverFailure
        std::string Error;     // the failure's text, for RunStop::OtherFailure
    };
    // The status bar's text after a run that ended so.
    static QString RunEndText(const RunEnd &end);

    // `format`: the program's number formatting, shared with the other windows (see TNumberFormatHolder).
    explicit TMainForm(const FormatSettings *format = nullptr, QWidget *parent = nullptr);
    ~TMainForm() override;

    // The other two windows, created after this one.
    void SetWindows(TParametersForm *parameters, TElectroForm *electro);
    TParametersForm *ParametersForm() const { return FParametersForm; }
    TElectroForm *ElectroForm() const { return FElectroForm; }

    // The picture-save dialog's answer: a file name, or empty for cancel. Replaceable for tests.
    std::function<QString(QWidget *parent, const QString &title, const QString &folder)> AskPictureFile;
    // The same for "Сохранить данные (CSV)".
    std::function<QString(QWidget *parent, const QString &folder)> AskDataFile;
    // Error boxes go through here, so tests can read them instead of a modal dialog.
    std::function<void(const QString &text)> ShowError;
    // Notices (the language change) likewise.
    std::function<void(const QString &text)> ShowInformation;
    // The windows a project file holds (set by SetWindows) and the project flows' questions and
    // messages, replaceable for tests.
    ProjectContext Project;

    // User did something.
    void CreateTaskBitBtnClick();
    void CalculateTaskBitBtnClick();
    void BreakCalculationBitBtnClick();
    void ViewRadioGroupClick();
    void ZoomUnDoButtonClick();
    void ViewTaskParamsBitBtnClick();
    void ViewElectricalBitBtnClick();
    void N3Click();
    void N8Click();
    void SaveFieldDataClick();
    void LoadProjectMenuClick();
    void SaveProjectMenuClick();
    // An entry of the recent projects in "Файл"; a file that no longer exists leaves the list.
    void RecentProjectClick(int index);
    void CloseMenuClick();
    // "Язык / Language": remembers the language ("ru" or "en") for the next start and says so.
    void LanguageMenuClick(const QString &code);

    // Loads a project file as "Файл" -> load does once the dialog has named it: every window, the
    // caption, the open dialog's folder and the recent list. False, after the error box, when the
    // file does not exist or cannot be read.
    bool OpenProjectFile(const QString &path);

    // True while a run is in progress; "Прервать" and closing the window end it.
    bool Running() const { return FRunning; }
    // How the last run ended (meaningful once a run has ended).
    const RunEnd &LastRunEnd() const { return FRunEnd; }

    // Show new state.
    // The chart of the field chosen in "Показать график" along the stack, from the last completed
    // level of the grid; the boundary lines follow its range.
    void RedrawFieldAlongStack();
    void FitBoundaryLines();
    void ShowRecentProjects();
    // The largest stable time step of the grid just built, under the time-step field; red while
    // the chosen step exceeds it. Called after each successful task construction.
    void ShowStabilityHint();

    // Controls, named as the project file names them.
    QLineEdit *CommentEdit = nullptr;
    QGroupBox *ControlGroupBox = nullptr;
    QPushButton *ViewTaskParamsBitBtn = nullptr;
    TQNSuperSpin *DeltaX_QNSuperSpin = nullptr;
    TQNSuperSpin *DeltaT_QNSuperSpin = nullptr;
    QLabel *StabilityLabel = nullptr;
    QPushButton *CreateTaskBitBtn = nullptr;
    QLabel *NetCountLabel = nullptr;
    TSpinEdit *IterationSpinEdit = nullptr;
    QPushButton *CalculateTaskBitBtn = nullptr;
    QLabel *CalcLabel = nullptr;
    QPushButton *BreakCalculationBitBtn = nullptr;
    QPushButton *ViewElectricalBitBtn = nullptr;
    QGroupBox *SpaceGroupBox = nullptr;
    TChart *Chart = nullptr;
    QPushButton *ZoomUnDoButton = nullptr;
    TRadioGroup *ViewRadioGroup = nullptr;
    QMenu *ChartPopupMenu = nullptr;
    QMenu *FileMenu = nullptr;
    QAction *LoadProjectAction = nullptr;
    QAction *SaveProjectAction = nullptr;
    QAction *CloseAction = nullptr;
    QMenu *LanguageMenu = nullptr;
    QList<QAction *> LanguageActions;      // "Русский", "English"
    QList<QAction *> RecentProjectActions; // the most recent first; hidden beyond the list's end
    QAction *RecentProjectsSeparator = nullptr;
    QFileDialog *OpenProjectDialog = nullptr;
    QFileDialog *SaveProjectDialog = nullptr;
    QString PictureDialogFolder;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void BuildLayout();
    void BuildMenus();
    void BuildLanguageMenu();
    void FormCreate();
    // A project was loaded or saved under `path`, and `dialog` (if any) may show another folder.
    void RememberProject(const QString &path);
    void RememberDialogFolder(QFileDialog *dialog, const QString &before);
    void SetBoundaryMarker(int series, int64_t node, const QColor &colour);
    void ReportError(const QString &text);
    void SetStatus(const QString &text);
    // One iteration of the run: the engine's iteration; the time label follows when events are
    // next processed (ShowRunTime). A failure outside the solver step propagates.
    void RunIteration();
    // The time label shows the start time of the last completed iteration.
    void ShowRunTime();
    void ColourStabilityHint();

    TParametersForm *FParametersForm = nullptr;
    TElectroForm *FElectroForm = nullptr;
    bool FClosing = false;
    bool FRunning = false;
    RunEnd FRunEnd;
    double FLastSampleTime = 0; // time of the last sample, µs
    bool FRunTimeShown = true;  // the time label shows FLastSampleTime
    double FStableDt = std::numeric_limits<double>::quiet_NaN(); // s; NaN before any task
    std::vector<double> FFieldValues; // the shown field along the stack, reused at every redraw
};
