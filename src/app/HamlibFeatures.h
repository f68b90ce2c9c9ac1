#pragma once
#include "link/ReceiverFeatures.h"
#include "rig/RigCapabilities.h"

namespace kovo {

// The panel features of a radio Hamlib drives, from what Hamlib says of its
// model: what it lacks is shown unusable, with the reason naming the model;
// a mode it lacks says which mode its channels are tuned in instead. The
// voice squelch and the tone eliminator are the AR3000A's own and no Hamlib
// radio has them.
ReceiverFeatures hamlibFeatures(const rig::RigCapabilities& radio);

} // namespace kovo
