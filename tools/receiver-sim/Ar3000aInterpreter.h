#pragma once
#include "ProtocolInterpreter.h"

#include <cstddef>
#include <string>

namespace kovo::sim {

// The AR3000A: every command is a line ended by CR and every answer ends with
// CR LF and the prompt ">". "Y" answers the report character before that.
// Accepted lines (letters in either case, LF ignored):
//   ""            prompt only (the opening probe)
//   "Y"           signal report: "%" or "A"…"Z", CR LF, ">"
//   "N" "W" "A" "L" "U" "C"   mode
//   "R" / "T"     attenuator on / off
//   "F" / "G"     monitor on / off
//   [R|T]freq[mode]  frequency in MHz ("145.5", "145."), optionally with the
//                 attenuator letter before it and a mode letter after it
// Anything else, and a line longer than kLongestLine, answers "?" CR LF ">".
class Ar3000aInterpreter final : public ProtocolInterpreter {
public:
    static constexpr std::size_t kLongestLine = 64;
    static constexpr const char* kPrompt = "\r\n>";

    std::vector<CommandOutcome> feed(unsigned char byte, ReceiverState& state,
                                     const SignalMeter& meter) override;
    bool sendsReports() const override { return false; }
    std::string reportLine(char) const override { return {}; }

private:
    std::string execute(const std::string& line, ReceiverState& state, const SignalMeter& meter);

    std::string line_;
    bool overflow_ = false;
};

} // namespace kovo::sim
