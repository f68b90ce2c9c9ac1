// The view on the real receiver core, as the main window wires them: panel
// keys reach the operating modes and the scan steps, and the core's notices
// reach the panels.
#include "ViewFixture.h"

#include "fakes/FakeCommPort.h"
#include "fakes/FakeTimerService.h"
#include "fakes/Recorders.h"
#include "link/LinkObserver.h"
#include "scan/ReceiverCore.h"
#include "ui/BandScopePanel.h"
#include "ui/ControlPanel1.h"
#include "ui/DisplayPanel.h"
#include "ui/ImageKey.h"
#include "ui/PanelEdit.h"
#include "ui/ReceiverCoreCommands.h"

#include <QTest>

using namespace kovo;
using namespace kovo::test;

namespace {

struct PanelLinkObserver : LinkObserver {
    CKovo5View* view = nullptr;
    void refreshPanels() override { view->refreshPanels(); }
    void showSignal(bool open, int level) override { view->showSignal(open, level); }
    void squelchChanged(bool) override {}
    void linkStatusChanged(LinkStatus) override {}
};

class CoreWiringTest : public ::testing::Test {
protected:
    CoreWiringTest() {
        core = std::make_unique<ReceiverCore>(
            ReceiverCore::Seams{port, timers, clock, notifier, settings, doc});
        commands = std::make_unique<ReceiverCoreCommands>(*core);
        view = std::make_unique<CKovo5View>(
            CKovo5View::Ports{doc, writer, notifier, *commands, frame});
        viewAttachment = core->attachView(*view);
        observer.view = view.get();
        observerSubscription = relayLinkNotices(core->linkNotices(), observer);
        view->stack().show();
    }

    void click(int key) { QTest::mouseClick(&view->stack().control1().key(key), Qt::LeftButton); }

    AppSettings settings;
    ManualClock clock{1'000'000'000'000};
    CKovo5Doc doc{settings, clock};
    MemorySettingsWriter writer{settings};
    RecordingNotifier notifier;
    FakeFrame frame;
    test::FakeCommPort port;
    test::FakeTimerService timers{clock};
    PanelLinkObserver observer;
    std::unique_ptr<ReceiverCore> core;
    std::unique_ptr<ReceiverCoreCommands> commands;
    std::unique_ptr<CKovo5View> view;
    Subscription viewAttachment;
    Subscription observerSubscription;
};

} // namespace

TEST_F(CoreWiringTest, OperatingModeKeysSwitchTheCoreAndThePanels) {
    click(ControlPanel1::Scope);
    EXPECT_EQ(doc.controlParams.operatingMode, 3);
    EXPECT_TRUE(view->stack().bandScope().isVisible());
    EXPECT_EQ(view->stack().bandScope().centreText().text(), " 145.000000");
    EXPECT_EQ(view->stack().control1().key(ControlPanel1::Scope).state(), 1);
    click(ControlPanel1::Ps);
    EXPECT_EQ(doc.controlParams.operatingMode, 5) << "no search bank in use: back to VFO";
    EXPECT_FALSE(view->stack().bandScope().isVisible());
    EXPECT_EQ(view->stack().control1().key(ControlPanel1::Vfo).state(), 1);
    EXPECT_FALSE(view->stack().display().field(DisplayPanel::FrequencyField).isReadOnly());
}

TEST_F(CoreWiringTest, PriorityKeyLightsThroughTheCore) {
    click(ControlPanel1::Pri);
    EXPECT_EQ(doc.controlParams.priorityScan, 1);
    EXPECT_EQ(view->stack().control1().key(ControlPanel1::Pri).state(), 1);
    click(ControlPanel1::Pri);
    EXPECT_EQ(view->stack().control1().key(ControlPanel1::Pri).state(), 0);
}

TEST_F(CoreWiringTest, MemoryScanShowsTheChannelItTunes) {
    for (std::uint32_t f : {144'000'000u, 145'500'000u}) {
        doc.channelTable().findChannel(f);
        ASSERT_GE(doc.channelTable().storeChannel(f), 0);
    }
    doc.memoryBanks[0].linkFlags[0] = 1;
    click(ControlPanel1::Ms);
    EXPECT_EQ(doc.controlParams.operatingMode, 0);
    const QString shown = view->stack().display().field(DisplayPanel::FrequencyField).text();
    EXPECT_EQ(shown.toStdString(), formatMegahertz(doc.mainRecord.frequency));
    EXPECT_TRUE(doc.mainRecord.frequency == 144'000'000u ||
                doc.mainRecord.frequency == 145'500'000u);
}
