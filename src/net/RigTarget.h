#pragma once
#include <cstdint>
#include <optional>

namespace kovo {

// What the Hamlib network protocol may read and change of the receiver the
// program drives. Modes and IF bandwidths are rows of the program's value
// tables (mode 0 NFM .. 8 SAH; IF bandwidth 0 500 Hz .. 6 220 kHz).
class RigTarget {
public:
    virtual ~RigTarget() = default;

    virtual std::uint32_t frequency() const = 0;
    // Stops a scan and tunes in VFO, as typing the frequency would; false,
    // and nothing changed, when the receiver cannot tune `hz`.
    virtual bool tune(std::uint32_t hz) = 0;
    virtual int mode() const = 0;
    virtual int ifBandwidth() const = 0;
    // Whether the receiver offers the mode (the synchronous AM modes need
    // their option).
    virtual bool hasMode(int mode) const = 0;
    // Selects a mode with an IF bandwidth; nothing: the bandwidth the mode
    // key would choose.
    virtual void setMode(int mode, std::optional<int> ifBandwidth) = 0;
    // The signal meter, 0..15 (0 also with the squelch closed); nothing while
    // the receiver is not answering.
    virtual std::optional<int> signalValue() const = 0;
    virtual bool receiverAnswering() const = 0;
};

} // namespace kovo
