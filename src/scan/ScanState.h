#pragma once
#include "data/CKovo5Doc.h"
#include "data/Notices.h"
#include "link/PriorityCheck.h"

namespace kovo {

// What the scan knows while it runs and never stores: where memory scan
// stands, the priority check, whether the next hit opens a new log entry and
// whether tone search is on. It follows the document's notices: the scan
// position keeps naming the same channel as rows come and go, clearing the
// log or turning logging on makes the next hit open a new entry, and a new
// document starts it afresh.
class ScanState {
public:
    // The document must outlive the state.
    explicit ScanState(CKovo5Doc& doc);
    ScanState(const ScanState&) = delete;
    ScanState& operator=(const ScanState&) = delete;

    int scanPosition = 0; // memory-scan position in channels
    PriorityCheck priority;
    bool newLogEntryMain = false; // the next hit opens a new log entry
    bool newLogEntryPriority = false;
    bool toneSearch = false;

    // The record the receiver is tuned to (see PriorityCheck).
    CFrequencyData& activeRecord() { return priority.activeRecord(doc_); }
    const CFrequencyData& activeRecord() const { return priority.activeRecord(doc_); }
    // Channels memory scan can reach with the current link set and mode filter.
    int reachableCount() const;

private:
    void onChange(const DocumentChange& change);
    void followRows(const DocumentChange& change);

    CKovo5Doc& doc_;
    bool loggingOn_ = false;
    Subscription subscription_;
};

} // namespace kovo
