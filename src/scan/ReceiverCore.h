#pragma once
#include <functional>

#include "data/AppSettings.h"
#include "data/CKovo5Doc.h"
#include "data/Clock.h"
#include "data/Notifier.h"
#include "link/CommPort.h"
#include "link/CommandChooser.h"
#include "link/LinkNotices.h"
#include "link/LinkObserver.h"
#include "link/PollingLoop.h"
#include "link/ReceiverLink.h"
#include "link/TimerRouter.h"
#include "link/TimerService.h"
#include "scan/BandScope.h"
#include "scan/DatabaseHold.h"
#include "scan/OperatingModes.h"
#include "scan/ReceiverOperations.h"
#include "scan/ScanEngine.h"
#include "scan/ScanState.h"
#include "scan/ScanSteps.h"
#include "scan/ViewRelay.h"

namespace kovo {

// The receiver side of the program in one piece: serial link, polling loop,
// scan engine, operating modes, band-scope arithmetic and the main window's
// timers, wired together. The application hands in the port, the timer
// service, the clock, the message boxes, the settings and the document; all of
// them must outlive the core. The core is made before any view: views attach
// to it and leave it again.
class ReceiverCore {
public:
    struct Seams {
        CommPort& port;
        TimerService& timers;
        const Clock& clock;
        Notifier& notifier;
        const AppSettings& settings;
        CKovo5Doc& doc;
    };

    explicit ReceiverCore(const Seams& seams);
    ReceiverCore(const ReceiverCore&) = delete;
    ReceiverCore& operator=(const ReceiverCore&) = delete;

    // ---- what the main window and the view call ----
    // Sets the port up when the main window is created (stays closed).
    void createControl() { link_.createControl(); }
    // Opens and probes; `done` gets whether the receiver answered.
    void openPort(int portNumber, int speedIndex, ReceiverLink::ProbeDone done = {}) {
        link_.openPort(portNumber, speedIndex, std::move(done));
    }
    // Opens with the stored "PortNum" and "CommSpeed".
    void openPortFromSettings(ReceiverLink::ProbeDone done = {});
    void closePort() { link_.closePort(); }
    // A stand-in receiver (the demo's simulator) served instead of the one
    // the settings name, and back to the settings' receiver.
    void plugInReceiver(const ReceiverDescription& receiver,
                        std::optional<PortDescription> port = std::nullopt) {
        link_.plugIn(receiver, std::move(port));
    }
    void unplugReceiver() { link_.unplug(); }
    void sendNext() { loop_.sendNext(); }
    void setOperatingMode(OperatingMode mode) { modes_.setOperatingMode(mode); }
    void setOperatingMode(int stored) { modes_.setOperatingMode(stored); }
    void togglePriority() { engine_.togglePriority(); }
    void advance() { engine_.advance(); }
    // Starts the five seconds after which the last document is opened; from
    // then on changes of operating mode mark the document modified.
    void startOpenLastDocumentTimer(std::function<void()> openLastDocument);

    // What the link reports (receiver answering, squelch, signal, the active
    // record switched), for any number of listeners.
    Notices<LinkNotice>& linkNotices() { return linkNotices_.notices(); }
    // What every front end does to the receiver.
    ReceiverOperations& operations() { return ops_; }
    // `view` hears what the scan parts show from now on, until the
    // subscription ends.
    [[nodiscard]] Subscription attachView(ViewSink& view) { return viewRelay_.attach(view); }

    // What the scan reports as it goes (hits, steps onwards, stops), for any
    // number of listeners.
    Notices<HitNotice>& hits() { return engine_.hits(); }
    Notices<ScanMovedOn>& movesOn() { return engine_.movesOn(); }
    Notices<ScanStop>& scanStops() { return engine_.scanStops(); }

    // ---- the parts, read-only: every change goes through operations() ----
    const TimerRouter& timers() const { return router_; }
    const ReceiverLink& link() const { return link_; }
    const CommandChooser& chooser() const { return chooser_; }
    const PollingLoop& loop() const { return loop_; }
    const ScanState& scanState() const { return state_; }
    const ScanSteps& steps() const { return steps_; }
    const BandScope& bandScope() const { return scope_; }
    const ScanEngine& engine() const { return engine_; }
    const OperatingModes& modes() const { return modes_; }
    const DatabaseHold& databaseHold() const { return hold_; }

    // Where the core's own tests put the scan before they start it, the
    // receiver description they plug in, and the engine they end a stop on.
    ScanState& scanStateForTests() { return state_; }
    ScanEngine& engineForTests() { return engine_; }
    ReceiverLink& linkForTests() { return link_; }

private:
    void onOpenLastDocumentTimer();
    void stepScan(OperatingMode mode);

    const AppSettings& settings_;
    ScanState state_;
    ViewRelay viewRelay_;
    LinkNotices linkNotices_;
    TimerRouter router_;
    ReceiverLink link_;
    CommandChooser chooser_;
    PollingLoop loop_;
    ScanSteps steps_;
    BandScope scope_;
    ScanEngine engine_;
    OperatingModes modes_;
    DatabaseHold hold_;
    ReceiverOperations ops_;
    std::function<void()> openLastDocument_;
};

} // namespace kovo
