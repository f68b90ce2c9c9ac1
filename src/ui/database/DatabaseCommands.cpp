// What the context menus, the in-place editor and double-clicks of the
// database lists do.
#include "ui/database/DatabasePanel.h"

#include "data/CKovo5Doc.h"
#include "data/Cp932.h"
#include "data/DatabaseEdits.h"
#include "data/Notifier.h"
#include "data/TypedFrequency.h"
#include "ui/database/DatabaseLines.h"
#include "ui/database/DatabaseMenus.h"
#include "ui/database/DatabaseModel.h"

#include <QMenu>

#include <cstdio>
#include <string>

namespace kovo {
namespace {

using namespace dbmenus;
using dblines::AutoRangeView;
using dblines::BankView;
using dblines::ChannelView;
using dblines::LogView;
using dblines::PassRangeView;
using dblines::SearchBankView;
using dblines::SearchStringView;

constexpr const char* kDeleteQuestion = "選択された %d 個のデータを削除します";
constexpr const char* kClearLogQuestion = "ログデータを消去します よろしいですか？";
constexpr const char* kNoAudio = "音声データがありません";
constexpr const char* kAlreadyStored = "登録済みの周波数です";
constexpr const char* kItemsGone = "選択されたデータのうち %d 個は既にありません";
// The delete question names up to this many channels.
constexpr std::size_t kNamedChannels = 5;

struct EditorSpec {
    int command;
    int view;
    DatabaseList::EditKind kind;
    int firstColumn;
    int secondColumn;
    int width;
};
// The in-place editors: which field of which view, where and how wide.
constexpr EditorSpec kEditors[] = {
    {32866, 0, DatabaseList::FrequencyEdit, 11, -1, 11},
    {32849, 0, DatabaseList::TextEdit, 53, -1, 40},
    {32852, 1, DatabaseList::TextEdit, 12, -1, 32},
    {32865, 2, DatabaseList::RangeEdit, 6, 18, 11},
    {32870, 2, DatabaseList::TextEdit, 49, -1, 32},
    {32859, 3, DatabaseList::RangeEdit, 6, 18, 11},
    {32864, 3, DatabaseList::TextEdit, 31, -1, 32},
    {32867, 4, DatabaseList::RangeEdit, 6, 18, 11},
    {32871, 4, DatabaseList::TextEdit, 49, -1, 32},
    {32868, 5, DatabaseList::TextEdit, 6, -1, 32},
};
// F2 opens the first editor of a view.
constexpr int kFirstEditor[] = {32866, 32852, 32865, 32859, 32867, 32868, 0};

const EditorSpec* editorFor(int command) {
    for (const EditorSpec& e : kEditors)
        if (e.command == command)
            return &e;
    return nullptr;
}

bool inRange(int command, int first, int last) {
    return command >= first && command <= last;
}

bool isPropertyCommand(int c) {
    return inRange(c, FirstBank, kLastBank) || c == MultiBankMode ||
           inRange(c, FirstStep, kLastAntenna) || inRange(c, BankUseYes, BankUseNo) ||
           inRange(c, SearchUseYes, PassUseNo) || inRange(c, AutoUseYes, AutoUseNo) ||
           inRange(c, FirstCtcss, kLastCtcss);
}

QString megahertzText(std::uint32_t f) {
    char buf[24];
    std::snprintf(buf, sizeof buf, "%4d.%06d", int(f / 1000000), int(f % 1000000));
    return QString::fromLatin1(buf);
}

QString fromCp932(const std::string& s) {
    return QString::fromStdString(cp932ToUtf8(s));
}
std::string toCp932(const QString& s) {
    return utf8ToCp932(s.toStdString());
}

// The delete question with the channels it deletes: their frequencies, and
// how many more there are beyond the first few.
std::string deleteQuestion(const ChosenItems& chosen) {
    char buf[160];
    std::snprintf(buf, sizeof buf, kDeleteQuestion, int(chosen.size()));
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
        std::snprintf(buf, sizeof buf, " ほか %d 個", int(frequencies.size() - kNamedChannels));
        question += buf;
    }
    return question;
}

} // namespace

