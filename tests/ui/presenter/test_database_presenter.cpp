// The database panel's commands on a document of their own and a screen in
// memory: each acts on the items chosen when its menu opened, only in its
// own view, and questions answered late act on what they asked about.
#include "ui/database/presenter/DatabaseCommandIds.h"
#include "ui/database/presenter/DatabasePresenter.h"
#include "ui/database/presenter/DatabaseViews.h"

#include "data/AppSettings.h"
#include "data/CKovo5Doc.h"
#include "data/Clock.h"
#include "fakes/FakeDatabaseHost.h"
#include "fakes/Recorders.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <map>
#include <set>

namespace kovo {
namespace {

using namespace dbmenus;
using namespace dblines;

// The lists as plain numbers: rows come from the document, selections,
// carets and editors are remembered, and everything shown is recorded.
class FakeScreen final : public DatabaseScreen {
public:
    explicit FakeScreen(const CKovo5Doc& doc) : doc_(doc) {}

    int rowCount(int v) const override {
        switch (v) {
        case ChannelView:
            return doc_.channelCount;
        case LogView:
            return doc_.logCount;
        case BankView:
            return kBankCount;
        case SearchStringView:
            return kSearchStringCount;
        default:
            return kRangeCount;
        }
    }
    int topRow(int v) const override { return at(top, v); }
    void setTopRow(int v, int row) override { top[v] = row; }
    int caretRow(int v) const override { return at(caret, v); }
    void setCaretRow(int v, int row) override { caret[v] = row; }
    std::vector<int> selectedRows(int v) const override {
        const auto it = selected.find(v);
        return it == selected.end() ? std::vector<int>{}
                                    : std::vector<int>(it->second.begin(), it->second.end());
    }
    void selectRows(int v, const std::vector<int>& rows) override {
        selected[v].insert(rows.begin(), rows.end());
    }
    void selectRow(int v, int row) override { selected[v].insert(row); }
    void clearSelection(int v) override { selected[v].clear(); }
    void bringRowIntoView(int, int) override {}
    void reloadRows(int) override {}
    std::string lineText(int v, int row) const override {
        const std::uint32_t f = v == ChannelView ? doc_.channels[std::size_t(row)]->frequency
                                                 : doc_.logEntry(row).frequency;
        char buf[24];
        std::snprintf(buf, sizeof buf, "%d.%06d", int(f / 1000000), int(f % 1000000));
        return buf;
    }
    void showView(int v) override { shown.push_back(v); }
    bool isHidden() const override { return false; }
    std::string searchText() const override { return typedSearch; }
    void reloadSearchStrings() override {}
    void reloadLinkSets() override {}
    void showLinkSet(int) override {}
    bool editorOpen(int v) const override { return editor && editor->view == v; }
    void openEditor(const EditorRequest& r) override { editor = r; }
    void closeEditor(int v) override {
        if (editorOpen(v))
            editor.reset();
    }
    void moveEditorTo(int, int row) override { editor->row = row; }
    std::string editorText(int, int field) const override {
        return field == 0 ? editor->firstText : editor->secondText;
    }
    void refuseEntry(int, int field) override { refused.push_back(field); }
    void focusEditor(int) override {}
    void returnToEditor(int) override { ++focusReturns; }

    std::map<int, int> top, caret;
    std::map<int, std::set<int>> selected;
    std::vector<int> shown;
    std::string typedSearch;
    std::optional<EditorRequest> editor;
    std::vector<int> refused;
    int focusReturns = 0;

private:
    static int at(const std::map<int, int>& m, int v) {
        const auto it = m.find(v);
        return it == m.end() ? 0 : it->second;
    }
    const CKovo5Doc& doc_;
};

struct Rig {
    Rig() {
        presenter.setHost(&host);
        for (std::uint32_t f : {100000000u, 200000000u, 300000000u})
            (void)doc.channelTable().storeChannel(f);
    }
    // The menu opens on `rows` of `view` (shown and stored) and `command` runs.
    void command(int view, std::vector<int> rows, int command) {
        open(view, std::move(rows));
        presenter.commands().run(command);
    }
    void open(int view, std::vector<int> rows) {
        doc.controlParams.databaseView = view;
        screen.selected[view] = {rows.begin(), rows.end()};
        screen.caret[view] = rows.empty() ? 0 : rows.front();
        presenter.choose(view);
    }
    int modeAt(std::uint32_t f) {
        return doc.channels[std::size_t(doc.channelTable().findChannel(f))]->mode;
    }

