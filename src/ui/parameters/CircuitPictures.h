// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The two pictures of the parameter window, drawn by the program so that they scale and stay
// crisp: the generator circuit with its model, and the layer stack as a cut cylinder.

#include <QWidget>

// Circuit А) (the generator) and Б) (its model), joined by an arrow. Designed at 697 x 281.
class TSchemePicture : public QWidget {
    Q_OBJECT
public:
    explicit TSchemePicture(QWidget *parent = nullptr);
    QSize sizeHint() const override { return {697, 281}; }

protected:
    void paintEvent(QPaintEvent *event) override;
};

// The layer stack as a cylinder cut into coloured, labelled discs. Designed at 513 x 177.
class TMechanicPicture : public QWidget {
    Q_OBJECT
public:
    explicit TMechanicPicture(QWidget *parent = nullptr);
    QSize sizeHint() const override { return {513, 177}; }

protected:
    void paintEvent(QPaintEvent *event) override;
};
