// Listener lists and the document's change notices.
#include <gtest/gtest.h>

#include <cctype>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "DataTestSupport.h"
#include "data/CKovo5Doc.h"
#include "data/DatabaseEdits.h"
#include "data/Notices.h"

namespace kovo {
namespace {

TEST(Notices, ListenersComeAndGoSafelyEvenDuringANotice) {
    Notices<int> notices;
    std::vector<std::string> heard;
    Subscription a, b, c;
    a = notices.subscribe([&](int n) {
        heard.push_back("a" + std::to_string(n));
        if (n == 1) {
            b.reset(); // a later listener leaves before its turn
            c = notices.subscribe([&](int m) { heard.push_back("c" + std::to_string(m)); });
        }
    });
    b = notices.subscribe([&](int n) { heard.push_back("b" + std::to_string(n)); });
    notices.notify(1);
    EXPECT_EQ(heard, (std::vector<std::string>{"a1"})) << "b left, c joins from the next notice";
    heard.clear();
    notices.notify(2);
    EXPECT_EQ(heard, (std::vector<std::string>{"a2", "c2"}));

    Subscription self;
    self = notices.subscribe([&](int) { self.reset(); }); // leaves from inside its own call
    notices.notify(3);
    EXPECT_FALSE(self.active());
    EXPECT_EQ(notices.listenerCount(), 2u);
    {
        const Subscription scoped = notices.subscribe([](int) {});
        EXPECT_EQ(notices.listenerCount(), 3u);
    }
    EXPECT_EQ(notices.listenerCount(), 2u) << "a subscription ends with its holder";
}

TEST(Notices, AListenerThatLeavesOrNotifiesMakesNoOtherMissANotice) {
    Notices<int> notices;
    std::vector<std::string> heard;
    Subscription first, second, third;
    auto note = [&](const char* who, int n) { heard.push_back(who + std::to_string(n)); };
    first = notices.subscribe([&](int n) {
        note("1:", n);
        if (n == 1)
            notices.notify(10); // a notice within a notice
    });
    second = notices.subscribe([&](int n) {
        note("2:", n);
        if (n == 1)
            first.reset(); // an earlier listener leaves
    });
    third = notices.subscribe([&](int n) { note("3:", n); });
    notices.notify(1);
    EXPECT_EQ(heard, (std::vector<std::string>{"1:1", "1:10", "2:10", "3:10", "2:1", "3:1"}));
}

TEST(Notices, ASubscriptionMayOutliveItsNotices) {
    Subscription kept;
    {
        Notices<int> notices;
        kept = notices.subscribe([](int) {});
    }
    kept.reset(); // nothing left to leave: no crash
    EXPECT_FALSE(kept.active());
}

class ChangeNoticesTest : public ::testing::Test {
protected:
    using Kind = DocumentChange::Kind;
    ChangeNoticesTest() {
        subscription_ =
            doc.changes().subscribe([this](const DocumentChange& c) { heard.push_back(c); });
    }
    // The notices of one operation, as kinds and rows.
    std::vector<std::string> during(const std::function<void()>& operation) {
        heard.clear();
        operation();
        std::vector<std::string> seen;
        for (const DocumentChange& c : heard)
            seen.push_back(std::to_string(int(c.kind)) + ":" + std::to_string(c.row) + ":" +
                           std::to_string(c.toRow) + (c.droppedOldest ? ":dropped" : ""));
        return seen;
    }
    static std::string notice(Kind kind, int row = -1, int toRow = -1) {
        return std::to_string(int(kind)) + ":" + std::to_string(row) + ":" + std::to_string(toRow);
    }

