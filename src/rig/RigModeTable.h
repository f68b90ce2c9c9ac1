#pragma once
#include <cstdint>
#include <vector>

#include "rig/RigControl.h"

namespace kovo::rig {

// Hamlib's mode bits (rmode_t) for a channel mode: the mode itself when the
// radio has it, otherwise the nearest one it has (narrow FM before wide FM
// and back, synchronous AM for AM, the other sideband or CW for SSB); 0 when
// the radio has none of them.
std::uint64_t nearestRigMode(RigMode wanted, std::uint64_t radioModes);

// One row of a radio's filter table: the modes it serves and its width in Hz,
// 0 when the radio takes any width for them.
struct RigFilter {
    std::uint64_t modes;
    long widthHz;
};

// The passband to ask for in `rigMode` when the channel wants `wantedHz`: the
// width itself when the radio takes any, else the nearest width its filters
// have for the mode; 0 (the radio's normal width) when nothing is wanted or
// the radio lists no filter for the mode.
long nearestPassband(std::uint64_t rigMode, int wantedHz, const std::vector<RigFilter>& filters);

} // namespace kovo::rig
