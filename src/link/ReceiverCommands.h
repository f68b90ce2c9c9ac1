#pragma once
#include <cstdint>
#include <string>
#include <string_view>

namespace kovo {

// The bytes of every command the receivers understand. The AR3000A ends its
// commands with CR; the AR3000 takes its tuning command unterminated.

// Megahertz with six decimals, trailing zeros cut; the point stays, so a whole
// number of megahertz reads "145.".
std::string frequencyText(std::uint32_t hz);

// AR3000A: "145.5\r".
std::string frequencyCommand(std::uint32_t hz);
// AR3000: attenuator letter, frequency text, mode letter, no terminator: "T145.5N".
std::string tuningCommand(std::string_view attenuatorLetter, std::uint32_t hz,
                          std::string_view modeLetter);
// "N\r", "W\r", ...
std::string modeCommand(std::string_view modeLetter);
// Attenuator on for index 1 or 2, off otherwise; CR-terminated for the AR3000A only.
std::string attenuatorCommand(int attenuatorIndex, bool ar3000);
// "F\r" (monitor on) when the switch is 1, "G\r" for any other value.
std::string monitorCommand(int fgSwitch);

inline constexpr std::string_view kSignalRequest = "Y\r";
inline constexpr std::string_view kProbeCommand = "\r";

} // namespace kovo
