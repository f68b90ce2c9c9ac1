#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "CoreFixture.h"
#include "link/ReceiverCommands.h"
#include "link/ReceiverDescription.h"

namespace kovo::test {
namespace {

using ::testing::ElementsAre;

class ScanEngineTest : public ::testing::Test, public CoreParts {
protected:
    // A 1 MHz scan upwards in 20 kHz steps from 145.000 MHz; the first
    // step is taken.
    void startOneMegahertzScan() {
        ASSERT_TRUE(connect());
        doc.controlParams.direction = 1;
        core.setOperatingMode(2);
        report("%"); // brings the receiver onto the first step; no signal: next step
        ASSERT_EQ(doc.mainRecord.frequency, 145040000u);
    }
    std::uint32_t tuned() const { return doc.mainRecord.frequency; }
    const ScanEngine::Context& mainHits() { return core.engine().mainContext(); }
};

TEST_F(ScanEngineTest, NoSignalMovesOnAtEveryReport) {
    startOneMegahertzScan();
    reports("%", 3);
    EXPECT_EQ(tuned(), 145100000u);
    EXPECT_EQ(port.written.back(), "145.1\r");
    EXPECT_EQ(recorder.movedOn, 4);
}

TEST_F(ScanEngineTest, StopLastsForTheDelayAfterTheLastSignal) {
    startOneMegahertzScan();
    report("G");
    EXPECT_EQ(tuned(), 145040000u);
    EXPECT_EQ(mainHits().hold, 1);
    EXPECT_EQ(timers.intervalOf(TimerMainDelay), 2000);
    EXPECT_FALSE(timers.isTimerActive(TimerMainPause));

    // The signal drops for less than the delay and comes back.
    timers.advance(1500);
    report("%");
    EXPECT_EQ(tuned(), 145040000u);
    report("H");
    timers.advance(1500);
    report("%");
    EXPECT_EQ(tuned(), 145040000u);

    timers.advance(600); // two seconds after the last signal
    EXPECT_EQ(mainHits().resume, 1);
    report("%");
    EXPECT_EQ(tuned(), 145060000u);
    EXPECT_EQ(mainHits().hold, 0);
    EXPECT_EQ(mainHits().resume, 0);
}

TEST_F(ScanEngineTest, DelayRunningOutEndsTheStopEvenWithTheSignalStillThere) {
    startOneMegahertzScan();
    doc.controlParams.delaySeconds = 1;
    report("G");
    timers.advance(1000);
    report("G"); // resume set: moves on although the squelch is open
    EXPECT_EQ(tuned(), 145060000u);
}

TEST_F(ScanEngineTest, WithoutPauseASteadyCarrierHoldsTheScan) {
    startOneMegahertzScan();
    for (int second = 0; second < 120; ++second) {
        report("J");
        timers.advance(1000);
    }
    EXPECT_EQ(tuned(), 145040000u);
}

TEST_F(ScanEngineTest, PauseLimitsTheStopToItsTime) {
    startOneMegahertzScan();
    doc.controlParams.pause = 1;
    doc.controlParams.levelAutoStoreOff = 60;
    report("J");
    EXPECT_EQ(timers.intervalOf(TimerMainPause), 60000);
    for (int second = 0; second < 59; ++second) {
        timers.advance(1000);
        report("J");
    }
    EXPECT_EQ(tuned(), 145040000u);
    timers.advance(1000); // 60 s after the stop began
    report("J");
    EXPECT_EQ(tuned(), 145060000u);
    EXPECT_FALSE(timers.isTimerActive(TimerMainDelay));
}

TEST_F(ScanEngineTest, PauseUsesTheAutoStoreTimeWhileAutoStoreIsOn) {
    startOneMegahertzScan();
    doc.controlParams.pause = 1;
    doc.controlParams.autoStore = 1;
    doc.controlParams.levelAutoStoreOn = 5;
    report("J");
    EXPECT_EQ(timers.intervalOf(TimerMainPause), 5000);
}

TEST_F(ScanEngineTest, SettlingLetsSquelchClosedReportsPassAfterAJump) {
    ASSERT_TRUE(connect());
    reports("%", 20); // the first tuning, from 0 Hz, settles for 20 reports
    addChannel(145000000);
    addChannel(165000000);
    linkBanks(2);
    doc.controlParams.direction = 1;
    core.scanStateForTests().scanPosition = 1;
    core.setOperatingMode(0); // to channel 0 at 145 MHz: no jump from 145
    reports("%", 1);          // moves on to 165 MHz: 20 MHz jump
    ASSERT_EQ(tuned(), 165000000u);
    report("%"); // 165 MHz went out with settleCount 4; this is the first report
    EXPECT_EQ(core.engine().settleCount(), 3);
    reports("%", 3);
    EXPECT_EQ(core.engine().settleCount(), 0);
    EXPECT_EQ(tuned(), 165000000u);
    report("%"); // the fifth squelch-closed report
    EXPECT_EQ(tuned(), 145000000u);
}

// A receiver that settles faster: the scan lets pass the reports its
// description asks for, no more.
TEST_F(ScanEngineTest, SettlingFollowsTheReceiverDescription) {
    ReceiverDescription quick = kAr3000aDescription;
    quick.settleStepHz = 1000000;
    quick.maxSettleReports = 3;
    core.linkForTests().plugIn(quick);
    ASSERT_TRUE(connect());
    reports("%", 3); // from 0 Hz: 3 reports, not 20
    EXPECT_EQ(core.engine().settleCount(), 0);
    addChannel(145000000);
    addChannel(165000000);
    linkBanks(2);
    doc.controlParams.direction = 1;
    core.scanStateForTests().scanPosition = 1;
    core.setOperatingMode(0);
    reports("%", 1); // on to 165 MHz: 20 MHz, limited to 3 reports
    ASSERT_EQ(tuned(), 165000000u);
    reports("%", 3);
    EXPECT_EQ(tuned(), 165000000u);
    report("%");
    EXPECT_EQ(tuned(), 145000000u);
}

TEST_F(ScanEngineTest, SignalDuringSettlingIsActedOnAtOnce) {
    ASSERT_TRUE(connect());
    report("G"); // right after the 145 MHz jump from 0 Hz
    EXPECT_EQ(mainHits().hold, 1);
    EXPECT_EQ(core.engine().settleCount(), 20);
}

// ---- channels, auto-store and log ----

TEST_F(ScanEngineTest, ReportsOnAStoredChannelUpdateItsRow) {
    const int row = addChannel(145040000);
    startOneMegahertzScan();
    report("G");
    const CFrequencyData& channel = *doc.channels[std::size_t(row)];
    EXPECT_EQ(channel.heard, 1);
    EXPECT_EQ(channel.signal, 6);
    EXPECT_EQ(channel.maxSignal, 6);
    EXPECT_EQ(channel.heardTime, clock.nowSeconds());
    report("J");
    report("J"); // same second, same level: nothing to redraw
    EXPECT_EQ(channel.maxSignal, 9);
    EXPECT_EQ(noticeCount(DocumentChange::Kind::ChannelChanged, 0), 2);
    EXPECT_EQ(view.count("show row 0"), 1) << "only the first report of the stop";
    EXPECT_TRUE(doc.isModified());
}

TEST_F(ScanEngineTest, AutoStoreInsertsTheSignalWhereTheTableStaysSorted) {
    addChannel(100000000);
    addChannel(200000000);
    startOneMegahertzScan();
    doc.controlParams.autoStore = 1;
    notices.clear();
    report("H");
    ASSERT_EQ(doc.channelCount, 3);
    const CFrequencyData& stored = *doc.channels[1];
    EXPECT_EQ(stored.frequency, 145040000u);
    EXPECT_EQ(stored.heard, 1);
    EXPECT_EQ(stored.signal, 7);
    EXPECT_EQ(stored.maxSignal, 7);
    EXPECT_EQ(stored.bankMask, 1);
    EXPECT_EQ(stored.comment.substr(0, 2), "* ");
    EXPECT_NE(stored.comment.find("02- 3- 7 10:05:"), std::string::npos);
    EXPECT_EQ(noticeCount(DocumentChange::Kind::ChannelInserted, 1), 1);
    report("H"); // now it is stored: recorded, not stored again
    EXPECT_EQ(doc.channelCount, 3);
}

TEST_F(ScanEngineTest, FullChannelTableIsReportedOnceAndScanningGoesOn) {
    for (int i = 0; i < kMaxChannels; ++i) {
        doc.channels[std::size_t(i)] = std::make_unique<CFrequencyData>();
        doc.channels[std::size_t(i)]->frequency = 200000000u + std::uint32_t(i) * 1000u;
    }
    doc.channelCount = kMaxChannels;
    startOneMegahertzScan();
    doc.controlParams.autoStore = 1;
    doc.controlParams.delaySeconds = 1;
    for (int i = 0; i < 5; ++i) {
        report("H");
        timers.advance(1000);
        report("%");
    }
    EXPECT_EQ(doc.channelCount, kMaxChannels);
    EXPECT_EQ(notifier.messages.size(), 1u);
    EXPECT_GT(tuned(), 145040000u);
}

TEST_F(ScanEngineTest, LogOpensOneEntryPerStopAndUpdatesItAfterwards) {
    startOneMegahertzScan();
    doc.parameters().toggleSwitch(
        SwitchKind::Logging); // logging on: the next hit opens a new entry
    report("G");
    EXPECT_EQ(doc.logCount, 1);
    clock.advance(1000);
    report("K");
    EXPECT_EQ(doc.logCount, 1);
    EXPECT_EQ(doc.logEntry(0).frequency, 145040000u);
    EXPECT_EQ(doc.logEntry(0).maxSignal, 10);
    EXPECT_EQ(doc.logEntry(0).lastHeard, clock.nowSeconds());
    EXPECT_EQ(noticeCount(DocumentChange::Kind::LogAppended), 1);
    EXPECT_EQ(noticeCount(DocumentChange::Kind::LogUpdated, 0), 1);
    EXPECT_THAT(view.calls, ::testing::Contains("select newest log entry"));
    EXPECT_THAT(view.calls, ::testing::Contains("select log caret row"));

    doc.log().clearLog(); // clearing during a stop: the next report opens an entry
    report("K");
    EXPECT_EQ(doc.logCount, 1);
}

TEST_F(ScanEngineTest, FullLogRingDropsItsOldestEntry) {
    startOneMegahertzScan();
    doc.controlParams.logging = 1;
    doc.logCount = kLogSlots;
    report("G");
    EXPECT_EQ(doc.logCount, kLogSlots);
    EXPECT_EQ(doc.logStart, 1);
    EXPECT_EQ(noticeCount(DocumentChange::Kind::LogAppended, kLogSlots - 1, true), 1);
    EXPECT_THAT(view.calls, ::testing::Contains("select newest log entry"));
}

// ---- priority check ----

TEST_F(ScanEngineTest, PriorityCheckHoldsOnItsOwnTimersAndLeavesTheMainScanAlone) {
    const int priorityRow = addChannel(430000000);
    doc.channelTable().copyToPriorityRecord(priorityRow);
    startOneMegahertzScan();
    core.togglePriority();
    EXPECT_EQ(doc.controlParams.priorityScan, 1);
    EXPECT_EQ(view.calls.back(), "priority on");

    while (!core.scanState().priority.priorityCheck)
        report("%");
    const std::uint32_t mainBefore = tuned();
    report("G"); // the priority frequency goes out, then this report is its first
    ASSERT_TRUE(core.scanState().priority.priorityCheckApplied);
    report("G");
    EXPECT_EQ(core.engine().priorityContext().hold, 1);
    EXPECT_TRUE(timers.isTimerActive(TimerPriorityDelay));
    EXPECT_EQ(mainHits().hold, 0);
    EXPECT_EQ(doc.channels[std::size_t(priorityRow)]->signal, 6);

    timers.advance(2000);
    EXPECT_EQ(core.engine().priorityContext().resume, 1);
    reports("%", 20); // the jump to 430 MHz still settles
    EXPECT_TRUE(core.scanState().priority.priorityCheck);
    report("%"); // the check ends; the main scan is not moved
    EXPECT_FALSE(core.scanState().priority.priorityCheck);
    EXPECT_EQ(tuned(), mainBefore);
    EXPECT_EQ(port.written.back(), frequencyCommand(mainBefore, kAr3000aDescription));
    report("%");
    EXPECT_FALSE(core.scanState().priority.priorityCheckApplied);
}

TEST_F(ScanEngineTest, SwitchingPriorityOffMidCheckReturnsToTheMainRecord) {
    const int priorityRow = addChannel(430000000);
    doc.channelTable().copyToPriorityRecord(priorityRow);
    startOneMegahertzScan();
    core.togglePriority();
    while (!core.scanState().priority.priorityCheckApplied)
        report("%");
    report("G");
    core.togglePriority();
    EXPECT_FALSE(core.scanState().priority.priorityCheck);
    EXPECT_FALSE(core.scanState().priority.priorityCheckApplied);
    EXPECT_EQ(core.engine().priorityContext().hold, 0);
    EXPECT_FALSE(timers.isTimerActive(TimerPriorityDelay));
    EXPECT_FALSE(timers.isTimerActive(TimerPriorityInterval));
    EXPECT_EQ(mainHits().resume, 1);
    EXPECT_TRUE(doc.isModified());
    report("%");
    EXPECT_NE(port.written.back(), "430.\r");
}

} // namespace
} // namespace kovo::test

