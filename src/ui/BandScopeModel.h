#pragma once
#include <cstdint>

namespace kovo {

// The band scope's geometry: span, step, window and sweep points derived from
// the tuned step index and the scope range, and the mapping of points and
// levels to plot pixels. Free of widgets; the panel and the view use it.
class BandScopeModel {
public:
    static constexpr int kPlotWidth = 400;   // x runs 0..400
    static constexpr int kBaseline = 63;     // bars stand on this line (exclusive)
    static constexpr std::uint32_t kHighestStart = 2'036'000'000;

    struct Bar {
        int left = 0;  // inclusive
        int right = 0; // exclusive
    };

    // Recomputes after the step changed (or a scope mode was entered). May
    // raise the step index and moves the range to one that accepts the step.
    void recomputeFromStep(std::int32_t& stepIndex, std::int32_t& rangeIndex);
    // Recomputes after a span was chosen (row 0..6 of the span list). May move
    // the step index to one the new range accepts.
    void recomputeFromSpan(int row, std::int32_t& stepIndex, std::int32_t& rangeIndex);

    void setCentre(std::uint32_t hz) { centre_ = hz; }

    std::uint32_t step() const { return step_; }
    std::uint32_t span() const { return span_; }
    std::uint32_t centre() const { return centre_; }
    std::uint32_t start() const { return start_; }
    std::uint32_t end() const { return end_; }
    int points() const { return points_; }
    int barHalfWidth() const { return barHalfWidth_; }
    int fractional() const { return fractional_; }
    int range() const { return range_; }

    int sweepIndex() const { return sweepIndex_; }
    void setSweepIndex(int i);
    // First point of a sweep in the tuning direction (1 up, 0 down).
    int restartIndex(int direction) const { return direction == 1 ? 0 : points_; }
    // The point after the current one in the tuning direction, wrapping round.
    int nextIndex(int direction) const;

    std::uint32_t pointFrequency(int i) const;
    int pointX(int i) const;
    // Frequency under plot offset u (pointer x - plot left + bar half-width).
    std::uint32_t frequencyAtOffset(int u) const;
    int sweepIndexAtOffset(int u) const;
    // Half-width of a stored channel's bar in static mode.
    int staticHalfWidth(std::int32_t stepIndex) const;

    // Horizontal extent of a bar centred at x with half-width h.
    static Bar barAt(int x, int h);
    // Top of a bar for a signal level (0..15); static bars reach at least y 1.
    static int barTop(int level, bool staticMode);

private:
    void limitWindow();

    int range_ = 3;
    int fractional_ = 0;
    std::uint32_t step_ = 20000;
    std::uint32_t span_ = 200000;
    std::uint32_t centre_ = 145'000'000;
    std::uint32_t start_ = 0;
    std::uint32_t end_ = 0;
    int points_ = 10;
    int barHalfWidth_ = 20;
    int sweepIndex_ = 0;
};

} // namespace kovo
