// SPDX-License-Identifier: GPL-3.0-or-later
// The page "Характеристики" of the signal window: the plate's electrical impedance with its
// resonances and coupling, and the spectrum in dB, bands and pulse length of the chosen signal,
// from the whole record or the stretch between the markers.
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <sstream>

#include "app/AppFormat.h"
#include "app/UiText.h"
#include "charts/ChartAdapter.h"
#include "files/DataFiles.h"
#include "main/AppEngine.h"
#include "signals/ElectroUnit.h"
#include "widgets/RadioGroup.h"

namespace {

QLabel *Readout(const QString &name, QWidget *parent) {
    auto *l = new QLabel(parent);
    l->setObjectName(name);
    l->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return l;
}

// One readout label per row of a group box, named as given.
void AddReadouts(QGroupBox *box, std::initializer_list<std::pair<QLabel **, const char *>> labels) {
    auto *rows = new QVBoxLayout(box);
    rows->setSpacing(2);
    for (const auto &[label, name] : labels) {
        *label = Readout(QString::fromLatin1(name), box);
        rows->addWidget(*label);
    }
}

// A readout's text, and its tooltip: why the figure is withheld, or what it is when shown.
void Show(QLabel *label, const QString &text, const QString &tip) {
    label->setText(text);
    label->setToolTip(tip);
}

// The phase axis spans a plate's whole range, −90° (a capacitor) to +90°, with a margin for the
// record's half-step lag; an automatic range would magnify a phase stuck at −89.5° into noise.
constexpr double kPhaseAxisLimit = 100, kPhaseAxisStep = 30;
// The level axis of the pulse spectrum, dB below its peak.
constexpr double kLevelAxisFloor_dB = -60;

} // namespace

void TElectroForm::BuildFiguresPage() {
    FiguresPage = new QWidget;
    FiguresPage->setObjectName(QStringLiteral("FiguresTabSheet"));

    ImpedanceChart = new TChart(FiguresPage);
    ImpedanceChart->setObjectName(QStringLiteral("ImpedanceChart"));
    ImpedanceChart->AddSeries(QStringLiteral("Series14"), TChart::SeriesKind::Line);
    ImpedanceChart->AddRightSeries(QStringLiteral("Series15"));
    ImpedanceChart->SetSeriesColour(kSeriesPhase, Qt::blue);
    ImpedanceChart->SetBottomTitle(tr("МГц"));
    ImpedanceChart->SetLeftTitle(tr("|Z|, Ом"));
    ImpedanceChart->SetRightTitle(tr("фаза, градусы"));
    ImpedanceChart->SetTickFormat(QStringLiteral("#,##0.##"));
    ImpedanceChart->SetLeftLogarithmic(true);
    ImpedanceChart->SetRightRange(-kPhaseAxisLimit, kPhaseAxisLimit, kPhaseAxisStep, Qt::blue);
    ImpedanceChart->SetSeriesCaption(kSeriesAbsZ, QStringLiteral("|Z|"));
    ImpedanceChart->SetSeriesCaption(kSeriesPhase, tr("фаза"));

    PulseChart = new TChart(FiguresPage);
    PulseChart->setObjectName(QStringLiteral("PulseChart"));
    PulseChart->AddSeries(QStringLiteral("Series16"), TChart::SeriesKind::Line);
    PulseChart->SetBottomTitle(tr("МГц"));
    PulseChart->SetLeftTitle(tr("дБ"));
    PulseChart->SetTickFormat(QStringLiteral("#,##0.##"));
    PulseChart->SetLeftMinimum(kLevelAxisFloor_dB);
    PulseChart->SetLeftMaximum(0);

    CalculateFiguresBitBtn = new QPushButton(tr("Рассчитать"), FiguresPage);
    CalculateFiguresBitBtn->setObjectName(QStringLiteral("CalculateFiguresBitBtn"));
    FiguresStretchLabel = Readout(QStringLiteral("FiguresStretchLabel"), FiguresPage);
    FiguresStretchLabel->setWordWrap(true);

    auto *impedanceBox = new QGroupBox(tr("Импеданс пластины"), FiguresPage);
    AddReadouts(impedanceBox, {{&FrLabel, "FrLabel"},
                               {&FaLabel, "FaLabel"},
                               {&ZrLabel, "ZrLabel"},
                               {&ZaLabel, "ZaLabel"},
                               {&KeffLabel, "KeffLabel"},
                               {&C0Label, "C0Label"}});
    PulseBox = new QGroupBox(FiguresPage);
    AddReadouts(PulseBox, {{&PeakLabel, "PeakLabel"},
                           {&FcLabel, "FcLabel"},
                           {&Bw6Label, "Bw6Label"},
                           {&Bw20Label, "Bw20Label"},
                           {&LengthLabel, "LengthLabel"},
                           {&EnvelopePeakLabel, "EnvelopePeakLabel"}});

    auto *readouts = new QVBoxLayout;
    readouts->setSpacing(4);
    readouts->addWidget(impedanceBox);
    readouts->addWidget(PulseBox);
    readouts->addWidget(FiguresStretchLabel);
    readouts->addStretch(1);
    readouts->addWidget(CalculateFiguresBitBtn);

    auto *charts = new QVBoxLayout;
    charts->setSpacing(2);
    charts->addWidget(ImpedanceChart, 1);
    charts->addWidget(PulseChart, 1);

    auto *layout = new QHBoxLayout(FiguresPage);
    layout->setContentsMargins(2, 2, 2, 4);
    layout->addLayout(charts, 1);
    auto *column = new QWidget(FiguresPage);
    column->setFixedWidth(212);
    column->setLayout(readouts);
    readouts->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(column);

    PageControl->addTab(FiguresPage, tr("Характеристики"));
    connect(CalculateFiguresBitBtn, &QPushButton::clicked, this, &TElectroForm::CalculateFiguresBitBtnClick);
    ShowFigures();
}

