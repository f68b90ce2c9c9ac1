#include "LogImport.h"

#include <algorithm>

#include "HitTracker.h"
#include "data/Cp932.h"
#include "data/DocumentContents.h"

namespace kovo::history {

namespace {

// The channel table is sorted by frequency.
std::string modeOfChannelOn(const DocumentContents& document, std::uint32_t frequencyHz) {
    const auto first = document.channels.begin();
    const auto last = first + std::max(0, document.channelCount);
    const auto found =
        std::lower_bound(first, last, frequencyHz,
                         [](const auto& c, std::uint32_t f) { return c && c->frequency < f; });
    if (found == last || !*found || (*found)->frequency != frequencyHz)
        return {};
    return modeLabel((*found)->mode);
}

} // namespace

std::vector<StoredHit> logRows(const DocumentContents& document) {
    std::vector<StoredHit> rows;
    rows.reserve(std::size_t(std::max(0, document.logCount)));
    for (int r = 0; r < document.logCount; ++r) {
        const CLogData& entry = document.logEntry(r);
        StoredHit row;
        row.startUtc = entry.firstHeard;
        row.endUtc = std::max(entry.firstHeard, entry.lastHeard);
        row.frequencyHz = entry.frequency;
        row.mode = modeOfChannelOn(document, entry.frequency);
        row.maxSignal = entry.maxSignal;
        row.comment =
            cp932ToUtf8(std::string_view(entry.comment).substr(0, entry.comment.find('\0')));
        row.imported = true;
        rows.push_back(std::move(row));
    }
    return rows;
}

} // namespace kovo::history
