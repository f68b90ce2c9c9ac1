#include "ui/database/presenter/DatabaseMenuCommands.h"

#include "data/AppSettings.h"
#include "data/CKovo5Doc.h"
#include "data/Notifier.h"
#include "data/UiText.h"
#include "ui/database/presenter/DatabaseCommandIds.h"
#include "ui/database/presenter/DatabasePresenter.h"
#include "ui/database/presenter/DatabaseViews.h"

#include <cstdio>
#include <string>

namespace kovo {
namespace {

using namespace dbmenus;
using namespace dblines;

constexpr const char* kDeleteQuestion =
    KOVO_TRANSLATE_NOOP("Database", "選択された %d 個のデータを削除します");
constexpr const char* kClearLogQuestion =
    KOVO_TRANSLATE_NOOP("Database", "ログデータを消去します よろしいですか？");
constexpr const char* kMoreChannels = KOVO_TRANSLATE_NOOP("Database", " ほか %d 個");
// The delete question names up to this many channels.
constexpr std::size_t kNamedChannels = 5;

// The delete question with the channels it deletes: their frequencies, and
// how many more there are beyond the first few.
std::string deleteQuestion(const ChosenItems& chosen) {
    char buf[160];
    std::snprintf(buf, sizeof buf, uiText("Database", kDeleteQuestion).c_str(), int(chosen.size()));
    std::string question = buf;
    const std::vector<std::uint32_t> frequencies = chosen.frequencies();
    for (std::size_t i = 0; i < frequencies.size() && i < kNamedChannels; ++i) {
        std::snprintf(buf, sizeof buf, "%s%d.%06d", i == 0 ? ": " : ", ",
                      int(frequencies[i] / 1000000), int(frequencies[i] % 1000000));
        question += buf;
    }
    if (!frequencies.empty())
        question += " MHz";
    if (frequencies.size() > kNamedChannels) {
        std::snprintf(buf, sizeof buf, uiText("Database", kMoreChannels).c_str(),
                      int(frequencies.size() - kNamedChannels));
        question += buf;
    }
    return question;
}

// Where a property command applies.
enum class Applies {
    Channels,      // the memory channel list
    ChannelsCtcss, // the memory channel list, with the tone option fitted
    SettingsViews, // channels, search banks and auto-mode ranges
    Table,         // its own table, whichever view shows
};

using Apply = bool (*)(CKovo5Doc& doc, const AppSettings& settings, int view,
                       const std::vector<int>& rows, int index);

} // namespace

// A command that acts when its view shows.
struct DatabaseMenuCommands::Entry {
    int command;
    int view;
    void (DatabaseMenuCommands::*run)();
};

// A command range that sets one property of the chosen rows; `index` is
// the command's place in its range. `table` is the view whose rows change
// (-1: the view that shows).
struct DatabaseMenuCommands::Property {
    int first;
    int last;
    Applies applies;
    int table;
    Apply apply;
};

namespace {

// A settings property of the chosen rows of the view shown: the command's
// place in its range is the value.
template <bool (ListEdits::*set)(int, const std::vector<int>&, int)>
bool setRows(CKovo5Doc& d, const AppSettings&, int view, const std::vector<int>& rows, int i) {
    return (d.listEdits().*set)(view, rows, i);
}

// The use mark of the chosen rows: the first command of the pair sets it.
bool setUse(CKovo5Doc& d, const AppSettings&, int view, const std::vector<int>& rows, int i) {
    return d.listEdits().setUseFlags(view, rows, i == 0);
}

} // namespace

const DatabaseMenuCommands::Entry DatabaseMenuCommands::kEntries[] = {
    {Delete, ChannelView, &DatabaseMenuCommands::deleteChannels},
    {LogAnalyze, LogView, &DatabaseMenuCommands::analyseLog},
    {LogClear, LogView, &DatabaseMenuCommands::clearLog},
    {Cut, AutoRangeView, &DatabaseMenuCommands::cutAutoRanges},
    {Paste, AutoRangeView, &DatabaseMenuCommands::pasteAutoRanges},
    {ActualMemoryNames, ChannelView, &DatabaseMenuCommands::makePriorityChannel},
    {StartPlayback, LogView, &DatabaseMenuCommands::startPlayback},
    {StopPlayback, LogView, &DatabaseMenuCommands::stopPlayback},
};

const DatabaseMenuCommands::Property DatabaseMenuCommands::kProperties[] = {
    {FirstBank, kLastBank, Applies::Channels, -1,
     [](CKovo5Doc& d, const AppSettings& s, int, const std::vector<int>& rows, int i) {
         return d.channelTable().setChannelBanks(rows, i, s.mbMultiSelect == 1);
     }},
    {FirstStep, kLastStep, Applies::SettingsViews, -1,
     [](CKovo5Doc& d, const AppSettings&, int v, const std::vector<int>& rows, int i) {
         return d.listEdits().setRowsStep(v, rows, i + 1);
     }},
    {FirstMode, kLastMode, Applies::SettingsViews, -1, setRows<&ListEdits::setRowsMode>},
    {FirstIfBandwidth, kLastIfBandwidth, Applies::SettingsViews, -1,
     setRows<&ListEdits::setRowsIfBandwidth>},
    {FirstAttenuator, kLastAttenuator, Applies::SettingsViews, -1,
     setRows<&ListEdits::setRowsAttenuator>},
    {FirstAntenna, kLastAntenna, Applies::SettingsViews, -1, setRows<&ListEdits::setRowsAntenna>},
    {FirstCtcss, kLastCtcss, Applies::ChannelsCtcss, -1,
     [](CKovo5Doc& d, const AppSettings&, int, const std::vector<int>& rows, int i) {
         return d.channelTable().setChannelsCtcss(rows, i);
     }},
    {BankUseYes, BankUseNo, Applies::Table, BankView, setUse},
    {SearchUseYes, SearchUseNo, Applies::Table, SearchBankView, setUse},
    {PassUseYes, PassUseNo, Applies::Table, PassRangeView, setUse},
    {AutoUseYes, AutoUseNo, Applies::Table, AutoRangeView, setUse},
};

namespace {

bool applies(Applies where, int view, const AppSettings& settings) {
    switch (where) {
    case Applies::Channels:
        return view == ChannelView;
    case Applies::ChannelsCtcss:
        return view == ChannelView && settings.optCtcss == 1;
    case Applies::SettingsViews:
        return view == ChannelView || view == SearchBankView || view == AutoRangeView;
    case Applies::Table:
        return true;
    }
    return false;
}

} // namespace

void DatabaseMenuCommands::run(int command) {
    if (runProperty(command))
        return;
    const DatabasePresenter::Ports& ports = p_.ports();
    const int view = ports.doc.controlParams.databaseView;
    if (const int current = p_.currentView(); ports.screen.editorOpen(current))
        p_.editing().discard(current);
    p_.holdForAWhile();
    if (const int target = viewOfCommand(command); target >= 0) {
        ports.doc.parameters().showDatabaseView(target);
        p_.showView(target);
        return;
    }
    if (DatabaseEditing::opens(command)) {
        p_.editing().open(command);
        return;
    }
    for (const Entry& e : kEntries)
        if (e.command == command && e.view == view)
            (this->*e.run)();
}

// The property commands come after the menu has closed: they end the hold
// so the scan's selection shows again at once. A menu of another view (a
// document read meanwhile) acts on nothing.
bool DatabaseMenuCommands::runProperty(int command) {
    const DatabasePresenter::Ports& ports = p_.ports();
    if (command == MultiBankMode) {
        p_.rowsOf(p_.chosen());
        ports.doc.parameters().changeSoftSetting(SoftSetting::MbMultiSelect,
                                                 ports.settings.mbMultiSelect == 1 ? 0 : 1);
        p_.releaseHold();
        return true;
    }
    const Property* property = nullptr;
    for (const Property& candidate : kProperties)
        if (command >= candidate.first && command <= candidate.last)
            property = &candidate;
    if (!property)
        return false;
    const int view = ports.doc.controlParams.databaseView;
    if (p_.chosen().view() == view) {
        const std::vector<int> rows = p_.rowsOf(p_.chosen());
        if (applies(property->applies, view, ports.settings)) {
            const int table = property->table >= 0 ? property->table : view;
            if (property->apply(ports.doc, ports.settings, table, rows, command - property->first))
                afterPropertyChange(table);
        }
    }
    p_.releaseHold();
    return true;
}

// The lists redraw the changed rows on the document's notices; what is left
// is the channel list's numbering and restarting the scan that uses the table.
void DatabaseMenuCommands::afterPropertyChange(int view) {
    if (view == ChannelView) {
        p_.rebuildChannelsKeepingPlace();
        return;
    }
    const OperatingMode mode = p_.ports().doc.controlParams.mode();
    const bool restart = (view == BankView && mode == OperatingMode::MemoryScan) ||
                         (view == SearchBankView && mode == OperatingMode::ProgramSearch);
    if (restart && p_.core())
        p_.core()->setOperatingMode(mode);
}

// The question names the channels chosen now; whatever the scan stores or
// logs until it is answered, the answer deletes those channels and no other.
// The selection stays put while it is asked.
void DatabaseMenuCommands::deleteChannels() {
    const ChosenItems chosen = p_.chosen();
    if (chosen.view() != ChannelView || chosen.empty())
        return;
    const int generation = p_.documentGeneration();
    askWithListHeld(deleteQuestion(chosen), [chosen, generation](DatabasePresenter& p) {
        if (generation != p.documentGeneration())
            p.tellGone(chosen.size());
        else
            p.commands().deleteChosenChannels(chosen);
    });
}

void DatabaseMenuCommands::deleteChosenChannels(const ChosenItems& chosen) {
    CKovo5Doc& d = p_.ports().doc;
    const std::vector<int> rows = p_.rowsOf(chosen);
    if (rows.empty())
        return;
    const int row = d.channelTable().deleteChannels(rows);
    p_.rebuildChannels();
    if (d.channelCount > 0)
        p_.selectChannel(row);
}

void DatabaseMenuCommands::clearLog() {
    askWithListHeld(uiText("Database", kClearLogQuestion), [](DatabasePresenter& p) {
        p.ports().doc.log().clearLog();
        p.rebuildList(LogView);
    });
}

// The list is held while the question is open and for a while after it is
// answered; `onOk` runs on OK, provided the panel still exists.
void DatabaseMenuCommands::askWithListHeld(const std::string& question,
                                           std::function<void(DatabasePresenter&)> onOk) {
    p_.holdUntilCleared();
    p_.host().askDeleteData(question, [alive = p_.lifetime(), onOk = std::move(onOk)](bool ok) {
        const auto self = alive.lock();
        if (!self)
            return;
        DatabasePresenter& p = **self;
        p.holdForAWhile();
        if (ok)
            onOk(p);
    });
}

void DatabaseMenuCommands::analyseLog() {
    const std::vector<int> rows = p_.rowsOf(p_.chosen().first());
    if (!rows.empty())
        p_.ports().doc.log().analyseLog(rows.front());
    p_.showView(ChartView);
}

void DatabaseMenuCommands::cutAutoRanges() {
    p_.ports().doc.ranges().cutAutoRanges(p_.rowsOf(p_.chosen()));
    p_.rebuildList(AutoRangeView);
}

void DatabaseMenuCommands::pasteAutoRanges() {
    p_.ports().doc.ranges().pasteAutoRanges(p_.rowsOf(p_.chosen().first()));
    p_.rebuildList(AutoRangeView);
}

void DatabaseMenuCommands::makePriorityChannel() {
    const std::vector<int> rows = p_.rowsOf(p_.chosen().first());
    if (rows.empty())
        return;
    p_.ports().doc.channelTable().choosePriorityChannel(rows.front());
    p_.rebuildChannelsKeepingPlace();
}

void DatabaseMenuCommands::startPlayback() {
    if (!p_.host().recorderLinked())
        return;
    const std::vector<int> rows = p_.rowsOf(p_.chosen().first());
    if (rows.empty())
        return;
    const CLogData& entry = p_.ports().doc.logEntry(rows.front());
    if (!p_.host().startPlayback(entry.frequency, entry.firstHeard, " "))
        p_.ports().notifier.showMessage(uiText("Database", kNoAudioMessage));
}

void DatabaseMenuCommands::stopPlayback() {
    if (p_.host().recorderLinked())
        p_.host().stopPlayback();
}

} // namespace kovo
