// SPDX-License-Identifier: GPL-3.0-or-later
#include "main/Main.h"

#include <QAction>
#include <QActionGroup>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QStatusBar>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>
#include <sstream>

#include "app/AppFormat.h"
#include "app/Language.h"
#include "app/RecentProjects.h"
#include "app/SaveLoadPrjUnit.h"
#include "charts/ChartAdapter.h"
#include "charts/ChartFiles.h"
#include "charts/ChartMenu.h"
#include "files/DataFiles.h"
#include "main/AppEngine.h"
#include "parameters/ParametersUnit.h"
#include "signals/ElectroUnit.h"
#include "solver/Stability.h"
#include "stack/TaskFields.h"
#include "text/Errors.h"
#include "widgets/QNSuperSpin.h"
#include "widgets/RadioGroup.h"
#include "widgets/SpinEdit.h"

namespace {

constexpr int kFieldCurve = 0;    // Series1
constexpr int kFirstBoundary = 1; // Series2 .. Series9
constexpr int kBoundaryCount = 8;

QPushButton *BoldButton(const QString &caption, const QString &name, QWidget *parent) {
    auto *b = new QPushButton(caption, parent);
    b->setObjectName(name);
    QFont f = b->font();
    f.setBold(true);
    b->setFont(f);
    return b;
}

// A grid step's field with its initial value and format from the task's field table.
TQNSuperSpin *NumericField(const char *name, QWidget *parent) {
    const TaskField &field = *FindTaskField(name);
    auto *f = new TQNSuperSpin(parent);
    f->setObjectName(QLatin1String(name));
    f->SetMinValue(0);
    f->SetMaxValue(100000);
    f->SetMaxLength(6);
    f->SetNumberFormat(field.Format);
    f->SetValue(field.Initial);
    return f;
}

QString FieldCaption(const char *name) {
    return QCoreApplication::translate("TMainForm", FindTaskField(name)->Caption);
}

} // namespace

TMainForm::TMainForm(const FormatSettings *format, QWidget *parent)
    : QMainWindow(parent), TNumberFormatHolder(format) {
    setObjectName("MainForm");
    setWindowTitle(tr("Электромеханическая модель пъезопреобразователя"));
    BuildLayout();
    BuildMenus();
    resize(859, 565);
    move(241, 367);
    AskPictureFile = [](QWidget *owner, const QString &title, const QString &folder) {
        return AskPictureFileName(owner, title, folder);
    };
    AskDataFile = [](QWidget *owner, const QString &folder) { return AskDataFileName(owner, folder); };
    ShowError = [this](const QString &text) { QMessageBox::critical(this, windowTitle(), text); };
    ShowInformation = [this](const QString &text) { QMessageBox::information(this, windowTitle(), text); };
    FormCreate();
}

TMainForm::~TMainForm() = default;

void TMainForm::SetWindows(TParametersForm *parameters, TElectroForm *electro) {
    FParametersForm = parameters;
    FElectroForm = electro;
    // The project file visits the windows in the order of their creation.
    Project.Windows = {this, parameters, electro};
}

