#include "TypedFrequency.h"

#include <algorithm>
#include <cctype>

namespace kovo {
namespace {

bool isBlankChar(char c) {
    return std::isspace(static_cast<unsigned char>(c)) != 0;
}
bool isDigitChar(char c) {
    return c >= '0' && c <= '9';
}
bool isPointChar(char c) {
    return c == '.' || c == ',';
}

} // namespace

bool isBlank(std::string_view text) {
    return std::all_of(text.begin(), text.end(), isBlankChar);
}

std::optional<std::int64_t> parseDecimalHz(std::string_view text, std::uint64_t unitHz) {
    while (!text.empty() && isBlankChar(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlankChar(text.back()))
        text.remove_suffix(1);
    // Far more than any frequency: larger numbers saturate.
    constexpr std::uint64_t kCeiling = std::uint64_t(1) << 40;
    std::uint64_t hz = 0;
    // Each digit after the point is worth a tenth of the one before; digits
    // below one hertz are cut off.
    std::uint64_t place = unitHz;
    bool sawDigit = false;
    bool sawPoint = false;
    for (const char c : text) {
        if (isPointChar(c)) {
            if (sawPoint)
                return std::nullopt;
            sawPoint = true;
        } else if (!isDigitChar(c)) {
            return std::nullopt;
        } else if (sawPoint) {
            place /= 10;
            hz = std::min(kCeiling, hz + std::uint64_t(c - '0') * place);
            sawDigit = true;
        } else {
            hz = std::min(kCeiling, hz * 10 + std::uint64_t(c - '0') * unitHz);
            sawDigit = true;
        }
    }
    if (!sawDigit)
        return std::nullopt;
    return std::int64_t(hz);
}

TypedFrequency readTypedFrequency(std::string_view text, FrequencyRange range,
                                  std::uint64_t unitHz) {
    const auto hz = parseDecimalHz(text, unitHz);
    if (!hz)
        return {TypedFrequency::Verdict::NotANumber, 0};
    if (!range.contains(*hz))
        return {TypedFrequency::Verdict::OutOfRange, 0};
    return {TypedFrequency::Verdict::Frequency, static_cast<std::uint32_t>(*hz)};
}

std::optional<std::uint32_t> parseTypedMegahertz(std::string_view text, FrequencyRange range) {
    const TypedFrequency typed = readTypedFrequency(text, range);
    if (!typed)
        return std::nullopt;
    return typed.hz;
}

} // namespace kovo
