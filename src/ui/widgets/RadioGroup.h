// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// TRadioGroup: a captioned group of exclusive radio items addressed by index, as the windows use
// them ("Выбор графика", "Маркер", "Показать график"). ItemIndex −1 means no item is chosen.

#include <QGroupBox>
#include <QStringList>

class QButtonGroup;
class QRadioButton;
class QVBoxLayout;

class TRadioGroup : public QGroupBox {
    Q_OBJECT
public:
    explicit TRadioGroup(const QString &caption, const QStringList &items = {}, QWidget *parent = nullptr);

    // Replaces the items; no item is chosen afterwards.
    void SetItems(const QStringList &items);
    QStringList Items() const { return FItems; }
    int Count() const { return static_cast<int>(FButtons.size()); }
    QRadioButton *Button(int i) const;

    int ItemIndex() const { return FItemIndex; }
    // Chooses item i (−1 or any index outside the items: none); OnClick is raised when the
    // chosen item changes.
    void SetItemIndex(int i);

signals:
    // The user clicked an item, or the chosen item changed in any other way (keyboard,
    // accessibility action, SetItemIndex).
    void OnClick();

private:
    void ButtonToggled(int id, bool checked);
    void ButtonClicked(int id);
    void CheckOnly(int i);

    QStringList FItems;
    QList<QRadioButton *> FButtons;
    QButtonGroup *FGroup;
    QVBoxLayout *FLayout;
    int FItemIndex = -1;
    // The item a toggle has just chosen, until the click that caused it (if any) has arrived.
    int FToggledByThisClick = -1;
};
