#include "BanksAndLinkSets.h"

#include "DocumentRules.h"

namespace kovo {
namespace {

std::size_t at(int i) {
    return static_cast<std::size_t>(i);
}

} // namespace

std::uint32_t BanksAndLinkSets::linkMask() const {
    return linkMaskOf(contents());
}

void BanksAndLinkSets::setLinkFlags(std::uint32_t bits) {
    DocumentContents& c = contents();
    const int set = c.controlParams.currentLinkSet;
    if (set < 0 || set >= kLinkSetCount)
        return;
    for (int b = 0; b < kBankCount; ++b)
        c.memoryBanks[at(b)].linkFlags[at(set)] = static_cast<std::uint8_t>((bits >> b) & 1u);
    markModified();
    notify(DocumentChange::Kind::LinkSetsChanged);
}

bool BanksAndLinkSets::setCurrentLinkSet(int k) {
    if (k < 0 || k >= kLinkSetCount)
        return false;
    contents().controlParams.currentLinkSet = k;
    markModified();
    notify(DocumentChange::Kind::BanksChanged);
    return true;
}

bool BanksAndLinkSets::renameLinkSet(int k, const std::string& name) {
    if (k < 0 || k >= kLinkSetCount)
        return false;
    contents().linkSetNames[at(k)] = name;
    markModified();
    notify(DocumentChange::Kind::LinkSetsChanged);
    return true;
}

bool BanksAndLinkSets::setBankNames(const std::vector<int>& rows, const std::string& text) {
    bool touched = false;
    for (int row : rows) {
        if (row < 0 || row >= kBankCount)
            continue;
        contents().memoryBanks[at(row)].name = text;
        touched = true;
    }
    return afterRowsEdit(touched);
}

bool BanksAndLinkSets::afterRowsEdit(bool touched) {
    if (!touched)
        return false;
    markModified();
    notify(DocumentChange::Kind::BanksChanged);
    return true;
}

} // namespace kovo
