#pragma once
#include <cstdint>
#include <string>

#include "rig/HamlibSettings.h"
#include "rig/RigCapabilities.h"
#include "rig/RigControl.h"

struct s_rig;

namespace kovo::rig {

// One radio through libhamlib. Every call blocks for as long as the radio
// takes; the worker thread that owns it is the only one to call it.
class HamlibRig final : public RigControl {
public:
    HamlibRig() = default;
    ~HamlibRig() override;
    HamlibRig(const HamlibRig&) = delete;
    HamlibRig& operator=(const HamlibRig&) = delete;

    // False with lastError() set when the model is unknown or the radio does
    // not open.
    bool open(const HamlibSettings& settings);
    void close();
    bool isOpen() const { return rig_ != nullptr; }

    RigResult setFrequency(std::uint32_t hz) override;
    RigResult setMode(RigMode mode, int passbandHz) override;
    RigResult setAttenuator(bool on) override;
    RigResult readSignal(SignalReport& report) override;
    RigResult readReadings(RigReadings& readings) override;
    std::string lastError() const override { return lastError_; }

    // The model's settling wait, in ms, as its capabilities give it.
    int modelSettleMs() const;
    // What the open radio can do.
    RigCapabilities capabilities() const;

private:
    RigResult result(int code, const char* what);
    RigResult readStrength(std::optional<int>& strengthDb);
    RigResult readSquelch(std::optional<bool>& open);

    s_rig* rig_ = nullptr;
    HamlibSettings settings_;
    std::string lastError_;
    bool hasDcd_ = false;
    bool hasStrength_ = false;
    bool hasRawStrength_ = false;
    int attenuatorDb_ = 0;
};

// Quiets Hamlib's own diagnostics on stderr, once per process.
void quietHamlib();

} // namespace kovo::rig
