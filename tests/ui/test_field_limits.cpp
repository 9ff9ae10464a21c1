// SPDX-License-Identifier: GPL-3.0-or-later
// Leaving a numeric field whose value equals one of its limits: the value is inside the range, so
// the focus leaves by mouse, Tab and Shift+Tab alike. Driven with real events on the parameter
// window's "Резистор RL (Ом)" field (limits 0.01 and 100000) and on a field with fractional limits
// at both ends.
#include <gtest/gtest.h>

#include <QApplication>
#include <QTabWidget>
#include <QTest>
#include <QVBoxLayout>
#include <memory>

#include "TestFormat.h"
#include "app/Platform.h"
#include "parameters/ParametersUnit.h"
#include "text/FormatSettings.h"
#include "widgets/QNSuperSpin.h"

namespace {

int beeps = 0;
void CountBeep() {
    ++beeps;
}

enum class LeaveBy { ClickElsewhere, Tab, ShiftTab };

struct Case {
    char32_t dec, thousands;
    LeaveBy leave;
};

std::string CaseName(const ::testing::TestParamInfo<Case> &info) {
    const char *how[] = {"Click", "Tab", "ShiftTab"};
    return std::string(info.param.dec == U',' ? "Comma" : "Point") + how[static_cast<int>(info.param.leave)];
}

class FieldLimitsTest : public ::testing::TestWithParam<Case> {
protected:
    void SetUp() override {
        saved_ = TestFormat();
        TestFormat() = FormatSettings{GetParam().dec, GetParam().thousands};
        oldBeep_ = SetMessageBeepFunction(&CountBeep);
        beeps = 0;
    }
    void TearDown() override {
        SetMessageBeepFunction(oldBeep_);
        TestFormat() = saved_;
    }
    // "0.01" with the decimal separator under test.
    QString D(QString s) const { return s.replace('.', QString::fromUcs4(&GetParam().dec, 1)); }

    static void ClickInto(QWidget *w) {
        QTest::mouseClick(w, Qt::LeftButton, {}, QPoint(8, w->height() / 2));
        QApplication::processEvents();
    }
    // Leaves `field` the way the case says; `neighbour` is the control a click goes to.
    void Leave(QWidget *field, QWidget *neighbour) {
        switch (GetParam().leave) {
        case LeaveBy::ClickElsewhere:
            ClickInto(neighbour);
            break;
        case LeaveBy::Tab:
            QTest::keyClick(field, Qt::Key_Tab);
            break;
        case LeaveBy::ShiftTab:
            QTest::keyClick(field, Qt::Key_Backtab, Qt::ShiftModifier);
            break;
        }
        // A refused value puts the focus back through a queued call: let it run.
        QApplication::processEvents();
        QApplication::processEvents();
    }
    // Types `text` into `field` after entering it by mouse (which selects the whole text).
    void TypeInto(TQNSuperSpin *field, const QString &text) {
        ClickInto(field);
        ASSERT_TRUE(field->hasFocus());
        QTest::keyClicks(field, text);
    }