    AppSettings settings;
    ManualClock clock{1'000'000'000'000};
    CKovo5Doc doc{settings, clock};
    std::vector<DocumentChange> heard;

private:
    Subscription subscription_;
};

TEST_F(ChangeNoticesTest, EveryOperationReportsWhatItChanged) {
    using V = std::vector<std::string>;
    EXPECT_EQ(during([&] { ASSERT_EQ(doc.channelTable().storeChannel(200'000'000), 0); }),
              V{notice(Kind::ChannelInserted, 0)});
    EXPECT_EQ(during([&] { ASSERT_EQ(doc.channelTable().storeChannel(100'000'000), 0); }),
              V{notice(Kind::ChannelInserted, 0)});
    EXPECT_EQ(during([&] { ASSERT_EQ(doc.channelTable().storeChannel(200'000'000), 1); }),
              V{notice(Kind::ChannelChanged, 1)});
    EXPECT_EQ(during([&] { ASSERT_EQ(doc.channelTable().recordReport(1, 7), 1); }),
              V{notice(Kind::ChannelChanged, 1)});
    EXPECT_EQ(during([&] { ASSERT_EQ(doc.channelTable().recordReport(1, 7), 0); }), V{})
        << "nothing new";
    EXPECT_EQ(during([&] { ASSERT_TRUE(doc.channelTable().moveChannel(0, 1)); }),
              V{notice(Kind::ChannelMoved, 0, 1)});
    EXPECT_EQ(during([&] { doc.channelTable().makePassChannel(0); }),
              V{notice(Kind::ChannelChanged, 0)});
    EXPECT_EQ(during([&] {
                  ASSERT_EQ(doc.channelTable().deleteChannels({1, 0}), -1);
              }),
              (V{notice(Kind::ChannelRemoved, 1), notice(Kind::ChannelRemoved, 0)}))
        << "from the bottom up, so that each row is right when it is heard";
    EXPECT_EQ(during([&] { doc.log().openLogEntry(doc.mainRecord, 5); }),
              V{notice(Kind::LogAppended, 0)});
    clock.advance(1000);
    EXPECT_EQ(during([&] { ASSERT_EQ(doc.log().updateNewestLogEntry(5), 0); }),
              V{notice(Kind::LogUpdated, 0)});
    EXPECT_EQ(during([&] { doc.log().clearLog(); }), V{notice(Kind::LogCleared)});
    EXPECT_EQ(during([&] { ASSERT_TRUE(doc.banks().setCurrentLinkSet(3)); }),
              V{notice(Kind::BanksChanged)});
    EXPECT_EQ(during([&] { doc.banks().setLinkFlags(1); }), V{notice(Kind::LinkSetsChanged)});
    EXPECT_EQ(during([&] { doc.onNewDocument(); }), V{notice(Kind::DocumentReplaced)});
    EXPECT_EQ(during([&] { ASSERT_TRUE(doc.readBytes(doc.toBytes(), "x.kv5", false).ok); }),
              V{notice(Kind::DocumentReplaced)});
}

TEST_F(ChangeNoticesTest, AFullLogSaysItDroppedItsOldestEntry) {
    for (int i = 0; i < kLogSlots; ++i)
        doc.log().openLogEntry(doc.mainRecord, 1);
    EXPECT_EQ(during([&] { doc.log().openLogEntry(doc.mainRecord, 1); }),
              std::vector<std::string>{notice(Kind::LogAppended, kLogSlots - 1) + ":dropped"});
}

} // namespace
} // namespace kovo

namespace kovo {
namespace {

// Every operation that changes stored values marks the document itself.
TEST(MarksModified, TogglesOfStoredSwitchesMarkTheDocument) {
    AppSettings settings;
    ManualClock clock;
    CKovo5Doc doc{settings, clock};
    const std::function<int()> toggles[] = {
        [&] { return doc.parameters().toggleMonitor(); },
        [&] { return doc.parameters().toggleAutoStore(); },
        [&] { return doc.parameters().toggleModeFilter(); },
        [&] { return doc.parameters().toggleModeEnabled(3); },
        [&] { return doc.parameters().toggleSwitch(SwitchKind::Ctcss); },
        [&] { return doc.parameters().toggleSwitch(SwitchKind::DecoderMode); },
    };
    for (std::size_t i = 0; i < std::size(toggles); ++i) {
        doc.setModified(false);
        EXPECT_GE(toggles[i](), 0) << i;
        EXPECT_TRUE(doc.isModified()) << i;
    }
}

} // namespace
} // namespace kovo

