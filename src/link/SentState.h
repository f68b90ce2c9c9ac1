#pragma once
#include <cstdint>

namespace kovo {

// What the receiver was last told. Starts so that the first pass sends
// everything.
struct SentState {
    std::uint32_t sentFrequency = 0;
    int sentMode = -1;
    int sentIfBandwidth = -1;
    int sentAttenuator = -1;
    int sentFgSwitch = -1;
};

} // namespace kovo
