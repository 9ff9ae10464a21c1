// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// TElectroForm: the electrical-signal window. It keeps the record of the six circuit signals and
// shows one of them against time, carries the two measurement markers on the signal chart, and
// computes the amplitude spectrum of the stretch between the markers.

#include <QString>
#include <QWidget>
#include <functional>
#include <iosfwd>
#include <memory>
#include <span>

#include "analysis/RecordFigures.h"
#include "app/AppFormat.h"
#include "circuit/SignalRecord.h"

class QAction;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QMouseEvent;
class QPushButton;
class QTabWidget;
class TChart;
class TQNSuperSpin;
class TRadioGroup;

class TElectroForm : public QWidget, public TNumberFormatHolder {
    Q_OBJECT
public:
    // Series of the signal chart (0-based: Series1 is 0) and of the spectrum chart.
    enum : int {
        kSeriesU0 = 0, // one curve per signal of the record (Series1 … Series6: U0, U1, Upep, I0, IL, Ipep)
        kSeriesSpectrum = 0, // Series13, the only series of the spectrum chart
        kSeriesAbsZ = 0,     // Series14 and Series15 of the impedance chart: |Z| and its phase
        kSeriesPhase = 1
    };

    // `format`: the program's number formatting, shared with the other windows (see TNumberFormatHolder).
    explicit TElectroForm(const FormatSettings *format = nullptr, QWidget *parent = nullptr);
    ~TElectroForm() override;

    // The markers' series follow the signal curves: handle, line and point of marker 1, then of 2.
    int SeriesMarker1Handle() const { return kSeriesU0 + FRecord.SignalCount(); }
    int SeriesMarker1Line() const { return SeriesMarker1Handle() + 1; }
    int SeriesMarker1Point() const { return SeriesMarker1Handle() + 2; }
    int SeriesMarker2Handle() const { return SeriesMarker1Handle() + 3; }
    int SeriesMarker2Line() const { return SeriesMarker1Handle() + 4; }
    int SeriesMarker2Point() const { return SeriesMarker1Handle() + 5; }

    // Empties the record and puts the point (0, 0) at its head.
    void ClearSignals();
    // Appends one sample (time in µs, then one value per signal of the record); the chart repaints
    // on the next turn of the event loop, never from here.
    void AppendSignals(double Time, std::span<const double> values);
    // The same for the generator's six signals.
    void AppendSignals(double Time, double U0, double U1, double Upep, double I0, double IL, double Ipep);
    const TSignalRecord &Record() const { return FRecord; }

    // Chooses the file for "Записать в файл": gets the dialog title and initial folder, returns
    // the chosen path or an empty string for a cancel. Replaceable (tests); a file dialog by default.
    std::function<QString(const QString &title, const QString &folder)> ChoosePictureFile;
    // Chooses the file for "Сохранить данные (CSV)" from the initial folder; "" for a cancel.
    std::function<QString(const QString &folder)> ChooseDataFile;
    // Shows an error text; replaceable (tests); a message box by default.
    std::function<void(const QString &text)> ShowError;
    QString PictureFolder() const { return FPictureFolder; }

    // Controls, named as the project file knows them.
    QTabWidget *PageControl = nullptr;
    QWidget *SignalsPage = nullptr;
    QWidget *SpectrPage = nullptr;
    TChart *Chart = nullptr;
    TChart *SpectrChart = nullptr;
    TQNSuperSpin *Middle_F_QNSuperSpin = nullptr;
    TQNSuperSpin *Width_F_QNSuperSpin = nullptr;
    QPushButton *CalculateSpectrBitBtn = nullptr;
    QPushButton *ZoomUnDoButton = nullptr;
    TQNSuperSpin *Diapazon_QNSuperSpin = nullptr;
    TRadioGroup *TypeRadioGroup = nullptr;
    QCheckBox *MarkersEnableCheckBox = nullptr;
    TRadioGroup *ChooseMarkerRadioGroup = nullptr;
    QLineEdit *A1_Edit = nullptr;
    QLineEdit *T1_Edit = nullptr;
    QLineEdit *A2_Edit = nullptr;
    QLineEdit *T2_Edit = nullptr;
    QLineEdit *DA_Edit = nullptr;
    QLineEdit *DT_Edit = nullptr;
    // The page "Характеристики": impedance and pulse figures of the record.
    QWidget *FiguresPage = nullptr;
    TChart *ImpedanceChart = nullptr;
    TChart *PulseChart = nullptr;
    QPushButton *CalculateFiguresBitBtn = nullptr;
    QLabel *FrLabel = nullptr, *FaLabel = nullptr, *ZrLabel = nullptr, *ZaLabel = nullptr;
    QLabel *KeffLabel = nullptr, *C0Label = nullptr;
    QGroupBox *PulseBox = nullptr;
    QLabel *PeakLabel = nullptr, *FcLabel = nullptr, *Bw6Label = nullptr, *Bw20Label = nullptr;
    QLabel *LengthLabel = nullptr, *EnvelopePeakLabel = nullptr;
    QLabel *FiguresStretchLabel = nullptr; // the stretch analysed, and why a figure is missing
    const RecordFigures &Figures() const { return FFigures; }
    QMenu *PopupMenu1 = nullptr;
    QAction *N3 = nullptr; // "Сохранить в буфер"
    QAction *N8 = nullptr; // "Записать в файл"
    QAction *SaveDataAction = nullptr; // "Сохранить данные (CSV)": the record or the spectrum
    // The chart on which the context menu was last opened.
    TChart *MenuChart() const { return FMenuChart; }
    bool SpectrumRunning() const { return static_cast<bool>(FSpectrumCancel); }
    // Stops a spectrum computation in progress (the program is closing); the spectrum stays empty.
    void CancelSpectrum();

    // --- the user did something
    void FormCreate();
    void TypeRadioGroupClick();
    void Diapazon_QNSuperSpinChange();
    void ZoomUnDoButtonClick();
    void N3Click();
    void N8Click();
    void SaveDataClick();
    void MarkersEnableCheckBoxClick();
    void ChartMouseMove(QMouseEvent *event);
    void ChartMouseDown(QMouseEvent *event);
    void CalculateSpectrBitBtnClick();
    // Computes the figures of the whole record, or of the stretch between the markers when
    // "Использовать маркеры" is checked, for the signal chosen in "Выбор графика".
    void CalculateFiguresBitBtnClick();

protected:
    // A click in "Диапазон (В) или (А)" applies the range again (it may have been zoomed away).
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void BuildControls();
    void BuildSeries();
    void BuildFiguresPage(); // ElectroFigures.cpp
    void ShowFiguresSignal(); // the pulse box's caption: the figures' signal, or the chosen one before any
    void ShowFigures();
    void WriteFiguresCsv(TChart *chart, std::ostream &out) const;
    // --- show new state
    void MoveMarker(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers);
    void ShowReadouts();
    void ApplyVerticalRange();

    TSignalRecord FRecord;
    RecordFigures FFigures;
    RecordStretch FFiguresStretch;
    int FFiguresSignal = SignalIndex(FRecord.Signals(), "Upep");
    bool FFiguresComputed = false;
    QString FPictureFolder;
    TChart *FMenuChart = nullptr;
    // Set while a spectrum is being computed; the computation stops when it turns true.
    std::shared_ptr<bool> FSpectrumCancel;
};
