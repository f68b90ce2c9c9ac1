// Log ring, log analysis and the auto-mode range clipboard of the document.
#include <gtest/gtest.h>

#include <memory>

#include "DataTestSupport.h"
#include "data/CKovo5Doc.h"

namespace kovo {
namespace {

constexpr std::int64_t kMarch7th2002At090500Jst = 1015459500; // a Thursday

class LogOperationsTest : public ::testing::Test {
protected:
    LogOperationsTest() : doc(settings, clock) {}

    void openEntry(std::uint32_t f, std::int32_t s) {
        doc.mainRecord.frequency = f;
        doc.log().openLogEntry(doc.mainRecord, s);
    }

    test::ScopedTimeZone zone{"JST-9"};
    AppSettings settings;
    ManualClock clock{kMarch7th2002At090500Jst * 1000};
    CKovo5Doc doc;
};

TEST_F(LogOperationsTest, OpenLogEntryTakesTuningRecordAndTellsRecorder) {
    std::vector<std::tuple<std::uint32_t, std::int32_t, std::string>> told;
    Subscription recorder = doc.log().changes().subscribe([&](const DocumentChange& change) {
        if (change.kind != DocumentChange::Kind::LogAppended)
            return;
        const CLogData& e = doc.logEntry(change.row);
        told.emplace_back(e.frequency, e.firstHeard, e.comment);
    });
    doc.mainRecord.comment = "Tower";
    EXPECT_EQ(doc.log().openLogEntry(doc.mainRecord, 11), 0);
    ASSERT_EQ(doc.logCount, 1);
    const CLogData& e = doc.logEntry(0);
    EXPECT_EQ(e.frequency, 145000000u);
    EXPECT_EQ(e.comment, "Tower");
    EXPECT_EQ(e.firstHeard, kMarch7th2002At090500Jst);
    EXPECT_EQ(e.lastHeard, kMarch7th2002At090500Jst);
    EXPECT_EQ(e.maxSignal, 11);
    EXPECT_TRUE(doc.isModified());
    ASSERT_EQ(told.size(), 1u);
    EXPECT_EQ(told[0], std::make_tuple(145000000u, std::int32_t(kMarch7th2002At090500Jst),
                                       std::string("Tower")));

    // During a priority check the entry is about the priority record.
    doc.priorityRecord.frequency = 430000000;
    doc.log().openLogEntry(doc.priorityRecord, 3);
    EXPECT_EQ(doc.logEntry(1).frequency, 430000000u);
}

TEST_F(LogOperationsTest, RingReplacesOldestWhenFull) {
    for (int i = 0; i < kLogSlots; ++i)
        ASSERT_EQ(doc.log().openLogEntry(doc.mainRecord, i % 16), 0);
    EXPECT_EQ(doc.logCount, kLogSlots);
    EXPECT_EQ(doc.logStart, 0);

    doc.mainRecord.frequency = 430000000;
    EXPECT_EQ(doc.log().openLogEntry(doc.mainRecord, 9), 1);
    EXPECT_EQ(doc.logCount, kLogSlots);
    EXPECT_EQ(doc.logStart, 1);
    EXPECT_EQ(doc.logRing[0].frequency, 430000000u);
    EXPECT_EQ(doc.logEntry(kLogSlots - 1).frequency, 430000000u);
    EXPECT_EQ(doc.logEntry(0).maxSignal, 1); // formerly the second entry

    // The newest entry after the wrap is in slot 0.
    clock.advance(2000);
    EXPECT_EQ(doc.log().updateNewestLogEntry(12), kLogSlots - 1);
    EXPECT_EQ(doc.logRing[0].maxSignal, 12);
    EXPECT_EQ(doc.logRing[0].lastHeard, kMarch7th2002At090500Jst + 2);
    EXPECT_EQ(doc.logRing[kLogSlots - 1].maxSignal, (kLogSlots - 1) % 16);
}

TEST_F(LogOperationsTest, UpdateNewestOnlyWhenTimeMovesOrSignalRises) {
    EXPECT_EQ(doc.log().updateNewestLogEntry(5), -1); // empty log untouched
    EXPECT_EQ(doc.logCount, 0);

    openEntry(145000000, 5);
    openEntry(146000000, 5);
    EXPECT_EQ(doc.log().updateNewestLogEntry(4), -1);
    EXPECT_EQ(doc.log().updateNewestLogEntry(7), 1);
    EXPECT_EQ(doc.logEntry(1).maxSignal, 7);
    clock.advance(1000);
    EXPECT_EQ(doc.log().updateNewestLogEntry(2), 1);
    EXPECT_EQ(doc.logEntry(1).maxSignal, 7);
    EXPECT_EQ(doc.logEntry(1).lastHeard, kMarch7th2002At090500Jst + 1);
    EXPECT_EQ(doc.logEntry(0).lastHeard, kMarch7th2002At090500Jst);
}

TEST_F(LogOperationsTest, ClearLogResetsRingAndRequestsNewEntries) {
    for (int i = 0; i < kLogSlots + 3; ++i)
        doc.log().openLogEntry(doc.mainRecord, 1);
    doc.log().logAnalysis().sampleCount = 4;
    doc.setModified(false);
    doc.log().clearLog();
    EXPECT_EQ(doc.logCount, 0);
    EXPECT_EQ(doc.logStart, 0);
    EXPECT_EQ(doc.log().logAnalysis().sampleCount, 0);
    EXPECT_TRUE(doc.isModified());
    EXPECT_EQ(doc.log().openLogEntry(doc.mainRecord, 1), 0);
    EXPECT_EQ(doc.logCount, 1);
}

TEST_F(LogOperationsTest, RecallLogEntryUsesStoredChannelWhenThereIsOne) {
    auto ch = std::make_unique<CFrequencyData>();
    ch->frequency = 145000000;
    ch->mode = 1;
    ch->step = 10;
    ch->comment = "Channel";
    doc.channels[0] = std::move(ch);
    doc.channelCount = 1;

    openEntry(145000000, 3);
    doc.mainRecord.comment = "Log";
    openEntry(146000000, 3);
    clock.advance(5000);
    doc.log().updateNewestLogEntry(3);

    doc.mainRecord.ctcss = 4;
    doc.mainRecord.tElm = 2;
    doc.tuning().recallLogEntry(1);
    EXPECT_EQ(doc.mainRecord.frequency, 146000000u);
    EXPECT_EQ(doc.mainRecord.comment, "Log");
    EXPECT_EQ(doc.mainRecord.heardTime, kMarch7th2002At090500Jst + 5);
    EXPECT_EQ(doc.mainRecord.ctcss, 0);
    EXPECT_EQ(doc.mainRecord.tElm, 0);

    doc.tuning().recallLogEntry(0);
    EXPECT_EQ(doc.mainRecord.comment, "Channel");
    EXPECT_EQ(doc.mainRecord.mode, 1);

    doc.tuning().recallLogEntry(2); // no such entry
    EXPECT_EQ(doc.mainRecord.comment, "Channel");
}

TEST_F(LogOperationsTest, AnalysisCountsHoursAndWeekdaysOfMatchingEntries) {
    openEntry(145000000, 3);
    openEntry(146000000, 3);
    clock.advance(3600 * 1000);
    openEntry(145000000, 3);
    clock.advance(24 * 3600 * 1000);
    openEntry(145000000, 3);
    ASSERT_TRUE(doc.log().analyseLog(2));
    const auto& a = doc.log().logAnalysis();
    EXPECT_EQ(a.frequency, 145000000u);
    EXPECT_EQ(a.sampleCount, 3);
    int hours = 0;
    for (int c : a.hourCounts)
        hours += c;
    EXPECT_EQ(hours, 6);
    EXPECT_EQ(a.hourCounts[9], 2);
    EXPECT_EQ(a.hourCounts[10], 4);
    EXPECT_EQ(a.weekdayCounts[4], 4); // Thursday
    EXPECT_EQ(a.weekdayCounts[5], 2);
    EXPECT_EQ(a.largestHourCount, 4);
    EXPECT_EQ(a.largestWeekdayCount, 4);

    EXPECT_FALSE(doc.log().analyseLog(4));
    EXPECT_EQ(doc.log().logAnalysis().sampleCount, 3);
}

class AutoRangeClipboardTest : public ::testing::Test {
protected:
    AutoRangeClipboardTest() : doc(settings, clock) {
        for (int k = 0; k < kRangeCount; ++k) {
            doc.autoRanges[static_cast<std::size_t>(k)].startFrequency =
                1000u * static_cast<std::uint32_t>(k + 1);
            doc.autoRanges[static_cast<std::size_t>(k)].inUse = 1;
        }
    }
    std::uint32_t start(int k) {
        return doc.autoRanges[static_cast<std::size_t>(k)].startFrequency;
    }

