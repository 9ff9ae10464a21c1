// SPDX-License-Identifier: GPL-3.0-or-later
#include "signals/ElectroUnit.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPointer>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <array>
#include <cmath>
#include <sstream>
#include <vector>

#include "analysis/Spectrum.h"
#include "app/AppFormat.h"
#include "app/UiText.h"
#include "charts/ChartAdapter.h"
#include "charts/ChartFiles.h"
#include "charts/ChartMenu.h"
#include "files/DataFiles.h"
#include "main/AppEngine.h"
#include "text/Errors.h"
#include "widgets/QNSuperSpin.h"
#include "widgets/RadioGroup.h"

namespace {

const QString kValuePattern = QStringLiteral("### ##0.000 ");
const char *const kTimePattern = QT_TRANSLATE_NOOP("TElectroForm", "### ##0.000 мкс");
const char *const kPictureDialogTitle = QT_TRANSLATE_NOOP("TElectroForm", "Записаь картинку в файл");

QLineEdit *NewReadout(const QString &name, const QString &text, const QColor &colour,
                      const QString &accessible, QWidget *parent) {
    auto *e = new QLineEdit(text, parent);
    e->setObjectName(name);
    e->setReadOnly(true);
    e->setAccessibleName(accessible);
    QPalette pal = e->palette();
    pal.setColor(QPalette::Text, colour);
    e->setPalette(pal);
    return e;
}

TQNSuperSpin *NewField(const QString &name, long double value, QLabel *caption, QWidget *parent) {
    auto *f = new TQNSuperSpin(parent);
    f->setObjectName(name);
    f->SetMinValue(0);
    f->SetMaxValue(100000);
    f->SetValue(value);
    caption->setBuddy(f);
    f->setAccessibleName(caption->text());
    return f;
}

} // namespace

TElectroForm::TElectroForm(const FormatSettings *format, QWidget *parent)
    : QWidget(parent, Qt::Window), TNumberFormatHolder(format) {
    setObjectName(QStringLiteral("ElectroForm"));
    setWindowTitle(tr("Электрический сигнал на преобразователе"));
    setAttribute(Qt::WA_QuitOnClose, false);
    resize(809, 560);

    ChoosePictureFile = [this](const QString &title, const QString &folder) {
        return AskPictureFileName(this, title, folder);
    };
    ChooseDataFile = [this](const QString &folder) { return AskDataFileName(this, folder); };
    ShowError = [this](const QString &text) { QMessageBox::critical(this, windowTitle(), text); };

    // The signals are the circuit model's: one curve and one choice each.
    FRecord.Reset(Engine.SignalList());
    FFiguresSignal = std::max(0, SignalIndex(FRecord.Signals(), "Upep"));
    BuildControls();
    BuildSeries();
    FormCreate();
}

TElectroForm::~TElectroForm() {
    CancelSpectrum();
}