    AppSettings settings;
    ManualClock clock{0};
    CKovo5Doc doc{settings, clock};
    test::RecordingNotifier notifier;
    FakeScreen screen{doc};
    test::FakeDatabaseHost host;
    DatabasePresenter presenter{{doc, settings, notifier, screen}};
};

// Each command acts in its own view only; elsewhere it changes nothing.
TEST(DatabasePresenterCommands, ActOnlyInTheirOwnView) {
    struct Case {
        const char* name;
        int view;
        int command;
        bool acts;
    };
    const Case cases[] = {
        {"mode on channels", ChannelView, FirstMode + 2, true},
        {"mode on pass ranges", PassRangeView, FirstMode + 2, false},
        {"delete on channels", ChannelView, Delete, true},
        {"delete on banks", BankView, Delete, false},
        {"priority on channels", ChannelView, ActualMemoryNames, true},
        {"priority on log", LogView, ActualMemoryNames, false},
        {"clear on log", LogView, LogClear, true},
        {"clear on channels", ChannelView, LogClear, false},
    };
    for (const Case& c : cases) {
        Rig rig;
        rig.doc.mainRecord.frequency = 145000000;
        rig.doc.log().openLogEntry(rig.doc.mainRecord, 3);
        const std::vector<std::uint8_t> before = rig.doc.toBytes();
        rig.command(c.view, {0}, c.command);
        EXPECT_EQ(rig.doc.toBytes() != before, c.acts) << c.name;
    }
}

// The scan stores a channel above the chosen ones while the menu is open:
// the command still changes the channels the user chose.
TEST(DatabasePresenterCommands, FollowTheChosenItemsNotTheRows) {
    Rig rig;
    rig.open(ChannelView, {1, 2});
    (void)rig.doc.channelTable().storeChannel(50000000);
    rig.presenter.commands().run(FirstMode + 3);
    EXPECT_EQ(rig.modeAt(200000000), 3);
    EXPECT_EQ(rig.modeAt(300000000), 3);
    EXPECT_NE(rig.modeAt(100000000), 3);
    EXPECT_NE(rig.modeAt(50000000), 3);
}

// A menu opened on another view (a document read meanwhile) acts on nothing,
// and a property command ends the hold either way.
TEST(DatabasePresenterCommands, MenuOfAnotherViewActsOnNothing) {
    Rig rig;
    rig.open(ChannelView, {0});
    rig.doc.controlParams.databaseView = SearchBankView;
    rig.presenter.holdUntilCleared();
    rig.presenter.commands().run(FirstMode + 3);
    EXPECT_NE(rig.doc.searchBanks[0].mode, 3);
    EXPECT_NE(rig.modeAt(100000000), 3);
    EXPECT_FALSE(rig.presenter.held());
}

TEST(DatabasePresenterCommands, ViewCommandsStoreAndShowTheirView) {
    Rig rig;
    rig.command(ChannelView, {0}, ShowLog);
    EXPECT_EQ(rig.doc.controlParams.databaseView, LogView);
    EXPECT_EQ(rig.screen.shown.back(), LogView);
    EXPECT_EQ(rig.presenter.shownView(), LogView);
}

// Delete names the chosen channels, deletes them and no other once
// answered, and finds nothing to delete in a document read meanwhile.
TEST(DatabasePresenterDelete, AnswersActOnWhatWasAsked) {
    Rig rig;
    rig.host.answerLater = true;
    rig.command(ChannelView, {0, 2}, Delete);
    ASSERT_EQ(rig.host.questions.size(), 1u);
    EXPECT_NE(rig.host.questions[0].find("100.000000, 300.000000 MHz"), std::string::npos);
    (void)rig.doc.channelTable().storeChannel(50000000);
    rig.host.pendingAnswer(true);
    EXPECT_EQ(rig.doc.channelCount, 2);
    EXPECT_GE(rig.doc.channelTable().findChannel(50000000), 0);
    EXPECT_GE(rig.doc.channelTable().findChannel(200000000), 0);

    Rig replaced;
    replaced.host.answerLater = true;
    replaced.command(ChannelView, {0}, Delete);
    replaced.doc.onNewDocument();
    (void)replaced.doc.channelTable().storeChannel(100000000);
    replaced.host.pendingAnswer(true);
    EXPECT_EQ(replaced.doc.channelCount, 1);
    EXPECT_EQ(replaced.notifier.messages.size(), 1u);
}

TEST(DatabasePresenterDelete, NoDeletesNothingAndALateAnswerAfterThePanelIsHarmless) {
    Rig rig;
    rig.host.confirm = false;
    rig.command(ChannelView, {0}, Delete);
    EXPECT_EQ(rig.doc.channelCount, 3);

    test::FakeDatabaseHost host;
    host.answerLater = true;
    {
        Rig gone;
        gone.presenter.setHost(&host);
        gone.command(LogView, {0}, LogClear);
    }
    host.pendingAnswer(true);
    EXPECT_EQ(host.questions.size(), 1u);
}

TEST(DatabasePresenterCommands, PlaybackNeedsTheRecorderAndReportsMissingAudio) {
    Rig rig;
    rig.doc.mainRecord.frequency = 145000000;
    rig.doc.log().openLogEntry(rig.doc.mainRecord, 3);
    rig.command(LogView, {0}, StartPlayback);
    EXPECT_TRUE(rig.host.playbacks.empty());
    rig.host.linked = true;
    rig.host.hasAudio = false;
    rig.command(LogView, {0}, StartPlayback);
    EXPECT_EQ(rig.host.playbacks, std::vector<std::uint32_t>{145000000});
    EXPECT_EQ(rig.notifier.messages.size(), 1u);
    rig.command(LogView, {0}, StopPlayback);
    EXPECT_EQ(rig.host.stops, 1);
}

// Typed frequencies: text that is none is refused and kept, one another
// channel holds is refused with a message, and the editor comes back.
TEST(DatabasePresenterEditing, ChannelFrequencies) {
    struct Case {
        const char* typed;
        bool stored;
        std::size_t refusals;
        std::size_t messages;
    };
    const Case cases[] = {{"abc", false, 1, 0}, {"300.0", false, 0, 1}, {"150.0", true, 0, 0}};
    for (const Case& c : cases) {
        Rig rig;
        rig.open(ChannelView, {0});
        rig.presenter.editing().editFirstField(ChannelView);
        ASSERT_TRUE(rig.screen.editor) << c.typed;
        EXPECT_EQ(rig.screen.editor->firstText, " 100.000000");
        rig.screen.editor->firstText = c.typed;
        rig.presenter.editing().finish(ChannelView, true);
        EXPECT_EQ(rig.doc.channelTable().findChannel(150000000) >= 0, c.stored) << c.typed;
        EXPECT_EQ(rig.doc.channelTable().findChannel(100000000) < 0, c.stored) << c.typed;
        EXPECT_EQ(rig.screen.refused.size(), c.refusals) << c.typed;
        EXPECT_EQ(rig.notifier.messages.size(), c.messages) << c.typed;
        EXPECT_EQ(rig.screen.editor.has_value(), !c.stored) << c.typed;
        EXPECT_EQ(rig.screen.focusReturns, int(c.messages)) << c.typed;
    }
}

TEST(DatabasePresenterEditing, ACommentGoesToEveryChosenChannel) {
    Rig rig;
    const std::string untouched = rig.doc.channels[1]->comment;
    rig.open(ChannelView, {0, 2});
    rig.presenter.commands().run(32849);
    ASSERT_TRUE(rig.screen.editor);
    rig.screen.editor->firstText = "tower";
    rig.presenter.editing().finish(ChannelView, true);
    EXPECT_EQ(rig.doc.channels[0]->comment, "tower");
    EXPECT_EQ(rig.doc.channels[1]->comment, untouched);
    EXPECT_EQ(rig.doc.channels[2]->comment, "tower");
    EXPECT_EQ(rig.screen.selected[ChannelView], (std::set<int>{0, 2}));
}

TEST(DatabasePresenterSearch, FindsTheNextLineOrSaysSo) {
    Rig rig;
    rig.doc.controlParams.databaseView = ChannelView;
    rig.screen.typedSearch = "300.";
    rig.presenter.search(true);
    EXPECT_EQ(rig.screen.caret[ChannelView], 2);
    EXPECT_EQ(rig.screen.selected[ChannelView], std::set<int>{2});
    rig.presenter.search(true);
    EXPECT_EQ(rig.notifier.messages.size(), 1u);
}

} // namespace
} // namespace kovo
