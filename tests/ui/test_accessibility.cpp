// SPDX-License-Identifier: GPL-3.0-or-later
// The radio groups as assistive technology sees and drives them: each group is named by its own
// caption, and an item chosen through the accessibility interface is the chosen item, with the
// same effect as a click.
#include "ElectroFormFixture.h"

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QDir>

#include "main/Main.h"

namespace {

QAccessibleInterface *Accessible(QObject *o) {
    QAccessibleInterface *a = QAccessible::queryAccessibleInterface(o);
    EXPECT_NE(a, nullptr);
    return a;
}

// Performs an accessibility action on a radio item, as a screen reader does.
void DoAction(QRadioButton *b, const QString &action) {
    QAccessibleInterface *a = Accessible(b);
    ASSERT_NE(a, nullptr);
    QAccessibleActionInterface *actions = a->actionInterface();
    ASSERT_NE(actions, nullptr);
    // A radio item offers "Toggle"; "Press" is understood as well.
    ASSERT_TRUE(actions->actionNames().contains(QAccessibleActionInterface::toggleAction()))
        << actions->actionNames().join(',').toStdString();
    actions->doAction(action);
    // A press action clicks after a short animation.
    QTest::qWait(250);
}

QString NameOf(QObject *o) {
    QAccessibleInterface *a = Accessible(o);
    return a ? a->text(QAccessible::Name) : QString();
}

} // namespace

TEST(RadioGroupAccessibility, ActionsChooseTheItemAndRaiseOnClickOncePerChange) {
    for (const QString &action :
         {QAccessibleActionInterface::toggleAction(), QAccessibleActionInterface::pressAction()}) {
        SCOPED_TRACE(action.toStdString());
        TRadioGroup g(QStringLiteral("Маркер"), {QStringLiteral("1 красный"), QStringLiteral("2 синий")});
        g.SetItemIndex(0);
        g.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&g));
        QSignalSpy spy(&g, &TRadioGroup::OnClick);
        DoAction(g.Button(1), action);
        EXPECT_TRUE(g.Button(1)->isChecked());
        EXPECT_EQ(g.ItemIndex(), 1);
        EXPECT_EQ(spy.count(), 1);
        DoAction(g.Button(0), action);
        EXPECT_EQ(g.ItemIndex(), 0);
        EXPECT_EQ(spy.count(), 2);
        // Afterwards a mouse click on another item is one click, as before.
        QTest::mouseClick(g.Button(1), Qt::LeftButton, {}, QPoint(8, g.Button(1)->height() / 2));
        EXPECT_EQ(g.ItemIndex(), 1);
        EXPECT_EQ(spy.count(), 3);
    }
}

TEST(RadioGroupAccessibility, CheckedStateSetDirectlyIsTheChoice) {
    TRadioGroup g(QStringLiteral("G"), {QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")});
    QSignalSpy spy(&g, &TRadioGroup::OnClick);
    g.Button(2)->setChecked(true);
    EXPECT_EQ(g.ItemIndex(), 2);
    EXPECT_EQ(spy.count(), 1);
    g.Button(2)->setChecked(true);
    EXPECT_EQ(spy.count(), 1);
}

TEST_F(ElectroForm, GroupsAreNamedByTheirCaptionsAndTheBlueMarkerChosenByAnActionIsDragged) {
    EXPECT_EQ(NameOf(Form->ChooseMarkerRadioGroup), QStringLiteral("Маркер"));
    EXPECT_EQ(NameOf(Form->TypeRadioGroup), QStringLiteral("Выбор графика"));

    ShowSignalsPage();
    AppendSteps(150, 1e-8, [](int k) { return k * 1.0; });
    TChart *c = Form->Chart;
    EnableMarkers(true);
    QRadioButton *blue = Form->ChooseMarkerRadioGroup->Button(1);
    ASSERT_EQ(blue->text(), QStringLiteral("2 синий"));
    DoAction(blue, QAccessibleActionInterface::toggleAction());
    EXPECT_TRUE(blue->isChecked());
    ASSERT_EQ(Form->ChooseMarkerRadioGroup->ItemIndex(), 1);
    Drag(0.3, 1.005, 40);
    EXPECT_EQ(c->Tag(11), 100); // marker 2 moved
    EXPECT_EQ(c->Tag(8), 0);    // marker 1 stayed at time 0
    EXPECT_EQ(Form->T2_Edit->text(), Dec(" 0.990 мкс"));
}

TEST(MainFormAccessibility, TheFieldChoiceIsNamedByItsCaptionAndFollowsAnAction) {
    TMainForm form;
    EXPECT_EQ(NameOf(form.ViewRadioGroup), QStringLiteral("Показать график"));
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    DoAction(form.ViewRadioGroup->Button(2), QAccessibleActionInterface::toggleAction());
    EXPECT_EQ(form.ViewRadioGroup->ItemIndex(), 2);
    EXPECT_EQ(form.Chart->LeftTitle(), QStringLiteral("В/м"));
}

namespace {

// The menu's accessible name and, item by item, the role and name a screen reader announces
// ("-" for a separator), while the menu is open.
QStringList Announced(QMenu *menu) {
    QStringList items;
    QAccessibleInterface *m = QAccessible::queryAccessibleInterface(menu);
    if (!m)
        return {QStringLiteral("<no interface>")};
    items << m->text(QAccessible::Name);
    for (int i = 0; i < m->childCount(); ++i) {
        QAccessibleInterface *item = m->child(i);
        items << (item->role() == QAccessible::Separator ? QStringLiteral("-") : item->text(QAccessible::Name));
    }
    return items;
}

} // namespace

TEST_F(ElectroForm, ChartMenusAndTheirCommandsHaveNames) {
    Form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(Form.get()));
    Form->PopupMenu1->popup(Form->mapToGlobal(QPoint(40, 40)));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(Form->PopupMenu1));
    EXPECT_EQ(Announced(Form->PopupMenu1).join(QLatin1Char('|')),
              QStringLiteral("Меню графика|Картинка|-|Сохранить в буфер|Записать в файл|-|Сохранить данные (CSV)"));
    EXPECT_FALSE(Form->PopupMenu1->actions().value(0)->isEnabled()); // a heading, as in the main window
    if (const QString dir = qEnvironmentVariable("PEP_SHOTS_DIR"); !dir.isEmpty()) {
        QDir().mkpath(dir);
        EXPECT_TRUE(Form->PopupMenu1->grab().save(dir + "/electro_chart_menu.png"));
    }
    Form->PopupMenu1->hide();
}

TEST(MainFormAccessibility, TheChartMenuAndItsCommandsHaveNames) {
    TMainForm form;
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    form.ChartPopupMenu->popup(form.mapToGlobal(QPoint(40, 40)));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.ChartPopupMenu));
    EXPECT_EQ(Announced(form.ChartPopupMenu).join(QLatin1Char('|')),
              QStringLiteral("Меню графика|Картинка|-|Сохранить в буфер|Записать в файл|-|Сохранить данные (CSV)"));
    EXPECT_FALSE(form.ChartPopupMenu->actions().value(0)->isEnabled());
    if (const QString dir = qEnvironmentVariable("PEP_SHOTS_DIR"); !dir.isEmpty()) {
        QDir().mkpath(dir);
        EXPECT_TRUE(form.ChartPopupMenu->grab().save(dir + "/main_chart_menu.png"));
    }
    form.ChartPopupMenu->hide();
}
