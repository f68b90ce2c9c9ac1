#include <algorithm>
#include <array>

#include "DocumentFormat.h"
#include "ValueTables.h"

// The older document format: fixed items with no tags, frequencies in units of
// 10 Hz and step codes instead of step indices. Read only.
namespace kovo {
namespace {

constexpr int kLegacyBanks = 16;
constexpr int kLegacyRanges = 16;
// Bank 15 of the older format is the pass-channel bank.
constexpr std::int32_t kLegacyPassBank = 15;
constexpr std::int32_t kDefaultAttenuator = 3;

std::uint32_t readF10(Archive& archive) {
    return archive.readUInt32() * 10u;
}

std::int32_t readStepCode(Archive& archive) {
    return legacyStepIndex(archive.readInt32());
}

// Default IF bandwidth of modes 0..5 (NFM, WFM, AM, LSB, USB, CW); the older
// format stored none.
constexpr std::array<std::int32_t, 6> kModeDefaultIfBandwidth{3, 6, 2, 1, 1, 1};
constexpr std::int32_t kOtherModeIfBandwidth = 3;

std::int32_t modeDefaultIfBandwidth(std::int32_t mode) {
    if (mode < 0 || mode >= static_cast<std::int32_t>(kModeDefaultIfBandwidth.size()))
        return kOtherModeIfBandwidth;
    return kModeDefaultIfBandwidth[static_cast<std::size_t>(mode)];
}

void readParameters(CControlParams& params, Archive& archive) {
    // Item order of the older file; p08 appears twice and the later one counts.
    for (int offset :
         {0x1C, 0x04, 0x08, 0x0C, 0x4C, 0x68, 0x08, 0x48, 0x34, 0x28, 0x38, 0x2C, 0x3C, 0x44})
        params.at(offset) = archive.readInt32();
    archive.readInt32();
    archive.readInt32();
    if (params.delaySeconds < CControlParams::kMinimumDelay)
        params.delaySeconds = CControlParams::kMinimumDelay;
}

void readMainRecord(CFrequencyData& record, Archive& archive) {
    record.bankMask = archive.readInt32();
    record.frequency = readF10(archive);
    record.mode = archive.readInt32();
    record.ifBandwidth = modeDefaultIfBandwidth(record.mode);
    record.step = readStepCode(archive);
    record.signal = archive.readInt32();
    record.maxSignal = archive.readInt32();
    record.heardTime = archive.readInt32();
    record.heard = archive.readByte();
    record.comment = archive.readString();
}

void readRanges(DocumentContents& contents, Archive& archive) {
    for (int k = 0; k < kLegacyBanks; ++k) {
        auto& bank = contents.memoryBanks[static_cast<std::size_t>(k)];
        bank.linkFlags[0] = archive.readByte();
        bank.name = archive.readString();
    }
    for (int k = 0; k < kLegacyRanges; ++k) {
        auto& pass = contents.passRanges[static_cast<std::size_t>(k)];
        pass.inUse = archive.readByte();
        pass.lowFrequency = readF10(archive);
        pass.highFrequency = readF10(archive);
        pass.comment.clear();
    }
    for (int k = 0; k < kLegacyRanges; ++k) {
        auto& search = contents.searchBanks[static_cast<std::size_t>(k)];
        search.inUse = archive.readByte();
        search.mode = archive.readByte();
        search.startFrequency = readF10(archive);
        search.stopFrequency = readF10(archive);
        search.step = readStepCode(archive);
        search.comment = archive.readString();
    }
    for (int k = 0; k < kLegacyRanges; ++k) {
        auto& range = contents.autoRanges[static_cast<std::size_t>(k)];
        range.inUse = archive.readByte();
        range.mode = archive.readByte();
        range.ifBandwidth = modeDefaultIfBandwidth(range.mode);
        range.startFrequency = readF10(archive);
        range.stopFrequency = readF10(archive);
        range.step = readStepCode(archive);
    }
}

std::unique_ptr<CFrequencyData> readLegacyChannel(Archive& archive) {
    auto channel = std::make_unique<CFrequencyData>();
    std::int32_t bank = archive.readInt32();
    if (bank == kLegacyPassBank)
        bank = kPassBank;
    channel->bankMask = (bank >= 0 && bank < 32) ? static_cast<std::int32_t>(1u << bank) : 0;
    channel->frequency = readF10(archive);
    channel->mode = archive.readInt32();
    channel->ifBandwidth = modeDefaultIfBandwidth(channel->mode);
    channel->step = readStepCode(archive);
    channel->signal = archive.readInt32();
    channel->maxSignal = archive.readInt32();
    channel->heardTime = archive.readInt32();
    channel->heard = archive.readByte();
    channel->comment = archive.readString();
    channel->antenna = 0;
    channel->attenuator = kDefaultAttenuator;
    return channel;
}

} // namespace

void readLegacyDocumentFile(DocumentContents& contents, Archive& archive) {
    const std::int32_t channelCount = readTableCount(archive, kMaxChannels);
    readParameters(contents.controlParams, archive);
    readMainRecord(contents.mainRecord, archive);
    readRanges(contents, archive);
    contents.truncateChannels(0);
    for (int i = 0; i < channelCount; ++i) {
        contents.channels[static_cast<std::size_t>(i)] = readLegacyChannel(archive);
        contents.channelCount = i + 1;
    }
    if (contents.priorityIndex < 0 || contents.priorityIndex >= std::max(channelCount, 1))
        contents.priorityIndex = 0;
}

} // namespace kovo
