// The core is made before any view: views attach to it, hear what the scan
// parts show while attached, and may go before the core.
#include "CoreFixture.h"

#include "fakes/Recorders.h"
#include "scan/ViewRelay.h"

#include <functional>
#include <gtest/gtest.h>

using namespace kovo;
using namespace kovo::test;

namespace {

struct RelayCase {
    const char* name;
    std::function<void(ViewSink&)> call;
    const char* heard;
};

TEST(ViewRelayTest, EveryCallReachesEachAttachedViewAndNoneAfterItLeaves) {
    const RelayCase cases[] = {
        {"refresh", [](ViewSink& v) { v.refreshPanels(); }, "refreshPanels"},
        {"display", [](ViewSink& v) { v.refreshDisplay(); }, "refreshDisplay"},
        {"mode", [](ViewSink& v) { v.showOperatingMode(OperatingMode::Vfo); }, "mode 5"},
        {"priority", [](ViewSink& v) { v.showPriorityScan(true); }, "priority on"},
        {"select", [](ViewSink& v) { v.selectChannelRow(7); }, "select 7"},
        {"show row", [](ViewSink& v) { v.bringChannelRowIntoView(3); }, "show row 3"},
        {"newest", [](ViewSink& v) { v.selectNewestLogEntry(); }, "select newest log entry"},
        {"caret", [](ViewSink& v) { v.selectLogCaretRow(); }, "select log caret row"},
        {"reset", [](ViewSink& v) { v.resetScope(); }, "resetScope"},
        {"static", [](ViewSink& v) { v.showStaticScope(); }, "showStaticScope"},
        {"plot", [](ViewSink& v) { v.plotScopePoint(true, 12); }, "plot 1 12"},
        {"cursor", [](ViewSink& v) { v.moveScopeCursor(40); }, "cursor 40"},
    };
    for (const RelayCase& c : cases) {
        SCOPED_TRACE(c.name);
        ViewRelay relay;
        RecordingViewSink first, second;
        c.call(relay); // nobody attached: nothing to do, nothing fails
        Subscription a = relay.attach(first);
        {
            Subscription b = relay.attach(second);
            c.call(relay);
        }
        c.call(relay);
        EXPECT_EQ(first.calls, (std::vector<std::string>{c.heard, c.heard}));
        EXPECT_EQ(second.calls, (std::vector<std::string>{c.heard}));
    }
}

TEST(ViewRelayTest, AViewAttachedAfterTheCoreSeesTheScanAndMayGoBeforeIt) {
    CoreParts parts;
    parts.viewAttachment.reset();
    ASSERT_TRUE(parts.connect());
    parts.core.setOperatingMode(OperatingMode::Vfo);
    EXPECT_TRUE(parts.view.calls.empty());

    {
        RecordingViewSink late;
        Subscription attached = parts.core.attachView(late);
        parts.core.setOperatingMode(OperatingMode::MemoryScan);
        EXPECT_EQ(late.count("mode 0"), 1);
    }
    // The view is gone; the core goes on showing to nobody.
    parts.core.setOperatingMode(OperatingMode::Vfo);
    parts.timers.advance(500);
    EXPECT_TRUE(parts.view.calls.empty());
}

} // namespace
