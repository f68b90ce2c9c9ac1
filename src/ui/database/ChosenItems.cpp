#include "ui/database/ChosenItems.h"

#include "data/DocumentContents.h"
#include "ui/database/HandedOverRows.h"

#include <algorithm>

namespace kovo {
namespace {

constexpr int kChannelView = 0;
constexpr int kLogView = 6;
// Rows of the fixed tables of views 1 to 5.
constexpr int kFixedRows[] = {0,           kBankCount,  kRangeCount,
                              kRangeCount, kRangeCount, kSearchStringCount};

int rowCountOf(const DocumentContents& doc, int view) {
    if (view == kChannelView)
        return doc.channelCount;
    if (view == kLogView)
        return doc.logCount;
    if (view > kChannelView && view < kLogView)
        return kFixedRows[view];
    return 0;
}

int logSlotOf(const DocumentContents& doc, int row) {
    return (doc.logStart + row) % kLogSlots;
}

// The row of the channel at exactly f, or -1. Looked up without the
// document's own search, which also moves the insert position the scan uses.
int channelRowOf(const DocumentContents& doc, std::uint32_t f) {
    const auto begin = doc.channels.begin();
    const auto end = begin + doc.channelCount;
    const auto it = std::lower_bound(
        begin, end, f, [](const auto& channel, std::uint32_t g) { return channel->frequency < g; });
    return it != end && (*it)->frequency == f ? int(it - begin) : -1;
}

} // namespace

ChosenItems::ChosenItems(const DocumentContents& doc, int view, std::vector<int> rows)
    : view_(view) {
    HandedOverRows normalised;
    normalised.set(std::move(rows));
    for (int row : normalised.below(rowCountOf(doc, view))) {
        Item item;
        item.slot = row;
        if (view == kChannelView) {
            item.frequency = doc.channels[std::size_t(row)]->frequency;
        } else if (view == kLogView) {
            item.slot = logSlotOf(doc, row);
            item.frequency = doc.logEntry(row).frequency;
            item.firstHeard = doc.logEntry(row).firstHeard;
        }
        items_.push_back(item);
    }
}

ChosenItems ChosenItems::first() const {
    ChosenItems one;
    one.view_ = view_;
    if (!items_.empty())
        one.items_.push_back(items_.front());
    return one;
}

std::vector<std::uint32_t> ChosenItems::frequencies() const {
    std::vector<std::uint32_t> out;
    for (const Item& item : items_)
        out.push_back(item.frequency);
    return out;
}

ChosenItems::Found ChosenItems::find(const DocumentContents& doc) const {
    Found found;
    for (const Item& item : items_) {
        int row = -1;
        if (view_ == kChannelView) {
            row = channelRowOf(doc, item.frequency);
        } else if (view_ == kLogView) {
            const int r = (item.slot - doc.logStart + kLogSlots) % kLogSlots;
            const bool same = r < doc.logCount && doc.logEntry(r).frequency == item.frequency &&
                              doc.logEntry(r).firstHeard == item.firstHeard;
            row = same ? r : -1;
        } else if (item.slot < rowCountOf(doc, view_)) {
            row = item.slot;
        }
        if (row >= 0)
            found.rows.push_back(row);
        else
            ++found.gone;
    }
    std::sort(found.rows.begin(), found.rows.end());
    return found;
}

} // namespace kovo
