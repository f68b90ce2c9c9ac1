// Channel table, tuning record and priority channel operations of the document.
#include <gtest/gtest.h>

#include <memory>

#include "DataTestSupport.h"
#include "data/CKovo5Doc.h"
#include "data/Cp932.h"
#include "data/DocumentRules.h"

namespace kovo {
namespace {

constexpr std::int64_t kMarch7th2002At100509Jst = 1015463109;

class OperationsTest : public ::testing::Test {
protected:
    OperationsTest() : doc(settings, clock) {}

    // Puts channels straight into the table, in the order given (ascending).
    void setChannels(std::initializer_list<std::uint32_t> frequencies) {
        doc.truncateChannels(0);
        for (std::uint32_t f : frequencies) {
            auto ch = std::make_unique<CFrequencyData>();
            ch->frequency = f;
            ch->bankMask = 1;
            ch->step = 10;
            ch->ifBandwidth = 3;
            doc.channels[static_cast<std::size_t>(doc.channelCount++)] = std::move(ch);
        }
    }
    CFrequencyData& channel(int i) { return *doc.channels[static_cast<std::size_t>(i)]; }
    std::vector<std::uint32_t> frequencies() {
        std::vector<std::uint32_t> out;
        for (int i = 0; i < doc.channelCount; ++i)
            out.push_back(channel(i).frequency);
        return out;
    }
    void makePriority(int i) {
        channel(i).priority = 1;
        doc.priorityIndex = i;
        doc.channelTable().copyToPriorityRecord(i);
    }