// ---- context menu ----

std::unique_ptr<QMenu> DatabasePanel::prepareContextMenu(DatabaseList& list, QPoint viewportPos) {
    CKovo5Doc& d = ports_.doc;
    const int view = list.id() - kFirstList;
    const bool singleRowView = view == SearchStringView || view == LogView;
    // The clicked row is what the menu acts on: a click on a selected row
    // keeps the selection, a click elsewhere selects that row alone (the
    // scan's own selection of its channel included). The caret follows the
    // click, so an editor opens on the row clicked.
    const int row = list.rowNearest(viewportPos);
    if (singleRowView || !list.isRowSelected(row)) {
        list.clearSelection();
        list.selectRow(row);
    }
    list.setCaretRow(row);
    choose(list);
    auto menu = dbmenus::buildMenu(d, ports_.settings, view, host_->recorderLinked(),
                                   dbmenus::checkedItems(d, ports_.settings, view, chosenRows()));
    for (QAction* a : dbmenus::commandActions(*menu)) {
        const int command = a->data().toInt();
        connect(a, &QAction::triggered, this, [this, command] { runCommand(command); });
    }
    holdForAWhile();
    return menu;
}

// ---- commands ----

void DatabasePanel::choose(DatabaseList& list) {
    chosen_ = ChosenItems(ports_.doc, list.id() - kFirstList, list.selectedRows());
}

std::vector<int> DatabasePanel::chosenRows() const {
    return chosen_.find(ports_.doc).rows;
}

std::vector<int> DatabasePanel::rowsOf(const ChosenItems& items) {
    ChosenItems::Found found = items.find(ports_.doc);
    tellGone(found.gone);
    return std::move(found.rows);
}

void DatabasePanel::tellGone(std::size_t count) {
    if (count == 0)
        return;
    char message[128];
    std::snprintf(message, sizeof message, kItemsGone, int(count));
    ports_.notifier.showMessage(message);
}

void DatabasePanel::runCommand(int command) {
    CKovo5Doc& d = ports_.doc;
    if (isPropertyCommand(command)) {
        // A menu of another view (a document read meanwhile) acts on nothing.
        if (chosen_.view() == d.controlParams.databaseView || command == MultiBankMode)
            runPropertyCommand(command, rowsOf(chosen_));
        releaseHold();
        return;
    }
    DatabaseList& current = currentList();
    if (current.editorOpen())
        discardEdit(current);
    holdForAWhile();
    const int view = d.controlParams.databaseView;
    if (const int target = dbmenus::viewOfCommand(command); target >= 0) {
        showViewCommand(target);
    } else if (editorFor(command)) {
        openEditor(command);
    } else if (command == Delete && view == ChannelView) {
        deleteChannels();
    } else if (command == LogAnalyze && view == LogView) {
        analyseLog();
    } else if (command == LogClear && view == LogView) {
        clearLog();
    } else if (command == Cut && view == AutoRangeView) {
        cutAutoRanges();
    } else if (command == Paste && view == AutoRangeView) {
        pasteAutoRanges();
    } else if (command == ActualMemoryNames && view == ChannelView) {
        makePriorityChannel();
    } else if (command == StartPlayback && view == LogView) {
        startPlayback();
    } else if (command == StopPlayback && view == LogView) {
        if (host_->recorderLinked())
            host_->stopPlayback();
    }
}

