#pragma once
#include "data/CKovo5Doc.h"
#include "scan/BandScope.h"
#include "scan/ScanSteps.h"
#include "scan/ViewSink.h"

namespace kovo {

// The six operating modes: 0 memory scan, 1 program search, 2 1 MHz scan,
// 3 active band scope, 4 static band scope, 5 VFO. Choosing one sets the scan
// up and takes its first step.
class OperatingModes {
public:
    OperatingModes(CKovo5Doc& doc, ScanSteps& steps, BandScope& scope, ViewSink& view);

    void setOperatingMode(OperatingMode mode);
    // The stored number of a mode (menus, keys, other programs); numbers
    // outside 0 to 5 are refused silently.
    void setOperatingMode(int stored);

    // The user picked a memory channel (row) or a log entry (r, 0 = oldest) in
    // the database list: it is tuned by hand and, in the 1 MHz scan and the
    // band scopes, the mode is applied again around it. Program search ignores
    // such picks.
    void channelChosenByHand(int row);
    void logEntryChosenByHand(int r);
    // The user picked search bank k: in the band scopes its middle is tuned and
    // the scope re-centres there; other modes ignore it.
    void searchBankChosenByHand(int k);

    // Once the last document has been opened at start-up, every change of mode
    // marks the document modified.
    void setDocumentLoaded(bool loaded) { documentLoaded_ = loaded; }
    bool documentLoaded() const { return documentLoaded_; }

private:
    void tunedByHand();

    CKovo5Doc& doc_;
    ScanState& state_;
    ScanSteps& steps_;
    BandScope& scope_;
    ViewSink& view_;
    bool documentLoaded_ = false;
};

} // namespace kovo
