#pragma once

namespace kovo {

// What changed in the document, as its listeners hear of it. Rows are rows of
// the channel table or the log (0 = oldest entry) at the time of the notice.
struct DocumentChange {
    enum class Kind {
        ChannelInserted, // row; the rows from there on moved down by one
        ChannelChanged,  // row
        ChannelRemoved,  // row; the rows below it moved up by one
        ChannelMoved,    // row to toRow
        LogAppended,     // droppedOldest: the full ring replaced its oldest entry
        LogUpdated,      // row (the newest entry)
        LogCleared,
        BanksChanged,  // bank links, counts or the current link set
        RangesChanged, // search, pass or auto-mode ranges
        LinkSetsChanged,
        SearchStringsChanged,
        ParametersChanged, // the mode filter, a mode enabled or a switch flipped
        DocumentReplaced,  // new, opened or filled: read everything again
    };
    Kind kind;
    int row = -1;
    int toRow = -1;
    bool droppedOldest = false;
    bool newDocument = false; // DocumentReplaced by a new, empty document
};

} // namespace kovo
