// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the charts' context menus write to files: pictures (BMP by default, PNG or PDF by the
// name's extension) and data tables (CSV), with the save dialogs that ask for the names.

#include <QString>

class QWidget;
class TChart;

// The picture save dialog: BMP first (the default), PNG and PDF. Returns the name or "" for a cancel.
QString AskPictureFileName(QWidget *parent, const QString &title, const QString &folder);
// The data save dialog (CSV). Returns the name or "" for a cancel.
QString AskDataFileName(QWidget *parent, const QString &folder);

// Writes the chart's picture on white: PNG or PDF when the name says so, BMP otherwise.
bool SaveChartPicture(TChart *chart, const QString &path);

// Writes text (UTF-8) through a temporary file; false on failure.
bool SaveDataText(const QString &path, const std::string &text);
