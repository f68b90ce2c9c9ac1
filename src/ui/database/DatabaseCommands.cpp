// What the context menus, the in-place editor and double-clicks of the
// database lists do.
#include "ui/database/DatabasePanel.h"

#include "data/CKovo5Doc.h"
#include "data/Cp932.h"
#include "data/DatabaseEdits.h"
#include "data/Notifier.h"
#include "ui/database/DatabaseLines.h"
#include "ui/database/DatabaseMenus.h"
#include "ui/database/DatabaseModel.h"

#include <QMenu>

#include <cstdio>

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

} // namespace

// ---- context menu ----

std::unique_ptr<QMenu> DatabasePanel::prepareContextMenu(DatabaseList& list, QPoint viewportPos) {
    CKovo5Doc& d = ports_.doc;
    const int view = list.id() - kFirstList;
    const bool singleRowView = view == SearchStringView || view == LogView;
    if (singleRowView || list.selectedRows().empty()) {
        list.clearSelection();
        const int row = list.rowNearest(viewportPos);
        list.selectRow(row);
        list.setCaretRow(row);
    }
    handedOver_.set(list.selectedRows());
    auto menu =
        dbmenus::buildMenu(d, ports_.settings, view, host_->recorderLinked(),
                           dbmenus::checkedItems(d, ports_.settings, view, handedOver_.rows()));
    for (QAction* a : dbmenus::commandActions(*menu)) {
        const int command = a->data().toInt();
        connect(a, &QAction::triggered, this, [this, command] { runCommand(command); });
    }
    holdForAWhile();
    return menu;
}

// ---- commands ----

void DatabasePanel::runCommand(int command) {
    CKovo5Doc& d = ports_.doc;
    if (isPropertyCommand(command)) {
        runPropertyCommand(command, handedOver_.rows());
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

void DatabasePanel::deleteChannels() {
    CKovo5Doc& d = ports_.doc;
    char question[128];
    std::snprintf(question, sizeof question, kDeleteQuestion, int(handedOver_.rows().size()));
    if (!host_->confirmDeleteData(question))
        return;
    const int row = d.deleteChannels(handedOver_.rows());
    if (d.channelCount == 0)
        rebuildChannels();
    else
        rebuildChannelsAndSelect(row);
}

void DatabasePanel::clearLog() {
    if (!host_->confirmDeleteData(kClearLogQuestion))
        return;
    ports_.doc.clearLog();
    rebuildList(LogView);
}

void DatabasePanel::analyseLog() {
    const std::vector<int>& rows = handedOver_.rows();
    if (!rows.empty())
        ports_.doc.analyseLog(rows.front());
    showView(dblines::ChartView);
}

void DatabasePanel::cutAutoRanges() {
    ports_.doc.cutAutoRanges(handedOver_.rows());
    rebuildList(AutoRangeView);
}

void DatabasePanel::pasteAutoRanges() {
    ports_.doc.pasteAutoRanges(handedOver_.rows());
    rebuildList(AutoRangeView);
}

void DatabasePanel::makePriorityChannel() {
    CKovo5Doc& d = ports_.doc;
    const std::vector<int> rows = handedOver_.below(d.channelCount);
    if (rows.empty())
        return;
    d.choosePriorityChannel(rows.front());
    rebuildChannelsKeepingPlace();
}

void DatabasePanel::startPlayback() {
    CKovo5Doc& d = ports_.doc;
    const std::vector<int> rows = handedOver_.below(d.logCount);
    if (!host_->recorderLinked() || rows.empty())
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
    // The keyboard's way to the editor hands over the selection as a
    // right-click would; with nothing selected the caret row is edited.
    if (l.selectedRows().empty())
        l.selectRow(l.caretRow());
    handedOver_.set(l.selectedRows());
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
    if (core_)
        core_->holdUntilCleared();
    else
        localHold_ = true;
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
    l.clearSelection();
    l.setCaretRow(l.editedRow());
    l.selectRows(handedOver_.rows());
}

bool DatabasePanel::storeEdit(DatabaseList& l) {
    CKovo5Doc& d = ports_.doc;
    const int view = l.editedView();
    const int row = l.editedRow();
    const QString firstText = l.firstEditor() ? l.firstEditor()->text() : QString();
    const QString secondText = l.secondEditor() ? l.secondEditor()->text() : QString();

    if (view == ChannelView && l.editKind() == DatabaseList::FrequencyEdit) {
        if (row < 0 || row >= d.channelCount) {
            l.closeEditors();
            return false;
        }
        const std::uint32_t f = edits::parseMegahertz(firstText.toStdString());
        const int existing = d.findChannel(f);
        if (existing >= 0 && existing != row) {
            l.firstEditor()->setFocus();
            ports_.notifier.showMessage(kAlreadyStored);
            return false;
        }
        const int newRow = d.setChannelFrequency(row, f);
        l.closeEditors();
        rebuildChannelsAndSelect(newRow);
        return false;
    }

    const std::string text = toCp932(firstText);
    const std::uint32_t low = edits::parseMegahertz(firstText.toStdString());
    const std::uint32_t high = edits::parseMegahertz(secondText.toStdString());
    const bool range = l.editKind() == DatabaseList::RangeEdit;
    l.closeEditors();
    // The lists redraw what the document reports changed.
    switch (view) {
    case ChannelView:
        d.setChannelComments(handedOver_.rows(), text);
        break;
    case BankView:
        d.setBankNames(handedOver_.rows(), text);
        host_->bankNamesChanged();
        break;
    case SearchBankView:
    case PassRangeView:
    case AutoRangeView:
        if (range)
            d.setRangeEdges(view, row, low, high);
        else
            d.setRangeComments(view, handedOver_.rows(), text);
        break;
    case SearchStringView:
        d.setSearchStrings(handedOver_.rows(), text);
        rebuildSearchCombo();
        break;
    default:
        return false;
    }
    return true;
}

} // namespace kovo
