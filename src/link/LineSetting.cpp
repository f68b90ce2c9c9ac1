#include "link/LineSetting.h"

#include <array>
#include <cctype>
#include <charconv>
#include <string_view>
#include <vector>

namespace kovo {

namespace {

struct ParityLetter {
    char letter;
    LineSetting::Parity parity;
};

constexpr std::array<ParityLetter, 5> kParityLetters{{
    {'N', LineSetting::Parity::None},
    {'E', LineSetting::Parity::Even},
    {'O', LineSetting::Parity::Odd},
    {'M', LineSetting::Parity::Mark},
    {'S', LineSetting::Parity::Space},
}};

struct StopBitsText {
    std::string_view text;
    LineSetting::StopBits stopBits;
};

constexpr std::array<StopBitsText, 3> kStopBitsTexts{{
    {"1", LineSetting::StopBits::One},
    {"1.5", LineSetting::StopBits::OneAndHalf},
    {"2", LineSetting::StopBits::Two},
}};

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front())))
        text.remove_prefix(1);
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back())))
        text.remove_suffix(1);
    return text;
}

std::vector<std::string_view> splitFields(std::string_view text) {
    std::vector<std::string_view> fields;
    for (;;) {
        const size_t comma = text.find(',');
        fields.push_back(trimmed(text.substr(0, comma)));
        if (comma == std::string_view::npos)
            return fields;
        text.remove_prefix(comma + 1);
    }
}

std::optional<int> parseNumber(std::string_view text) {
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

} // namespace

std::optional<LineSetting> LineSetting::parse(const std::string& text, FlowControl flow) {
    const std::vector<std::string_view> fields = splitFields(text);
    if (fields.size() != 4)
        return std::nullopt;

    LineSetting settings;
    settings.flowControl = flow;
    const auto baud = parseNumber(fields[0]);
    if (!baud || *baud <= 0)
        return std::nullopt;
    settings.bitsPerSecond = *baud;

    if (fields[1].size() != 1)
        return std::nullopt;
    const char letter = static_cast<char>(std::toupper(static_cast<unsigned char>(fields[1][0])));
    bool parityKnown = false;
    for (const ParityLetter& entry : kParityLetters) {
        if (entry.letter == letter) {
            settings.parity = entry.parity;
            parityKnown = true;
        }
    }

    const auto dataBits = parseNumber(fields[2]);
    if (!parityKnown || !dataBits || *dataBits < 5 || *dataBits > 8)
        return std::nullopt;
    settings.dataBits = *dataBits;

    for (const StopBitsText& entry : kStopBitsTexts) {
        if (entry.text == fields[3]) {
            settings.stopBits = entry.stopBits;
            return settings;
        }
    }
    return std::nullopt;
}

std::string LineSetting::text() const {
    std::string out = std::to_string(bitsPerSecond) + ",";
    for (const ParityLetter& entry : kParityLetters) {
        if (entry.parity == parity)
            out += entry.letter;
    }
    out += "," + std::to_string(dataBits) + ",";
    for (const StopBitsText& entry : kStopBitsTexts) {
        if (entry.stopBits == stopBits)
            out += entry.text;
    }
    if (flowControl == FlowControl::RtsCts)
        out += " RTS/CTS";
    else if (flowControl == FlowControl::XonXoff)
        out += " XON/XOFF";
    return out;
}

bool LineSetting::valid() const {
    return bitsPerSecond > 0 && dataBits >= 5 && dataBits <= 8;
}

} // namespace kovo
