// Every front end changes the receiver through the same operations: the same
// action from the front panel, the window bus, the web remote or the rigctl
// server ends in the same document and scan state.
#include "CoreFixture.h"
#include "fakes/ViewFakes.h"

#include "ipc/CoreAdapter.h"
#include "net/ReceiverRigTarget.h"
#include "ui/ControlPanel1.h"
#include "ui/DirectionPad.h"
#include "ui/DisplayMenuPresenter.h"
#include "ui/ImageKey.h"
#include "ui/PanelStack.h"
#include "ui/ReceiverCoreCommands.h"
#include "ui/database/DatabasePanel.h"
#include "web/RemoteReceiver.h"

#include <QApplication>
#include <QComboBox>
#include <QMouseEvent>
#include <QTest>

#include <functional>
#include <string>
#include <vector>

namespace kovo::test {
namespace {

// The whole core on fakes with each front end on it, as the program wires
// them.
struct EntryRig : CoreParts {
    EntryRig() {
        // Channels at 100 and 300 MHz in bank 1 (link set 0), 200 MHz in
        // bank 2 (link set 3).
        for (const auto& [hz, bank] :
             {std::pair{100'000'000u, 1}, {300'000'000u, 1}, {200'000'000u, 2}})
            addChannel(hz, std::int32_t(1) << bank);
        doc.memoryBanks[1].linkFlags[0] = 1;
        doc.memoryBanks[2].linkFlags[3] = 1;
        doc.mainRecord.frequency = 145'000'000;
        doc.controlParams.direction = 1;
        panels.refreshAll();
        panels.stack().show();
    }

    MemorySettingsWriter writer{settings};
    FakeFrame frame;
    ReceiverCoreCommands commands{core};
    CKovo5View panels{CKovo5View::Ports{doc, writer, notifier, commands, frame}};
    Subscription panelsAttached = core.attachView(panels);
    ipc::CoreAdapter bus{doc, core, {}};
    web::RemoteReceiver web{doc, core};
    ReceiverRigTarget rig{core};

    ControlPanel1& control1() { return panels.stack().control1(); }
    void clickKey(int key) { QTest::mouseClick(&control1().key(key), Qt::LeftButton); }
    // One move of the direction pad to the right (up).
    void movePadUp() {
        DirectionPad& pad = control1().pad();
        const auto send = [&](QEvent::Type type, int x, Qt::MouseButton b, Qt::MouseButtons held) {
            const QPointF at(x, 10);
            QMouseEvent e(type, at, pad.mapToGlobal(at), b, held, Qt::NoModifier);
            QApplication::sendEvent(&pad, &e);
        };
        send(QEvent::MouseButtonPress, 50, Qt::LeftButton, Qt::LeftButton);
        send(QEvent::MouseMove, 51, Qt::NoButton, Qt::LeftButton);
        send(QEvent::MouseButtonRelease, 51, Qt::LeftButton, Qt::NoButton);
    }
    QString webSays(web::ControlVerb verb, std::string text = {}, int number = 0) {
        return web.execute(web::ControlMessage{verb, std::move(text), number});
    }

