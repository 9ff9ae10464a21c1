// SPDX-License-Identifier: GPL-3.0-or-later
#include "charts/ChartFiles.h"

#include <QCoreApplication>
#include <QFileDialog>
#include <QFileInfo>

#include "charts/ChartAdapter.h"
#include "files/AtomicFile.h"

namespace {

QString AskFile(QWidget *parent, const QString &title, const QString &folder, const QStringList &filters,
                const QString &suffix) {
    QFileDialog dialog(parent, title, folder);
    dialog.setNameFilters(filters);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(suffix);
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    // The extension of the chosen filter, unless the name has one of its own.
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, [&dialog](const QString &filter) {
        const int star = filter.indexOf(QStringLiteral("*."));
        if (star >= 0)
            dialog.setDefaultSuffix(filter.mid(star + 2, filter.indexOf(QLatin1Char(')'), star) - star - 2));
    });
    return dialog.exec() == QDialog::Accepted ? dialog.selectedFiles().value(0) : QString();
}

} // namespace

QString AskPictureFileName(QWidget *parent, const QString &title, const QString &folder) {
    return AskFile(parent, title, folder,
                   {QCoreApplication::translate("ChartFiles", "Точечный рисунок (*.bmp)"),
                    QCoreApplication::translate("ChartFiles", "Рисунок PNG (*.png)"),
                    QCoreApplication::translate("ChartFiles", "Документ PDF (*.pdf)")},
                   QStringLiteral("bmp"));
}

QString AskDataFileName(QWidget *parent, const QString &folder) {
    return AskFile(parent, QCoreApplication::translate("ChartFiles", "Сохранить данные в файл"), folder,
                   {QCoreApplication::translate("ChartFiles", "Таблица CSV (*.csv)")}, QStringLiteral("csv"));
}

bool SaveChartPicture(TChart *chart, const QString &path) {
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QStringLiteral("pdf")) {
        chart->RefreshNow();
        return chart->savePdf(path, chart->width(), chart->height());
    }
    if (suffix == QStringLiteral("png")) {
        const QImage image = chart->Picture().toImage();
        return !image.isNull() && image.save(path, "PNG");
    }
    return chart->SavePictureBmp(path);
}

bool SaveDataText(const QString &path, const std::string &text) {
    return WriteFileAtomically(QFile::encodeName(path).toStdString(), text);
}
