#pragma once
#include <cstdint>
#include <optional>
#include <string_view>

#include "ReceiverRange.h"

// Frequencies typed by the user, wherever they are typed: the panel's
// fields, the keypad and the database lists' editors all read the text the
// same way and know the same range.
namespace kovo {

inline constexpr std::uint64_t kMegahertz = 1'000'000;
inline constexpr std::uint64_t kKilohertz = 1'000;

// Reads a typed decimal number of units (megahertz: unitHz 1,000,000;
// kilohertz: 1,000) exactly, truncated to whole hertz. The whole text must be
// the number: blanks around it, digits with at most one decimal point (a comma
// stands for the point), at least one digit. Anything else (empty, words, a
// sign, an exponent, a second point, trailing text) is not a frequency and
// gives nothing, so that a slip of the keyboard never tunes elsewhere.
std::optional<std::int64_t> parseDecimalHz(std::string_view text, std::uint64_t unitHz);

// Typed megahertz that name a frequency the receiver can take, or nothing:
// text that is not a number, or a number outside kLowestFrequency ..
// kHighestFrequency.
std::optional<std::uint32_t> parseTypedMegahertz(std::string_view text);

// True for empty text or text of blanks only.
bool isBlank(std::string_view text);

} // namespace kovo
