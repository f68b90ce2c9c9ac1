#pragma once
// Recorders and a wired-up view for the UI tests, the screenshot demo and
// the benchmark.
#include <optional>

#include "data/AppSettings.h"
#include "data/CKovo5Doc.h"
#include "data/Clock.h"
#include "data/Notifier.h"
#include "scan/BandScope.h"
#include "scan/OperatingModes.h"
#include "scan/ReceiverOperations.h"
#include "scan/ScanSteps.h"
#include "ui/CKovo5View.h"
#include "ui/ViewInterfaces.h"

#include "Recorders.h"

#include <QPoint>

#include <memory>
#include <string>
#include <vector>

namespace kovo::test {

// The core's operating modes, scan steps and band scope, with the commands
// recorded. The link and the timers are left out.
struct FakeCore : CoreCommands {
    std::unique_ptr<ScanState> state;
    std::unique_ptr<ScanSteps> steps;
    std::unique_ptr<BandScope> scope;
    std::unique_ptr<OperatingModes> operatingModes;
    std::unique_ptr<ReceiverOperations> ops;
    std::vector<int> modes;
    int priorityToggles = 0;
    int sendNexts = 0;
    int memorySteps = 0, searchSteps = 0, oneMhzSteps = 0;

    void attach(CKovo5Doc& doc, const AppSettings& settings, ViewSink& view) {
        state = std::make_unique<ScanState>(doc);
        steps = std::make_unique<ScanSteps>(doc, *state, settings, view);
        scope = std::make_unique<BandScope>(doc, view);
        operatingModes = std::make_unique<OperatingModes>(doc, *steps, *scope, view);
        ops = std::make_unique<ReceiverOperations>(
            ReceiverOperations::Seams{doc,
                                      *state,
                                      settings,
                                      *scope,
                                      view,
                                      [this](OperatingMode mode) { setOperatingMode(mode); },
                                      [this] { ++sendNexts; },
                                      nullptr,
                                      {},
                                      [this](OperatingMode mode) { countStep(mode); },
                                      [this] { ++priorityToggles; },
                                      operatingModes.get()});
    }
    void setOperatingMode(OperatingMode mode) override {
        modes.push_back(toStored(mode));
        operatingModes->setOperatingMode(mode);
    }
    void setOperatingMode(int stored) { setOperatingMode(static_cast<OperatingMode>(stored)); }
    void countStep(OperatingMode mode) {
        ++(mode == OperatingMode::MemoryScan      ? memorySteps
           : mode == OperatingMode::ProgramSearch ? searchSteps
                                                  : oneMhzSteps);
    }
    void sendNext() override { ++sendNexts; }
    const BandScope& bandScope() const override { return *scope; }
    ReceiverOperations& operations() override { return *ops; }
    const ScanState* scanState() const override { return state.get(); }
    const ReceiverFeatures* receiverFeatures() const override {
        return features ? &*features : nullptr;
    }
    std::optional<ReceiverFeatures> features; // none: the settings' receiver
};

struct FakeFrame : FrameHost {
    std::vector<bool> titleStrips;
    int stackHeight = 0;
    bool onTop = false;
    std::vector<QPoint> moves;
    bool systemMoveWorks = false;
    int systemMoves = 0;
    std::vector<int> commands;
    bool overwrite = true;
    int overwriteQuestions = 0;

    void showTitleStrip(bool shown) override { titleStrips.push_back(shown); }
    void stackResized(int height) override { stackHeight = height; }
    void setStayOnTop(bool top) override { onTop = top; }
    void moveFrame(int x, int y) override { moves.emplace_back(x, y); }
    bool startSystemMove() override {
        ++systemMoves;
        return systemMoveWorks;
    }
    void runCommand(int id) override { commands.push_back(id); }
    bool confirmOverwrite() override {
        ++overwriteQuestions;
        return overwrite;
    }
};

struct RecordingList : DatabaseListSink {
    std::vector<int> selected;
    std::vector<int> linkSets;
    void selectChannelRow(int row) override { selected.push_back(row); }
    void bringChannelRowIntoView(int) override {}
    void selectNewestLogEntry() override {}
    void selectLogCaretRow() override {}
    void chooseLinkSet(int set) override { linkSets.push_back(set); }
};

// A document, settings and a view wired to recorders.
struct ViewRig {
    ViewRig() { makeView(); }

    void makeView() {
        view.reset();
        view = std::make_unique<CKovo5View>(CKovo5View::Ports{doc, writer, notifier, core, frame});
        core.attach(doc, settings, *view);
        view->setDatabaseList(&list);
    }

    // Stores a channel at f with the main record's settings.
    int addChannel(std::uint32_t f, int heard = 0, int maxSignal = 0) {
        doc.channelTable().findChannel(f);
        const int row = doc.channelTable().storeChannel(f, false, heard, maxSignal);
        doc.channels[std::size_t(row)]->maxSignal = maxSignal;
        return row;
    }

    AppSettings settings;
    ManualClock clock{1'000'000'000'000};
    CKovo5Doc doc{settings, clock};
    MemorySettingsWriter writer{settings};
    RecordingNotifier notifier;
    FakeCore core;
    FakeFrame frame;
    RecordingList list;
    std::unique_ptr<CKovo5View> view;
};

} // namespace kovo::test
