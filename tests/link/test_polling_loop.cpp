#include <functional>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "LinkFixture.h"
#include "data/CKovo5Doc.h"
#include "link/CommandChooser.h"
#include "link/PollingLoop.h"
#include "link/TimerIds.h"

namespace kovo::test {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

struct RecordingHits final : HitContextControl {
    std::vector<bool> ended; // true = priority context
    void endStop(bool priorityContext) override { ended.push_back(priorityContext); }
    int settleReports = 0;
    void settleAfterJump(int reports) override { settleReports = reports; }
};

class PollingLoopTest : public ::testing::Test, public PollingParts {
protected:
    RecordingHits hits;

    void SetUp() override {
        link.setClient(&loop);
        link.setObserver(&observer);
        chooser.setObserver(&observer);
        chooser.setHitContext(&hits);
        loop.setObserver(&observer);
        tune(145000000, 0, 0);
    }
    void tune(std::uint32_t hz, int mode, int attenuator) {
        doc.mainRecord.frequency = hz;
        doc.mainRecord.mode = mode;
        doc.mainRecord.attenuator = attenuator;
    }
    // The receiver acknowledges the command in flight.
    void ack() { port.receive(settings.device == 0 ? "\r\n" : "\r\n>"); }
    // Connects, then lets the loop settle on the current tuning; returns
    // what went out after the probe.
    std::vector<std::string> connectAndSettle() {
        EXPECT_TRUE(connect());
        for (int i = 0; i < 4; ++i)
            ack();
        timers.advance(kPollDelayMs);
        auto out = port.takeWritten();
        return std::vector<std::string>(out.begin() + 2, out.end());
    }
};

TEST_F(PollingLoopTest, Ar3000aGetsFrequencyModeAttenuatorMonitorThenSignalRequests) {
    EXPECT_THAT(connectAndSettle(), ElementsAre("145.\r", "N\r", "T\r", "G\r", "Y\r"));
    EXPECT_EQ(hits.settleReports, 20); // from the initial 0 Hz
}

TEST_F(PollingLoopTest, SignalRequestWaitsForTheShortPause) {
    connectAndSettle();
    port.receive("%\r\n>");
    timers.advance(kPollDelayMs - 1);
    EXPECT_THAT(port.written, IsEmpty());
    timers.advance(1);
    EXPECT_THAT(port.written, ElementsAre("Y\r"));
}

TEST_F(PollingLoopTest, RetuningAr3000aGoesOnePassAtATime) {
    connectAndSettle();
    tune(433500000, 2, 1);
    port.receive("%\r\n>");
    EXPECT_THAT(port.written, ElementsAre("433.5\r"));
    EXPECT_EQ(hits.settleReports, 20); // 57 limited to 20
    ack();
    ack();
    EXPECT_THAT(port.written, ElementsAre("433.5\r", "A\r", "R\r"));
    ack();
    timers.advance(kPollDelayMs);
    EXPECT_THAT(port.written, ElementsAre("433.5\r", "A\r", "R\r", "Y\r"));
    EXPECT_THAT(hits.ended, ElementsAre(false, false));
}

TEST_F(PollingLoopTest, AttenuatorIndexTwoIsOnForTheAr3000aOffForTheAr3000) {
    tune(145000000, 0, 2);
    EXPECT_THAT(connectAndSettle(), ElementsAre("145.\r", "N\r", "R\r", "G\r", "Y\r"));
    settings.device = 0;
    chooser.resetSentState();
    EXPECT_TRUE(connect());
    EXPECT_EQ(port.written.back(), "T145.N");
}

TEST_F(PollingLoopTest, Ar3000GetsOneTuningCommandAndNoSignalRequests) {
    settings.device = 0;
    tune(145000000, 0, 3);
    ASSERT_TRUE(connect());
    EXPECT_EQ(port.written.back(), "T145.N");
    EXPECT_EQ(link.echoesToSwallow(), 1);
    port.written.clear();
    ack();
    EXPECT_THAT(port.written, ElementsAre("G\r"));
    ack();
    timers.advance(1000);
    EXPECT_THAT(port.written, ElementsAre("G\r"));
}

TEST_F(PollingLoopTest, Ar3000AttenuatorChangeAndMonitorGoOutInOneCall) {
    settings.device = 0;
    ASSERT_TRUE(connect());
    ack();
    ack();
    port.written.clear();
    doc.mainRecord.attenuator = 1;
    doc.controlParams.fgSwitch = 1;
    loop.sendNext(); // the attenuator list of Control panel 1
    EXPECT_THAT(port.written, ElementsAre("R145.N", "F\r"));
}

TEST_F(PollingLoopTest, MonitorIsRepeatedAfterEveryFrequencyWhileOn) {
    doc.controlParams.fgSwitch = 1;
    EXPECT_THAT(connectAndSettle(), ElementsAre("145.\r", "N\r", "T\r", "F\r", "Y\r"));
    doc.mainRecord.frequency = 145025000;
    port.receive("%\r\n>");
    ack();
    EXPECT_THAT(port.written, ElementsAre("145.025\r", "F\r"));
    EXPECT_EQ(hits.settleReports, 0);
}

// However a frequency got into the record, the receiver is only sent one it tunes.
TEST_F(PollingLoopTest, FrequenciesOutsideTheReceiverGoOutAsTheNearestEdge) {
    connectAndSettle();
    tune(4176867295u, 0, 0);
    port.receive("%\r\n>");
    tune(50000, 0, 0);
    ack();
    EXPECT_THAT(port.written, ElementsAre("2040.\r", "0.1\r"));
    settings.device = 0;
    chooser.resetSentState();
    tune(4176867295u, 0, 3);
    ASSERT_TRUE(connect());
    EXPECT_EQ(port.written.back(), "T2040.N");
}

TEST_F(PollingLoopTest, TwelveMegahertzJumpSettlesForTwoReports) {
    connectAndSettle();
    doc.mainRecord.frequency = 157000000;
    port.receive("%\r\n>");
    EXPECT_EQ(hits.settleReports, 2);
}

TEST_F(PollingLoopTest, SignalReportsSetSquelchAndLevel) {
    connectAndSettle();
    port.receive("G\r\n>");
    EXPECT_EQ(loop.signal().squelchOpen, 1);
    EXPECT_EQ(loop.signal().signalLevel, 6);
    EXPECT_EQ(loop.signal().signalValue, 6);
    timers.advance(kPollDelayMs);
    port.receive("Z>");
    EXPECT_EQ(loop.signal().signalLevel, 25);
    EXPECT_EQ(loop.signal().signalValue, 15);
    timers.advance(kPollDelayMs);
    port.receive("%\r\n>");
    timers.advance(kPollDelayMs);
    port.receive("%\r\n>");
    EXPECT_EQ(loop.signal().squelchOpen, 0);
    EXPECT_EQ(loop.signal().signalValue, 0);
    EXPECT_THAT(observer.squelchChanges, ElementsAre(true, false));
    EXPECT_THAT(observer.shownSignals, ElementsAre(std::pair{true, 6}, std::pair{true, 15},
                                                   std::pair{false, 0}, std::pair{false, 0}));
}

TEST_F(PollingLoopTest, ChangesMadeWhileThePortIsClosedGoOutWhenItOpens) {
    loop.sendNext(); // nothing can go out, nothing is recorded as sent
    EXPECT_EQ(chooser.sentState().sentFrequency, 0u);
    EXPECT_THAT(connectAndSettle(), ElementsAre("145.\r", "N\r", "T\r", "G\r", "Y\r"));
}

TEST_F(PollingLoopTest, SecondRequestWhileACommandIsInFlightWaitsForItsReply) {
    connectAndSettle();
    port.receive("%\r\n>");
    timers.advance(kPollDelayMs);
    port.written.clear();
    doc.mainRecord.frequency = 146000000;
    loop.sendNext(); // e.g. a break on the line: not a second command
    EXPECT_THAT(port.written, IsEmpty());
    port.receive("%\r\n>");
    EXPECT_THAT(port.written, ElementsAre("146.\r"));
}

TEST_F(PollingLoopTest, PriorityCheckTunesThePriorityRecordEveryFiveSeconds) {
    doc.controlParams.priorityScan = 1;
    doc.priorityRecord = doc.mainRecord;
    doc.priorityRecord.frequency = 430000000;
    doc.priorityRecord.mode = 2;
    connectAndSettle();
    EXPECT_TRUE(timers.isTimerActive(TimerPriorityInterval));
    int refreshes = observer.panelRefreshes;
    // Poll on: each report is answered after the pause.
    for (int i = 0; i < 1000 && !priority.priorityCheck; ++i) {
        port.receive("%\r\n>");
        timers.advance(kPollDelayMs);
    }
    ASSERT_TRUE(priority.priorityCheck);
    port.written.clear();
    port.receive("%\r\n>");
    EXPECT_THAT(port.written, ElementsAre("430.\r"));
    EXPECT_TRUE(priority.priorityCheckApplied);
    EXPECT_EQ(observer.panelRefreshes, refreshes + 1);
    EXPECT_EQ(hits.ended.back(), true);
    ack();
    EXPECT_THAT(port.written, ElementsAre("430.\r", "A\r"));

    // The check ends (the scan engine clears priorityCheck): back to main.
    priority.priorityCheck = false;
    ack();
    EXPECT_THAT(port.written, ElementsAre("430.\r", "A\r", "145.\r"));
    EXPECT_FALSE(priority.priorityCheckApplied);
    EXPECT_EQ(observer.panelRefreshes, refreshes + 2);
}

TEST_F(PollingLoopTest, PriorityRefreshIsSkippedInTheActiveBandScope) {
    doc.controlParams.operatingMode = 3;
    connectAndSettle();
    const int refreshes = observer.panelRefreshes;
    priority.priorityCheck = true;
    doc.priorityRecord.frequency = 430000000;
    port.receive("%\r\n>");
    EXPECT_TRUE(priority.priorityCheckApplied);
    EXPECT_EQ(observer.panelRefreshes, refreshes);
}

// Whatever receiver answers a probe may hold any tuning: after a lost device
// comes back, and after the port is opened again by hand (another port or
// receiver chosen in the COM Port dialog), the whole tuning goes out again.
TEST_F(PollingLoopTest, EveryReceiverFoundGetsTheWholeTuning) {
    link.setReceiverFoundHandler([this] { chooser.resetSentState(); });
    const std::vector<std::function<void()>> reopenings = {
        [this] {
            port.loseDevice();
            port.devicePresent = true;
            timers.advance(3000);
        },
        [this] {
            link.closePort();
            link.openPort(2, 1);
        },
    };
    for (const auto& reopen : reopenings) {
        connectAndSettle();
        port.onOutput = [this](const std::string& text) {
            if (text == "\r")
                port.receive(">");
        };
        reopen();
        timers.advance(3000);
        port.onOutput = nullptr;
        ASSERT_EQ(link.status(), LinkStatus::Polling);
        EXPECT_EQ(port.written.back(), "145.\r");
    }
}

} // namespace
} // namespace kovo::test