    FormatSettings saved_;
    MessageBeepFunction oldBeep_ = nullptr;
};

INSTANTIATE_TEST_SUITE_P(
    Separators, FieldLimitsTest,
    ::testing::Values(Case{U',', U'\u00A0', LeaveBy::ClickElsewhere}, Case{U',', U'\u00A0', LeaveBy::Tab},
                      Case{U',', U'\u00A0', LeaveBy::ShiftTab}, Case{U'.', U',', LeaveBy::ClickElsewhere},
                      Case{U'.', U',', LeaveBy::Tab}, Case{U'.', U',', LeaveBy::ShiftTab}),
    CaseName);

TEST_P(FieldLimitsTest, RlLeavesAtItsInitialValueAndAfterTypedOrClampedLimits) {
    TParametersForm form(&TestFormat());
    form.ElMechPageControl->setCurrentIndex(0);
    form.show();
    form.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    TQNSuperSpin *rl = form.Electro_RL_QNSuperSpin;
    TQNSuperSpin *r = form.Electro_R_QNSuperSpin;
    ASSERT_EQ(rl->text(), D("0.01"));

    // The initial value, equal to the minimum.
    ClickInto(rl);
    ASSERT_TRUE(rl->hasFocus());
    Leave(rl, r);
    EXPECT_FALSE(rl->hasFocus()) << "initial 0,01";
    EXPECT_EQ(beeps, 0);
    EXPECT_EQ(rl->text(), D("0.01"));

    // The minimum typed.
    TypeInto(rl, D("0.01"));
    EXPECT_EQ(rl->text(), D("0.01"));
    Leave(rl, r);
    EXPECT_FALSE(rl->hasFocus()) << "typed 0,01";
    EXPECT_EQ(beeps, 0);

    // Below the minimum: clamped with a beep and the focus back; then it leaves normally.
    TypeInto(rl, "0");
    Leave(rl, r);
    EXPECT_TRUE(rl->hasFocus());
    EXPECT_EQ(beeps, 1);
    EXPECT_EQ(rl->text(), D("0.01"));
    Leave(rl, r);
    EXPECT_FALSE(rl->hasFocus()) << "clamped to 0,01";
    EXPECT_EQ(beeps, 1);

    // The maximum typed, and above it clamped to it; both leave.
    TypeInto(rl, "100000");
    Leave(rl, r);
    EXPECT_FALSE(rl->hasFocus()) << "typed 100000";
    EXPECT_EQ(beeps, 1);
    TypeInto(rl, "100001");
    Leave(rl, r);
    EXPECT_TRUE(rl->hasFocus());
    EXPECT_EQ(beeps, 2);
    EXPECT_EQ(static_cast<double>(rl->GetValue()), 100000.0);
    Leave(rl, r);
    EXPECT_FALSE(rl->hasFocus()) << "clamped to 100000";
    EXPECT_EQ(beeps, 2);

    // A value inside the range has always left.
    TypeInto(rl, D("0.02"));
    Leave(rl, r);
    EXPECT_FALSE(rl->hasFocus()) << "typed 0,02";
    EXPECT_EQ(beeps, 2);
}

// Limits that no double holds exactly, at both ends: 0.1 and 0.7 as layout constants.
TEST_P(FieldLimitsTest, FractionalLimitsAtBothEndsAreInside) {
    TFormatWindow window;
    auto *layout = new QVBoxLayout(&window);
    auto *before = new TQNSuperSpin(&window);
    auto *field = new TQNSuperSpin(&window);
    auto *after = new TQNSuperSpin(&window);
    for (TQNSuperSpin *f : {before, field, after})
        layout->addWidget(f);
    field->SetLimits(0.1, 0.7);
    field->SetMaxLength(8);
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    // Shift+Tab leaves for the field before, Tab and a click for the one after.
    QWidget *neighbour = after;

    for (const char *limit : {"0.1", "0.7"}) {
        SCOPED_TRACE(limit);
        TypeInto(field, D(limit));
        Leave(field, neighbour);
        EXPECT_FALSE(field->hasFocus());
        EXPECT_EQ(beeps, 0);
        EXPECT_EQ(field->text(), D(limit));
    }
    TypeInto(field, D("0.05"));
    Leave(field, neighbour);
    EXPECT_TRUE(field->hasFocus());
    EXPECT_EQ(field->text(), D("0.1"));
    Leave(field, neighbour);
    EXPECT_FALSE(field->hasFocus());
    TypeInto(field, D("0.75"));
    Leave(field, neighbour);
    EXPECT_TRUE(field->hasFocus());
    EXPECT_EQ(field->text(), D("0.7"));
    Leave(field, neighbour);
    EXPECT_FALSE(field->hasFocus());
    EXPECT_EQ(beeps, 2);
}

} // namespace
