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

#include "AppFormat.h"
#include "ChartAdapter.h"
#include "DataFiles.h"
#include "ElectroUnit.h"
#include "FDTD_1D_Routines.h"
#include "RadioGroup.h"
#include "UiText.h"

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

// "caption value unit" in the program's number style, or "caption ???" when there is no value.
QString Figure(const QString &caption, bool found, const QString &pattern, double value,
               const QString &unit) {
    return caption + (found ? FormatFloatQ(pattern, value) + unit : QStringLiteral("???"));
}

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
    ImpedanceChart->SetTickFormat(QStringLiteral("#,##0.00"));
    ImpedanceChart->SetLeftLogarithmic(true);

    PulseChart = new TChart(FiguresPage);
    PulseChart->setObjectName(QStringLiteral("PulseChart"));
    PulseChart->AddSeries(QStringLiteral("Series16"), TChart::SeriesKind::Line);
    PulseChart->SetBottomTitle(tr("МГц"));
    PulseChart->SetLeftTitle(tr("дБ"));
    PulseChart->SetTickFormat(QStringLiteral("#,##0.00"));

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
        const int m1 = Chart->Tag(kSeriesMarker1Point), m2 = Chart->Tag(kSeriesMarker2Point);
        const int lo = std::min(m1, m2), hi = std::max(m1, m2);
        stretch.First = std::clamp<std::size_t>(static_cast<std::size_t>(std::max(lo, 1)), 0, stretch.Last);
        stretch.Last = std::clamp<std::size_t>(static_cast<std::size_t>(std::max(hi, 0)) + 1, stretch.First,
                                               stretch.Last);
    }
    FFiguresSignal = std::clamp(TypeRadioGroup->ItemIndex(), 0, 5);
    FFigures = ComputeRecordFigures(FRecord, stretch, stretch, FFiguresSignal,
                                    static_cast<double>(static_cast<long double>(Dt) * 1e6L),
                                    PlateThicknessModeMHz());
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
    ImpedanceChart->Refresh();
    PulseChart->Refresh();

    const bool series = z.Valid && z.SeriesFound, parallel = z.Valid && z.ParallelFound;
    FrLabel->setText(Figure(QStringLiteral("fr = "), series, QStringLiteral("#0.000"), z.fr_MHz, mhz));
    FaLabel->setText(Figure(QStringLiteral("fa = "), parallel, QStringLiteral("#0.000"), z.fa_MHz, mhz));
    ZrLabel->setText(
        Figure(QStringLiteral("|Z(fr)| = "), series, QStringLiteral("#,##0.0"), z.Zr_Ohm, tr(" Ом")));
    ZaLabel->setText(
        Figure(QStringLiteral("|Z(fa)| = "), parallel, QStringLiteral("#,##0.0"), z.Za_Ohm, tr(" Ом")));
    KeffLabel->setText(
        Figure(QStringLiteral("keff = "), series && parallel, QStringLiteral("0.0000"), z.keff, QString()));
    C0Label->setText(Figure(QStringLiteral("C0 = "), z.Valid && z.ClampedFound, QStringLiteral("#,##0.0"),
                            z.C0_pF, tr(" пФ")));

    PulseBox->setTitle(tr("Импульс ") + QString::fromLatin1(kSignalNames[FFiguresSignal]));
    PeakLabel->setText(Figure(tr("максимум: "), p.Valid, QStringLiteral("#0.000"), p.Peak_MHz, mhz));
    const bool band6 = p.Valid && p.Band6Found;
    FcLabel->setText(Figure(QStringLiteral("fc = "), band6, QStringLiteral("#0.000"), p.fc_MHz, mhz));
    Bw6Label->setText(Figure(tr("−6 дБ: "), band6, QStringLiteral("#0.000"), p.bw6_MHz, mhz) +
                      (band6 ? FormatFloatQ(QStringLiteral(" (#0.0 %)"), p.bw6_percent) : QString()));
    Bw20Label->setText(
        Figure(tr("−20 дБ: "), p.Valid && p.Band20Found, QStringLiteral("#0.000"), p.bw20_MHz, mhz));
    LengthLabel->setText(
        Figure(tr("длительность: "), p.Valid, QStringLiteral("#0.000"), p.Duration20_us, tr(" мкс")));
    EnvelopePeakLabel->setText(
        Figure(tr("пик огибающей: "), p.Valid, QStringLiteral("#0.000"), p.EnvelopePeak_us, tr(" мкс")));

    QString note;
    if (FFiguresComputed && FFiguresStretch.Last > FFiguresStretch.First)
        note = FormatFloatQ(tr("участок #0.000"), FRecord.Time(FFiguresStretch.First)) +
               FormatFloatQ(tr(" … #0.000 мкс"), FRecord.Time(FFiguresStretch.Last - 1));
    if (FFiguresComputed && !z.Valid)
        note += (note.isEmpty() ? QString() : QStringLiteral("\n")) + UiText(z.Reason);
    if (FFiguresComputed && !p.Valid && p.Reason != z.Reason)
        note += (note.isEmpty() ? QString() : QStringLiteral("\n")) + UiText(p.Reason);
    FiguresStretchLabel->setText(note);
}

void TElectroForm::WriteFiguresCsv(TChart *chart, std::ostream &out) const {
    if (chart == ImpedanceChart)
        WriteColumnsCsv(
            out, "f_MHz,Z_ohm,phase_deg",
            {&FFigures.Impedance.f_MHz, &FFigures.Impedance.AbsZ_Ohm, &FFigures.Impedance.Phase_deg});
    else
        WriteColumnsCsv(out, "f_MHz,A_dB", {&FFigures.Pulse.f_MHz, &FFigures.Pulse.Level_dB});
}
