#pragma once
#include <array>

#include "data/AppSettings.h"
#include "link/PortDescription.h"
#include "link/ReceiverDescription.h"

namespace kovo {

// Bits per second for the "CommSpeed" index.
inline constexpr std::array<int, 3> kCommSpeedTable{4800, 9600, 19200};

// The receiver's line at the speed of the "CommSpeed" index (the first
// speed for an index outside the table).
LineSetting receiverLine(const ReceiverDescription& receiver, int speedIndex);

// Where `receiver` is reached for COM<portNumber>: the Hamlib radio of the
// settings for a receiver reached through Hamlib, else the port's device
// text, read for each opening.
PortDescription describeReceiverPort(const AppSettings& settings,
                                     const ReceiverDescription& receiver, int portNumber);

} // namespace kovo
