#pragma once
#include "data/OperatingMode.h"

#include <cstdint>
#include <string>

namespace kovo {

// What the scan engine and the operating modes ask of the front panel, the
// database list and the band-scope display. The view implements it; tests
// record the calls. The core changes the document first and then calls these,
// so an implementation reads the document for what to show.
class ViewSink {
public:
    virtual ~ViewSink() = default;

    // ---- panels ----
    // The tuned channel changed: every panel refreshes what changed.
    virtual void refreshPanels() = 0;
    // Only the display panel's fields (a 1 MHz scan step, a band-scope sweep point).
    virtual void refreshDisplay() = 0;
    // The operating mode is now `mode` (the document already says so):
    // Control panel 1 lights its button, the display panel names it and makes
    // the frequency field read-only in the scans and editable from the active
    // band scope on, the band scope is shown in the band-scope modes only
    // (laying the panels out again when that changes), and the tone strips
    // are told the mode. Showing a mode never changes the document.
    virtual void showOperatingMode(OperatingMode mode) = 0;
    // Control panel 1's priority key shows the priority switch.
    virtual void showPriorityScan(bool on) = 0;

    // ---- database list ----
    // The lists follow the document's change notices for what they show;
    // these move the selection and the scroll position, and the list leaves
    // both alone while the database hold is set.
    // The memory scan moved to channel `row`: select it.
    virtual void selectChannelRow(int row) = 0;
    // The first report of a stop changed channel `row`: scroll it into view.
    virtual void bringChannelRowIntoView(int row) = 0;
    // A log entry was opened: select the newest entry and scroll to it.
    virtual void selectNewestLogEntry() = 0;
    // The newest log entry was updated: the log's caret row alone is selected.
    virtual void selectLogCaretRow() = 0;

    // ---- band scope ----
    // The scope's span, step, centre or window changed: clear the bars, refill
    // the span list, rewrite the start, centre and end texts.
    virtual void resetScope() = 0;
    // Static band scope: draw the stored channels in the span.
    virtual void showStaticScope() = 0;
    // Active band scope: the report at the current sweep point (level 0 to 15).
    virtual void plotScopePoint(bool signalPresent, int level) = 0;
    // The sweep moved to point `sweepIndex` (0 to N).
    virtual void moveScopeCursor(int sweepIndex) = 0;
};

} // namespace kovo
