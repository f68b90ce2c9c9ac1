// The display panel's right-button menu on its own: each command number
// reaches exactly one of the ports it was given.
#include "ViewFixture.h"

#include "ui/DisplayMenuPresenter.h"

#include <QAction>
#include <QMenu>

using namespace kovo;
using namespace kovo::test;

namespace {

class DisplayMenuTest : public ViewTest {
protected:
    DisplayMenuPresenter menu{{doc, writer, core, frame, [this](int i) { toggled.push_back(i); },
                               [this](int k) { linkSets.push_back(k); }}};
    std::vector<int> toggled;
    std::vector<int> linkSets;
};

TEST_F(DisplayMenuTest, EachCommandRangeReachesItsOwnPort) {
    enum class Port { Mode, Panel, LinkSet, Frame };
    struct Case {
        int command;
        Port port;
        int value;
    };
    const Case cases[] = {
        {32770, Port::Frame, 32770},
        {32771, Port::Panel, 0},
        {32774, Port::Panel, 3},
        {32775, Port::Mode, 0},
        {32780, Port::Mode, 5},
        {32781, Port::Frame, 32781},
        {32946, Port::Frame, 32946},
        {32947, Port::LinkSet, 0},
        {32947 + kLinkSetCount - 1, Port::LinkSet, kLinkSetCount - 1},
        {32947 + kLinkSetCount, Port::Frame, 32947 + kLinkSetCount},
        {57665, Port::Frame, 57665},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.command);
        core.modes.clear();
        toggled.clear();
        linkSets.clear();
        frame.commands.clear();
        menu.run(c.command);
        const auto only = [&](Port p) {
            return p == c.port ? std::vector<int>{c.value} : std::vector<int>{};
        };
        EXPECT_EQ(core.modes, only(Port::Mode));
        EXPECT_EQ(toggled, only(Port::Panel));
        EXPECT_EQ(linkSets, only(Port::LinkSet));
        EXPECT_EQ(frame.commands, only(Port::Frame));
    }
}

TEST_F(DisplayMenuTest, TheCurrentLinkSetCarriesTheOnlyCheckMark) {
    params().currentLinkSet = 7;
    auto built = menu.build();
    QMenu* link = built->actions()[7]->menu();
    ASSERT_NE(link, nullptr);
    ASSERT_EQ(link->actions().size(), kLinkSetCount);
    for (int k = 0; k < kLinkSetCount; ++k)
        EXPECT_EQ(link->actions()[k]->isChecked(), k == 7) << k;
    link->actions()[12]->trigger();
    EXPECT_EQ(linkSets, std::vector<int>{12});
}

// Without a database list (the panel not built yet) the view still makes the
// chosen link set current in the document.
TEST_F(ViewTest, MenuLinkSetWithoutADatabaseListGoesToTheDocument) {
    view->setDatabaseList(nullptr);
    view->displayMenu().run(32947 + 3);
    EXPECT_EQ(params().currentLinkSet, 3);
    EXPECT_TRUE(list.linkSets.empty());
}

} // namespace
