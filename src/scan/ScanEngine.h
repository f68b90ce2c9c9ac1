#pragma once
#include <cstdint>

#include "data/AppSettings.h"
#include "data/CKovo5Doc.h"
#include "data/Notifier.h"
#include "link/CommandChooser.h"
#include "link/PollingLoop.h"
#include "link/ReceiverFeatures.h"
#include "link/TimerRouter.h"
#include "scan/BandScope.h"
#include "scan/HitNotice.h"
#include "scan/ScanSteps.h"
#include "scan/ScanStop.h"
#include "scan/ViewSink.h"

namespace kovo {

// Decides on every signal report whether the scan stays or moves on: stops on
// a signal for the delay and pause times, records the signal on its channel,
// stores new signals and keeps the log, for the main scan and the priority
// check alike. Works only by changing the document; the polling loop tunes
// the receiver.
class ScanEngine final : public SignalReportSink, public HitContextControl {
public:
    // The hit state of one context: "main" or "priority".
    struct Context {
        int hold = 0;   // the scan stands on a signal
        int resume = 0; // the delay or pause ran out: go on at the next report
    };

    static constexpr int kScopeHoldReports = 4;

    // `features` says what the receiver on the line can do: a hit is logged
    // in the mode it was heard in.
    ScanEngine(CKovo5Doc& doc, PollingLoop& loop, TimerRouter& timers, ScanSteps& steps,
               BandScope& scope, ViewSink& view, Notifier& notifier,
               const ReceiverFeatures& features);
    ~ScanEngine() override;
    ScanEngine(const ScanEngine&) = delete;
    ScanEngine& operator=(const ScanEngine&) = delete;

    void handleSignalReport() override;
    void endStop(bool priorityContext) override;
    void settleAfterJump(int reports) override;

    // One scan step in the current operating mode (or the end of a priority check).
    void advance();
    // The priority key: flips the priority switch.
    void togglePriority();

    const Context& mainContext() const { return main_; }
    // Every stop of the main scan on a signal, at the report that begins it.
    Notices<ScanStop>& scanStops() { return scanStops_; }
    // Every hit of the main scan and the priority check: began, heard, ended.
    Notices<HitNotice>& hits() { return hits_; }
    // Every step the scan takes onwards.
    Notices<ScanMovedOn>& movesOn() { return movesOn_; }
    const Context& priorityContext() const { return priority_; }
    int scopeHoldCount() const { return scopeHoldCount_; }
    // Squelch-closed reports still let pass while the receiver settles after
    // a jump.
    int settleCount() const { return settleCount_; }

private:
    int heardMode(int channelMode) const { return features_.tunedMode(channelMode); }
    struct ContextTimers {
        int delay;
        int pause;
    };

    bool inPriorityContext() const { return state_.priority.priorityCheckApplied; }
    Context& context(bool priority) { return priority ? priority_ : main_; }
    static ContextTimers timersOf(bool priority);
    bool& newLogEntryFlag(bool priority);

    void signalPath(bool priority);
    void noSignalPath(bool priority);
    void recordOnChannel(std::uint32_t frequency);
    void holdOnSignal(bool priority);
    void openLogEntry();
    static bool scansOnItsOwn(OperatingMode mode);
    void beginHit(bool priority, bool logOpened);
    void endHit(bool priority);
    void onHitTimer(bool priority);
    void startSeconds(int timerId, std::int32_t seconds);

    CKovo5Doc& doc_;
    ScanState& state_;
    PollingLoop& loop_;
    TimerRouter& timers_;
    ScanSteps& steps_;
    BandScope& scope_;
    ViewSink& view_;
    Notifier& notifier_;
    const ReceiverFeatures& features_;
    Notices<ScanStop> scanStops_;
    Notices<HitNotice> hits_;
    Notices<ScanMovedOn> movesOn_;
    bool hitOpen_[2] = {false, false};   // main, priority
    std::int64_t lastHeard_[2] = {0, 0}; // the last report with signal of each open hit

    Context main_;
    Context priority_;
    int scopeHoldCount_ = 0;
    int settleCount_ = 0;
    bool tableFullShown_ = false;
};

} // namespace kovo