namespace kovo::test {
namespace {

// Listeners hear of a stop at the report that begins it, with that report's
// level, and of each stop once; link notices reach any number of listeners.
TEST_F(ScanEngineTest, StopsAndLinkReportsReachEveryListener) {
    std::vector<ScanStop> stops;
    std::vector<LinkNotice> first, second;
    const Subscription onStop =
        core.scanStops().subscribe([&](const ScanStop& s) { stops.push_back(s); });
    const Subscription one =
        core.linkNotices().subscribe([&](const LinkNotice& n) { first.push_back(n); });
    Subscription two =
        core.linkNotices().subscribe([&](const LinkNotice& n) { second.push_back(n); });
    startOneMegahertzScan();
    ASSERT_FALSE(first.empty());
    EXPECT_EQ(first.front().kind, LinkNotice::Kind::StatusChanged);
    EXPECT_TRUE(stops.empty());

    report("G");
    ASSERT_EQ(stops.size(), 1u) << "at the report that began the stop, not the next";
    EXPECT_EQ(stops[0].frequency, 145040000u);
    EXPECT_EQ(stops[0].level, 6); // "G"
    EXPECT_EQ(first.back().kind, LinkNotice::Kind::Signal);
    EXPECT_TRUE(first.back().squelchOpen);
    EXPECT_EQ(first.back().level, 6);
    report("H");
    EXPECT_EQ(stops.size(), 1u) << "the same stop goes on";

    two.reset();
    const std::size_t heardBySecond = second.size();
    report("%");
    EXPECT_EQ(second.size(), heardBySecond) << "an unsubscribed listener hears nothing more";
    EXPECT_FALSE(first.back().squelchOpen);
}

} // namespace
} // namespace kovo::test

