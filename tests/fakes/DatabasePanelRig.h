#pragma once
// A database panel on a document of its own, with the core and the host
// recorded.
#include "FakeDatabaseHost.h"
#include "ViewFakes.h"

#include "data/DatabaseEdits.h"
#include "ui/PanelFonts.h"
#include "ui/database/DatabaseLines.h"
#include "ui/database/DatabaseMenus.h"
#include "ui/database/DatabaseModel.h"
#include "ui/database/DatabasePanel.h"

#include <cstdlib>
#include <ctime>
#include <functional>

namespace kovo::test {

struct FakeDatabaseCore : DatabaseCore {
    bool hold = false;
    bool holdTimed = false;
    std::vector<int> modes, channels, logEntries, searchBanks;
    void holdForAWhile() override { hold = holdTimed = true; }
    void holdUntilCleared() override { hold = true, holdTimed = false; }
    void releaseHold() override { hold = holdTimed = false; }
    bool isHeld() const override { return hold; }
    void setOperatingMode(OperatingMode mode) override { modes.push_back(toStored(mode)); }
    void channelChosenByHand(int row) override { channels.push_back(row); }
    void logEntryChosenByHand(int r) override { logEntries.push_back(r); }
    void searchBankChosenByHand(int k) override { searchBanks.push_back(k); }
    // As the receiver's operations do it: a running memory scan starts again.
    bool chooseLinkSet(int k) override {
        if (!doc || !doc->banks().setCurrentLinkSet(k))
            return false;
        if (doc->controlParams.mode() == OperatingMode::MemoryScan)
            setOperatingMode(OperatingMode::MemoryScan);
        return true;
    }
    CKovo5Doc* doc = nullptr;
    const ReceiverFeatures* receiverFeatures() const override { return features; }
    const ReceiverFeatures* features = nullptr;
};

struct DatabasePanelRig {
    DatabasePanelRig() {
        setenv("TZ", "UTC", 1);
        tzset();
        softSettings =
            doc.parameters().softSettingChanges().subscribe([this](const SoftSettingChange& c) {
                if (c.which == SoftSetting::MbMultiSelect)
                    settings.mbMultiSelect = c.value;
            });
        core.doc = &doc;
        panel.setCore(&core);
        panel.setHost(&host);
        panel.show();
    }

    // A channel at f in the given banks; returns its row.
    int addChannel(std::uint32_t f, std::int32_t bankMask = 1) {
        const int row = doc.channelTable().storeChannel(f);
        doc.channels[std::size_t(row)]->bankMask = bankMask;
        doc.channels[std::size_t(row)]->comment.clear();
        return row;
    }
    void addLog(std::uint32_t f, std::int32_t first, std::int32_t last, std::int32_t signal = 3) {
        doc.mainRecord.frequency = f;
        doc.mainRecord.comment.clear();
        clock.setMilliseconds(std::int64_t(first) * 1000);
        doc.log().openLogEntry(doc.mainRecord, signal);
        doc.logEntry(doc.logCount - 1).lastHeard = last;
    }
    // Right-click on `row` of the current view's list and run a command.
    void command(int c, const std::vector<int>& rows) {
        DatabaseList& l = panel.currentList();
        l.selectRows(rows);
        if (!rows.empty())
            l.setCaretRow(rows.front());
        auto menu = panel.prepareContextMenu(
            l, l.visualRect(l.model()->index(rows.empty() ? 0 : rows.front(), 0)).center());
        panel.runCommand(c);
    }
    void show(int view) {
        doc.controlParams.databaseView = view;
        panel.showView(view);
    }
    QString lineOf(int view, int row) const { return dblines::line(doc, view, row); }

    AppSettings settings;
    ManualClock clock{0};
    CKovo5Doc doc{settings, clock};
    RecordingNotifier notifier;
    FakeDatabaseCore core;
    FakeDatabaseHost host;
    PanelFonts fonts = PanelFonts::create();
    DatabasePanel panel{{doc, settings, notifier}, fonts};
    Subscription softSettings;
    // What the scan makes of the document's notices.
    ScanState scan{doc};
};

} // namespace kovo::test
