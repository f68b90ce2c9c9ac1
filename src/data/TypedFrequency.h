#pragma once
#include <cstdint>
#include <limits>
#include <optional>
#include <string_view>

#include "ReceiverRange.h"

// Frequencies typed by the user or sent as text by another program, wherever
// they arrive: the panel's fields, the keypad, the database lists' editors,
// the web remote, the rigctl command line, kovoctl, the history filter and
// imported channel lists all read the text here, the same way.
namespace kovo {

inline constexpr std::uint64_t kMegahertz = 1'000'000;
inline constexpr std::uint64_t kKilohertz = 1'000;

// The frequencies a caller takes, in hertz, both ends included.
struct FrequencyRange {
    std::uint32_t lowestHz = kLowestFrequency;
    std::uint32_t highestHz = kHighestFrequency;
    constexpr bool contains(std::int64_t hz) const {
        return hz >= std::int64_t(lowestHz) && hz <= std::int64_t(highestHz);
    }
    bool operator==(const FrequencyRange&) const = default;
};

// Every frequency a 32-bit count of hertz holds: for a caller that leaves
// the range to the receiver behind it (which refuses what it cannot tune).
inline constexpr FrequencyRange kAnyFrequency{0, std::numeric_limits<std::uint32_t>::max()};

// Reads a typed decimal number of units (megahertz: unitHz 1,000,000;
// kilohertz: 1,000) exactly, truncated to whole hertz. The whole text must be
// the number: blanks around it, digits with at most one decimal point (a comma
// stands for the point), at least one digit. Anything else (empty, words, a
// sign, an exponent, a second point, trailing text) is not a frequency and
// gives nothing, so that a slip of the keyboard never tunes elsewhere.
std::optional<std::int64_t> parseDecimalHz(std::string_view text, std::uint64_t unitHz);

// Typed text read as a frequency of a range: the hertz, or why it is none.
struct TypedFrequency {
    enum class Verdict { Frequency, NotANumber, OutOfRange };
    Verdict verdict = Verdict::NotANumber;
    std::uint32_t hz = 0; // the frequency, when the verdict is Frequency
    explicit operator bool() const { return verdict == Verdict::Frequency; }
};

// `text` in units of `unitHz` (see parseDecimalHz), taken only inside `range`.
TypedFrequency readTypedFrequency(std::string_view text, FrequencyRange range,
                                  std::uint64_t unitHz = kMegahertz);

// Typed megahertz that name a frequency of `range` (by default the one the
// AR receivers tune), or nothing.
std::optional<std::uint32_t> parseTypedMegahertz(std::string_view text,
                                                 FrequencyRange range = FrequencyRange{});

// True for empty text or text of blanks only.
bool isBlank(std::string_view text);

} // namespace kovo
