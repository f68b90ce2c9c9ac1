#pragma once
#include "ui/database/presenter/DatabaseViews.h"

#include <QString>

#include <cstdint>

namespace kovo {

class CKovo5Doc;
struct CFrequencyData;

// The text of every line and header of the database lists, laid out in
// columns of a fixed-pitch font (a bank or use mark takes two columns).
namespace dblines {

// The header above the list of view v (0..7).
QString header(const CKovo5Doc& doc, int view);

// Line of row `row` of view v; an empty string for a row outside the table.
QString line(const CKovo5Doc& doc, int view, int row);
// Number of rows of view v (0 for the statistics view).
int rowCount(const CKovo5Doc& doc, int view);

// The pieces, for the benchmarks and tests.
QString channelLine(const CFrequencyData& channel, int row);
QString logLine(const CKovo5Doc& doc, int row);

// Columns a character takes in the panel font: two for a double-byte
// character of the Japanese code page, one for ASCII and half-width kana.
inline int columnsOf(char16_t c) {
    return c < 0x80 || (c >= 0xFF61 && c <= 0xFF9F) ? 1 : 2;
}

} // namespace dblines
} // namespace kovo
