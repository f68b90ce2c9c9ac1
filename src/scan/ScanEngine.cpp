#include "scan/ScanEngine.h"

#include <algorithm>
#include <climits>

#include "link/TimerIds.h"

namespace kovo {

ScanEngine::ScanEngine(CKovo5Doc& doc, PollingLoop& loop, TimerRouter& timers, ScanSteps& steps,
                       BandScope& scope, ViewSink& view, Notifier& notifier,
                       const ReceiverFeatures& features)
    : doc_(doc), state_(steps.state()), loop_(loop), timers_(timers), steps_(steps), scope_(scope),
      view_(view), notifier_(notifier), features_(features) {
    timers_.on(TimerMainDelay, [this] { onHitTimer(false); });
    timers_.on(TimerMainPause, [this] { onHitTimer(false); });
    timers_.on(TimerPriorityDelay, [this] { onHitTimer(true); });
    timers_.on(TimerPriorityPause, [this] { onHitTimer(true); });
}

ScanEngine::~ScanEngine() {
    for (int id : {TimerMainDelay, TimerMainPause, TimerPriorityDelay, TimerPriorityPause})
        timers_.on(id, {});
}

ScanEngine::ContextTimers ScanEngine::timersOf(bool priority) {
    return priority ? ContextTimers{TimerPriorityDelay, TimerPriorityPause}
                    : ContextTimers{TimerMainDelay, TimerMainPause};
}

bool& ScanEngine::newLogEntryFlag(bool priority) {
    return priority ? state_.newLogEntryPriority : state_.newLogEntryMain;
}

// ---- a signal report ----

void ScanEngine::handleSignalReport() {
    const SignalState& state = loop_.signal();
    const bool priority = inPriorityContext();
    if (doc_.controlParams.mode() == OperatingMode::ActiveBandScope && !priority)
        view_.plotScopePoint(state.squelchOpen == 1, state.signalValue);

    if (state.squelchOpen == 0 || context(priority).resume == 1)
        noSignalPath(priority);
    else
        signalPath(priority);
}

void ScanEngine::signalPath(bool priority) {
    const std::uint32_t frequency =
        priority ? doc_.priorityRecord.frequency : doc_.mainRecord.frequency;
    recordOnChannel(frequency);

    if (doc_.controlParams.mode() == OperatingMode::ActiveBandScope) {
        // The sweep stays on a point for four reports with signal, then moves on.
        if (scopeHoldCount_ < kScopeHoldReports) {
            ++scopeHoldCount_;
        } else {
            scopeHoldCount_ = 0;
            main_ = Context{};
            advance();
        }
    } else {
        holdOnSignal(priority);
    }
    loop_.sendNext();
}

void ScanEngine::recordOnChannel(std::uint32_t frequency) {
    const int signal = loop_.signal().signalValue;
    const int channel = doc_.channelTable().findChannel(frequency);
    if (channel >= 0) {
        // The list redraws the row on the document's notice; the first report
        // of a stop also brings it into view.
        if (doc_.channelTable().recordReport(channel, signal) == 1 && main_.hold == 0)
            view_.bringChannelRowIntoView(channel);
        return;
    }
    if (doc_.controlParams.autoStore != 1)
        return;
    // The channel carries the frequency heard (the priority frequency during a
    // priority check) with the main record's settings; the document keeps the
    // table sorted.
    const int row = doc_.channelTable().storeChannel(frequency, true, 1, signal);
    if (row < 0) {
        if (!tableFullShown_) {
            tableFullShown_ = true;
            notifier_.showMessage(uiText("ChannelTable", CKovo5Doc::kChannelTableFullMessage));
        }
        return;
    }
    tableFullShown_ = false;
}

void ScanEngine::holdOnSignal(bool priority) {
    Context& hits = context(priority);
    const ContextTimers ids = timersOf(priority);
    const CControlParams& params = doc_.controlParams;
    bool& newEntry = newLogEntryFlag(priority);
    if (hits.hold == 0) {
        hits.hold = 1;
        if (!priority) {
            const CFrequencyData& tuned = doc_.mainRecord;
            const int level = loop_.signal().signalValue;
            scanStops_.notify({tuned.frequency, tuned.mode, level, tuned.comment});
        }
        if (params.logging == 1) {
            openLogEntry();
            newEntry = false; // this stop has its entry now
        }
        beginHit(priority, params.logging == 1);
        if (params.pause == 1)
            startSeconds(ids.pause, params.pauseSeconds());
    } else {
        if (params.logging == 1) {
            if (newEntry) {
                openLogEntry();
            } else {
                if (doc_.log().updateNewestLogEntry(loop_.signal().signalValue) >= 0)
                    view_.selectLogCaretRow();
            }
        }
        newEntry = false;
        if (hitOpen_[priority]) {
            HitNotice heard;
            heard.kind = HitNotice::Kind::Heard;
            heard.priority = priority;
            heard.level = loop_.signal().signalValue;
            heard.time = doc_.clock().nowSeconds();
            lastHeard_[priority] = heard.time;
            hits_.notify(heard);
        }
    }
    startSeconds(ids.delay, params.delaySeconds);
}

// Only a scan that moves on by itself stops on a signal: listening on a
// frequency tuned by hand (VFO, the static band scope) is not.
bool ScanEngine::scansOnItsOwn(OperatingMode mode) {
    return mode == OperatingMode::MemoryScan || mode == OperatingMode::ProgramSearch ||
           mode == OperatingMode::OneMegahertzScan;
}

// The hit's time is its log entry's when the stop opened one, so that the
// recorder, the log and the history name the same second.
void ScanEngine::beginHit(bool priority, bool logOpened) {
    endHit(priority);
    const CFrequencyData& tuned = priority ? doc_.priorityRecord : doc_.mainRecord;
    HitNotice began;
    began.kind = HitNotice::Kind::Began;
    began.priority = priority;
    began.frequency = tuned.frequency;
    // The mode it was heard in, which a receiver lacking the channel's mode
    // chose for it, not the one the channel asks for.
    began.mode = heardMode(tuned.mode);
    began.level = loop_.signal().signalValue;
    began.comment = tuned.comment;
    began.scanning = priority || scansOnItsOwn(doc_.controlParams.mode());
    began.time = logOpened && doc_.logCount > 0 ? doc_.logEntry(doc_.logCount - 1).firstHeard
                                                : doc_.clock().nowSeconds();
    hitOpen_[priority] = true;
    lastHeard_[priority] = began.time;
    hits_.notify(began);
}

// The hit is over when its signal was last heard: neither the delay after
// it nor a receiver that stopped answering is airtime.
void ScanEngine::endHit(bool priority) {
    if (!hitOpen_[priority])
        return;
    hitOpen_[priority] = false;
    HitNotice ended;
    ended.kind = HitNotice::Kind::Ended;
    ended.priority = priority;
    ended.time = lastHeard_[priority];
    hits_.notify(ended);
}

void ScanEngine::openLogEntry() {
    doc_.log().openLogEntry(state_.activeRecord(), loop_.signal().signalValue);
    view_.selectNewestLogEntry();
}

void ScanEngine::noSignalPath(bool priority) {
    if (settleCount_ > 0) {
        --settleCount_;
        loop_.sendNext();
        return;
    }
    Context& hits = context(priority);
    if (hits.hold == 0 || hits.resume == 1) {
        hits = Context{};
        advance();
    }
    loop_.sendNext();
}

// ---- timers ----

void ScanEngine::startSeconds(int timerId, std::int32_t seconds) {
    const std::int64_t ms = std::int64_t(std::max<std::int32_t>(seconds, 1)) * 1000;
    timers_.start(timerId, int(std::min<std::int64_t>(ms, INT_MAX)));
}

void ScanEngine::onHitTimer(bool priority) {
    const ContextTimers ids = timersOf(priority);
    timers_.stop(ids.delay);
    timers_.stop(ids.pause);
    context(priority).resume = 1;
}

void ScanEngine::settleAfterJump(int reports) {
    settleCount_ = reports;
}

void ScanEngine::endStop(bool priorityContext) {
    endHit(priorityContext);
    const ContextTimers ids = timersOf(priorityContext);
    timers_.stop(ids.delay);
    timers_.stop(ids.pause);
    context(priorityContext).hold = 0;
}

// ---- moving on ----

void ScanEngine::advance() {
    endHit(inPriorityContext());
    movesOn_.notify({});
    if (doc_.controlParams.priorityScan == 1) {
        if (!timers_.isRunning(TimerPriorityInterval))
            timers_.start(TimerPriorityInterval, kPriorityIntervalMs);
        if (inPriorityContext()) {
            state_.priority.priorityCheck = false; // the main scan goes on from where it stood
            return;
        }
    }
    switch (doc_.controlParams.mode()) {
    case OperatingMode::MemoryScan:
        steps_.memoryScanStep();
        break;
    case OperatingMode::ProgramSearch:
        steps_.programSearchStep();
        break;
    case OperatingMode::OneMegahertzScan:
        steps_.oneMegahertzStep();
        break;
    case OperatingMode::ActiveBandScope:
        if (doc_.controlParams.manualTuning == 0)
            scope_.nextPoint();
        break;
    default:
        break;
    }
}

void ScanEngine::togglePriority() {
    const int on = doc_.parameters().togglePriorityScan();
    view_.showPriorityScan(on == 1);
    if (on == 1) {
        timers_.start(TimerPriorityInterval, kPriorityIntervalMs);
    } else {
        timers_.stop(TimerPriorityInterval);
        state_.priority.priorityCheckApplied = false;
        // A check under way ends with the switch: tuning returns to the main
        // record, and no stop of the check is left to cut the next one short.
        state_.priority.priorityCheck = false;
        endStop(true);
        priority_ = Context{};
        main_.resume = 1;
        view_.refreshPanels();
    }
}

} // namespace kovo
