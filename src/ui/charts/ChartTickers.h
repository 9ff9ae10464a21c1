// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Tick generators of the chart adapter's axes: labels in the program's number patterns.

#include <QString>
#include <QVector>
#include <cmath>

#include <qcustomplot.h>

#include "app/AppFormat.h"
#include "text/NumberText.h"

// Tick labels by the shared number pattern, with the separators in force when the axis is drawn.
// Ticks are kept no closer than the pattern's last digit, so that neighbouring labels differ
// wherever the range allows it.
class TPatternTicker : public QCPAxisTicker {
public:
    // fixedStep > 0: ticks at its multiples, whatever the range.
    // The labels take the separators of the window `chart` lies in.
    TPatternTicker(const QWidget *chart, const QString &pattern, double fixedStep = 0)
        : FChart(chart), FPattern(pattern), FResolution(Resolution(pattern)), FFixedStep(fixedStep) {}

protected:
    double getTickStep(const QCPRange &range) override {
        if (FFixedStep > 0)
            return FFixedStep;
        const double step = QCPAxisTicker::getTickStep(range);
        return step < FResolution && range.size() >= 2 * FResolution ? FResolution : step;
    }
    QString getTickLabel(double tick, const QLocale &, QChar, int) override {
        return FormatFloatQ(FChart, FPattern, tick);
    }
    // The axis' pattern while its labels stay short and tell the ticks apart; otherwise (a diverged
    // field of 1E+60, a range finer than the pattern's last digit) every label of the axis in a
    // short scientific form with as few mantissa digits as keep neighbours apart.
    QVector<QString> createLabelVector(const QVector<double> &ticks, const QLocale &, QChar, int) override {
        QVector<QString> labels = Labels(FPattern, ticks);
        if (!NeedsScientific(ticks, labels))
            return labels;
        for (int digits = 3;; ++digits) {
            labels = Labels(QStringLiteral("0.") + QString(digits, QLatin1Char('#')) + QStringLiteral("E+0"),
                            ticks);
            if (digits >= 15 || !HasEqualNeighbours(ticks, labels))
                return labels;
        }
    }

private:
    // Beyond this magnitude a grouped integer label runs across the plot.
    static constexpr double kLargestPlainTick = 1e9;

    QVector<QString> Labels(const QString &pattern, const QVector<double> &ticks) const {
        const FormatSettings fs = FormatOf(FChart);
        QVector<QString> labels;
        labels.reserve(ticks.size());
        for (double t : ticks)
            labels.append(QString::fromStdString(FormatFloat(pattern.toStdString(), t, fs)));
        return labels;
    }
    static bool HasEqualNeighbours(const QVector<double> &ticks, const QVector<QString> &labels) {
        for (qsizetype i = 1; i < ticks.size(); ++i)
            if (ticks[i] != ticks[i - 1] && labels[i] == labels[i - 1])
                return true;
        return false;
    }
    static bool NeedsScientific(const QVector<double> &ticks, const QVector<QString> &labels) {
        for (double t : ticks)
            if (!std::isfinite(t) || std::abs(t) >= kLargestPlainTick)
                return true;
        return HasEqualNeighbours(ticks, labels);
    }

    // 10^-d for d digit placeholders after the decimal point ("#,##0.00" -> 0.01); none for a
    // scientific pattern.
    static double Resolution(const QString &pattern) {
        if (pattern.contains(QLatin1String("E+")) || pattern.contains(QLatin1String("E-")))
            return 0;
        const qsizetype dot = pattern.indexOf(QLatin1Char('.'));
        int decimals = 0;
        for (qsizetype i = dot + 1; dot >= 0 && i < pattern.size(); ++i) {
            if (pattern[i] != QLatin1Char('0') && pattern[i] != QLatin1Char('#'))
                break;
            ++decimals;
        }
        return std::pow(10.0, -decimals);
    }

    const QWidget *FChart;
    QString FPattern;
    double FResolution;
    double FFixedStep;
};

// A logarithmic axis with plain labels in the axis' pattern. Over a decade or more the ticks sit at
// 1, 2 and 5 times the powers of ten (only the powers beyond three decades); within less than a
// decade, where a power of ten may not even show, at evenly spaced round values as on a linear
// axis.
class TLogPatternTicker : public TPatternTicker {
public:
    TLogPatternTicker(const QWidget *chart, const QString &pattern) : TPatternTicker(chart, pattern) {}

protected:
    QVector<double> createTickVector(double tickStep, const QCPRange &range) override {
        if (!Decades(range))
            return TPatternTicker::createTickVector(tickStep, range);
        const bool fine = std::log10(range.upper / range.lower) <= 3;
        QVector<double> ticks;
        for (int e = static_cast<int>(std::floor(std::log10(range.lower)));
             e <= static_cast<int>(std::ceil(std::log10(range.upper))); ++e)
            for (double m : {1.0, 2.0, 5.0})
                if (const double t = m * std::pow(10.0, e);
                    (m == 1.0 || fine) && t >= range.lower && t <= range.upper)
                    ticks.append(t);
        return ticks;
    }
    QVector<double> createSubTickVector(int subTickCount, const QVector<double> &ticks) override {
        return FLinear ? TPatternTicker::createSubTickVector(subTickCount, ticks) : QVector<double>();
    }
    double getTickStep(const QCPRange &range) override {
        FLinear = !Decades(range);
        return TPatternTicker::getTickStep(range);
    }

private:
    static bool Decades(const QCPRange &range) { return range.lower > 0 && range.upper >= 10 * range.lower; }
    bool FLinear = true;
};
