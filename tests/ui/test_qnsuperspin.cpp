// SPDX-License-Identifier: GPL-3.0-or-later
// The numeric entry field driven as a user drives it: QTest keys and mouse on the offscreen platform.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>
#include <random>

#include "TestFormat.h"
#include "app/Platform.h"
#include "text/Errors.h"
#include "text/FormatSettings.h"
#include "widgets/QNSuperSpin.h"

namespace {

int beeps = 0;
std::uint32_t clockMs = 100000;
void CountBeep() {
    ++beeps;
}
std::uint32_t FakeClock() {
    return clockMs;
}

const QString Nbsp = QString(QChar(0x00A0));

struct Separators {
    char32_t decimal;
    char32_t thousands;
};

class QNSuperSpinTest : public ::testing::TestWithParam<Separators> {
protected:
    void SetUp() override {
        savedFs = TestFormat();
        TestFormat() = FormatSettings{GetParam().decimal, GetParam().thousands};
        oldBeep = SetMessageBeepFunction(&CountBeep);
        oldClock = SetTickCountFunction(&FakeClock);
        beeps = 0;
        auto *layout = new QVBoxLayout(&window);
        field = new TQNSuperSpin(&window);
        field->setObjectName("Field_QNSuperSpin");
        other = new TQNSuperSpin(&window);
        elsewhere = new QPushButton("Далее", &window);
        layout->addWidget(field);
        layout->addWidget(other);
        layout->addWidget(elsewhere);
        for (TQNSuperSpin *f : {field, other}) {
            f->SetMaxValue(100000);
            f->SetMinValue(0);
            f->SetMaxLength(6);
        }
        window.show();
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
        elsewhere->setFocus();
    }
    void TearDown() override {
        SetMessageBeepFunction(oldBeep);
        SetTickCountFunction(oldClock);
        TestFormat() = savedFs;
    }
    QString Dec() const { return QString::fromStdU32String(std::u32string(1, GetParam().decimal)); }
    QString Sep() const { return QString::fromStdU32String(std::u32string(1, GetParam().thousands)); }
    // Enters the field by mouse, as a user does before typing.
    void ClickInto(TQNNumEdit *f) {
        QTest::mouseClick(f, Qt::LeftButton, {}, QPoint(8, f->height() / 2));
        ASSERT_TRUE(f->hasFocus());
    }
    void Leave() {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QApplication::processEvents();
    }
    QToolButton *Button(const char *name) { return field->findChild<QToolButton *>(name); }

    FormatSettings savedFs;
    MessageBeepFunction oldBeep = nullptr;
    TickCountFunction oldClock = nullptr;
    TFormatWindow window;
    TQNSuperSpin *field = nullptr;
    TQNSuperSpin *other = nullptr;
    QPushButton *elsewhere = nullptr;
};

} // namespace

TEST_P(QNSuperSpinTest, NewFieldShowsZeroAndEnteringSelectsAll) {
    EXPECT_EQ(field->text(), "0");
    EXPECT_EQ(field->alignment() & Qt::AlignHCenter, Qt::AlignHCenter);
    field->SetValue(123.5);
    ClickInto(field);
    EXPECT_EQ(field->selectedText(), "123" + Dec() + "5");
    QTest::keyClick(field, Qt::Key_Tab); // by keyboard too
    EXPECT_TRUE(other->hasFocus());
    EXPECT_EQ(other->selectedText(), "0");
}

TEST_P(QNSuperSpinTest, TypingRules) {
    ClickInto(field);
    QTest::keyClicks(field, "12a" + Dec() + "5");
    EXPECT_EQ(field->text(), "12" + Dec() + "5");
    EXPECT_EQ(beeps, 1);
    EXPECT_EQ(field->GetValue(), 12.5L);

    // The decimal separator typed into "125" after the "1" goes to the end, and so does the caret.
    field->SetValue(125);
    QTest::keyClick(field, Qt::Key_Home);
    QTest::keyClick(field, Qt::Key_Right);
    QTest::keyClicks(field, Dec());
    EXPECT_EQ(field->text(), "125" + Dec());
    EXPECT_EQ(field->cursorPosition(), 4);

    QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(field, Qt::Key_Delete);
    EXPECT_EQ(field->text(), "0");
    QTest::keyClicks(field, "-");
    EXPECT_EQ(field->text(), "-0");
    EXPECT_EQ(field->GetValue(), 0.0L);
    QTest::keyClicks(field, "5E");
    EXPECT_EQ(field->text(), "-5E");
    EXPECT_EQ(field->GetValue(), -5.0L);
    EXPECT_EQ(beeps, 1);

    // The other separator is refused in both settings.
    QTest::keyClicks(field, GetParam().decimal == U',' ? "." : ",");
    EXPECT_EQ(beeps, 2);
    EXPECT_EQ(field->text(), "-5E");
}