void TElectroForm::BuildControls() {
    // ---- pages
    PageControl = new QTabWidget(this);
    PageControl->setObjectName(QStringLiteral("PageControl"));

    SignalsPage = new QWidget;
    SignalsPage->setObjectName(QStringLiteral("SignalsTabSheet"));
    Chart = new TChart(SignalsPage);
    Chart->setObjectName(QStringLiteral("Chart"));
    auto *signalsLayout = new QVBoxLayout(SignalsPage);
    signalsLayout->setContentsMargins(2, 2, 2, 2);
    signalsLayout->addWidget(Chart);

    SpectrPage = new QWidget;
    SpectrPage->setObjectName(QStringLiteral("SpectrTabSheet"));
    SpectrChart = new TChart(SpectrPage);
    SpectrChart->setObjectName(QStringLiteral("SpectrChart"));
    auto *middleLabel = new QLabel(tr("Средняя частота (МГц)"), SpectrPage);
    Middle_F_QNSuperSpin = NewField(QStringLiteral("Middle_F_QNSuperSpin"), 5, middleLabel, SpectrPage);
    auto *widthLabel = new QLabel(tr("Ширина графика (МГц)"), SpectrPage);
    Width_F_QNSuperSpin = NewField(QStringLiteral("Width_F_QNSuperSpin"), 8, widthLabel, SpectrPage);
    CalculateSpectrBitBtn = new QPushButton(tr("Расчет спектра"), SpectrPage);
    CalculateSpectrBitBtn->setObjectName(QStringLiteral("CalculateSpectrBitBtn"));
    // Captions above their fields keep the band row narrow.
    auto *bandRow = new QGridLayout;
    bandRow->setHorizontalSpacing(12);
    bandRow->setVerticalSpacing(2);
    bandRow->addWidget(middleLabel, 0, 0);
    bandRow->addWidget(Middle_F_QNSuperSpin, 1, 0);
    bandRow->addWidget(widthLabel, 0, 1);
    bandRow->addWidget(Width_F_QNSuperSpin, 1, 1);
    bandRow->addWidget(CalculateSpectrBitBtn, 1, 2);
    bandRow->setColumnStretch(3, 1);
    auto *spectrLayout = new QVBoxLayout(SpectrPage);
    spectrLayout->setContentsMargins(2, 2, 2, 4);
    spectrLayout->addWidget(SpectrChart, 1);
    spectrLayout->addLayout(bandRow);

    PageControl->addTab(SignalsPage, tr("Электрические сигналы ПЭП"));
    PageControl->addTab(SpectrPage, tr("Спектр выбранного сигнала"));
    BuildFiguresPage();
    PageControl->setCurrentWidget(SpectrPage);

    // ---- right-hand panel
    auto *panel = new QWidget(this);
    panel->setObjectName(QStringLiteral("RightPanel"));
    panel->setFixedWidth(210);
    ZoomUnDoButton = new QPushButton(tr("Отмена ZOOM"), panel);
    ZoomUnDoButton->setObjectName(QStringLiteral("ZoomUnDoButton"));
    auto *rangeLabel = new QLabel(tr("Диапазон (В) или (А)"), panel);
    Diapazon_QNSuperSpin = NewField(QStringLiteral("Diapazon_QNSuperSpin"), 350, rangeLabel, panel);
    QStringList signalCaptions;
    for (const SignalInfo &info : FRecord.Signals())
        signalCaptions << (info.Caption ? QCoreApplication::translate("TElectroForm", info.Caption)
                                        : QString::fromStdString(info.Name));
    TypeRadioGroup = new TRadioGroup(tr("Выбор графика"), signalCaptions, panel);
    TypeRadioGroup->setObjectName(QStringLiteral("TypeRadioGroup"));
    TypeRadioGroup->SetItemIndex(0);
    MarkersEnableCheckBox = new QCheckBox(tr("Использовать маркеры"), panel);
    MarkersEnableCheckBox->setObjectName(QStringLiteral("MarkersEnableCheckBox"));
    ChooseMarkerRadioGroup = new TRadioGroup(tr("Маркер"), {tr("1 красный"), tr("2 синий")}, panel);
    ChooseMarkerRadioGroup->setObjectName(QStringLiteral("ChooseMarkerRadioGroup"));
    ChooseMarkerRadioGroup->SetItemIndex(0);
    const QColor blue(0, 0, 255);
    A1_Edit = NewReadout(QStringLiteral("A1_Edit"), tr("  ??? В"), Qt::red, tr("Маркер 1, значение"), panel);
    T1_Edit = NewReadout(QStringLiteral("T1_Edit"), tr("  ??? мкс"), Qt::red, tr("Маркер 1, время"), panel);
    A2_Edit = NewReadout(QStringLiteral("A2_Edit"), tr("  ??? В"), blue, tr("Маркер 2, значение"), panel);
    T2_Edit = NewReadout(QStringLiteral("T2_Edit"), tr("  ??? мкс"), blue, tr("Маркер 2, время"), panel);
    auto *diffLabel = new QLabel(tr("Разность красный - синий"), panel);
    DA_Edit = NewReadout(QStringLiteral("DA_Edit"), tr("  ??? В"), Qt::black, tr("Разность значений"), panel);
    DT_Edit = NewReadout(QStringLiteral("DT_Edit"), tr("  ??? мкс"), Qt::black, tr("Разность времён"), panel);

    auto *readouts = new QGridLayout;
    readouts->setHorizontalSpacing(4);
    readouts->setVerticalSpacing(3);
    readouts->addWidget(A1_Edit, 0, 0);
    readouts->addWidget(T1_Edit, 0, 1);
    readouts->addWidget(A2_Edit, 1, 0);
    readouts->addWidget(T2_Edit, 1, 1);
    readouts->addWidget(diffLabel, 2, 0, 1, 2);
    readouts->addWidget(DA_Edit, 3, 0);
    readouts->addWidget(DT_Edit, 3, 1);

    auto *panelLayout = new QVBoxLayout(panel);
    panelLayout->setContentsMargins(4, 4, 4, 4);
    panelLayout->setSpacing(5);
    panelLayout->addWidget(ZoomUnDoButton);
    panelLayout->addSpacing(4);
    panelLayout->addWidget(rangeLabel);
    panelLayout->addWidget(Diapazon_QNSuperSpin);
    panelLayout->addWidget(TypeRadioGroup);
    panelLayout->addWidget(MarkersEnableCheckBox);
    panelLayout->addWidget(ChooseMarkerRadioGroup);
    panelLayout->addLayout(readouts);
    panelLayout->addStretch(1);

    auto *mainLayout = new QHBoxLayout(this);
    mainLayout->setContentsMargins(4, 4, 4, 4);
    mainLayout->setSpacing(4);
    mainLayout->addWidget(PageControl, 1);
    mainLayout->addWidget(panel);

    // ---- shared context menu of both charts
    const TChartMenu menu = BuildChartMenu(this, QStringLiteral("PopupMenu1"));
    PopupMenu1 = menu.Menu;
    N3 = menu.ToClipboard;
    N8 = menu.ToFile;
    SaveDataAction = menu.SaveData;
    for (TChart *chart : {Chart, SpectrChart, ImpedanceChart, PulseChart})
        AttachChartMenu(PopupMenu1, chart, [this](TChart *opened) { FMenuChart = opened; });

    connect(TypeRadioGroup, &TRadioGroup::OnClick, this, &TElectroForm::TypeRadioGroupClick);
    connect(Diapazon_QNSuperSpin, &TQNSuperSpin::OnChange, this, &TElectroForm::Diapazon_QNSuperSpinChange);
    Diapazon_QNSuperSpin->installEventFilter(this);
    connect(ZoomUnDoButton, &QPushButton::clicked, this, &TElectroForm::ZoomUnDoButtonClick);
    connect(N3, &QAction::triggered, this, &TElectroForm::N3Click);
    connect(N8, &QAction::triggered, this, &TElectroForm::N8Click);
    connect(SaveDataAction, &QAction::triggered, this, &TElectroForm::SaveDataClick);
    // toggled, not clicked: a project load that sets the box switches the markers as a click does.
    connect(MarkersEnableCheckBox, &QCheckBox::toggled, this, &TElectroForm::MarkersEnableCheckBoxClick);
    connect(Chart, &QCustomPlot::mouseMove, this, &TElectroForm::ChartMouseMove);
    connect(Chart, &QCustomPlot::mousePress, this, &TElectroForm::ChartMouseDown);
    connect(CalculateSpectrBitBtn, &QPushButton::clicked, this, &TElectroForm::CalculateSpectrBitBtnClick);
}

