#pragma once
#include "data/TypedFrequency.h"

#include <cstdint>
#include <string>

// Tuning rules shared by every front end: frequency entry and limits, mode
// keys, the drag accumulator.
namespace kovo {

struct AppSettings;

// Tuned frequencies never leave 100,000 .. 2,040,000,000 Hz.
std::uint32_t limitFrequency(std::int64_t hz);

// "%4d.%06d": megahertz and the six digits below.
std::string formatMegahertz(std::uint32_t hz);

// The mode the key of mode `key` (0..5) selects, given the current mode: with
// the synchronous-AM option the AM key cycles AM, SAM, SAL, SAH.
int modeForKey(int key, int currentMode, bool optSam);

// The IF bandwidth index a newly selected mode brings with it.
int defaultIfBandwidth(int newMode, int currentIfBandwidth, const AppSettings& settings);

// Which of the six mode keys stands for a mode (6..8 are shown on the AM key).
int modeKeyOf(int mode);
// Image of the AM key for a mode: 1 AM, 2 SAM, 3 SAL, 4 SAH (0 for other modes).
int amKeyImage(int mode);

// Position of the lowest bank bit 0..21 of a bank mask, 0 when there is none.
int bankOfMask(std::int32_t bankMask);

// Hertz of a right-button drag step: the sub-step, or ten times the main step
// for sub-step indices above 15.
std::uint32_t subStepHz(int subStep, int mainStep);

// Adds the units of successive moves; every `unitsPerStep` whole units make
// one step, and the remainder is kept with its sign. A drag of the direction
// pad counts pixels (8 to a step); a mouse wheel counts eighths of a degree
// (120 to a notch, finer on a touchpad).
class DragAccumulator {
public:
    static constexpr int kPixelsPerStep = 8;
    static constexpr int kWheelUnitsPerNotch = 120;

    explicit DragAccumulator(int unitsPerStep = kPixelsPerStep) : unitsPerStep_(unitsPerStep) {}
    // Adds d units and returns the whole steps they complete (may be negative).
    int add(int units);
    int pending() const { return units_; }
    void clear() { units_ = 0; }

private:
    int unitsPerStep_;
    int units_ = 0;
};

} // namespace kovo
