// The operations every front end shares, on the whole core with fakes.
#include "CoreFixture.h"
#include "data/Cp932.h"

#include "link/ReceiverDescription.h"
#include "scan/TuningRules.h"

#include <functional>

namespace kovo::test {
namespace {

using Result = ReceiverOperations::StoreResult;

class ReceiverOperationsTest : public ::testing::Test, public CoreParts {
protected:
    ReceiverOperations& ops() { return core.operations(); }
    void enter(OperatingMode mode) {
        core.setOperatingMode(mode);
        doc.setModified(false);
        view.calls.clear();
    }
};

TEST_F(ReceiverOperationsTest, TypedTextTunesOnlyWhenWhollyAFrequency) {
    enter(OperatingMode::Vfo);
    doc.controlParams.stepAdjust = 0;
    const struct {
        const char* text;
        std::uint64_t unit;
        bool taken;
        std::uint32_t hz; // tuned afterwards
    } cases[] = {
        {"145.5", kMegahertz, true, 145'500'000},  {" 430,0125 ", kMegahertz, true, 430'012'500},
        {"12.5", kKilohertz, true, 100'000}, // below the range: the lowest frequency
        {"9999", kMegahertz, true, 2'040'000'000}, {"145.5x", kMegahertz, false, 2'040'000'000},
        {"1e3", kMegahertz, false, 2'040'000'000}, {"", kMegahertz, false, 2'040'000'000},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ops().tuneToTyped(c.text, c.unit), c.taken) << '"' << c.text << '"';
        EXPECT_EQ(doc.mainRecord.frequency, c.hz) << '"' << c.text << '"';
    }
    EXPECT_EQ(view.count("refreshPanels"), 4) << "only what tuned refreshes the panels";
}

TEST_F(ReceiverOperationsTest, TypedFrequencyTakenByModeAndHandTuning) {
    const struct {
        OperatingMode mode;
        bool byHand, typed, keypad;
    } cases[] = {
        {OperatingMode::MemoryScan, true, false, false},
        {OperatingMode::ProgramSearch, true, false, false},
        {OperatingMode::OneMegahertzScan, false, false, false},
        {OperatingMode::OneMegahertzScan, true, true, false},
        {OperatingMode::ActiveBandScope, false, false, true},
        {OperatingMode::ActiveBandScope, true, true, true},
        {OperatingMode::StaticBandScope, false, true, true},
        {OperatingMode::Vfo, false, true, true},
    };
    for (const auto& c : cases) {
        doc.controlParams.setMode(c.mode);
        doc.controlParams.manualTuning = c.byHand ? 1 : 0;
        EXPECT_EQ(ops().takesTypedFrequency(), c.typed) << toStored(c.mode) << c.byHand;
        EXPECT_EQ(ops().takesKeypadFrequency(), c.keypad) << toStored(c.mode);
    }
}

TEST_F(ReceiverOperationsTest, StepsBelowTheLowestFrequencyStopThere) {
    enter(OperatingMode::Vfo);
    doc.mainRecord.frequency = 150'000;
    doc.mainRecord.step = 13; // 100 kHz
    ops().tuneBySteps(-3, false);
    EXPECT_EQ(doc.mainRecord.frequency, kLowestFrequency);
}

TEST_F(ReceiverOperationsTest, StoringTheTunedFrequency) {
    int questions = 0;
    bool answer = false;
    const std::function<bool()> confirm = [&] {
        ++questions;
        return answer;
    };
    enter(OperatingMode::MemoryScan);
    doc.mainRecord.frequency = 145'500'000;
    EXPECT_EQ(ops().storeTunedFrequency(confirm).result, Result::NotInThisMode);
    EXPECT_EQ(doc.channelCount, 0);

    enter(OperatingMode::Vfo);
    doc.mainRecord.frequency = 145'500'000;
    const auto stored = ops().storeTunedFrequency(confirm);
    EXPECT_EQ(stored.result, Result::Stored);
    EXPECT_EQ(stored.row, 0);
    EXPECT_EQ(questions, 0) << "a new frequency needs no question";
    EXPECT_TRUE(doc.isModified());
    EXPECT_EQ(view.count("select 0"), 1);

    EXPECT_EQ(ops().storeTunedFrequency(confirm).result, Result::Declined);
    EXPECT_EQ(questions, 1);
    EXPECT_EQ(ops().storeTunedFrequency({}).result, Result::Declined) << "nobody to say yes";
    answer = true;
    EXPECT_EQ(ops().storeTunedFrequency(confirm).row, 0);
    EXPECT_EQ(doc.channelCount, 1);
}

TEST_F(ReceiverOperationsTest, AHeardFrequencyIsStoredWithItsModeAndCommentByTheStoreRules) {
    int questions = 0;
    const auto confirm = [&questions] { return ++questions > 1; };
    enter(OperatingMode::MemoryScan);
    EXPECT_EQ(ops().storeHeardFrequency(118'100'000, "AM", "Tower", confirm).result,
              Result::NotInThisMode);
    enter(OperatingMode::Vfo);
    doc.mainRecord.frequency = 145'500'000;
    doc.mainRecord.mode = 0;
    const auto stored = ops().storeHeardFrequency(118'100'000, "AM", "東京 Tower", confirm);
    ASSERT_EQ(stored.result, Result::Stored);
    const CFrequencyData& channel = *doc.channels[std::size_t(stored.row)];
    EXPECT_EQ(channel.frequency, 118'100'000u);
    EXPECT_EQ(channel.mode, 2);
    EXPECT_EQ(cp932ToUtf8(channel.comment), "東京 Tower");
    EXPECT_EQ(doc.mainRecord.frequency, 145'500'000u) << "the tuned frequency stays";
    EXPECT_EQ(view.count("select 0"), 1);
    EXPECT_EQ(ops().storeHeardFrequency(118'100'000, "WFM", "", confirm).result, Result::Declined);
    EXPECT_EQ(channel.mode, 2);
    EXPECT_EQ(ops().storeHeardFrequency(118'100'000, "??", "", confirm).result, Result::Stored);
    EXPECT_EQ(questions, 2);
    EXPECT_EQ(doc.channelCount, 1);
}

TEST_F(ReceiverOperationsTest, AFullTableRefusesANewChannel) {
    for (int i = 0; i < kMaxChannels; ++i)
        ASSERT_GE(doc.channelTable().storeChannel(std::uint32_t(100'000'000 + i * 100)), 0);
    enter(OperatingMode::Vfo);
    doc.mainRecord.frequency = 1'000'000'000;
    EXPECT_EQ(ops().storeTunedFrequency([] { return true; }).result, Result::TableFull);
    EXPECT_EQ(ops().passTunedFrequency().result, Result::TableFull);
    EXPECT_EQ(doc.channelCount, kMaxChannels);
}

TEST_F(ReceiverOperationsTest, PassingStoresIntoThePassBankAndReentersTheMode) {
    enter(OperatingMode::Vfo);
    doc.mainRecord.frequency = 145'500'000;
    const auto passed = ops().passTunedFrequency();
    ASSERT_EQ(passed.result, Result::Stored);
    EXPECT_EQ(doc.channels[std::size_t(passed.row)]->bankMask, std::int32_t(1) << kPassBank);
    EXPECT_EQ(view.count("mode 5"), 1);
    EXPECT_TRUE(doc.isModified());
}

TEST_F(ReceiverOperationsTest, TheAttenuatorIsRefusedInMemoryScan) {
    enter(OperatingMode::MemoryScan);
    doc.mainRecord.attenuator = 0;
    EXPECT_FALSE(ops().chooseAttenuator(1));
    EXPECT_EQ(doc.mainRecord.attenuator, 0);
    EXPECT_FALSE(doc.isModified());
    enter(OperatingMode::Vfo);
    EXPECT_TRUE(ops().chooseAttenuator(1));
    EXPECT_EQ(doc.mainRecord.attenuator, 1);
    EXPECT_TRUE(doc.isModified());
}

TEST_F(ReceiverOperationsTest, ChangesOfStoredValuesMarkTheDocument) {
    const std::function<void()> changes[] = {
        [&] { ops().selectReceiverMode(1); },
        [&] { ops().chooseStep(5); },
        [&] { ops().setTone(3); },
        [&] { ops().setTElm(7); },
        [&] { ops().setDelaySeconds(4); },
        [&] { ops().setPauseSeconds(9); },
    };
    for (std::size_t i = 0; i < std::size(changes); ++i) {
        enter(OperatingMode::Vfo);
        changes[i]();
        EXPECT_TRUE(doc.isModified()) << i;
    }
}

TEST_F(ReceiverOperationsTest, TheStepChoiceFollowsTheMode) {
    enter(OperatingMode::StaticBandScope);
    ops().chooseStep(10);
    EXPECT_EQ(view.count("resetScope"), 1);
    EXPECT_EQ(view.count("showStaticScope"), 1);
    enter(OperatingMode::Vfo);
    doc.controlParams.stepAdjust = 1;
    doc.controlParams.tuningOffset = 0;
    doc.mainRecord.frequency = 145'012'345;
    ops().chooseStep(13); // 100 kHz
    EXPECT_EQ(doc.mainRecord.frequency % 100'000, 0u) << "VFO snaps to the new grid";
    EXPECT_EQ(view.count("refreshPanels"), 1);
}

// Tuning from another program: the receiver's own range, whichever receiver.
TEST_F(ReceiverOperationsTest, ExactTuningKeepsToTheReceiversRange) {
    const struct {
        std::uint32_t hz;
        bool taken;
    } cases[] = {{99'999, false},
                 {100'000, true},
                 {2'040'000'000, true},
                 {2'040'000'001, false},
                 {2'500'000'000u, false}};
    for (const int device : {0, 1}) {
        settings.device = device;
        for (const auto& c : cases) {
            enter(OperatingMode::MemoryScan);
            doc.mainRecord.frequency = 145'000'000;
            const std::string what = std::to_string(device) + " " + std::to_string(c.hz);
            EXPECT_EQ(ops().canTune(c.hz), c.taken) << what;
            EXPECT_EQ(ops().tuneExactly(c.hz), c.taken) << what;
            EXPECT_EQ(doc.mainRecord.frequency, c.taken ? c.hz : 145'000'000u) << what;
            EXPECT_EQ(view.count("refreshPanels"), c.taken ? 1 : 0) << what;
            EXPECT_EQ(ops().tuneInVfo(c.hz), c.taken) << what;
            EXPECT_EQ(ops().operatingMode(),
                      c.taken ? OperatingMode::Vfo : OperatingMode::MemoryScan)
                << what;
        }
    }
}

// A radio that tells its range narrows the receiver's once it is found.
TEST_F(ReceiverOperationsTest, ARadioThatTellsItsRangeIsTunedOnlyWithinIt) {
    ReceiverFeatures told = ReceiverFeatures::of(kAr3000aDescription);
    told.lowestHz = 144'000'000;
    told.highestHz = 146'000'000;
    port.features = told;
    EXPECT_TRUE(ops().canTune(433'000'000)) << "not found yet";
    ASSERT_TRUE(connect());
    EXPECT_EQ(core.link().features(), told);
    const std::pair<std::uint32_t, bool> cases[] = {
        {143'999'999, false}, {144'000'000, true}, {146'000'000, true}, {433'000'000, false}};
    for (auto [hz, taken] : cases)
        EXPECT_EQ(ops().canTune(hz), taken) << hz;
    EXPECT_EQ(ops().tuningRange(), (FrequencyRange{144'000'000, 146'000'000}))
        << "typed frequencies are read against it";
}

TEST_F(ReceiverOperationsTest, ExactTuningNamesTheChannelStoredThere) {
    enter(OperatingMode::Vfo);
    const int row = doc.channelTable().storeChannel(433'012'345);
    ASSERT_TRUE(doc.channelTable().setChannelComments({row}, "tower"));
    EXPECT_TRUE(ops().tuneExactly(433'012'345));
    EXPECT_EQ(doc.mainRecord.frequency, 433'012'345u) << "off the step grid, as given";
    EXPECT_EQ(doc.mainRecord.comment, "tower");
    EXPECT_TRUE(ops().tuneExactly(433'012'346));
    EXPECT_EQ(doc.mainRecord.comment, "");
}

// A click on the band scope tunes through the operations: the active sweep
// holds on the clicked point only when asked to, and the tuned frequency is
// named after a channel stored there.
TEST_F(ReceiverOperationsTest, AScopeClickTunesAndHoldsTheSweepOnlyWhenAsked) {
    const int row = doc.channelTable().storeChannel(145'500'000);
    ASSERT_TRUE(doc.channelTable().setChannelComments({row}, "repeater"));
    const struct {
        std::optional<int> hold;
        int manualTuning;
    } cases[] = {{std::nullopt, 0}, {3, 1}};
    for (const auto& c : cases) {
        enter(OperatingMode::ActiveBandScope);
        ops().tuneFromScope(145'500'000, c.hold);
        EXPECT_EQ(doc.mainRecord.frequency, 145'500'000u);
        EXPECT_EQ(doc.mainRecord.comment, "repeater");
        EXPECT_EQ(doc.controlParams.manualTuning, c.manualTuning);
        if (c.hold) {
            EXPECT_EQ(core.bandScope().window().sweepIndex, *c.hold);
        }
        ops().resumeScopeSweep();
        EXPECT_EQ(doc.controlParams.manualTuning, 0);
    }
}

TEST_F(ReceiverOperationsTest, ToneSearchStartsFromNoToneAndDirectionIsUpOrDown) {
    doc.mainRecord.ctcss = 12;
    EXPECT_TRUE(ops().toggleToneSearch());
    EXPECT_EQ(doc.mainRecord.ctcss, 0);
    doc.mainRecord.ctcss = 7;
    EXPECT_FALSE(ops().toggleToneSearch());
    EXPECT_EQ(doc.mainRecord.ctcss, 7) << "switching it off keeps the tone found";
    for (const auto& [given, kept] : {std::pair{1, 1}, {0, 0}, {5, 0}}) {
        ops().setDirection(given);
        EXPECT_EQ(doc.controlParams.direction, kept) << given;
    }
}

// Each change of the tuned record from another program is checked against
// its table; a refused one changes nothing and marks nothing.
TEST_F(ReceiverOperationsTest, TunedRecordChangesKeepToTheirTables) {
    CFrequencyData whole = doc.mainRecord;
    whole.frequency = 2'040'000'001;
    const struct {
        const char* name;
        std::function<bool()> change;
        bool taken;
    } cases[] = {
        {"mode 8", [&] { return ops().setReceiverMode(8, 6); }, true},
        {"mode 9", [&] { return ops().setReceiverMode(9, 0); }, false},
        {"mode -1", [&] { return ops().setReceiverMode(-1, std::nullopt); }, false},
        {"bandwidth 6", [&] { return ops().setIfBandwidth(6); }, true},
        {"bandwidth 7", [&] { return ops().setIfBandwidth(7); }, false},
        {"antenna 3", [&] { return ops().setAntenna(3); }, true},
        {"antenna 4", [&] { return ops().setAntenna(4); }, false},
        {"record beyond the range", [&] { return ops().replaceTunedRecord(whole); }, false},
    };
    for (const auto& c : cases) {
        enter(OperatingMode::Vfo);
        const CFrequencyData before = doc.mainRecord;
        EXPECT_EQ(c.change(), c.taken) << c.name;
        EXPECT_EQ(doc.isModified(), c.taken) << c.name;
        if (!c.taken) {
            EXPECT_EQ(doc.mainRecord, before) << c.name;
        }
    }
    enter(OperatingMode::Vfo);
    whole.frequency = 2'040'000'000;
    whole.antenna = 2;
    EXPECT_TRUE(ops().replaceTunedRecord(whole));
    EXPECT_EQ(doc.mainRecord, whole);
}

TEST_F(ReceiverOperationsTest, AModeWithoutABandwidthBringsTheKeysOne) {
    enter(OperatingMode::Vfo);
    doc.mainRecord.ifBandwidth = 0;
    ASSERT_TRUE(ops().setReceiverMode(1, std::nullopt));
    const int keys = doc.mainRecord.ifBandwidth;
    ASSERT_TRUE(ops().setReceiverMode(1, 99));
    EXPECT_EQ(doc.mainRecord.ifBandwidth, keys);
    ASSERT_TRUE(ops().setReceiverMode(1, 2));
    EXPECT_EQ(doc.mainRecord.ifBandwidth, 2);
}

TEST_F(ReceiverOperationsTest, SynchronousAmIsOfferedWithItsOptionOnly) {
    settings.optSam = 0;
    EXPECT_TRUE(ops().offersMode(5));
    EXPECT_FALSE(ops().offersMode(6));
    EXPECT_FALSE(ops().offersMode(9));
    settings.optSam = 1;
    EXPECT_TRUE(ops().offersMode(8));
    EXPECT_FALSE(ops().offersMode(-1));
}

// Link set 0 reaches bank 1 (a channel at 100 MHz), set 1 bank 2 (200 MHz).
TEST_F(ReceiverOperationsTest, AChosenLinkSetRestartsARunningMemoryScanOnly) {
    addChannel(100'000'000, 1 << 1);
    addChannel(200'000'000, 1 << 2);
    doc.memoryBanks[1].linkFlags[0] = 1;
    doc.memoryBanks[2].linkFlags[1] = 1;
    const struct {
        OperatingMode mode;
        std::uint32_t tuned; // afterwards
    } cases[] = {
        {OperatingMode::MemoryScan, 200'000'000}, // runs over the new set at once
        {OperatingMode::Vfo, 100'000'000},
        {OperatingMode::StaticBandScope, 100'000'000},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(toStored(c.mode));
        ASSERT_TRUE(ops().chooseLinkSet(0));
        enter(OperatingMode::MemoryScan);
        ASSERT_EQ(doc.mainRecord.frequency, 100'000'000u);
        enter(c.mode);
        doc.mainRecord.frequency = 100'000'000;
        EXPECT_TRUE(ops().chooseLinkSet(1));
        EXPECT_EQ(doc.controlParams.currentLinkSet, 1);
        EXPECT_EQ(doc.mainRecord.frequency, c.tuned);
        EXPECT_EQ(doc.controlParams.mode(), c.mode);
        EXPECT_TRUE(doc.isModified());
    }
    doc.setModified(false);
    EXPECT_FALSE(ops().chooseLinkSet(kLinkSetCount));
    EXPECT_EQ(doc.controlParams.currentLinkSet, 1);
    EXPECT_FALSE(doc.isModified());
}

// One move of the pad or a remote's key: the scans step, VFO tunes one main
// step (or as the caller says), the band scopes keep only the direction.
TEST_F(ReceiverOperationsTest, OneStepFollowsTheOperatingMode) {
    addChannel(100'000'000, 1 << 1);
    addChannel(200'000'000, 1 << 1);
    addChannel(300'000'000, 1 << 1);
    doc.memoryBanks[1].linkFlags[0] = 1;
    const struct {
        OperatingMode mode;
        int direction;
        bool stepped;
        std::int64_t moved; // Hz the tuned frequency moved
    } cases[] = {
        {OperatingMode::MemoryScan, 1, true, 100'000'000},
        {OperatingMode::MemoryScan, 0, true, -100'000'000},
        {OperatingMode::Vfo, 1, true, 1'000},
        {OperatingMode::Vfo, 0, true, -1'000},
        {OperatingMode::ActiveBandScope, 0, false, 0},
        {OperatingMode::StaticBandScope, 1, false, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(toStored(c.mode)) + " direction " +
                     std::to_string(c.direction));
        doc.mainRecord.frequency = 200'000'000;
        doc.mainRecord.step = 3; // 1 kHz
        doc.controlParams.direction = 0;
        core.scanStateForTests().scanPosition = 1;
        enter(c.mode);
        const std::uint32_t before = doc.mainRecord.frequency;
        if (c.mode == OperatingMode::MemoryScan)
            core.scanStateForTests().scanPosition = 1; // back on 200 MHz
        EXPECT_EQ(ops().stepOnce(c.direction), c.stepped);
        EXPECT_EQ(doc.controlParams.direction, c.direction);
        const std::uint32_t expected = c.mode == OperatingMode::MemoryScan
                                           ? std::uint32_t(200'000'000 + c.moved)
                                           : std::uint32_t(before + c.moved);
        EXPECT_EQ(doc.mainRecord.frequency, expected);
    }
    enter(OperatingMode::Vfo);
    int tunedByCaller = 0;
    EXPECT_TRUE(ops().stepOnce(1, [&] { ++tunedByCaller; }));
    EXPECT_EQ(tunedByCaller, 1);
}

} // namespace
} // namespace kovo::test
