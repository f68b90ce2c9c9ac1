#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "CoreFixture.h"

namespace kovo::test {
namespace {

using ::testing::ElementsAre;

class OperatingModesTest : public ::testing::Test, public CoreParts {};

TEST_F(OperatingModesTest, ProgramSearchWithoutSearchBankFallsBackToVfo) {
    core.setOperatingMode(1);
    EXPECT_EQ(doc.controlParams.operatingMode, 5);
    EXPECT_THAT(view.calls, ElementsAre("mode 1", "mode 5"));
    EXPECT_EQ(doc.mainRecord.frequency, 145000000u);
}

TEST_F(OperatingModesTest, ModeChangesMarkTheDocumentOnlyAfterTheLastDocumentWasOpened) {
    int opened = 0;
    core.startOpenLastDocumentTimer([&] { ++opened; });
    core.setOperatingMode(5);
    EXPECT_FALSE(doc.isModified());
    timers.advance(4999);
    EXPECT_EQ(opened, 0);
    timers.advance(1);
    EXPECT_EQ(opened, 1);
    EXPECT_FALSE(timers.isTimerActive(TimerOpenLastDocument));
    core.setOperatingMode(5);
    EXPECT_TRUE(doc.isModified());
    timers.advance(20000);
    EXPECT_EQ(opened, 1);
}

TEST_F(OperatingModesTest, OutOfRangeModeIsRefused) {
    core.setOperatingMode(6);
    core.setOperatingMode(-1);
    EXPECT_TRUE(view.calls.empty());
    EXPECT_EQ(doc.controlParams.operatingMode, 5);
}

TEST_F(OperatingModesTest, MemoryScanCountsReachableChannelsAndTakesTheFirstStep) {
    addChannel(100000000, 2);
    addChannel(200000000, 2);
    doc.banks().setLinkFlags(2);
    doc.controlParams.direction = 1;
    core.scanStateForTests().scanPosition = 0;
    core.setOperatingMode(0);
    EXPECT_EQ(core.scanState().reachableCount(), 2);
    EXPECT_EQ(doc.mainRecord.frequency, 200000000u);
}

TEST_F(OperatingModesTest, LeavingVfoStopsTheToneSearch) {
    core.scanStateForTests().toneSearch = true;
    core.setOperatingMode(5);
    EXPECT_TRUE(core.scanState().toneSearch);
    core.setOperatingMode(4);
    EXPECT_FALSE(core.scanState().toneSearch);
    EXPECT_THAT(view.calls,
                ElementsAre("mode 5", "mode 4", "refreshPanels", "resetScope", "showStaticScope"));
}

TEST_F(OperatingModesTest, OneMegahertzScanWindowIsTheMegahertzAroundTheFrequency) {
    doc.mainRecord.frequency = 145990000;
    doc.mainRecord.step = 7;
    doc.controlParams.direction = 1;
    doc.controlParams.manualTuning = 1;
    core.setOperatingMode(2);
    EXPECT_EQ(core.steps().windowLower(), 145000000u);
    EXPECT_EQ(doc.mainRecord.frequency, 146000000u);
    EXPECT_EQ(doc.controlParams.manualTuning, 0);
}

TEST_F(OperatingModesTest, ActiveBandScopeStaysFourReportsOnAPointWithSignal) {
    ASSERT_TRUE(connect());
    reports("%", 20); // let the first tuning settle
    doc.mainRecord.step = 7;
    doc.controlParams.scopeRange = 2;
    doc.controlParams.direction = 1;
    core.setOperatingMode(3);
    EXPECT_EQ(doc.mainRecord.frequency, 144950000u);
    view.calls.clear();
    reports("J", 4);
    EXPECT_EQ(doc.mainRecord.frequency, 144950000u);
    EXPECT_EQ(core.engine().scopeHoldCount(), 4);
    EXPECT_FALSE(timers.isTimerActive(TimerMainDelay));
    report("J");
    EXPECT_EQ(doc.mainRecord.frequency, 144960000u);
    EXPECT_EQ(core.engine().scopeHoldCount(), 0);
    report("%");
    EXPECT_EQ(doc.mainRecord.frequency, 144970000u);
    EXPECT_EQ(view.count("plot 1 9"), 5);
    EXPECT_EQ(view.count("plot 0 0"), 1);
}

TEST_F(OperatingModesTest, ActiveBandScopeHoldsWhereTheUserTuned) {
    ASSERT_TRUE(connect());
    reports("%", 20);
    doc.controlParams.direction = 1;
    core.setOperatingMode(3);
    doc.controlParams.manualTuning = 1;
    const auto held = doc.mainRecord.frequency;
    reports("%", 3);
    EXPECT_EQ(doc.mainRecord.frequency, held);
}

TEST_F(OperatingModesTest, ChannelPickedByHandRecentresTheOneMegahertzScan) {
    const int row = addChannel(433512500);
    doc.controlParams.direction = 1;
    doc.mainRecord.step = 7;
    core.setOperatingMode(2);
    core.operations().channelChosenByHand(row);
    EXPECT_EQ(core.steps().windowLower(), 433000000u);
    EXPECT_EQ(doc.mainRecord.frequency, 433532500u); // the channel's 20 kHz step

    core.setOperatingMode(5);
    core.operations().channelChosenByHand(row);
    EXPECT_EQ(doc.mainRecord.frequency, 433512500u);
    EXPECT_EQ(doc.controlParams.manualTuning, 1);
}

TEST_F(OperatingModesTest, PicksByHandAreIgnoredInProgramSearch) {
    const int row = addChannel(433512500);
    doc.searchBanks[0].inUse = 1;
    core.setOperatingMode(1);
    const auto searching = doc.mainRecord.frequency;
    core.operations().channelChosenByHand(row);
    EXPECT_EQ(doc.mainRecord.frequency, searching);
}

TEST_F(OperatingModesTest, SearchBankPickedInTheStaticScopeCentresOnItsMiddle) {
    doc.searchBanks[3].startFrequency = 144000000;
    doc.searchBanks[3].stopFrequency = 146000000;
    core.operations().searchBankChosenByHand(3); // VFO: ignored
    EXPECT_EQ(doc.mainRecord.frequency, 145000000u);
    doc.mainRecord.frequency = 100000000;
    core.setOperatingMode(4);
    core.operations().searchBankChosenByHand(3);
    EXPECT_EQ(doc.mainRecord.frequency, 145000000u);
    EXPECT_EQ(core.bandScope().window().centre, 145000000u);
}

TEST_F(OperatingModesTest, DatabaseHoldEndsFiveSecondsAfterItWasLastSet) {
    ReceiverOperations& ops = core.operations();
    ops.holdDatabase();
    timers.advance(4000);
    ops.holdDatabase();
    timers.advance(4000);
    EXPECT_TRUE(ops.databaseHeld());
    timers.advance(1000);
    EXPECT_FALSE(ops.databaseHeld());
    ops.holdDatabaseUntilCleared();
    timers.advance(60000);
    EXPECT_TRUE(ops.databaseHeld());
    ops.releaseDatabaseHold();
    EXPECT_FALSE(ops.databaseHeld());
}

} // namespace
} // namespace kovo::test
