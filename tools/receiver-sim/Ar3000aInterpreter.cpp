#include "Ar3000aInterpreter.h"

#include "FrequencyText.h"

namespace kovo::sim {

namespace {

const std::string kError = "?";

// "[R|T]freq[mode]": true when the line is a tuning line; fills the new state.
bool applyTuningLine(std::string_view line, ReceiverState* state) {
    ReceiverState next = *state;
    if (!line.empty() && (line.front() == 'R' || line.front() == 'T')) {
        next.attenuator = line.front() == 'R';
        line.remove_prefix(1);
    }
    if (!line.empty() && modeIndexOfLetter(line.back()) >= 0) {
        next.mode = modeIndexOfLetter(line.back());
        line.remove_suffix(1);
    }
    std::uint32_t hz = 0;
    if (!parseMegahertz(line, &hz) || hz < kLowestHz || hz > kHighestHz)
        return false;
    next.frequencyHz = hz;
    *state = next;
    return true;
}

} // namespace

std::vector<CommandOutcome> Ar3000aInterpreter::feed(unsigned char byte, ReceiverState& state,
                                                     const SignalMeter& meter) {
    if (byte == '\n')
        return {};
    if (byte != '\r') {
        if (line_.size() < kLongestLine)
            line_.push_back(char(byte));
        else
            overflow_ = true;
        return {};
    }
    CommandOutcome outcome;
    outcome.received = line_ + "\r";
    outcome.answered = true;
    outcome.answer = overflow_ ? kError + kPrompt : execute(line_, state, meter);
    line_.clear();
    overflow_ = false;
    return {outcome};
}

std::string Ar3000aInterpreter::execute(const std::string& rawLine, ReceiverState& state,
                                        const SignalMeter& meter) {
    const std::string line = upperAscii(rawLine);
    if (line.empty())
        return kPrompt;
    if (line.size() == 1) {
        const char c = line[0];
        if (c == 'Y')
            return std::string(1, meter(state)) + kPrompt;
        if (c == 'F' || c == 'G') {
            state.monitor = c == 'F';
            return kPrompt;
        }
        if (c == 'R' || c == 'T') {
            state.attenuator = c == 'R';
            return kPrompt;
        }
        if (modeIndexOfLetter(c) >= 0) {
            state.mode = modeIndexOfLetter(c);
            return kPrompt;
        }
    }
    if (applyTuningLine(line, &state))
        return kPrompt;
    return kError + kPrompt;
}

} // namespace kovo::sim
