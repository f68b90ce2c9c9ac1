#pragma once
#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "rig/RigControl.h"

namespace kovo::rig {

// Turns the receiver commands the link writes (CR-ended lines: a frequency in
// megahertz, a mode letter alone or followed by a space and the passband in
// Hz, "R"/"T" for the attenuator, "F"/"G" for the
// monitor switch, "Y" for a signal report, a frequency followed by "Y" for
// both in one, an empty line as a probe) into
// calls on a radio, and answers each as a prompting receiver does: the
// answer's text, if any, then CR LF and ">". A signal report is "%" while the
// squelch is closed, otherwise the meter letter of the strength.
class RigCommandInterpreter {
public:
    using Clock = std::chrono::steady_clock;
    using Sleeper = std::function<void(Clock::duration)>;

    explicit RigCommandInterpreter(RigControl& rig);

    // How long the squelch needs after a new frequency before a signal
    // report means anything.
    void setSettleTime(Clock::duration settle) { settle_ = settle; }
    // Replaces the wait before a signal report (tests count it instead).
    void setSleeper(Sleeper sleeper) { sleep_ = std::move(sleeper); }

    // The answer to one command line (without its CR), or nothing when the
    // radio failed; lastError() of the radio then says why.
    std::optional<std::string> execute(std::string_view line);

    // The meter letter for a strength in dB relative to S9: "A" for S0 and
    // below, one letter per S unit up to S9, one per 10 dB above it up to
    // +60 dB.
    static char meterLetter(int dbOverS9);

private:
    std::optional<std::string> answer(RigResult result, std::string text = {});
    std::optional<std::string> signalReport();

    RigControl& rig_;
    Clock::duration settle_{};
    Clock::time_point tunedAt_{};
    Sleeper sleep_;
};

} // namespace kovo::rig