TEST_P(QNSuperSpinTest, LeavingRewritesTheTextAndAppliesTheLimits) {
    ClickInto(field);
    QTest::keyClicks(field, "1E3");
    Leave();
    EXPECT_EQ(field->text(), "1000");
    EXPECT_TRUE(other->hasFocus());

    ClickInto(field);
    QTest::keyClicks(field, "0" + Dec() + "50");
    Leave();
    EXPECT_EQ(field->text(), "0" + Dec() + "5");

    // Typed beyond the limit: read as typed while the focus is in the field, limited on leaving.
    ClickInto(field);
    QTest::keyClicks(field, "250000");
    EXPECT_EQ(field->GetValue(), 250000.0L);
    EXPECT_EQ(beeps, 0);
    Leave();
    EXPECT_EQ(field->text(), "100000");
    EXPECT_EQ(beeps, 1);
    EXPECT_TRUE(field->hasFocus());

    // Values set by the program are not limited until the user enters and leaves the field.
    other->SetValue(-5);
    EXPECT_EQ(other->text(), "-5");
    EXPECT_EQ(other->GetValue(), -5.0L);
    QTest::keyClick(field, Qt::Key_Tab);
    EXPECT_TRUE(other->hasFocus());
    EXPECT_EQ(other->GetValue(), -5.0L);
    QTest::keyClick(other, Qt::Key_Backtab);
    QApplication::processEvents();
    EXPECT_EQ(other->text(), "0");
    EXPECT_EQ(beeps, 2);
    EXPECT_TRUE(other->hasFocus());
}

TEST_P(QNSuperSpinTest, ThousandsFieldRegroupsOnKeyRelease) {
    field->SetNumberFormat(TNumberFormat::Thousands);
    field->SetValue(1234);
    EXPECT_EQ(field->text(), "1" + Sep() + "234");
    ClickInto(field);
    QTest::keyClick(field, Qt::Key_End);
    QTest::keyClicks(field, "5");
    EXPECT_EQ(field->text(), "12" + Sep() + "345");
    EXPECT_EQ(field->cursorPosition(), field->text().size());
    QTest::keyClick(field, Qt::Key_Home);
    QTest::keyClick(field, Qt::Key_Right);
    QTest::keyClicks(field, "9");
    EXPECT_EQ(field->text(), "192" + Sep() + "345");
    EXPECT_EQ(field->text().left(field->cursorPosition()), "19"); // still right after the "9"
    QTest::keyClick(field, Qt::Key_Delete);                       // removes the "2"
    EXPECT_EQ(field->text(), "19" + Sep() + "345");
    EXPECT_EQ(field->text().mid(field->cursorPosition(), 2), Sep() + "3");
    EXPECT_EQ(field->GetValue(), 19345.0L);
    EXPECT_EQ(beeps, 0);
}

TEST_P(QNSuperSpinTest, HeldButtonRepeatsAndAccelerates) {
    QToolButton *up = Button("UpButton");
    ASSERT_NE(up, nullptr);
    QTest::mousePress(up, Qt::LeftButton);
    const QTimer *timer = field->SpinRepeatTimer();
    EXPECT_TRUE(timer->isActive());
    EXPECT_EQ(timer->interval(), 400);
    EXPECT_EQ(field->GetValue(), 0.0L); // nothing before the first repeat
    std::vector<long double> steps;
    long double last = 0;
    clockMs += 400;
    for (int i = 0; i < 10; ++i) {
        field->SpinRepeatTimeout(); // what the timer does, at the time the fake clock says
        EXPECT_EQ(timer->interval(), 100);
        steps.push_back(field->GetValue() - last);
        last = field->GetValue();
        clockMs += 100;
    }
    QTest::mouseRelease(up, Qt::LeftButton);
    EXPECT_FALSE(timer->isActive());
    EXPECT_EQ(field->GetValue(), last); // the release after repeats adds nothing
    EXPECT_EQ(steps, (std::vector<long double>{1, 1, 1, 1, 1, 1, 2, 2, 3, 3}));

    // A click spins once by the increment after a pause.
    clockMs += 1000;
    QTest::mouseClick(Button("DownButton"), Qt::LeftButton);
    EXPECT_EQ(field->GetValue(), last - 1);
    EXPECT_EQ(beeps, 0);
}

