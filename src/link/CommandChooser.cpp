#include "link/CommandChooser.h"

#include <algorithm>

#include "data/ReceiverRange.h"
#include "data/ValueTables.h"
#include "link/ReceiverCommands.h"
#include "link/TimerIds.h"

namespace kovo {

CommandChooser::CommandChooser(CKovo5Doc& doc, ReceiverLink& link, TimerRouter& timers,
                               const AppSettings& settings)
    : doc_(doc), link_(link), timers_(timers), settings_(settings) {
    timers_.on(TimerPollDelay, [this] { onPollDelay(); });
}

CommandChooser::~CommandChooser() {
    timers_.on(TimerPollDelay, {});
}

const CFrequencyData& CommandChooser::activeRecord() const {
    return doc_.priorityCheck ? doc_.priorityRecord : doc_.mainRecord;
}

void CommandChooser::chooseNextCommand() {
    // A signal request still waiting for its pause is replaced by this choice.
    timers_.stop(TimerPollDelay);

    const CFrequencyData& record = activeRecord();
    const bool ar3000 = settings_.isAr3000();

    if (record.frequency != sent_.sentFrequency ||
        (ar3000 && record.attenuator != sent_.sentAttenuator))
        sendFrequency(record, ar3000);

    if (doc_.priorityCheck != doc_.priorityCheckApplied) {
        doc_.priorityCheckApplied = doc_.priorityCheck;
        if (doc_.controlParams.mode() != OperatingMode::ActiveBandScope && observer_)
            observer_->refreshPanels();
    }

    if (record.frequency != sent_.sentFrequency) {
        const std::uint32_t jump = record.frequency > sent_.sentFrequency
                                       ? record.frequency - sent_.sentFrequency
                                       : sent_.sentFrequency - record.frequency;
        link_.state().settleCount =
            int(std::min<std::uint32_t>(jump / kSettleStepHz, kMaxSettleCount));
        sent_.sentFrequency = record.frequency;
        // The monitor switch is repeated after every frequency while it is on.
        if (doc_.controlParams.fgSwitch == 1)
            sent_.sentFgSwitch = -1;
        return;
    }

    if (sendFirstDifference(record, ar3000))
        return;
    // Settled: ask for a signal report after the receiver's pause. The AR3000
    // reports by itself.
    if (!ar3000)
        timers_.start(TimerPollDelay, kPollDelayMs);
}

void CommandChooser::sendFrequency(const CFrequencyData& record, bool ar3000) {
    if (hits_)
        hits_->endStop(doc_.priorityCheck || doc_.priorityCheckApplied);
    // The last guard: whatever put a frequency into the record, the receiver
    // is only ever sent one it can tune.
    const std::uint32_t hz = nearestReceiverFrequency(record.frequency);
    if (!ar3000) {
        link_.writeCommand(frequencyCommand(hz));
        return;
    }
    sent_.sentMode = record.mode;
    sent_.sentAttenuator = record.attenuator;
    link_.writeCommand(tuningCommand(attLetter(record.attenuator), hz, modeLetter(record.mode)));
    link_.armEcho();
}

bool CommandChooser::sendFirstDifference(const CFrequencyData& record, bool ar3000) {
    if (record.mode != sent_.sentMode) {
        sent_.sentMode = record.mode;
        link_.writeCommand(modeCommand(modeLetter(record.mode)));
        return true;
    }
    if (record.attenuator != sent_.sentAttenuator) {
        sent_.sentAttenuator = record.attenuator;
        link_.writeCommand(attenuatorCommand(record.attenuator, ar3000));
        return true;
    }
    const int fgSwitch = doc_.controlParams.fgSwitch;
    if (fgSwitch != sent_.sentFgSwitch) {
        sent_.sentFgSwitch = fgSwitch;
        link_.writeCommand(monitorCommand(fgSwitch));
        return true;
    }
    return false;
}

void CommandChooser::onPollDelay() {
    timers_.stop(TimerPollDelay);
    if (!settings_.isAr3000())
        link_.writeCommand(kSignalRequest);
}

} // namespace kovo
