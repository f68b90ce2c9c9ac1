#include "link/ReceiverDescription.h"

#include "data/ReceiverRange.h"

#include <algorithm>

namespace kovo {

namespace {

constexpr std::uint32_t kSettleStepHz = 5000000;
constexpr int kMaxSettleReports = 20;
constexpr int kInBufferSize = 16384;
constexpr int kOutBufferSize = 256;

} // namespace

// Sends one unterminated command for a new tuning and echoes it; reports on
// its own; has no prompt.
const ReceiverDescription kAr3000Description{
    .model = "AR3000",
    .tuning = TuningForm::Combined,
    .tuningEnd = "",
    .attenuatorEnd = "",
    .commandEnd = "\r",
    .signalRequest = "",
    .tuningEchoReplies = 2,
    .replyEnds = "\r\n",
    .pacing = ReplyPacing::Unprompted,
    .probeCommand = "\r",
    .probeAnswer = "",
    .settleStepHz = kSettleStepHz,
    .maxSettleReports = kMaxSettleReports,
    .inBufferSize = kInBufferSize,
    .outBufferSize = kOutBufferSize,
    .parity = LineSetting::Parity::None,
    .dataBits = 8,
    .stopBits = LineSetting::StopBits::Two,
    .flowControl = LineSetting::FlowControl::RtsCts,
    .lowestHz = kLowestFrequency,
    .highestHz = kHighestFrequency,
    .hasVoiceSquelch = false,
    .attenuatorSentAtOnce = true,
};

// Takes CR-terminated commands one at a time, answers each with its prompt
// and reports when asked.
const ReceiverDescription kAr3000aDescription{
    .model = "AR3000A",
    .tuning = TuningForm::Separate,
    .tuningEnd = "\r",
    .attenuatorEnd = "\r",
    .commandEnd = "\r",
    .signalRequest = "Y\r",
    .tuningEchoReplies = 0,
    .replyEnds = ">",
    .pacing = ReplyPacing::Answered,
    .probeCommand = "\r",
    .probeAnswer = ">",
    .settleStepHz = kSettleStepHz,
    .maxSettleReports = kMaxSettleReports,
    .inBufferSize = kInBufferSize,
    .outBufferSize = kOutBufferSize,
    .parity = LineSetting::Parity::None,
    .dataBits = 8,
    .stopBits = LineSetting::StopBits::Two,
    .flowControl = LineSetting::FlowControl::RtsCts,
    .lowestHz = kLowestFrequency,
    .highestHz = kHighestFrequency,
    .hasVoiceSquelch = true,
    .attenuatorSentAtOnce = false,
};

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

} // namespace kovo
