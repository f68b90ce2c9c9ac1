#pragma once
#include <cstdint>
#include <optional>
#include <string>

#include "rig/RigControl.h"

namespace kovo::rig {

// What one radio can do, as Hamlib describes its model once it is open.
struct RigCapabilities {
    int model = 0;
    std::string name;            // maker and model, as Hamlib names them
    std::uint64_t modes = 0;     // Hamlib's mode bits (rmode_t) it receives
    bool attenuator = false;     // it has an attenuator it can be told to set
    int antennas = 0;            // antenna inputs it can be switched between
    bool toneSquelch = false;    // CTCSS: a tone list and a tone squelch
    bool squelchReport = false;  // it reports its squelch (DCD)
    std::uint32_t lowestHz = 0;  // the lowest and highest frequency it
    std::uint32_t highestHz = 0; // receives; 0 and 0 when Hamlib lists none

    bool receives(RigMode mode) const;
};

// The channel mode (a row of the mode table: 0 NFM, 1 WFM, 2 AM, 3 LSB,
// 4 USB, 5 CW) the radio is actually tuned to for a channel in `channelMode`:
// the mode itself when the radio has it, the nearest it has otherwise, and
// nothing when it has none near. Synchronous AM (6 to 8) goes out as AM.
std::optional<int> tunedChannelMode(int channelMode, std::uint64_t radioModes);

// The channel database's mode for a channel mode row, if it is one.
std::optional<RigMode> rigModeOf(int channelMode);

} // namespace kovo::rig
