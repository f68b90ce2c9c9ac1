#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "DocumentContents.h"

namespace kovo {

// What bringing a channel table into order did.
struct ChannelOrderChange {
    // For each row before, the row of its channel afterwards; a merged
    // channel maps to the row of the copy that was kept.
    std::vector<int> rowAfter;
    int merged = 0;       // channels dropped as repeats of a kept frequency
    int outOfRange = 0;   // channels dropped for a frequency the receiver cannot tune
    bool changed = false; // rows moved or channels dropped
};

// Every look-up of the channel table relies on ascending frequencies with no
// frequency twice, which a file written by another program need not keep.
// Sorts the table by frequency, keeping channels of equal frequency in their
// order (a stable sort), and keeps only the first channel of each frequency:
// the one that stood highest in the table as read. The kept copy takes the
// priority mark of a repeat it replaces, and `priorityIndex` follows its
// channel (or the copy kept in its place). A channel the receiver cannot tune
// is dropped as well when `tunable` asks for it; its row maps to the nearest
// kept row, which becomes the priority channel when the dropped one was.
enum class OnlyTunable : bool { No, Yes };
ChannelOrderChange putChannelsInOrder(DocumentContents& contents,
                                      OnlyTunable tunable = OnlyTunable::No);

// Where a row ends up after putChannelsInOrder; a row outside the old table
// is returned unchanged.
int rowAfterOrdering(const ChannelOrderChange& change, int row);

// What the user is told when reading `fileName` merged channels (UTF-8).
std::string mergedChannelsMessage(int merged, std::string_view fileName);

} // namespace kovo
