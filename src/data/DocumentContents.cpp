#include "DocumentContents.h"

namespace kovo {

DocumentContents::DocumentContents(const DocumentContents& other) {
    *this = other;
}

DocumentContents& DocumentContents::operator=(const DocumentContents& other) {
    if (this == &other)
        return *this;
    for (int i = 0; i < kMaxChannels; ++i) {
        const auto& source = other.channels[static_cast<std::size_t>(i)];
        auto& target = channels[static_cast<std::size_t>(i)];
        if (i < other.channelCount && source)
            target = std::make_unique<CFrequencyData>(*source);
        else
            target.reset();
    }
    channelCount = other.channelCount;
    logRing = other.logRing;
    logStart = other.logStart;
    logCount = other.logCount;
    mainRecord = other.mainRecord;
    priorityRecord = other.priorityRecord;
    priorityIndex = other.priorityIndex;
    memoryBanks = other.memoryBanks;
    searchBanks = other.searchBanks;
    passRanges = other.passRanges;
    autoRanges = other.autoRanges;
    searchStrings = other.searchStrings;
    linkSetNames = other.linkSetNames;
    controlParams = other.controlParams;
    return *this;
}

void DocumentContents::truncateChannels(int from) {
    if (from < 0)
        from = 0;
    for (int i = from; i < kMaxChannels; ++i)
        channels[static_cast<std::size_t>(i)].reset();
    if (channelCount > from)
        channelCount = from;
}

} // namespace kovo
