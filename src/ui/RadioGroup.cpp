#include "RadioGroup.h"

#include <QButtonGroup>
#include <QRadioButton>
#include <QVBoxLayout>

TRadioGroup::TRadioGroup(const QString &caption, const QStringList &items, QWidget *parent)
    : QGroupBox(caption, parent), FGroup(new QButtonGroup(this)), FLayout(new QVBoxLayout(this)) {
    FLayout->setContentsMargins(6, 4, 6, 4);
    FLayout->setSpacing(2);
    FGroup->setExclusive(true);
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
    CheckOnly(i);
    if (i == FItemIndex)
        return;
    FItemIndex = i;
    emit OnClick();
}

void TRadioGroup::ButtonClicked(int id) {
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