namespace kovo {
namespace {

// Every operation that changes stored data marks the document itself and
// reports what a list shows of it.
struct MarkingCase {
    const char* name;
    std::function<void(CKovo5Doc&)> operation;
    std::vector<std::pair<DocumentChange::Kind, int>> notices;
};

using K = DocumentChange::Kind;
const MarkingCase kMarkingCases[] = {
    {"store",
     [](CKovo5Doc& d) { ASSERT_EQ(d.channelTable().storeChannel(150'000'000), 1); },
     {{K::ChannelInserted, 1}}},
    {"delete",
     [](CKovo5Doc& d) {
         d.channelTable().deleteChannels({2, 5, 0});
     },
     {{K::ChannelRemoved, 2}, {K::ChannelRemoved, 0}}},
    {"priority",
     [](CKovo5Doc& d) { d.channelTable().choosePriorityChannel(2); },
     {{K::ChannelChanged, 2}}},
    {"channel banks",
     [](CKovo5Doc& d) { ASSERT_TRUE(d.channelTable().setChannelBanks({1}, 4, false)); },
     {{K::ChannelChanged, 1}}},
    {"channel step",
     [](CKovo5Doc& d) {
         ASSERT_TRUE(d.listEdits().setRowsStep(edits::Channels, {0, 2}, 3));
     },
     {{K::ChannelChanged, 0}, {K::ChannelChanged, 2}}},
    {"range mode",
     [](CKovo5Doc& d) { ASSERT_TRUE(d.listEdits().setRowsMode(edits::AutoRanges, {4}, 1)); },
     {{K::RangesChanged, -1}}},
    {"channel tone",
     [](CKovo5Doc& d) { ASSERT_TRUE(d.channelTable().setChannelsCtcss({1}, 7)); },
     {{K::ChannelChanged, 1}}},
    {"bank use",
     [](CKovo5Doc& d) { ASSERT_TRUE(d.listEdits().setUseFlags(edits::Banks, {3}, true)); },
     {{K::BanksChanged, -1}}},
    {"comment",
     [](CKovo5Doc& d) { ASSERT_TRUE(d.channelTable().setChannelComments({2}, "x")); },
     {{K::ChannelChanged, 2}}},
    {"bank name",
     [](CKovo5Doc& d) { ASSERT_TRUE(d.banks().setBankNames({5}, "x")); },
     {{K::BanksChanged, -1}}},
    {"range comment",
     [](CKovo5Doc& d) { ASSERT_TRUE(d.ranges().setRangeComments(edits::PassRanges, {1}, "x")); },
     {{K::RangesChanged, -1}}},
    {"range edges",
     [](CKovo5Doc& d) {
         ASSERT_TRUE(d.ranges().setRangeEdges(edits::SearchBanks, 2, 200, 100));
         EXPECT_EQ(d.searchBanks[2].startFrequency, 100u);
         EXPECT_EQ(d.searchBanks[2].stopFrequency, 200u);
     },
     {{K::RangesChanged, -1}}},
    {"search string",
     [](CKovo5Doc& d) { ASSERT_TRUE(d.ranges().setSearchStrings({0}, "x")); },
     {{K::SearchStringsChanged, -1}}},
    {"link set name",
     [](CKovo5Doc& d) { ASSERT_TRUE(d.banks().renameLinkSet(3, "x")); },
     {{K::LinkSetsChanged, -1}}},
    {"cut", [](CKovo5Doc& d) { d.ranges().cutAutoRanges({1}); }, {{K::RangesChanged, -1}}},
    {"log entry",
     [](CKovo5Doc& d) { d.log().openLogEntry(d.mainRecord, 4); },
     {{K::LogAppended, 2}}},
    {"log clear", [](CKovo5Doc& d) { d.log().clearLog(); }, {{K::LogCleared, -1}}},
    {"tuned mode", [](CKovo5Doc& d) { d.tuning().setTunedMode(1, 5); }, {}},
    {"tuned step", [](CKovo5Doc& d) { d.tuning().setTunedStep(4); }, {}},
    {"tuned attenuator", [](CKovo5Doc& d) { d.tuning().setTunedAttenuator(2); }, {}},
    {"tone", [](CKovo5Doc& d) { d.tuning().setTone(d.mainRecord, 9); }, {}},
    {"tone eliminator", [](CKovo5Doc& d) { d.tuning().setTElm(d.mainRecord, 1); }, {}},
    {"delay", [](CKovo5Doc& d) { d.parameters().setDelaySeconds(3); }, {}},
    {"pause", [](CKovo5Doc& d) { d.parameters().setPauseSeconds(3); }, {}},
    {"sub-step", [](CKovo5Doc& d) { d.parameters().setSubStep(3); }, {}},
    {"operating mode",
     [](CKovo5Doc& d) { d.parameters().setOperatingMode(OperatingMode::MemoryScan, true); },
     {}},
    {"priority scan", [](CKovo5Doc& d) { d.parameters().togglePriorityScan(); }, {}},
    {"AF gain", [](CKovo5Doc& d) { d.noteAfGainMoved(); }, {}},
};

class OperationsMarkTheDocument : public ::testing::TestWithParam<MarkingCase> {};

TEST_P(OperationsMarkTheDocument, AndReportTheRowsAListShows) {
    AppSettings settings;
    ManualClock clock;
    CKovo5Doc doc{settings, clock};
    for (std::uint32_t f : {100'000'000u, 200'000'000u, 300'000'000u})
        ASSERT_GE(doc.channelTable().storeChannel(f), 0);
    doc.log().openLogEntry(doc.mainRecord, 1);
    doc.log().openLogEntry(doc.mainRecord, 2);
    doc.setModified(false);
    std::vector<std::pair<DocumentChange::Kind, int>> heard;
    const Subscription listening = doc.changes().subscribe(
        [&](const DocumentChange& c) { heard.emplace_back(c.kind, c.row); });
    GetParam().operation(doc);
    EXPECT_TRUE(doc.isModified());
    EXPECT_EQ(heard, GetParam().notices);
}

INSTANTIATE_TEST_SUITE_P(Each, OperationsMarkTheDocument, ::testing::ValuesIn(kMarkingCases),
                         [](const ::testing::TestParamInfo<MarkingCase>& testInfo) {
                             std::string name;
                             for (const char* p = testInfo.param.name; *p; ++p)
                                 if (std::isalnum(static_cast<unsigned char>(*p)))
                                     name += *p;
                             return name;
                         });

TEST(MarksModified, EditsThatTouchNothingLeaveTheDocumentAlone) {
    AppSettings settings;
    ManualClock clock;
    CKovo5Doc doc{settings, clock};
    doc.setModified(false);
    EXPECT_FALSE(doc.channelTable().setChannelComments({0, -1}, "x")) << "no channels";
    EXPECT_FALSE(doc.listEdits().setRowsStep(edits::Banks, {0}, 3)) << "banks carry no step";
    EXPECT_FALSE(doc.ranges().setRangeEdges(edits::Channels, 0, 1, 2));
    EXPECT_FALSE(doc.banks().renameLinkSet(kLinkSetCount, "x"));
    doc.parameters().setOperatingMode(OperatingMode::Vfo, false);
    EXPECT_FALSE(doc.isModified());
}

} // namespace
} // namespace kovo