void TMainForm::BuildLayout() {
    auto *central = new QWidget(this);
    central->setObjectName("CentralPanel");
    setCentralWidget(central);
    auto *root = new QVBoxLayout(central);
    root->setContentsMargins(6, 6, 6, 6);

    // Comment strip.
    auto *top = new QHBoxLayout;
    auto *commentLabel = new QLabel(tr("Комментарии"), central);
    CommentEdit = new QLineEdit(tr("комментарии к проекту"), central);
    CommentEdit->setObjectName("CommentEdit");
    commentLabel->setBuddy(CommentEdit);
    top->addWidget(commentLabel);
    top->addWidget(CommentEdit, 1);
    root->addLayout(top);

    auto *body = new QHBoxLayout;
    root->addLayout(body, 1);

    // Left: the calculation controls, top to bottom.
    ControlGroupBox = new QGroupBox(tr("Управление расчетом"), central);
    ControlGroupBox->setObjectName("ControlGroupBox");
    ControlGroupBox->setFixedWidth(262);
    auto *left = new QVBoxLayout(ControlGroupBox);
    left->setSpacing(5);

    ViewTaskParamsBitBtn = BoldButton(tr("Параметры задачи"), "ViewTaskParamsBitBtn", ControlGroupBox);
    left->addWidget(ViewTaskParamsBitBtn);

    auto *dxLabel = new QLabel(FieldCaption("DeltaX_QNSuperSpin"), ControlGroupBox);
    DeltaX_QNSuperSpin = NumericField("DeltaX_QNSuperSpin", ControlGroupBox);
    dxLabel->setBuddy(DeltaX_QNSuperSpin);
    DeltaX_QNSuperSpin->setAccessibleName(dxLabel->text());
    left->addWidget(dxLabel);
    left->addWidget(DeltaX_QNSuperSpin);

    auto *dtLabel = new QLabel(FieldCaption("DeltaT_QNSuperSpin"), ControlGroupBox);
    DeltaT_QNSuperSpin = NumericField("DeltaT_QNSuperSpin", ControlGroupBox);
    dtLabel->setBuddy(DeltaT_QNSuperSpin);
    DeltaT_QNSuperSpin->setAccessibleName(dtLabel->text());
    left->addWidget(dtLabel);
    left->addWidget(DeltaT_QNSuperSpin);
    // The largest stable step of the task last built; red while the chosen step exceeds it.
    StabilityLabel = new QLabel(ControlGroupBox);
    StabilityLabel->setObjectName("StabilityLabel");
    StabilityLabel->setWordWrap(true);
    left->addWidget(StabilityLabel);
    connect(DeltaT_QNSuperSpin, &TQNNumEdit::OnChange, this, &TMainForm::ColourStabilityHint);

    CreateTaskBitBtn = BoldButton(tr("Создать и загрузить задачу"), "CreateTaskBitBtn", ControlGroupBox);
    left->addWidget(CreateTaskBitBtn);
    NetCountLabel = new QLabel(tr("Количество узлов в сетке"), ControlGroupBox);
    NetCountLabel->setObjectName("NetCountLabel");
    left->addWidget(NetCountLabel);

    auto *redraw = new QHBoxLayout;
    auto *redrawLabel = new QLabel(tr("Обновление графиков через"), ControlGroupBox);
    IterationSpinEdit = new TSpinEdit(ControlGroupBox);
    IterationSpinEdit->setObjectName("IterationSpinEdit");
    IterationSpinEdit->setAccessibleName(tr("Обновление графиков через, итераций"));
    redrawLabel->setBuddy(IterationSpinEdit);
    auto *iterLabel = new QLabel(tr("итераций"), ControlGroupBox);
    left->addWidget(redrawLabel);
    redraw->addWidget(IterationSpinEdit, 1);
    redraw->addWidget(iterLabel);
    left->addLayout(redraw);

    CalculateTaskBitBtn = BoldButton(tr("РАСЧЕТ"), "CalculateTaskBitBtn", ControlGroupBox);
    left->addWidget(CalculateTaskBitBtn);
    CalcLabel = new QLabel(tr("Время ???"), ControlGroupBox);
    CalcLabel->setObjectName("CalcLabel");
    left->addWidget(CalcLabel);
    BreakCalculationBitBtn = BoldButton(tr("Прервать"), "BreakCalculationBitBtn", ControlGroupBox);
    left->addWidget(BreakCalculationBitBtn);
    left->addStretch(1);
    ViewElectricalBitBtn =
        BoldButton(tr("Показать электрический сигнал"), "ViewElectricalBitBtn", ControlGroupBox);
    left->addWidget(ViewElectricalBitBtn);
    body->addWidget(ControlGroupBox);

    // Right: the chart of the field along the stack.
    SpaceGroupBox = new QGroupBox(tr("Колебания в пространстве"), central);
    SpaceGroupBox->setObjectName("SpaceGroupBox");
    auto *right = new QVBoxLayout(SpaceGroupBox);
    Chart = new TChart(SpaceGroupBox);
    Chart->setObjectName("Chart");
    Chart->setMinimumSize(300, 200);
    right->addWidget(Chart, 1);

    auto *panel = new QHBoxLayout;
    ZoomUnDoButton = new QPushButton(tr("Отмена ZOOM"), SpaceGroupBox);
    ZoomUnDoButton->setObjectName("ZoomUnDoButton");
    panel->addWidget(ZoomUnDoButton, 0, Qt::AlignVCenter);
    ViewRadioGroup = new TRadioGroup(
        tr("Показать график"),
        {tr("Колебательной скорости"), tr("Механических напряжений"), tr("Электрических напряжений")},
        SpaceGroupBox);
    ViewRadioGroup->setObjectName("ViewRadioGroup");
    ViewRadioGroup->SetItemIndex(0);
    panel->addWidget(ViewRadioGroup, 1);
    right->addLayout(panel);
    body->addWidget(SpaceGroupBox, 1);

    // Chart series: the field curve, then the eight boundary lines.
    Chart->AddSeries("Series1", TChart::SeriesKind::FastLine);
    Chart->SetSeriesColour(kFieldCurve, QColor(64, 0, 64));
    for (int k = 0; k < kBoundaryCount; ++k) {
        const int number = k + 2;
        const bool squares = number <= 5 || number == 9;
        Chart->AddSeries(QStringLiteral("Series%1").arg(number), TChart::SeriesKind::Line, squares ? 1 : 0);
    }
    Chart->SetBottomTitle(tr("мм"));
    Chart->SetLeftTitle(tr("мм/с"));
    Chart->SetTickFormat(QStringLiteral("#,##0"));
    Chart->SetLeftAutomatic(true);
    Chart->SetBottomAutomatic(true);
    // The boundary lines at both ends of the stack (and of the placeholder before any task) would
    // fall on the plot's frame and vanish.
    Chart->SetBottomMargin(0.03);
    Chart->SetZoomAllowed(true);

    const TChartMenu menu = BuildChartMenu(this, QStringLiteral("ChartPopupMenu"));
    ChartPopupMenu = menu.Menu;
    AttachChartMenu(ChartPopupMenu, Chart);
    connect(menu.ToClipboard, &QAction::triggered, this, &TMainForm::N3Click);
    connect(menu.ToFile, &QAction::triggered, this, &TMainForm::N8Click);
    connect(menu.SaveData, &QAction::triggered, this, &TMainForm::SaveFieldDataClick);

    connect(ViewTaskParamsBitBtn, &QPushButton::clicked, this, &TMainForm::ViewTaskParamsBitBtnClick);
    connect(CreateTaskBitBtn, &QPushButton::clicked, this, &TMainForm::CreateTaskBitBtnClick);
    connect(CalculateTaskBitBtn, &QPushButton::clicked, this, &TMainForm::CalculateTaskBitBtnClick);
    connect(BreakCalculationBitBtn, &QPushButton::clicked, this, &TMainForm::BreakCalculationBitBtnClick);
    connect(ViewElectricalBitBtn, &QPushButton::clicked, this, &TMainForm::ViewElectricalBitBtnClick);
    connect(ZoomUnDoButton, &QPushButton::clicked, this, &TMainForm::ZoomUnDoButtonClick);
    connect(ViewRadioGroup, &TRadioGroup::OnClick, this, &TMainForm::ViewRadioGroupClick);

    statusBar()->setObjectName("StatusBar");
}