TEST_P(QNSuperSpinTest, HeldButtonRepeatsInRealTime) {
    SetTickCountFunction(nullptr);
    QToolButton *up = Button("UpButton");
    QTest::mousePress(up, Qt::LeftButton);
    QTest::qWait(200);
    EXPECT_EQ(field->GetValue(), 0.0L);
    EXPECT_TRUE(QTest::qWaitFor([&] { return field->GetValue() >= 2; }, 3000));
    QTest::mouseRelease(up, Qt::LeftButton);
    const long double held = field->GetValue();
    QTest::qWait(250);
    EXPECT_EQ(field->GetValue(), held);
}

TEST_P(QNSuperSpinTest, SpinningStopsAtTheLimitsWithABeep) {
    field->SetValue(99999.5L);
    QTest::mouseClick(Button("UpButton"), Qt::LeftButton);
    EXPECT_EQ(beeps, 1);
    EXPECT_EQ(field->text(), "99999" + Dec() + "5");
    EXPECT_TRUE(field->hasFocus());

    field->SetValue(0.2L);
    clockMs += 1000;
    QTest::keyClick(field, Qt::Key_Down);
    EXPECT_EQ(beeps, 2);
    EXPECT_EQ(field->text(), "0" + Dec() + "2");
    QTest::keyClick(field, Qt::Key_Up);
    EXPECT_EQ(field->text(), "1" + Dec() + "2");

    other->SetValue(-5); // below the minimum: spinning up brings it to the minimum, with a beep
    QTest::mouseClick(other->findChild<QToolButton *>("UpButton"), Qt::LeftButton);
    QApplication::processEvents();
    EXPECT_EQ(other->text(), "0");
    EXPECT_EQ(beeps, 3);
    EXPECT_TRUE(other->hasFocus());

    // Arrow keys held down accelerate; the release starts again from the increment.
    field->SetValue(0);
    clockMs += 1000;
    for (int i = 0; i < 8; ++i, clockMs += 50)
        QTest::keyPress(field, Qt::Key_Up);
    EXPECT_EQ(field->GetValue(), 10.0L); // 1+1+1+1+1+1+2+2
    QTest::keyRelease(field, Qt::Key_Up);
    QTest::keyClick(field, Qt::Key_Up);
    EXPECT_EQ(field->GetValue(), 11.0L);
}

TEST_P(QNSuperSpinTest, OnChangeOncePerTextChange) {
    QSignalSpy spy(field, &TQNNumEdit::OnChange);
    field->SetValue(5);
    EXPECT_EQ(spy.count(), 1);
    field->SetValue(5);
    field->SetValue(5.000000000000001L); // shows the same text
    EXPECT_EQ(spy.count(), 1);
    ClickInto(field);
    QTest::keyClicks(field, "12");
    EXPECT_EQ(spy.count(), 3);
    QTest::keyClicks(field, "x"); // refused: no change
    EXPECT_EQ(spy.count(), 3);
    QTest::keyClick(field, Qt::Key_Backspace);
    EXPECT_EQ(spy.count(), 4);
    QTest::keyClick(field, Qt::Key_Up);
    EXPECT_EQ(spy.count(), 5);
    // A regroup on key release is a text change of its own.
    field->SetNumberFormat(TNumberFormat::Thousands);
    field->SetValue(123);
    spy.clear();
    QTest::keyClick(field, Qt::Key_End);
    QTest::keyClicks(field, "4");
    EXPECT_EQ(field->text(), "1" + Sep() + "234");
    EXPECT_EQ(spy.count(), 2);
}

TEST_P(QNSuperSpinTest, ClipboardRules) {
    ClickInto(field);
    const QString sep = Dec();
    QApplication::clipboard()->setText("12a" + sep + "5");
    QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(field, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(field->text(), "12" + sep + "5");
    EXPECT_EQ(beeps, 1);

    field->SetNumberFormat(TNumberFormat::Thousands);
    field->SetValue(1234.5L);
    QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(field, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), "1234" + sep + "5");
    EXPECT_EQ(field->text(), "1" + Sep() + "234" + sep + "5");
    QApplication::clipboard()->clear();
    QTest::keyClick(field, Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), "1234" + sep + "5");
    EXPECT_EQ(field->text(), "0");
}

