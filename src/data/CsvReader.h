#pragma once
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace kovo {

// Larger files are not channel lists; reading them is refused whole.
inline constexpr std::size_t kMaxCsvFileSize = 16u * 1024u * 1024u;
// A row with more fields, or a field longer than this, is not a channel list.
inline constexpr std::size_t kMaxCsvFields = 1000;
inline constexpr std::size_t kMaxCsvFieldBytes = 64u * 1024u;

enum class TextEncoding { Utf8, Cp932 };

struct CsvRow {
    int line = 0; // where the row starts in the file, from 1
    std::vector<std::string> fields;
};

// A comma-separated file as read: the header row and the rows below it,
// every field as UTF-8 whatever the file used.
struct CsvTable {
    std::vector<std::string> header;
    std::vector<CsvRow> rows;
    TextEncoding encoding = TextEncoding::Utf8;
    char separator = ',';
};

enum class CsvStatus { Read, Refused, Cancelled };

struct CsvOutcome {
    CsvStatus status = CsvStatus::Read;
    std::string message; // why a file was refused (UTF-8)
    bool ok() const { return status == CsvStatus::Read; }
};

// Called now and then with the bytes read so far and the total; answering
// false cancels the reading.
using CsvProgress = std::function<bool(std::size_t done, std::size_t total)>;

// Reads a whole CSV file. The text is UTF-8 when it is valid UTF-8 (a byte
// order mark is skipped), else code page 932. The separator is the one of
// comma, semicolon and tab found most often in the first line. Fields may be
// quoted ("" stands for a quote inside). The file is refused whole, with the
// reason, when it is too large, holds control bytes (not text), has a quote
// left open, a row or field beyond the limits above, or no header row.
CsvOutcome readCsv(std::string_view bytes, CsvTable& table, const CsvProgress& progress = {});

} // namespace kovo