void TMainForm::BuildMenus() {
    FileMenu = menuBar()->addMenu(tr("&Файл"));
    FileMenu->setObjectName("FileMenu");
    LoadProjectAction = FileMenu->addAction(tr("Загрузить проект..."));
    LoadProjectAction->setObjectName("LoadProjectMenu");
    LoadProjectAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    SaveProjectAction = FileMenu->addAction(tr("Сохранить проект..."));
    SaveProjectAction->setObjectName("SaveProjectMenu");
    SaveProjectAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    FileMenu->addSeparator();
    for (int i = 0; i < RecentProjects::MaxCount; ++i) {
        QAction *recent = FileMenu->addAction(QString());
        recent->setObjectName(QStringLiteral("RecentProject%1").arg(i + 1));
        recent->setVisible(false);
        connect(recent, &QAction::triggered, this, [this, i] { RecentProjectClick(i); });
        RecentProjectActions.append(recent);
    }
    RecentProjectsSeparator = FileMenu->addSeparator();
    BuildLanguageMenu();
    FileMenu->addSeparator();
    CloseAction = FileMenu->addAction(tr("Выход"));
    CloseAction->setObjectName("CloseMenu");
    connect(LoadProjectAction, &QAction::triggered, this, &TMainForm::LoadProjectMenuClick);
    connect(SaveProjectAction, &QAction::triggered, this, &TMainForm::SaveProjectMenuClick);
    connect(CloseAction, &QAction::triggered, this, &TMainForm::CloseMenuClick);

    // The dialogs start in the program's folder, then in the folder each showed last.
    const auto folder = [](const QString &dialog) {
        const QString remembered = RecentProjects::Folder(dialog);
        return !remembered.isEmpty() && QDir(remembered).exists() ? remembered
                                                                  : QCoreApplication::applicationDirPath();
    };
    const QString filter = tr("Проект ПЭП (*.PEPmodel)");
    OpenProjectDialog = new QFileDialog(this, QString(), folder("OpenProjectDialog"), filter);
    OpenProjectDialog->setObjectName("OpenProjectDialog");
    OpenProjectDialog->setAcceptMode(QFileDialog::AcceptOpen);
    OpenProjectDialog->setDefaultSuffix("PEPmodel");
    SaveProjectDialog = new QFileDialog(this, QString(), folder("SaveProjectDialog"), filter);
    SaveProjectDialog->setObjectName("SaveProjectDialog");
    SaveProjectDialog->setAcceptMode(QFileDialog::AcceptSave);
    SaveProjectDialog->setDefaultSuffix("PEPmodel");
    // The project code asks its own questions about existing files.
    SaveProjectDialog->setOption(QFileDialog::DontConfirmOverwrite, true);
    ShowRecentProjects();
}

