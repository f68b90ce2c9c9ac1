#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// Rules of the front panel that need no widgets: frequency entry and limits,
// mode keys, the drag accumulator. Kept free of Qt so they are easy to test.
namespace kovo {

struct AppSettings;

inline constexpr std::uint32_t kLowestFrequency = 100'000;
inline constexpr std::uint32_t kHighestFrequency = 2'040'000'000;
inline constexpr std::uint64_t kMegahertz = 1'000'000;
inline constexpr std::uint64_t kKilohertz = 1'000;

// Tuned frequencies never leave 100,000 .. 2,040,000,000 Hz.
std::uint32_t limitFrequency(std::int64_t hz);

// Reads a decimal number of units (megahertz: unitHz 1,000,000; kilohertz:
// 1,000) exactly, truncated to whole hertz: leading blanks, an optional sign,
// digits with an optional point; anything after the number is ignored.
// Returns nothing for a text that does not start with a number (blank, empty,
// or words such as a comment).
std::optional<std::int64_t> parseDecimalHz(std::string_view text, std::uint64_t unitHz);

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

// Adds the pixels of successive moves; every 8 whole pixels make one step,
// and the remainder is kept with its sign.
class DragAccumulator {
public:
    // Adds d pixels and returns the whole steps they complete (may be negative).
    int add(int pixels);
    int pending() const { return pixels_; }
    void clear() { pixels_ = 0; }

    static constexpr int kPixelsPerStep = 8;

private:
    int pixels_ = 0;
};

} // namespace kovo
