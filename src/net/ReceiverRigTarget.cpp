#include "net/ReceiverRigTarget.h"

#include "data/AppSettings.h"
#include "data/CKovo5Doc.h"
#include "scan/ReceiverCore.h"
#include "scan/ScanSteps.h"
#include "scan/TuningRules.h"
#include "scan/ViewSink.h"

namespace kovo {

namespace {

constexpr int kOperatingModeVfo = 5;
constexpr int kModeCount = 9;
constexpr int kFirstSynchronousAm = 6;
constexpr int kIfBandwidthCount = 7;

} // namespace

std::uint32_t ReceiverRigTarget::frequency() const {
    // The record the receiver is tuned to: the priority channel while it is
    // being checked.
    return doc_.priorityCheck ? doc_.priorityRecord.frequency : doc_.mainRecord.frequency;
}

void ReceiverRigTarget::tune(std::uint32_t hz) {
    if (doc_.controlParams.operatingMode != kOperatingModeVfo)
        core_.setOperatingMode(kOperatingModeVfo);
    CFrequencyData& r = doc_.mainRecord;
    r.frequency = limitFrequency(hz);
    doc_.normaliseFrequency();
    r.frequency = limitFrequency(r.frequency);
    lookUpTunedChannel(doc_);
    view_.refreshPanels();
}

int ReceiverRigTarget::mode() const {
    return doc_.mainRecord.mode;
}

int ReceiverRigTarget::ifBandwidth() const {
    return doc_.mainRecord.ifBandwidth;
}

bool ReceiverRigTarget::hasMode(int mode) const {
    if (mode < 0 || mode >= kModeCount)
        return false;
    return mode < kFirstSynchronousAm || settings_.optSam == 1;
}

void ReceiverRigTarget::setMode(int mode, std::optional<int> ifBandwidth) {
    if (!hasMode(mode))
        return;
    const bool known = ifBandwidth && *ifBandwidth >= 0 && *ifBandwidth < kIfBandwidthCount;
    doc_.setTunedMode(mode, known
                                ? *ifBandwidth
                                : defaultIfBandwidth(mode, doc_.mainRecord.ifBandwidth, settings_));
    view_.refreshPanels();
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
