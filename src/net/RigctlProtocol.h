#pragma once
#include <string>
#include <string_view>

#include "net/RigTarget.h"

namespace kovo {

// One client's side of the Hamlib network protocol (what rigctld speaks):
// takes one command line and gives the complete answer, in the default form
// or, for a line that starts with a punctuation character, in the extended
// response form. Every line is untrusted: the answer to anything this
// receiver cannot do, or to a malformed or out-of-range value, is the
// protocol's error record "RPRT <code>".
class RigctlProtocol {
public:
    // Hamlib's error codes.
    static constexpr int kOk = 0;
    static constexpr int kInvalid = -1; // bad argument
    static constexpr int kIo = -6;      // the receiver does not answer
    static constexpr int kNotAvailable = -11;

    // Lowest and highest frequency the receiver tunes.
    static constexpr std::uint32_t kLowestHz = 100'000;
    static constexpr std::uint32_t kHighestHz = 2'040'000'000;
    // Longest line taken; the server cuts longer ones off.
    static constexpr std::size_t kMaxLineLength = 256;

    struct Answer {
        std::string text;
        bool close = false; // the client said goodbye
    };

    explicit RigctlProtocol(RigTarget& target) : target_(target) {}

    // `line` without its line end.
    Answer handle(std::string_view line);

    // The dump_state block: ranges, modes, steps, filters, levels.
    std::string dumpState() const;

private:
    RigTarget& target_;
};

} // namespace kovo
