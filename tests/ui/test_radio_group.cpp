// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>

#include "widgets/RadioGroup.h"

namespace {

QPoint CentreOfIndicator(QRadioButton *b) {
    return QPoint(8, b->height() / 2);
}

} // namespace

TEST(RadioGroup, StartsWithNoItemAndShowsItsItemsInOrder) {
    TRadioGroup g(QStringLiteral("Выбор графика"),
                  {QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")});
    EXPECT_EQ(g.title(), QStringLiteral("Выбор графика"));
    EXPECT_EQ(g.ItemIndex(), -1);
    ASSERT_EQ(g.Count(), 3);
    EXPECT_EQ(g.Items(), (QStringList{QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")}));
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(g.Button(i)->text(), g.Items()[i]);
        EXPECT_FALSE(g.Button(i)->isChecked());
    }
    EXPECT_EQ(g.Button(3), nullptr);
}

TEST(RadioGroup, ClicksChooseOneItemAndRaiseOnClickEachTime) {
    TRadioGroup g(QStringLiteral("Маркер"), {QStringLiteral("1 красный"), QStringLiteral("2 синий")});
    g.show();
    QSignalSpy spy(&g, &TRadioGroup::OnClick);
    QTest::mouseClick(g.Button(1), Qt::LeftButton, {}, CentreOfIndicator(g.Button(1)));
    EXPECT_EQ(g.ItemIndex(), 1);
    EXPECT_TRUE(g.Button(1)->isChecked());
    EXPECT_EQ(spy.count(), 1);
    QTest::mouseClick(g.Button(0), Qt::LeftButton, {}, CentreOfIndicator(g.Button(0)));
    EXPECT_EQ(g.ItemIndex(), 0);
    EXPECT_TRUE(g.Button(0)->isChecked());
    EXPECT_FALSE(g.Button(1)->isChecked());
    EXPECT_EQ(spy.count(), 2);
    // A click on the chosen item keeps it chosen and is still a click.
    QTest::mouseClick(g.Button(0), Qt::LeftButton, {}, CentreOfIndicator(g.Button(0)));
    EXPECT_EQ(g.ItemIndex(), 0);
    EXPECT_TRUE(g.Button(0)->isChecked());
    EXPECT_EQ(spy.count(), 3);
}

TEST(RadioGroup, SetItemIndexRaisesOnClickOnlyOnAChange) {
    TRadioGroup g(QStringLiteral("G"), {QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")});
    QSignalSpy spy(&g, &TRadioGroup::OnClick);
    g.SetItemIndex(2);
    EXPECT_EQ(g.ItemIndex(), 2);
    EXPECT_TRUE(g.Button(2)->isChecked());
    EXPECT_EQ(spy.count(), 1);
    g.SetItemIndex(2);
    EXPECT_EQ(spy.count(), 1);
    g.SetItemIndex(-1);
    EXPECT_EQ(g.ItemIndex(), -1);
    for (int i = 0; i < 3; ++i)
        EXPECT_FALSE(g.Button(i)->isChecked());
    EXPECT_EQ(spy.count(), 2);
    g.SetItemIndex(7); // outside the items: none
    EXPECT_EQ(g.ItemIndex(), -1);
    EXPECT_EQ(spy.count(), 2);
    g.SetItemIndex(0);
    EXPECT_TRUE(g.Button(0)->isChecked());
    EXPECT_EQ(spy.count(), 3);
}

TEST(RadioGroup, ArrowKeysMoveTheChoice) {
    TRadioGroup g(QStringLiteral("G"), {QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")});
    g.show();
    g.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&g));
    g.SetItemIndex(0);
    g.Button(0)->setFocus();
    ASSERT_TRUE(g.Button(0)->hasFocus());
    QSignalSpy spy(&g, &TRadioGroup::OnClick);
    QTest::keyClick(g.Button(0), Qt::Key_Down);
    EXPECT_EQ(g.ItemIndex(), 1);
    EXPECT_EQ(spy.count(), 1);
}

TEST(RadioGroup, SetItemsReplacesTheItemsAndClearsTheChoice) {
    TRadioGroup g(QStringLiteral("G"), {QStringLiteral("a"), QStringLiteral("b")});
    g.SetItemIndex(1);
    g.SetItems({QStringLiteral("x"), QStringLiteral("y"), QStringLiteral("z")});
    EXPECT_EQ(g.Count(), 3);
    EXPECT_EQ(g.ItemIndex(), -1);
    EXPECT_EQ(g.Button(2)->text(), QStringLiteral("z"));
    g.SetItemIndex(2);
    EXPECT_TRUE(g.Button(2)->isChecked());
}
