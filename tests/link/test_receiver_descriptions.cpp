#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "LinkFixture.h"
#include "data/CKovo5Doc.h"
#include "link/CommandChooser.h"
#include "link/PollingLoop.h"
#include "link/ReceiverDescription.h"
#include "link/TimerIds.h"

namespace kovo::test {
namespace {

using ::testing::ElementsAreArray;

struct RecordingSettling final : HitContextControl {
    void endStop(bool) override {}
    void settleAfterJump(int reports) override { settleReports = reports; }
    int settleReports = -1;
};

// A receiver of neither known kind: LF-terminated commands, replies ended by
// ';', a prompt of its own, reports on request and a finer settling.
ReceiverDescription madeUpReceiver() {
    ReceiverDescription d = kAr3000aDescription;
    d.model = "TEST-1";
    d.tuningEnd = "\n";
    d.attenuatorEnd = "\n";
    d.commandEnd = "\n";
    d.signalRequest = "S\n";
    d.replyEnds = ";";
    d.probeCommand = "\n";
    d.probeAnswer = ";";
    d.settleStepHz = 1000000;
    d.maxSettleReports = 50;
    return d;
}
const ReceiverDescription kMadeUp = madeUpReceiver();

// One receiver walked through tuning, retuning and a signal report.
struct Walk {
    const ReceiverDescription* receiver;
    const char* ack;                 // acknowledges a command
    std::vector<std::string> settle; // bytes for 145 MHz NFM, attenuator off
    int settleReports;               // after the jump from 0 Hz
    std::vector<std::string> retune; // bytes for 433.5 MHz AM, attenuator on
    std::string report;              // what brings a level-K report through
    // The first command after the IF bandwidth alone becomes 3 kHz.
    std::string bandwidthOnly = "Y\r";
};

const Walk kWalks[] = {
    {&kAr3000aDescription,
     "\r\n>",
     {"145.\r", "N\r", "T\r", "G\r", "Y\r"},
     20,
     {"433.5\r", "A\r", "R\r", "Y\r"},
     "K\r\n>"},
    // A Hamlib radio: the AR3000A's bytes with the IF bandwidth as passband,
    // no settling reports, no pause; the tuning goes last and asks for the
    // report itself (an acknowledgement that is no report is followed by a
    // request of its own).
    {&kHamlibDescription,
     "\r\n>",
     {"N 15000\r", "T\r", "G\r", "145.Y\r", "Y\r"},
     0,
     {"A 15000\r", "R\r", "433.5Y\r", "Y\r"},
     "K\r\n>",
     "N 3000\r"},
    // One combined command, echoed: two signal-shaped replies are its echo.
    {&kAr3000Description, "\r\n", {"T145.N", "G\r"}, 20, {"R433.5A"}, "R433.5A\r\n%\r\nK\r\n", ""},
    {&kMadeUp,
     "\r\n;",
     {"145.\n", "N\n", "T\n", "G\n", "S\n"},
     50,
     {"433.5\n", "A\n", "R\n", "S\n"},
     "K\r\n;",
     "S\n"},
};

class ReceiverWalkTest : public ::testing::TestWithParam<Walk>, public PollingParts {
protected:
    RecordingSettling settling;

