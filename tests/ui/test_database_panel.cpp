// The database panel's views, list maintenance, search and link sets.
#include "fakes/DatabasePanelRig.h"

#include "ui/ImageKey.h"
#include "ui/database/StatisticsChart.h"

#include <QComboBox>
#include <QLineEdit>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

namespace kovo::test {
namespace {

void fillChannels(DatabasePanelRig& r, int n) {
    for (int i = 0; i < n; ++i)
        r.addChannel(std::uint32_t(1'000'000 + 10'000 * i));
    r.panel.refreshAll();
}

struct TopCase {
    int channels;
    int startTop;
    int selected;
    int expectedTop;
};
const TopCase kTopCases[] = {
    {10, 0, 9, 0},     {100, 0, 95, 83},
    {100, 0, 50, 42},  {100, 40, 50, 40}, // already visible: no scrolling
    {100, 60, 59, 51}, {18, 0, 17, 1},
};

TEST(DatabasePanel, SelectChannelChoosesTheTopRow) {
    for (const TopCase& c : kTopCases) {
        DatabasePanelRig r;
        r.panel.resize(555, 254);
        fillChannels(r, c.channels);
        DatabaseList& l = r.panel.list(0);
        l.setTopRow(c.startTop);
        r.panel.selectChannel(c.selected);
        EXPECT_EQ(l.topRow(), c.expectedTop) << c.channels << " " << c.selected;
        EXPECT_EQ(l.selectedRows(), std::vector<int>{c.selected});
        EXPECT_EQ(l.caretRow(), c.selected);
        EXPECT_EQ(r.doc.controlParams.p4C, c.selected);
    }
}

// A line's picture is kept between repaints; what shows must still be the
// line as it is now, drawn exactly as a list that never kept one draws it.
TEST(DatabasePanel, ListLinesShowTheirTextAndSelectionAsTheyAreNow) {
    constexpr int kRow = 3;
    const struct {
        const char* what;
        const char* comment;
        bool selected;
    } states[] = {
        {"as filled", "", false},   {"selected", "", true},
        {"renamed", "TOWER", true}, {"renamed, not selected", "TOWER", false},
        {"back", "", false},
    };
    auto bring = [&](DatabasePanelRig& r, const char* comment, bool selected) {
        r.doc.channels[kRow]->comment = comment;
        r.panel.refreshAll();
        r.panel.list(0).selectRow(selected ? kRow : 0);
    };
    auto lineImage = [&](DatabasePanelRig& r) {
        DatabaseList& l = r.panel.list(0);
        return l.viewport()->grab(l.visualRect(l.model()->index(kRow, 0))).toImage();
    };
    DatabasePanelRig kept;
    kept.panel.resize(555, 254);
    fillChannels(kept, 20);
    QImage first;
    for (const auto& s : states) {
        bring(kept, s.comment, s.selected);
        DatabasePanelRig fresh;
        fresh.panel.resize(555, 254);
        fillChannels(fresh, 20);
        bring(fresh, s.comment, s.selected);
        const QImage shown = lineImage(kept);
        EXPECT_EQ(shown, lineImage(fresh)) << s.what;
        if (first.isNull())
            first = shown;
        else
            EXPECT_EQ(shown == first, std::string(s.what) == "back") << s.what;
    }
}

// Each step of a scan moves the selection from the old row to the new in one
// change (one repaint of the two rows), whatever the user had chosen before.
TEST(DatabasePanel, EachScanStepChangesTheSelectionOnce) {
    DatabasePanelRig r;
    r.panel.resize(555, 254);
    fillChannels(r, 60);
    DatabaseList& l = r.panel.list(0);
    l.selectRows({5, 6, 7});
    QSignalSpy changes(l.selectionModel(), &QItemSelectionModel::selectionChanged);
    for (int row : {8, 9, 40, 0}) {
        changes.clear();
        r.panel.selectChannel(row);
        EXPECT_EQ(changes.count(), 1) << row;
        EXPECT_EQ(l.selectedRows(), std::vector<int>{row});
        EXPECT_EQ(l.caretRow(), row);
        EXPECT_LE(l.topRow(), row);
        EXPECT_GT(l.topRow() + DatabaseList::kVisibleRows, row);
    }
}

TEST(DatabasePanel, TheHoldStopsTheListFollowing) {
    DatabasePanelRig r;
    fillChannels(r, 40);
    r.panel.selectChannel(3);
    r.core.hold = true;
    r.panel.selectChannel(30);
    EXPECT_EQ(r.panel.list(0).selectedRows(), std::vector<int>{3});
    EXPECT_EQ(r.doc.controlParams.p4C, 3);
}

// A scan steps through the channels while the panel is hidden: the list
// catches up with the last of them when the panel is shown again.
TEST(DatabasePanel, AHiddenPanelSelectsTheScannedChannelWhenShown) {
    DatabasePanelRig r;
    r.panel.resize(555, 254);
    fillChannels(r, 100);
    r.panel.selectChannel(3);
    r.panel.hide();
    r.panel.selectChannel(40);
    r.panel.selectChannel(60);
    EXPECT_EQ(r.panel.list(0).selectedRows(), std::vector<int>{3}) << "nothing moves while hidden";
    EXPECT_EQ(r.doc.controlParams.p4C, 60);
    r.panel.show();
    EXPECT_EQ(r.panel.list(0).selectedRows(), std::vector<int>{60});
    EXPECT_EQ(r.panel.list(0).topRow(), 52);
}

TEST(DatabasePanel, ShowViewSwitchesListsKeysAndCombos) {
    DatabasePanelRig r;
    r.panel.refreshAll();
    for (int v = 0; v < 8; ++v) {
        r.panel.showView(v);
        for (int k = 0; k < 7; ++k)
            EXPECT_EQ(r.panel.list(k).isVisibleTo(&r.panel), k == v) << v << k;
        EXPECT_EQ(r.panel.statistics().isVisibleTo(&r.panel), v == 7);
        EXPECT_EQ(r.panel.searchCombo().isVisibleTo(&r.panel), v == 0 || v == 6);
        EXPECT_EQ(r.panel.linkSetCombo().isVisibleTo(&r.panel), v == 1);
        if (v < 7) {
            EXPECT_EQ(r.panel.viewButton(v).state(), 1);
        }
    }
    // The statistics view leaves the log key lit and the stored view alone.
    r.show(6);
    r.panel.showView(7);
    EXPECT_EQ(r.panel.viewButton(6).state(), 1);
    EXPECT_EQ(r.doc.controlParams.databaseView, 6);
    r.panel.onViewButton(DatabasePanel::kFirstViewButton + 6);
    EXPECT_TRUE(r.panel.list(6).isVisibleTo(&r.panel));
    EXPECT_EQ(r.panel.viewButton(2).accessibleName(), QStringLiteral("Scanning Conditions"));
}

struct SearchCase {
    const char* text;
    int view;
    int caret;
    bool forward;
    int found; // -1: "見つかりません"
};
// Channel comments: 0 "alpha", 1 "beta", 2 "alpha", 3 "gamma".
const SearchCase kSearches[] = {
    {"alpha", 0, 0, true, 2},  {"alpha", 0, 2, false, 0},  {"alpha", 0, 2, true, -1},
    {"gamma", 0, 3, true, -1}, {"gamma", 0, 3, false, -1}, {"beta", 0, 3, false, 1},
    {"145.5", 6, 0, true, 1},  {"145.5", 6, 1, true, -1},
};

TEST(DatabasePanel, SearchFindsTheNextLineHoldingTheText) {
    for (const SearchCase& c : kSearches) {
        DatabasePanelRig r;
        const char* comments[] = {"alpha", "beta", "alpha", "gamma"};
        for (int i = 0; i < 4; ++i)
            r.doc.channels[std::size_t(r.addChannel(std::uint32_t(1'000'000 * (i + 1))))]->comment =
                comments[i];
        r.addLog(145'000'000, 0, 0);
        r.addLog(145'500'000, 0, 0);
        r.panel.refreshAll();
        r.show(c.view);
        r.panel.list(c.view).setCaretRow(c.caret);
        r.panel.searchCombo().setEditText(QString::fromLatin1(c.text));
        r.panel.onViewButton(c.forward ? DatabasePanel::kSearchForward
                                       : DatabasePanel::kSearchBackward);
        if (c.found < 0) {
            EXPECT_EQ(r.notifier.messages, std::vector<std::string>{"見つかりません"}) << c.text;
            EXPECT_TRUE(r.panel.list(c.view).selectedRows().empty());
        } else {
            EXPECT_TRUE(r.notifier.messages.empty()) << c.text;
            EXPECT_EQ(r.panel.list(c.view).selectedRows(), std::vector<int>{c.found}) << c.text;
        }
    }
}

TEST(DatabasePanel, EmptySearchTextOrListSaysNothing) {
    DatabasePanelRig r;
    r.panel.refreshAll();
    r.panel.search(true);
    r.panel.searchCombo().setEditText(QStringLiteral("x"));
    r.panel.search(true);
    EXPECT_TRUE(r.notifier.messages.empty());
}

TEST(DatabasePanel, SearchComboOffersTheStoredStrings) {
    DatabasePanelRig r;
    r.doc.searchStrings[2] = "two";
    r.doc.searchStrings[7] = "seven";
    r.panel.refreshAll();
    ASSERT_EQ(r.panel.searchCombo().count(), 2);
    EXPECT_EQ(r.panel.searchCombo().itemText(1), QStringLiteral("seven"));
}

TEST(DatabasePanel, LogFollowsAppendsAndDropsTheOldestLine) {
    DatabasePanelRig r;
    r.panel.resize(555, 254);
    r.panel.refreshAll();
    for (int i = 0; i < 20; ++i) {
        r.addLog(std::uint32_t(1'000'000 + i), 0, 0);
        r.panel.selectNewestLogEntry();
    }
    DatabaseList& l = r.panel.list(6);
    EXPECT_EQ(l.rowCount(), 20);
    EXPECT_EQ(l.selectedRows(), std::vector<int>{19});
    EXPECT_EQ(l.topRow(), 3);
    r.core.hold = true;
    l.setTopRow(0);
    r.addLog(5'000'000, 0, 0);
    r.panel.selectNewestLogEntry();
    EXPECT_EQ(l.topRow(), 0);
    EXPECT_EQ(l.selectedRows(), std::vector<int>{19});
}

TEST(DatabasePanel, AFullLogDropsItsFirstLine) {
    DatabasePanelRig r;
    for (int i = 0; i < kLogSlots; ++i)
        r.addLog(std::uint32_t(i), 0, 0);
    r.panel.refreshAll();
    EXPECT_EQ(r.panel.list(6).caretRow(), kLogSlots - 1);
    r.doc.mainRecord.frequency = 123'000'000;
    ASSERT_EQ(r.doc.log().openLogEntry(r.doc.mainRecord, 1), 1);
    r.panel.selectNewestLogEntry();
    DatabaseList& l = r.panel.list(6);
    EXPECT_EQ(l.rowCount(), kLogSlots);
    EXPECT_EQ(l.selectedRows(), std::vector<int>{kLogSlots - 1});
    EXPECT_TRUE(r.lineOf(6, 0).startsWith(QStringLiteral("    0.000001")));
    EXPECT_TRUE(r.lineOf(6, kLogSlots - 1).startsWith(QStringLiteral("  123.000000")));
}

TEST(DatabasePanel, ChannelNoticesReachTheModel) {
    DatabasePanelRig r;
    fillChannels(r, 5);
    r.panel.list(0).selectRows({1, 3});
    r.addChannel(1'005'000); // row 1
    EXPECT_EQ(r.panel.list(0).rowCount(), 6);
    EXPECT_EQ(r.panel.list(0).selectedRows(), (std::vector<int>{2, 4}));
    r.doc.channels[4]->comment = "heard";
    ASSERT_EQ(r.doc.channelTable().recordReport(4, 9), 1);
    EXPECT_TRUE(r.panel.model(0)
                    .data(r.panel.model(0).index(4), Qt::DisplayRole)
                    .toString()
                    .endsWith(QStringLiteral("heard")));
}

TEST(DatabasePanel, LinkSetsChooseRenameAndRestartTheMemoryScan) {
    DatabasePanelRig r;
    r.doc.memoryBanks[4].linkFlags[3] = 1;
    r.doc.controlParams.operatingMode = 0;
    r.panel.refreshAll();
    r.panel.selectLinkSet(3);
    EXPECT_EQ(r.doc.controlParams.currentLinkSet, 3);
    EXPECT_EQ(r.doc.banks().linkMask(), 1u << 4);
    EXPECT_EQ(r.panel.linkSetCombo().currentText(), QStringLiteral("03"));
    EXPECT_EQ(r.core.modes, std::vector<int>{0});
    EXPECT_TRUE(r.lineOf(1, 4).startsWith(QStringLiteral(" 4 \u25CB")));
    r.panel.linkSetCombo().lineEdit()->clear();
    QTest::keyClicks(r.panel.linkSetCombo().lineEdit(), "Night");
    EXPECT_EQ(r.doc.linkSetNames[3], "Night");
    EXPECT_EQ(r.panel.linkSetCombo().itemText(3), QStringLiteral("Night"));
    r.panel.selectLinkSet(20); // outside: nothing
    EXPECT_EQ(r.doc.controlParams.currentLinkSet, 3);
}

TEST(DatabasePanel, LogAnalysisDrawsBarsScaledToTheTallest) {
    DatabasePanelRig r;
    const std::int32_t sat0400 = 981173106, sun1000 = 981280800;
    r.addLog(145'000'000, sat0400, sat0400);
    r.addLog(120'000'000, sun1000, sun1000);
    r.addLog(145'000'000, sat0400, sun1000);
    r.addLog(145'000'000, sun1000, sun1000);
    r.panel.refreshAll();
    r.show(6);
    r.command(dbmenus::LogAnalyze, {2});
    EXPECT_EQ(r.panel.shownView(), 7);
    EXPECT_EQ(r.doc.log().logAnalysis().sampleCount, 3);
    const StatisticsChart& chart = r.panel.statistics().chart();
    EXPECT_EQ(chart.hourBar(4), QRect(67, 102 - 90, 12, 90));
    EXPECT_EQ(chart.hourBar(10), QRect(157, 102 - 90, 12, 90));
    EXPECT_TRUE(chart.hourBar(5).isEmpty());
    EXPECT_EQ(chart.weekdayBar(6).height(), 90);
    EXPECT_EQ(chart.weekdayBar(0).height(), 90);
    EXPECT_TRUE(r.panel.headerLine().text().contains(QStringLiteral("Sample:3")));
}

} // namespace
} // namespace kovo::test