    AppSettings settings;
    ManualClock clock;
    CKovo5Doc doc;
};

TEST_F(AutoRangeClipboardTest, CutClosesGapsAndPasteInsertsInOrder) {
    settings.nfmBandWidth = 2;
    doc.ranges().cutAutoRanges({7, 3});
    EXPECT_EQ(doc.ranges().clipboardCount(), 2);
    EXPECT_EQ(doc.ranges().clipboardRange(0).startFrequency, 4000u);
    EXPECT_EQ(doc.ranges().clipboardRange(1).startFrequency, 8000u);
    EXPECT_EQ(start(3), 5000u); // rows 4..6 up by one
    EXPECT_EQ(start(5), 7000u);
    EXPECT_EQ(start(6), 9000u); // rows 8..19 up by two
    EXPECT_EQ(start(17), 20000u);
    for (int k : {18, 19}) {
        const CAutoBank& r = doc.autoRanges[static_cast<std::size_t>(k)];
        EXPECT_EQ(r.inUse, 0);
        EXPECT_EQ(r.startFrequency, 0u);
        EXPECT_EQ(r.ifBandwidth, 4);
        EXPECT_EQ(r.attenuator, 3);
        EXPECT_EQ(r.step, 10);
    }
    EXPECT_TRUE(doc.isModified());

    doc.ranges().pasteAutoRanges({0});
    EXPECT_EQ(start(0), 1000u);
    EXPECT_EQ(start(1), 4000u);
    EXPECT_EQ(start(2), 8000u);
    EXPECT_EQ(start(3), 2000u);
    EXPECT_EQ(doc.ranges().clipboardCount(), 2); // kept for another paste
}

TEST_F(AutoRangeClipboardTest, PasteNearTheEndDropsWhatDoesNotFit) {
    doc.ranges().cutAutoRanges({0, 1, 2});
    const std::uint32_t lastBefore = start(19);
    doc.ranges().pasteAutoRanges({18});
    EXPECT_EQ(start(19), 1000u);
    EXPECT_EQ(start(18), 0u); // untouched
    EXPECT_NE(start(19), lastBefore);

    doc.setModified(false);
    doc.ranges().pasteAutoRanges({19});
    EXPECT_EQ(start(19), 1000u);
    EXPECT_FALSE(doc.isModified());
}

TEST_F(AutoRangeClipboardTest, EmptyClipboardOrSelectionPastesNothing) {
    doc.ranges().pasteAutoRanges({4});
    EXPECT_EQ(start(5), 6000u);
    doc.ranges().cutAutoRanges({25});
    EXPECT_EQ(doc.ranges().clipboardCount(), 0);
    EXPECT_EQ(start(19), 20000u);
    EXPECT_FALSE(doc.isModified());
}

} // namespace
} // namespace kovo
