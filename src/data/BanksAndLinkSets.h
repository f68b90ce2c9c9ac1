#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "DocumentPart.h"

namespace kovo {

// The memory banks and the 20 bank-link sets: which banks each set links,
// which set is current, and the names of both.
class BanksAndLinkSets : public DocumentPart {
public:
    using DocumentPart::DocumentPart;

    // Bank mask of the banks in the current link set.
    std::uint32_t linkMask() const;
    // Bit b of `bits` links bank b into the current set.
    void setLinkFlags(std::uint32_t bits);
    // Makes link set k current; false for k outside 0..19.
    bool setCurrentLinkSet(int k);
    bool renameLinkSet(int k, const std::string& name);
    // Names typed into the bank list, in code page 932; whether a bank was
    // touched.
    bool setBankNames(const std::vector<int>& rows, const std::string& text);
    // Marks the document and reports the banks changed; false when
    // `touched` is.
    bool afterRowsEdit(bool touched);
};

} // namespace kovo
