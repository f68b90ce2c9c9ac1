#include "Export.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "CKovo5Doc.h"
#include "DocumentRules.h"
#include "FileIo.h"
#include "LocalTime.h"
#include "SpreadsheetCells.h"
#include "UiText.h"
#include "ValueTables.h"

namespace kovo {
namespace {

constexpr std::string_view kLineEnd = "\r\n";

constexpr std::string_view kMemoryHeader =
    " Bank  Ch    Frequency     Step Mode   IFBW    ATT   CTCSS T-ELM ANT    Sig Max    Date  "
    "   Time         Comment";
constexpr int kMemoryRuleLength = 137;
constexpr std::string_view kLogHeader = "   Frequency    Sig     Date     Time         Comment";
constexpr int kLogRuleLength = 79;

constexpr std::string_view kNeverHeardColumns = "  -   -   -- -- -- -- -- --";
constexpr std::string_view kNeverHeardCsv = ",,,";

// A label as printf precision argument: labels are not zero-terminated views.
int len(std::string_view s) {
    return static_cast<int>(s.size());
}

void appendRule(std::string& out, int length) {
    out.append(static_cast<std::size_t>(length), '-');
    out += kLineEnd;
}

// snprintf into `buffer` and append what fits; the buffers are sized for the
// widest values a record can hold, so nothing is ever cut in practice.
template <std::size_t N, typename... Args>
void appendFormatted(std::string& out, char (&buffer)[N], const char* format, Args... args) {
    const int n = std::snprintf(buffer, N, format, args...);
    if (n > 0)
        out.append(buffer, static_cast<std::size_t>(n) < N ? static_cast<std::size_t>(n) : N - 1);
}

struct FrequencyParts {
    unsigned megahertz;
    unsigned remainder;
};
FrequencyParts splitFrequency(std::uint32_t hz) {
    return {hz / 1000000u, hz % 1000000u};
}

// "yy-mm-dd" (year zero-padded, month and day blank-padded) and "hh:mm:ss".
void appendDate(std::string& out, const LocalTime& t, bool quoted) {
    char buffer[64];
    appendFormatted(out, buffer, quoted ? "\"%02d-%2d-%2d\"" : "%02d-%2d-%2d", t.year % 100,
                    t.month, t.day);
}
void appendClock(std::string& out, const LocalTime& t, bool quoted) {
    char buffer[64];
    appendFormatted(out, buffer, quoted ? "\"%02d:%02d:%02d\"" : "%02d:%02d:%02d", t.hour, t.minute,
                    t.second);
}

void appendSignalPart(std::string& out, const CFrequencyData& ch, bool csv) {
    if (ch.heard == 0) {
        out += csv ? kNeverHeardCsv : kNeverHeardColumns;
        return;
    }
    const std::string_view sig = signalLabel(ch.signal);
    const std::string_view max = signalLabel(ch.maxSignal);
    const LocalTime t = toLocalTime(ch.heardTime);
    char buffer[64];
    if (csv) {
        appendFormatted(out, buffer, "\"%3.*s\",\"%3.*s\",", len(sig), sig.data(), len(max),
                        max.data());
        appendDate(out, t, true);
        out += ',';
        appendClock(out, t, true);
    } else {
        appendFormatted(out, buffer, " %3.*s %3.*s  ", len(sig), sig.data(), len(max), max.data());
        appendDate(out, t, false);
        out += ' ';
        appendClock(out, t, false);
    }
}

// A spreadsheet takes a field between double quotes as one cell, whatever it
// holds, and reads a doubled quote inside it as one quote. Code page 932 never
// uses these bytes in the second byte of a character, so the text is scanned
// byte by byte.
void appendWithQuotesDoubled(std::string& out, std::string_view text) {
    for (const char c : text) {
        out += c;
        if (c == '"')
            out += '"';
    }
}

// An unquoted field ends at a comma or a line end; a text holding one of
// these (or a quote) is quoted, any other text is written as it stands.
void appendCsvField(std::string& out, std::string_view text) {
    if (text.find_first_of(",\"\r\n") == std::string_view::npos) {
        out += text;
        return;
    }
    out += '"';
    appendWithQuotesDoubled(out, text);
    out += '"';
}

} // namespace

bool exportUsesColumns(std::string_view path) {
    const std::size_t slash = path.find_last_of('/');
    const std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
    const std::size_t dot = name.find_last_of('.');
    if (dot == std::string_view::npos)
        return true;
    const std::string_view ext = name.substr(dot + 1);
    if (ext.size() != 3)
        return false;
    auto lower = [](char c) { return static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c); };
    return lower(ext[0]) == 't' && lower(ext[1]) == 'x' && lower(ext[2]) == 't';
}

