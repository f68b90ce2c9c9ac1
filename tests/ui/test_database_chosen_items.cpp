// The database lists' commands act on the items the user chose, whatever the
// scan stores or logs while a menu, a question or an editor is open; typed
// frequencies the receiver cannot take are refused in the editor; the two
// combo boxes take the text as it is typed.
#include "fakes/DatabasePanelRig.h"

#include "ui/MessageBoxNotifier.h"
#include "ui/database/ChosenItems.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QTest>

#include <gtest/gtest.h>

namespace kovo::test {
namespace {

using namespace dbmenus;

constexpr std::uint32_t MHz(std::uint32_t m) {
    return m * 1'000'000;
}
const char* const kOneGone = "選択されたデータのうち 1 個は既にありません";

std::vector<std::uint32_t> channelFrequencies(const CKovo5Doc& doc) {
    std::vector<std::uint32_t> out;
    for (int i = 0; i < doc.channelCount; ++i)
        out.push_back(doc.channels[std::size_t(i)]->frequency);
    return out;
}

// Channels at 100, 110, 120 and 130 MHz.
void addFourChannels(DatabasePanelRig& r) {
    for (std::uint32_t m : {100u, 110u, 120u, 130u})
        r.addChannel(MHz(m));
    r.panel.refreshAll();
}

// Auto-store of a new signal below every chosen row.
void autoStore50(DatabasePanelRig& r) {
    ASSERT_EQ(r.doc.channelTable().storeChannel(MHz(50), true, 1, 5), 0);
}

QAction* menuAction(QMenu& menu, int command) {
    for (QAction* a : commandActions(menu))
        if (a->data().toInt() == command)
            return a;
    return nullptr;
}

// Chooses the menu item as a user does: the menu hides, then the command runs.
void choose(QMenu* menu, int command) {
    ASSERT_NE(menu, nullptr);
    QAction* action = menuAction(*menu, command);
    ASSERT_NE(action, nullptr);
    menu->hide();
    action->trigger();
}

QPoint centreOf(DatabaseList& l, int row) {
    return l.visualRect(l.model()->index(row, 0)).center();
}

TEST(ChosenItems, AreFoundByWhatTheyAreAfterRowsMove) {
    DatabasePanelRig r;
    addFourChannels(r);
    const ChosenItems channels(r.doc, 0, {2, 1, 2, 9});
    ASSERT_EQ(channels.size(), 2u); // row 9 is no channel; row 2 counts once
    autoStore50(r);
    EXPECT_EQ(channels.find(r.doc).rows, (std::vector<int>{2, 3}));
    r.doc.channelTable().deleteChannels({2}); // 110 MHz
    const ChosenItems::Found found = channels.find(r.doc);
    EXPECT_EQ(found.rows, std::vector<int>{2});
    EXPECT_EQ(found.gone, 1u);

    // Fixed tables keep their rows.
    EXPECT_EQ(ChosenItems(r.doc, 2, {4, 19, 20}).find(r.doc).rows, (std::vector<int>{4, 19}));

    // A full log drops its oldest entry for each new one: the chosen entry
    // moves up a row, and the dropped one is gone.
    for (int i = 0; i < kLogSlots; ++i)
        r.addLog(MHz(100) + std::uint32_t(i), i, i);
    const ChosenItems entries(r.doc, 6, {0, 10});
    r.addLog(MHz(300), kLogSlots, kLogSlots);
    const ChosenItems::Found log = entries.find(r.doc);
    EXPECT_EQ(log.rows, std::vector<int>{9});
    EXPECT_EQ(log.gone, 1u);
    EXPECT_EQ(entries.frequencies(), (std::vector<std::uint32_t>{MHz(100), MHz(100) + 10}));
}

// Deleting 120 MHz while auto-store adds 50 MHz: the question is answered
// later (a dialog that does not block) or while the scan runs under it.
TEST(DatabaseChosenItems, DeleteRemovesTheChosenChannelWhateverIsStoredMeanwhile) {
    for (const bool later : {true, false}) {
        DatabasePanelRig r;
        addFourChannels(r);
        r.host.answerLater = later;
        r.host.whileAsking = [&r] {
            EXPECT_TRUE(r.core.hold && !r.core.holdTimed) << "the list holds while asking";
            autoStore50(r);
        };
        r.command(Delete, {2});
        if (later) {
            ASSERT_TRUE(r.host.pendingAnswer);
            r.host.whileAsking();
            r.host.pendingAnswer(true);
        }
        EXPECT_EQ(r.host.questions.back(), "選択された 1 個のデータを削除します: 120.000000 MHz");
        EXPECT_EQ(channelFrequencies(r.doc),
                  (std::vector<std::uint32_t>{MHz(50), MHz(100), MHz(110), MHz(130)}))
            << later;
        EXPECT_TRUE(r.core.holdTimed);
    }
}

TEST(DatabaseChosenItems, DeleteQuestionNamesFiveChannelsAndCountsTheRest) {
    DatabasePanelRig r;
    for (std::uint32_t m = 1; m <= 7; ++m)
        r.addChannel(MHz(m * 100) + 500'000);
    r.panel.refreshAll();
    r.host.answerLater = true;
    r.command(Delete, {0, 1, 2, 3, 4, 5, 6});
    EXPECT_EQ(r.host.questions.back(),
              "選択された 7 個のデータを削除します: 100.500000, 200.500000, 300.500000, "
              "400.500000, 500.500000 MHz ほか 2 個");
    // A channel deleted meanwhile is skipped, and the user hears of it.
    r.doc.channelTable().deleteChannels({6});
    r.host.pendingAnswer(true);
    EXPECT_EQ(r.doc.channelCount, 0);
    EXPECT_EQ(r.notifier.messages, std::vector<std::string>{kOneGone});
}

TEST(DatabaseChosenItems, AnEditorStoresOnItsChannelWhateverIsStoredMeanwhile) {
    struct Case {
        int command;
        const char* text;
    };
    for (const Case c : {Case{32849, "tower"}, Case{32866, "125"}}) {
        DatabasePanelRig r;
        addFourChannels(r);
        r.command(c.command, {2});
        DatabaseList& l = r.panel.list(0);
        ASSERT_TRUE(l.editorOpen());
        autoStore50(r);
        EXPECT_EQ(l.editedRow(), 3);
        EXPECT_EQ(l.firstEditor()->y(), l.visualRect(r.panel.model(0).index(3)).top())
            << "the editor stays over its channel";
        l.firstEditor()->setText(QString::fromLatin1(c.text));
        QTest::keyClick(l.firstEditor(), Qt::Key_Return);
        EXPECT_FALSE(l.editorOpen());
        if (c.command == 32866) {
            EXPECT_EQ(
                channelFrequencies(r.doc),
                (std::vector<std::uint32_t>{MHz(50), MHz(100), MHz(110), 125'000'000, MHz(130)}));
        } else {
            EXPECT_EQ(r.doc.channels[3]->comment, "tower");
            EXPECT_EQ(r.doc.channels[2]->comment, "");
            EXPECT_EQ(l.selectedRows(), std::vector<int>{3});
        }
    }
}

TEST(DatabaseChosenItems, LogCommandsFollowTheirEntryInAFullLog) {
    DatabasePanelRig r;
    for (int i = 0; i < kLogSlots; ++i)
        r.addLog(MHz(100) + std::uint32_t(i), i, i);
    r.host.linked = true;
    r.panel.refreshAll();
    r.show(6);
    DatabaseList& l = r.panel.list(6);
    auto menu = r.panel.prepareContextMenu(l, centreOf(l, 10));
    r.addLog(MHz(300), kLogSlots, kLogSlots); // a new hit drops the oldest entry
    r.panel.runCommand(StartPlayback);
    EXPECT_EQ(r.host.playbacks, std::vector<std::uint32_t>{MHz(100) + 10});

    menu = r.panel.prepareContextMenu(l, centreOf(l, 0));
    r.addLog(MHz(301), kLogSlots + 1, kLogSlots + 1);
    r.panel.runCommand(LogAnalyze);
    EXPECT_EQ(r.doc.log().logAnalysis().sampleCount, 0) << "the entry analysed is gone";
    EXPECT_EQ(r.notifier.messages, std::vector<std::string>{kOneGone});
}

// During a memory scan the selection follows the scanned channel; a
// right-click elsewhere chooses the row clicked, and the scan leaves the
// selection alone while the menu is open.
TEST(DatabaseChosenItems, ARightClickChoosesTheRowClicked) {
    DatabasePanelRig r;
    addFourChannels(r);
    for (int i = 0; i < 10; ++i)
        r.addChannel(MHz(200 + std::uint32_t(i)));
    r.panel.refreshAll();
    DatabaseList& l = r.panel.list(0);
    r.panel.selectChannel(11); // the scan is on row 11

    QTest::mouseClick(l.viewport(), Qt::RightButton, {}, centreOf(l, 2));
    QMenu* menu = r.panel.openMenu();
    ASSERT_NE(menu, nullptr);
    EXPECT_TRUE(menu->isVisible());
    EXPECT_EQ(r.panel.chosenRows(), std::vector<int>{2});
    EXPECT_EQ(l.caretRow(), 2);
    EXPECT_TRUE(r.core.hold && !r.core.holdTimed) << "no time limit while the menu is open";
    r.panel.selectChannel(12);
    EXPECT_EQ(l.selectedRows(), std::vector<int>{2});
    choose(menu, Delete);
    EXPECT_EQ(r.doc.channelTable().findChannel(MHz(120)), -1);
    EXPECT_EQ(r.doc.channelTable().findChannel(MHz(207)), 10) << "the scanned channel stays";

    // With the scan stopped on row 10, the remarks of the row clicked are edited.
    l.setCaretRow(10);
    QTest::mouseClick(l.viewport(), Qt::RightButton, {}, centreOf(l, 5));
    choose(r.panel.openMenu(), 32849);
    ASSERT_TRUE(l.editorOpen());
    EXPECT_EQ(l.editedRow(), 5);
    // A right-click on a selected row keeps the selection.
    QTest::keyClick(l.firstEditor(), Qt::Key_Escape);
    l.selectRows({4, 6});
    QTest::mouseClick(l.viewport(), Qt::RightButton, {}, centreOf(l, 6));
    EXPECT_EQ(r.panel.chosenRows(), (std::vector<int>{4, 6}));
    r.panel.openMenu()->hide();
    EXPECT_TRUE(r.core.holdTimed) << "a menu closed without a command holds for a while";
}

// The editors refuse what is no frequency of the receiver: a beep, the text
// stays for correction and the list is unchanged.
TEST(DatabaseChosenItems, EditorsRefuseTextThatIsNoFrequency) {
    struct Case {
        int view, command;
        const char* first;
        const char* second;
    };
    const Case cases[] = {
        {0, 32866, "abc", nullptr},       {0, 32866, "5000", nullptr}, {0, 32866, "1e3", nullptr},
        {0, 32866, "0.05", nullptr},      {2, 32865, "abc", "440"},    {2, 32865, "430", "5000"},
        {4, 32867, "430", "   0.000000"},
    };
    for (const Case& c : cases) {
        DatabasePanelRig r;
        addFourChannels(r);
        const std::vector<std::uint8_t> before = r.doc.toBytes();
        r.show(c.view);
        r.command(c.command, {1});
        DatabaseList& l = r.panel.list(c.view);
        ASSERT_TRUE(l.editorOpen());
        l.firstEditor()->setText(QString::fromLatin1(c.first));
        if (c.second)
            l.secondEditor()->setText(QString::fromLatin1(c.second));
        QTest::keyClick(l.firstEditor(), Qt::Key_Return);
        ASSERT_TRUE(l.editorOpen()) << c.first;
        EXPECT_EQ(l.firstEditor()->text(), QString::fromLatin1(c.first));
        CellEditor* refused =
            c.second && l.firstEditor()->refusals() == 0 ? l.secondEditor() : l.firstEditor();
        EXPECT_EQ(refused->refusals(), 1) << c.first;
        EXPECT_EQ(r.doc.toBytes(), before) << c.first;
    }
    // A comma reads as the point.
    DatabasePanelRig r;
    addFourChannels(r);
    r.command(32866, {1});
    r.panel.list(0).firstEditor()->setText(QStringLiteral("145,5"));
    QTest::keyClick(r.panel.list(0).firstEditor(), Qt::Key_Return);
    EXPECT_EQ(r.doc.channels[3]->frequency, 145'500'000u);
}

// After "this frequency is already registered" the user goes on typing in the
// editor, whose text is kept, once the message is closed.
TEST(DatabaseChosenItems, ARefusedStoredFrequencyLeavesTheFocusInTheEditor) {
    DatabasePanelRig r;
    addFourChannels(r);
    MessageBoxNotifier boxes;
    DatabasePanel panel{{r.doc, r.settings, boxes}, r.fonts};
    boxes.setParent(&panel);
    panel.setCore(&r.core);
    panel.setHost(&r.host);
    panel.refreshAll();
    panel.show();
    QApplication::setActiveWindow(&panel);
    DatabaseList& l = panel.list(0);
    l.selectRows({0});
    l.setCaretRow(0);
    QTest::keyClick(&l, Qt::Key_F2);
    ASSERT_TRUE(l.editorOpen());
    l.firstEditor()->setText(QStringLiteral("110"));
    QTest::keyClick(l.firstEditor(), Qt::Key_Return);
    ASSERT_EQ(boxes.openMessages().size(), 1);
    QApplication::processEvents();
    boxes.openMessages().front()->accept();
    QApplication::processEvents();
    ASSERT_TRUE(l.editorOpen());
    EXPECT_EQ(l.firstEditor()->text(), QStringLiteral("110"));
    EXPECT_EQ(QApplication::focusWidget(), l.firstEditor());
    EXPECT_EQ(r.doc.channels[0]->frequency, MHz(100));
}

TEST(DatabaseChosenItems, CombosTakeTheTextAsTyped) {
    DatabasePanelRig r;
    r.doc.searchStrings[0] = "AIR Tokyo";
    r.addChannel(MHz(118));
    r.addChannel(MHz(119));
    r.doc.channels[0]->comment = "AIR";
    r.doc.channels[1]->comment = "AIR Tokyo";
    r.panel.refreshAll();
    QApplication::setActiveWindow(&r.panel);
    QLineEdit* search = r.panel.searchCombo().lineEdit();
    search->setFocus();
    QTest::keyClicks(search, "AIR");
    EXPECT_EQ(r.panel.searchCombo().currentText(), QStringLiteral("AIR"));

    // Renaming a set types where the cursor is; Enter never switches sets.
    r.show(1);
    QComboBox& sets = r.panel.linkSetCombo();
    EXPECT_GE(sets.maxVisibleItems(), kLinkSetCount);
    QLineEdit* name = sets.lineEdit();
    name->setFocus();
    name->setText(QStringLiteral("Airband"));
    name->setCursorPosition(3);
    QTest::keyClicks(name, "XY");
    EXPECT_EQ(r.doc.linkSetNames[0], "AirXYband");
    name->selectAll();
    QTest::keyClicks(name, "0");
    QTest::keyClick(name, Qt::Key_Return);
    EXPECT_EQ(r.doc.controlParams.currentLinkSet, 0) << "\"0\" must not complete to \"01\"";
    EXPECT_EQ(r.doc.linkSetNames[0], "0");
}

} // namespace
} // namespace kovo::test
