#pragma once
#include <cstdint>
#include <string>
#include <string_view>

namespace kovo::sim {

// The tuning range the receiver accepts, in hertz.
inline constexpr std::uint32_t kLowestHz = 100000;
inline constexpr std::uint32_t kHighestHz = 2040000000;

// Reads a frequency written in megahertz with at most six decimals ("145.5",
// "145.", ".5", "433.920000") exactly, without floating point. Returns false
// for anything else, including values beyond 32 bits; the range above is the
// caller's to check.
bool parseMegahertz(std::string_view text, std::uint32_t* hertz);

// Upper case for ASCII letters only; every other byte stays as it is.
constexpr char upperAscii(char c) {
    return c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c;
}
inline std::string upperAscii(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        c = upperAscii(c);
    return out;
}

} // namespace kovo::sim
