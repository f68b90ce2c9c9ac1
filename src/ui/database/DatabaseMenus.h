#pragma once
#include <QString>

#include <memory>
#include <set>
#include <vector>

class QAction;
class QMenu;

namespace kovo {

class CKovo5Doc;
struct AppSettings;

// The context menus of the database lists, item by item, with their command
// numbers, and the check marks of the selected rows.
namespace dbmenus {

// Command numbers the menus send.
enum Command : int {
    ShowMemoryChannels = 32860,
    ShowBanks = 32783,
    ShowSearchBanks = 32784,
    ShowPassRanges = 32785,
    ShowAutoRanges = 32854,
    ShowSearchStrings = 32869,
    ShowLog = 32873,
    FirstBank = 32788, // .. 32809, bank id - 32788
    MultiBankMode = 32810,
    FirstStep = 32812,        // .. 32824, step index id - 32811
    FirstMode = 32825,        // .. 32833
    FirstIfBandwidth = 32834, // .. 32840
    FirstAttenuator = 32841,  // .. 32844
    FirstAntenna = 32845,     // .. 32848
    BankUseYes = 32850,
    BankUseNo = 32851,
    SearchUseYes = 32855,
    SearchUseNo = 32856,
    PassUseYes = 32857,
    PassUseNo = 32858,
    AutoUseYes = 32862,
    AutoUseNo = 32863,
    Delete = 32872,
    LogAnalyze = 32874,
    LogClear = 32875,
    Cut = 32876,
    Paste = 32877,
    ActualMemoryNames = 32878,
    StartPlayback = 32879,
    StopPlayback = 32880,
    FirstCtcss = 32889, // .. 32939
};
inline constexpr int kLastBank = 32809;
inline constexpr int kLastStep = 32824;
inline constexpr int kLastMode = 32833;
inline constexpr int kLastIfBandwidth = 32840;
inline constexpr int kLastAttenuator = 32844;
inline constexpr int kLastAntenna = 32848;
inline constexpr int kLastCtcss = 32939;

// The view a view-switching command shows, or -1.
int viewOfCommand(int command);

// The check marks of the selected rows of view v: every value any selected
// row holds is checked, so mixed rows check several items of a group.
std::set<int> checkedItems(const CKovo5Doc& doc, const AppSettings& settings, int view,
                           const std::vector<int>& rows);

// The menu of view v with its texts, the items the options allow and the
// given check marks. Every action carries its command number as data.
std::unique_ptr<QMenu> buildMenu(const CKovo5Doc& doc, const AppSettings& settings, int view,
                                 bool recorderLinked, const std::set<int>& checked);

// Every action of a menu and its submenus, by command number (tests, and
// connecting the commands).
std::vector<QAction*> commandActions(QMenu& menu);

} // namespace dbmenus
} // namespace kovo
