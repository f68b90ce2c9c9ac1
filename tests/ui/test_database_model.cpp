// The database list models follow the document's change notices.
#include "fakes/DatabasePanelRig.h"

#include <QApplication>

#include <gtest/gtest.h>

#include <cctype>
#include <functional>
#include <string>
#include <vector>

namespace kovo::test {
namespace {

// The model's row signals, as short texts in the order they came. (Qt's
// model tester does not fit: a notice comes after the document changed, and
// a channel's line carries its row number.)
class ModelSignals {
public:
    explicit ModelSignals(DatabaseModel& m) {
        QObject::connect(&m, &QAbstractItemModel::rowsInserted,
                         [this](auto, int a, int b) { add("insert", a, b); });
        QObject::connect(&m, &QAbstractItemModel::rowsRemoved,
                         [this](auto, int a, int b) { add("remove", a, b); });
        QObject::connect(
            &m, &QAbstractItemModel::rowsMoved, [this](auto, int a, int, auto, int to) {
                seen.push_back("move " + std::to_string(a) + " to " + std::to_string(to));
            });
        QObject::connect(&m, &QAbstractItemModel::dataChanged,
                         [this](const QModelIndex& a, const QModelIndex& b) {
                             add("changed", a.row(), b.row());
                         });
        QObject::connect(&m, &QAbstractItemModel::modelReset, [this] { seen.push_back("reset"); });
    }
    std::vector<std::string> seen;

private:
    void add(const char* what, int a, int b) {
        seen.push_back(std::string(what) + " " + std::to_string(a) + "-" + std::to_string(b));
    }
};

struct NoticeCase {
    const char* name;
    int view;
    std::function<void(DatabasePanelRig&)> change;
    std::vector<std::string> expected;
    int rowsAfter;
};

// Each case starts with channels at 1, 2 and 3 MHz and three log entries.
const NoticeCase kNoticeCases[] = {
    {"channel inserted: the rows below renumber",
     0,
     [](DatabasePanelRig& r) { r.addChannel(1'500'000); },
     {"insert 1-1", "changed 2-3"},
     4},
    {"channel changed",
     0,
     [](DatabasePanelRig& r) { ASSERT_EQ(r.doc.channelTable().recordReport(2, 5), 1); },
     {"changed 2-2"},
     3},
    {"channels removed from the bottom up",
     0,
     [](DatabasePanelRig& r) {
         r.doc.channelTable().deleteChannels({2, 0});
     },
     {"remove 2-2", "remove 0-0", "changed 0-0"},
     1},
    {"channel moved down",
     0,
     [](DatabasePanelRig& r) { ASSERT_TRUE(r.doc.channelTable().moveChannel(0, 2)); },
     {"move 0 to 3", "changed 0-2"},
     3},
    {"channel moved up by a new frequency",
     0,
     [](DatabasePanelRig& r) {
         ASSERT_EQ(r.doc.channelTable().setChannelFrequency(2, 500'000), 0);
     },
     {"move 2 to 0", "changed 0-2", "changed 0-0"},
     3},
    {"document replaced", 0, [](DatabasePanelRig& r) { r.doc.onNewDocument(); }, {"reset"}, 0},
    {"channel changed behind the model's back",
     0,
     [](DatabasePanelRig& r) {
         r.doc.truncateChannels(1);
         r.addChannel(9'000'000);
     },
     {"reset"},
     2},
    {"a channel notice leaves the log alone",
     6,
     [](DatabasePanelRig& r) { r.addChannel(1'500'000); },
     {},
     3},
    {"log appended", 6, [](DatabasePanelRig& r) { r.addLog(7'000'000, 0, 0); }, {"insert 3-3"}, 4},
    {"log updated",
     6,
     [](DatabasePanelRig& r) {
         r.clock.setMilliseconds(1'000'000);
         ASSERT_EQ(r.doc.log().updateNewestLogEntry(9), 2);
     },
     {"changed 2-2"},
     3},
    {"log cleared", 6, [](DatabasePanelRig& r) { r.doc.log().clearLog(); }, {"reset"}, 0},
    {"search banks changed",
     2,
     [](DatabasePanelRig& r) { r.doc.ranges().setSearchBanksInUse(5); },
     {"changed 0-19"},
     kRangeCount},
    {"a channel stored renews the bank counts",
     1,
     [](DatabasePanelRig& r) { ASSERT_EQ(r.doc.channelTable().storeChannel(4'000'000), 3); },
     {"changed 0-21"},
     kBankCount},
    {"a channel removed renews the bank counts",
     1,
     [](DatabasePanelRig& r) { r.doc.channelTable().deleteChannels({0}); },
     {"changed 0-21"},
     kBankCount},
    {"link set chosen",
     1,
     [](DatabasePanelRig& r) { ASSERT_TRUE(r.doc.banks().setCurrentLinkSet(2)); },
     {"changed 0-21"},
     kBankCount},
};

class ModelFollowsNotices : public ::testing::TestWithParam<NoticeCase> {};

TEST_P(ModelFollowsNotices, WithTheMatchingModelCalls) {
    const NoticeCase& c = GetParam();
    DatabasePanelRig r;
    for (std::uint32_t f : {1'000'000u, 2'000'000u, 3'000'000u}) {
        r.addChannel(f);
        r.addLog(f, 0, 0);
    }
    DatabaseModel model(r.doc, c.view);
    model.rebuild();
    ModelSignals heard(model);
    c.change(r);
    EXPECT_EQ(heard.seen, c.expected);
    EXPECT_EQ(model.rowCount(), c.rowsAfter);
    EXPECT_EQ(model.rowCount(), dblines::rowCount(r.doc, c.view));
}

INSTANTIATE_TEST_SUITE_P(Kinds, ModelFollowsNotices, ::testing::ValuesIn(kNoticeCases),
                         [](const ::testing::TestParamInfo<NoticeCase>& testInfo) {
                             std::string name;
                             for (const char* p = testInfo.param.name; *p; ++p)
                                 if (std::isalnum(static_cast<unsigned char>(*p)))
                                     name += *p;
                             return name;
                         });

TEST(DatabaseModel, AFullLogKeepsItsPlaceAndSelectionWhileHeld) {
    DatabasePanelRig r;
    for (int i = 0; i < kLogSlots; ++i)
        r.addLog(std::uint32_t(i), 0, 0);
    r.panel.refreshAll();
    DatabaseList& l = r.panel.list(6);
    const int bottom = kLogSlots - DatabaseList::kVisibleRows;
    l.setTopRow(bottom);
    l.selectRows({bottom + 3});
    r.core.hold = true;
    ASSERT_EQ(r.doc.log().openLogEntry(r.doc.mainRecord, 1), 1);
    r.panel.selectNewestLogEntry();
    QApplication::processEvents();
    EXPECT_EQ(l.rowCount(), kLogSlots);
    EXPECT_EQ(l.topRow(), bottom);
    EXPECT_EQ(l.selectedRows(), std::vector<int>{bottom + 2}) << "the selection stays on its entry";
}

} // namespace
} // namespace kovo::test
