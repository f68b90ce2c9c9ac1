#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "link/ReceiverDescription.h"

namespace kovo {

// The bytes of every command the receivers understand; the endings come from
// the receiver's description.

// Megahertz with six decimals, trailing zeros cut; the point stays, so a whole
// number of megahertz reads "145.".
std::string frequencyText(std::uint32_t hz);

// The frequency alone: "145.5\r" for a receiver that ends it with CR.
std::string frequencyCommand(std::uint32_t hz, const ReceiverDescription& receiver);
// Attenuator letter, frequency text, mode letter: "T145.5N" when unterminated.
std::string tuningCommand(std::string_view attenuatorLetter, std::uint32_t hz,
                          std::string_view modeLetter, const ReceiverDescription& receiver);
// "N\r", "W\r", ...; "N 15000\r" with a passband for a receiver whose mode
// command carries one (a passband of 0 is left out).
std::string modeCommand(std::string_view modeLetter, const ReceiverDescription& receiver,
                        int passbandHz = 0);
// Attenuator on ("R") for index 1 or 2, off ("T") otherwise.
std::string attenuatorCommand(int attenuatorIndex, const ReceiverDescription& receiver);
// "F\r" (monitor on) when the switch is 1, "G\r" for any other value.
std::string monitorCommand(int fgSwitch, const ReceiverDescription& receiver);

} // namespace kovo
