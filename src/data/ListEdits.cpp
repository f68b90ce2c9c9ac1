#include "ListEdits.h"

#include "DatabaseEdits.h"

namespace kovo {

bool ListEdits::afterRowsEdit(bool touched, int table, const std::vector<int>& rows) {
    if (table == edits::Channels)
        return table_.afterRowsEdit(touched, rows);
    if (table == edits::Banks)
        return banks_.afterRowsEdit(touched);
    if (Ranges::isRangeTable(table))
        return ranges_.afterRowsEdit(touched);
    if (touched)
        c_.modified.set();
    return touched;
}

bool ListEdits::setRowsStep(int table, const std::vector<int>& rows, int step) {
    return afterRowsEdit(edits::setStep(c_.contents, table, rows, step), table, rows);
}

bool ListEdits::setRowsMode(int table, const std::vector<int>& rows, int mode) {
    return afterRowsEdit(edits::setMode(c_.contents, table, rows, mode, c_.settings), table, rows);
}

bool ListEdits::setRowsAttenuator(int table, const std::vector<int>& rows, int attenuator) {
    return afterRowsEdit(edits::setAttenuator(c_.contents, table, rows, attenuator), table, rows);
}

bool ListEdits::setRowsIfBandwidth(int table, const std::vector<int>& rows, int ifBandwidth) {
    return afterRowsEdit(edits::setIfBandwidth(c_.contents, table, rows, ifBandwidth), table, rows);
}

bool ListEdits::setRowsAntenna(int table, const std::vector<int>& rows, int antenna) {
    return afterRowsEdit(edits::setAntenna(c_.contents, table, rows, antenna), table, rows);
}

bool ListEdits::setUseFlags(int table, const std::vector<int>& rows, bool on) {
    return afterRowsEdit(edits::setUseFlag(c_.contents, table, rows, on), table, rows);
}

} // namespace kovo
