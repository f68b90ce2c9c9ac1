#pragma once
#include <array>
#include <cstdint>
#include <string_view>

namespace kovo::sim {

// The receiver's demodulation modes in the order of their command letters.
inline constexpr std::string_view kModeLetters = "NWALUC";

// Index of a mode letter in kModeLetters, or -1.
constexpr int modeIndexOfLetter(char c) {
    const auto pos = kModeLetters.find(c);
    return pos == std::string_view::npos ? -1 : int(pos);
}

// What the receiver is tuned to, as its own memory holds it.
struct ReceiverState {
    std::uint32_t frequencyHz = 145000000;
    int mode = 0;            // index into kModeLetters
    bool attenuator = false; // "R" on, "T" off
    bool monitor = false;    // "F" on, "G" off

    friend bool operator==(const ReceiverState&, const ReceiverState&) = default;
};

} // namespace kovo::sim
