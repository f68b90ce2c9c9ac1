#include <gmock/gmock.h>

#include "E2eFixture.h"

namespace kovo::test {
namespace {

using ::testing::ElementsAre;

constexpr const char* kNoReceiverMessage =
    "受信機が接続されていないか、COMポートの設定が違います。";

TEST_F(E2eTest, ProbeFindsTheAr3000AAndPollingStartsWithTheTuning) {
    startReceiver({});
    connectReceiver();
    expectShortAnswersTakenAtOnce();
    if (HasFatalFailure())
        return;

    EXPECT_EQ(rig_->core.link().status(), LinkStatus::Polling);
    EXPECT_THAT(rig_->observer.statuses, ElementsAre(LinkStatus::Probing, LinkStatus::Polling));
    EXPECT_TRUE(rig_->notifier.messages.empty());

    // The tuning of the new document reaches the receiver, then signal
    // reports are asked for, one command at a time.
    ASSERT_TRUE(waitFor([&] { return sim_->status().answers >= 12; }, kLongWaitMs));
    const auto commands = linesOf("RX");
    ASSERT_GE(commands.size(), 8u);
    EXPECT_EQ(commands[0], "\r");
    EXPECT_EQ(commands[1], "\r");
    EXPECT_EQ(commands[2], "145.\r");
    EXPECT_EQ(commands[3], "N\r");
    EXPECT_EQ(commands.back(), "Y\r");
    EXPECT_EQ(tunedHz(), 145000000u);
    EXPECT_EQ(sim_->status().receiver.mode, 0);
    EXPECT_TRUE(rig_->notifier.messages.empty());
}

TEST_F(E2eTest, ProbeOfASilentReceiverShowsTheMessageAndClosesThePort) {
    sim::SimOptions options;
    options.mute = true;
    startReceiver(options);

    const auto result = rig_->openAndWait(kProbeTimeoutMs);
    ASSERT_TRUE(result.has_value());
    EXPECT_FALSE(*result);
    EXPECT_THAT(rig_->notifier.messages, ElementsAre(kNoReceiverMessage));
    EXPECT_FALSE(rig_->port.portOpen());
    EXPECT_EQ(rig_->core.link().status(), LinkStatus::Closed);

    // Nothing more goes out: no command, no resend.
    EXPECT_FALSE(waitFor([&] { return linesOf("RX").size() > 2; }, 1500));
    EXPECT_THAT(linesOf("RX"), ElementsAre("\r", "\r"));
    EXPECT_THAT(rig_->notifier.messages, ElementsAre(kNoReceiverMessage));
}

TEST_F(E2eTest, ProbeOfAnAr3000SucceedsAndTheTuningCommandGoesOut) {
    sim::SimOptions options;
    options.ar3000 = true;
    startReceiver(options);
    connectReceiver();

    EXPECT_EQ(rig_->core.link().status(), LinkStatus::Polling);
    EXPECT_TRUE(rig_->notifier.messages.empty());
    // Both probes reach the line (an AR3000 passes the probe at once, and the
    // second must not be thrown away with the unsent output), then the tuning
    // command (attenuator index 3 is "T" in it).
    ASSERT_TRUE(waitFor([&] { return linesOf("RX").size() >= 3; }, kLongWaitMs));
    const auto commands = linesOf("RX");
    ASSERT_GE(commands.size(), 3u);
    EXPECT_EQ(commands[0], "\r");
    EXPECT_EQ(commands[1], "\r");
    EXPECT_THAT(commands, ::testing::Contains("T145.N"));
    EXPECT_TRUE(waitFor([&] { return tunedHz() == 145000000u; }, kLongWaitMs));
}

} // namespace
} // namespace kovo::test