void TElectroForm::CalculateFiguresBitBtnClick() {
    CalculateFiguresBitBtn->setEnabled(false);
    // The whole record, or the stretch between the markers (inclusive) when they are in use; the
    // record's head point, the zero before the first step, never belongs to a stretch.
    RecordStretch stretch = WholeRecord(FRecord);
    if (MarkersEnableCheckBox->isChecked()) {
        const int m1 = Chart->Tag(SeriesMarker1Point()), m2 = Chart->Tag(SeriesMarker2Point());
        const int lo = std::min(m1, m2), hi = std::max(m1, m2);
        stretch.First = std::clamp<std::size_t>(static_cast<std::size_t>(std::max(lo, 1)), 0, stretch.Last);
        stretch.Last = std::clamp<std::size_t>(static_cast<std::size_t>(std::max(hi, 0)) + 1, stretch.First,
                                               stretch.Last);
    }
    FFiguresSignal = std::clamp(TypeRadioGroup->ItemIndex(), 0, FRecord.SignalCount() - 1);
    FFigures = ComputeRecordFigures(FRecord, stretch, stretch, FFiguresSignal,
                                    static_cast<double>(static_cast<long double>(Engine.Solver().Dt) * 1e6L),
                                    PlateThicknessModeMHz(Engine.Solver()));
    FFiguresStretch = stretch;
    FFiguresComputed = true;
    ShowFigures();
    CalculateFiguresBitBtn->setEnabled(true);
}