    // What an action leaves behind.
    struct Outcome {
        CFrequencyData main;
        CControlParams params;
        int scanPosition;
        bool priorityCheck;
        bool toneSearch;
        bool modified;
        bool operator==(const Outcome&) const = default;
    };
    Outcome outcome() const {
        const ScanState& s = core.scanState();
        return {doc.mainRecord,           doc.controlParams, s.scanPosition,
                s.priority.priorityCheck, s.toneSearch,      doc.isModified()};
    }
};

struct Entry {
    const char* name;
    std::function<void(EntryRig&)> act;
};

struct Action {
    const char* name;
    std::function<void(EntryRig&)> setUp;
    std::vector<Entry> entries;
    // Checked on the first entry's outcome, so that agreeing on nothing fails.
    std::function<void(const EntryRig&)> expect;
};

void enter(EntryRig& r, OperatingMode mode) {
    r.core.operations().setOperatingMode(mode);
    r.doc.setModified(false);
}

TEST(EntryPoints, EachActionEndsTheSameWhereverItComesFrom) {
    using web::ControlVerb;
    const Action actions[] = {
        {"link set 3 while memory scan runs",
         [](EntryRig& r) { enter(r, OperatingMode::MemoryScan); },
         {{"panel combo box",
           [](EntryRig& r) { emit r.panels.databasePanel().linkSetCombo().activated(3); }},
          {"panel menu", [](EntryRig& r) { r.panels.displayMenu().run(32947 + 3); }},
          {"window bus", [](EntryRig& r) { r.bus.selectLinkSet(3); }},
          {"web", [](EntryRig& r) { EXPECT_EQ(r.webSays(ControlVerb::LinkSet, {}, 4), ""); }}},
         [](const EntryRig& r) {
             EXPECT_EQ(r.doc.controlParams.currentLinkSet, 3);
             EXPECT_EQ(r.doc.mainRecord.frequency, 200'000'000u) << "the scan runs over set 3";
             EXPECT_EQ(r.panels.databasePanel().linkSetCombo().currentIndex(), 3);
         }},
        {"one step up in memory scan",
         [](EntryRig& r) { enter(r, OperatingMode::MemoryScan); },
         {{"panel pad", [](EntryRig& r) { r.movePadUp(); }},
          {"web", [](EntryRig& r) { EXPECT_EQ(r.webSays(ControlVerb::Up), ""); }}},
         [](const EntryRig& r) {
             EXPECT_EQ(r.doc.mainRecord.frequency, 300'000'000u) << "past 200 MHz, outside the set";
         }},
        {"one step up in VFO",
         [](EntryRig& r) { enter(r, OperatingMode::Vfo); },
         {{"panel pad",
           [](EntryRig& r) {
               for (int i = 0; i < 8; ++i) // eight pixels make a step
                   r.movePadUp();
           }},
          {"web", [](EntryRig& r) { EXPECT_EQ(r.webSays(ControlVerb::Up), ""); }}},
         [](const EntryRig& r) { EXPECT_GT(r.doc.mainRecord.frequency, 145'000'000u); }},
        {"VFO from memory scan",
         [](EntryRig& r) { enter(r, OperatingMode::MemoryScan); },
         {{"panel key", [](EntryRig& r) { r.clickKey(ControlPanel1::Vfo); }},
          {"window bus", [](EntryRig& r) { r.bus.setOperatingMode(5); }},
          {"web", [](EntryRig& r) { EXPECT_EQ(r.webSays(ControlVerb::Stop), ""); }}},
         [](const EntryRig& r) { EXPECT_EQ(r.doc.controlParams.mode(), OperatingMode::Vfo); }},
        {"AM in VFO",
         [](EntryRig& r) { enter(r, OperatingMode::Vfo); },
         {{"panel key", [](EntryRig& r) { r.clickKey(ControlPanel1::Am); }},
          {"web", [](EntryRig& r) { EXPECT_EQ(r.webSays(ControlVerb::Mode, "AM"), ""); }},
          {"rigctl", [](EntryRig& r) { r.rig.setMode(2, std::nullopt); }}},
         [](const EntryRig& r) { EXPECT_EQ(r.doc.mainRecord.mode, 2); }},
        {"145.5 MHz typed during memory scan",
         [](EntryRig& r) { enter(r, OperatingMode::MemoryScan); },
         {{"web", [](EntryRig& r) { EXPECT_EQ(r.webSays(ControlVerb::Tune, "145.5"), ""); }},
          {"rigctl", [](EntryRig& r) { EXPECT_TRUE(r.rig.tune(145'500'000)); }}},
         [](const EntryRig& r) {
             EXPECT_EQ(r.doc.mainRecord.frequency, 145'500'000u);
             EXPECT_EQ(r.doc.controlParams.mode(), OperatingMode::Vfo);
         }},
    };
    for (const Action& action : actions) {
        SCOPED_TRACE(action.name);
        std::optional<EntryRig::Outcome> first;
        for (const Entry& entry : action.entries) {
            SCOPED_TRACE(entry.name);
            EntryRig r;
            action.setUp(r);
            entry.act(r);
            if (!first) {
                first = r.outcome();
                action.expect(r);
            } else {
                EXPECT_TRUE(r.outcome() == *first);
                EXPECT_EQ(r.outcome().main.frequency, first->main.frequency);
                EXPECT_EQ(r.outcome().params.mode(), first->params.mode());
            }
        }
    }
}

} // namespace
} // namespace kovo::test
