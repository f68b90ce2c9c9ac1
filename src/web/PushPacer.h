#pragma once

#include <algorithm>
#include <cstdint>
#include <limits>
#include <optional>

namespace kovo::web {

// When the read-outs go to the pages after a change: at once after a quiet
// spell, and during a burst no sooner than one gap after the last push. So
// every change reaches the pages within one gap, a burst of changes becomes
// one push, and a page gets at most one push per gap however fast the scan
// runs.
class PushPacer {
public:
    explicit PushPacer(std::int64_t gapMs) : gapMs_(gapMs) {}

    // A change at `nowMs`: in how many milliseconds the push is due, or
    // nothing when a push is already due (it takes this change along).
    std::optional<std::int64_t> changed(std::int64_t nowMs) {
        if (pending_)
            return std::nullopt;
        pending_ = true;
        if (nowMs - lastPushMs_ >= gapMs_)
            return 0;
        // A clock set back waits one gap at most.
        return std::min(lastPushMs_ + gapMs_ - nowMs, gapMs_);
    }
    // The push went out at `nowMs`.
    void pushed(std::int64_t nowMs) {
        pending_ = false;
        lastPushMs_ = nowMs;
    }
    // The push was due but every page had the read-outs already: the next
    // change need not wait for it (the link reports the signal many times a
    // second, mostly unchanged).
    void nothingToPush() { pending_ = false; }

private:
    std::int64_t gapMs_;
    // Long enough ago for the first change to go out at once.
    std::int64_t lastPushMs_ = std::numeric_limits<std::int64_t>::min() / 2;
    bool pending_ = false;
};

} // namespace kovo::web
