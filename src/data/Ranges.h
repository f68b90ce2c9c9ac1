#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "DocumentPart.h"

namespace kovo {

// The search banks, the pass ranges, the auto-mode ranges (with the
// clipboard their list cuts into) and the search strings.
class Ranges : public DocumentPart {
public:
    using DocumentPart::DocumentPart;

    // Tables of DatabaseEdits.h: search banks, pass ranges or auto-mode
    // ranges. Each edit returns whether it touched a range.
    static bool isRangeTable(int table);
    // Comments typed into a range list, in code page 932.
    bool setRangeComments(int table, const std::vector<int>& rows, const std::string& text);
    // Both edges of range `row`, the lower first whatever order they come in.
    bool setRangeEdges(int table, int row, std::uint32_t a, std::uint32_t b);
    bool setSearchStrings(const std::vector<int>& rows, const std::string& text);
    // Bit k of `bits` puts search bank k in use, as the receiver reports it:
    // no change the user made, so the document stays unmodified.
    void setSearchBanksInUse(std::uint32_t bits);

    // Cuts the auto-mode ranges of `rows` into the clipboard; pastes the
    // clipboard after the first of `rows`.
    void cutAutoRanges(const std::vector<int>& rows);
    void pasteAutoRanges(const std::vector<int>& rows);
    int clipboardCount() const { return clipboardCount_; }
    const CAutoBank& clipboardRange(int n) const { return clipboard_[static_cast<std::size_t>(n)]; }
    void clearClipboard() { clipboardCount_ = 0; }

    // Marks the document and reports the range table changed; false when
    // `touched` is.
    bool afterRowsEdit(bool touched);

private:
    std::array<CAutoBank, kRangeCount> clipboard_;
    int clipboardCount_ = 0;
};

} // namespace kovo
