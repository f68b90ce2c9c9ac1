#pragma once
#include <vector>

#include "BanksAndLinkSets.h"
#include "ChannelTable.h"
#include "Ranges.h"

namespace kovo {

// Properties set on chosen rows of any database list (tables of
// DatabaseEdits.h). The part that owns the table marks the document and
// reports the rows.
class ListEdits {
public:
    ListEdits(const PartContext& context, ChannelTable& table, BanksAndLinkSets& banks,
              Ranges& ranges)
        : c_(context), table_(table), banks_(banks), ranges_(ranges) {}
    ListEdits(const ListEdits&) = delete;
    ListEdits& operator=(const ListEdits&) = delete;

    // Each returns whether it touched a record.
    bool setRowsStep(int table, const std::vector<int>& rows, int step);
    bool setRowsMode(int table, const std::vector<int>& rows, int mode);
    bool setRowsAttenuator(int table, const std::vector<int>& rows, int attenuator);
    bool setRowsIfBandwidth(int table, const std::vector<int>& rows, int ifBandwidth);
    bool setRowsAntenna(int table, const std::vector<int>& rows, int antenna);
    // Use flags of banks (of the current link set), search banks, pass
    // ranges or auto-mode ranges.
    bool setUseFlags(int table, const std::vector<int>& rows, bool on);

private:
    bool afterRowsEdit(bool touched, int table, const std::vector<int>& rows);

    PartContext c_;
    ChannelTable& table_;
    BanksAndLinkSets& banks_;
    Ranges& ranges_;
};

} // namespace kovo
