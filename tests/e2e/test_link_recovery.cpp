#include <gmock/gmock.h>

#include <sys/resource.h>

#include "E2eFixture.h"

namespace kovo::test {
namespace {

constexpr const char* kDeviceLostMessage =
    "受信機との接続が切れました。接続が戻ると自動的に再開します。";

// Processor time of this process (all threads), in milliseconds.
double processCpuMs() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1000.0 +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1000.0;
}

TEST_F(E2eTest, LostReplyIsResentAfterASecondAndPollingGoesOn) {
    startReceiver({});
    connectReceiver();
    expectShortAnswersTakenAtOnce();
    if (HasFatalFailure())
        return;
    // The new document is in VFO: once tuned, the receiver is asked for
    // signal reports over and over.
    ASSERT_TRUE(waitFor([&] { return sim_->status().answers >= 12; }, kLongWaitMs));
    sim_->dropNextReply();
    ASSERT_TRUE(waitFor([&] { return !linesOf("DROP").empty(); }, kLongWaitMs));
    const long answersAtDrop = sim_->status().answers;
    ASSERT_TRUE(waitFor([&] { return sim_->status().answers >= answersAtDrop + 20; }, kLongWaitMs))
        << "polling did not resume after the lost reply";

    // The command whose answer was lost is the next one on the line again,
    // about a second later; nothing else went out meanwhile.
    const auto lines = transcript();
    std::size_t drop = 0;
    while (drop < lines.size() && lines[drop].kind != "DROP")
        ++drop;
    ASSERT_LT(drop, lines.size());
    ASSERT_GE(drop, 1u);
    const TranscriptLine& lost = lines[drop - 1];
    ASSERT_EQ(lost.kind, "RX");
    ASSERT_EQ(lost.bytes, "Y\r");
    EXPECT_EQ(lines[drop].bytes, "%\r\n>");
    ASSERT_LT(drop + 1, lines.size());
    const TranscriptLine& resent = lines[drop + 1];
    EXPECT_EQ(resent.kind, "RX");
    EXPECT_EQ(resent.bytes, lost.bytes);
    EXPECT_GE(resent.ms - lost.ms, 950.0) << "resent before the reply time ran out";
    EXPECT_LE(resent.ms - lost.ms, 3000.0) << "the lost reply stalled polling";
    EXPECT_TRUE(oneCommandInFlight());
    EXPECT_EQ(linesOf("DROP").size(), 1u);
    EXPECT_EQ(rig_->core.link().status(), LinkStatus::Polling);
    EXPECT_TRUE(rig_->notifier.messages.empty());
}

TEST_F(E2eTest, LostDeviceIsReportedOnceWithoutSpinningAndPollingResumesWhenItReturns) {
    // The port opens a link to the pseudo-terminal, which a receiver coming
    // back can take over, as an adapter plugged in again gets its old name.
    sim::SimOptions options;
    options.linkPath = dir_.filePath("ttyReceiver").toStdString();
    startReceiver(options);
    connectReceiver();
    ASSERT_TRUE(waitFor([&] { return sim_->status().answers >= 12; }, kLongWaitMs));

    sim_.reset(); // the pseudo-terminal goes away, like an unplugged adapter
    ASSERT_TRUE(waitFor([&] { return !rig_->notifier.messages.empty(); }, kLongWaitMs));
    EXPECT_EQ(rig_->core.link().status(), LinkStatus::Lost);
    EXPECT_FALSE(rig_->port.portOpen());

    // Before the first attempt to reopen (three seconds on) the loop waits
    // quietly. A port that kept reporting a dead device would burn a whole
    // core here.
    const double cpuBefore = processCpuMs();
    const auto wallBefore = std::chrono::steady_clock::now();
    EXPECT_FALSE(waitFor([&] { return rig_->notifier.messages.size() > 1; }, 1500));
    const double wallMs =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - wallBefore)
            .count();
    EXPECT_LT(processCpuMs() - cpuBefore, wallMs / 2) << "the event loop spins on the lost device";
    EXPECT_EQ(rig_->core.link().status(), LinkStatus::Lost);

    // The receiver returns: the link finds it without a word and tells it the
    // whole tuning again.
    startSimulator(options);
    ASSERT_TRUE(waitFor([&] { return sim_->status().answers >= 12; }, kLongWaitMs))
        << "polling did not resume";
    EXPECT_EQ(rig_->core.link().status(), LinkStatus::Polling);
    const auto commands = linesOf("RX");
    EXPECT_THAT(commands, ::testing::Contains("145.\r"));
    EXPECT_THAT(commands, ::testing::Contains("N\r"));
    EXPECT_EQ(tunedHz(), 145000000u);
    EXPECT_THAT(rig_->notifier.messages, ::testing::ElementsAre(kDeviceLostMessage));
}

} // namespace
} // namespace kovo::test