void TMainForm::BuildLanguageMenu() {
    // The menu names itself and its entries in both languages: it is where a reader of either one
    // changes the language. The entries show the remembered choice, the one of the next start.
    LanguageMenu = FileMenu->addMenu(tr("Язык / Language"));
    LanguageMenu->setObjectName("LanguageMenu");
    auto *group = new QActionGroup(LanguageMenu);
    const QString chosen = Language::Stored();
    for (const auto &[code, caption] : {std::pair{Language::kRussian, QStringLiteral("Русский")},
                                        std::pair{Language::kEnglish, QStringLiteral("English")}}) {
        QAction *action = LanguageMenu->addAction(caption);
        action->setObjectName(QStringLiteral("Language_") + code);
        action->setCheckable(true);
        action->setChecked(code == chosen);
        action->setData(code);
        group->addAction(action);
        connect(action, &QAction::triggered, this, [this, code] { LanguageMenuClick(code); });
        LanguageActions.append(action);
    }
}

void TMainForm::LanguageMenuClick(const QString &code) {
    Language::Store(code);
    for (QAction *action : LanguageActions)
        action->setChecked(action->data().toString() == code);
    // The windows are built once, in the language of the start: a change waits for the next one.
    if (code != Language::Current() && ShowInformation)
        ShowInformation(Language::RestartNotice());
}

void TMainForm::FormCreate() {
    PictureDialogFolder = QCoreApplication::applicationDirPath();
    const QColor placeholder = Qt::blue;
    Chart->Clear(kFieldCurve);
    Chart->AddXY(kFieldCurve, 1, -1, QStringLiteral(" "), placeholder);
    Chart->AddXY(kFieldCurve, 1, 1, QStringLiteral(" "), placeholder);
    for (int k = 2; k <= 9; ++k) {
        const int s = k - 1;
        Chart->Clear(s);
        Chart->AddXY(s, k, -1, QStringLiteral(" "), placeholder);
        Chart->AddXY(s, k, 1, QStringLiteral(" "), placeholder);
    }
    Chart->Refresh();
}

void TMainForm::ViewRadioGroupClick() {
    static const char *const kTitles[] = {QT_TR_NOOP("мм/с"), QT_TR_NOOP("КПа"), QT_TR_NOOP("В/м")};
    const int item = ViewRadioGroup->ItemIndex();
    if (item >= 0 && item <= 2)
        Chart->SetLeftTitle(tr(kTitles[item]));
    RedrawFieldAlongStack();
}

void TMainForm::RedrawFieldAlongStack() {
    const int item = ViewRadioGroup->ItemIndex();
    Chart->SetActive(kFieldCurve, false);
    TSolver &solver = Engine.Solver();
    const int n = std::min<int>(static_cast<int>(solver.NodeGrid.size()), Chart->Count(kFieldCurve));
    if (item >= 0 && item <= 2) {
        // Read on the solver's threads, each from the nodes it computes: read here, the whole grid
        // would move into this thread's cache and the workers' next sweeps would fetch it back.
        FFieldValues.resize(solver.NodeGrid.size());
        struct Reading {
            const GridNode *Grid;
            double *Values;
            int Item;
        } reading{solver.NodeGrid.data(), FFieldValues.data(), item};
        solver.ForEachNodeRange(
            [](const void *context, int32_t first, int32_t last) {
                const Reading &r = *static_cast<const Reading *>(context);
                for (int32_t i = first; i <= last; ++i) {
                    const GridNode &node = r.Grid[i];
                    switch (r.Item) {
                    case 0:
                        r.Values[i] = static_cast<double>(node.V[1] * 1000.0L);
                        break;
                    case 1:
                        r.Values[i] = static_cast<double>(node.S[1] * 0.001L);
                        break;
                    default:
                        r.Values[i] = node.E[1];
                        break;
                    }
                }
            },
            &reading);
        Chart->SetYValues(kFieldCurve, FFieldValues.data(), n);
    }
    Chart->SetActive(kFieldCurve, true);
    FitBoundaryLines();
}

