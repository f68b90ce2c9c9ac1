#pragma once
#include <string>

#include "ChannelCsv.h"

namespace kovo {

class CKovo5Doc;

struct ImportOutcome {
    bool applied = false;
    int stored = 0;
    int merged = 0;      // frequencies stored since the plan was made
    std::string message; // why nothing was stored (UTF-8)
};

// The settings a CSV row takes when its file does not give them: those of
// the tuned record, as for a channel stored by hand.
CsvDefaults importDefaultsOf(const CKovo5Doc& doc);

// Stores the planned channels through the channel table: each new channel in
// `bank` (or the pass-channel bank when its row asked to be skipped), with the
// row's mode, step, squelch tone and comment. A CHIRP row's other columns go
// to the document's CHIRP details under its frequency and `bank`. The document
// is marked modified and nothing is written to disk. A channel stored since the plan was made is
// kept as it is (merged); when the channels no longer fit, nothing changes.
ImportOutcome applyImport(CKovo5Doc& doc, const ImportPlan& plan, int bank);

} // namespace kovo
