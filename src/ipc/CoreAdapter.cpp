#include "ipc/CoreAdapter.h"

#include "data/CKovo5Doc.h"
#include "scan/ReceiverCore.h"
#include "ui/CKovo5View.h"
#include "ui/database/DatabasePanel.h"

namespace kovo::ipc {
namespace {
constexpr int kBankView = 1;
constexpr int kSearchBankView = 2;
} // namespace

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

void CoreAdapter::setLinkFlags(std::uint32_t bits) {
    ops().setLinkFlags(bits);
    view_.databasePanel().rebuildList(kBankView);
}

void CoreAdapter::setSearchBanksInUse(std::uint32_t bits) {
    ops().setSearchBanksInUse(bits);
    view_.databasePanel().rebuildList(kSearchBankView);
}

void CoreAdapter::selectLinkSet(int k) {
    view_.databasePanel().selectLinkSet(k);
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