void TElectroForm::BuildSeries() {
    for (int s = 0; s < FRecord.SignalCount(); ++s)
        Chart->AddRecordSeries(QString::fromStdString(FRecord.Signals()[static_cast<std::size_t>(s)].Name),
                               &FRecord, s);
    Chart->AddSeries(QStringLiteral("Series7"), TChart::SeriesKind::Point, 2);
    Chart->AddSeries(QStringLiteral("Series8"), TChart::SeriesKind::Line);
    Chart->AddSeries(QStringLiteral("Series9"), TChart::SeriesKind::Point, 1);
    Chart->AddSeries(QStringLiteral("Series10"), TChart::SeriesKind::Point, 2);
    Chart->AddSeries(QStringLiteral("Series11"), TChart::SeriesKind::Line);
    Chart->AddSeries(QStringLiteral("Series12"), TChart::SeriesKind::Point, 1);
    Chart->SetBottomTitle(tr("мкс"));
    Chart->SetTickFormat(QStringLiteral("#,##0.00"));

    SpectrChart->AddSeries(QStringLiteral("Series13"), TChart::SeriesKind::Line);
    SpectrChart->SetBottomTitle(tr("МГц"));
    SpectrChart->SetLeftTitle(QString()); // titled by the first spectrum
    SpectrChart->SetTickFormat(QStringLiteral("#,##0.00"));
}

