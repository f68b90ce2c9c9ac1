#include "link/PollingLoop.h"

#include <algorithm>

#include "link/TimerIds.h"

namespace kovo {

PollingLoop::PollingLoop(CKovo5Doc& doc, PriorityCheck& priority, ReceiverLink& link,
                         CommandChooser& chooser, TimerRouter& timers)
    : doc_(doc), priority_(priority), link_(link), chooser_(chooser), timers_(timers) {
    timers_.on(TimerPriorityInterval, [this] { onPriorityInterval(); });
}

PollingLoop::~PollingLoop() {
    timers_.on(TimerPriorityInterval, {});
}

void PollingLoop::sendNext() {
    if (doc_.controlParams.priorityScan == 1 && !priority_.priorityCheckApplied &&
        !timers_.isRunning(TimerPriorityInterval))
        timers_.start(TimerPriorityInterval, kPriorityIntervalMs);
    if (!link_.canSend())
        return;
    if (link_.waitsForAnswer())
        return;
    chooser_.chooseNextCommand();
}

void PollingLoop::onSignalReport(std::string_view reply) {
    SignalState& state = signal_;
    const char first = reply.empty() ? '%' : reply.front();
    if (first >= 'A' && first <= 'Z') {
        state.squelchOpen = 1;
        state.signalLevel = first - 'A';
    } else {
        state.squelchOpen = 0;
        state.signalLevel = 0;
    }
    state.signalValue = std::min(state.signalLevel, kMaxSignalValue);

    if (state.squelchOpen != announcedSquelch_) {
        announcedSquelch_ = state.squelchOpen;
        if (observer_)
            observer_->squelchChanged(state.squelchOpen == 1);
    }
    if (observer_)
        observer_->showSignal(state.squelchOpen == 1, state.signalValue);
    if (reportSink_)
        reportSink_->handleSignalReport();
    else
        sendNext();
}

void PollingLoop::onPriorityInterval() {
    timers_.stop(TimerPriorityInterval);
    priority_.priorityCheck = true;
}

} // namespace kovo
