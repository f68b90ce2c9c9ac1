#include "link/ReceiverCommands.h"

#include <cstdio>

namespace kovo {

std::string frequencyText(std::uint32_t hz) {
    char buffer[24];
    std::snprintf(buffer, sizeof buffer, "%u.%06u", unsigned(hz / 1000000u),
                  unsigned(hz % 1000000u));
    std::string text(buffer);
    while (!text.empty() && text.back() == '0')
        text.pop_back();
    return text;
}

std::string frequencyCommand(std::uint32_t hz) {
    return frequencyText(hz) + '\r';
}

std::string tuningCommand(std::string_view attenuatorLetter, std::uint32_t hz,
                          std::string_view modeLetter) {
    std::string command(attenuatorLetter);
    command += frequencyText(hz);
    command += modeLetter;
    return command;
}

std::string modeCommand(std::string_view modeLetter) {
    std::string command(modeLetter);
    command += '\r';
    return command;
}

std::string attenuatorCommand(int attenuatorIndex, bool ar3000) {
    std::string command = (attenuatorIndex == 1 || attenuatorIndex == 2) ? "R" : "T";
    if (!ar3000)
        command += '\r';
    return command;
}

std::string monitorCommand(int fgSwitch) {
    return fgSwitch == 1 ? "F\r" : "G\r";
}

} // namespace kovo
