#pragma once
#include <cstdint>

namespace kovo {

// The six operating modes. The document stores the number (CControlParams'
// operatingMode); everything else speaks of the mode by name.
enum class OperatingMode : std::int32_t {
    MemoryScan = 0,
    ProgramSearch = 1,
    OneMegahertzScan = 2,
    ActiveBandScope = 3,
    StaticBandScope = 4,
    Vfo = 5,
};

inline constexpr int kOperatingModeCount = 6;

constexpr bool isKnownOperatingMode(std::int32_t stored) {
    return stored >= 0 && stored < kOperatingModeCount;
}

constexpr std::int32_t toStored(OperatingMode mode) {
    return static_cast<std::int32_t>(mode);
}

// Both band scopes show the scope strip; no other mode does.
constexpr bool showsBandScope(OperatingMode mode) {
    return mode == OperatingMode::ActiveBandScope || mode == OperatingMode::StaticBandScope;
}

// The 1 MHz scan and the band scopes scan around the tuned frequency: when
// the user tunes by hand they start again around it.
constexpr bool scansAroundTunedFrequency(OperatingMode mode) {
    return mode == OperatingMode::OneMegahertzScan || showsBandScope(mode);
}

// In the 1 MHz scan and the band scopes the frequency is typed or stepped only
// while the user tunes by hand; in VFO and static band scope always.
constexpr bool takesTypedFrequency(OperatingMode mode, bool manualTuning) {
    switch (mode) {
    case OperatingMode::StaticBandScope:
    case OperatingMode::Vfo:
        return true;
    case OperatingMode::OneMegahertzScan:
    case OperatingMode::ActiveBandScope:
        return manualTuning;
    default:
        return false;
    }
}

} // namespace kovo
