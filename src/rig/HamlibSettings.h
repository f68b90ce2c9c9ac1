#pragma once
#include <string>

namespace kovo::rig {

// Which radio Hamlib drives and how it is reached.
struct HamlibSettings {
    // Hamlib's model number: 1 is its dummy rig, 2 its network client.
    int model = 1;
    // A device path, or host:port for the network client.
    std::string port;
    // Bit/s; 0 keeps the model's default.
    int speed = 0;
    // Squelch for radios that cannot report it: open at this strength (dB
    // relative to S9) and above.
    int thresholdDb = -42;
    // Whether the radio's own squelch report (DCD) decides, where the model
    // has one; otherwise the threshold does.
    bool useDcd = true;
    // Wait after a new frequency before the signal is read, in ms; negative
    // takes the model's own figure.
    int settleMs = -1;
};

} // namespace kovo::rig