bool DatabasePanel::runPropertyCommand(int c, const std::vector<int>& rows) {
    CKovo5Doc& d = ports_.doc;
    const int view = d.controlParams.databaseView;
    const bool settingsView =
        view == ChannelView || view == SearchBankView || view == AutoRangeView;
    bool changed = false;
    int changedView = view;
    if (inRange(c, FirstBank, kLastBank) && view == ChannelView) {
        changed = d.setChannelBanks(rows, c - FirstBank, ports_.settings.mbMultiSelect == 1);
    } else if (c == MultiBankMode) {
        if (d.writeSoftSetting)
            d.writeSoftSetting("MBMultiSelect", ports_.settings.mbMultiSelect == 1 ? 0 : 1);
        return false;
    } else if (inRange(c, FirstStep, kLastStep) && settingsView) {
        changed = d.setRowsStep(view, rows, c - FirstStep + 1);
    } else if (inRange(c, FirstMode, kLastMode) && settingsView) {
        changed = d.setRowsMode(view, rows, c - FirstMode);
    } else if (inRange(c, FirstIfBandwidth, kLastIfBandwidth) && settingsView) {
        changed = d.setRowsIfBandwidth(view, rows, c - FirstIfBandwidth);
    } else if (inRange(c, FirstAttenuator, kLastAttenuator) && settingsView) {
        changed = d.setRowsAttenuator(view, rows, c - FirstAttenuator);
    } else if (inRange(c, FirstAntenna, kLastAntenna) && settingsView) {
        changed = d.setRowsAntenna(view, rows, c - FirstAntenna);
    } else if (inRange(c, FirstCtcss, kLastCtcss) && view == ChannelView &&
               ports_.settings.optCtcss == 1) {
        changed = d.setChannelsCtcss(rows, c - FirstCtcss);
    } else if (inRange(c, BankUseYes, BankUseNo)) {
        changedView = BankView;
        changed = d.setUseFlags(BankView, rows, c == BankUseYes);
    } else if (inRange(c, SearchUseYes, SearchUseNo)) {
        changedView = SearchBankView;
        changed = d.setUseFlags(SearchBankView, rows, c == SearchUseYes);
    } else if (inRange(c, PassUseYes, PassUseNo)) {
        changedView = PassRangeView;
        changed = d.setUseFlags(PassRangeView, rows, c == PassUseYes);
    } else if (inRange(c, AutoUseYes, AutoUseNo)) {
        changedView = AutoRangeView;
        changed = d.setUseFlags(AutoRangeView, rows, c == AutoUseYes);
    }
    if (changed)
        afterPropertyChange(changedView);
    return changed;
}

// The lists redraw the changed rows on the document's notices; what is left
// is the channel list's numbering and restarting the scan that uses the table.
void DatabasePanel::afterPropertyChange(int view) {
    if (view == ChannelView) {
        rebuildChannelsKeepingPlace();
        return;
    }
    const OperatingMode mode = ports_.doc.controlParams.mode();
    if (view == BankView) {
        if (mode == OperatingMode::MemoryScan && core_)
            core_->setOperatingMode(mode);
    } else if (view == SearchBankView && mode == OperatingMode::ProgramSearch && core_) {
        core_->setOperatingMode(mode);
    }
}

void DatabasePanel::showViewCommand(int view) {
    ports_.doc.controlParams.databaseView = view;
    showView(view);
}

// The question names the channels chosen now; whatever the scan stores or
// logs until it is answered, the answer deletes those channels and no other.
// The selection stays put while it is asked.
void DatabasePanel::deleteChannels() {
    if (chosen_.view() != ChannelView || chosen_.empty())
        return;
    const ChosenItems chosen = chosen_;
    const int generation = documentGeneration_;
    holdUntilCleared();
    QPointer<DatabasePanel> self(this);
    host_->askDeleteData(deleteQuestion(chosen), [self, chosen, generation](bool ok) {
        if (!self)
            return;
        self->holdForAWhile();
        if (!ok)
            return;
        if (generation != self->documentGeneration_)
            self->tellGone(chosen.size());
        else
            self->deleteChosenChannels(chosen);
    });
}

void DatabasePanel::deleteChosenChannels(const ChosenItems& chosen) {
    CKovo5Doc& d = ports_.doc;
    const std::vector<int> rows = rowsOf(chosen);
    if (rows.empty())
        return;
    const int row = d.deleteChannels(rows);
    if (d.channelCount == 0)
        rebuildChannels();
    else
        rebuildChannelsAndSelect(row);
}

void DatabasePanel::clearLog() {
    holdUntilCleared();
    QPointer<DatabasePanel> self(this);
    host_->askDeleteData(kClearLogQuestion, [self](bool ok) {
        if (!self)
            return;
        self->holdForAWhile();
        if (!ok)
            return;
        self->ports_.doc.clearLog();
        self->rebuildList(LogView);
    });
}

