// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The context menu of the charts, the same in every window: the heading "Картинка", then
// "Сохранить в буфер", "Записать в файл" and "Сохранить данные (CSV)".

#include <QString>
#include <functional>

class QAction;
class QMenu;
class QWidget;
class TChart;

struct TChartMenu {
    QMenu *Menu = nullptr;
    QAction *Heading = nullptr;     // "Картинка", not a command
    QAction *ToClipboard = nullptr; // "Сохранить в буфер", named N3
    QAction *ToFile = nullptr;      // "Записать в файл", named N8
    QAction *SaveData = nullptr;    // "Сохранить данные (CSV)", named SaveDataAction
};

// Builds the menu as a child of `owner`, named `objectName` for the project file and the tests,
// and "Меню графика" for screen readers.
TChartMenu BuildChartMenu(QWidget *owner, const QString &objectName);

// Opens `menu` where the user right-clicks `chart`; `opening` (if any) first learns which chart it
// is, for a menu shared by several charts.
void AttachChartMenu(QMenu *menu, TChart *chart, const std::function<void(TChart *)> &opening = {});
