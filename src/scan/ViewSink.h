#pragma once
#include "data/OperatingMode.h"

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
    // The memory scan moved to channel `row`: select it (the list leaves its
    // selection alone while the database hold is set).
    virtual void selectChannelRow(int row) = 0;
    // A signal report changed channel `row` (signal, strongest signal, time
    // heard): redraw the row without disturbing the list. `makeVisible` is
    // true on the first report of a stop (scroll the row into view), false on
    // later ones (keep the list's scroll position).
    virtual void channelRowChanged(int row, bool makeVisible) = 0;
    // Auto-store inserted a new channel at `row`; the rows from there on moved
    // down by one.
    virtual void channelRowInserted(int row) = 0;
    // A log entry was appended; `droppedOldest` when the full ring replaced its
    // oldest entry (the list drops its first line).
    virtual void logAppended(bool droppedOldest) = 0;
    // The newest log entry (list row `row`) got a later time or a stronger signal.
    virtual void logUpdated(int row) = 0;

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

// What the scan engine tells the companion recorder (through the external
// control interface).
class RecorderSink {
public:
    virtual ~RecorderSink() = default;
    // The scan moves on: a record handed to the recorder is over. (New log
    // entries reach the recorder through the document's onLogEntryOpened.)
    virtual void scanMovedOn() = 0;
};

} // namespace kovo
