#pragma once
#include <array>
#include <cstdint>
#include <string>

#include "OperatingMode.h"

namespace kovo {

class Archive;

// The document's operating parameters and switches: 38 signed 32-bit fields,
// known by their position p04..p98 (steps of 4). Fields with a known role carry
// a name; the others keep their position name. `at(offset)` reaches any field
// by position (0x04..0x98), which the file and the JSON tool use.
struct CControlParams {
    static constexpr const char* kClassName = "CControlParams";
    static constexpr std::uint16_t kSchema = 1;
    static constexpr int kFieldCount = 38;
    static constexpr int kStoredCount = 36;
    static constexpr int kModes = 6;

    std::int32_t autoStore = 0;         // p04: hits are stored as new channels
    std::int32_t operatingMode = 0;     // p08: 0 memory scan .. 5 VFO
    std::int32_t fgSwitch = 0;          // p0C: 1 sends "F", other values "G"
    std::int32_t p10 = 0;               // p10: stored only
    std::int32_t autoMode = 0;          // p14: auto-mode ranges choose the settings
    std::int32_t stepAdjust = 0;        // p18: tuned frequencies snap to the step grid
    std::int32_t p1C = 0;               // p1C: set only by the legacy import
    std::int32_t bandScopeShown = 0;    // p20
    std::int32_t modeFilter = 0;        // p24: memory scan only takes enabled modes
    std::int32_t pause = 0;             // p28: a stop is limited by the pause timer
    std::int32_t p2C = 0;               // p2C: set only by the legacy import
    std::int32_t voiceSquelch = 0;      // p30
    std::int32_t delaySeconds = 0;      // p34: delay in seconds after the last signal (>= 1)
    std::int32_t levelAutoStoreOff = 0; // p38: pause seconds while autoStore is 0
    std::int32_t levelAutoStoreOn = 0;  // p3C: pause seconds while autoStore is 1
    std::int32_t p40 = 0;               // p40: stored only
    std::int32_t scopeRange = 0;        // p44: row of ScopeRangeTable
    std::int32_t direction = 0;         // p48: 1 up, 0 down
    std::int32_t p4C = 0;               // p4C: written by the view's tuning
    std::array<std::int32_t, kModes> modeEnabled{}; // p50..p64: modes 0..5 in memory scan
    std::int32_t p68 = 0;                           // p68: stored only
    std::int32_t searchBankIndex = 0;               // p6C: not stored in the file
    std::int32_t databaseView = 0;                  // p70: not stored in the file
    std::int32_t afc = 0;                           // p74
    std::int32_t manualTuning = 0;                  // p78
    std::int32_t subStep = 0;                       // p7C: above 15 means ten times the main step
    std::int32_t logging = 0;                       // p80
    std::int32_t tuningOffset = 0;                  // p84: tuned frequency modulo the step
    std::int32_t priorityScan = 0;                  // p88
    std::int32_t noiseBlanker = 0;                  // p8C
    std::int32_t ctcssSwitch = 0;                   // p90
    std::int32_t decoderMode = 0;                   // p94: 0..4
    std::int32_t currentLinkSet = 0;                // p98: 0..19

    // The operating mode by name. The stored number may be out of range in a
    // damaged file; such a mode equals none of the named ones.
    OperatingMode mode() const { return static_cast<OperatingMode>(operatingMode); }
    // Makes `mode` current; whether the band scope is shown follows from it
    // and is set here only.
    void setMode(OperatingMode mode) {
        operatingMode = toStored(mode);
        bandScopeShown = showsBandScope(mode) ? 1 : 0;
    }
    // The pause time that applies: with auto-store on or off.
    std::int32_t& pauseSeconds() { return autoStore == 1 ? levelAutoStoreOn : levelAutoStoreOff; }
    std::int32_t pauseSeconds() const {
        return autoStore == 1 ? levelAutoStoreOn : levelAutoStoreOff;
    }
    // After a document was read: the stored band-scope flag follows the mode.
    void recomputeBandScopeShown() { bandScopeShown = showsBandScope(mode()) ? 1 : 0; }

    // Field at byte offset 0x04..0x98 (a multiple of 4). Throws
    // std::out_of_range for any other offset.
    std::int32_t& at(int offset);
    std::int32_t at(int offset) const;
    static bool isFieldOffset(int offset) {
        return offset >= 0x04 && offset <= 0x98 && offset % 4 == 0;
    }

    // Offsets in the order they are stored (p6C and p70 are not).
    static const std::array<int, kStoredCount>& storedOrder();
    // "p04", "p0C", ...: the position name of an offset.
    static std::string positionName(int offset);

    // New-document values; the fields without one (p1C, p2C, p48, p4C, p68)
    // keep what they hold.
    void setNewDocumentValues();

    // The delay (p34) is never below one second after reading.
    static constexpr std::int32_t kMinimumDelay = 1;
    // Always 144 bytes.
    void serialize(Archive& archive);

    bool operator==(const CControlParams&) const = default;
};

} // namespace kovo
