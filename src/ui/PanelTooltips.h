#pragma once
#include <QString>

class QWidget;

namespace kovo {

// What each key, list and field of the panels does, as its tooltip. The
// texts live in one table keyed by the panel and the control's accessible
// name as the panels are built; applyPanelTooltips puts them on the controls.
//
// A control the receiver cannot use keeps its ordinary text and shows why
// after it: showWhyUnavailable sets or clears that reason.
void applyPanelTooltips(QWidget& panel);
void showWhyUnavailable(QWidget& control, const QString& why);

// The ordinary text of a control (without a reason), empty when it has none.
QString ordinaryTooltip(const QWidget& control);

} // namespace kovo
