#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "CoreFixture.h"
#include "scan/ScanState.h"

namespace kovo::test {
namespace {

class ScanStateTest : public ::testing::Test, public DocParts {
protected:
    ScanState state{doc};

    void setChannels(const std::vector<std::uint32_t>& frequencies) {
        doc.onNewDocument();
        for (std::uint32_t f : frequencies)
            addChannel(f);
    }
};

// The scan position keeps naming the channel it named while rows come and go.
TEST_F(ScanStateTest, ScanPositionFollowsItsChannel) {
    struct Case {
        const char* name;
        int before;
        std::function<void(CKovo5Doc&)> change;
        int after;
    };
    const std::vector<Case> cases{
        {"insert below", 1,
         [](CKovo5Doc& d) { static_cast<void>(d.channelTable().storeChannel(50000000)); }, 2},
        {"insert above", 1,
         [](CKovo5Doc& d) { static_cast<void>(d.channelTable().storeChannel(450000000)); }, 1},
        {"delete below", 3,
         [](CKovo5Doc& d) {
             d.channelTable().deleteChannels({0, 1});
         },
         1},
        {"delete itself at the end", 3, [](CKovo5Doc& d) { d.channelTable().deleteChannels({3}); },
         2},
        {"delete all", 2,
         [](CKovo5Doc& d) {
             d.channelTable().deleteChannels({0, 1, 2, 3});
         },
         0},
        {"move itself", 0,
         [](CKovo5Doc& d) { static_cast<void>(d.channelTable().moveChannel(0, 2)); }, 2},
        {"move past it down", 2,
         [](CKovo5Doc& d) { static_cast<void>(d.channelTable().moveChannel(0, 3)); }, 1},
        {"move past it up", 1,
         [](CKovo5Doc& d) { static_cast<void>(d.channelTable().moveChannel(3, 0)); }, 2},
        {"new document", 3, [](CKovo5Doc& d) { d.onNewDocument(); }, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        setChannels({100000000, 200000000, 300000000, 400000000});
        state.scanPosition = c.before;
        c.change(doc);
        EXPECT_EQ(state.scanPosition, c.after);
    }
}

TEST_F(ScanStateTest, ReadingADocumentKeepsThePositionOnItsRowAfterOrdering) {
    setChannels({100000000, 200000000, 300000000});
    // A file whose channels come out of order: the last one goes first.
    doc.channels[2]->frequency = 50000000;
    const std::vector<std::uint8_t> bytes = doc.toBytes();
    state.scanPosition = 2;
    ASSERT_TRUE(doc.readBytes(bytes, "t.kv5", false).ok);
    EXPECT_EQ(state.scanPosition, 0);
}

TEST_F(ScanStateTest, ClearingTheLogOrTurningLoggingOnOpensANewEntryAtTheNextHit) {
    doc.log().clearLog();
    EXPECT_TRUE(state.newLogEntryMain);
    EXPECT_TRUE(state.newLogEntryPriority);

    state.newLogEntryMain = false;
    ASSERT_EQ(doc.parameters().toggleSwitch(SwitchKind::Logging), 1);
    EXPECT_TRUE(state.newLogEntryMain);
    state.newLogEntryMain = false;
    ASSERT_EQ(doc.parameters().toggleSwitch(SwitchKind::Logging), 0);
    EXPECT_FALSE(state.newLogEntryMain) << "turning logging off asks for nothing";
    ASSERT_EQ(doc.parameters().toggleSwitch(SwitchKind::Pause), 1);
    EXPECT_FALSE(state.newLogEntryMain) << "another switch asks for nothing";
}

TEST_F(ScanStateTest, ANewDocumentEndsThePriorityCheckAndToneSearchButAReadKeepsThem) {
    const std::vector<std::uint8_t> bytes = doc.toBytes();
    state.priority = {true, true};
    state.toneSearch = true;
    ASSERT_TRUE(doc.readBytes(bytes, "t.kv5", false).ok);
    EXPECT_TRUE(state.priority.priorityCheckApplied);
    EXPECT_TRUE(state.toneSearch);

    doc.onNewDocument();
    EXPECT_FALSE(state.priority.priorityCheck);
    EXPECT_FALSE(state.priority.priorityCheckApplied);
    EXPECT_FALSE(state.toneSearch);
}

TEST_F(ScanStateTest, TheActiveRecordIsThePriorityRecordWhileACheckIsApplied) {
    doc.priorityRecord.frequency = 430000000;
    EXPECT_EQ(state.activeRecord().frequency, doc.mainRecord.frequency);
    state.priority.priorityCheck = true;
    EXPECT_EQ(state.activeRecord().frequency, doc.mainRecord.frequency) << "asked, not applied";
    state.priority.priorityCheckApplied = true;
    EXPECT_EQ(state.activeRecord().frequency, 430000000u);
}

TEST_F(ScanStateTest, ReachableCountFollowsLinkSetAndModeFilter) {
    setChannels({100000000, 200000000});
    doc.channels[1]->mode = 2; // AM
    EXPECT_EQ(state.reachableCount(), 0) << "no bank linked yet";
    doc.banks().setLinkFlags(2);
    EXPECT_EQ(state.reachableCount(), 2);
    doc.parameters().toggleModeFilter();
    ASSERT_EQ(doc.parameters().toggleModeEnabled(2), 0);
    EXPECT_EQ(state.reachableCount(), 1);
    ASSERT_TRUE(doc.banks().setCurrentLinkSet(3));
    EXPECT_EQ(state.reachableCount(), 0);
}

} // namespace
} // namespace kovo::test
