// SPDX-License-Identifier: GPL-3.0-or-later
#include "parameters/CircuitPictures.h"

#include <cmath>

#include <QCoreApplication>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

namespace {

// Both pictures are drawn in their design coordinates and scaled to the widget.
constexpr double kShemeW = 697, kShemeH = 281;
constexpr double kStackW = 513, kStackH = 177;

const QColor kInk(20, 20, 20);

void Wire(QPainter &p, std::initializer_list<QPointF> pts) {
    const QPolygonF line(pts);
    p.drawPolyline(line);
}

void Dot(QPainter &p, QPointF at) {
    p.save();
    p.setBrush(kInk);
    p.drawEllipse(at, 2.6, 2.6);
    p.restore();
}

void Text(QPainter &p, QPointF at, const QString &s) {
    p.drawText(at, s);
}

// Vertical resistor from (x, y0) to (x, y1), body centred at yc.
void ResistorV(QPainter &p, double x, double y0, double y1, double yc, const QString &label,
               bool variable = false) {
    Wire(p, {{x, y0}, {x, yc - 18}});
    Wire(p, {{x, yc + 18}, {x, y1}});
    p.drawRect(QRectF(x - 6, yc - 18, 12, 36));
    if (variable) {
        // Diagonal arrow through the body: a resistance that changes with time.
        const QPointF a(x - 14, yc + 16), b(x + 13, yc - 17);
        Wire(p, {a, b});
        p.save();
        p.setBrush(kInk);
        p.drawPolygon(QPolygonF({b, b + QPointF(-8.5, 2.5), b + QPointF(-2.5, 8.0)}));
        p.restore();
    }
    if (!label.isEmpty())
        Text(p, {x + 10, yc + 5}, label);
}

// Vertical inductance: four half-turns bulging to the right.
void InductorV(QPainter &p, double x, double y0, double y1, double yc, const QString &label) {
    const double turn = 10, top = yc - 2 * turn;
    Wire(p, {{x, y0}, {x, top}});
    for (int i = 0; i < 4; ++i)
        p.drawArc(QRectF(x - turn / 2, top + i * turn, turn, turn), 90 * 16, -180 * 16);
    Wire(p, {{x, top + 4 * turn}, {x, y1}});
    Text(p, {x + 10, yc + 5}, label);
}

// Horizontal capacitor from (x0, y) to (x1, y).
void CapacitorH(QPainter &p, double y, double x0, double x1, const QString &label) {
    const double xc = (x0 + x1) / 2;
    Wire(p, {{x0, y}, {xc - 4, y}});
    Wire(p, {{xc + 4, y}, {x1, y}});
    p.save();
    QPen thick = p.pen();
    thick.setWidthF(2.4);
    p.setPen(thick);
    Wire(p, {{xc - 4, y - 11}, {xc - 4, y + 11}});
    Wire(p, {{xc + 4, y - 11}, {xc + 4, y + 11}});
    p.restore();
    Text(p, {xc - 4, y - 16}, label);
}

// Piezo transducer: a crystal between two electrodes, vertical from y0 to y1.
void TransducerV(QPainter &p, double x, double y0, double y1, double yc, const QString &label) {
    Wire(p, {{x, y0}, {x, yc - 10}});
    Wire(p, {{x, yc + 10}, {x, y1}});
    p.save();
    QPen thick = p.pen();
    thick.setWidthF(2.4);
    p.setPen(thick);
    Wire(p, {{x - 11, yc - 10}, {x + 11, yc - 10}});
    Wire(p, {{x - 11, yc + 10}, {x + 11, yc + 10}});
    p.restore();
    p.drawRect(QRectF(x - 7, yc - 6, 14, 12));
    Text(p, {x + 15, yc + 5}, label);
}

void Ground(QPainter &p, double x, double y) {
    Wire(p, {{x, y}, {x, y + 8}});
    Wire(p, {{x - 10, y + 8}, {x + 10, y + 8}});
    Wire(p, {{x - 6, y + 12}, {x + 6, y + 12}});
    Wire(p, {{x - 2, y + 16}, {x + 2, y + 16}});
}

void Terminal(QPainter &p, QPointF at) {
    p.save();
    p.setBrush(Qt::white);
    p.drawEllipse(at, 3.5, 3.5);
    p.restore();
}

// NPN switch: base bar at x, collector up to (xc, yTop), emitter down to (xc, yBottom).
void TransistorNpn(QPainter &p, double x, double y, double xc, double yTop, double yBottom) {
    p.drawEllipse(QPointF(x + 9, y), 22, 22);
    p.save();
    QPen thick = p.pen();
    thick.setWidthF(2.6);
    p.setPen(thick);
    Wire(p, {{x, y - 12}, {x, y + 12}});
    p.restore();
    Wire(p, {{x, y - 6}, {xc, y - 18}, {xc, yTop}});
    const QPointF e(xc, y + 18);
    Wire(p, {{x, y + 6}, e, {xc, yBottom}});
    // Emitter arrow pointing out of the device.
    const QPointF dir = QPointF(xc - x, 12) / std::hypot(xc - x, 12.0);
    const QPointF normal(-dir.y(), dir.x());
    const QPointF tip = QPointF(x, y + 6) + dir * 17;
    p.save();
    p.setBrush(kInk);
    p.drawPolygon(QPolygonF({tip, tip - dir * 7 + normal * 3.5, tip - dir * 7 - normal * 3.5}));
    p.restore();
}

// Pulse source: a circle with one rectangular pulse drawn inside.
void PulseSource(QPainter &p, QPointF c) {
    p.drawEllipse(c, 14, 14);
    Wire(p, {c + QPointF(-9, 5), c + QPointF(-4, 5), c + QPointF(-4, -5), c + QPointF(4, -5),
             c + QPointF(4, 5), c + QPointF(9, 5)});
}

void BlockArrow(QPainter &p, double x0, double x1, double y) {
    const double head = 16, half = 6, headHalf = 14;
    p.save();
    p.setBrush(QColor(210, 210, 210));
    p.drawPolygon(QPolygonF({{x0, y - half},
                             {x1 - head, y - half},
                             {x1 - head, y - headHalf},
                             {x1, y},
                             {x1 - head, y + headHalf},
                             {x1 - head, y + half},
                             {x0, y + half}}));
    p.restore();
}

// Circuit А): the generator as built.
void DrawGenerator(QPainter &p) {
    const double bus = 248, top = 110;
    QFont bold = p.font();
    bold.setBold(true);
    p.save();
    p.setFont(bold);
    Text(p, {8, 20}, QCoreApplication::translate("CircuitPictures", "А)"));
    p.restore();

    Terminal(p, {110, 30});
    Text(p, {76, 35}, QStringLiteral("U0"));
    ResistorV(p, 110, 33.5, top, 70, QStringLiteral("R1"));
    Dot(p, {110, top});

    TransistorNpn(p, 92, 150, 110, top, bus);
    Text(p, {135, 170}, QStringLiteral("VT"));
    PulseSource(p, {40, 150});
    Wire(p, {{54, 150}, {92, 150}});
    Wire(p, {{40, 164}, {40, bus}});
    Text(p, {14, 126}, QCoreApplication::translate("CircuitPictures", "ЗИ"));

    CapacitorH(p, top, 110, 200, QStringLiteral("C"));
    Dot(p, {200, top});
    Wire(p, {{200, top}, {310, top}});
    Dot(p, {255, top});
    ResistorV(p, 200, top, bus, 180, QStringLiteral("R"));
    InductorV(p, 255, top, bus, 180, QStringLiteral("L"));
    ResistorV(p, 310, top, 165, 138, QStringLiteral("RL"));
    TransducerV(p, 310, 165, bus, 206, QCoreApplication::translate("CircuitPictures", "ПЭП"));

    Wire(p, {{40, bus}, {310, bus}});
    for (double x : {110.0, 200.0, 255.0})
        Dot(p, {x, bus});
    Ground(p, 160, bus);
}

// Circuit Б): the model the calculation advances.
void DrawModel(QPainter &p) {
    const double bus = 248, top = 110;
    QFont bold = p.font();
    bold.setBold(true);
    p.save();
    p.setFont(bold);
    Text(p, {392, 20}, QCoreApplication::translate("CircuitPictures", "Б)"));
    p.restore();

    Dot(p, {440, top});
    Text(p, {424, top - 10}, QStringLiteral("U0"));
    ResistorV(p, 440, top, bus, 180, QString(), true);
    Text(p, {458, 205}, QStringLiteral("Rv(t)"));

    CapacitorH(p, top, 440, 525, QStringLiteral("C"));
    Dot(p, {525, top});
    Text(p, {519, top - 10}, QStringLiteral("U1"));
    Wire(p, {{525, top}, {632, top}});
    Dot(p, {578, top});
    ResistorV(p, 525, top, bus, 180, QStringLiteral("R"));
    InductorV(p, 578, top, bus, 180, QStringLiteral("L"));
    ResistorV(p, 632, top, 165, 138, QStringLiteral("RL"));
    TransducerV(p, 632, 165, bus, 206, QString());
    Text(p, {648, 200}, QCoreApplication::translate("CircuitPictures", "ПЭП"));
    Text(p, {648, 220}, QCoreApplication::translate("CircuitPictures", "Uпэп"));

    Wire(p, {{440, bus}, {632, bus}});
    for (double x : {525.0, 578.0})
        Dot(p, {x, bus});
    Ground(p, 500, bus);
}

struct Disc {
    double x0, x1;
    QColor colour;
};

// One disc of the cylinder: the region between the visible halves of its two end ellipses.
void DrawDisc(QPainter &p, const Disc &d, double top, double height, double rx) {
    QPainterPath body;
    body.moveTo(d.x0, top);
    body.lineTo(d.x1, top);
    body.arcTo(QRectF(d.x1 - rx, top, 2 * rx, height), 90, -180);
    body.lineTo(d.x0, top + height);
    body.arcTo(QRectF(d.x0 - rx, top, 2 * rx, height), -90, 180);
    body.closeSubpath();
    QLinearGradient shade(0, top, 0, top + height);
    shade.setColorAt(0.0, d.colour.darker(115));
    shade.setColorAt(0.3, d.colour.lighter(125));
    shade.setColorAt(1.0, d.colour.darker(150));
    p.setBrush(shade);
    p.drawPath(body);
}

void Leader(QPainter &p, QPointF from, QPointF to) {
    Wire(p, {from, to});
    p.save();
    p.setBrush(kInk);
    p.drawEllipse(to, 1.8, 1.8);
    p.restore();
}

} // namespace

