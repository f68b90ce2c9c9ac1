#pragma once
#include "scan/BandScope.h"

#include <cstdint>

// Where the band scope draws: sweep points and signal levels as plot pixels,
// and the frequency under a plot pixel. The window itself (span, step, start)
// is the core's BandScope.
namespace kovo::scope {

inline constexpr int kPlotWidth = 400; // x runs 0..400
inline constexpr int kBaseline = 63;   // bars stand on this line (exclusive)

struct Bar {
    int left = 0;  // inclusive
    int right = 0; // exclusive
};

// Horizontal extent of a bar centred at x with half-width h.
Bar barAt(int x, int h);
// Top of a bar for a signal level (0..15); static bars reach at least y 1.
int barTop(int level, bool staticMode);

// x of sweep point i.
int pointX(const BandScope::Window& w, int i);
// Frequency under plot offset u (pointer x - plot left + bar half-width),
// on the step grid.
std::uint32_t frequencyAtOffset(const BandScope::Window& w, int u);
// Sweep point under plot offset u.
int sweepIndexAtOffset(const BandScope::Window& w, int u);
// x and half-width of a stored channel's bar in the static map.
int staticX(const BandScope::Window& w, std::uint32_t frequency);
int staticHalfWidth(const BandScope::Window& w, std::int32_t stepIndex);

} // namespace kovo::scope