    test::ScopedTimeZone zone{"JST-9"};
    AppSettings settings;
    ManualClock clock{kMarch7th2002At100509Jst * 1000};
    CKovo5Doc doc;
};

TEST_F(OperationsTest, FindChannelGivesIndexOrInsertPosition) {
    setChannels({100000000, 200000000, 300000000});
    EXPECT_EQ(doc.channelTable().findChannel(250000000), -1);
    EXPECT_EQ(doc.channelTable().insertPosition(), 2);
    EXPECT_EQ(doc.channelTable().findChannel(50000000), -1);
    EXPECT_EQ(doc.channelTable().insertPosition(), 0);
    EXPECT_EQ(doc.channelTable().findChannel(400000000), -1);
    EXPECT_EQ(doc.channelTable().insertPosition(), 3);
    EXPECT_EQ(doc.channelTable().findChannel(200000000), 1);
    EXPECT_EQ(doc.channelTable().insertPosition(), 1);

    setChannels({});
    EXPECT_EQ(doc.channelTable().findChannel(145000000), -1);
    EXPECT_EQ(doc.channelTable().insertPosition(), 0);
    // Frequencies compare as unsigned numbers.
    setChannels({100000000, 3000000000u});
    EXPECT_EQ(doc.channelTable().findChannel(3000000000u), 1);
}

TEST_F(OperationsTest, StoringByHandInsertsSortedWithAddedComment) {
    setChannels({100000000, 300000000});
    doc.mainRecord.step = 8;
    doc.mainRecord.mode = 4;
    doc.mainRecord.ifBandwidth = 2;
    doc.mainRecord.attenuator = 1;
    doc.mainRecord.antenna = 2;
    doc.mainRecord.ctcss = 13;
    doc.mainRecord.tElm = 7;
    ASSERT_EQ(doc.channelTable().findChannel(200000000), -1);
    EXPECT_EQ(doc.channelTable().storeChannel(200000000), 1);

    EXPECT_EQ(frequencies(), (std::vector<std::uint32_t>{100000000, 200000000, 300000000}));
    const CFrequencyData& ch = channel(1);
    EXPECT_EQ(ch.step, 8);
    EXPECT_EQ(ch.mode, 4);
    EXPECT_EQ(ch.ifBandwidth, 2);
    EXPECT_EQ(ch.attenuator, 1);
    EXPECT_EQ(ch.antenna, 2);
    EXPECT_EQ(ch.ctcss, 13);
    EXPECT_EQ(ch.tElm, 7);
    EXPECT_EQ(ch.bankMask, 1);
    EXPECT_EQ(ch.heard, 0);
    EXPECT_EQ(ch.priority, 0);
    EXPECT_EQ(ch.heardTime, kMarch7th2002At100509Jst);
    EXPECT_EQ(cp932ToUtf8(ch.comment), "* 追加     02- 3- 7 10:05:09 *");
    EXPECT_EQ(ch.comment, "* \x92\xC7\x89\xC1     02- 3- 7 10:05:09 *");
    EXPECT_TRUE(doc.isModified());
}

TEST_F(OperationsTest, AutoStoreRecordsSignalAndClearsTone) {
    doc.mainRecord.ctcss = 13;
    EXPECT_EQ(doc.channelTable().storeChannel(145500000, true, 1, 9), 0);
    const CFrequencyData& ch = channel(0);
    EXPECT_EQ(ch.ctcss, 0);
    EXPECT_EQ(ch.heard, 1);
    EXPECT_EQ(ch.signal, 9);
    EXPECT_EQ(ch.maxSignal, 9);
    EXPECT_EQ(cp932ToUtf8(ch.comment), "* 自動記録 02- 3- 7 10:05:09 *");
    EXPECT_EQ(doc.channelTable().channelCountPerBank()[0], 1);
}

TEST_F(OperationsTest, OverwriteKeepsBanksCommentAndHistory) {
    setChannels({145000000});
    channel(0).bankMask = 8;
    channel(0).comment = "Tower";
    channel(0).heardTime = 5;
    doc.mainRecord.mode = 2;
    EXPECT_EQ(doc.channelTable().storeChannel(145000000), 0);
    EXPECT_EQ(doc.channelCount, 1);
    EXPECT_EQ(channel(0).mode, 2);
    EXPECT_EQ(channel(0).bankMask, 8);
    EXPECT_EQ(channel(0).comment, "Tower");
    EXPECT_EQ(channel(0).heardTime, 5);
}

TEST_F(OperationsTest, StoreKeepsTableSortedWhateverRowTheCallerPasses) {
    setChannels({100000000, 300000000});
    // A row from a look-up of another frequency, and a "new" store of a
    // frequency that is already there.
    EXPECT_EQ(doc.channelTable().storeChannel(200000000, true, 1, 3), 1);
    EXPECT_EQ(doc.channelTable().storeChannel(300000000, true, 1, 3), 2);
    EXPECT_EQ(doc.channelTable().storeChannel(400000000, true, 1, 3), 3);
    EXPECT_EQ(frequencies(),
              (std::vector<std::uint32_t>{100000000, 200000000, 300000000, 400000000}));
}

TEST_F(OperationsTest, FullTableRefusesNewChannelAndLosesNothing) {
    doc.truncateChannels(0);
    for (int i = 0; i < kMaxChannels; ++i) {
        auto ch = std::make_unique<CFrequencyData>();
        ch->frequency = 100000000u + 1000u * static_cast<std::uint32_t>(i);
        doc.channels[static_cast<std::size_t>(i)] = std::move(ch);
    }
    doc.channelCount = kMaxChannels;
    doc.channelTable().findChannel(50000000);
    EXPECT_EQ(doc.channelTable().storeChannel(50000000, true, 1, 5), -1);
    EXPECT_EQ(doc.channelCount, kMaxChannels);
    EXPECT_EQ(channel(0).frequency, 100000000u);
    EXPECT_EQ(channel(kMaxChannels - 1).frequency, 100000000u + 1000u * (kMaxChannels - 1));
    EXPECT_FALSE(doc.isModified());
    EXPECT_NE(std::string(CKovo5Doc::kChannelTableFullMessage).find("5000"), std::string::npos);
    // Overwriting a stored frequency still works in a full table.
    EXPECT_EQ(doc.channelTable().storeChannel(100003000), 3);
}

TEST_F(OperationsTest, PriorityChannelFollowsInsertWithoutMovingTuningOffset) {
    setChannels({100000000, 200000000});
    makePriority(1);
    doc.controlParams.tuningOffset = 6250;
    ASSERT_EQ(doc.channelTable().storeChannel(50000000), 0);
    EXPECT_EQ(doc.priorityIndex, 2);
    EXPECT_EQ(channel(2).priority, 1);
    EXPECT_EQ(doc.priorityRecord.frequency, 200000000u);
    EXPECT_EQ(doc.controlParams.tuningOffset, 6250);
}

TEST_F(OperationsTest, MoveChannelClosesGapAndPriorityFollows) {
    setChannels({10000000, 20000000, 30000000, 40000000});
    makePriority(1);
    channel(0).frequency = 35000000;
    ASSERT_TRUE(doc.channelTable().moveChannel(0, 2));
    EXPECT_EQ(frequencies(), (std::vector<std::uint32_t>{20000000, 30000000, 35000000, 40000000}));
    EXPECT_EQ(doc.priorityIndex, 0);

    channel(3).frequency = 15000000;
    ASSERT_TRUE(doc.channelTable().moveChannel(3, 0));
    EXPECT_EQ(frequencies(), (std::vector<std::uint32_t>{15000000, 20000000, 30000000, 35000000}));
    EXPECT_EQ(doc.priorityIndex, 1);
    EXPECT_EQ(channel(doc.priorityIndex).priority, 1);

    EXPECT_FALSE(doc.channelTable().moveChannel(0, 4));
    EXPECT_FALSE(doc.channelTable().moveChannel(-1, 0));
    EXPECT_EQ(doc.channelCount, 4);
}

TEST_F(OperationsTest, FrequencyEditKeepsTableSortedAndRefusesDuplicates) {
    setChannels({10000000, 20000000, 30000000, 40000000});
    EXPECT_EQ(doc.channelTable().setChannelFrequency(0, 35000000), 2);
    EXPECT_EQ(frequencies(), (std::vector<std::uint32_t>{20000000, 30000000, 35000000, 40000000}));
    EXPECT_EQ(doc.channelTable().setChannelFrequency(0, 50000000), 3);
    EXPECT_EQ(frequencies(), (std::vector<std::uint32_t>{30000000, 35000000, 40000000, 50000000}));
    EXPECT_EQ(doc.channelTable().setChannelFrequency(3, 15000000), 0);
    EXPECT_EQ(frequencies(), (std::vector<std::uint32_t>{15000000, 30000000, 35000000, 40000000}));
    EXPECT_EQ(doc.channelTable().setChannelFrequency(1, 31000000), 1);

    doc.setModified(false);
    EXPECT_EQ(doc.channelTable().setChannelFrequency(0, 40000000), -1);
    EXPECT_EQ(doc.channelTable().setChannelFrequency(4, 1000000), -1);
    EXPECT_EQ(frequencies(), (std::vector<std::uint32_t>{15000000, 31000000, 35000000, 40000000}));
    EXPECT_FALSE(doc.isModified());
}

TEST_F(OperationsTest, DeleteSelectedReturnsRowToSelect) {
    setChannels({1000000, 2000000, 3000000, 4000000, 5000000});
    EXPECT_EQ(doc.channelTable().deleteChannels({1, 3}), 1);
    EXPECT_EQ(frequencies(), (std::vector<std::uint32_t>{1000000, 3000000, 5000000}));
    EXPECT_TRUE(doc.isModified());

    EXPECT_EQ(doc.channelTable().deleteChannels({2}), 1); // row 2 is gone: the last row
    EXPECT_EQ(doc.channelTable().deleteChannels({0, 1}), -1);
    EXPECT_EQ(doc.channelCount, 0);
}

TEST_F(OperationsTest, DeleteIgnoresRowsOutsideTableAndDuplicates) {
    setChannels({1000000, 2000000, 3000000});
    EXPECT_EQ(doc.channelTable().deleteChannels({2, 2, 7, -4}), 1);
    EXPECT_EQ(frequencies(), (std::vector<std::uint32_t>{1000000, 2000000}));

    doc.setModified(false);
    EXPECT_EQ(doc.channelTable().deleteChannels({}), 0);
    EXPECT_EQ(doc.channelCount, 2);
    EXPECT_FALSE(doc.isModified());
}

TEST_F(OperationsTest, DeletingPriorityChannelPassesMarkToRowZero) {
    setChannels({1000000, 2000000, 3000000});
    makePriority(2);
    doc.channelTable().deleteChannels({2});
    EXPECT_EQ(doc.priorityIndex, 0);
    EXPECT_EQ(channel(0).priority, 1);
    EXPECT_EQ(doc.priorityRecord.frequency, 1000000u);

    setChannels({1000000, 2000000, 3000000});
    makePriority(2);
    doc.channelTable().deleteChannels({0, 2});
    ASSERT_EQ(doc.channelCount, 1);
    EXPECT_EQ(channel(0).priority, 0);
}

TEST_F(OperationsTest, DeletingBelowPriorityKeepsItsIndexOnTheSameChannel) {
    setChannels({1000000, 2000000, 3000000, 4000000});
    makePriority(3);
    doc.channelTable().deleteChannels({0, 1});
    EXPECT_EQ(doc.priorityIndex, 1);
    EXPECT_EQ(channel(doc.priorityIndex).frequency, 4000000u);
}

// When an insert or a delete moves the priority channel to another row, its
// copy is taken afresh: a report heard on the channel since shows in it.
TEST_F(OperationsTest, MovingThePriorityChannelByInsertOrDeleteRefreshesItsCopy) {
    struct Case {
        const char* name;
        std::uint32_t inserted; // 0: delete `deleted` instead
        std::vector<int> deleted;
        int indexAfter;
        bool refreshed;
    };
    const Case cases[] = {
        {"insert below", 5000000, {}, 3, true}, {"insert above", 35000000, {}, 2, false},
        {"delete below", 0, {0}, 1, true},      {"delete two below", 0, {0, 1}, 0, true},
        {"delete above", 0, {3}, 2, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        setChannels({10000000, 20000000, 30000000, 40000000});
        makePriority(2);
        channel(2).signal = 9; // heard after the copy was taken
        channel(2).heardTime = 1234;
        doc.controlParams.tuningOffset = 6250;
        if (c.inserted != 0) {
            ASSERT_GE(doc.channelTable().storeChannel(c.inserted), 0);
        } else {
            doc.channelTable().deleteChannels(c.deleted);
        }
        EXPECT_EQ(doc.priorityIndex, c.indexAfter);
        EXPECT_EQ(channel(doc.priorityIndex).frequency, 30000000u);
        EXPECT_EQ(doc.priorityRecord.frequency, 30000000u);
        EXPECT_EQ(doc.priorityRecord.signal, c.refreshed ? 9 : 0);
        EXPECT_EQ(doc.priorityRecord.heardTime, c.refreshed ? 1234 : 0);
        EXPECT_EQ(doc.controlParams.tuningOffset, 6250);
    }
}

TEST_F(OperationsTest, RecordReportChangesOnNewSignalOrNewSecond) {
    setChannels({145000000});
    EXPECT_EQ(doc.channelTable().recordReport(0, 5), 1);
    EXPECT_EQ(channel(0).heard, 1);
    EXPECT_EQ(channel(0).maxSignal, 5);
    EXPECT_EQ(doc.channelTable().recordReport(0, 5), 0); // same signal, same second
    EXPECT_EQ(doc.channelTable().recordReport(0, 3), 1);
    EXPECT_EQ(channel(0).signal, 3);
    EXPECT_EQ(channel(0).maxSignal, 5);
    clock.advance(1000);
    EXPECT_EQ(doc.channelTable().recordReport(0, 3), 1);
    EXPECT_EQ(channel(0).heardTime, kMarch7th2002At100509Jst + 1);
    EXPECT_EQ(doc.channelTable().recordReport(1, 3), 0);
}

TEST_F(OperationsTest, MakePassChannelLeavesOnlyPassBank) {
    setChannels({145000000});
    channel(0).bankMask = 0x1F;
    doc.channelTable().makePassChannel(0);
    EXPECT_EQ(channel(0).bankMask, 0x200000);
    EXPECT_EQ(doc.channelTable().channelCountPerBank()[kPassBank], 1);
    EXPECT_EQ(doc.channelTable().channelCountPerBank()[0], 0);
}

TEST_F(OperationsTest, ChoosingPriorityAppliesCopyRuleCorrections) {
    setChannels({145012500, 146000000});
    channel(0).ifBandwidth = 0;
    channel(0).mode = 7;
    channel(0).priority = 0;
    channel(1).priority = 1;
    doc.controlParams.tuningOffset = 0;
    doc.channelTable().choosePriorityChannel(0);
    EXPECT_EQ(channel(0).priority, 1);
    EXPECT_EQ(channel(1).priority, 0);
    EXPECT_EQ(doc.priorityIndex, 0);
    EXPECT_EQ(doc.priorityRecord.frequency, 145012500u);
    EXPECT_EQ(doc.priorityRecord.ifBandwidth, 1);
    EXPECT_EQ(doc.priorityRecord.mode, 2);
    EXPECT_EQ(doc.controlParams.tuningOffset, 0);
    EXPECT_TRUE(doc.isModified());

    doc.channelTable().choosePriorityChannel(5);
    EXPECT_EQ(doc.priorityIndex, 0);
}

TEST_F(OperationsTest, RecallChannelSetsTuningOffsetAndHonoursOptions) {
    setChannels({145012345});
    channel(0).mode = 6;
    channel(0).ifBandwidth = 0;
    channel(0).comment = "Tower";
    settings.optSam = 1;
    settings.optFilter = 1;
    doc.tuning().recallChannel(0);
    EXPECT_EQ(doc.mainRecord.frequency, 145012345u);
    EXPECT_EQ(doc.mainRecord.mode, 6);
    EXPECT_EQ(doc.mainRecord.ifBandwidth, 0);
    EXPECT_EQ(doc.mainRecord.comment, "Tower");
    EXPECT_EQ(doc.controlParams.tuningOffset, 12345);

    doc.tuning().takeChannelInfo(0);
    doc.tuning().clearChannelInfo();
    EXPECT_EQ(doc.mainRecord.bankMask, 1);
    EXPECT_EQ(doc.mainRecord.comment, "");
    doc.tuning().recallChannel(3); // outside the table: nothing happens
    EXPECT_EQ(doc.mainRecord.frequency, 145012345u);
}

TEST_F(OperationsTest, NormaliseSnapsToStepOrKeepsOffset) {
    doc.controlParams.autoMode = 0;
    doc.controlParams.stepAdjust = 1;
    doc.mainRecord.step = 10;
    doc.mainRecord.frequency = 145012345;
    doc.tuning().normaliseFrequency();
    EXPECT_EQ(doc.mainRecord.frequency, 145000000u);
    EXPECT_EQ(doc.controlParams.tuningOffset, 0);

    doc.controlParams.stepAdjust = 0;
    doc.mainRecord.frequency = 145012345;
    doc.tuning().normaliseFrequency();
    EXPECT_EQ(doc.mainRecord.frequency, 145012300u);
    EXPECT_EQ(doc.controlParams.tuningOffset, 12300);

    doc.mainRecord.step = 99; // a step index no table row has
    doc.mainRecord.frequency = 145012345;
    doc.tuning().normaliseFrequency();
    EXPECT_EQ(doc.mainRecord.frequency, 145012300u);
}

TEST_F(OperationsTest, AutoModeRangeWithHighestIndexWinsAndSetsGrid) {
    doc.controlParams.autoMode = 1;
    doc.controlParams.stepAdjust = 1;
    CAutoBank& low = doc.autoRanges[2];
    low.inUse = 1;
    low.startFrequency = 144000000;
    low.stopFrequency = 146000000;
    low.step = 10;
    low.mode = 1;
    CAutoBank& high = doc.autoRanges[5];
    high.inUse = 1;
    high.startFrequency = 144006250;
    high.stopFrequency = 146000000;
    high.step = 8; // 12.5 kHz
    high.mode = 8;
    high.ifBandwidth = 0;
    high.attenuator = 1;
    high.antenna = 3;
    doc.mainRecord.frequency = 145000000;
    doc.tuning().normaliseFrequency();
    EXPECT_EQ(doc.mainRecord.frequency, 145006250u);
    EXPECT_EQ(doc.controlParams.tuningOffset, 6250);
    EXPECT_EQ(doc.mainRecord.step, 8);
    EXPECT_EQ(doc.mainRecord.mode, 2);
    EXPECT_EQ(doc.mainRecord.ifBandwidth, 0); // taken unchanged
    EXPECT_EQ(doc.mainRecord.attenuator, 1);
    EXPECT_EQ(doc.mainRecord.antenna, 3);

    high.inUse = 0;
    doc.mainRecord.frequency = 145012345;
    doc.tuning().normaliseFrequency();
    EXPECT_EQ(doc.mainRecord.frequency, 145000000u);
    EXPECT_EQ(doc.mainRecord.mode, 1);
}

TEST_F(OperationsTest, LoadSearchBankTakesMidpointWithoutOverflow) {
    CSearchBank& bank = doc.searchBanks[4];
    bank.startFrequency = 3000000000u;
    bank.stopFrequency = 3000100000u;
    bank.step = 11;
    bank.mode = 7;
    bank.ifBandwidth = 0;
    doc.mainRecord.signal = 5;
    doc.tuning().loadSearchBank(4);
    EXPECT_EQ(doc.mainRecord.frequency, 3000050000u);
    EXPECT_EQ(doc.mainRecord.mode, 2);
    EXPECT_EQ(doc.mainRecord.ifBandwidth, 1);
    EXPECT_EQ(doc.mainRecord.signal, 0);
    EXPECT_EQ(doc.controlParams.tuningOffset, 0);
    doc.tuning().loadSearchBank(20);
    EXPECT_EQ(doc.mainRecord.frequency, 3000050000u);
}

TEST_F(OperationsTest, StepIfBandwidthSkipsNarrowFilterWithoutOption) {
    doc.mainRecord.ifBandwidth = 6;
    EXPECT_EQ(doc.tuning().stepIfBandwidth(true), 1);
    EXPECT_EQ(doc.tuning().stepIfBandwidth(false), 6);
    settings.optFilter = 1;
    doc.mainRecord.ifBandwidth = 1;
    EXPECT_EQ(doc.tuning().stepIfBandwidth(false), 0);
    doc.mainRecord.ifBandwidth = -3; // from a damaged file
    EXPECT_EQ(doc.tuning().stepIfBandwidth(true), 5);
    EXPECT_TRUE(doc.isModified());
}

TEST_F(OperationsTest, CountsPerBankAndReachableFollowLinkSet) {
    setChannels({1000000, 2000000, 3000000});
    channel(0).bankMask = (1 << 3) | (1 << 7);
    channel(1).bankMask = 1 << 7;
    channel(1).mode = 6; // SAM follows the AM switch
    channel(2).bankMask = 1 << 9;
    doc.channelTable().countChannelsPerBank();
    EXPECT_EQ(doc.channelTable().channelCountPerBank()[3], 1);
    EXPECT_EQ(doc.channelTable().channelCountPerBank()[7], 2);
    EXPECT_EQ(doc.channelTable().channelCountPerBank()[9], 1);

    doc.controlParams.currentLinkSet = 4;
    doc.banks().setLinkFlags((1u << 3) | (1u << 7));
    EXPECT_EQ(doc.memoryBanks[7].linkFlags[4], 1);
    EXPECT_EQ(doc.memoryBanks[9].linkFlags[4], 0);
    EXPECT_EQ(doc.banks().linkMask(), (1u << 3) | (1u << 7));
    // Without the mode filter the channel outside the link set is still
    // out of reach of memory scan.
    EXPECT_EQ(countReachableChannels(doc), 2);

    doc.parameters().toggleModeFilter();
    EXPECT_EQ(countReachableChannels(doc), 2);
    EXPECT_EQ(doc.parameters().toggleModeEnabled(2), 0);
    EXPECT_EQ(countReachableChannels(doc), 1);
    EXPECT_FALSE(isReachableChannel(doc, doc.banks().linkMask(), channel(1)));
    EXPECT_EQ(doc.parameters().toggleModeEnabled(6), -1);

    EXPECT_TRUE(doc.banks().setCurrentLinkSet(5));
    EXPECT_EQ(doc.banks().linkMask(), 0u);
    EXPECT_EQ(countReachableChannels(doc), 0);
    EXPECT_FALSE(doc.banks().setCurrentLinkSet(20));
    EXPECT_EQ(doc.controlParams.currentLinkSet, 5);
}

TEST_F(OperationsTest, ReadingOrStartingADocumentRecountsMasksAndCounts) {
    setChannels({1000000, 2000000});
    channel(1).bankMask = 1 << 4;
    doc.memoryBanks[4].linkFlags[0] = 1;
    const std::vector<std::uint8_t> bytes = doc.toBytes();

    CKovo5Doc other(settings, clock);
    ASSERT_TRUE(other.readBytes(bytes, "x.kv5", false).ok);
    EXPECT_EQ(other.banks().linkMask(), 1u << 4);
    EXPECT_EQ(other.channelTable().channelCountPerBank()[0], 1);
    EXPECT_EQ(other.channelTable().channelCountPerBank()[4], 1);
    EXPECT_EQ(countReachableChannels(other), 1);

    other.onNewDocument();
    EXPECT_EQ(other.banks().linkMask(), 0u);
    EXPECT_EQ(other.channelTable().channelCountPerBank()[4], 0);
}

TEST_F(OperationsTest, SearchBanksInUseFromBitsLeaveDocumentUnmodified) {
    doc.ranges().setSearchBanksInUse(0x80005u | (1u << 25));
    EXPECT_EQ(doc.searchBanks[0].inUse, 1);
    EXPECT_EQ(doc.searchBanks[1].inUse, 0);
    EXPECT_EQ(doc.searchBanks[2].inUse, 1);
    EXPECT_EQ(doc.searchBanks[19].inUse, 1);
    EXPECT_FALSE(doc.isModified());
}

TEST_F(OperationsTest, SwitchesInvertAndReport) {
    EXPECT_EQ(doc.parameters().toggleSwitch(SwitchKind::Pause), 1);
    EXPECT_EQ(doc.controlParams.pause, 1);
    EXPECT_TRUE(doc.isModified());
    EXPECT_EQ(doc.parameters().toggleSwitch(SwitchKind::Logging), 1);
    EXPECT_EQ(doc.parameters().toggleSwitch(SwitchKind::Logging), 0);
    EXPECT_EQ(doc.parameters().toggleSwitch(SwitchKind::Ctcss), 1);
    EXPECT_EQ(doc.controlParams.ctcssSwitch, 1);

    doc.controlParams.decoderMode = 4;
    EXPECT_EQ(doc.parameters().toggleSwitch(SwitchKind::DecoderMode), 0);
    EXPECT_EQ(doc.parameters().toggleSwitch(SwitchKind::DecoderMode), 1);

    std::vector<std::pair<SoftSetting, int>> written;
    const Subscription listening = doc.parameters().softSettingChanges().subscribe(
        [&](const SoftSettingChange& c) { written.emplace_back(c.which, c.value); });
    settings.elm = 1;
    EXPECT_EQ(doc.parameters().toggleSwitch(SwitchKind::Dtmf), 1);
    EXPECT_EQ(doc.parameters().toggleSwitch(SwitchKind::Elm), 0);
    EXPECT_EQ(written, (std::vector<std::pair<SoftSetting, int>>{{SoftSetting::Dtmf, 1},
                                                                 {SoftSetting::Elm, 0}}));

    doc.setModified(false);
    EXPECT_EQ(doc.parameters().toggleSwitch(static_cast<SwitchKind>(9)), -1);
    EXPECT_EQ(doc.parameters().toggleSwitch(static_cast<SwitchKind>(-1)), -1);
    EXPECT_FALSE(doc.isModified());

    EXPECT_EQ(doc.parameters().toggleAutoMode(), 0); // a new document starts with auto mode on
    EXPECT_EQ(doc.parameters().toggleStepAdjust(), 0);
    EXPECT_EQ(doc.parameters().togglePriorityScan(), 1);
}

} // namespace
} // namespace kovo