TSchemePicture::TSchemePicture(QWidget *parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAccessibleName(QCoreApplication::translate("CircuitPictures", "Электрическая схема"));
}

void TSchemePicture::paintEvent(QPaintEvent *) {
    QPainter p(this);
    p.fillRect(rect(), Qt::white);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.scale(width() / kShemeW, height() / kShemeH);
    QFont f = font();
    f.setPixelSize(13);
    p.setFont(f);
    QPen pen(kInk, 1.4);
    pen.setCapStyle(Qt::FlatCap);
    pen.setJoinStyle(Qt::MiterJoin);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    DrawGenerator(p);
    BlockArrow(p, 342, 380, 170);
    DrawModel(p);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(150, 150, 150), 1));
    p.drawRect(QRectF(0.5, 0.5, kShemeW - 1, kShemeH - 1));
}

TMechanicPicture::TMechanicPicture(QWidget *parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAccessibleName(QCoreApplication::translate("CircuitPictures", "Слои преобразователя"));
}

void TMechanicPicture::paintEvent(QPaintEvent *) {
    QPainter p(this);
    p.fillRect(rect(), Qt::white);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.scale(width() / kStackW, height() / kStackH);
    QFont f = font();
    f.setPixelSize(13);
    p.setFont(f);
    p.setPen(QPen(kInk, 1.2));

    const double top = 40, height = 96, rx = 15;
    const Disc discs[] = {
        {24, 150, QColor(125, 110, 95)},   // демпфер
        {150, 176, QColor(255, 221, 0)},   // пъезоэлемент
        {176, 200, QColor(40, 170, 60)},   // протектор
        {200, 214, QColor(0, 225, 255)},   // слой жидкости
        {214, 488, QColor(168, 168, 168)}, // изделие
    };
    // The free end face of the backing, seen from the left.
    QLinearGradient face(0, top, 0, top + height);
    face.setColorAt(0, discs[0].colour.darker(105));
    face.setColorAt(1, discs[0].colour.darker(170));
    p.setBrush(face);
    p.drawEllipse(QRectF(discs[0].x0 - rx, top, 2 * rx, height));
    for (const Disc &d : discs)
        DrawDisc(p, d, top, height, rx);

    const double mid = top + height / 2 + 5;
    p.setPen(QPen(Qt::white));
    Text(p, {62, mid}, QCoreApplication::translate("CircuitPictures", "демпфер"));
    p.setPen(QPen(kInk, 1));
    Text(p, {320, mid}, QCoreApplication::translate("CircuitPictures", "изделие"));

    Text(p, {44, 20}, QCoreApplication::translate("CircuitPictures", "пъезоэлемент"));
    Leader(p, {132, 22}, {163, 52});
    Text(p, {232, 20}, QCoreApplication::translate("CircuitPictures", "слой жидкости"));
    Leader(p, {230, 22}, {207, 52});
    Text(p, {158, 168}, QCoreApplication::translate("CircuitPictures", "протектор"));
    Leader(p, {188, 155}, {188, 124});
}
