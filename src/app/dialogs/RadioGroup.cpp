#include "app/dialogs/RadioGroup.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QRadioButton>

namespace kovo {

RadioGroup::RadioGroup(QWidget* owner) : group_(new QButtonGroup(owner)) {}

void RadioGroup::add(QRadioButton* button) {
    group_->addButton(button, static_cast<int>(group_->buttons().size()));
}

void RadioGroup::select(int value) {
    if (QAbstractButton* button = group_->button(value)) {
        button->setChecked(true);
        return;
    }
    // An exclusive group will not let its checked button go; clear it openly.
    group_->setExclusive(false);
    for (QAbstractButton* button : group_->buttons())
        button->setChecked(false);
    group_->setExclusive(true);
}

int RadioGroup::selected() const {
    return group_->checkedId();
}

int RadioGroup::selectedOr(int previous) const {
    const int value = selected();
    return value < 0 ? previous : value;
}

} // namespace kovo
