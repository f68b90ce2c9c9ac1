#pragma once
#include "ReceiverState.h"

#include <functional>
#include <string>
#include <vector>

namespace kovo::sim {

// The report character for a tuning: '%' when the squelch is closed, else 'A'…'Z'.
using SignalMeter = std::function<char(const ReceiverState&)>;

// One command the receiver took from the line, and what it says back.
struct CommandOutcome {
    std::string received; // the command's bytes as they came in
    bool answered = false;
    std::string answer; // bytes to send back when answered

    friend bool operator==(const CommandOutcome&, const CommandOutcome&) = default;
};

// Turns the bytes one receiver kind takes from the line into changes of its
// tuning and into answers. Knows nothing of time; ReceiverModel adds that.
class ProtocolInterpreter {
public:
    virtual ~ProtocolInterpreter() = default;

    // Takes one byte; returns the commands it finished (usually none or one).
    virtual std::vector<CommandOutcome> feed(unsigned char byte, ReceiverState& state,
                                             const SignalMeter& meter) = 0;

    // Whether this kind sends signal reports without being asked.
    virtual bool sendsReports() const = 0;
    // The unprompted report line for a report character.
    virtual std::string reportLine(char reportCharacter) const = 0;
};

} // namespace kovo::sim
