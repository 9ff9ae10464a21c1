// SPDX-License-Identifier: GPL-3.0-or-later
#include "charts/ChartMenu.h"

#include <QCoreApplication>
#include <QMenu>

#include "charts/ChartAdapter.h"

TChartMenu BuildChartMenu(QWidget *owner, const QString &objectName) {
    TChartMenu m;
    m.Menu = new QMenu(owner);
    m.Menu->setObjectName(objectName);
    // A popup has no caption of its own: without these, assistive technology announces a nameless menu.
    const QString name = QCoreApplication::translate("ChartFiles", "Меню графика");
    m.Menu->setAccessibleName(name);
    m.Menu->setWindowTitle(name);
    m.Heading = m.Menu->addAction(QCoreApplication::translate("ChartFiles", "Картинка"));
    m.Heading->setEnabled(false);
    m.Menu->addSeparator();
    m.ToClipboard = m.Menu->addAction(QCoreApplication::translate("ChartFiles", "Сохранить в буфер"));
    m.ToClipboard->setObjectName(QStringLiteral("N3"));
    m.ToFile = m.Menu->addAction(QCoreApplication::translate("ChartFiles", "Записать в файл"));
    m.ToFile->setObjectName(QStringLiteral("N8"));
    m.Menu->addSeparator();
    m.SaveData = m.Menu->addAction(QCoreApplication::translate("ChartFiles", "Сохранить данные (CSV)"));
    m.SaveData->setObjectName(QStringLiteral("SaveDataAction"));
    return m;
}

void AttachChartMenu(QMenu *menu, TChart *chart, const std::function<void(TChart *)> &opening) {
    chart->setContextMenuPolicy(Qt::CustomContextMenu);
    QObject::connect(chart, &QWidget::customContextMenuRequested, menu,
                     [menu, chart, opening](const QPoint &pos) {
                         if (opening)
                             opening(chart);
                         menu->popup(chart->mapToGlobal(pos));
                     });
}
