#pragma once
#include "ProtocolInterpreter.h"

#include <cstddef>
#include <string>

namespace kovo::sim {

// The AR3000: commands act character by character, like keys on its keypad,
// and need no terminator.
//   "R" / "T"     attenuator on / off, at once; may begin a Tuning command
//   digits, "."   frequency entry in MHz
//   mode letter   "N" "W" "A" "L" "U" "C": after a frequency entry it tunes
//                 frequency and mode (a Tuning command such as "T145.5N"),
//                 otherwise it sets the mode
//   "F" / "G"     monitor on / off
//   CR            ends a frequency entry without changing the mode; alone it does nothing
// After a Tuning command (or a frequency entry ended by CR) the receiver echoes
// the command as one line ending in CR LF. Its signal reports ("%" or "A"…"Z",
// CR LF) come unprompted. LF is ignored; any other byte, or an entry longer than
// kLongestEntry, abandons the entry. Ignored bytes are reported together as one
// unanswered command (up to kLongestEntry * 4 of them) when the next command starts.
class Ar3000Interpreter final : public ProtocolInterpreter {
public:
    static constexpr std::size_t kLongestEntry = 16;

    std::vector<CommandOutcome> feed(unsigned char byte, ReceiverState& state,
                                     const SignalMeter& meter) override;
    bool sendsReports() const override { return true; }
    std::string reportLine(char reportCharacter) const override;

private:
    bool hasDigits() const;
    CommandOutcome finish(char last);
    CommandOutcome finishEntry(char last, ReceiverState& state, int mode);
    void abandonInto(std::vector<CommandOutcome>& out);
    void ignore(std::string_view bytes);
    void flushIgnoredInto(std::vector<CommandOutcome>& out);
    void takeEntryCharacter(unsigned char byte);

    std::string pending_;     // optional attenuator letter, then the digits of an entry
    std::string ignored_;     // bytes that made no command, kept for the transcript
    bool discarding_ = false; // inside an over-long entry
};

} // namespace kovo::sim
