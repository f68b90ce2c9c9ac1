#pragma once
#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "CAutoBank.h"
#include "CControlParams.h"
#include "CFrequencyData.h"
#include "CLogData.h"
#include "CMemoryBank.h"
#include "CPassBank.h"
#include "CSearchBank.h"

namespace kovo {

inline constexpr int kMaxChannels = 5000;
inline constexpr int kLogSlots = 5000;
inline constexpr int kBankCount = 22; // 0 "Other", 1..20 named, 21 "Pass Channel"
inline constexpr int kPassBank = 21;
inline constexpr int kRangeCount = 20; // search banks, pass ranges, auto-mode ranges
inline constexpr int kLinkSetCount = 20;
inline constexpr int kSearchStringCount = 20;

// Everything a document file holds, plus what reading a file derives from it
// (the priority channel and its copy). Kept apart from the document so that a
// file can be read into a scratch copy and swapped in only when it was read
// completely. Copying deep-copies the channels.
struct DocumentContents {
    DocumentContents() = default;
    DocumentContents(const DocumentContents& other);
    DocumentContents& operator=(const DocumentContents& other);
    DocumentContents(DocumentContents&&) noexcept = default;
    DocumentContents& operator=(DocumentContents&&) noexcept = default;
    ~DocumentContents() = default;

    // Channels sorted by ascending frequency; slots from channelCount on are empty.
    std::array<std::unique_ptr<CFrequencyData>, kMaxChannels> channels;
    int channelCount = 0;

    // Log ring: entry r (0 = oldest) is in slot (logStart + r) % kLogSlots.
    std::array<CLogData, kLogSlots> logRing;
    int logStart = 0;
    int logCount = 0;

    CFrequencyData mainRecord;     // what the receiver is to be tuned to
    CFrequencyData priorityRecord; // copy of the priority channel (not stored)
    int priorityIndex = 0;         // row of the priority channel (not stored)

    std::array<CMemoryBank, kBankCount> memoryBanks;
    std::array<CSearchBank, kRangeCount> searchBanks;
    std::array<CPassBank, kRangeCount> passRanges;
    std::array<CAutoBank, kRangeCount> autoRanges;
    std::array<std::string, kSearchStringCount> searchStrings;
    std::array<std::string, kLinkSetCount> linkSetNames;
    CControlParams controlParams;

    // Log entry r counted from the oldest (r < logCount).
    CLogData& logEntry(int r) {
        return logRing[static_cast<std::size_t>((logStart + r) % kLogSlots)];
    }
    const CLogData& logEntry(int r) const {
        return logRing[static_cast<std::size_t>((logStart + r) % kLogSlots)];
    }
    // Discards every channel from row `from` on and sets channelCount to `from`.
    void truncateChannels(int from);
};

} // namespace kovo
