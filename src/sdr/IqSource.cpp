#include "IqSource.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>

namespace kovo::sdr {

bool parseGainText(std::string_view text, std::optional<double>* gainDb) {
    const auto isSpace = [](char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; };
    while (!text.empty() && isSpace(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isSpace(text.back()))
        text.remove_suffix(1);
    const auto lower = [](char c) { return char(std::tolower(static_cast<unsigned char>(c))); };
    if (std::ranges::equal(text, std::string_view("auto"), {}, lower)) {
        *gainDb = std::nullopt;
        return true;
    }
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() ||
        !std::isfinite(value))
        return false;
    *gainDb = value;
    return true;
}

} // namespace kovo::sdr
