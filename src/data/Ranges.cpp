#include "Ranges.h"

#include "DocumentRules.h"

#include <algorithm>
#include <utility>

#include "DatabaseEdits.h"

namespace kovo {
namespace {

std::size_t at(int i) {
    return static_cast<std::size_t>(i);
}

} // namespace

bool Ranges::isRangeTable(int table) {
    return table == edits::SearchBanks || table == edits::PassRanges || table == edits::AutoRanges;
}

bool Ranges::afterRowsEdit(bool touched) {
    if (!touched)
        return false;
    markModified();
    notify(DocumentChange::Kind::RangesChanged);
    return true;
}

bool Ranges::setRangeComments(int table, const std::vector<int>& rows, const std::string& text) {
    if (!isRangeTable(table))
        return false;
    DocumentContents& c = contents();
    bool touched = false;
    for (int row : rows) {
        if (row < 0 || row >= kRangeCount)
            continue;
        const std::size_t k = at(row);
        if (table == edits::SearchBanks)
            c.searchBanks[k].comment = text;
        else if (table == edits::PassRanges)
            c.passRanges[k].comment = text;
        else
            c.autoRanges[k].comment = text;
        touched = true;
    }
    return afterRowsEdit(touched);
}

bool Ranges::setRangeEdges(int table, int row, std::uint32_t a, std::uint32_t b) {
    if (row < 0 || row >= kRangeCount || !isRangeTable(table))
        return false;
    if (a > b)
        std::swap(a, b);
    DocumentContents& c = contents();
    const std::size_t k = at(row);
    if (table == edits::SearchBanks) {
        c.searchBanks[k].startFrequency = a;
        c.searchBanks[k].stopFrequency = b;
    } else if (table == edits::PassRanges) {
        c.passRanges[k].lowFrequency = a;
        c.passRanges[k].highFrequency = b;
    } else {
        c.autoRanges[k].startFrequency = a;
        c.autoRanges[k].stopFrequency = b;
    }
    return afterRowsEdit(true);
}

bool Ranges::setSearchStrings(const std::vector<int>& rows, const std::string& text) {
    bool touched = false;
    for (int row : rows) {
        if (row < 0 || row >= kSearchStringCount)
            continue;
        contents().searchStrings[at(row)] = text;
        touched = true;
    }
    if (touched) {
        markModified();
        notify(DocumentChange::Kind::SearchStringsChanged);
    }
    return touched;
}

void Ranges::setSearchBanksInUse(std::uint32_t bits) {
    for (int k = 0; k < kRangeCount; ++k)
        contents().searchBanks[at(k)].inUse = static_cast<std::uint8_t>((bits >> k) & 1u);
    notify(DocumentChange::Kind::RangesChanged);
}

void Ranges::cutAutoRanges(const std::vector<int>& chosen) {
    auto& ranges = contents().autoRanges;
    const std::vector<int> rows = rowsBelow(chosen, kRangeCount);
    for (int n = static_cast<int>(rows.size()) - 1; n >= 0; --n) {
        const int row = rows[at(n)];
        clipboard_[at(n)] = ranges[at(row)];
        std::move(ranges.begin() + row + 1, ranges.end(), ranges.begin() + row);
        ranges.back().setNewDocumentValues(settings().nfmBandWidth);
    }
    clipboardCount_ = static_cast<int>(rows.size());
    afterRowsEdit(!rows.empty());
}

void Ranges::pasteAutoRanges(const std::vector<int>& chosen) {
    auto& ranges = contents().autoRanges;
    const int count = std::clamp(clipboardCount_, 0, kRangeCount);
    const std::vector<int> rows = rowsBelow(chosen, kRangeCount);
    if (count == 0 || rows.empty())
        return;
    const int p = rows.front() + 1;
    bool pasted = false;
    for (int j = 0; j < count && p + j < kRangeCount; ++j) {
        const int row = p + j;
        std::move_backward(ranges.begin() + row, ranges.end() - 1, ranges.end());
        ranges[at(row)] = clipboard_[at(j)];
        pasted = true;
    }
    afterRowsEdit(pasted);
}

} // namespace kovo