void DatabasePanel::analyseLog() {
    const std::vector<int> rows = rowsOf(chosen_.first());
    if (!rows.empty())
        ports_.doc.analyseLog(rows.front());
    showView(dblines::ChartView);
}

void DatabasePanel::cutAutoRanges() {
    ports_.doc.cutAutoRanges(rowsOf(chosen_));
    rebuildList(AutoRangeView);
}

void DatabasePanel::pasteAutoRanges() {
    ports_.doc.pasteAutoRanges(rowsOf(chosen_.first()));
    rebuildList(AutoRangeView);
}

void DatabasePanel::makePriorityChannel() {
    CKovo5Doc& d = ports_.doc;
    const std::vector<int> rows = rowsOf(chosen_.first());
    if (rows.empty())
        return;
    d.choosePriorityChannel(rows.front());
    rebuildChannelsKeepingPlace();
}

void DatabasePanel::startPlayback() {
    CKovo5Doc& d = ports_.doc;
    if (!host_->recorderLinked())
        return;
    const std::vector<int> rows = rowsOf(chosen_.first());
    if (rows.empty())
        return;
    const CLogData& entry = d.logEntry(rows.front());
    if (!host_->startPlayback(entry.frequency, entry.firstHeard, " "))
        ports_.notifier.showMessage(kNoAudio);
}

// ---- double-click ----

