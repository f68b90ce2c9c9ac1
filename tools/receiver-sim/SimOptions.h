#pragma once
#include <string>
#include <utility>
#include <vector>

namespace kovo::sim {

// Everything that shapes one simulated receiver and its pseudo-terminal.
struct SimOptions {
    bool ar3000 = false;           // false: AR3000A
    int baud = 9600;               // 4800, 9600 or 19200
    int latencyMs = 0;             // added before every answer
    bool pacing = true;            // characters take 11 bits each on the line
    int reportIntervalMs = 200;    // AR3000: time between unprompted reports
    int attenuatorLetters = 3;     // report letters the attenuator takes off a signal
    std::string planFile;          // empty: the built-in demo plan
    std::string linkPath;          // symbolic link to the pty's device, if not empty
    std::string logPath;           // transcript file, if not empty
    std::vector<long> dropReplies; // answers (1-based) that are never sent
    // Answers (1-based) sent late, with their extra delay in ms. The receiver
    // is busy meanwhile: nothing it says after them overtakes them.
    std::vector<std::pair<long, int>> delayReplies;
    bool mute = false;   // never answer, never report
    int rigctlPort = -1; // 0..65535: the Hamlib network face on this port instead of a pty
    int rtlTcpPort = -1; // 0..65535: the rtl_tcp (SDR) face on this port instead of a pty
};

} // namespace kovo::sim
