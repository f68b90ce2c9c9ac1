#include "DatabaseEdits.h"

namespace kovo::edits {
namespace {

constexpr int kNfm = 0;
constexpr int kWfm = 1;
constexpr int kFirstWideBandwidth = 5;
constexpr int kNarrowDefaultBase = 2;
constexpr std::uint32_t k230MHz = 230'000'000;
constexpr std::uint32_t k1GHz = 1'000'000'000;

std::size_t at(int i) {
    return static_cast<std::size_t>(i);
}

// Calls f(record, frequency the attenuator rule tests) for each selected row
// of table 0, 2 or 4.
template <typename F>
bool forEachSettingsRecord(DocumentContents& doc, int table, const std::vector<int>& rows, F f) {
    bool touched = false;
    for (int row : rows) {
        if (table == Channels && row >= 0 && row < doc.channelCount) {
            CFrequencyData& ch = *doc.channels[at(row)];
            f(ch, ch.frequency);
        } else if (table == SearchBanks && row >= 0 && row < kRangeCount) {
            CSearchBank& bank = doc.searchBanks[at(row)];
            f(bank, bank.stopFrequency);
        } else if (table == AutoRanges && row >= 0 && row < kRangeCount) {
            CAutoBank& range = doc.autoRanges[at(row)];
            f(range, range.stopFrequency);
        } else {
            continue;
        }
        touched = true;
    }
    return touched;
}

template <typename Field> void assign(Field& field, int value) {
    field = static_cast<Field>(value);
}

} // namespace

int firstBankOf(std::int32_t bankMask) {
    const auto mask = static_cast<std::uint32_t>(bankMask);
    for (int b = 0; b < kBankCount; ++b)
        if (mask & (1u << b))
            return b;
    return 0;
}

void numberChannelsWithinBanks(DocumentContents& doc) {
    std::array<std::int32_t, kBankCount> next{};
    for (int i = 0; i < doc.channelCount; ++i) {
        CFrequencyData& ch = *doc.channels[at(i)];
        ch.bankNumber = next[at(firstBankOf(ch.bankMask))]++;
    }
    for (CFrequencyData* record : {&doc.mainRecord, &doc.priorityRecord}) {
        for (int i = 0; i < doc.channelCount; ++i)
            if (doc.channels[at(i)]->frequency == record->frequency)
                record->bankNumber = doc.channels[at(i)]->bankNumber;
    }
}

bool setBankMembership(DocumentContents& doc, const std::vector<int>& rows, int bank,
                       bool multiBank) {
    if (bank < 0 || bank >= kBankCount)
        return false;
    bool touched = false;
    for (int row : rows) {
        if (row < 0 || row >= doc.channelCount)
            continue;
        CFrequencyData& ch = *doc.channels[at(row)];
        if (multiBank) {
            ch.bankMask ^= std::int32_t(1) << bank;
            if (ch.bankMask == 0)
                ch.bankMask = 1;
        } else {
            ch.bankMask = std::int32_t(1) << bank;
        }
        touched = true;
    }
    return touched;
}

std::int32_t bandwidthForMode(int mode, std::int32_t ifBandwidth, const AppSettings& settings) {
    if (mode == kWfm && ifBandwidth < kFirstWideBandwidth)
        return settings.wfmBandWidth + kFirstWideBandwidth;
    if (mode == kNfm && ifBandwidth >= kFirstWideBandwidth)
        return settings.nfmBandWidth + kNarrowDefaultBase;
    return ifBandwidth;
}

std::int32_t modeForBandwidth(std::int32_t mode, int ifBandwidth) {
    if (ifBandwidth >= kFirstWideBandwidth && mode == kNfm)
        return kWfm;
    if (ifBandwidth < kFirstWideBandwidth && mode == kWfm)
        return kNfm;
    return mode;
}

int attenuatorForFrequency(int attenuator, std::uint32_t frequency) {
    if (frequency >= k1GHz && (attenuator == 1 || attenuator == 2))
        return 0;
    if (frequency >= k230MHz && attenuator == 2)
        return 0;
    return attenuator;
}

bool setStep(DocumentContents& doc, int table, const std::vector<int>& rows, int step) {
    return forEachSettingsRecord(doc, table, rows,
                                 [step](auto& r, std::uint32_t) { assign(r.step, step); });
}

bool setMode(DocumentContents& doc, int table, const std::vector<int>& rows, int mode,
             const AppSettings& settings) {
    return forEachSettingsRecord(doc, table, rows, [&](auto& r, std::uint32_t) {
        assign(r.mode, mode);
        r.ifBandwidth = bandwidthForMode(mode, r.ifBandwidth, settings);
    });
}

bool setAttenuator(DocumentContents& doc, int table, const std::vector<int>& rows, int attenuator) {
    return forEachSettingsRecord(doc, table, rows, [attenuator](auto& r, std::uint32_t f) {
        r.attenuator = attenuatorForFrequency(attenuator, f);
    });
}

bool setIfBandwidth(DocumentContents& doc, int table, const std::vector<int>& rows,
                    int ifBandwidth) {
    return forEachSettingsRecord(doc, table, rows, [ifBandwidth](auto& r, std::uint32_t) {
        r.ifBandwidth = ifBandwidth;
        assign(r.mode, modeForBandwidth(r.mode, ifBandwidth));
    });
}

bool setAntenna(DocumentContents& doc, int table, const std::vector<int>& rows, int antenna) {
    return forEachSettingsRecord(doc, table, rows,
                                 [antenna](auto& r, std::uint32_t) { r.antenna = antenna; });
}

bool setCtcss(DocumentContents& doc, const std::vector<int>& rows, int tone) {
    bool touched = false;
    for (int row : rows) {
        if (row < 0 || row >= doc.channelCount)
            continue;
        doc.channels[at(row)]->ctcss = tone;
        touched = true;
    }
    return touched;
}

bool setUseFlag(DocumentContents& doc, int table, const std::vector<int>& rows, bool on) {
    const auto flag = static_cast<std::uint8_t>(on ? 1 : 0);
    const int set = doc.controlParams.currentLinkSet;
    bool touched = false;
    for (int row : rows) {
        if (table == Banks && row >= 0 && row < kBankCount && set >= 0 && set < kLinkSetCount)
            doc.memoryBanks[at(row)].linkFlags[at(set)] = flag;
        else if (table == SearchBanks && row >= 0 && row < kRangeCount)
            doc.searchBanks[at(row)].inUse = flag;
        else if (table == PassRanges && row >= 0 && row < kRangeCount)
            doc.passRanges[at(row)].inUse = flag;
        else if (table == AutoRanges && row >= 0 && row < kRangeCount)
            doc.autoRanges[at(row)].inUse = flag;
        else
            continue;
        touched = true;
    }
    return touched;
}

} // namespace kovo::edits
