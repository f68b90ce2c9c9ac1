#pragma once
#include <string>
#include <string_view>

#include "DocumentContents.h"

namespace kovo {

// What reading a file left out because the receiver cannot tune it: a file
// damaged in a few bytes can still parse, with frequencies no receiver has.
struct OutOfRangeRepair {
    int channels = 0;          // channels dropped
    int ranges = 0;            // search banks and ranges set back to new-document values
    bool tuningRecord = false; // the tuning record set back to a new document's

    bool any() const { return channels > 0 || ranges > 0 || tuningRecord; }
};

// Sets every search bank, pass range and auto-mode range with an edge the
// receiver cannot tune back to the values of a new document. An edge of 0
// is an unset range, as a new document holds it, and is kept.
int resetRangesOutsideReceiver(DocumentContents& contents, int nfmBandWidth);

// What the user is told when reading `fileName` left such values out (UTF-8).
std::string outOfRangeMessage(const OutOfRangeRepair& repair, std::string_view fileName);

} // namespace kovo