// ---------------------------------------------------------------------------------------------
// Operations of the record

void TElectroForm::ClearSignals() {
    FRecord.Clear();
    FRecord.Append(0, std::vector<double>(FRecord.Signals().size(), 0.0));
    Chart->Refresh();
}

void TElectroForm::AppendSignals(double Time, double U0, double U1, double Upep, double I0, double IL,
                                 double Ipep) {
    AppendSignals(Time, std::array<double, 6>{U0, U1, Upep, I0, IL, Ipep});
}

void TElectroForm::AppendSignals(double Time, std::span<const double> values) {
    FRecord.Append(Time, values);
    // Only a request, spaced like every repaint of a run: the chart fits its axes when it repaints.
    Chart->RequestRepaint();
}

// ---------------------------------------------------------------------------------------------
// The user did something

void TElectroForm::FormCreate() {
    FPictureFolder = QCoreApplication::applicationDirPath();
    ClearSignals();
    TypeRadioGroupClick();

    // Markers at time 0; their lines span the vertical range now in force.
    const double top = Chart->LeftMaximum();
    const double bottom = Chart->LeftMinimum();
    const QColor blue(0, 0, 255);
    const struct {
        int Handle, Line, Point;
        QColor Colour;
    } markers[2] = {{SeriesMarker1Handle(), SeriesMarker1Line(), SeriesMarker1Point(), Qt::red},
                    {SeriesMarker2Handle(), SeriesMarker2Line(), SeriesMarker2Point(), blue}};
    for (const auto &m : markers) {
        Chart->Clear(m.Handle);
        Chart->Clear(m.Line);
        Chart->Clear(m.Point);
        Chart->AddXY(m.Handle, 0, 0, QStringLiteral(" "), m.Colour);
        Chart->AddXY(m.Line, 0, top, QStringLiteral(" "), m.Colour);
        Chart->AddXY(m.Line, 0, bottom, QStringLiteral(" "), m.Colour);
        Chart->AddXY(m.Point, 0, 0, QStringLiteral(" "), Qt::black);
        Chart->SetTag(m.Point, 0);
        for (int s : {m.Handle, m.Line, m.Point})
            Chart->SetActive(s, true);
    }
    Chart->Refresh();
}

void TElectroForm::TypeRadioGroupClick() {
    const int item = TypeRadioGroup->ItemIndex();
    if (item >= 0 && item < FRecord.SignalCount()) {
        const std::string &unit = FRecord.Signals()[static_cast<std::size_t>(item)].Unit;
        Chart->SetLeftTitle(unit == "V" ? tr("В") : unit == "A" ? tr("А") : QString::fromStdString(unit));
    }
    for (int s = 0; s < FRecord.SignalCount(); ++s)
        Chart->SetActive(kSeriesU0 + s, s == item);
    ShowFiguresSignal();
    ApplyVerticalRange();
}

void TElectroForm::Diapazon_QNSuperSpinChange() {
    ApplyVerticalRange();
}

bool TElectroForm::eventFilter(QObject *watched, QEvent *event) {
    if (watched == Diapazon_QNSuperSpin && event->type() == QEvent::MouseButtonRelease)
        Diapazon_QNSuperSpinChange();
    return QWidget::eventFilter(watched, event);
}

void TElectroForm::ZoomUnDoButtonClick() {
    Chart->UndoZoom();
    ApplyVerticalRange();
}

void TElectroForm::N3Click() {
    TChart *chart = FMenuChart ? FMenuChart : Chart;
    chart->CopyPictureToClipboard();
}

void TElectroForm::N8Click() {
    TChart *chart = FMenuChart ? FMenuChart : Chart;
    const QString path =
        ChoosePictureFile ? ChoosePictureFile(tr(kPictureDialogTitle), FPictureFolder) : QString();
    if (path.isEmpty())
        return;
    if (!SaveChartPicture(chart, path) && ShowError)
        ShowError(tr("Не удалось записать файл \"%1\"").arg(path));
}

