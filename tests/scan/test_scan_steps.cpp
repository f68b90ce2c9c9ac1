#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "CoreFixture.h"
#include "scan/ScanSteps.h"

namespace kovo::test {
namespace {

using ::testing::ElementsAre;

class ScanStepsTest : public ::testing::Test, public DocParts {
protected:
    ScanState state{doc};
    ScanSteps steps{doc, state, settings, view};

    CSearchBank& searchBank(int k, std::uint32_t start, std::uint32_t stop, int step) {
        CSearchBank& bank = doc.searchBanks[std::size_t(k)];
        bank.inUse = 1;
        bank.startFrequency = start;
        bank.stopFrequency = stop;
        bank.step = step;
        return bank;
    }
    void passRange(int k, std::uint32_t low, std::uint32_t high) {
        doc.passRanges[std::size_t(k)].inUse = 1;
        doc.passRanges[std::size_t(k)].lowFrequency = low;
        doc.passRanges[std::size_t(k)].highFrequency = high;
    }
};

// ---- memory scan ----

TEST_F(ScanStepsTest, MemoryScanTakesOnlyChannelsOfTheLinkedBanksAndWraps) {
    addChannel(100000000, 2);     // bank 1
    addChannel(200000000, 4);     // bank 2: not linked
    addChannel(300000000, 2 | 8); // banks 1 and 3
    linkBanks(2);
    doc.controlParams.direction = 1;
    state.scanPosition = 0;
    steps.memoryScanStep();
    EXPECT_EQ(state.scanPosition, 2);
    EXPECT_EQ(doc.mainRecord.frequency, 300000000u);
    EXPECT_EQ(doc.controlParams.p4C, 2);
    EXPECT_EQ(doc.controlParams.manualTuning, 1);
    steps.memoryScanStep();
    EXPECT_EQ(state.scanPosition, 0);
    EXPECT_THAT(view.calls, ElementsAre("refreshPanels", "select 2", "refreshPanels", "select 0"));

    doc.controlParams.direction = 0;
    steps.memoryScanStep();
    EXPECT_EQ(state.scanPosition, 2);
}

TEST_F(ScanStepsTest, MemoryScanHonoursTheModeFilter) {
    addChannel(100000000, 2, 0);
    addChannel(200000000, 2, 2); // AM
    addChannel(300000000, 2, 0);
    doc.controlParams.modeFilter = 1;
    doc.controlParams.modeEnabled[0] = 0;
    linkBanks(2);
    doc.controlParams.direction = 1;
    state.scanPosition = 1;
    steps.memoryScanStep();
    EXPECT_EQ(state.scanPosition, 1); // the only one it may take
    EXPECT_EQ(doc.mainRecord.frequency, 200000000u);
}

TEST_F(ScanStepsTest, MemoryScanWithNothingReachableDoesNothing) {
    addChannel(100000000, 4);
    linkBanks(2);
    ASSERT_EQ(state.reachableCount(), 0);
    const auto before = doc.mainRecord.frequency;
    steps.memoryScanStep();
    EXPECT_EQ(doc.mainRecord.frequency, before);
    EXPECT_TRUE(view.calls.empty());
}

TEST_F(ScanStepsTest, MemoryScanPositionOutsideTheTableIsBroughtBack) {
    addChannel(100000000, 2);
    addChannel(200000000, 2);
    linkBanks(2);
    doc.controlParams.direction = 1;
    state.scanPosition = 4711;
    steps.memoryScanStep();
    EXPECT_EQ(state.scanPosition, 0);
}

// ---- program search ----

TEST_F(ScanStepsTest, SearchAddsTheOffsetGoingUpButNotGoingDown) {
    searchBank(0, 144006250, 146000000, 8); // 12.5 kHz
    doc.controlParams.searchBankIndex = 0;
    doc.controlParams.tuningOffset = 6250;
    doc.controlParams.direction = 1;
    doc.mainRecord.frequency = 145006250;
    steps.programSearchStep();
    EXPECT_EQ(doc.mainRecord.frequency, 145018750u);
    doc.controlParams.direction = 0;
    steps.programSearchStep();
    EXPECT_EQ(doc.mainRecord.frequency, 145000000u);
}

TEST_F(ScanStepsTest, SearchLoadsTheBankSettingsOnEachStep) {
    CSearchBank& bank = searchBank(0, 144000000, 146000000, 11);
    bank.mode = 7; // SAL: AM without the synchronous-AM option
    bank.ifBandwidth = 4;
    bank.attenuator = 1;
    bank.antenna = 2;
    doc.controlParams.direction = 1;
    doc.mainRecord.frequency = 145000000;
    steps.programSearchStep();
    EXPECT_EQ(doc.mainRecord.frequency, 145025000u);
    EXPECT_EQ(doc.mainRecord.mode, 2);
    EXPECT_EQ(doc.mainRecord.ifBandwidth, 4);
    EXPECT_EQ(doc.mainRecord.attenuator, 1);
    EXPECT_EQ(doc.mainRecord.antenna, 2);
    EXPECT_EQ(doc.mainRecord.step, 11);
    settings.optSam = 1;
    steps.programSearchStep();
    EXPECT_EQ(doc.mainRecord.mode, 7);
}

TEST_F(ScanStepsTest, SearchJumpsOverAPassRange) {
    searchBank(0, 144000000, 146000000, 11); // 25 kHz
    passRange(3, 145100000, 145200000);
    doc.mainRecord.step = 11;
    doc.controlParams.direction = 1;
    doc.mainRecord.frequency = 145075000;
    steps.programSearchStep();
    EXPECT_EQ(doc.mainRecord.frequency, 145250000u);
    doc.controlParams.direction = 0;
    steps.programSearchStep(); // 145.225 is below the range: taken
    EXPECT_EQ(doc.mainRecord.frequency, 145225000u);
    steps.programSearchStep(); // 145.200 lies in the range: on from 145.075
    EXPECT_EQ(doc.mainRecord.frequency, 145050000u);
}

TEST_F(ScanStepsTest, SearchSkipsPassChannelsAndTakesInfoOfStoredOnes) {
    searchBank(0, 144000000, 146000000, 11);
    addChannel(145025000, 1 << 21);
    const int stored = addChannel(145050000, 2);
    doc.channels[std::size_t(stored)]->comment = "repeater";
    doc.controlParams.direction = 1;
    doc.mainRecord.frequency = 145000000;
    steps.programSearchStep();
    EXPECT_EQ(doc.mainRecord.frequency, 145050000u);
    EXPECT_EQ(doc.mainRecord.comment, "repeater");
    EXPECT_EQ(doc.mainRecord.bankMask, 2);
    steps.programSearchStep();
    EXPECT_EQ(doc.mainRecord.comment, "");
    EXPECT_EQ(doc.mainRecord.bankMask, 1);
}

TEST_F(ScanStepsTest, SearchLeavingTheBankStartsAtTheEdgeOfTheNextInUseBank) {
    searchBank(2, 144000000, 144100000, 11);
    searchBank(7, 430006250, 430100000, 8); // 12.5 kHz, offset 6250
    doc.controlParams.searchBankIndex = 2;
    doc.controlParams.direction = 1;
    doc.mainRecord.frequency = 144100000;
    steps.programSearchStep();
    EXPECT_EQ(doc.controlParams.searchBankIndex, 7);
    EXPECT_EQ(doc.mainRecord.frequency, 430006250u);
    EXPECT_EQ(doc.controlParams.tuningOffset, 6250);

    // Going down out of bank 7 wraps to bank 2's highest grid point.
    doc.controlParams.direction = 0;
    steps.programSearchStep();
    EXPECT_EQ(doc.controlParams.searchBankIndex, 2);
    EXPECT_EQ(doc.mainRecord.frequency, 144100000u);
    // Bank 7 alone, going down: its top grid point at or below the stop.
    doc.searchBanks[2].inUse = 0;
    doc.controlParams.searchBankIndex = 7;
    doc.mainRecord.frequency = 430006250;
    steps.programSearchStep();
    EXPECT_EQ(doc.controlParams.searchBankIndex, 7);
    EXPECT_EQ(doc.mainRecord.frequency, 430093750u);
}

TEST_F(ScanStepsTest, SearchBankWithDamagedStepStillMoves) {
    searchBank(0, 144000000, 146000000, 99);
    doc.controlParams.direction = 1;
    doc.mainRecord.frequency = 145000000;
    steps.programSearchStep();
    EXPECT_EQ(doc.mainRecord.frequency, 145020000u);
}

TEST_F(ScanStepsTest, StartingTheSearchContinuesInTheBankHoldingTheFrequency) {
    EXPECT_FALSE(steps.startProgramSearch());
    searchBank(1, 100000000, 120000000, 11);
    searchBank(4, 144000000, 146000000, 11);
    doc.controlParams.direction = 1;
    doc.mainRecord.frequency = 145000000;
    EXPECT_TRUE(steps.startProgramSearch());
    EXPECT_EQ(doc.controlParams.searchBankIndex, 4);
    EXPECT_EQ(doc.mainRecord.frequency, 145025000u);

    doc.mainRecord.frequency = 50000000; // in no bank: start of the bank after 4
    EXPECT_TRUE(steps.startProgramSearch());
    EXPECT_EQ(doc.controlParams.searchBankIndex, 1);
    EXPECT_EQ(doc.mainRecord.frequency, 100000000u);
}

// ---- 1 MHz scan ----

TEST_F(ScanStepsTest, OneMegahertzScanVisitsTheUpperEdgeThenWraps) {
    doc.mainRecord.frequency = 145990000;
    doc.mainRecord.step = 7; // 10 kHz
    steps.setOneMegahertzWindow();
    EXPECT_EQ(steps.windowLower(), 145000000u);
    EXPECT_EQ(steps.windowUpper(), 146000000u);
    doc.controlParams.direction = 1;
    steps.oneMegahertzStep();
    EXPECT_EQ(doc.mainRecord.frequency, 146000000u);
    steps.oneMegahertzStep();
    EXPECT_EQ(doc.mainRecord.frequency, 145000000u);
    doc.controlParams.direction = 0;
    steps.oneMegahertzStep();
    EXPECT_EQ(doc.mainRecord.frequency, 146000000u);
    EXPECT_EQ(view.count("refreshDisplay"), 3);
}

TEST_F(ScanStepsTest, OneMegahertzWindowAtTheTopOfTheFrequencyRangeDoesNotWrap) {
    // A frequency from a damaged file or another program: the last megahertz
    // below 2^32 Hz ends at the largest frequency instead of wrapping to 0.
    doc.mainRecord.frequency = 4294500000u;
    doc.mainRecord.step = 7; // 10 kHz
    steps.setOneMegahertzWindow();
    EXPECT_EQ(steps.windowLower(), 4294000000u);
    EXPECT_EQ(steps.windowUpper(), 4294967295u);
    doc.controlParams.direction = 1;
    steps.oneMegahertzStep();
    EXPECT_EQ(doc.mainRecord.frequency, 4294510000u);
}

} // namespace
} // namespace kovo::test
