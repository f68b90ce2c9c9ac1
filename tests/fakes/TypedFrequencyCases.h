#pragma once
// Typed megahertz as every front end reads them (the panel's fields, the web
// remote, the rigctl command line, kovoctl, the history filter, imported
// lists): each front end's test runs its own path over this one table, so
// that a text taken by one is taken by all, as the same frequency.
#include <cstdint>
#include <optional>

namespace kovo::test {

struct TypedFrequencyCase {
    const char* text;
    // The hertz the text names; none when it is not a number of megahertz.
    std::optional<std::uint32_t> hz;
    // Whether the AR receivers tune it (0.1 .. 2040 MHz).
    bool tuned = false;
};

inline constexpr TypedFrequencyCase kTypedFrequencyCases[] = {
    {"145.5", 145'500'000, true},
    {"145.", 145'000'000, true},
    {"145,5", 145'500'000, true},
    {" 430.0125 ", 430'012'500, true},
    {".5", 500'000, true},
    {"0.1", 100'000, true},
    {"2040", 2'040'000'000, true},
    {"145.0000005", 145'000'000, true}, // below one hertz is cut
    {"0", 0, false},
    {"0.09995", 99'950, false},
    {"2040.00005", 2'040'000'050, false},
    {"3400", 3'400'000'000u, false},
    {"abc", std::nullopt},
    {"-5", std::nullopt},
    {"+145", std::nullopt},
    {"1e9", std::nullopt},
    {"1e2", std::nullopt},
    {"0x10", std::nullopt},
    {"145.5.5", std::nullopt},
    {"145,5.5", std::nullopt},
    {"145.5MHz", std::nullopt},
    {"145 5", std::nullopt},
    {".", std::nullopt},
    {"", std::nullopt},
};

} // namespace kovo::test