void TElectroForm::SaveDataClick() {
    TChart *chart = FMenuChart ? FMenuChart : Chart;
    const QString path = ChooseDataFile ? ChooseDataFile(FPictureFolder) : QString();
    if (path.isEmpty())
        return;
    std::ostringstream out;
    if (chart == ImpedanceChart || chart == PulseChart) {
        WriteFiguresCsv(chart, out);
    } else if (chart == SpectrChart) {
        const int n = SpectrChart->Count(kSeriesSpectrum);
        std::vector<double> f(n), a(n);
        for (int i = 0; i < n; ++i) {
            f[i] = SpectrChart->XValue(kSeriesSpectrum, i);
            a[i] = SpectrChart->YValue(kSeriesSpectrum, i);
        }
        WriteColumnsCsv(out, "f_MHz,A", {&f, &a});
    } else {
        WriteSignalsCsv(out, FRecord);
    }
    if (!SaveDataText(path, out.str()) && ShowError)
        ShowError(QStringLiteral("Unable to write to %1").arg(path));
}

void TElectroForm::MarkersEnableCheckBoxClick() {
    const bool on = MarkersEnableCheckBox->isChecked();
    Chart->SetZoomAllowed(!on);
    for (int s = SeriesMarker1Handle(); s <= SeriesMarker2Point(); ++s)
        Chart->SetActive(s, on);
    Chart->Refresh();
}

void TElectroForm::ChartMouseMove(QMouseEvent *event) {
    MoveMarker(event->buttons(), event->modifiers());
}

void TElectroForm::ChartMouseDown(QMouseEvent *event) {
    MoveMarker(event->buttons(), event->modifiers());
}

void TElectroForm::CalculateSpectrBitBtnClick() {
    if (FSpectrumCancel)
        return; // one computation at a time
    CalculateSpectrBitBtn->setEnabled(false);
    const int m1 = Chart->Tag(SeriesMarker1Point());
    const int m2 = Chart->Tag(SeriesMarker2Point());
    const int lo = std::min(m1, m2);
    const int hi = std::max(m1, m2);
    const int shown = Chart->FirstShownSeries();
    const int n = shown >= 0 ? Chart->Count(shown) : 0;

    const auto showEmpty = [this] {
        SpectrChart->Clear(kSeriesSpectrum);
        SpectrChart->UndoZoom();
        SpectrChart->Refresh();
        CalculateSpectrBitBtn->setEnabled(true);
    };
    if (lo < 0 || hi > n - 1) {
        showEmpty(); // a marker lies beyond the record, as after a new task
        return;
    }
    double fmin = 0, fmax = 0;
    try {
        SpectrumBand(Middle_F_QNSuperSpin->GetValue(), Width_F_QNSuperSpin->GetValue(), fmin, fmax);
    } catch (const ConversionError &e) {
        CalculateSpectrBitBtn->setEnabled(true);
        if (ShowError)
            ShowError(UiText(e.what()));
        return;
    }

    // The stretch and its unit are taken now: choosing another signal or building a new task while
    // the sum runs (the event loop turns between terms) cannot pull the data from under it, and the
    // spectrum shown is the one of the stretch as it was when the button was pressed.
    const std::size_t count = static_cast<std::size_t>(hi - lo + 1);
    std::vector<double> t(count), y(count);
    for (std::size_t j = 0; j < count; ++j) {
        t[j] = Chart->XValue(shown, lo + static_cast<int>(j));
        y[j] = Chart->YValue(shown, lo + static_cast<int>(j));
    }
    const QString unit = Chart->LeftTitle();

    SpectrChart->SetActive(kSeriesSpectrum, false);
    SpectrChart->Clear(kSeriesSpectrum);
    const auto cancel = std::make_shared<bool>(false);
    FSpectrumCancel = cancel;
    const QPointer<TElectroForm> self(this);
    std::vector<SpectrumPoint> spectrum;
    SpectrumSum(t.data(), y.data(), count, fmin, fmax, spectrum, &Engine.Yield(), cancel.get());
    if (!self)
        return; // the window was destroyed during the computation
    FSpectrumCancel.reset();
    if (*cancel) {
        SpectrChart->SetActive(kSeriesSpectrum, true);
        showEmpty();
        return;
    }
    for (const SpectrumPoint &p : spectrum)
        SpectrChart->AddXY(kSeriesSpectrum, p.F, p.A);
    SpectrChart->SetActive(kSeriesSpectrum, true);
    SpectrChart->SetLeftTitle(unit + tr("/Гц"));
    SpectrChart->UndoZoom();
    SpectrChart->Refresh();
    CalculateSpectrBitBtn->setEnabled(true);
}

