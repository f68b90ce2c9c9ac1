#pragma once
#include <vector>

#include "HistoryWriter.h"

namespace kovo {
struct DocumentContents;
}

namespace kovo::history {

// The document's log entries as history rows, oldest first: each entry's
// first and last heard time, highest signal and comment (as UTF-8), with the
// mode of the stored channel on its frequency (empty when there is none).
std::vector<StoredHit> logRows(const DocumentContents& document);

} // namespace kovo::history