    void SetUp() override {
        link.setClient(&loop);
        chooser.setHitContext(&settling);
        link.plugIn(*GetParam().receiver);
        tune(145000000, 0, 0);
    }
    void tune(std::uint32_t hz, int mode, int attenuator) {
        doc.mainRecord.frequency = hz;
        doc.mainRecord.mode = mode;
        doc.mainRecord.attenuator = attenuator;
        doc.mainRecord.ifBandwidth = 3; // 15 kHz
    }
    // Acknowledges whatever is in flight a few times, then waits out the
    // pause before a signal request; returns what went out.
    std::vector<std::string> acknowledge() {
        for (int i = 0; i < 4; ++i)
            port.receive(GetParam().ack);
        timers.advance(kPollDelayMs);
        return port.takeWritten();
    }
    bool connectWithPrompt() {
        port.onOutput = [this](const std::string& text) {
            if (text == GetParam().receiver->probeCommand)
                port.receive(std::string(GetParam().receiver->probeAnswer));
        };
        bool result = false;
        link.openPort(1, 0, [&](bool ok) { result = ok; });
        for (int waited = 0; waited < 3100 && link.probing(); waited += 10)
            timers.advance(10);
        port.onOutput = nullptr;
        return result;
    }
};

TEST_P(ReceiverWalkTest, SendsItsOwnBytesForTheSameTuningSequence) {
    const Walk& walk = GetParam();
    ASSERT_TRUE(connectWithPrompt());
    std::vector<std::string> sent = acknowledge();
    ASSERT_GE(sent.size(), 2u);
    EXPECT_THAT(std::vector<std::string>(sent.begin() + 2, sent.end()),
                ElementsAreArray(walk.settle));
    EXPECT_EQ(settling.settleReports, walk.settleReports);

    tune(433500000, 2, 1);
    loop.sendNext();
    EXPECT_THAT(acknowledge(), ElementsAreArray(walk.retune));

    port.receive(walk.report);
    EXPECT_EQ(loop.signal().squelchOpen, 1);
    EXPECT_EQ(loop.signal().signalLevel, 10);
}

// A receiver whose tuning asks for the report answers it with the report on
// the new frequency: one command per channel when nothing else changes.
TEST_P(ReceiverWalkTest, TheAnswerToATuningThatAsksForTheReportIsTheReport) {
    if (!GetParam().receiver->tuningAnswersReport)
        GTEST_SKIP() << "its tuning is acknowledged alone";
    ASSERT_TRUE(connectWithPrompt());
    acknowledge(); // settled at 145 MHz, a signal request in flight
    tune(433500000, 0, 0);
    port.receive("%\r\n>");
    EXPECT_THAT(port.takeWritten(), ElementsAreArray({std::string("433.5Y\r")}));
    port.receive("K\r\n>");
    EXPECT_EQ(loop.signal().squelchOpen, 1);
    EXPECT_EQ(loop.signal().signalLevel, 10);
}

// Only a receiver whose mode command carries the passband is told a new IF
// bandwidth; the others go on to their signal report.
TEST_P(ReceiverWalkTest, ANewIfBandwidthAloneReachesOnlyAReceiverThatTakesAPassband) {
    ASSERT_TRUE(connectWithPrompt());
    acknowledge();
    doc.mainRecord.ifBandwidth = 1;
    loop.sendNext();
    const std::vector<std::string> sent = acknowledge();
    const std::string first = sent.empty() ? "" : sent.front();
    EXPECT_EQ(first, GetParam().bandwidthOnly);
}

INSTANTIATE_TEST_SUITE_P(Receivers, ReceiverWalkTest, ::testing::ValuesIn(kWalks),
                         [](const auto& suite) {
                             std::string name(suite.param.receiver->model);
                             std::erase(name, '-');
                             return name;
                         });

// The signal request waits out the receiver's pause, and no longer.
TEST_P(ReceiverWalkTest, SignalRequestGoesOutAfterTheReceiversPause) {
    const ReceiverDescription& receiver = *GetParam().receiver;
    if (receiver.signalRequest.empty())
        GTEST_SKIP() << "reports without being asked";
    ASSERT_TRUE(connectWithPrompt());
    for (int i = 0; i < 4; ++i)
        port.receive(GetParam().ack);
    if (receiver.signalRequestPauseMs > 0) {
        timers.advance(receiver.signalRequestPauseMs - 1);
        EXPECT_NE(port.takeWritten().back(), receiver.signalRequest);
        timers.advance(1);
    }
    EXPECT_EQ(port.takeWritten().back(), receiver.signalRequest);
}

TEST(ReceiverDescription, DeviceSettingNamesTheKindAndSettlingIsOnePerStepUpToTheMaximum) {
    EXPECT_EQ(&receiverDescriptionFor(0), &kAr3000Description);
    EXPECT_EQ(receiverDescriptionFor(0).commandSet, CommandSet::Ar3000);
    for (int device : {1, 2, -1}) {
        EXPECT_EQ(&receiverDescriptionFor(device), &kAr3000aDescription) << device;
        EXPECT_EQ(receiverDescriptionFor(device).commandSet, CommandSet::Ar3000A) << device;
    }
    const std::pair<std::uint32_t, int> cases[] = {
        {0, 0}, {4999999, 0}, {5000000, 1}, {12000000, 2}, {288500000, 20}, {4294967295u, 20}};
    for (const auto& [jump, reports] : cases)
        EXPECT_EQ(kAr3000aDescription.settleReportsFor(jump), reports) << jump;
    EXPECT_EQ(kMadeUp.settleReportsFor(12000000), 12);
}

TEST(ReceiverDescription, UseHamlibChoosesTheHamlibRadioWhateverTheDevice) {
    AppSettings settings;
    for (int device : {0, 1}) {
        settings.device = device;
        settings.useHamlib = 0;
        EXPECT_EQ(&receiverDescriptionFor(settings), &receiverDescriptionFor(device));
        settings.useHamlib = 1;
        EXPECT_EQ(&receiverDescriptionFor(settings), &kHamlibDescription);
    }
    // The worker waits out the squelch itself: no report is let pass.
    EXPECT_EQ(kHamlibDescription.settleReportsFor(288500000), 0);
    EXPECT_FALSE(kHamlibDescription.hasVoiceSquelch);
    EXPECT_EQ(kHamlibDescription.commandSet, CommandSet::Ar3000A);
}

} // namespace
} // namespace kovo::test
