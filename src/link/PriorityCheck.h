#pragma once
#include "data/DocumentContents.h"

namespace kovo {

// Whether a look at the priority channel is under way, and whether the
// receiver has been tuned for it. The polling loop asks for a check, the
// command chooser applies it, the scan engine ends it.
struct PriorityCheck {
    bool priorityCheck = false;        // a priority check is under way
    bool priorityCheckApplied = false; // the receiver is tuned for it

    // The record the receiver is tuned to: the priority record while a
    // check is applied, else the main record.
    CFrequencyData& activeRecord(DocumentContents& doc) const {
        return priorityCheckApplied ? doc.priorityRecord : doc.mainRecord;
    }
    const CFrequencyData& activeRecord(const DocumentContents& doc) const {
        return priorityCheckApplied ? doc.priorityRecord : doc.mainRecord;
    }
    // The record the next commands tune to: the priority record as soon as a
    // check is asked for.
    const CFrequencyData& requestedRecord(const DocumentContents& doc) const {
        return priorityCheck ? doc.priorityRecord : doc.mainRecord;
    }
};

} // namespace kovo
