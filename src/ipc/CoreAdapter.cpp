#include "ipc/CoreAdapter.h"

#include "data/CKovo5Doc.h"
#include "scan/ReceiverCore.h"

namespace kovo::ipc {

ReceiverOperations& CoreAdapter::ops() const {
    return core_.operations();
}

const CFrequencyData& CoreAdapter::tuningRecord() const {
    return doc_.mainRecord;
}

bool CoreAdapter::tuneExactly(std::uint32_t hz) {
    return ops().tuneExactly(hz);
}

// A mode from another program keeps the IF bandwidth tuned now.
void CoreAdapter::setMode(int mode) {
    (void)ops().setReceiverMode(mode, doc_.mainRecord.ifBandwidth);
}

void CoreAdapter::setStep(int step) {
    ops().chooseStep(step);
}

void CoreAdapter::setIfBandwidth(int ifBandwidth) {
    (void)ops().setIfBandwidth(ifBandwidth);
}

// Refused in memory scan, where each channel brings its own, as on the panel.
bool CoreAdapter::setAttenuator(int attenuator) {
    return ops().chooseAttenuator(attenuator);
}

void CoreAdapter::setAntenna(int antenna) {
    (void)ops().setAntenna(antenna);
}

bool CoreAdapter::applyState(const StateBlock& block) {
    CFrequencyData record = doc_.mainRecord;
    block.applyTo(record);
    return ops().replaceTunedRecord(record);
}

void CoreAdapter::setOperatingMode(int mode) {
    if (isKnownOperatingMode(mode))
        ops().setOperatingMode(static_cast<OperatingMode>(mode));
}

// The database panel's lists follow the document's notices.
void CoreAdapter::setLinkFlags(std::uint32_t bits) {
    ops().setLinkFlags(bits);
}

void CoreAdapter::setSearchBanksInUse(std::uint32_t bits) {
    ops().setSearchBanksInUse(bits);
}

void CoreAdapter::selectLinkSet(int k) {
    (void)ops().chooseLinkSet(k);
}

bool CoreAdapter::squelchOpen() const {
    return core_.loop().signal().squelchOpen != 0;
}

std::vector<std::string> CoreAdapter::bankNames() const {
    std::vector<std::string> names;
    for (const auto& bank : doc_.memoryBanks)
        names.push_back(bank.name);
    return names;
}

std::vector<std::string> CoreAdapter::searchBankComments() const {
    std::vector<std::string> names;
    for (const auto& bank : doc_.searchBanks)
        names.push_back(bank.comment);
    return names;
}

std::vector<std::string> CoreAdapter::linkSetNames() const {
    return {doc_.linkSetNames.begin(), doc_.linkSetNames.end()};
}

std::int32_t CoreAdapter::now() const {
    return std::int32_t(doc_.clock().nowSeconds());
}

bool CoreAdapter::saveForShutdown() {
    return !doc_.isModified() || (hooks_.saveIfModified && hooks_.saveIfModified());
}

void CoreAdapter::endProcess(int exitCode) {
    if (hooks_.endProcess)
        hooks_.endProcess(exitCode);
}

} // namespace kovo::ipc
