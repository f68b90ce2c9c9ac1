#include "CControlParams.h"

#include <cstdio>
#include <stdexcept>

#include "Archive.h"

namespace kovo {
namespace {

using Field = std::int32_t CControlParams::*;

// Every single field by position; p50..p64 (modeEnabled) are handled apart.
constexpr int kFirstModeIndex = (0x50 - 0x04) / 4;
constexpr std::array<Field, CControlParams::kFieldCount - CControlParams::kModes> kScalarFields{
    &CControlParams::autoStore,
    &CControlParams::operatingMode,
    &CControlParams::fgSwitch,
    &CControlParams::p10,
    &CControlParams::autoMode,
    &CControlParams::stepAdjust,
    &CControlParams::p1C,
    &CControlParams::bandScopeShown,
    &CControlParams::modeFilter,
    &CControlParams::pause,
    &CControlParams::p2C,
    &CControlParams::voiceSquelch,
    &CControlParams::delaySeconds,
    &CControlParams::levelAutoStoreOff,
    &CControlParams::levelAutoStoreOn,
    &CControlParams::p40,
    &CControlParams::scopeRange,
    &CControlParams::direction,
    &CControlParams::p4C,
    // p50..p64: modeEnabled
    &CControlParams::p68,
    &CControlParams::searchBankIndex,
    &CControlParams::databaseView,
    &CControlParams::afc,
    &CControlParams::manualTuning,
    &CControlParams::subStep,
    &CControlParams::logging,
    &CControlParams::tuningOffset,
    &CControlParams::priorityScan,
    &CControlParams::noiseBlanker,
    &CControlParams::ctcssSwitch,
    &CControlParams::decoderMode,
    &CControlParams::currentLinkSet,
};

constexpr std::array<int, CControlParams::kStoredCount> kStoredOrder{
    0x04, 0x08, 0x0C, 0x14, 0x18, 0x1C, 0x20, 0x24, 0x28, 0x2C, 0x30, 0x34,
    0x38, 0x3C, 0x40, 0x44, 0x48, 0x4C, 0x10, 0x74, 0x78, 0x7C, 0x80, 0x84,
    0x88, 0x8C, 0x90, 0x94, 0x98, 0x50, 0x54, 0x58, 0x5C, 0x60, 0x64, 0x68};

int indexOf(int offset) {
    if (!CControlParams::isFieldOffset(offset))
        throw std::out_of_range("no control parameter at this offset");
    return (offset - 0x04) / 4;
}

} // namespace

std::int32_t& CControlParams::at(int offset) {
    const int index = indexOf(offset);
    if (index >= kFirstModeIndex && index < kFirstModeIndex + kModes)
        return modeEnabled[static_cast<std::size_t>(index - kFirstModeIndex)];
    const int scalar = index < kFirstModeIndex ? index : index - kModes;
    return this->*kScalarFields[static_cast<std::size_t>(scalar)];
}

std::int32_t CControlParams::at(int offset) const {
    return const_cast<CControlParams*>(this)->at(offset);
}

const std::array<int, CControlParams::kStoredCount>& CControlParams::storedOrder() {
    return kStoredOrder;
}

std::string CControlParams::positionName(int offset) {
    char name[8];
    std::snprintf(name, sizeof name, "p%02X", static_cast<unsigned>(offset) & 0xFFu);
    return name;
}

void CControlParams::setNewDocumentValues() {
    const CControlParams kept = *this;
    *this = CControlParams();
    for (int offset : {0x1C, 0x2C, 0x48, 0x4C, 0x68})
        at(offset) = kept.at(offset);
    operatingMode = 5;
    p10 = 120;
    autoMode = 1;
    stepAdjust = 1;
    delaySeconds = 2;
    levelAutoStoreOff = 60;
    levelAutoStoreOn = 5;
    p40 = 64;
    scopeRange = 3;
    modeEnabled.fill(1);
    subStep = 16;
}

void CControlParams::serialize(Archive& archive) {
    for (int offset : kStoredOrder)
        archive.io(at(offset));
    if (archive.isLoading() && delaySeconds < kMinimumDelay)
        delaySeconds = kMinimumDelay;
}

} // namespace kovo