void TElectroForm::ShowFigures() {
    const ImpedanceFigures &z = FFigures.Impedance;
    const PulseFigures &p = FFigures.Pulse;
    const QString mhz = tr(" МГц");

    ImpedanceChart->Clear(kSeriesAbsZ);
    ImpedanceChart->Clear(kSeriesPhase);
    for (std::size_t i = 0; i < z.f_MHz.size(); ++i) {
        ImpedanceChart->AddXY(kSeriesAbsZ, z.f_MHz[i], z.AbsZ_Ohm[i]);
        ImpedanceChart->AddXY(kSeriesPhase, z.f_MHz[i], z.Phase_deg[i], QStringLiteral(" "), Qt::blue);
    }
    PulseChart->Clear(0);
    for (std::size_t i = 0; i < p.f_MHz.size(); ++i)
        PulseChart->AddXY(0, p.f_MHz[i], p.Level_dB[i]);
    if (p.Valid)
        PulseChart->SetBottomRange(0, PulseDisplayTop_MHz(p));
    else
        PulseChart->SetBottomAutomatic(true);
    ShowFiguresSignal();
    ImpedanceChart->Refresh();
    PulseChart->Refresh();

    // "caption value unit" in the window's number style, or "caption ???" when there is no value.
    const auto Figure = [this](const QString &caption, bool found, const QString &pattern, double value,
                               const QString &unit) {
        return caption + (found ? FormatFloatQ(pattern, value) + unit : QStringLiteral("???"));
    };
    // Why an impedance figure is withheld: the refusal of the whole curve, or the figure's own reason.
    const auto why = [&](const std::string &own) {
        return !FFiguresComputed ? QString() : UiText(z.Valid ? own : z.Reason);
    };
    const bool series = z.Valid && z.SeriesFound, parallel = z.Valid && z.ParallelFound;
    const QString pattern = QStringLiteral("#0.000"), ohm = tr(" Ом");
    Show(FrLabel, Figure(QStringLiteral("fr = "), series, pattern, z.fr_MHz, mhz), why(z.SeriesReason));
    Show(FaLabel, Figure(QStringLiteral("fa = "), parallel, pattern, z.fa_MHz, mhz), why(z.ParallelReason));
    Show(ZrLabel, Figure(QStringLiteral("|Z(fr)| = "), series, QStringLiteral("#,##0.0"), z.Zr_Ohm, ohm),
         why(z.SeriesReason));
    Show(ZaLabel, Figure(QStringLiteral("|Z(fa)| = "), parallel, QStringLiteral("#,##0.0"), z.Za_Ohm, ohm),
         why(z.ParallelReason));
    Show(KeffLabel,
         Figure(QStringLiteral("keff = "), series && parallel, QStringLiteral("0.0000"), z.keff, QString()),
         why(z.KeffReason()));
    const bool clamped = z.Valid && z.ClampedFound;
    Show(C0Label, Figure(tr("C0 (зажатая) = "), clamped, QStringLiteral("#,##0.0"), z.C0_pF, tr(" пФ")),
         clamped && z.C0Frequency_MHz > 0
             ? tr("Емкость зажатой пластины ε·A/h: 1/(ω·|Z|) на частоте %1 МГц, где толщина пластины "
                  "равна длине волны")
                   .arg(FormatFloatQ(QStringLiteral("#0.000"), z.C0Frequency_MHz))
         : clamped ? tr("Емкость зажатой пластины ε·A/h: емкость на низких частотах × (1 − kt²)")
                   : why(z.C0Reason));

    const QString pulseWhy = FFiguresComputed && !p.Valid ? UiText(p.Reason) : QString();
    Show(PeakLabel, Figure(tr("максимум: "), p.Valid, pattern, p.Peak_MHz, mhz), pulseWhy);
    const bool band6 = p.Valid && p.Band6Found, band20 = p.Valid && p.Band20Found;
    const QString noBand =
        p.Valid ? tr("Спектр не спадает до этого уровня по обе стороны от максимума.") : pulseWhy;
    Show(FcLabel, Figure(QStringLiteral("fc = "), band6, pattern, p.fc_MHz, mhz), band6 ? QString() : noBand);
    Show(Bw6Label,
         Figure(tr("−6 дБ: "), band6, pattern, p.bw6_MHz, mhz) +
             (band6 ? FormatFloatQ(QStringLiteral(" (#0.0 %)"), p.bw6_percent) : QString()),
         band6 ? QString() : noBand);
    Show(Bw20Label, Figure(tr("−20 дБ: "), band20, pattern, p.bw20_MHz, mhz), band20 ? QString() : noBand);
    // A length cut by the stretch is the stretch's, a lower bound of the pulse's.
    const bool cut = p.Valid && p.DurationClipped;
    Show(LengthLabel,
         Figure(tr("длительность: ") + (cut ? QStringLiteral("≥ ") : QString()), p.Valid, pattern,
                p.Duration20_us, tr(" мкс")),
         cut ? tr("Огибающая не спала на 20 дБ у края участка: импульс не короче показанного.") : pulseWhy);
    Show(EnvelopePeakLabel, Figure(tr("пик огибающей: "), p.Valid, pattern, p.EnvelopePeak_us, tr(" мкс")),
         pulseWhy);

    QString note;
    if (FFiguresComputed && FFiguresStretch.Last > FFiguresStretch.First)
        note = FormatFloatQ(tr("участок #0.000"), FRecord.Time(FFiguresStretch.First)) +
               FormatFloatQ(tr(" … #0.000 мкс"), FRecord.Time(FFiguresStretch.Last - 1));
    // A stretch that misses the excitation is a choice of the markers, not a fault: the impedance
    // readouts say why in their tooltips, and the note keeps to the stretch.
    if (FFiguresComputed && !z.Valid && z.Reason != kImpedanceNoStart)
        note += (note.isEmpty() ? QString() : QStringLiteral("\n")) + UiText(z.Reason);
    if (FFiguresComputed && !p.Valid && p.Reason != z.Reason)
        note += (note.isEmpty() ? QString() : QStringLiteral("\n")) + UiText(p.Reason);
    FiguresStretchLabel->setText(note);
}

void TElectroForm::ShowFiguresSignal() {
    // Before the first computation the box names the signal chosen now, the one that will be computed.
    const int signal = FFiguresComputed || !TypeRadioGroup
                           ? FFiguresSignal
                           : std::clamp(TypeRadioGroup->ItemIndex(), 0, FRecord.SignalCount() - 1);
    const QString name = QString::fromStdString(FRecord.Signals()[static_cast<std::size_t>(signal)].Name);
    PulseBox->setTitle(tr("Импульс ") + name);
    PulseChart->SetSeriesCaption(0, tr("спектр ") + name);
}

void TElectroForm::WriteFiguresCsv(TChart *chart, std::ostream &out) const {
    if (chart == ImpedanceChart)
        WriteColumnsCsv(
            out, "f_MHz,Z_ohm,phase_deg",
            {&FFigures.Impedance.f_MHz, &FFigures.Impedance.AbsZ_Ohm, &FFigures.Impedance.Phase_deg});
    else
        WriteColumnsCsv(out, "f_MHz,A_dB", {&FFigures.Pulse.f_MHz, &FFigures.Pulse.Level_dB});
}
