// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/RadioGroup.h"

#include <QButtonGroup>
#include <QRadioButton>
#include <QTimer>
#include <QVBoxLayout>

TRadioGroup::TRadioGroup(const QString &caption, const QStringList &items, QWidget *parent)
    : QGroupBox(caption, parent), FGroup(new QButtonGroup(this)), FLayout(new QVBoxLayout(this)) {
    FLayout->setContentsMargins(6, 4, 6, 4);
    FLayout->setSpacing(2);
    FGroup->setExclusive(true);
    // Screen readers name the group by its own caption, not by the box it sits in.
    setAccessibleName(caption);
    // The chosen item follows the checked state however it changes: mouse, keyboard, an
    // accessibility action, SetItemIndex or a project file.
    connect(FGroup, &QButtonGroup::idClicked, this, &TRadioGroup::ButtonClicked);
    SetItems(items);
}

void TRadioGroup::SetItems(const QStringList &items) {
    for (QRadioButton *b : FButtons) {
        FGroup->removeButton(b);
        delete b;
    }
    FButtons.clear();
    FItems = items;
    FItemIndex = -1;
    for (int i = 0; i < items.size(); ++i) {
        auto *b = new QRadioButton(items[i], this);
        FGroup->addButton(b, i);
        connect(b, &QAbstractButton::toggled, this, [this, i](bool checked) { ButtonToggled(i, checked); });
        FLayout->addWidget(b);
        FButtons.append(b);
    }
}

QRadioButton *TRadioGroup::Button(int i) const {
    return (i >= 0 && i < FButtons.size()) ? FButtons[i] : nullptr;
}

void TRadioGroup::SetItemIndex(int i) {
    if (i < 0 || i >= FButtons.size())
        i = -1;
    CheckOnly(i); // checking an item raises OnClick through ButtonToggled
    if (i == -1 && FItemIndex != -1) {
        FItemIndex = -1;
        emit OnClick();
    }
}

void TRadioGroup::ButtonToggled(int id, bool checked) {
    if (!checked || id == FItemIndex)
        return;
    FItemIndex = id;
    // A click that checks an item arrives right after this; it is the same choice, raised once.
    FToggledByThisClick = id;
    QTimer::singleShot(0, this, [this] { FToggledByThisClick = -1; });
    emit OnClick();
}

void TRadioGroup::ButtonClicked(int id) {
    if (id == FToggledByThisClick) {
        FToggledByThisClick = -1;
        return;
    }
    // A click on the item already chosen is still a click.
    FItemIndex = id;
    emit OnClick();
}

void TRadioGroup::CheckOnly(int i) {
    if (i >= 0) {
        FButtons[i]->setChecked(true);
        return;
    }
    // An exclusive group cannot clear its last checked button; lift the rule for a moment.
    FGroup->setExclusive(false);
    for (QRadioButton *b : FButtons)
        b->setChecked(false);
    FGroup->setExclusive(true);
}
