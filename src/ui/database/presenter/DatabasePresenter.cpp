#include "ui/database/presenter/DatabasePresenter.h"

#include "data/CKovo5Doc.h"
#include "data/Cp932.h"
#include "data/DatabaseEdits.h"
#include "data/Notifier.h"
#include "data/UiText.h"
#include "ui/database/presenter/DatabaseViews.h"

#include <algorithm>
#include <cstdio>

namespace kovo {
namespace {

using namespace dblines;

constexpr const char* kNotFound = KOVO_TRANSLATE_NOOP("Database", "見つかりません");
constexpr const char* kItemsGone =
    KOVO_TRANSLATE_NOOP("Database", "選択されたデータのうち %d 個は既にありません");
constexpr int kVisibleRows = 17;
// A row brought into view stands this many rows below the top.
constexpr int kRowsAbove = 8;

// Questions go to the notifier; there is no recorder.
class PlainHost final : public DatabaseHost {
public:
    explicit PlainHost(Notifier& notifier) : notifier_(notifier) {}
    bool confirmDeleteData(const std::string& question) override {
        return notifier_.askYesNo(question);
    }
    bool recorderLinked() const override { return false; }
    bool startPlayback(std::uint32_t, std::int32_t, const std::string&) override { return false; }
    void stopPlayback() override {}
    void tunedFromList(std::uint32_t, const std::string&) override {}
    void bankNamesChanged() override {}

private:
    Notifier& notifier_;
};

// The first row after (or before) `from` whose line holds `text`, or -1.
int findRow(const DatabaseScreen& screen, int view, int from, const std::string& text,
            bool forward) {
    const int rows = screen.rowCount(view);
    const int step = forward ? 1 : -1;
    for (int r = from + step; r >= 0 && r < rows; r += step)
        if (screen.lineText(view, r).find(text) != std::string::npos)
            return r;
    return -1;
}

} // namespace

DatabasePresenter::DatabasePresenter(Ports ports)
    : ports_(ports), defaultHost_(std::make_unique<PlainHost>(ports.notifier)),
      self_(std::make_shared<DatabasePresenter*>(this)), commands_(*this), editing_(*this) {
    host_ = defaultHost_.get();
    subscription_ =
        ports_.doc.changes().subscribe([this](const DocumentChange& c) { onDocumentChange(c); });
}

DatabasePresenter::~DatabasePresenter() = default;

void DatabasePresenter::setHost(DatabaseHost* host) {
    host_ = host ? host : defaultHost_.get();
}

// A document read or started anew holds none of the items chosen in the old
// one: open editors close without storing, and answers still to come find
// nothing to act on.
void DatabasePresenter::onDocumentChange(const DocumentChange& change) {
    // The combo shows the current link set, whoever chose it.
    if (change.kind == DocumentChange::Kind::BanksChanged)
        ports_.screen.showLinkSet(
            std::clamp(ports_.doc.controlParams.currentLinkSet, 0, kLinkSetCount - 1));
    if (change.kind != DocumentChange::Kind::DocumentReplaced)
        return;
    ++documentGeneration_;
    chosen_ = {};
    editing_.forget();
}

// ---- hold ----

bool DatabasePresenter::held() const {
    return core_ ? core_->isHeld() : localHold_;
}

void DatabasePresenter::holdForAWhile() {
    if (core_)
        core_->holdForAWhile();
    else
        localHold_ = true;
}

void DatabasePresenter::holdUntilCleared() {
    if (core_)
        core_->holdUntilCleared();
    else
        localHold_ = true;
}

void DatabasePresenter::releaseHold() {
    if (core_)
        core_->releaseHold();
    else
        localHold_ = false;
}

// ---- views ----

int DatabasePresenter::currentView() const {
    return std::clamp(ports_.doc.controlParams.databaseView, 0, kListViewCount - 1);
}

void DatabasePresenter::refreshAll() {
    CKovo5Doc& d = ports_.doc;
    rebuildChannels();
    ports_.screen.reloadLinkSets();
    for (int v = BankView; v < kListViewCount; ++v)
        rebuildList(v);
    ports_.screen.reloadSearchStrings();
    selectChannel(d.controlParams.p4C);
    showView(currentView());
}

void DatabasePresenter::showView(int view) {
    if (view < 0 || view >= kViewCount)
        return;
    shownView_ = view;
    if (view == BankView)
        rebuildList(BankView);
    ports_.screen.showView(view);
}

void DatabasePresenter::switchView(int view) {
    if (view < 0 || view >= kListViewCount)
        return;
    const int current = currentView();
    if (ports_.screen.editorOpen(current))
        editing_.discard(current);
    ports_.doc.parameters().showDatabaseView(view);
    showView(view);
}

// ---- lists ----

void DatabasePresenter::rebuildChannels() {
    DatabaseScreen& s = ports_.screen;
    const int caret = s.caretRow(ChannelView);
    const int top = s.topRow(ChannelView);
    edits::numberChannelsWithinBanks(ports_.doc);
    s.reloadRows(ChannelView);
    s.setTopRow(ChannelView, top);
    s.setCaretRow(ChannelView, std::min(caret, s.rowCount(ChannelView) - 1));
}

void DatabasePresenter::rebuildChannelsKeepingPlace() {
    DatabaseScreen& s = ports_.screen;
    const std::vector<int> selected = s.selectedRows(ChannelView);
    const int top = s.topRow(ChannelView);
    const int caret = s.caretRow(ChannelView);
    rebuildChannels();
    s.selectRows(ChannelView, selected);
    s.setTopRow(ChannelView, top);
    s.setCaretRow(ChannelView, caret);
}

void DatabasePresenter::selectChannel(int r) {
    if (held())
        return;
    DatabaseScreen& s = ports_.screen;
    const int n = s.rowCount(ChannelView);
    if (r < 0 || r >= n)
        return;
    ports_.doc.controlParams.p4C = r;
    // A hidden panel draws nothing: it brings the row into view when shown,
    // rather than on every step of a scan.
    if (s.isHidden()) {
        channelRowDeferred_ = true;
        return;
    }
    channelRowDeferred_ = false;
    int top = s.topRow(ChannelView);
    if (r < top || r >= top + kVisibleRows) {
        if (n <= kVisibleRows)
            top = 0;
        else if (r > n - kRowsAbove)
            top = n - kVisibleRows;
        else
            top = r - kRowsAbove;
    }
    // One change of selection, from the old row to the new: the list
    // repaints the two rows once rather than once for clearing and once for
    // selecting.
    s.setTopRow(ChannelView, top);
    s.setCaretRow(ChannelView, r);
    s.selectRows(ChannelView, {r});
}

void DatabasePresenter::screenShown() {
    if (channelRowDeferred_)
        selectChannel(ports_.doc.controlParams.p4C);
}

void DatabasePresenter::rebuildList(int view) {
    if (view == ChannelView) {
        rebuildChannels();
        return;
    }
    if (view < 0 || view >= kListViewCount)
        return;
    if (view == BankView)
        ports_.doc.channelTable().countChannelsPerBank();
    DatabaseScreen& s = ports_.screen;
    s.reloadRows(view);
    if (view == LogView)
        s.setCaretRow(LogView, s.rowCount(LogView) - 1);
}

void DatabasePresenter::bringChannelRowIntoView(int row) {
    if (!held() && row >= 0 && row < ports_.screen.rowCount(ChannelView))
        ports_.screen.bringRowIntoView(ChannelView, row);
}

void DatabasePresenter::selectNewestLogEntry() {
    DatabaseScreen& s = ports_.screen;
    const int count = s.rowCount(LogView);
    if (held() || count == 0)
        return;
    s.clearSelection(LogView);
    s.selectRow(LogView, count - 1);
    if (count > kVisibleRows)
        s.setTopRow(LogView, count - kVisibleRows);
    s.setCaretRow(LogView, count - 1);
}

void DatabasePresenter::selectLogCaretRow() {
    if (held())
        return;
    DatabaseScreen& s = ports_.screen;
    const int caret = s.caretRow(LogView);
    s.clearSelection(LogView);
    s.selectRow(LogView, caret);
    s.setCaretRow(LogView, caret);
}

// ---- link sets ----

void DatabasePresenter::chooseLinkSet(int k) {
    if (core_ && core_->chooseLinkSet(k))
        rebuildList(BankView);
}

bool DatabasePresenter::renameLinkSet(const std::string& utf8Name) {
    const int k = ports_.doc.controlParams.currentLinkSet;
    return ports_.doc.banks().renameLinkSet(k, utf8ToCp932(utf8Name));
}

void DatabasePresenter::selectLinkSet(int k) {
    if (!core_ || !core_->chooseLinkSet(k))
        return;
    ports_.screen.showLinkSet(k);
    rebuildList(BankView);
}

// ---- search ----

void DatabasePresenter::search(bool forward) {
    const std::string text = ports_.screen.searchText();
    if (text.empty())
        return;
    if (ports_.doc.controlParams.databaseView == ChannelView)
        searchChannels(text, forward);
    else
        searchLog(text, forward);
}

void DatabasePresenter::searchChannels(const std::string& text, bool forward) {
    DatabaseScreen& s = ports_.screen;
    if (s.rowCount(ChannelView) == 0)
        return;
    const int k = s.caretRow(ChannelView);
    s.clearSelection(ChannelView);
    const int r = findRow(s, ChannelView, k, text, forward);
    if (r < 0) {
        ports_.notifier.showMessage(uiText("Database", kNotFound));
        return;
    }
    selectChannel(r);
}

void DatabasePresenter::searchLog(const std::string& text, bool forward) {
    DatabaseScreen& s = ports_.screen;
    if (s.rowCount(LogView) == 0)
        return;
    const int k = s.caretRow(LogView);
    s.clearSelection(LogView);
    const int r = findRow(s, LogView, k, text, forward);
    if (r < 0) {
        ports_.notifier.showMessage(uiText("Database", kNotFound));
        return;
    }
    if (r >= kVisibleRows)
        s.setTopRow(LogView, r - kRowsAbove);
    s.selectRow(LogView, r);
    s.setCaretRow(LogView, r);
}

// ---- chosen items ----

void DatabasePresenter::choose(int view) {
    chosen_ = ChosenItems(ports_.doc, view, ports_.screen.selectedRows(view));
}

std::vector<int> DatabasePresenter::chosenRows() const {
    return chosen_.find(ports_.doc).rows;
}

std::vector<int> DatabasePresenter::rowsOf(const ChosenItems& items) {
    ChosenItems::Found found = items.find(ports_.doc);
    tellGone(found.gone);
    return std::move(found.rows);
}

void DatabasePresenter::tellGone(std::size_t count) {
    if (count == 0)
        return;
    char message[128];
    std::snprintf(message, sizeof message, uiText("Database", kItemsGone).c_str(), int(count));
    ports_.notifier.showMessage(message);
}

// ---- double-click ----

void DatabasePresenter::activateRow(int view) {
    CKovo5Doc& d = ports_.doc;
    const int row = ports_.screen.caretRow(view);
    if (!core_ || row < 0 || row >= ports_.screen.rowCount(view))
        return;
    const OperatingMode mode = d.controlParams.mode();
    if (view == ChannelView || view == LogView) {
        if (mode == OperatingMode::MemoryScan || mode == OperatingMode::ProgramSearch)
            core_->setOperatingMode(OperatingMode::Vfo);
        if (view == ChannelView) {
            d.controlParams.p4C = row;
            core_->channelChosenByHand(row);
        } else {
            core_->logEntryChosenByHand(row);
        }
        host_->tunedFromList(d.mainRecord.frequency, d.mainRecord.comment);
    } else if (view == SearchBankView && showsBandScope(mode)) {
        core_->searchBankChosenByHand(row);
    }
}

} // namespace kovo
