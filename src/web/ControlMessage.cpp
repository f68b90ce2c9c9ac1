#include "web/ControlMessage.h"

#include "data/TypedFrequency.h"

#include <algorithm>
#include <array>
#include <charconv>

namespace kovo::web {
namespace {

enum class Argument { None, Frequency, Word, Number, OnOff };

struct VerbRow {
    std::string_view word;
    ControlVerb verb;
    Argument argument;
};

constexpr std::array<VerbRow, 10> kVerbs{{
    {"scan", ControlVerb::Scan, Argument::None},
    {"stop", ControlVerb::Stop, Argument::None},
    {"hold", ControlVerb::Hold, Argument::None},
    {"resume", ControlVerb::Resume, Argument::None},
    {"up", ControlVerb::Up, Argument::None},
    {"down", ControlVerb::Down, Argument::None},
    {"tune", ControlVerb::Tune, Argument::Frequency},
    {"mode", ControlVerb::Mode, Argument::Word},
    {"linkset", ControlVerb::LinkSet, Argument::Number},
    {"listen", ControlVerb::Listen, Argument::OnOff},
}};

// A number of megahertz; whether the receiver tunes it is decided later.
bool isFrequencyText(std::string_view s) {
    return s.size() <= 16 && parseDecimalHz(s, kMegahertz).has_value();
}

bool isWord(std::string_view s) {
    return !s.empty() && s.size() <= 8 &&
           std::all_of(s.begin(), s.end(), [](char c) { return c >= 'A' && c <= 'Z'; });
}

std::optional<int> smallNumber(std::string_view s) {
    int value = 0;
    if (s.empty() || s.size() > 3)
        return std::nullopt;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), value);
    if (ec != std::errc() || end != s.data() + s.size())
        return std::nullopt;
    return value;
}

// "off", "on" or "on <form>".
bool takeOnOff(std::string_view arg, ControlMessage& out) {
    if (arg == "off" || arg == "on") {
        out.number = arg == "on" ? 1 : 0;
        return true;
    }
    constexpr std::string_view on = "on ";
    if (arg.substr(0, on.size()) != on)
        return false;
    const auto form = audioFormNamed(arg.substr(on.size()));
    if (!form)
        return false;
    out.number = 1;
    out.audioForm = *form;
    return true;
}

bool takeArgument(Argument kind, std::string_view arg, ControlMessage& out) {
    switch (kind) {
    case Argument::None:
        return arg.empty();
    case Argument::Frequency:
        out.text = std::string(arg);
        return isFrequencyText(arg);
    case Argument::Word:
        out.text = std::string(arg);
        return isWord(arg);
    case Argument::Number:
        if (const auto n = smallNumber(arg); n && *n >= 1 && *n <= 20) {
            out.number = *n;
            return true;
        }
        return false;
    case Argument::OnOff:
        return takeOnOff(arg, out);
    }
    return false;
}

} // namespace

std::optional<ControlMessage> parseControlMessage(std::string_view line) {
    if (line.empty() || line.size() > kMaxControlMessageBytes)
        return std::nullopt;
    const std::size_t space = line.find(' ');
    const std::string_view word = line.substr(0, space);
    const std::string_view arg =
        space == std::string_view::npos ? std::string_view{} : line.substr(space + 1);
    if (space != std::string_view::npos && arg.empty())
        return std::nullopt;
    const auto row = std::find_if(kVerbs.begin(), kVerbs.end(),
                                  [&](const VerbRow& r) { return r.word == word; });
    if (row == kVerbs.end())
        return std::nullopt;
    ControlMessage message;
    message.verb = row->verb;
    if (!takeArgument(row->argument, arg, message))
        return std::nullopt;
    return message;
}

bool sameSecret(std::string_view a, std::string_view b) {
    // Every byte of the longer one is looked at, whatever the contents.
    const std::size_t n = std::max(a.size(), b.size());
    unsigned char difference = a.size() == b.size() ? 0 : 1;
    for (std::size_t i = 0; i < n; ++i) {
        const unsigned char x = i < a.size() ? static_cast<unsigned char>(a[i]) : 0;
        const unsigned char y = i < b.size() ? static_cast<unsigned char>(b[i]) : 0;
        difference |= static_cast<unsigned char>(x ^ y);
    }
    return difference == 0 && n > 0;
}

bool CommandRateLimit::allow(std::int64_t nowMs) {
    if (lastMs_) {
        const auto elapsed = std::max<std::int64_t>(0, nowMs - *lastMs_);
        tokens_ = std::min<double>(burst_, tokens_ + double(elapsed) * perSecond_ / 1000.0);
    }
    lastMs_ = nowMs;
    if (tokens_ < 1.0)
        return false;
    tokens_ -= 1.0;
    return true;
}

} // namespace kovo::web
