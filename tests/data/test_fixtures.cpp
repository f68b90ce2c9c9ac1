#include "DocumentFixtures.h"

namespace kovo::test {

void fillChannels(DocumentContents& doc, int count, std::size_t commentLength) {
    doc.truncateChannels(0);
    for (int i = 0; i < count; ++i) {
        auto channel = std::make_unique<CFrequencyData>();
        channel->frequency = 100000000u + 1000u * static_cast<std::uint32_t>(i);
        channel->bankMask = 1 << (i % 22);
        channel->heard = static_cast<std::uint8_t>(i % 2);
        channel->step = i % 14;
        channel->mode = i % 9;
        channel->ifBandwidth = i % 7;
        channel->attenuator = i % 4;
        channel->antenna = i % 3;
        channel->heardTime = 1015459500 + i;
        channel->signal = i % 16;
        channel->maxSignal = i % 22;
        channel->comment = std::string(commentLength, static_cast<char>('a' + i % 26));
        channel->ctcss = i % 52;
        channel->tElm = i % 5;
        channel->spare = i;
        doc.channels[static_cast<std::size_t>(i)] = std::move(channel);
    }
    doc.channelCount = count;
}

void fillLog(DocumentContents& doc, int count, std::size_t commentLength) {
    for (int i = 0; i < count; ++i) {
        CLogData& entry =
            doc.logRing[static_cast<std::size_t>((doc.logStart + doc.logCount) % kLogSlots)];
        entry.frequency = 200000000u + 500u * static_cast<std::uint32_t>(i);
        entry.firstHeard = 1015459500 + i;
        entry.lastHeard = 1015459560 + i;
        entry.maxSignal = i % 22;
        entry.comment = std::string(commentLength, static_cast<char>('A' + i % 26));
        ++doc.logCount;
    }
}

} // namespace kovo::test
