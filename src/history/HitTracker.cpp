#include "HitTracker.h"

#include <algorithm>

#include "data/Cp932.h"
#include "data/ValueTables.h"

namespace kovo::history {

std::string modeLabel(int mode) {
    if (mode < 0 || std::size_t(mode) >= ModeNameTable.size())
        return {};
    return std::string(ModeNameTable[std::size_t(mode)]);
}

void HitTracker::began(bool priority, std::uint32_t frequencyHz, int mode, int level,
                       std::string_view commentCp932, std::int64_t time) {
    endAtLastHeard(priority);
    StoredHit row;
    row.startUtc = time;
    row.endUtc = time;
    row.frequencyHz = frequencyHz;
    row.mode = modeLabel(mode);
    row.maxSignal = level;
    row.comment = cp932ToUtf8(commentCp932.substr(0, commentCp932.find('\0')));
    open_[priority ? 1 : 0] = OpenHit{writer_.begin(row), level, time};
}

void HitTracker::heard(bool priority, int level, std::int64_t time) {
    auto& hit = open_[priority ? 1 : 0];
    if (!hit)
        return;
    hit->maxSignal = std::max(hit->maxSignal, level);
    hit->lastHeard = std::max(hit->lastHeard, time);
}

void HitTracker::ended(bool priority, std::int64_t time) {
    auto& hit = open_[priority ? 1 : 0];
    if (!hit)
        return;
    writer_.end(hit->id, time, hit->maxSignal);
    hit.reset();
}

void HitTracker::endAtLastHeard(bool priority) {
    if (const auto& hit = open_[priority ? 1 : 0])
        ended(priority, hit->lastHeard);
}

void HitTracker::endAll() {
    endAtLastHeard(false);
    endAtLastHeard(true);
}

} // namespace kovo::history
