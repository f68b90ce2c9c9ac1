#include "link/CommandChooser.h"

#include "data/ReceiverRange.h"
#include "data/ValueTables.h"
#include "link/ReceiverCommands.h"
#include "link/TimerIds.h"

namespace kovo {

CommandChooser::CommandChooser(CKovo5Doc& doc, PriorityCheck& priority, ReceiverLink& link,
                               TimerRouter& timers)
    : doc_(doc), priority_(priority), link_(link), timers_(timers) {
    timers_.on(TimerPollDelay, [this] { onPollDelay(); });
}

CommandChooser::~CommandChooser() {
    timers_.on(TimerPollDelay, {});
}

const CFrequencyData& CommandChooser::activeRecord() const {
    return priority_.requestedRecord(doc_);
}

void CommandChooser::chooseNextCommand() {
    // A signal request still waiting for its pause is replaced by this choice.
    timers_.stop(TimerPollDelay);

    const CFrequencyData& record = activeRecord();
    const ReceiverDescription& receiver = link_.receiver();
    const bool combined = receiver.tuning == TuningForm::Combined;

    if (record.frequency != sent_.sentFrequency ||
        (combined && record.attenuator != sent_.sentAttenuator)) {
        if (receiver.tuningAnswersReport && sendFirstDifference(record, receiver))
            return;
        sendFrequency(record, receiver);
    }

    if (priority_.priorityCheck != priority_.priorityCheckApplied) {
        priority_.priorityCheckApplied = priority_.priorityCheck;
        if (doc_.controlParams.mode() != OperatingMode::ActiveBandScope && observer_)
            observer_->refreshPanels();
    }

    if (record.frequency != sent_.sentFrequency) {
        const std::uint32_t jump = record.frequency > sent_.sentFrequency
                                       ? record.frequency - sent_.sentFrequency
                                       : sent_.sentFrequency - record.frequency;
        if (hits_)
            hits_->settleAfterJump(receiver.settleReportsFor(jump));
        sent_.sentFrequency = record.frequency;
        // The monitor switch is repeated after every frequency while it is on,
        // unless the tuning's own answer is the report (it goes before then).
        if (doc_.controlParams.fgSwitch == 1 && !receiver.tuningAnswersReport)
            sent_.sentFgSwitch = -1;
        return;
    }

    if (sendFirstDifference(record, receiver))
        return;
    // Settled: ask for a signal report after the receiver's pause, unless it
    // reports by itself.
    if (receiver.signalRequest.empty())
        return;
    if (receiver.signalRequestPauseMs > 0)
        timers_.start(TimerPollDelay, receiver.signalRequestPauseMs);
    else
        link_.writeCommand(receiver.signalRequest);
}

void CommandChooser::sendFrequency(const CFrequencyData& record,
                                   const ReceiverDescription& receiver) {
    if (hits_)
        hits_->endStop(priority_.priorityCheck || priority_.priorityCheckApplied);
    // The last guard: whatever put a frequency into the record, the receiver
    // is only ever sent one it can tune.
    const std::uint32_t hz = nearestReceiverFrequency(record.frequency);
    if (receiver.tuning == TuningForm::Separate) {
        link_.writeCommand(frequencyCommand(hz, receiver));
        return;
    }
    sent_.sentMode = record.mode;
    sent_.sentAttenuator = record.attenuator;
    link_.writeCommand(
        tuningCommand(attLetter(record.attenuator), hz, modeLetter(record.mode), receiver));
    if (receiver.echoesTuning())
        link_.armEcho();
}

bool CommandChooser::sendFirstDifference(const CFrequencyData& record,
                                         const ReceiverDescription& receiver) {
    if (record.mode != sent_.sentMode ||
        (receiver.modeCarriesPassband && record.ifBandwidth != sent_.sentIfBandwidth)) {
        sent_.sentMode = record.mode;
        sent_.sentIfBandwidth = record.ifBandwidth;
        link_.writeCommand(
            modeCommand(modeLetter(record.mode), receiver, ifBandwidthHz(record.ifBandwidth)));
        return true;
    }
    if (record.attenuator != sent_.sentAttenuator) {
        sent_.sentAttenuator = record.attenuator;
        link_.writeCommand(attenuatorCommand(record.attenuator, receiver));
        return true;
    }
    const int fgSwitch = doc_.controlParams.fgSwitch;
    if (fgSwitch != sent_.sentFgSwitch) {
        sent_.sentFgSwitch = fgSwitch;
        link_.writeCommand(monitorCommand(fgSwitch, receiver));
        return true;
    }
    return false;
}

void CommandChooser::onPollDelay() {
    timers_.stop(TimerPollDelay);
    const std::string_view request = link_.receiver().signalRequest;
    if (!request.empty())
        link_.writeCommand(request);
}

} // namespace kovo