void TElectroForm::CancelSpectrum() {
    if (FSpectrumCancel)
        *FSpectrumCancel = true;
}

// ---------------------------------------------------------------------------------------------
// Show new state

void TElectroForm::ApplyVerticalRange() {
    if (!Chart)
        return;
    long double r = 0;
    try {
        r = Diapazon_QNSuperSpin->GetValue();
    } catch (const ConversionError &) {
        return; // the field only shows texts it can read; nothing to apply otherwise
    }
    Chart->SetLeftMinimum(static_cast<double>(-r));
    Chart->SetLeftMaximum(static_cast<double>(r));
    Chart->Refresh();
}

void TElectroForm::MoveMarker(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers) {
    if (!MarkersEnableCheckBox->isChecked())
        return;
    if (buttons != Qt::LeftButton ||
        (modifiers & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier)))
        return;
    const int shown = Chart->FirstShownSeries();
    if (shown < 0)
        return;
    const QPointF pointer = Chart->PointerToAxis();
    const double tx = pointer.x();
    const double ay = pointer.y();
    // Before any task the time step is 0 and no sample can be addressed: the marker stays.
    const long double step = Engine.Solver().Dt * 1e6L;
    if (!(step > 0))
        return;
    const long double q = tx / step;
    const int last = Chart->Count(shown) - 1;
    if (last < 0)
        return;
    int idx = 0;
    if (q >= last)
        idx = last;
    else if (q > 0)
        idx = static_cast<int>(std::trunc(q));
    const double xs = Chart->XValue(shown, idx);
    const double ys = Chart->YValue(shown, idx);

    int handle = -1, line = -1, point = -1;
    switch (ChooseMarkerRadioGroup->ItemIndex()) {
    case 0:
        handle = SeriesMarker1Handle(), line = SeriesMarker1Line(), point = SeriesMarker1Point();
        break;
    case 1:
        handle = SeriesMarker2Handle(), line = SeriesMarker2Line(), point = SeriesMarker2Point();
        break;
    default:
        break;
    }
    if (point >= 0) {
        Chart->SetTag(point, idx);
        Chart->SetXValue(handle, 0, xs);
        Chart->SetYValue(handle, 0, ay);
        Chart->SetXValue(line, 0, xs);
        Chart->SetYValue(line, 0, Chart->LeftMaximum());
        Chart->SetXValue(line, 1, xs);
        Chart->SetYValue(line, 1, Chart->LeftMinimum());
        Chart->SetXValue(point, 0, xs);
        Chart->SetYValue(point, 0, ys);
    }
    Chart->Refresh();
    ShowReadouts();
}

void TElectroForm::ShowReadouts() {
    const double x1 = Chart->XValue(SeriesMarker1Point(), 0);
    const double y1 = Chart->YValue(SeriesMarker1Point(), 0);
    const double x2 = Chart->XValue(SeriesMarker2Point(), 0);
    const double y2 = Chart->YValue(SeriesMarker2Point(), 0);
    const QString unit = Chart->LeftTitle();
    const QString timePattern = tr(kTimePattern);
    A1_Edit->setText(FormatFloatQ(kValuePattern, y1) + unit);
    T1_Edit->setText(FormatFloatQ(timePattern, x1));
    A2_Edit->setText(FormatFloatQ(kValuePattern, y2) + unit);
    T2_Edit->setText(FormatFloatQ(timePattern, x2));
    DA_Edit->setText(FormatFloatQ(kValuePattern, std::fabs(static_cast<long double>(y1) - y2)) + unit);
    DT_Edit->setText(FormatFloatQ(timePattern, std::fabs(static_cast<long double>(x1) - x2)));
}
