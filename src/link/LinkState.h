#pragma once
#include <cstdint>
#include <string>

namespace kovo {

// What the receiver was last told. Starts so that the first pass sends
// everything.
struct SentState {
    std::uint32_t sentFrequency = 0;
    int sentMode = -1;
    int sentAttenuator = -1;
    int sentFgSwitch = -1;
};

// Reply-side state of the link.
struct LinkState {
    std::string lineBuffer; // the reply being assembled
    int echoCount = 0;      // AR3000: signal-shaped replies to swallow after a tuning command
    int settleCount = 0;    // squelch-closed reports still to let pass after a jump (0..20)
    int squelchOpen = 0;    // from the last signal report
    int signalLevel = 0;    // level letter minus 'A'; 0 with the squelch closed
    int signalValue = 0;    // signalLevel limited to 15
};

} // namespace kovo
