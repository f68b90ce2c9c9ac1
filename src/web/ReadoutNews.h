#pragma once

#include "data/Notices.h"
#include "scan/ViewSink.h"

#include <array>
#include <functional>

namespace kovo {
class CKovo5Doc;
class ReceiverCore;
} // namespace kovo

namespace kovo::web {

// Hears every notice of the core after which the page's read-outs may read
// differently: what the scan parts show the panels, what the link reports
// (status, squelch, signal, the active record switched), the scan's stops
// and steps, and the document's changes. Each is passed on as one call of
// `changed`, which must be cheap: it runs on the core's thread, inside the
// notice. Hears nothing once destroyed.
class ReadoutNews final : public ViewSink {
public:
    ReadoutNews(CKovo5Doc& doc, ReceiverCore& core, std::function<void()> changed);
    ReadoutNews(const ReadoutNews&) = delete;
    ReadoutNews& operator=(const ReadoutNews&) = delete;

    void refreshPanels() override { changed_(); }
    void refreshDisplay() override { changed_(); }
    void showOperatingMode(OperatingMode) override { changed_(); }
    void showPriorityScan(bool) override { changed_(); }
    void resetScope() override { changed_(); }
    void moveScopeCursor(int) override { changed_(); }
    // The list's selection and the scope's bars are not read-outs.
    void selectChannelRow(int) override {}
    void bringChannelRowIntoView(int) override {}
    void selectNewestLogEntry() override {}
    void selectLogCaretRow() override {}
    void showStaticScope() override {}
    void plotScopePoint(bool, int) override {}

private:
    std::function<void()> changed_;
    std::array<Subscription, 6> subscriptions_;
};

} // namespace kovo::web
