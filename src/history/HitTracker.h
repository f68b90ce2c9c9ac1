#pragma once
#include <cstdint>
#include <optional>
#include <string_view>

#include "HistoryWriter.h"

namespace kovo::history {

// Turns the scan's hits into rows of the history: a hit's row is written when
// it begins and completed when it ends, with the highest signal heard. The
// main scan and the priority check each have at most one hit at a time; a
// new hit in a context ends the one before it.
class HitTracker {
public:
    explicit HitTracker(HistoryWriter& writer) : writer_(writer) {}
    ~HitTracker() = default;
    HitTracker(const HitTracker&) = delete;
    HitTracker& operator=(const HitTracker&) = delete;

    // `mode` is the tuned record's mode index, `commentCp932` its comment as
    // the document stores it.
    void began(bool priority, std::uint32_t frequencyHz, int mode, int level,
               std::string_view commentCp932, std::int64_t time);
    void heard(bool priority, int level, std::int64_t time);
    // `time` is when the signal was last heard.
    void ended(bool priority, std::int64_t time);
    // The program closes, or history is switched off: whatever is open ends
    // when its signal was last heard, not now.
    void endAll();

    bool inProgress(bool priority) const { return open_[priority ? 1 : 0].has_value(); }

private:
    struct OpenHit {
        HistoryWriter::HitId id;
        int maxSignal;
        std::int64_t lastHeard;
    };

    void endAtLastHeard(bool priority);

    HistoryWriter& writer_;
    std::optional<OpenHit> open_[2];
};

// The label the panel shows for a mode index ("NFM", "AM", ...); empty for
// an index outside the table.
std::string modeLabel(int mode);

} // namespace kovo::history
