#include "link/ReceiverDescription.h"

#include <algorithm>

namespace kovo {

// Both models keep the description's defaults for the rest: CR-ended mode
// commands, a CR as probe, 8N2 with RTS/CTS, the same settling and range.

// Sends one unterminated command for a new tuning and echoes it; reports on
// its own; has no prompt.
const ReceiverDescription kAr3000Description{
    .model = "AR3000",
    .commandSet = CommandSet::Ar3000,
    .tuning = TuningForm::Combined,
    .tuningEnd = "",
    .attenuatorEnd = "",
    .signalRequest = "",
    .tuningEchoReplies = 2,
    .replyEnds = "\r\n",
    .pacing = ReplyPacing::Unprompted,
    .probeAnswer = "",
    .hasVoiceSquelch = false,
    .attenuatorSentAtOnce = true,
};

// Takes CR-terminated commands one at a time, answers each with its prompt
// and reports when asked.
const ReceiverDescription kAr3000aDescription{
    .model = "AR3000A",
    .commandSet = CommandSet::Ar3000A,
    .tuning = TuningForm::Separate,
    .tuningEnd = "\r",
    .attenuatorEnd = "\r",
    .signalRequest = "Y\r",
    .tuningEchoReplies = 0,
    .replyEnds = ">",
    .pacing = ReplyPacing::Answered,
    .probeAnswer = ">",
    .hasVoiceSquelch = true,
    .attenuatorSentAtOnce = false,
};

// A Hamlib radio takes the AR3000A's commands through the worker that drives
// it; the worker waits out the squelch itself, so no report is let pass. A
// tuning asks for the report in the same line, which saves a round trip
// through the worker per channel.
const ReceiverDescription kHamlibDescription{
    .model = "Hamlib",
    .commandSet = CommandSet::Ar3000A,
    .tuning = TuningForm::Separate,
    .tuningEnd = "Y\r",
    .attenuatorEnd = "\r",
    .signalRequest = "Y\r",
    .modeCarriesPassband = true,
    .tuningAnswersReport = true,
    .signalRequestPauseMs = 0,
    .tuningEchoReplies = 0,
    .replyEnds = ">",
    .pacing = ReplyPacing::Answered,
    .probeAnswer = ">",
    .settleStepHz = 0,
    .reachedThroughHamlib = true,
    .hasVoiceSquelch = false,
    .attenuatorSentAtOnce = false,
};

const ReceiverDescription& receiverDescriptionFor(const AppSettings& settings) {
    return settings.useHamlib == 1 ? kHamlibDescription : receiverDescriptionFor(settings.device);
}

const ReceiverDescription& receiverDescriptionFor(int device) {
    return device == 0 ? kAr3000Description : kAr3000aDescription;
}

int ReceiverDescription::settleReportsFor(std::uint32_t jumpHz) const {
    if (settleStepHz == 0)
        return 0;
    return int(std::min<std::uint32_t>(jumpHz / settleStepHz, std::uint32_t(maxSettleReports)));
}

LineSetting ReceiverDescription::line(int bitsPerSecond) const {
    LineSetting l;
    l.bitsPerSecond = bitsPerSecond;
    l.parity = parity;
    l.dataBits = dataBits;
    l.stopBits = stopBits;
    l.flowControl = flowControl;
    return l;
}

char ReceiverDescription::eventCharacter() const {
    if (pacing != ReplyPacing::Answered || replyEnds.size() != 1)
        return '\0';
    const char end = replyEnds.front();
    return end == '\r' || end == '\n' ? '\0' : end;
}

} // namespace kovo
