// SPDX-License-Identifier: GPL-3.0-or-later
// The integer spin field (redraw period) driven with QTest keys.
#include <gtest/gtest.h>

#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <climits>

#include "TestFormat.h"
#include "app/Platform.h"
#include "text/FormatSettings.h"
#include "widgets/SpinEdit.h"

namespace {

int beeps = 0;
void CountBeep() {
    ++beeps;
}

class SpinEditTest : public ::testing::TestWithParam<char32_t> {
protected:
    void SetUp() override {
        saved = TestFormat();
        TestFormat().DecimalSeparator = GetParam();
        TestFormat().ThousandSeparator = GetParam() == U',' ? U'\u00A0' : U',';
        oldBeep = SetMessageBeepFunction(&CountBeep);
        beeps = 0;
        window.show();
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
        edit.setFocus();
    }
    void TearDown() override {
        SetMessageBeepFunction(oldBeep);
        TestFormat() = saved;
    }
    QString Text() { return edit.findChild<QLineEdit *>()->text(); }
    void ReplaceAllBy(const QString &keys) {
        edit.selectAll();
        QTest::keyClicks(&edit, keys);
    }

    FormatSettings saved;
    MessageBeepFunction oldBeep = nullptr;
    TFormatWindow window;
    TSpinEdit edit{&window};
};

} // namespace

TEST_P(SpinEditTest, StartsAtTenWithoutLimits) {
    EXPECT_EQ(Text(), "10");
    EXPECT_EQ(edit.Value(), 10);
    QTest::keyClick(&edit, Qt::Key_Up);
    EXPECT_EQ(edit.Value(), 11);
    QTest::keyClick(&edit, Qt::Key_Down);
    QTest::keyClick(&edit, Qt::Key_Down);
    EXPECT_EQ(edit.Value(), 9);
    edit.SetValue(-5); // both limits 0: none apply
    EXPECT_EQ(edit.Value(), -5);
    edit.SetValue(INT_MAX);
    QTest::keyClick(&edit, Qt::Key_Up);
    EXPECT_EQ(edit.Value(), INT_MAX);
    EXPECT_EQ(beeps, 0);
}

TEST_P(SpinEditTest, KeyFilterAndReading) {
    const QString dec = QString::fromStdU32String(std::u32string(1, GetParam()));
    ReplaceAllBy("1" + dec + "5");
    EXPECT_EQ(Text(), "1" + dec + "5");
    EXPECT_EQ(edit.Value(), 0); // not an integer: reads as MinValue
    EXPECT_EQ(beeps, 0);
    ReplaceAllBy("2a x");
    EXPECT_EQ(Text(), "2");
    EXPECT_EQ(beeps, 3);
    ReplaceAllBy("+7");
    EXPECT_EQ(edit.Value(), 7);
    ReplaceAllBy("-12");
    EXPECT_EQ(edit.Value(), -12);
    ReplaceAllBy("99999999999");
    EXPECT_EQ(edit.Value(), 0);
    QTest::keyClick(&edit, Qt::Key_Return);
    EXPECT_EQ(beeps, 4);
    QTest::keyClick(&edit, Qt::Key_Backspace);
    EXPECT_EQ(Text(), "9999999999");
    EXPECT_EQ(beeps, 4);
}

TEST_P(SpinEditTest, LimitsApplyWhenMinAndMaxDiffer) {
    edit.SetMinValue(1);
    edit.SetMaxValue(20);
    edit.SetValue(50);
    EXPECT_EQ(edit.Value(), 20);
    QTest::keyClick(&edit, Qt::Key_Up);
    EXPECT_EQ(edit.Value(), 20);
    ReplaceAllBy("x");
    ReplaceAllBy("0");
    EXPECT_EQ(edit.Value(), 1);
    ReplaceAllBy("7-");
    EXPECT_EQ(Text(), "7-");
    EXPECT_EQ(edit.Value(), 1); // not an integer: MinValue
    ReplaceAllBy("15");
    EXPECT_EQ(edit.Value(), 15);
}

TEST_P(SpinEditTest, ChangeEventPerTextChange) {
    QSignalSpy spy(&edit, &TSpinEdit::OnChange);
    edit.SetValue(10);
    EXPECT_EQ(spy.count(), 0);
    QTest::keyClick(&edit, Qt::Key_Up);
    EXPECT_EQ(spy.count(), 1);
    ReplaceAllBy("25");
    EXPECT_EQ(spy.count(), 3);
}

INSTANTIATE_TEST_SUITE_P(Separators, SpinEditTest, ::testing::Values(U',', U'.'),
                         [](const auto &info) { return info.param == U',' ? "Comma" : "Point"; });
