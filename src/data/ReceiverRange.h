#pragma once
#include <algorithm>
#include <cstdint>

namespace kovo {

// The frequencies the receiver tunes: 100,000 .. 2,040,000,000 Hz.
inline constexpr std::uint32_t kLowestFrequency = 100'000;
inline constexpr std::uint32_t kHighestFrequency = 2'040'000'000;

constexpr bool isReceiverFrequency(std::uint32_t hz) {
    return hz >= kLowestFrequency && hz <= kHighestFrequency;
}

// The nearest frequency the receiver tunes.
constexpr std::uint32_t nearestReceiverFrequency(std::uint32_t hz) {
    return std::clamp(hz, kLowestFrequency, kHighestFrequency);
}

} // namespace kovo
