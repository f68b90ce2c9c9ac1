#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kovo::sim {

// One transmitter of the plan: where it is, how strong, and when it is on the air.
struct PlannedSignal {
    std::uint32_t frequencyHz = 0;
    int mode = 0;                  // row of planModeNames(); documents the signal, does not gate it
    int level = 0;                 // 0 = "A" … 25 = "Z"
    std::uint32_t toleranceHz = 0; // heard when the tuned frequency is within ± this
    std::int64_t onMs = 0;         // 0: always on the air
    std::int64_t offMs = 0;
    std::int64_t phaseMs = 0; // where in the on/off cycle the signal stands at time 0

    bool onAirAt(std::int64_t ms) const;
    bool covers(std::uint32_t hz) const;
};

// The mode names a plan line may give, in the program's mode order.
const std::vector<std::string_view>& planModeNames();
// Default reception tolerance (± hertz) for a plan mode.
std::uint32_t defaultToleranceHz(int planMode);

// The set of active frequencies the simulated receiver hears.
class SignalPlan {
public:
    // Reads plan text. Lines that cannot be read are skipped and described in
    // *errors ("line N: ..."); the good lines are kept.
    static SignalPlan parse(std::string_view text, std::vector<std::string>* errors);
    // Reads a plan file; false (with the reason in *errors) if it cannot be read.
    static bool load(const std::string& path, SignalPlan* plan, std::vector<std::string>* errors);
    // Busy channels in the air band, 2 m, 70 cm and FM broadcast.
    static SignalPlan demo();
    static std::string_view demoText();

    void add(const PlannedSignal& signal) { signals_.push_back(signal); }
    const std::vector<PlannedSignal>& signals() const { return signals_; }

    // Strongest level heard on hz at time ms, or -1 when nothing is on the air there.
    int levelAt(std::uint32_t hz, std::int64_t ms) const;

private:
    std::vector<PlannedSignal> signals_;
};

} // namespace kovo::sim