void TMainForm::FitBoundaryLines() {
    double lo = 0, hi = 0;
    Chart->YRange(kFieldCurve, lo, hi);
    const double m = std::max(std::fabs(lo), std::fabs(hi));
    for (int s = kFirstBoundary; s < kFirstBoundary + kBoundaryCount; ++s) {
        Chart->SetActive(s, false);
        if (Chart->Count(s) >= 2) {
            Chart->SetYValue(s, 0, static_cast<double>(1.2L * m));
            Chart->SetYValue(s, 1, static_cast<double>(-1.2L * m));
        }
        Chart->SetActive(s, true);
    }
    Chart->Refresh();
}

void TMainForm::ZoomUnDoButtonClick() {
    Chart->UndoZoom();
    Chart->Refresh();
}

namespace {

// Makes a window visible, brings it to the front and gives it the focus.
void ShowAndFocus(QWidget *window) {
    if (!window)
        return;
    window->show();
    window->raise();
    window->activateWindow();
    window->setFocus();
}

} // namespace

void TMainForm::ViewTaskParamsBitBtnClick() {
    ShowAndFocus(FParametersForm);
}

void TMainForm::ViewElectricalBitBtnClick() {
    ShowAndFocus(FElectroForm);
}

void TMainForm::N3Click() {
    Chart->CopyPictureToClipboard();
}

void TMainForm::N8Click() {
    const QString path = AskPictureFile(this, tr("Записаь картинку в файл"), PictureDialogFolder);
    if (path.isEmpty())
        return;
    if (!SaveChartPicture(Chart, path))
        ReportError(tr("Не удалось записать картинку в файл %1").arg(path));
}

void TMainForm::SaveFieldDataClick() {
    const std::vector<GridNode> &grid = Engine.Solver().NodeGrid;
    if (grid.empty()) {
        ReportError(tr("Нет данных для записи: сначала создайте задачу."));
        return;
    }
    const QString path = AskDataFile ? AskDataFile(this, PictureDialogFolder) : QString();
    if (path.isEmpty())
        return;
    // All three fields of the last completed level, in the units the chart shows them.
    const size_t n = grid.size();
    std::vector<double> x(n), v(n), s(n), e(n);
    for (size_t i = 0; i < n; ++i) {
        const GridNode &node = grid[i];
        x[i] = static_cast<double>(node.X * 1000.0L);
        v[i] = static_cast<double>(node.V[1] * 1000.0L);
        s[i] = static_cast<double>(node.S[1] * 0.001L);
        e[i] = node.E[1];
    }
    std::ostringstream out;
    WriteColumnsCsv(out, "x_mm,V_mm_s,S_kPa,E_V_m", {&x, &v, &s, &e});
    if (!SaveDataText(path, out.str()))
        ReportError(QStringLiteral("Unable to write to %1").arg(path));
}

void TMainForm::LoadProjectMenuClick() {
    const QString folder = OpenProjectDialog->directory().absolutePath();
    QString caption;
    const bool loaded = LoadProject(Project, OpenProjectDialog, caption);
    setWindowTitle(caption);
    if (loaded)
        RememberProject(caption);
    RememberDialogFolder(OpenProjectDialog, folder);
}

void TMainForm::SaveProjectMenuClick() {
    const QString folder = SaveProjectDialog->directory().absolutePath();
    QString caption;
    const bool saved = SaveProject(Project, SaveProjectDialog, caption);
    setWindowTitle(caption);
    if (saved)
        RememberProject(caption);
    RememberDialogFolder(SaveProjectDialog, folder);
}

