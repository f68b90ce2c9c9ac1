#pragma once
#include <cstdint>

#include "rig/RigControl.h"

namespace kovo::rig {

// Hamlib's mode bits (rmode_t) for a channel mode: the mode itself when the
// radio has it, otherwise the nearest one it has (narrow FM before wide FM
// and back, synchronous AM for AM, the other sideband or CW for SSB); 0 when
// the radio has none of them.
std::uint64_t nearestRigMode(RigMode wanted, std::uint64_t radioModes);

} // namespace kovo::rig