TEST_P(QNSuperSpinTest, NothingTypedOrPastedMakesGetValueFail) {
    const QString sep = Dec();
    const QStringList keys{"0", "1", "5", "9", "-", "E", "e", sep, ".", ",", "a", " ", "+"};
    const std::vector<Qt::Key> special{Qt::Key_Backspace, Qt::Key_Delete, Qt::Key_Left, Qt::Key_Right,
                                       Qt::Key_Home,      Qt::Key_End,    Qt::Key_Up,   Qt::Key_Down};
    std::mt19937 rng(12345);
    for (int maxLength : {6, 0}) {
        field->SetMaxLength(maxLength);
        field->SetValue(0);
        ClickInto(field);
        for (int i = 0; i < 1500; ++i) {
            const unsigned r = rng() % 30;
            if (r < keys.size() * 2)
                QTest::keyClicks(field, keys[static_cast<int>(r % keys.size())]);
            else if (r < 28)
                QTest::keyClick(field, special[rng() % special.size()],
                                rng() % 4 == 0 ? Qt::ShiftModifier : Qt::NoModifier);
            else {
                QApplication::clipboard()->setText(
                    QStringList{"9E4932", "-1" + sep + "5E-3", "x7"}[rng() % 3]);
                QTest::keyClick(field, Qt::Key_V, Qt::ControlModifier);
            }
            ASSERT_NO_THROW(field->GetValue()) << field->text().toStdString();
            ASSERT_FALSE(field->text().isEmpty());
        }
    }
}

TEST_P(QNSuperSpinTest, ProgramTextOutsideTheSyntaxFailsGetValue) {
    field->setText("abc");
    try {
        field->GetValue();
        FAIL() << "no error";
    } catch (const ConversionError &e) {
        EXPECT_STREQ(e.what(), "'abc' is not a valid floating point value");
    }
}

TEST_P(QNSuperSpinTest, EnterBeepsOrClicksTheDefaultButton) {
    ClickInto(field);
    QTest::keyClick(field, Qt::Key_Return);
    EXPECT_EQ(beeps, 1);
    auto *ok = new QPushButton("OK", &window);
    ok->setDefault(true);
    ok->show();
    QSignalSpy clicked(ok, &QPushButton::clicked);
    QTest::keyClick(field, Qt::Key_Enter);
    EXPECT_EQ(clicked.count(), 1);
    EXPECT_EQ(beeps, 1);
}

TEST_P(QNSuperSpinTest, DisabledAndReadOnlyFields) {
    field->SetValue(7);
    field->setEnabled(false);
    QTest::keyClicks(field, "5");
    QTest::mouseClick(Button("UpButton"), Qt::LeftButton);
    EXPECT_EQ(field->text(), "7");
    field->SetValue(8);
    EXPECT_EQ(field->GetValue(), 8.0L);
    field->setEnabled(true);

    field->setReadOnly(true);
    ClickInto(field);
    QTest::keyClicks(field, "5");
    EXPECT_EQ(beeps, 1);
    QTest::mouseClick(Button("UpButton"), Qt::LeftButton);
    EXPECT_EQ(beeps, 2);
    EXPECT_EQ(field->text(), "8");

    field->setReadOnly(false);
    field->SetEditorEnabled(false); // typing refused, spinning works
    QTest::keyClicks(field, "5");
    EXPECT_EQ(beeps, 3);
    QTest::keyClick(field, Qt::Key_Up);
    EXPECT_EQ(field->text(), "9");
}

TEST_P(QNSuperSpinTest, LooksLikeACompactSpinBox) {
    QWidget panel;
    panel.setStyleSheet("background: white");
    auto *layout = new QVBoxLayout(&panel);
    const std::vector<std::pair<long double, TNumberFormat>> shown{{0.2L, TNumberFormat::Standard},
                                                                   {1234567.25L, TNumberFormat::Thousands},
                                                                   {-5, TNumberFormat::Standard}};
    for (const auto &[value, format] : shown) {
        auto *f = new TQNSuperSpin(&panel);
        f->SetNumberFormat(format);
        f->SetValue(value);
        f->setFixedSize(110, 21);
        layout->addWidget(f);
    }
    auto *disabled = new TQNSuperSpin(&panel);
    disabled->SetValue(42);
    disabled->setFixedSize(110, 21);
    disabled->setEnabled(false);
    layout->addWidget(disabled);
    panel.show();
    QDir().mkpath("/tmp/shots");
    const QString name = GetParam().decimal == U',' ? "comma" : "point";
    EXPECT_TRUE(panel.grab().save("/tmp/shots/qnsuperspin_" + name + ".png"));
    // The text stays clear of the buttons.
    auto *f = panel.findChildren<TQNSuperSpin *>().front();
    const QToolButton *up = f->findChild<QToolButton *>("UpButton");
    EXPECT_GE(f->textMargins().right(), up->width());
    EXPECT_LE(up->geometry().right(), f->width() - 1);
}

INSTANTIATE_TEST_SUITE_P(Separators, QNSuperSpinTest,
                         ::testing::Values(Separators{U',', U'\u00A0'}, Separators{U'.', U','}),
                         [](const auto &info) { return info.param.decimal == U',' ? "Comma" : "Point"; });
