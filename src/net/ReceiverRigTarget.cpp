#include "net/ReceiverRigTarget.h"

#include "data/CKovo5Doc.h"
#include "scan/ReceiverCore.h"

namespace kovo {

// Frequency, mode and bandwidth all describe the record the receiver is tuned
// to (the priority channel while it is being checked), as the web page does.
const CFrequencyData& ReceiverRigTarget::tunedRecord() const {
    return core_.scanState().activeRecord();
}

std::uint32_t ReceiverRigTarget::frequency() const {
    return tunedRecord().frequency;
}

bool ReceiverRigTarget::tune(std::uint32_t hz) {
    return core_.operations().tuneInVfo(hz);
}

int ReceiverRigTarget::mode() const {
    return tunedRecord().mode;
}

int ReceiverRigTarget::ifBandwidth() const {
    return tunedRecord().ifBandwidth;
}

bool ReceiverRigTarget::hasMode(int mode) const {
    return core_.operations().offersMode(mode);
}

void ReceiverRigTarget::setMode(int mode, std::optional<int> ifBandwidth) {
    if (hasMode(mode))
        (void)core_.operations().setReceiverMode(mode, ifBandwidth);
}

std::optional<int> ReceiverRigTarget::signalValue() const {
    if (!receiverAnswering())
        return std::nullopt;
    const SignalState& s = core_.loop().signal();
    return s.squelchOpen == 1 ? s.signalValue : 0;
}

bool ReceiverRigTarget::receiverAnswering() const {
    return core_.link().status() == LinkStatus::Polling;
}

} // namespace kovo
