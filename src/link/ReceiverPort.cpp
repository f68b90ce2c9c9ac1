#include "link/ReceiverPort.h"

#include <string>

namespace kovo {

LineSetting receiverLine(const ReceiverDescription& receiver, int speedIndex) {
    if (speedIndex < 0 || speedIndex >= int(kCommSpeedTable.size()))
        speedIndex = 0;
    return receiver.line(kCommSpeedTable[std::size_t(speedIndex)]);
}

PortDescription describeReceiverPort(const AppSettings& settings,
                                     const ReceiverDescription& receiver, int portNumber) {
    if (receiver.reachedThroughHamlib) {
        PortDescription radio;
        radio.kind = PortDescription::Kind::Hamlib;
        radio.path = settings.hamlibPort;
        radio.text = "Hamlib model " + std::to_string(settings.hamlibModel);
        radio.hamlib = {settings.hamlibModel, settings.hamlibSpeed, settings.hamlibThreshold,
                        settings.hamlibSettle, settings.hamlibUseDcd != 0};
        return radio;
    }
    if (portNumber < 1 || portNumber > int(settings.comDevice.size())) {
        PortDescription none;
        none.problem = "COM" + std::to_string(portNumber) + " is not a port of this program";
        return none;
    }
    return PortDescription::parse(settings.comDevice[std::size_t(portNumber - 1)]);
}

} // namespace kovo
