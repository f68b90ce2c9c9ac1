#pragma once
#include <cstdint>
#include <optional>
#include <string>

namespace kovo::rig {

// The modes a receiver can be asked for, as the channel database names them.
enum class RigMode { NarrowFm, WideFm, Am, Lsb, Usb, Cw };

// What one call to the radio came to. A radio that lacks a feature is not a
// fault; one that does not answer is.
enum class RigResult { Done, NotAvailable, Refused, Failed };

// A signal report: nothing while the squelch is closed, otherwise the
// strength in dB relative to S9.
using SignalReport = std::optional<int>;

// What the radio reports of itself, as it is: its own squelch (DCD: true
// while open) and its signal strength in dB relative to S9; nothing for what
// the radio cannot report.
struct RigReadings {
    std::optional<bool> squelchOpen;
    std::optional<int> strengthDb;
};

// The radio as the command interpreter drives it. Every call may block.
class RigControl {
public:
    virtual ~RigControl() = default;
    virtual RigResult setFrequency(std::uint32_t hz) = 0;
    // A passband of 0 leaves the width to the radio's normal one for the mode.
    virtual RigResult setMode(RigMode mode, int passbandHz) = 0;
    virtual RigResult setAttenuator(bool on) = 0;
    virtual RigResult readSignal(SignalReport& report) = 0;
    // Both readings, whatever the squelch is set to decide by.
    virtual RigResult readReadings(RigReadings& readings) {
        readings = {};
        return RigResult::NotAvailable;
    }
    // Hamlib's own words for the last failure.
    virtual std::string lastError() const = 0;
};

} // namespace kovo::rig
