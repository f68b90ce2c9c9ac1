#include "link/ReceiverCommands.h"

#include <cstdio>
#include <string>

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

std::string frequencyCommand(std::uint32_t hz, const ReceiverDescription& receiver) {
    return frequencyText(hz) + std::string(receiver.tuningEnd);
}

std::string tuningCommand(std::string_view attenuatorLetter, std::uint32_t hz,
                          std::string_view modeLetter, const ReceiverDescription& receiver) {
    std::string command(attenuatorLetter);
    command += frequencyText(hz);
    command += modeLetter;
    command += receiver.tuningEnd;
    return command;
}

std::string modeCommand(std::string_view modeLetter, const ReceiverDescription& receiver,
                        int passbandHz) {
    std::string command(modeLetter);
    if (receiver.modeCarriesPassband && passbandHz > 0)
        command += " " + std::to_string(passbandHz);
    command += receiver.commandEnd;
    return command;
}

std::string attenuatorCommand(int attenuatorIndex, const ReceiverDescription& receiver) {
    std::string command = (attenuatorIndex == 1 || attenuatorIndex == 2) ? "R" : "T";
    command += receiver.attenuatorEnd;
    return command;
}

std::string monitorCommand(int fgSwitch, const ReceiverDescription& receiver) {
    std::string command = fgSwitch == 1 ? "F" : "G";
    command += receiver.commandEnd;
    return command;
}

} // namespace kovo