bool TMainForm::OpenProjectFile(const QString &path) {
    QString caption;
    const bool loaded = LoadProjectFile(Project, this, path, caption);
    setWindowTitle(caption);
    if (loaded) {
        RememberProject(caption);
        // The open dialog next starts where this project lies, as after a load through it.
        const QString folder = OpenProjectDialog->directory().absolutePath();
        OpenProjectDialog->setDirectory(QFileInfo(caption).absolutePath());
        RememberDialogFolder(OpenProjectDialog, folder);
    }
    return loaded;
}

void TMainForm::RecentProjectClick(int index) {
    const QStringList files = RecentProjects::Files();
    if (index < 0 || index >= files.size())
        return;
    const QString path = files[index];
    // A missing file gets the load's own error box and leaves the list: it would fail every time.
    if (!OpenProjectFile(path) && !QFileInfo(path).isFile()) {
        RecentProjects::Remove(path);
        ShowRecentProjects();
    }
}

void TMainForm::RememberProject(const QString &path) {
    RecentProjects::Add(path);
    ShowRecentProjects();
}

void TMainForm::RememberDialogFolder(QFileDialog *dialog, const QString &before) {
    const QString folder = dialog->directory().absolutePath();
    if (folder != before)
        RecentProjects::SetFolder(dialog->objectName(), folder);
}

void TMainForm::ShowRecentProjects() {
    const QStringList files = RecentProjects::Files();
    // File names alone, unless two entries share one: then their full paths.
    QStringList names;
    for (const QString &f : files)
        names << QFileInfo(f).fileName();
    for (int i = 0; i < RecentProjectActions.size(); ++i) {
        QAction *action = RecentProjectActions[i];
        if (i >= files.size()) {
            action->setVisible(false);
            continue;
        }
        QString text = names.count(names[i]) > 1 ? QDir::toNativeSeparators(files[i]) : names[i];
        text.replace('&', QStringLiteral("&&"));
        action->setText(QStringLiteral("&%1 %2").arg(i + 1).arg(text));
        action->setStatusTip(QDir::toNativeSeparators(files[i]));
        action->setToolTip(QDir::toNativeSeparators(files[i]));
        action->setVisible(true);
    }
    RecentProjectsSeparator->setVisible(!files.isEmpty());
}

void TMainForm::CloseMenuClick() {
    close();
}

void TMainForm::ReportError(const QString &text) {
    if (ShowError)
        ShowError(text);
}

void TMainForm::SetStatus(const QString &text) {
    statusBar()->showMessage(text);
}

void TMainForm::closeEvent(QCloseEvent *event) {
    // Closing the main window ends a run in progress, then the program.
    if (FRunning)
        FRunEnd.Reason = RunStop::WindowClosed;
    FRunning = false;
    FClosing = true;
    event->accept();
    if (FParametersForm)
        FParametersForm->hide();
    if (FElectroForm) {
        FElectroForm->CancelSpectrum();
        FElectroForm->hide();
    }
    QCoreApplication::quit();
}

void TMainForm::ShowStabilityHint() {
    FStableDt = MaxStableTimeStep(Engine.Solver());
    if (std::isinf(FStableDt)) {
        StabilityLabel->setText(tr("устойчиво при любом Dt"));
    } else {
        // Three significant digits, cut rather than rounded, so the step shown is itself stable.
        const long double ns = FStableDt * 1e9L;
        const int decimals = ns > 0 ? std::clamp(2 - static_cast<int>(std::floor(std::log10(ns))), 0, 12) : 0;
        const long double unit = std::pow(10.0L, -decimals);
        const QString pattern = decimals > 0 ? QStringLiteral("#,##0.") + QString(decimals, QLatin1Char('0'))
                                             : QStringLiteral("#,##0");
        StabilityLabel->setText(tr("устойчиво при Dt ≤ ") + FormatFloatQ(pattern, std::floor(ns / unit) * unit) +
                                tr(" нс"));
    }
    ColourStabilityHint();
}

void TMainForm::ColourStabilityHint() {
    bool exceeds = false;
    if (!std::isnan(FStableDt)) {
        try {
            // The step as task construction converts it.
            exceeds = static_cast<double>(DeltaT_QNSuperSpin->GetValue() * 1e-9L) > FStableDt;
        } catch (const ConversionError &) {
            exceeds = false; // not a number yet: the construction will say so
        }
    }
    QPalette pal = StabilityLabel->palette();
    pal.setColor(QPalette::WindowText, exceeds ? QColor(Qt::red) : palette().color(QPalette::WindowText));
    StabilityLabel->setPalette(pal);
}
