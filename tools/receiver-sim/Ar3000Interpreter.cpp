#include "Ar3000Interpreter.h"

#include "FrequencyText.h"

#include <algorithm>

namespace kovo::sim {

namespace {

bool isEntryCharacter(char c) {
    return (c >= '0' && c <= '9') || c == '.';
}
bool isAttenuatorLetter(char c) {
    return c == 'R' || c == 'T';
}

const std::string kLineEnd = "\r\n";

} // namespace

std::string Ar3000Interpreter::reportLine(char reportCharacter) const {
    return std::string(1, reportCharacter) + kLineEnd;
}

bool Ar3000Interpreter::hasDigits() const {
    return !pending_.empty() && isEntryCharacter(pending_.back());
}

CommandOutcome Ar3000Interpreter::finish(char last) {
    CommandOutcome outcome;
    outcome.received = pending_ + last;
    pending_.clear();
    return outcome;
}

// Ends a frequency entry: tunes and echoes it, or drops it if it is no frequency.
CommandOutcome Ar3000Interpreter::finishEntry(char last, ReceiverState& state, int mode) {
    std::string_view digits = pending_;
    if (!digits.empty() && isAttenuatorLetter(upperAscii(digits.front())))
        digits.remove_prefix(1);
    std::uint32_t hz = 0;
    const bool valid = parseMegahertz(digits, &hz) && hz >= kLowestHz && hz <= kHighestHz;
    CommandOutcome outcome = finish(last);
    if (!valid)
        return outcome;
    state.frequencyHz = hz;
    if (mode >= 0)
        state.mode = mode;
    outcome.answered = true;
    outcome.answer = outcome.received;
    if (outcome.answer.back() == '\r')
        outcome.answer.pop_back();
    outcome.answer += kLineEnd;
    return outcome;
}

void Ar3000Interpreter::abandonInto(std::vector<CommandOutcome>& out) {
    if (pending_.empty())
        return;
    CommandOutcome outcome;
    outcome.received = pending_;
    pending_.clear();
    out.push_back(outcome);
}

void Ar3000Interpreter::ignore(std::string_view bytes) {
    const std::size_t room = kLongestEntry * 4 - std::min(ignored_.size(), kLongestEntry * 4);
    ignored_.append(bytes.substr(0, room));
}

void Ar3000Interpreter::flushIgnoredInto(std::vector<CommandOutcome>& out) {
    if (ignored_.empty())
        return;
    CommandOutcome outcome;
    outcome.received = std::move(ignored_);
    ignored_.clear();
    out.push_back(outcome);
}

void Ar3000Interpreter::takeEntryCharacter(unsigned char byte) {
    if (pending_.size() < kLongestEntry) {
        pending_.push_back(char(byte));
        return;
    }
    ignore(pending_);
    ignore(std::string(1, char(byte)));
    pending_.clear();
    discarding_ = true;
}

std::vector<CommandOutcome> Ar3000Interpreter::feed(unsigned char byte, ReceiverState& state,
                                                    const SignalMeter&) {
    std::vector<CommandOutcome> out;
    const char c = upperAscii(char(byte));
    if (c == '\n')
        return out;
    const bool entryCharacter = isEntryCharacter(c);
    if (discarding_ && entryCharacter) {
        ignore(std::string(1, char(byte)));
        return out;
    }
    discarding_ = false;

    const int mode = modeIndexOfLetter(c);
    const bool monitorLetter = c == 'F' || c == 'G';
    const bool known =
        entryCharacter || isAttenuatorLetter(c) || mode >= 0 || monitorLetter || c == '\r';
    if (!known) {
        ignore(pending_);
        ignore(std::string(1, char(byte)));
        pending_.clear();
        return out;
    }
    if (c == '\r' && pending_.empty() && !ignored_.empty()) {
        ignore("\r");
        flushIgnoredInto(out);
        return out;
    }
    flushIgnoredInto(out);

    if (entryCharacter) {
        takeEntryCharacter(byte);
    } else if (isAttenuatorLetter(c)) {
        abandonInto(out);
        state.attenuator = c == 'R';
        pending_.push_back(char(byte));
    } else if (hasDigits()) {
        if (monitorLetter) {
            abandonInto(out);
            state.monitor = c == 'F';
            out.push_back(finish(char(byte)));
        } else {
            out.push_back(finishEntry(char(byte), state, mode));
        }
    } else {
        if (mode >= 0)
            state.mode = mode;
        if (monitorLetter)
            state.monitor = c == 'F';
        out.push_back(finish(char(byte)));
    }
    return out;
}

} // namespace kovo::sim
