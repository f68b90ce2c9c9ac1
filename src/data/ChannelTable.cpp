#include "ChannelTable.h"

#include <algorithm>
#include <cstdio>
#include <memory>

#include "DatabaseEdits.h"
#include "DocumentRules.h"
#include "LocalTime.h"
#include "UiText.h"

namespace kovo {
namespace {

// Comment prefixes of a new channel, code page 932: "* 自動記録 " (stored
// automatically) and "* 追加     " (added by hand).
constexpr const char* kAutoStoredFormat =
    "* \x8E\xA9\x93\xAE\x8B\x4C\x98\x5E %02d-%2d-%2d %02d:%02d:%02d *";
constexpr const char* kAddedFormat = "* \x92\xC7\x89\xC1     %02d-%2d-%2d %02d:%02d:%02d *";
// The same in English, as wide, in ASCII (which CP932 keeps as it is).
constexpr const char* kAutoStoredFormatEnglish = "* Auto-rec %02d-%2d-%2d %02d:%02d:%02d *";
constexpr const char* kAddedFormatEnglish = "* Added    %02d-%2d-%2d %02d:%02d:%02d *";

std::size_t at(int i) {
    return static_cast<std::size_t>(i);
}

// Where an index into the channel table ends up after a row is inserted,
// removed or moved.
int afterInsert(int index, int row) {
    return index >= row ? index + 1 : index;
}
int afterRemove(int index, int row) {
    return index > row ? index - 1 : index;
}
int afterMove(int index, int from, int to) {
    if (index == from)
        return to;
    if (from < to && index > from && index <= to)
        return index - 1;
    if (to < from && index >= to && index < from)
        return index + 1;
    return index;
}

std::string newChannelComment(bool autoStored, std::int64_t now) {
    const LocalTime t = toLocalTime(now);
    char text[64];
    const bool english = englishUserData();
    const char* format = autoStored ? (english ? kAutoStoredFormatEnglish : kAutoStoredFormat)
                                    : (english ? kAddedFormatEnglish : kAddedFormat);
    std::snprintf(text, sizeof text, format, t.year % 100, t.month, t.day, t.hour, t.minute,
                  t.second);
    return text;
}

} // namespace

int ChannelTable::findChannel(std::uint32_t f) {
    const DocumentContents& c = contents();
    const auto first = c.channels.begin();
    const auto last = first + std::clamp(c.channelCount, 0, kMaxChannels);
    const auto it = std::lower_bound(first, last, f, [](const auto& channel, std::uint32_t value) {
        return channel->frequency < value;
    });
    insertPosition_ = static_cast<int>(it - first);
    return it != last && (*it)->frequency == f ? insertPosition_ : -1;
}

void ChannelTable::insertEmptyRow(int row) {
    DocumentContents& c = contents();
    std::move_backward(c.channels.begin() + row, c.channels.begin() + c.channelCount,
                       c.channels.begin() + c.channelCount + 1);
    c.channels[at(row)] = std::make_unique<CFrequencyData>();
    // The priority channel keeps naming the same channel.
    const bool priorityMoves = c.channelCount > 0 && c.priorityIndex >= row;
    if (c.channelCount > 0)
        c.priorityIndex = afterInsert(c.priorityIndex, row);
    ++c.channelCount;
    if (priorityMoves)
        copyToPriorityRecord(c.priorityIndex); // its copy is taken afresh
}

int ChannelTable::storeChannel(std::uint32_t f, bool autoStored, int heard, std::int32_t s) {
    bool isNew = false;
    const int row = storeWithoutCount(f, contents().mainRecord, autoStored, heard, s, isNew);
    if (row < 0)
        return -1;
    if (isNew)
        countChannelsPerBank();
    using Kind = DocumentChange::Kind;
    notify(isNew ? Kind::ChannelInserted : Kind::ChannelChanged, row);
    return row;
}

std::vector<int> ChannelTable::storeChannels(const std::vector<CFrequencyData>& tuned) {
    DocumentContents& c = contents();
    std::vector<std::uint32_t> fresh;
    for (const CFrequencyData& record : tuned)
        if (findChannel(record.frequency) < 0)
            fresh.push_back(record.frequency);
    std::sort(fresh.begin(), fresh.end());
    fresh.erase(std::unique(fresh.begin(), fresh.end()), fresh.end());
    if (c.channelCount + static_cast<int>(fresh.size()) > kMaxChannels)
        return {};

    std::vector<int> rows;
    rows.reserve(tuned.size());
    bool anyNew = false;
    for (const CFrequencyData& record : tuned) {
        bool isNew = false;
        rows.push_back(storeWithoutCount(record.frequency, record, false, 0, 0, isNew));
        anyNew = anyNew || isNew;
        using Kind = DocumentChange::Kind;
        notify(isNew ? Kind::ChannelInserted : Kind::ChannelChanged, rows.back());
    }
    if (anyNew)
        countChannelsPerBank();
    // Rows stored early moved down as later channels went in above them.
    for (std::size_t i = 0; i < rows.size(); ++i)
        rows[i] = findChannel(tuned[i].frequency);
    return rows;
}

int ChannelTable::storeWithoutCount(std::uint32_t f, const CFrequencyData& tuned, bool autoStored,
                                    int heard, std::int32_t s, bool& isNew) {
    DocumentContents& c = contents();
    // The row comes from a fresh look-up so that the table stays sorted and
    // never holds a frequency twice, whatever the caller looked up before.
    int row = findChannel(f);
    isNew = row < 0;
    if (isNew) {
        if (c.channelCount >= kMaxChannels)
            return -1;
        row = insertPosition_;
        insertEmptyRow(row);
    }

    CFrequencyData& ch = *c.channels[at(row)];
    ch.frequency = f;
    ch.antenna = tuned.antenna;
    ch.attenuator = tuned.attenuator;
    ch.ifBandwidth = tuned.ifBandwidth;
    ch.mode = tuned.mode;
    ch.step = tuned.step;
    ch.ctcss = tuned.ctcss;
    ch.tElm = tuned.tElm;
    if (isNew) {
        const std::int64_t now = clock().nowSeconds();
        ch.bankMask = 1;
        ch.bankNumber = 0;
        if (autoStored)
            ch.ctcss = 0;
        ch.comment = newChannelComment(autoStored, now);
        ch.priority = 0;
        ch.heard = static_cast<std::uint8_t>(heard);
        ch.signal = s;
        ch.maxSignal = s;
        ch.heardTime = static_cast<std::int32_t>(now);
    }
    markModified();
    return row;
}

bool ChannelTable::moveChannel(int from, int to) {
    DocumentContents& c = contents();
    if (from < 0 || from >= c.channelCount || to < 0 || to >= c.channelCount)
        return false;
    if (from == to)
        return true;
    auto taken = std::move(c.channels[at(from)]);
    if (from < to)
        std::move(c.channels.begin() + from + 1, c.channels.begin() + to + 1,
                  c.channels.begin() + from);
    else
        std::move_backward(c.channels.begin() + to, c.channels.begin() + from,
                           c.channels.begin() + from + 1);
    c.channels[at(to)] = std::move(taken);
    c.priorityIndex = afterMove(c.priorityIndex, from, to);
    markModified();
    notify(DocumentChange::Kind::ChannelMoved, from, to);
    return true;
}

int ChannelTable::setChannelFrequency(int i, std::uint32_t f) {
    DocumentContents& c = contents();
    if (i < 0 || i >= c.channelCount)
        return -1;
    const int existing = findChannel(f);
    if (existing >= 0 && existing != i)
        return -1;
    // insertPosition counts the channels below f, the edited one included
    // when its old frequency is below f.
    const int to = c.channels[at(i)]->frequency < f ? insertPosition_ - 1 : insertPosition_;
    c.channels[at(i)]->frequency = f;
    static_cast<void>(moveChannel(i, to)); // both rows lie in the table
    markModified();
    notify(DocumentChange::Kind::ChannelChanged, to);
    return to;
}

void ChannelTable::removeRow(int row) {
    DocumentContents& c = contents();
    if (c.channels[at(row)]->priority != 0) {
        // The priority mark passes to the channel in row 0.
        c.priorityIndex = 0;
        c.channels[0]->priority = 1;
        copyToPriorityRecord(0);
        notify(DocumentChange::Kind::ChannelChanged, 0);
    }
    std::move(c.channels.begin() + row + 1, c.channels.begin() + c.channelCount,
              c.channels.begin() + row);
    --c.channelCount;
    c.channels[at(c.channelCount)].reset();
    c.priorityIndex = afterRemove(c.priorityIndex, row);
    notify(DocumentChange::Kind::ChannelRemoved, row);
}

int ChannelTable::deleteChannels(const std::vector<int>& chosen) {
    DocumentContents& c = contents();
    const std::vector<int> rows = rowsBelow(chosen, c.channelCount);
    bool priorityMoved = false;
    for (auto it = rows.rbegin(); it != rows.rend(); ++it) {
        priorityMoved = priorityMoved || *it <= c.priorityIndex;
        removeRow(*it);
    }
    if (c.channelCount == 0) {
        c.priorityIndex = 0;
    } else {
        c.priorityIndex = std::min(c.priorityIndex, c.channelCount - 1);
        // The priority channel now stands in another row (or another channel
        // took its place): its copy is taken afresh.
        if (priorityMoved)
            copyToPriorityRecord(c.priorityIndex);
    }
    if (!rows.empty()) {
        countChannelsPerBank();
        markModified();
    }
    if (c.channelCount == 0)
        return -1;
    int first = 0;
    if (!rows.empty())
        first = rows.front();
    else if (!chosen.empty())
        first = *std::min_element(chosen.begin(), chosen.end());
    return std::clamp(first, 0, c.channelCount - 1);
}

void ChannelTable::makePassChannel(int i) {
    DocumentContents& c = contents();
    if (i < 0 || i >= c.channelCount)
        return;
    c.channels[at(i)]->bankMask = 1 << kPassBank;
    countChannelsPerBank();
    markModified();
    notify(DocumentChange::Kind::ChannelChanged, i);
}

int ChannelTable::recordReport(int i, std::int32_t s) {
    DocumentContents& c = contents();
    if (i < 0 || i >= c.channelCount)
        return 0;
    CFrequencyData& ch = *c.channels[at(i)];
    int changed = 0;
    ch.heard = 1;
    if (ch.signal != s) {
        ch.signal = s;
        if (s > ch.maxSignal)
            ch.maxSignal = s;
        changed = 1;
    }
    const auto now = static_cast<std::int32_t>(clock().nowSeconds());
    if (ch.heardTime != now) {
        ch.heardTime = now;
        changed = 1;
    }
    if (changed) {
        markModified();
        notify(DocumentChange::Kind::ChannelChanged, i);
    }
    return changed;
}

void ChannelTable::choosePriorityChannel(int r) {
    DocumentContents& c = contents();
    if (r < 0 || r >= c.channelCount)
        return;
    for (int i = 0; i < c.channelCount; ++i) {
        const std::int32_t mark = i == r ? 1 : 0;
        if (c.channels[at(i)]->priority == mark)
            continue;
        c.channels[at(i)]->priority = mark;
        notify(DocumentChange::Kind::ChannelChanged, i);
    }
    c.priorityIndex = r;
    copyToPriorityRecord(c.priorityIndex);
    markModified();
}

void ChannelTable::copyToPriorityRecord(int i) {
    DocumentContents& c = contents();
    if (i < 0 || i >= c.channelCount)
        return;
    copyIntoPriorityRecord(*c.channels[at(i)], c, settings());
}

void ChannelTable::countChannelsPerBank() {
    const DocumentContents& c = contents();
    countPerBank_.fill(0);
    for (int i = 0; i < c.channelCount; ++i) {
        const auto mask = static_cast<std::uint32_t>(c.channels[at(i)]->bankMask);
        for (int b = 0; b < kBankCount; ++b)
            if (mask & (1u << b))
                ++countPerBank_[at(b)];
    }
}

// ---- list edits ----

bool ChannelTable::afterRowsEdit(bool touched, const std::vector<int>& rows) {
    if (!touched)
        return false;
    markModified();
    for (int row : rows)
        if (row >= 0 && row < contents().channelCount)
            notify(DocumentChange::Kind::ChannelChanged, row);
    return true;
}

bool ChannelTable::setChannelBanks(const std::vector<int>& rows, int bank, bool multiBank) {
    const bool touched = edits::setBankMembership(contents(), rows, bank, multiBank);
    if (touched)
        countChannelsPerBank();
    return afterRowsEdit(touched, rows);
}

bool ChannelTable::setChannelsCtcss(const std::vector<int>& rows, int tone) {
    return afterRowsEdit(edits::setCtcss(contents(), rows, tone), rows);
}

bool ChannelTable::setChannelComments(const std::vector<int>& rows, const std::string& text) {
    DocumentContents& c = contents();
    bool touched = false;
    for (int row : rows) {
        if (row < 0 || row >= c.channelCount)
            continue;
        c.channels[at(row)]->comment = text;
        touched = true;
    }
    return afterRowsEdit(touched, rows);
}

} // namespace kovo
