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

CFrequencyData& CoreAdapter::tuningRecord() {
    return doc_.mainRecord;
}

void CoreAdapter::tuneExactly(std::uint32_t hz) {
    doc_.mainRecord.frequency = hz;
    const int channel = doc_.findChannel(hz);
    if (channel >= 0)
        doc_.takeChannelInfo(channel);
    else
        doc_.clearChannelInfo();
}

void CoreAdapter::refreshPanels() {
    view_.refreshPanels();
}

void CoreAdapter::setOperatingMode(int mode) {
    core_.setOperatingMode(mode);
}

void CoreAdapter::setLinkFlags(std::uint32_t bits) {
    doc_.setLinkFlags(bits);
    doc_.computeLinkMask();
    doc_.countReachable();
    view_.databasePanel().rebuildList(kBankView); // counts the channels per bank
}

void CoreAdapter::setSearchBanksInUse(std::uint32_t bits) {
    doc_.setSearchBanksInUse(bits);
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
