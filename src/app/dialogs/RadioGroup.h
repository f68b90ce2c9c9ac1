#pragma once
#include <QList>

class QButtonGroup;
class QRadioButton;
class QWidget;

namespace kovo {

// A group of radio buttons standing for one integer: the first button is 0.
// A value outside the group shows no button selected, and reading a group
// without a selection keeps the value it was given.
class RadioGroup {
public:
    explicit RadioGroup(QWidget* owner);

    void add(QRadioButton* button);
    void select(int value);
    // The selected button's value, or -1 when none is selected.
    int selected() const;
    int selectedOr(int previous) const;
    QButtonGroup* buttons() const { return group_; }

private:
    QButtonGroup* group_;
};

} // namespace kovo
