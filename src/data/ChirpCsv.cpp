#include "ChirpCsv.h"

#include <array>
#include <cstdio>

#include "Cp932.h"
#include "Export.h"
#include "ValueTables.h"

namespace kovo {
namespace {

constexpr const char* kHeader =
    "Location,Name,Frequency,Duplex,Offset,Tone,rToneFreq,cToneFreq,DtcsCode,DtcsPolarity,"
    "RxDtcsCode,CrossMode,Mode,TStep,Skip,Power,Comment,URCALL,RPT1CALL,RPT2CALL,DVCODE\r\n";

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

void appendChannel(std::string& out, int location, const CFrequencyData& channel) {
    const bool squelch = channel.ctcss > CtcssOff && channel.ctcss < CtcssToneSearch;
    const std::string tone = squelch ? toneText(channel.ctcss) : std::string(kDefaultTone);
    const std::string comment = cp932ToUtf8(channel.comment);
    const bool pass = (channel.bankMask & (1 << kPassBank)) != 0;
    out += std::to_string(location);
    out += ',';
    appendField(out, leadingCharacters(comment, kChirpNameLength));
    out += ',' + megahertz(channel.frequency) + ",,0.000000,";
    out += squelch ? "TSQL" : "";
    out += ',' + std::string(kDefaultTone) + ',' + tone + ",023,NN,023,Tone->Tone,";
    out += chirpMode(channel.mode);
    out += ',' + kilohertz(stepHz(channel.step)) + ',';
    out += pass ? "S" : "";
    out += ",,";
    appendField(out, comment);
    out += ",,,,\r\n";
}

} // namespace

std::string formatChirpCsv(const DocumentContents& contents, int bank) {
    std::string out = kHeader;
    out.reserve(static_cast<std::size_t>(contents.channelCount) * 120 + out.size());
    int location = 0;
    for (int i = 0; i < contents.channelCount; ++i) {
        const CFrequencyData& channel = *contents.channels[static_cast<std::size_t>(i)];
        if (bank != kAllBanks && (channel.bankMask & (1 << bank)) == 0)
            continue;
        appendChannel(out, ++location, channel);
    }
    return out;
}

FileResult exportChirpCsv(const DocumentContents& contents, const std::string& path, int bank) {
    return writeExportFile(path, formatChirpCsv(contents, bank));
}

} // namespace kovo