void DatabasePanel::activateRow(DatabaseList& l) {
    CKovo5Doc& d = ports_.doc;
    const int view = l.id() - kFirstList;
    const int row = l.caretRow();
    if (!core_ || row < 0 || row >= l.rowCount())
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

// ---- in-place editor ----

void DatabasePanel::editFirstField(DatabaseList& l) {
    const int view = l.id() - kFirstList;
    if (view != ports_.doc.controlParams.databaseView || kFirstEditor[view] == 0)
        return;
    // The keyboard's way to the editor chooses the selection as a
    // right-click would; with nothing selected the caret row is edited.
    if (l.selectedRows().empty())
        l.selectRow(l.caretRow());
    choose(l);
    openEditor(kFirstEditor[view]);
}

void DatabasePanel::openEditor(int command) {
    CKovo5Doc& d = ports_.doc;
    const EditorSpec* spec = editorFor(command);
    if (!spec || spec->view != d.controlParams.databaseView)
        return;
    DatabaseList& l = list(spec->view);
    const int row = l.caretRow();
    if (row < 0 || row >= l.rowCount())
        return;
    holdUntilCleared();
    edited_ = ChosenItems(d, spec->view, {row});
    QString first;
    QString second;
    const auto r = std::size_t(row);
    switch (spec->view) {
    case ChannelView:
        first = spec->kind == DatabaseList::FrequencyEdit ? megahertzText(d.channels[r]->frequency)
                                                          : fromCp932(d.channels[r]->comment);
        break;
    case BankView:
        first = fromCp932(d.memoryBanks[r].name);
        break;
    case SearchBankView:
        first = megahertzText(d.searchBanks[r].startFrequency);
        second = megahertzText(d.searchBanks[r].stopFrequency);
        if (spec->kind == DatabaseList::TextEdit)
            first = fromCp932(d.searchBanks[r].comment);
        break;
    case PassRangeView:
        first = megahertzText(d.passRanges[r].lowFrequency);
        second = megahertzText(d.passRanges[r].highFrequency);
        if (spec->kind == DatabaseList::TextEdit)
            first = fromCp932(d.passRanges[r].comment);
        break;
    case AutoRangeView:
        first = megahertzText(d.autoRanges[r].startFrequency);
        second = megahertzText(d.autoRanges[r].stopFrequency);
        if (spec->kind == DatabaseList::TextEdit)
            first = fromCp932(d.autoRanges[r].comment);
        break;
    case SearchStringView:
        first = fromCp932(d.searchStrings[r]);
        break;
    default:
        return;
    }
    l.openEditors(row, spec->view, spec->kind, spec->firstColumn, spec->secondColumn, spec->width,
                  first, second);
}

void DatabasePanel::followEditedItem(int view) {
    DatabaseList& l = list(view);
    if (!l.editorOpen() || edited_.view() != view)
        return;
    const std::vector<int> rows = edited_.find(ports_.doc).rows;
    if (!rows.empty())
        l.moveEditorsTo(rows.front());
}

void DatabasePanel::finishEdit(DatabaseList& l) {
    if (!l.editorOpen())
        return;
    const bool commit = l.commitOnFocus();
    l.setCommitOnFocus(true);
    if (!commit) {
        discardEdit(l);
        return;
    }
    // A stored channel frequency leaves the selection to selectChannel.
    if (storeEdit(l))
        reselectAfterEdit(l);
}

void DatabasePanel::discardEdit(DatabaseList& l) {
    l.closeEditors();
    releaseHold();
    reselectAfterEdit(l);
}

void DatabasePanel::reselectAfterEdit(DatabaseList& l) {
    const int view = l.id() - kFirstList;
    l.clearSelection();
    if (edited_.view() == view)
        if (const std::vector<int> at = edited_.find(ports_.doc).rows; !at.empty())
            l.setCaretRow(at.front());
    if (chosen_.view() == view)
        l.selectRows(chosenRows());
}

bool DatabasePanel::storeEdit(DatabaseList& l) {
    CKovo5Doc& d = ports_.doc;
    const int view = l.editedView();
    const std::vector<int> at = edited_.view() == view ? rowsOf(edited_) : std::vector<int>{};
    if (at.empty()) {
        l.closeEditors();
        return false;
    }
    const int row = at.front();
    if (l.editKind() == DatabaseList::FrequencyEdit)
        return storeChannelFrequency(l, row);
    if (l.editKind() == DatabaseList::RangeEdit)
        return storeRangeEdges(l, row);

    const std::string text = toCp932(l.firstEditor()->text());
    l.closeEditors();
    // A text goes to every chosen row; the lists redraw what the document
    // reports changed.
    const std::vector<int> rows = chosen_.view() == view ? rowsOf(chosen_) : at;
    switch (view) {
    case ChannelView:
        d.setChannelComments(rows, text);
        break;
    case BankView:
        d.setBankNames(rows, text);
        host_->bankNamesChanged();
        break;
    case SearchBankView:
    case PassRangeView:
    case AutoRangeView:
        d.setRangeComments(view, rows, text);
        break;
    case SearchStringView:
        d.setSearchStrings(rows, text);
        rebuildSearchCombo();
        break;
    default:
        return false;
    }
    return true;
}

// Text that is no frequency of the receiver's range is refused: the editor
// keeps it for correction and the channel stays as it was.
bool DatabasePanel::storeChannelFrequency(DatabaseList& l, int row) {
    CKovo5Doc& d = ports_.doc;
    const auto f = parseTypedMegahertz(l.firstEditor()->text().toStdString());
    if (!f) {
        l.firstEditor()->refuse();
        return false;
    }
    const int existing = d.findChannel(*f);
    if (existing >= 0 && existing != row) {
        // The message does not wait to be closed; once it is, the user goes
        // on typing in the editor.
        l.firstEditor()->setFocus();
        ports_.notifier.showMessageThen(kAlreadyStored,
                                        [editor = QPointer<CellEditor>(l.firstEditor())] {
                                            if (editor && editor->isVisible())
                                                editor->takeFocusBack();
                                        });
        return false;
    }
    const int newRow = d.setChannelFrequency(row, *f);
    l.closeEditors();
    rebuildChannelsAndSelect(newRow);
    return false;
}

bool DatabasePanel::storeRangeEdges(DatabaseList& l, int row) {
    const auto low = parseTypedMegahertz(l.firstEditor()->text().toStdString());
    if (!low) {
        l.firstEditor()->refuse();
        return false;
    }
    const auto high = parseTypedMegahertz(l.secondEditor()->text().toStdString());
    if (!high) {
        l.secondEditor()->refuse();
        return false;
    }
    const int view = l.editedView();
    l.closeEditors();
    ports_.doc.setRangeEdges(view, row, *low, *high);
    return true;
}

} // namespace kovo