namespace kovo::test {
namespace {

// A hit lasts from the report that stops the scan to its last report with
// signal (the delay after it is not airtime); a later stop on the same
// frequency is a hit of its own, handed to the recorder again, whether or not
// the log opens an entry for it.
TEST_F(ScanEngineTest, EveryStopIsOneHitFromItsFirstReportToItsLastReportWithSignal) {
    std::vector<std::string> heard;
    const Subscription onHit = core.hits().subscribe([&](const HitNotice& n) {
        static constexpr const char* kKinds[] = {"began", "heard", "ended"};
        std::string line = std::string(kKinds[int(n.kind)]) + " t" + std::to_string(n.time);
        if (n.kind == HitNotice::Kind::Began)
            line += " " + std::to_string(n.frequency) + " mode" + std::to_string(n.mode);
        if (n.kind != HitNotice::Kind::Ended)
            line += " s" + std::to_string(n.level);
        heard.push_back(line + (n.priority ? " priority" : ""));
    });
    startOneMegahertzScan();
    const std::int64_t t0 = clock.nowSeconds();
    doc.controlParams.logging = 1;
    report("G");
    clock.advance(1000);
    report("K");
    timers.advance(2000);
    report("K"); // the delay ran out: the scan moves on although the signal is there
    ASSERT_EQ(tuned(), 145060000u);
    const std::int64_t movedOn = clock.nowSeconds();

    doc.controlParams.logging = 0; // a stop without a log entry is a hit all the same
    doc.mainRecord.frequency = 145040000;
    report("H");
    core.togglePriority(); // nothing to check: the switch alone does not end the hit
    core.togglePriority();
    const std::string t3 = std::to_string(movedOn);
    EXPECT_EQ(heard, (std::vector<std::string>{"began t" + std::to_string(t0) + " 145040000 mode" +
                                                   std::to_string(doc.mainRecord.mode) + " s6",
                                               "heard t" + std::to_string(t0 + 1) + " s10",
                                               "ended t" + std::to_string(t0 + 1),
                                               "began t" + t3 + " 145040000 mode" +
                                                   std::to_string(doc.mainRecord.mode) + " s7"}));
    EXPECT_EQ(recorder.hits,
              (std::vector<std::pair<std::uint32_t, std::int32_t>>{
                  {145040000u, std::int32_t(t0)}, {145040000u, std::int32_t(movedOn)}}));
    EXPECT_EQ(doc.logEntry(0).firstHeard, t0) << "the hit and its log entry share a second";
    EXPECT_EQ(doc.logEntry(0).lastHeard, t0 + 1) << "and so does its end";

    doc.mainRecord.frequency = 146000000; // a new frequency cuts the stop short
    report("%");
    EXPECT_EQ(heard.back(), "ended t" + t3);
}

} // namespace
} // namespace kovo::test