int exportBankOf(std::int32_t bankMask, std::uint32_t linkMask) {
    const std::uint32_t both = static_cast<std::uint32_t>(bankMask) & linkMask;
    for (int b = 0; b < kBankCount; ++b)
        if (both & (1u << b))
            return b;
    return -1;
}

void appendMemoryHeader(std::string& out) {
    out += kMemoryHeader;
    out += kLineEnd;
    appendRule(out, kMemoryRuleLength);
}

void appendLogHeader(std::string& out) {
    out += kLogHeader;
    out += kLineEnd;
    appendRule(out, kLogRuleLength);
}

void appendMemoryLine(std::string& out, int bank, const CFrequencyData& ch, bool csv) {
    const FrequencyParts f = splitFrequency(ch.frequency);
    // The step's name as the user reads it (corrected in English).
    const std::string stepText = uiText("StepNames", std::string(stepName(ch.step)).c_str());
    const std::string_view step = stepText;
    const std::string_view mode = modeName(ch.mode);
    const std::string_view ifbw = ifBandwidthName(ch.ifBandwidth);
    const std::string_view att = attName(ch.attenuator);
    const std::string_view tone = ctcssName(ch.ctcss);
    char tElm[16];
    if (ch.tElm == 0)
        std::snprintf(tElm, sizeof tElm, "OFF");
    else
        std::snprintf(tElm, sizeof tElm, "%3d", static_cast<int>(ch.tElm));
    const long long antenna = static_cast<long long>(ch.antenna) + 1;

    char buffer[256];
    if (csv)
        appendFormatted(out, buffer,
                        "%4d,%4d,%4u.%06uMHz,%.*s,%.*s,\"%.*s\",\"%.*s\",\"%.*s\",\"%s\",ANT%lld,",
                        bank, static_cast<int>(ch.bankNumber), f.megahertz, f.remainder, len(step),
                        step.data(), len(mode), mode.data(), len(ifbw), ifbw.data(), len(att),
                        att.data(), len(tone), tone.data(), tElm, antenna);
    else
        appendFormatted(out, buffer,
                        "%4d %4d %4u.%06uMHz %7.*s %-4.*s %6.*s %-4.*s %6.*s %4s  ANT%lld  ", bank,
                        static_cast<int>(ch.bankNumber), f.megahertz, f.remainder, len(step),
                        step.data(), len(mode), mode.data(), len(ifbw), ifbw.data(), len(att),
                        att.data(), len(tone), tone.data(), tElm, antenna);
    appendSignalPart(out, ch, csv);
    if (csv) {
        out += ',';
        appendCsvField(out, guardedCell(ch.comment, mayReadAsFormula));
    } else {
        out += "  ";
        out += ch.comment;
    }
    out += kLineEnd;
}

void appendLogLine(std::string& out, const CLogData& entry, bool csv) {
    const FrequencyParts f = splitFrequency(entry.frequency);
    const std::string_view max = signalLabel(entry.maxSignal);
    const LocalTime first = toLocalTime(entry.firstHeard);
    const LocalTime last = toLocalTime(entry.lastHeard);
    char buffer[64];
    if (csv) {
        appendFormatted(out, buffer, "%4u.%06uMHz,\"%.*s\",", f.megahertz, f.remainder, len(max),
                        max.data());
        appendDate(out, first, true);
        out += ',';
        appendClock(out, first, true);
        out += ',';
        appendClock(out, last, true);
        out += ",\"";
        appendWithQuotesDoubled(out, guardedCell(entry.comment, mayReadAsFormula));
        out += '"';
    } else {
        appendFormatted(out, buffer, "%4u.%06uMHz  %3.*s   ", f.megahertz, f.remainder, len(max),
                        max.data());
        appendDate(out, first, false);
        out += ' ';
        appendClock(out, first, false);
        out += '-';
        appendClock(out, last, false);
        out += "  ";
        out += entry.comment;
    }
    out += kLineEnd;
}

