#pragma once
#include "data/Notices.h"
#include "scan/ViewSink.h"

#include <functional>

namespace kovo {

// What the scan parts tell the view, passed on to whichever views are
// attached. The core is made before any view and may outlive it, so the parts
// hold the relay rather than a view that may not exist yet or may be gone.
class ViewRelay final : public ViewSink {
public:
    // `view` hears everything from now on, until the subscription ends.
    [[nodiscard]] Subscription attach(ViewSink& view) {
        return calls_.subscribe([&view](const Call& call) { call(view); });
    }
    bool attached() const { return calls_.listenerCount() > 0; }

    void refreshPanels() override {
        pass([](ViewSink& v) { v.refreshPanels(); });
    }
    void refreshDisplay() override {
        pass([](ViewSink& v) { v.refreshDisplay(); });
    }
    void showOperatingMode(OperatingMode mode) override {
        pass([mode](ViewSink& v) { v.showOperatingMode(mode); });
    }
    void showPriorityScan(bool on) override {
        pass([on](ViewSink& v) { v.showPriorityScan(on); });
    }
    void selectChannelRow(int row) override {
        pass([row](ViewSink& v) { v.selectChannelRow(row); });
    }
    void bringChannelRowIntoView(int row) override {
        pass([row](ViewSink& v) { v.bringChannelRowIntoView(row); });
    }
    void selectNewestLogEntry() override {
        pass([](ViewSink& v) { v.selectNewestLogEntry(); });
    }
    void selectLogCaretRow() override {
        pass([](ViewSink& v) { v.selectLogCaretRow(); });
    }
    void resetScope() override {
        pass([](ViewSink& v) { v.resetScope(); });
    }
    void showStaticScope() override {
        pass([](ViewSink& v) { v.showStaticScope(); });
    }
    void plotScopePoint(bool signalPresent, int level) override {
        pass([signalPresent, level](ViewSink& v) { v.plotScopePoint(signalPresent, level); });
    }
    void moveScopeCursor(int sweepIndex) override {
        pass([sweepIndex](ViewSink& v) { v.moveScopeCursor(sweepIndex); });
    }

private:
    using Call = std::function<void(ViewSink&)>;
    void pass(const Call& call) {
        if (calls_.listenerCount() > 0)
            calls_.notify(call);
    }
    Notices<Call> calls_;
};

} // namespace kovo
