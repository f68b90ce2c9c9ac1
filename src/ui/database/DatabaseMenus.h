#pragma once
#include "ui/database/presenter/DatabaseCommandIds.h"

#include <QString>

#include <memory>
#include <set>
#include <vector>

class QAction;
class QMenu;

namespace kovo {

class CKovo5Doc;
class ReceiverFeatures;
struct AppSettings;

// The context menus of the database lists, item by item, with their command
// numbers, and the check marks of the selected rows.
namespace dbmenus {

// The check marks of the selected rows of view v: every value any selected
// row holds is checked, so mixed rows check several items of a group.
std::set<int> checkedItems(const CKovo5Doc& doc, const AppSettings& settings, int view,
                           const std::vector<int>& rows);

// The menu of view v with its texts, the items the options allow and the
// given check marks. Every action carries its command number as data.
std::unique_ptr<QMenu> buildMenu(const CKovo5Doc& doc, const AppSettings& settings, int view,
                                 bool recorderLinked, const std::set<int>& checked);

// Disables the items of features the receiver lacks, each with the reason
// as its tooltip. Without features (no receiver known yet) all stay offered.
void offerFeatures(QMenu& menu, const ReceiverFeatures* features);

// Every action of a menu and its submenus, by command number (tests, and
// connecting the commands).
std::vector<QAction*> commandActions(QMenu& menu);

} // namespace dbmenus
} // namespace kovo
