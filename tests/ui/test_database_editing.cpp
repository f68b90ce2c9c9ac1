// Context menus, their commands and the in-place editor of the database lists.
#include "fakes/DatabasePanelRig.h"

#include "data/TypedFrequency.h"
#include "link/ReceiverDescription.h"
#include "link/ReceiverFeatures.h"

#include <QAction>
#include <QComboBox>
#include <QMenu>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <optional>

namespace kovo::test {
namespace {

using namespace dbmenus;

std::vector<int> checkedIds(QMenu& menu) {
    std::vector<int> ids;
    for (QAction* a : commandActions(menu))
        if (a->isChecked())
            ids.push_back(a->data().toInt());
    return ids;
}

bool offers(QMenu& menu, int id) {
    const auto actions = commandActions(menu);
    return std::any_of(actions.begin(), actions.end(),
                       [id](QAction* a) { return a->data().toInt() == id; });
}

TEST(DatabaseMenus, CheckMarksGatherOverMixedSelections) {
    DatabasePanelRig r;
    r.addChannel(10'000'000, 1 << 3);
    r.addChannel(20'000'000, 1 << 3 | 1 << 7);
    r.addChannel(30'000'000, 1 << 5);
    r.doc.channels[0]->step = 0, r.doc.channels[0]->mode = 1, r.doc.channels[0]->attenuator = 1;
    r.doc.channels[1]->step = 11, r.doc.channels[1]->mode = 1, r.doc.channels[1]->attenuator = 0;
    r.settings.mbMultiSelect = 1;
    r.panel.refreshAll();
    DatabaseList& l = r.panel.list(0);
    l.selectRows({0, 1});
    // A right-click on the selected row 1 keeps the two selected.
    auto menu = r.panel.prepareContextMenu(l, l.visualRect(r.panel.model(0).index(1)).center());
    EXPECT_EQ(r.panel.chosenRows(), (std::vector<int>{0, 1}));
    const std::vector<int> checked = checkedIds(*menu);
    for (int id : {int(FirstBank) + 3, FirstBank + 7, int(MultiBankMode), int(FirstStep),
                   FirstStep + 10, FirstMode + 1, int(FirstAttenuator), FirstAttenuator + 1})
        EXPECT_NE(std::find(checked.begin(), checked.end(), id), checked.end()) << id;
    EXPECT_EQ(std::find(checked.begin(), checked.end(), FirstBank + 5), checked.end());
    EXPECT_TRUE(r.core.holdTimed);
    // Bank items carry the bank names; without OptSam no synchronous AM.
    r.doc.memoryBanks[2].name = "Air";
    auto again = buildMenu(r.doc, r.settings, 0, false, {});
    bool named = false;
    for (QAction* a : commandActions(*again))
        named |= a->data().toInt() == FirstBank + 2 && a->text() == QStringLiteral("02 : Air");
    EXPECT_TRUE(named);
    EXPECT_FALSE(offers(*again, FirstMode + 6));
    r.settings.optSam = 1;
    EXPECT_TRUE(offers(*buildMenu(r.doc, r.settings, 0, false, {}), FirstMode + 8));
}

// A receiver with one antenna input offers only the first in the channel and
// range menus, saying why; an AR receiver offers all four.
TEST(DatabaseMenus, AntennasTheReceiverLacksAreOfferedDisabledWithWhy) {
    DatabasePanelRig r;
    r.addChannel(145'000'000);
    r.panel.refreshAll();
    ReceiverFeatures oneAntenna = ReceiverFeatures::of(kAr3000aDescription);
    oneAntenna.lack(ReceiverFeature::Antenna, "no antenna switch");
    const ReceiverFeatures ar3000a = ReceiverFeatures::of(kAr3000aDescription);
    const struct {
        const ReceiverFeatures* features;
        bool othersEnabled;
        const char* why;
    } cases[] = {{&oneAntenna, false, "no antenna switch"}, {&ar3000a, true, ""}};
    for (const auto& c : cases) {
        r.core.features = c.features;
        DatabaseList& l = r.panel.list(0);
        auto menu = r.panel.prepareContextMenu(l, l.visualRect(r.panel.model(0).index(0)).center());
        ASSERT_TRUE(menu);
        for (QAction* a : commandActions(*menu)) {
            const int id = a->data().toInt();
            if (id < FirstAntenna || id > FirstAntenna + 3)
                continue;
            const bool first = id == FirstAntenna;
            EXPECT_EQ(a->isEnabled(), first || c.othersEnabled) << id;
            if (!a->isEnabled()) {
                EXPECT_EQ(a->toolTip().toStdString(), c.why) << id;
            }
        }
    }
}

// So are the modes and the attenuator; nothing else in the menu changes.
TEST(DatabaseMenus, ModesAndAttenuationTheReceiverLacksAreOfferedDisabledWithWhy) {
    DatabasePanelRig r;
    r.settings.optSam = 1;
    r.addChannel(145'000'000);
    r.panel.refreshAll();
    const ReceiverFeatures all = ReceiverFeatures::of(kAr3000aDescription);
    auto enabledItems = [&](const ReceiverFeatures& f) {
        r.core.features = &f;
        DatabaseList& l = r.panel.list(0);
        auto menu = r.panel.prepareContextMenu(l, l.visualRect(r.panel.model(0).index(0)).center());
        std::map<int, std::string> items; // enabled: "", disabled: why
        for (QAction* a : commandActions(*menu))
            items[a->data().toInt()] = a->isEnabled() ? "" : a->toolTip().toStdString();
        return items;
    };
    const std::map<int, std::string> usual = enabledItems(all);
    const std::pair<ReceiverFeature, std::vector<int>> cases[] = {
        {ReceiverFeature::NarrowFm, {FirstMode}},
        {ReceiverFeature::Am, {FirstMode + 2, FirstMode + 6, FirstMode + 7, FirstMode + 8}},
        {ReceiverFeature::Cw, {FirstMode + 5}},
        {ReceiverFeature::Attenuator, {FirstAttenuator + 1}},
    };
    for (const auto& [lacked, ids] : cases) {
        ReceiverFeatures f = all;
        f.lack(lacked, "not on this radio");
        std::map<int, std::string> expected = usual;
        for (int id : ids) {
            ASSERT_EQ(usual.count(id), 1u) << id;
            expected[id] = "not on this radio";
        }
        EXPECT_EQ(enabledItems(f), expected) << int(lacked);
    }
}

TEST(DatabaseMenus, UseFlagsAndPlaybackItems) {
    DatabasePanelRig r;
    r.doc.searchBanks[0].inUse = 1;
    EXPECT_EQ(checkedItems(r.doc, r.settings, 2, {0, 1}).count(SearchUseYes), 1u);
    EXPECT_EQ(checkedItems(r.doc, r.settings, 2, {0, 1}).count(SearchUseNo), 1u);
    r.doc.memoryBanks[1].linkFlags[0] = 1;
    EXPECT_EQ(checkedItems(r.doc, r.settings, 1, {1}), std::set<int>{BankUseYes});
    EXPECT_FALSE(offers(*buildMenu(r.doc, r.settings, 6, false, {}), StartPlayback));
    EXPECT_TRUE(offers(*buildMenu(r.doc, r.settings, 6, true, {}), StopPlayback));
    EXPECT_EQ(viewOfCommand(ShowSearchStrings), 5);
}

TEST(DatabaseMenus, ViewFiveAndSixSelectTheClickedRowOnly) {
    DatabasePanelRig r;
    r.panel.refreshAll();
    r.show(5);
    DatabaseList& l = r.panel.list(5);
    l.selectRows({1, 2});
    r.panel.prepareContextMenu(l, l.visualRect(r.panel.model(5).index(4)).center());
    EXPECT_EQ(r.panel.chosenRows(), std::vector<int>{4});
}

struct BankCase {
    bool multi;
    std::int32_t mask;
    int bank;
    std::int32_t expected;
};
const BankCase kBankCases[] = {
    {true, 1 << 3, 3, 1}, // removed from its only bank: bank 0
    {true, 1 << 3, 7, 1 << 3 | 1 << 7},
    {false, 1 << 3 | 1 << 5, 7, 1 << 7},
    {false, 1, 21, 1 << 21},
};

TEST(DatabaseCommands, BankMembershipFollowsMultiBankMode) {
    for (const BankCase& c : kBankCases) {
        DatabasePanelRig r;
        r.settings.mbMultiSelect = c.multi ? 1 : 0;
        r.addChannel(10'000'000, c.mask);
        r.panel.refreshAll();
        r.command(FirstBank + c.bank, {0});
        EXPECT_EQ(r.doc.channels[0]->bankMask, c.expected);
        EXPECT_TRUE(r.doc.isModified());
        EXPECT_FALSE(r.core.hold); // property commands end the hold
    }
    DatabasePanelRig r;
    r.panel.refreshAll();
    r.command(MultiBankMode, {});
    EXPECT_EQ(r.settings.mbMultiSelect, 1);
}

struct PropertyCase {
    int view;
    int command;
    std::uint32_t frequency; // channel frequency or range stop
    int startMode, startBandwidth;
    int expectedMode, expectedBandwidth, expectedAttenuator;
};
// WFMBandWidth 1 and NFMBandWidth 1 (the defaults): wide default 6, narrow 3.
const PropertyCase kProperties[] = {
    {0, FirstMode + 1, 145'000'000, 0, 3, 1, 6, 0},        // WFM widens 15 kHz
    {0, FirstMode + 2, 145'000'000, 0, 3, 2, 3, 0},        // AM leaves it
    {2, FirstMode + 0, 145'000'000, 1, 6, 0, 3, 0},        // NFM narrows a wide filter
    {4, FirstIfBandwidth + 5, 145'000'000, 0, 3, 1, 5, 0}, // wide filter: NFM becomes WFM
    {0, FirstAttenuator + 1, 1'200'000'000, 0, 3, 0, 3, 0},
    {0, FirstAttenuator + 1, 500'000'000, 0, 3, 0, 3, 1},
    {2, FirstAttenuator + 2, 230'000'000, 0, 3, 0, 3, 0},
    {4, FirstAttenuator + 2, 229'999'999, 0, 3, 0, 3, 2},
};

TEST(DatabaseCommands, ModeBandwidthAndAttenuatorRules) {
    for (const PropertyCase& c : kProperties) {
        DatabasePanelRig r;
        r.addChannel(c.frequency);
        auto apply = [&](auto& rec) {
            rec.mode = static_cast<std::remove_reference_t<decltype(rec.mode)>>(c.startMode);
            rec.ifBandwidth = c.startBandwidth;
            rec.attenuator = 0;
        };
        apply(*r.doc.channels[0]);
        apply(r.doc.searchBanks[0]);
        apply(r.doc.autoRanges[0]);
        r.doc.searchBanks[0].stopFrequency = c.frequency;
        r.doc.autoRanges[0].stopFrequency = c.frequency;
        r.panel.refreshAll();
        r.show(c.view);
        r.command(c.command, {0});
        auto check = [&](const auto& rec) {
            EXPECT_EQ(int(rec.mode), c.expectedMode) << c.command;
            EXPECT_EQ(rec.ifBandwidth, c.expectedBandwidth) << c.command;
            EXPECT_EQ(rec.attenuator, c.expectedAttenuator) << c.command;
        };
        if (c.view == 0)
            check(*r.doc.channels[0]);
        else if (c.view == 2)
            check(r.doc.searchBanks[0]);
        else
            check(r.doc.autoRanges[0]);
    }
}

TEST(DatabaseCommands, PropertyCommandsOutsideTheirViewsDoNothing) {
    DatabasePanelRig r;
    r.addChannel(10'000'000, 1 << 3);
    r.panel.refreshAll();
    r.show(3);
    r.command(FirstBank + 7, {0});
    r.command(FirstStep + 3, {0});
    EXPECT_EQ(r.doc.channels[0]->bankMask, 1 << 3);
    EXPECT_EQ(r.doc.passRanges[0].inUse, 0);
}

TEST(DatabaseCommands, UseFlagOfBanksRestartsTheMemoryScan) {
    DatabasePanelRig r;
    r.doc.controlParams.operatingMode = 0;
    r.panel.refreshAll();
    r.show(1);
    r.command(BankUseYes, {2, 3});
    EXPECT_EQ(r.doc.banks().linkMask(), (1u << 2) | (1u << 3));
    EXPECT_EQ(r.core.modes, std::vector<int>{0});
    EXPECT_TRUE(r.lineOf(1, 3).startsWith(QStringLiteral(" 3 \u25CB")));
}

TEST(DatabaseCommands, DeleteAsksAndSelectsTheNextRow) {
    DatabasePanelRig r;
    for (int i = 0; i < 4; ++i)
        r.addChannel(std::uint32_t(10'000'000 * (i + 1)));
    r.panel.refreshAll();
    r.host.confirm = false;
    r.command(Delete, {1, 3});
    EXPECT_EQ(r.doc.channelCount, 4);
    EXPECT_EQ(r.host.questions.back(),
              "選択された 2 個のデータを削除します: 20.000000, 40.000000 MHz");
    r.host.confirm = true;
    r.command(Delete, {1, 3});
    EXPECT_EQ(r.doc.channelCount, 2);
    EXPECT_EQ(r.panel.list(0).rowCount(), 2);
}

TEST(DatabaseCommands, LogClearEmptiesTheList) {
    DatabasePanelRig r;
    r.addLog(145'000'000, 0, 0);
    r.panel.refreshAll();
    r.show(6);
    r.command(LogClear, {0});
    EXPECT_EQ(r.host.questions.back(), "ログデータを消去します よろしいですか？");
    EXPECT_EQ(r.panel.list(6).rowCount(), 0);
    EXPECT_TRUE(r.scan.newLogEntryMain);
}

TEST(DatabaseCommands, CutAndPasteAutoRanges) {
    DatabasePanelRig r;
    for (int i = 0; i < 20; ++i)
        r.doc.autoRanges[std::size_t(i)].startFrequency = std::uint32_t(i);
    r.panel.refreshAll();
    r.show(4);
    r.command(Cut, {3, 7});
    const std::uint32_t afterCut[] = {0, 1, 2, 4, 5, 6, 8, 9};
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(r.doc.autoRanges[std::size_t(i)].startFrequency, afterCut[i]);
    EXPECT_EQ(r.doc.autoRanges[18].startFrequency, 0u);
    EXPECT_EQ(r.doc.autoRanges[19].step, 10);
    r.command(Paste, {0});
    EXPECT_EQ(r.doc.autoRanges[1].startFrequency, 3u);
    EXPECT_EQ(r.doc.autoRanges[2].startFrequency, 7u);
    EXPECT_EQ(r.doc.autoRanges[19].startFrequency, 19u); // the defaults fell off the end
    r.command(Paste, {19});                              // at the table's end nothing fits
    EXPECT_EQ(r.doc.autoRanges[19].startFrequency, 19u);
}

TEST(DatabaseCommands, ActualMemoryNamesMarksThePriorityChannel) {
    DatabasePanelRig r;
    r.addChannel(10'000'000);
    r.addChannel(20'000'000);
    r.panel.refreshAll();
    r.command(ActualMemoryNames, {1});
    EXPECT_EQ(r.doc.priorityIndex, 1);
    EXPECT_TRUE(r.lineOf(0, 1).startsWith(QStringLiteral(" \u25C6 ")));
}

TEST(DatabaseCommands, PlaybackWithoutAudioSaysSo) {
    DatabasePanelRig r;
    r.addLog(145'000'000, 0, 0);
    r.host.linked = true;
    r.host.hasAudio = false;
    r.panel.refreshAll();
    r.show(6);
    r.command(StartPlayback, {0});
    EXPECT_EQ(r.host.playbacks, std::vector<std::uint32_t>{145'000'000});
    EXPECT_EQ(r.notifier.messages, std::vector<std::string>{"音声データがありません"});
}

TEST(DatabaseCommands, DoubleClickTunesInVfo) {
    DatabasePanelRig r;
    r.addChannel(10'000'000);
    r.addChannel(20'000'000);
    r.doc.controlParams.operatingMode = 0;
    r.panel.refreshAll();
    r.panel.list(0).setCaretRow(1);
    r.panel.activateRow(r.panel.list(0));
    EXPECT_EQ(r.core.modes, std::vector<int>{5});
    EXPECT_EQ(r.core.channels, std::vector<int>{1});
    r.show(2);
    r.panel.activateRow(r.panel.list(2));
    EXPECT_TRUE(r.core.searchBanks.empty()); // band scope modes only
}

// Typed megahertz are read exactly, with a comma for the point; what is not a
// number, or lies outside the receiver's range, is no frequency at all.
struct ParseCase {
    const char* text;
    std::optional<std::uint32_t> hertz;
};
const ParseCase kParses[] = {
    {"145.5", 145'500'000},
    {"   145.5", 145'500'000},
    {"145,5", 145'500'000},
    {" 145.123456 ", 145'123'456},
    {"145.0125", 145'012'500},
    {"0.1", 100'000},
    {"2040", 2'040'000'000},
    {"abc", {}},
    {"", {}},
    {"0.000001", {}},
    {"0.099999", {}},
    {"2040.000001", {}},
    {"5000", {}},
    {"99999", {}},
    {"1e3", {}},
    {"-5", {}},
    {"+10.7x", {}},
};

TEST(DatabaseEditor, FrequencyTextIsReadAsMegahertz) {
    for (const ParseCase& c : kParses)
        EXPECT_EQ(parseTypedMegahertz(c.text), c.hertz) << c.text;
}

struct MoveCase {
    int row;
    const char* text;
    std::vector<std::uint32_t> order; // MHz
};
const MoveCase kMoves[] = {
    {0, "35", {20, 30, 35, 40}},
    {0, "50", {20, 30, 40, 50}},
    {3, "15", {10, 15, 20, 30}},
};

TEST(DatabaseEditor, FrequencyEditKeepsTheTableSorted) {
    for (const MoveCase& c : kMoves) {
        DatabasePanelRig r;
        for (std::uint32_t f : {10u, 20u, 30u, 40u})
            r.addChannel(f * 1'000'000);
        r.panel.refreshAll();
        r.command(32866, {c.row});
        DatabaseList& l = r.panel.list(0);
        ASSERT_TRUE(l.editorOpen());
        EXPECT_TRUE(r.core.hold);
        EXPECT_EQ(l.firstEditor()->text(),
                  QString::fromLatin1(c.row == 0 ? "  10.000000" : "  40.000000"));
        EXPECT_EQ(l.firstEditor()->x(), l.visualRect(r.panel.model(0).index(c.row)).left() +
                                            DatabaseList::kTextInset + 66);
        l.firstEditor()->setText(QString::fromLatin1(c.text));
        QTest::keyClick(l.firstEditor(), Qt::Key_Return);
        EXPECT_FALSE(l.editorOpen());
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(r.doc.channels[std::size_t(i)]->frequency,
                      c.order[std::size_t(i)] * 1'000'000);
        EXPECT_TRUE(r.doc.isModified());
    }
}

TEST(DatabaseEditor, AStoredFrequencyIsRefusedAndTheEditorStays) {
    DatabasePanelRig r;
    r.addChannel(10'000'000);
    r.addChannel(20'000'000);
    r.panel.refreshAll();
    r.command(32866, {0});
    DatabaseList& l = r.panel.list(0);
    l.firstEditor()->setText(QStringLiteral("20"));
    QTest::keyClick(l.firstEditor(), Qt::Key_Return);
    EXPECT_EQ(r.notifier.messages, std::vector<std::string>{"登録済みの周波数です"});
    EXPECT_TRUE(l.editorOpen());
    EXPECT_EQ(r.doc.channels[0]->frequency, 10'000'000u);
    QTest::keyClick(l.firstEditor(), Qt::Key_Escape);
    EXPECT_FALSE(l.editorOpen());
    EXPECT_FALSE(r.core.hold);
}

TEST(DatabaseEditor, RangeEditSwapsAndTextEditsApplyToTheSelection) {
    DatabasePanelRig r;
    r.panel.refreshAll();
    r.show(2);
    r.command(32865, {4});
    DatabaseList& l = r.panel.list(2);
    ASSERT_NE(l.secondEditor(), nullptr);
    l.firstEditor()->setText(QStringLiteral("440"));
    l.secondEditor()->setText(QStringLiteral("430"));
    QTest::keyClick(l.firstEditor(), Qt::Key_Return);
    EXPECT_EQ(r.doc.searchBanks[4].startFrequency, 430'000'000u);
    EXPECT_EQ(r.doc.searchBanks[4].stopFrequency, 440'000'000u);

    r.show(1);
    r.command(32852, {2, 5});
    r.panel.list(1).firstEditor()->setText(QStringLiteral("Air"));
    QTest::keyClick(r.panel.list(1).firstEditor(), Qt::Key_Return);
    EXPECT_EQ(r.doc.memoryBanks[2].name, "Air");
    EXPECT_EQ(r.doc.memoryBanks[5].name, "Air");
    EXPECT_EQ(r.host.bankNotices, 1);
    EXPECT_EQ(r.panel.list(1).selectedRows(), (std::vector<int>{2, 5}));

    r.show(5);
    r.command(32868, {3});
    r.panel.list(5).firstEditor()->setText(QStringLiteral("needle"));
    QTest::keyClick(r.panel.list(5).firstEditor(), Qt::Key_Return);
    EXPECT_EQ(r.panel.searchCombo().itemText(0), QStringLiteral("needle"));
}

TEST(DatabaseEditor, KeyboardOpensMenusAndEditors) {
    DatabasePanelRig r;
    r.addChannel(10'000'000);
    r.panel.refreshAll();
    DatabaseList& l = r.panel.list(0);
    l.setCaretRow(0);
    QTest::keyClick(&l, Qt::Key_F2);
    ASSERT_TRUE(l.editorOpen());
    EXPECT_EQ(l.editKind(), DatabaseList::FrequencyEdit);
    r.panel.onViewButton(DatabasePanel::kFirstViewButton + 1); // a view key discards
    EXPECT_FALSE(l.editorOpen());
    r.show(0);
    r.doc.controlParams.operatingMode = 5;
    QTest::keyClick(&l, Qt::Key_Return);
    EXPECT_EQ(r.core.channels, std::vector<int>{0});
}

} // namespace
} // namespace kovo::test
