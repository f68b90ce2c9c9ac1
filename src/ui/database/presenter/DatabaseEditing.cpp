#include "ui/database/presenter/DatabaseEditing.h"

#include "data/CKovo5Doc.h"
#include "data/Cp932.h"
#include "data/Notifier.h"
#include "data/TypedFrequency.h"
#include "data/UiText.h"
#include "ui/database/presenter/DatabasePresenter.h"
#include "ui/database/presenter/DatabaseViews.h"

#include <cstdio>
#include <string>

namespace kovo {

// Which field of which view an editor command opens, where and how wide.
struct EditorSpec {
    int command;
    int view;
    EditKind kind;
    int firstColumn;
    int secondColumn;
    int width;
};

namespace {

using namespace dblines;

constexpr const char* kAlreadyStored = KOVO_TRANSLATE_NOOP("Database", "登録済みの周波数です");

constexpr EditorSpec kEditors[] = {
    {32866, ChannelView, EditKind::Frequency, 11, -1, 11},
    {32849, ChannelView, EditKind::Text, 53, -1, 40},
    {32852, BankView, EditKind::Text, 12, -1, 32},
    {32865, SearchBankView, EditKind::Range, 6, 18, 11},
    {32870, SearchBankView, EditKind::Text, 49, -1, 32},
    {32859, PassRangeView, EditKind::Range, 6, 18, 11},
    {32864, PassRangeView, EditKind::Text, 31, -1, 32},
    {32867, AutoRangeView, EditKind::Range, 6, 18, 11},
    {32871, AutoRangeView, EditKind::Text, 49, -1, 32},
    {32868, SearchStringView, EditKind::Text, 6, -1, 32},
};
// F2 opens the first editor of a view.
constexpr int kFirstEditor[kListViewCount] = {32866, 32852, 32865, 32859, 32867, 32868, 0};

const EditorSpec* editorFor(int command) {
    for (const EditorSpec& e : kEditors)
        if (e.command == command)
            return &e;
    return nullptr;
}

std::string megahertzText(std::uint32_t f) {
    char buf[24];
    std::snprintf(buf, sizeof buf, "%4d.%06d", int(f / 1000000), int(f % 1000000));
    return buf;
}

std::string text(const std::string& cp932) {
    return cp932ToUtf8(cp932);
}

// The texts an editor starts with: the frequency or comment of a channel,
// a bank name, the edges or comment of a range, a search string.
void fillTexts(const CKovo5Doc& d, EditorRequest& r) {
    const auto row = std::size_t(r.row);
    const bool comment = r.kind == EditKind::Text;
    const auto range = [&](std::uint32_t low, std::uint32_t high, const std::string& note) {
        r.firstText = comment ? text(note) : megahertzText(low);
        r.secondText = megahertzText(high);
    };
    switch (r.view) {
    case ChannelView:
        r.firstText =
            comment ? text(d.channels[row]->comment) : megahertzText(d.channels[row]->frequency);
        break;
    case BankView:
        r.firstText = text(d.memoryBanks[row].name);
        break;
    case SearchBankView:
        range(d.searchBanks[row].startFrequency, d.searchBanks[row].stopFrequency,
              d.searchBanks[row].comment);
        break;
    case PassRangeView:
        range(d.passRanges[row].lowFrequency, d.passRanges[row].highFrequency,
              d.passRanges[row].comment);
        break;
    case AutoRangeView:
        range(d.autoRanges[row].startFrequency, d.autoRanges[row].stopFrequency,
              d.autoRanges[row].comment);
        break;
    case SearchStringView:
        r.firstText = text(d.searchStrings[row]);
        break;
    default:
        break;
    }
}

} // namespace

bool DatabaseEditing::opens(int command) {
    return editorFor(command) != nullptr;
}

void DatabaseEditing::editFirstField(int view) {
    const DatabasePresenter::Ports& ports = p_.ports();
    if (view < 0 || view >= kListViewCount || view != ports.doc.controlParams.databaseView ||
        kFirstEditor[view] == 0)
        return;
    // The keyboard's way to the editor chooses the selection as a
    // right-click would; with nothing selected the caret row is edited.
    if (ports.screen.selectedRows(view).empty())
        ports.screen.selectRow(view, ports.screen.caretRow(view));
    p_.choose(view);
    open(kFirstEditor[view]);
}

void DatabaseEditing::open(int command) {
    const DatabasePresenter::Ports& ports = p_.ports();
    const EditorSpec* spec = editorFor(command);
    if (!spec || spec->view != ports.doc.controlParams.databaseView)
        return;
    const int row = ports.screen.caretRow(spec->view);
    if (row < 0 || row >= ports.screen.rowCount(spec->view))
        return;
    p_.holdUntilCleared();
    edited_ = ChosenItems(ports.doc, spec->view, {row});
    EditorRequest request{spec->view,         row,         spec->kind, spec->firstColumn,
                          spec->secondColumn, spec->width, {},         {}};
    fillTexts(ports.doc, request);
    open_[std::size_t(spec->view)] = spec;
    ports.screen.openEditor(request);
}

void DatabaseEditing::follow(int view) {
    const DatabasePresenter::Ports& ports = p_.ports();
    if (!ports.screen.editorOpen(view) || edited_.view() != view)
        return;
    const std::vector<int> rows = edited_.find(ports.doc).rows;
    if (!rows.empty())
        ports.screen.moveEditorTo(view, rows.front());
}

void DatabaseEditing::forget() {
    edited_ = {};
    for (int v = 0; v < kListViewCount; ++v)
        if (p_.ports().screen.editorOpen(v))
            discard(v);
}

void DatabaseEditing::finish(int view, bool storeIt) {
    if (!p_.ports().screen.editorOpen(view))
        return;
    if (!storeIt) {
        discard(view);
        return;
    }
    // A stored channel frequency leaves the selection to selectChannel.
    if (store(view))
        reselect(view);
}

void DatabaseEditing::discard(int view) {
    p_.ports().screen.closeEditor(view);
    open_[std::size_t(view)] = nullptr;
    p_.releaseHold();
    reselect(view);
}

void DatabaseEditing::reselect(int view) {
    DatabaseScreen& screen = p_.ports().screen;
    screen.clearSelection(view);
    if (edited_.view() == view)
        if (const std::vector<int> at = edited_.find(p_.ports().doc).rows; !at.empty())
            screen.setCaretRow(view, at.front());
    if (p_.chosen().view() == view)
        screen.selectRows(view, p_.chosenRows());
}

bool DatabaseEditing::store(int view) {
    const EditorSpec* spec = open_[std::size_t(view)];
    const std::vector<int> at =
        spec && edited_.view() == view ? p_.rowsOf(edited_) : std::vector<int>{};
    if (at.empty()) {
        p_.ports().screen.closeEditor(view);
        open_[std::size_t(view)] = nullptr;
        return false;
    }
    switch (spec->kind) {
    case EditKind::Frequency:
        return storeChannelFrequency(at.front());
    case EditKind::Range:
        return storeRangeEdges(view, at.front());
    case EditKind::Text:
        break;
    }
    return storeText(view, at.front());
}

// A text goes to every chosen row; the lists redraw what the document
// reports changed.
bool DatabaseEditing::storeText(int view, int row) {
    const DatabasePresenter::Ports& ports = p_.ports();
    const std::string typed = utf8ToCp932(ports.screen.editorText(view, 0));
    ports.screen.closeEditor(view);
    open_[std::size_t(view)] = nullptr;
    const std::vector<int> rows =
        p_.chosen().view() == view ? p_.rowsOf(p_.chosen()) : std::vector<int>{row};
    CKovo5Doc& d = ports.doc;
    switch (view) {
    case ChannelView:
        d.channelTable().setChannelComments(rows, typed);
        break;
    case BankView:
        d.banks().setBankNames(rows, typed);
        p_.host().bankNamesChanged();
        break;
    case SearchBankView:
    case PassRangeView:
    case AutoRangeView:
        d.ranges().setRangeComments(view, rows, typed);
        break;
    case SearchStringView:
        d.ranges().setSearchStrings(rows, typed);
        ports.screen.reloadSearchStrings();
        break;
    default:
        return false;
    }
    return true;
}

// Text that is no frequency of the receiver's range is refused: the editor
// keeps it for correction and the channel stays as it was.
bool DatabaseEditing::storeChannelFrequency(int row) {
    const DatabasePresenter::Ports& ports = p_.ports();
    DatabaseScreen& screen = ports.screen;
    const auto f = parseTypedMegahertz(screen.editorText(ChannelView, 0));
    if (!f) {
        screen.refuseEntry(ChannelView, 0);
        return false;
    }
    const int existing = ports.doc.channelTable().findChannel(*f);
    if (existing >= 0 && existing != row) {
        // The message does not wait to be closed; once it is, the user goes
        // on typing in the editor.
        screen.focusEditor(ChannelView);
        ports.notifier.showMessageThen(uiText("Database", kAlreadyStored), [alive = p_.lifetime()] {
            if (const auto self = alive.lock())
                (*self)->ports().screen.returnToEditor(ChannelView);
        });
        return false;
    }
    const int newRow = ports.doc.channelTable().setChannelFrequency(row, *f);
    screen.closeEditor(ChannelView);
    open_[std::size_t(ChannelView)] = nullptr;
    p_.rebuildChannels();
    p_.selectChannel(newRow);
    return false;
}

bool DatabaseEditing::storeRangeEdges(int view, int row) {
    const DatabasePresenter::Ports& ports = p_.ports();
    DatabaseScreen& screen = ports.screen;
    const auto low = parseTypedMegahertz(screen.editorText(view, 0));
    if (!low) {
        screen.refuseEntry(view, 0);
        return false;
    }
    const auto high = parseTypedMegahertz(screen.editorText(view, 1));
    if (!high) {
        screen.refuseEntry(view, 1);
        return false;
    }
    screen.closeEditor(view);
    open_[std::size_t(view)] = nullptr;
    ports.doc.ranges().setRangeEdges(view, row, *low, *high);
    return true;
}

} // namespace kovo
