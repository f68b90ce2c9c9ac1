#include "FrequencyText.h"

namespace kovo::sim {

namespace {

constexpr std::size_t kMaxWholeDigits = 4;    // up to 9999 MHz before the range check
constexpr std::size_t kMaxFractionDigits = 6; // hertz resolution

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

bool allDigits(std::string_view s) {
    for (char c : s)
        if (!isDigit(c))
            return false;
    return true;
}

std::uint64_t digitsValue(std::string_view s) {
    std::uint64_t v = 0;
    for (char c : s)
        v = v * 10 + std::uint64_t(c - '0');
    return v;
}

} // namespace

bool parseMegahertz(std::string_view text, std::uint32_t* hertz) {
    const auto point = text.find('.');
    const std::string_view whole = text.substr(0, point);
    const std::string_view fraction =
        point == std::string_view::npos ? std::string_view{} : text.substr(point + 1);
    if (whole.empty() && fraction.empty())
        return false;
    if (whole.size() > kMaxWholeDigits || fraction.size() > kMaxFractionDigits)
        return false;
    if (!allDigits(whole) || !allDigits(fraction))
        return false;

    std::uint64_t fractionHz = digitsValue(fraction);
    for (std::size_t i = fraction.size(); i < kMaxFractionDigits; ++i)
        fractionHz *= 10;
    const std::uint64_t hz = digitsValue(whole) * 1000000u + fractionHz;
    if (hz > UINT32_MAX)
        return false;
    *hertz = std::uint32_t(hz);
    return true;
}

} // namespace kovo::sim
