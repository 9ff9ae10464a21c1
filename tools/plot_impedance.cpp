// SPDX-License-Identifier: GPL-3.0-or-later
// Draws impedance curves from CSV files (f_MHz, absZ_Ohm, absZ_analytic_Ohm, ... with a header row)
// into a PNG: for each file the computed |Z| as a solid line and the analytic one dashed, on a
// logarithmic axis. Used for the validation pictures in docs/.
//
//   pep_plot_impedance OUT.png FMIN_MHZ FMAX_MHZ NAME=FILE.csv [NAME=FILE.csv ...]
#include <QApplication>
#include <QFile>
#include <QTextStream>
#include <qcustomplot.h>

#include <cstdio>

namespace {

struct Curves {
    QVector<double> f, computed, analytic;
};

bool ReadCsv(const QString &path, double fmin, double fmax, Curves &c) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return false;
    QTextStream in(&file);
    in.readLine(); // header
    while (!in.atEnd()) {
        const QStringList cells = in.readLine().split(',');
        if (cells.size() < 3)
            continue;
        const double f = cells[0].toDouble();
        if (f < fmin || f > fmax)
            continue;
        c.f.append(f);
        c.computed.append(cells[1].toDouble());
        c.analytic.append(cells[2].toDouble());
    }
    return !c.f.isEmpty();
}

} // namespace

int main(int argc, char **argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc < 5) {
        std::fprintf(stderr, "usage: %s OUT.png FMIN_MHZ FMAX_MHZ NAME=FILE.csv ...\n", argv[0]);
        return 2;
    }
    const QString out = QString::fromLocal8Bit(argv[1]);
    const double fmin = QString(argv[2]).toDouble(), fmax = QString(argv[3]).toDouble();

    QCustomPlot plot;
    plot.resize(900, 560);
    plot.legend->setVisible(true);
    // Below the curves, where the capacitive branch above 1 Ω leaves the chart empty.
    plot.axisRect()->insetLayout()->setInsetAlignment(0, Qt::AlignBottom | Qt::AlignRight);
    plot.xAxis->setLabel("f, МГц");
    plot.yAxis->setLabel("|Z|, Ом");
    plot.yAxis->setScaleType(QCPAxis::stLogarithmic);
    plot.yAxis->setTicker(QSharedPointer<QCPAxisTickerLog>(new QCPAxisTickerLog));
    const QColor colours[] = {Qt::black, QColor(200, 0, 0), QColor(0, 0, 200), QColor(0, 130, 0)};
    for (int i = 4; i < argc; ++i) {
        const QString arg = QString::fromLocal8Bit(argv[i]);
        const qsizetype eq = arg.indexOf('=');
        const QString name = arg.left(eq), path = arg.mid(eq + 1);
        Curves c;
        if (eq <= 0 || !ReadCsv(path, fmin, fmax, c)) {
            std::fprintf(stderr, "cannot read %s\n", qPrintable(path));
            return 1;
        }
        const QColor colour = colours[(i - 4) % 4];
        QCPGraph *computed = plot.addGraph();
        computed->setData(c.f, c.computed, true);
        computed->setPen(QPen(colour, 1));
        computed->setName(name + ": расчет");
        QCPGraph *analytic = plot.addGraph();
        analytic->setData(c.f, c.analytic, true);
        analytic->setPen(QPen(colour, 1, Qt::DashLine));
        analytic->setName(name + ": аналитически");
    }
    plot.rescaleAxes();
    plot.xAxis->setRange(fmin, fmax);
    return plot.savePng(out, 900, 560) ? 0 : 1;
}