std::string formatMemoryExport(const DocumentContents& contents, bool csv) {
    std::string out;
    const int count = std::clamp(contents.channelCount, 0, kMaxChannels);
    out.reserve(static_cast<std::size_t>(count) * 160 + 512);
    if (!csv)
        appendMemoryHeader(out);
    const std::uint32_t linkMask = linkMaskOf(contents);
    for (int i = 0; i < count; ++i) {
        const CFrequencyData* ch = contents.channels[static_cast<std::size_t>(i)].get();
        if (ch == nullptr)
            continue;
        const int bank = exportBankOf(ch->bankMask, linkMask);
        if (bank >= 0)
            appendMemoryLine(out, bank, *ch, csv);
    }
    return out;
}

int channelsLeftOutOfMemoryExport(const DocumentContents& contents) {
    const int count = std::clamp(contents.channelCount, 0, kMaxChannels);
    const std::uint32_t linkMask = linkMaskOf(contents);
    int leftOut = 0;
    for (int i = 0; i < count; ++i) {
        const CFrequencyData* ch = contents.channels[static_cast<std::size_t>(i)].get();
        if (ch != nullptr && exportBankOf(ch->bankMask, linkMask) < 0)
            ++leftOut;
    }
    return leftOut;
}

std::string leftOutOfMemoryExportMessage(int leftOut) {
    return std::to_string(leftOut) +
           KOVO_TR(
               "Export",
               " 件のチャンネルは現在のリンクセットのバンクに入っていないため書き出されませんでした"
               "（バンク 0 に自動記憶されたチャンネルなど）。");
}

std::string formatLogExport(const DocumentContents& contents, bool csv) {
    std::string out;
    const int count = std::clamp(contents.logCount, 0, kLogSlots);
    out.reserve(static_cast<std::size_t>(count) * 100 + 256);
    if (!csv)
        appendLogHeader(out);
    for (int r = 0; r < count; ++r)
        appendLogLine(out, contents.logEntry(r), csv);
    return out;
}

std::string formatExport(const DocumentContents& contents, ExportKind kind, bool csv) {
    return kind == ExportKind::Log ? formatLogExport(contents, csv)
                                   : formatMemoryExport(contents, csv);
}

FileResult writeExportFile(const std::string& path, std::string_view bytes) {
    int error = 0;
    if (replaceFileAtomically(path, std::vector<std::uint8_t>(bytes.begin(), bytes.end()), error))
        return FileResult::success();
    return FileResult::failure(KOVO_TR("Export", "テキストファイルの書き出しに失敗しました。") +
                               "\n" + path + "\n" + std::strerror(error));
}

FileResult CKovo5Doc::exportFile(const std::string& path, int kind, bool csv) const {
    if (kind != static_cast<int>(ExportKind::Memory) && kind != static_cast<int>(ExportKind::Log))
        return FileResult::failure(KOVO_TR("Export", "書き出しの種類が正しくありません。"));
    const auto exportKind = static_cast<ExportKind>(kind);
    FileResult result = writeExportFile(path, formatExport(*this, exportKind, csv));
    if (result.ok && exportKind == ExportKind::Memory) {
        // The export holds only the banks of the current link set; the user
        // is told what that left out, or a short file would look complete.
        if (const int leftOut = channelsLeftOutOfMemoryExport(*this); leftOut > 0)
            result.message = leftOutOfMemoryExportMessage(leftOut);
    }
    return result;
}

FileResult CKovo5Doc::exportFile(const std::string& path, int kind) const {
    return exportFile(path, kind, !exportUsesColumns(path));
}

} // namespace kovo
