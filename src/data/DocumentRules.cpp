#include "DocumentRules.h"

#include "ValueTables.h"

#include <algorithm>

namespace kovo {

namespace {
constexpr std::int32_t kSynchronousAmFirst = 6;
constexpr std::int32_t kSynchronousAmLast = 8;
constexpr std::int32_t kAm = 2;
} // namespace

void copyByCopyRule(const CFrequencyData& from, CFrequencyData& to, const AppSettings& settings,
                    CControlParams& params) {
    const std::int32_t keptPriority = to.priority;
    const std::int32_t keptSpare = to.spare;
    to = from;
    to.priority = keptPriority;
    to.spare = keptSpare;
    if (to.ifBandwidth == 0 && settings.optFilter == 0)
        to.ifBandwidth = 1;
    if (to.mode >= kSynchronousAmFirst && settings.optSam == 0)
        to.mode = kAm;
    const std::uint32_t hz = stepHz(to.step);
    params.tuningOffset = hz == 0 ? 0 : static_cast<std::int32_t>(to.frequency % hz);
}

void copyIntoPriorityRecord(const CFrequencyData& from, DocumentContents& contents,
                            const AppSettings& settings) {
    const std::int32_t mainOffset = contents.controlParams.tuningOffset;
    copyByCopyRule(from, contents.priorityRecord, settings, contents.controlParams);
    contents.controlParams.tuningOffset = mainOffset;
}

void takePriorityRecord(DocumentContents& contents, const AppSettings& settings) {
    const int row = contents.priorityIndex;
    const bool hasChannel = row >= 0 && row < contents.channelCount;
    const CFrequencyData from =
        hasChannel ? *contents.channels[static_cast<std::size_t>(row)] : contents.mainRecord;
    copyIntoPriorityRecord(from, contents, settings);
}

std::uint32_t linkMaskOf(const DocumentContents& contents) {
    const int linkSet = contents.controlParams.currentLinkSet;
    if (linkSet < 0 || linkSet >= kLinkSetCount)
        return 0;
    std::uint32_t mask = 0;
    for (int bank = 0; bank < kBankCount; ++bank) {
        if (contents.memoryBanks[static_cast<std::size_t>(bank)]
                .linkFlags[static_cast<std::size_t>(linkSet)] == 1)
            mask |= 1u << bank;
    }
    return mask;
}

bool isReachableChannel(const DocumentContents& contents, std::uint32_t linkMask,
                        const CFrequencyData& channel) {
    // A channel outside the current link set is never reachable, with or
    // without the mode filter: memory scan never stops on it.
    if ((static_cast<std::uint32_t>(channel.bankMask) & linkMask) == 0)
        return false;
    const CControlParams& params = contents.controlParams;
    if (params.modeFilter == 0)
        return true;
    // Synchronous AM is scanned with AM: it is tuned as AM without that option.
    const std::int32_t mode =
        channel.mode >= kSynchronousAmFirst && channel.mode <= kSynchronousAmLast ? kAm
                                                                                  : channel.mode;
    return mode >= 0 && mode < CControlParams::kModes &&
           params.modeEnabled[static_cast<std::size_t>(mode)] == 1;
}

int countReachableChannels(const DocumentContents& contents) {
    const std::uint32_t mask = linkMaskOf(contents);
    int reachable = 0;
    for (int i = 0; i < contents.channelCount; ++i)
        if (isReachableChannel(contents, mask, *contents.channels[static_cast<std::size_t>(i)]))
            ++reachable;
    return reachable;
}

// The rows of `rows` that lie in 0..limit-1, ascending, each once.
std::vector<int> rowsBelow(const std::vector<int>& rows, int limit) {
    std::vector<int> within;
    within.reserve(rows.size());
    for (int row : rows)
        if (row >= 0 && row < limit)
            within.push_back(row);
    std::sort(within.begin(), within.end());
    within.erase(std::unique(within.begin(), within.end()), within.end());
    return within;
}

} // namespace kovo
