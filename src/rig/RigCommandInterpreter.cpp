#include "rig/RigCommandInterpreter.h"

#include "data/TypedFrequency.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <thread>

namespace kovo::rig {

namespace {

constexpr std::string_view kPrompt = "\r\n>";
constexpr std::string_view kRefused = "?";

struct ModeLetter {
    char letter;
    RigMode mode;
};

constexpr std::array<ModeLetter, 6> kModeLetters{{
    {'N', RigMode::NarrowFm},
    {'W', RigMode::WideFm},
    {'A', RigMode::Am},
    {'L', RigMode::Lsb},
    {'U', RigMode::Usb},
    {'C', RigMode::Cw},
}};

std::optional<RigMode> modeOf(char letter) {
    for (const ModeLetter& m : kModeLetters)
        if (m.letter == letter)
            return m.mode;
    return std::nullopt;
}

} // namespace

RigCommandInterpreter::RigCommandInterpreter(RigControl& rig)
    : rig_(rig), sleep_([](Clock::duration d) { std::this_thread::sleep_for(d); }) {}

char RigCommandInterpreter::meterLetter(int dbOverS9) {
    constexpr int kDbPerSUnit = 6;
    constexpr int kS0 = -9 * kDbPerSUnit;
    int index = 0;
    if (dbOverS9 <= 0)
        index = (std::max(dbOverS9, kS0) - kS0) / kDbPerSUnit;
    else
        index = 9 + std::min(dbOverS9, 60) / 10;
    return char('A' + index);
}

std::optional<std::string> RigCommandInterpreter::answer(RigResult result, std::string text) {
    switch (result) {
    case RigResult::Failed:
        return std::nullopt;
    case RigResult::Refused:
        return std::string(kRefused) + std::string(kPrompt);
    case RigResult::Done:
    case RigResult::NotAvailable:
        break;
    }
    return text + std::string(kPrompt);
}

std::optional<std::string> RigCommandInterpreter::signalReport() {
    const auto settledAt = tunedAt_ + settle_;
    const auto now = Clock::now();
    if (now < settledAt)
        sleep_(settledAt - now);
    SignalReport report;
    const RigResult result = rig_.readSignal(report);
    if (result != RigResult::Done)
        return answer(result);
    return answer(result, report ? std::string(1, meterLetter(*report)) : std::string("%"));
}

std::optional<std::string> RigCommandInterpreter::execute(std::string_view line) {
    if (line.empty())
        return answer(RigResult::Done);
    if (line.size() == 1) {
        const char c = char(std::toupper(static_cast<unsigned char>(line[0])));
        if (c == 'Y')
            return signalReport();
        if (c == 'F' || c == 'G') // the monitor switch: every squelch here is read, not heard
            return answer(RigResult::Done);
        if (c == 'R' || c == 'T')
            return answer(rig_.setAttenuator(c == 'R'));
        if (const auto mode = modeOf(c))
            return answer(rig_.setMode(*mode, 0));
    }
    if (line.size() > 2 && line[1] == ' ') {
        const auto mode = modeOf(char(std::toupper(static_cast<unsigned char>(line[0]))));
        const std::string_view width = line.substr(2);
        int hz = 0;
        const auto [end, error] = std::from_chars(width.data(), width.data() + width.size(), hz);
        if (mode && error == std::errc{} && end == width.data() + width.size() && hz >= 0)
            return answer(rig_.setMode(*mode, hz));
        return answer(RigResult::Refused);
    }
    const bool reportToo = line.size() > 1 && (line.back() == 'Y' || line.back() == 'y');
    if (reportToo)
        line.remove_suffix(1);
    // The rig refuses what it does not tune.
    if (const auto hz = parseTypedMegahertz(line, kAnyFrequency)) {
        const RigResult result = rig_.setFrequency(*hz);
        if (result == RigResult::Done)
            tunedAt_ = Clock::now();
        if (reportToo && result == RigResult::Done)
            return signalReport();
        return answer(result);
    }
    return answer(RigResult::Refused);
}

} // namespace kovo::rig
