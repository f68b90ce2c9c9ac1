#include "ChirpCsv.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <set>

#include "CKovo5Doc.h"
#include "ChannelCsv.h"
#include "Cp932.h"
#include "Export.h"
#include "PlainSpelling.h"
#include "SpreadsheetCells.h"
#include "ValueTables.h"

namespace kovo {
namespace {

// Which setting of the channel a column follows. A column of an imported row
// is written as it was while that setting is still the one the import
// stored; `Kept` columns have no counterpart in the channel.
enum class Follows { Kept, Location, Name, Frequency, Tone, Mode, Step, Skip, Comment };

struct ChirpColumn {
    std::string_view name;
    Follows follows;
    std::string_view plain; // a channel's value without an imported row, when fixed
};

constexpr std::array<ChirpColumn, 21> kColumns{
    {{"Location", Follows::Location, ""},   {"Name", Follows::Name, ""},
     {"Frequency", Follows::Frequency, ""}, {"Duplex", Follows::Kept, ""},
     {"Offset", Follows::Kept, "0.000000"}, {"Tone", Follows::Tone, ""},
     {"rToneFreq", Follows::Kept, "88.5"},  {"cToneFreq", Follows::Tone, ""},
     {"DtcsCode", Follows::Kept, "023"},    {"DtcsPolarity", Follows::Kept, "NN"},
     {"RxDtcsCode", Follows::Kept, "023"},  {"CrossMode", Follows::Kept, "Tone->Tone"},
     {"Mode", Follows::Mode, ""},           {"TStep", Follows::Step, ""},
     {"Skip", Follows::Skip, ""},           {"Power", Follows::Kept, ""},
     {"Comment", Follows::Comment, ""},     {"URCALL", Follows::Kept, ""},
     {"RPT1CALL", Follows::Kept, ""},       {"RPT2CALL", Follows::Kept, ""},
     {"DVCODE", Follows::Kept, ""}}};

consteval std::size_t at(std::string_view name) {
    for (std::size_t i = 0; i < kColumns.size(); ++i)
        if (kColumns[i].name == name)
            return i;
    throw "no such column";
}

using Cells = std::array<std::string, kColumns.size()>;

// A handheld's FM is the receiver's narrow FM; synchronous AM goes out as AM.
constexpr std::array<std::string_view, 9> kChirpModes{"FM", "WFM", "AM", "LSB", "USB",
                                                      "CW", "AM",  "AM", "AM"};
constexpr std::string_view kDefaultTone = "88.5";

std::string_view chirpMode(int mode) {
    return mode >= 0 && mode < static_cast<int>(kChirpModes.size())
               ? kChirpModes[static_cast<std::size_t>(mode)]
               : kChirpModes[0];
}

// Quoted when the text holds a separator, a quote or a line break.
void appendField(std::string& out, std::string_view text) {
    if (text.find_first_of(",\"\r\n") == std::string_view::npos) {
        out.append(text);
        return;
    }
    out.push_back('"');
    for (char c : text) {
        if (c == '"')
            out.push_back('"');
        out.push_back(c);
    }
    out.push_back('"');
}

std::string megahertz(std::uint32_t hz) {
    char text[24];
    std::snprintf(text, sizeof text, "%u.%06u", hz / 1'000'000u, hz % 1'000'000u);
    return text;
}

// kHz with at least two decimals and no trailing zero beyond them.
std::string kilohertz(std::uint32_t hz) {
    char text[24];
    std::snprintf(text, sizeof text, "%u.%03u", hz / 1000u, hz % 1000u);
    std::string s = text;
    if (s.back() == '0')
        s.pop_back();
    return s;
}

std::string toneText(int ctcss) {
    std::string_view label = ctcssName(ctcss);
    while (!label.empty() && label.front() == ' ')
        label.remove_prefix(1);
    return std::string(label);
}

// The first `count` characters of UTF-8 text.
std::string_view leadingCharacters(std::string_view text, std::size_t count) {
    std::size_t end = 0;
    for (std::size_t n = 0; end < text.size() && n < count; ++n) {
        ++end;
        while (end < text.size() && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80)
            ++end;
    }
    return text.substr(0, end);
}

bool isPassChannel(const CFrequencyData& channel) {
    return (channel.bankMask & (1 << kPassBank)) != 0;
}

// The cells of a channel that came from no CHIRP list.
Cells plainCells(const CFrequencyData& channel) {
    Cells cells;
    for (std::size_t i = 0; i < kColumns.size(); ++i)
        cells[i] = kColumns[i].plain;
    const bool squelch = channel.ctcss > CtcssOff && channel.ctcss < CtcssToneSearch;
    const std::string comment = cp932ToUtf8(channel.comment);
    cells[at("Name")] = leadingCharacters(comment, kChirpNameLength);
    cells[at("Frequency")] = megahertz(channel.frequency);
    cells[at("Tone")] = squelch ? "TSQL" : "";
    cells[at("cToneFreq")] = squelch ? toneText(channel.ctcss) : std::string(kDefaultTone);
    cells[at("Mode")] = chirpMode(channel.mode);
    cells[at("TStep")] = kilohertz(stepHz(channel.step));
    cells[at("Skip")] = isPassChannel(channel) ? "S" : "";
    cells[at("Comment")] = comment;
    return cells;
}

// The name and comment of an imported row whose comment was edited: the name
// is kept while the comment still begins with it as the import stored it.
void splitEditedComment(const ChirpRow& row, Cells& cells) {
    const std::string* name = row.cell("Name");
    if (name == nullptr || name->empty())
        return;
    const std::string storedName = plainSpelling(*name).text;
    const std::string& comment = cells[at("Comment")];
    if (comment == storedName) {
        cells[at("Name")] = *name;
        cells[at("Comment")].clear();
    } else if (comment.starts_with(storedName + " ")) {
        cells[at("Name")] = *name;
        cells[at("Comment")] = comment.substr(storedName.size() + 1);
    }
}

// Whether the channel's setting a column follows is still what the import
// stored.
bool unchangedSince(Follows follows, const ChirpRow& row, const CFrequencyData& channel,
                    const std::string& comment) {
    const ChirpStored& stored = row.stored;
    switch (follows) {
    case Follows::Kept:
    case Follows::Location:
        return true;
    case Follows::Name:
    case Follows::Comment:
        return comment == stored.comment;
    case Follows::Frequency: {
        const std::string* text = row.cell("Frequency");
        return text != nullptr && parseFrequencyHz(*text, FrequencyUnit::MHz) == channel.frequency;
    }
    case Follows::Tone:
        return channel.ctcss == stored.ctcss;
    case Follows::Mode:
        return channel.mode == stored.mode;
    case Follows::Step:
        return channel.step == stored.step;
    case Follows::Skip:
        return isPassChannel(channel) == stored.pass;
    }
    return false;
}

Cells cellsOf(const CFrequencyData& channel, const ChirpRow* row) {
    Cells cells = plainCells(channel);
    if (row == nullptr)
        return cells;
    const std::string& comment = cells[at("Comment")];
    if (!unchangedSince(Follows::Comment, *row, channel, comment))
        splitEditedComment(*row, cells);
    const Cells plain = cells;
    for (std::size_t i = 0; i < kColumns.size(); ++i) {
        const std::string* text = row->cell(kColumns[i].name);
        if (text != nullptr &&
            unchangedSince(kColumns[i].follows, *row, channel, plain[at("Comment")]))
            cells[i] = *text;
    }
    return cells;
}

// A location as CHIRP writes it, or -1.
int locationOf(const std::string& text) {
    if (text.empty() || text.size() > 6 ||
        !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return -1;
    return std::stoi(text);
}

struct ExportedRow {
    int location = -1;
    Cells cells;
};

// Imported rows keep their location unless an earlier row took it; every
// other row takes the lowest location from 1 that is free.
void assignLocations(std::vector<ExportedRow>& rows) {
    std::set<int> used;
    for (ExportedRow& row : rows) {
        const int wanted = locationOf(row.cells[at("Location")]);
        if (wanted >= 0 && used.insert(wanted).second)
            row.location = wanted;
    }
    int next = 1;
    for (ExportedRow& row : rows) {
        if (row.location >= 0)
            continue;
        while (used.contains(next))
            ++next;
        row.location = next;
        used.insert(next);
    }
    std::stable_sort(rows.begin(), rows.end(), [](const ExportedRow& a, const ExportedRow& b) {
        return a.location < b.location;
    });
}

// Whether an export of `bank` holds the channel, and the imported row
// it gives back, if any.
bool exported(const CFrequencyData& channel, int bank, const ChirpDetails& details,
              const ChirpRow*& row) {
    if (bank == kAllBanks) {
        row = details.findForChannel(channel.frequency, channel.bankMask);
        return true;
    }
    row = details.find(channel.frequency, bank);
    // A row marked to be skipped became a pass channel: it belongs to the
    // list of the bank it was imported into.
    return (channel.bankMask & (1 << bank)) != 0 || (row != nullptr && isPassChannel(channel));
}

void appendRow(std::string& out, const ExportedRow& row) {
    for (std::size_t i = 0; i < kColumns.size(); ++i) {
        if (i > 0)
            out += ',';
        const std::string& text =
            kColumns[i].follows == Follows::Location ? std::to_string(row.location) : row.cells[i];
        appendField(out, guardedCell(text, runsAsFormula));
    }
    out += "\r\n";
}

} // namespace

std::string formatChirpCsv(const DocumentContents& contents, int bank,
                           const ChirpDetails& details) {
    std::vector<ExportedRow> rows;
    rows.reserve(static_cast<std::size_t>(std::max(contents.channelCount, 0)));
    for (int i = 0; i < contents.channelCount; ++i) {
        const CFrequencyData& channel = *contents.channels[static_cast<std::size_t>(i)];
        const ChirpRow* row = nullptr;
        if (exported(channel, bank, details, row))
            rows.push_back({-1, cellsOf(channel, row)});
    }
    assignLocations(rows);
    std::string out;
    out.reserve(rows.size() * 120 + 256);
    for (std::size_t i = 0; i < kColumns.size(); ++i)
        out.append(i > 0 ? "," : "").append(kColumns[i].name);
    out += "\r\n";
    for (const ExportedRow& row : rows)
        appendRow(out, row);
    return out;
}

FileResult exportChirpCsv(const CKovo5Doc& doc, const std::string& path, int bank) {
    return writeExportFile(path, formatChirpCsv(doc, bank, doc.chirpDetails()));
}

} // namespace kovo