namespace kovo::test {
namespace {

// A receiver that tunes a WFM channel in NFM: the hit (and so its history
// row) says NFM, the mode it was heard in; the channel keeps its WFM.
TEST_F(ScanEngineTest, AHitNamesTheModeTheReceiverTunedNotTheChannels) {
    ReceiverFeatures told = ReceiverFeatures::of(kAr3000aDescription);
    told.tuneModeAs(1, 0);
    port.features = told;
    std::vector<int> modes;
    const Subscription onHit = core.hits().subscribe([&](const HitNotice& n) {
        if (n.kind == HitNotice::Kind::Began)
            modes.push_back(n.mode);
    });
    doc.mainRecord.mode = 1;
    startOneMegahertzScan();
    doc.controlParams.logging = 1;
    report("G");
    EXPECT_EQ(modes, std::vector<int>{0});
    EXPECT_EQ(doc.mainRecord.mode, 1);
}

} // namespace
} // namespace kovo::test

namespace kovo::test {
namespace {

// A receiver that stops answering in the middle of a hit: the hit is over
// at its last report with signal, however late the scan learns of it.
TEST_F(ScanEngineTest, AHitCutShortByASilentReceiverEndsAtItsLastReportWithSignal) {
    std::vector<std::int64_t> ends;
    const Subscription onHit = core.hits().subscribe([&](const HitNotice& n) {
        if (n.kind == HitNotice::Kind::Ended)
            ends.push_back(n.time);
    });
    startOneMegahertzScan();
    report("G");
    clock.advance(1000);
    report("H");
    const std::int64_t lastHeard = clock.nowSeconds();
    clock.advance(14000); // no answer from the receiver meanwhile
    core.engineForTests().endStop(false);
    EXPECT_EQ(ends, std::vector<std::int64_t>{lastHeard});
}

// A stop of a scan is a hit for the history; listening on a frequency tuned
// by hand is handed to the recorder all the same but marked as such, and the
// log keeps it as before.
TEST_F(ScanEngineTest, OnlyAScanThatStopsOnASignalIsMarkedAsScanning) {
    struct Case {
        int mode;
        bool scanning;
    };
    const Case cases[] = {{2, true}, {4, false}, {5, false}};
    std::vector<bool> began;
    const Subscription onHit = core.hits().subscribe([&](const HitNotice& n) {
        if (n.kind == HitNotice::Kind::Began)
            began.push_back(n.scanning);
    });
    ASSERT_TRUE(connect());
    doc.controlParams.logging = 1;
    for (const Case& c : cases) {
        began.clear();
        const int logged = doc.logCount;
        core.setOperatingMode(c.mode);
        report("%");
        report("G");
        report("H");
        EXPECT_EQ(began, std::vector<bool>{c.scanning}) << "mode " << c.mode;
        EXPECT_EQ(doc.logCount, logged + 1) << "mode " << c.mode;
        timers.advance(3000);
        report("%");
    }
}

} // namespace
} // namespace kovo::test
