// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The electrical-signal window under test, and the user's gestures on it.

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QCursor>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <cmath>
#include <numbers>
#include <vector>

#include "TestFormat.h"
#include "analysis/Spectrum.h"
#include "charts/ChartAdapter.h"
#include "main/AppEngine.h"
#include "main/EventYield.h"
#include "signals/ElectroUnit.h"
#include "solver/Yield.h"
#include "text/FormatSettings.h"
#include "widgets/QNSuperSpin.h"
#include "widgets/RadioGroup.h"

class ElectroForm : public ::testing::Test {
protected:
    void SetUp() override {
        FSavedFormat = TestFormat();
        FSavedDt = Engine.Solver().Dt;
        Engine.Solver().Dt = 0;
        Form = std::make_unique<TElectroForm>(&TestFormat());
    }
    void TearDown() override {
        Form.reset();
        TestFormat() = FSavedFormat;
        Engine.Solver().Dt = FSavedDt;
        Engine.Yield().SetHook(nullptr);
    }

    void ShowSignalsPage() {
        Form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(Form.get()));
        Form->PageControl->setCurrentWidget(Form->SignalsPage);
        QCoreApplication::processEvents();
        Form->Chart->RefreshNow();
    }

    // A task with the given step: samples of step k at k × Dt × 1e6 µs, as the run appends them.
    void AppendSteps(int steps, double dt, double (*u0)(int)) {
        Engine.Solver().Dt = dt;
        for (int k = 0; k < steps; ++k) {
            const double v = u0(k);
            Form->AppendSignals(k * Engine.Solver().Dt * 1e6, v, -v, 2 * v, v / 100, v / 200, v / 300);
        }
        Form->Chart->RefreshNow();
    }

    QPoint PixelOf(double tx, double ay) const {
        return QPoint(static_cast<int>(std::lround(Form->Chart->xAxis->coordToPixel(tx))),
                      static_cast<int>(std::lround(Form->Chart->yAxis->coordToPixel(ay))));
    }

    // A left-button drag on the signal chart from one axis position to another; the real pointer
    // follows the mouse.
    void Drag(double tx0, double tx1, double ay, Qt::KeyboardModifiers mods = {},
              Qt::MouseButton button = Qt::LeftButton, double ay1 = NAN) {
        TChart *c = Form->Chart;
        const QPoint p0 = PixelOf(tx0, ay), p1 = PixelOf(tx1, std::isnan(ay1) ? ay : ay1);
        QCursor::setPos(c->mapToGlobal(p0));
        QTest::mousePress(c, button, mods, p0);
        for (const QPoint &p : {(p0 + p1) / 2, p1}) {
            QCursor::setPos(c->mapToGlobal(p));
            // The keys held during the drag come with every move.
            QMouseEvent move(QEvent::MouseMove, QPointF(p), QPointF(c->mapToGlobal(p)), Qt::NoButton, button,
                             mods);
            QApplication::sendEvent(c, &move);
        }
        QTest::mouseRelease(c, button, mods, p1);
        QCoreApplication::processEvents();
    }
    void Click(double tx, double ay) { Drag(tx, tx, ay); }

    void ChooseMarker(int m) {
        QRadioButton *b = Form->ChooseMarkerRadioGroup->Button(m);
        QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(8, b->height() / 2));
    }
    void ChooseSignal(int item) {
        QRadioButton *b = Form->TypeRadioGroup->Button(item);
        QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(8, b->height() / 2));
    }
    void EnableMarkers(bool on) {
        if (Form->MarkersEnableCheckBox->isChecked() != on)
            QTest::mouseClick(Form->MarkersEnableCheckBox, Qt::LeftButton, {},
                              QPoint(8, Form->MarkersEnableCheckBox->height() / 2));
        ASSERT_EQ(Form->MarkersEnableCheckBox->isChecked(), on);
    }
    void TypeRange(const QString &text) {
        TQNSuperSpin *f = Form->Diapazon_QNSuperSpin;
        f->setFocus();
        f->selectAll();
        QTest::keyClicks(f, text);
    }
    void SetCentreAndWidth(long double centre, long double width) {
        Form->Middle_F_QNSuperSpin->SetValue(centre);
        Form->Width_F_QNSuperSpin->SetValue(width);
    }
    void PressCalculate() {
        QTest::mouseClick(Form->CalculateSpectrBitBtn, Qt::LeftButton);
        QCoreApplication::processEvents();
    }

    std::unique_ptr<TElectroForm> Form;
    FormatSettings FSavedFormat;
    double FSavedDt = 0;
};

inline QString Dec(const char *text) {
    QString s = QString::fromUtf8(text);
    return s.replace(QLatin1Char('.'), QString(QChar(char16_t(TestFormat().DecimalSeparator))));
}
