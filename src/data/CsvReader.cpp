#include "CsvReader.h"

#include <algorithm>
#include <array>
#include <cstdint>

#include "Cp932.h"

namespace kovo {
namespace {

constexpr std::size_t kProgressEvery = 64u * 1024u;
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

bool isValidUtf8(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size()) {
        const auto c = static_cast<unsigned char>(text[i]);
        std::size_t extra = 0;
        std::uint32_t lowest = 0;
        if (c < 0x80) {
            ++i;
            continue;
        }
        if ((c & 0xE0) == 0xC0) {
            extra = 1;
            lowest = 0x80;
        } else if ((c & 0xF0) == 0xE0) {
            extra = 2;
            lowest = 0x800;
        } else if ((c & 0xF8) == 0xF0) {
            extra = 3;
            lowest = 0x10000;
        } else {
            return false;
        }
        if (i + extra >= text.size())
            return false;
        std::uint32_t code = c & (0x3Fu >> extra);
        for (std::size_t k = 1; k <= extra; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            if ((next & 0xC0) != 0x80)
                return false;
            code = (code << 6) | (next & 0x3Fu);
        }
        if (code < lowest || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
            return false;
        i += extra + 1;
    }
    return true;
}

// Tab, line feed and carriage return are the only control bytes text holds.
bool isControlByte(unsigned char c) {
    return (c < 0x20 && c != '\t' && c != '\n' && c != '\r') || c == 0x7F;
}

char separatorOf(std::string_view text) {
    const std::string_view firstLine = text.substr(0, text.find('\n'));
    constexpr std::array<char, 3> candidates{',', ';', '\t'};
    char best = ',';
    std::ptrdiff_t bestCount = 0;
    for (char c : candidates) {
        const auto count = std::count(firstLine.begin(), firstLine.end(), c);
        if (count > bestCount) {
            best = c;
            bestCount = count;
        }
    }
    return best;
}

CsvOutcome refused(std::string message) {
    return {CsvStatus::Refused, std::move(message)};
}

std::string lineText(int line) {
    return "line " + std::to_string(line);
}

// Splits UTF-8 text into rows of fields.
class CsvParser {
public:
    CsvParser(std::string_view text, char separator, const CsvProgress& progress)
        : text_(text), separator_(separator), progress_(progress) {}

    CsvOutcome parse(CsvTable& table) {
        CsvRow row;
        while (pos_ < text_.size()) {
            if (!reportProgress())
                return {CsvStatus::Cancelled, {}};
            row.line = line_;
            row.fields.clear();
            if (CsvOutcome o = parseRow(row); !o.ok())
                return o;
            if (isBlank(row))
                continue;
            if (table.header.empty())
                table.header = std::move(row.fields);
            else
                table.rows.push_back(row);
        }
        if (table.header.empty())
            return refused("The file holds no header row.");
        return {};
    }

private:
    static bool isBlank(const CsvRow& row) {
        return row.fields.size() == 1 && row.fields[0].empty();
    }

    bool reportProgress() {
        if (!progress_ || pos_ < nextReport_)
            return true;
        nextReport_ = pos_ + kProgressEvery;
        return progress_(pos_, text_.size());
    }

    CsvOutcome parseRow(CsvRow& row) {
        for (;;) {
            std::string field;
            if (CsvOutcome o = parseField(field, row.line); !o.ok())
                return o;
            row.fields.push_back(std::move(field));
            if (row.fields.size() > kMaxCsvFields)
                return refused(lineText(row.line) + ": more than " + std::to_string(kMaxCsvFields) +
                               " fields in a row.");
            if (pos_ >= text_.size())
                return {};
            const char c = text_[pos_++];
            if (c == separator_)
                continue;
            // End of the row: LF, CR LF or a lone CR.
            if (c == '\r' && pos_ < text_.size() && text_[pos_] == '\n')
                ++pos_;
            ++line_;
            return {};
        }
    }

    CsvOutcome parseField(std::string& field, int rowLine) {
        if (pos_ < text_.size() && text_[pos_] == '"')
            return parseQuoted(field, rowLine);
        const std::size_t end = text_.find_first_of(std::string{separator_, '\r', '\n'}, pos_);
        const std::size_t stop = end == std::string_view::npos ? text_.size() : end;
        if (stop - pos_ > kMaxCsvFieldBytes)
            return refused(lineText(rowLine) + ": a field is too long.");
        field.assign(text_.substr(pos_, stop - pos_));
        pos_ = stop;
        return {};
    }

    CsvOutcome parseQuoted(std::string& field, int rowLine) {
        const int openedOn = line_;
        ++pos_;
        for (;;) {
            const std::size_t quote = text_.find('"', pos_);
            if (quote == std::string_view::npos)
                return refused(lineText(openedOn) + ": a quote is opened and never closed.");
            const std::string_view part = text_.substr(pos_, quote - pos_);
            line_ += static_cast<int>(std::count(part.begin(), part.end(), '\n'));
            field.append(part);
            if (field.size() > kMaxCsvFieldBytes)
                return refused(lineText(rowLine) + ": a field is too long.");
            pos_ = quote + 1;
            if (pos_ < text_.size() && text_[pos_] == '"') {
                field.push_back('"');
                ++pos_;
                continue;
            }
            // Text after the closing quote belongs to the field as well.
            const std::size_t end = text_.find_first_of(std::string{separator_, '\r', '\n'}, pos_);
            const std::size_t stop = end == std::string_view::npos ? text_.size() : end;
            field.append(text_.substr(pos_, stop - pos_));
            pos_ = stop;
            return {};
        }
    }

    std::string_view text_;
    char separator_;
    const CsvProgress& progress_;
    std::size_t pos_ = 0;
    std::size_t nextReport_ = 0;
    int line_ = 1;
};

} // namespace

CsvOutcome readCsv(std::string_view bytes, CsvTable& table, const CsvProgress& progress) {
    table = CsvTable{};
    if (bytes.size() > kMaxCsvFileSize)
        return refused("The file is larger than " + std::to_string(kMaxCsvFileSize >> 20) +
                       " MB: it is not a channel list.");
    if (bytes.starts_with(kByteOrderMark))
        bytes.remove_prefix(kByteOrderMark.size());
    if (const auto bad =
            std::find_if(bytes.begin(), bytes.end(),
                         [](char c) { return isControlByte(static_cast<unsigned char>(c)); });
        bad != bytes.end()) {
        const auto line = 1 + std::count(bytes.begin(), bad, '\n');
        return refused(lineText(static_cast<int>(line)) +
                       ": the file holds binary data; it is not a CSV text file.");
    }
    std::string converted;
    std::string_view text = bytes;
    if (isValidUtf8(bytes)) {
        table.encoding = TextEncoding::Utf8;
    } else {
        table.encoding = TextEncoding::Cp932;
        converted = cp932ToUtf8(bytes);
        text = converted;
    }
    table.separator = separatorOf(text);
    CsvOutcome outcome = CsvParser(text, table.separator, progress).parse(table);
    if (!outcome.ok()) {
        // Nothing of a refused file is kept.
        table.header.clear();
        table.rows.clear();
    }
    return outcome;
}

} // namespace kovo
