// Listener lists and the document's change notices.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "CKovo5Doc.h"
#include "DataTestSupport.h"
#include "Notices.h"

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
    EXPECT_EQ(during([&] { ASSERT_EQ(doc.storeChannel(200'000'000), 0); }),
              V{notice(Kind::ChannelInserted, 0)});
    EXPECT_EQ(during([&] { ASSERT_EQ(doc.storeChannel(100'000'000), 0); }),
              V{notice(Kind::ChannelInserted, 0)});
    EXPECT_EQ(during([&] { ASSERT_EQ(doc.storeChannel(200'000'000), 1); }),
              V{notice(Kind::ChannelChanged, 1)});
    EXPECT_EQ(during([&] { ASSERT_EQ(doc.recordReport(1, 7), 1); }),
              V{notice(Kind::ChannelChanged, 1)});
    EXPECT_EQ(during([&] { ASSERT_EQ(doc.recordReport(1, 7), 0); }), V{}) << "nothing new";
    EXPECT_EQ(during([&] { ASSERT_TRUE(doc.moveChannel(0, 1)); }),
              V{notice(Kind::ChannelMoved, 0, 1)});
    EXPECT_EQ(during([&] { doc.makePassChannel(0); }), V{notice(Kind::ChannelChanged, 0)});
    EXPECT_EQ(during([&] {
                  ASSERT_EQ(doc.deleteChannels({1, 0}), -1);
              }),
              (V{notice(Kind::ChannelRemoved, 1), notice(Kind::ChannelRemoved, 0)}))
        << "from the bottom up, so that each row is right when it is heard";
    EXPECT_EQ(during([&] { doc.openLogEntry(5); }), V{notice(Kind::LogAppended, 0)});
    clock.advance(1000);
    EXPECT_EQ(during([&] { ASSERT_EQ(doc.updateNewestLogEntry(5), 0); }),
              V{notice(Kind::LogUpdated, 0)});
    EXPECT_EQ(during([&] { doc.clearLog(); }), V{notice(Kind::LogCleared)});
    EXPECT_EQ(during([&] { ASSERT_TRUE(doc.setCurrentLinkSet(3)); }),
              V{notice(Kind::BanksChanged)});
    EXPECT_EQ(during([&] { doc.setLinkFlags(1); }), V{notice(Kind::LinkSetsChanged)});
    EXPECT_EQ(during([&] { doc.onNewDocument(); }), V{notice(Kind::DocumentReplaced)});
    EXPECT_EQ(during([&] { ASSERT_TRUE(doc.readBytes(doc.toBytes(), "x.kv5", false).ok); }),
              V{notice(Kind::DocumentReplaced)});
}

TEST_F(ChangeNoticesTest, AFullLogSaysItDroppedItsOldestEntry) {
    for (int i = 0; i < kLogSlots; ++i)
        doc.openLogEntry(1);
    EXPECT_EQ(during([&] { doc.openLogEntry(1); }),
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
        [&] { return doc.toggleMonitor(); },
        [&] { return doc.toggleAutoStore(); },
        [&] { return doc.toggleModeFilter(); },
        [&] { return doc.toggleModeEnabled(3); },
        [&] { return doc.toggleSwitch(SwitchKind::Ctcss); },
        [&] { return doc.toggleSwitch(SwitchKind::DecoderMode); },
    };
    for (std::size_t i = 0; i < std::size(toggles); ++i) {
        doc.setModified(false);
        EXPECT_GE(toggles[i](), 0) << i;
        EXPECT_TRUE(doc.isModified()) << i;
    }
}

} // namespace
} // namespace kovo
