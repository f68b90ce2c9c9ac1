#pragma once
// A database panel on a document of its own, with the core and the host
// recorded.
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

namespace kovo::testing {

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
};

struct FakeDatabaseHost : DatabaseHost {
    bool confirm = true;
    bool linked = false;
    bool hasAudio = true;
    // Answers later, as a dialog that does not block would.
    bool answerLater = false;
    std::function<void(bool)> pendingAnswer;
    // Runs while the question is on screen (the scan goes on meanwhile).
    std::function<void()> whileAsking;
    std::vector<std::string> questions;
    std::vector<std::uint32_t> playbacks;
    int stops = 0, bankNotices = 0;
    bool confirmDeleteData(const std::string& q) override {
        questions.push_back(q);
        if (whileAsking)
            whileAsking();
        return confirm;
    }
    void askDeleteData(const std::string& q, std::function<void(bool)> answer) override {
        if (!answerLater) {
            DatabaseHost::askDeleteData(q, std::move(answer));
            return;
        }
        questions.push_back(q);
        pendingAnswer = std::move(answer);
    }
    bool recorderLinked() const override { return linked; }
    bool startPlayback(std::uint32_t f, std::int32_t, const std::string&) override {
        playbacks.push_back(f);
        return hasAudio;
    }
    void stopPlayback() override { ++stops; }
    void tunedFromList(std::uint32_t, const std::string&) override {}
    void bankNamesChanged() override { ++bankNotices; }
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

} // namespace kovo::testing
