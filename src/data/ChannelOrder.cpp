#include "ChannelOrder.h"

#include <algorithm>
#include <numeric>

#include "FileErrors.h"
#include "ReceiverRange.h"

namespace kovo {
namespace {

// Reading makes the last marked channel the priority channel. Once the order
// has changed, a mark that now stands below the priority channel would make
// its channel the priority channel at the next opening of the saved file; such
// marks are cleared so that saving and opening again keeps the same channel.
void dropMarksThatWouldTakeOverThePriority(DocumentContents& contents) {
    for (int row = contents.priorityIndex + 1; row < contents.channelCount; ++row)
        contents.channels[static_cast<std::size_t>(row)]->priority = 0;
}

} // namespace

ChannelOrderChange putChannelsInOrder(DocumentContents& contents, OnlyTunable tunable) {
    const int count = contents.channelCount;
    ChannelOrderChange change;
    change.rowAfter.resize(static_cast<std::size_t>(count));
    auto& channels = contents.channels;

    std::vector<int> order(static_cast<std::size_t>(count));
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        return channels[static_cast<std::size_t>(a)]->frequency <
               channels[static_cast<std::size_t>(b)]->frequency;
    });

    std::vector<std::unique_ptr<CFrequencyData>> kept;
    kept.reserve(order.size());
    const int priorityRow = contents.priorityIndex;
    bool priorityDropped = false;
    for (int row : order) {
        auto& channel = channels[static_cast<std::size_t>(row)];
        if (tunable == OnlyTunable::Yes && !isReceiverFrequency(channel->frequency)) {
            ++change.outOfRange;
            priorityDropped = priorityDropped || row == priorityRow;
            channel.reset();
            // Sorted by frequency, these stand before or after every kept channel.
            change.rowAfter[static_cast<std::size_t>(row)] =
                std::max(static_cast<int>(kept.size()) - 1, 0);
            change.changed = true;
            continue;
        }
        if (!kept.empty() && kept.back()->frequency == channel->frequency) {
            if (channel->priority != 0)
                kept.back()->priority = 1;
            ++change.merged;
            channel.reset();
        } else {
            kept.push_back(std::move(channel));
        }
        const int after = static_cast<int>(kept.size()) - 1;
        change.rowAfter[static_cast<std::size_t>(row)] = after;
        change.changed = change.changed || after != row;
    }

    for (std::size_t i = 0; i < kept.size(); ++i)
        channels[i] = std::move(kept[i]);
    contents.channelCount = static_cast<int>(kept.size());
    contents.priorityIndex = rowAfterOrdering(change, contents.priorityIndex);
    if (priorityDropped && contents.priorityIndex < contents.channelCount)
        contents.channels[static_cast<std::size_t>(contents.priorityIndex)]->priority = 1;
    if (change.changed)
        dropMarksThatWouldTakeOverThePriority(contents);
    return change;
}

int rowAfterOrdering(const ChannelOrderChange& change, int row) {
    if (row < 0 || row >= static_cast<int>(change.rowAfter.size()))
        return row;
    return change.rowAfter[static_cast<std::size_t>(row)];
}

std::string mergedChannelsMessage(int merged, std::string_view fileName) {
    const std::string count = std::to_string(merged) + (merged == 1 ? " channel" : " channels");
    return withFileName("%1 held " + count +
                            " with a frequency stored before; the first channel of each "
                            "frequency was kept and the others were merged into it.",
                        fileName);
}

} // namespace kovo
