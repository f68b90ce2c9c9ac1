#pragma once
#include <cstdint>
#include <string>

namespace kovo {

class Archive;

// One channel: a frequency with its receiver settings (indices into the value
// tables), bank membership, comment and signal history. Also the type of the
// document's two tuning records.
struct CFrequencyData {
    static constexpr const char* kClassName = "CFrequencyData";
    static constexpr std::uint16_t kSchema = 1;

    std::uint32_t frequency = 0; // hertz
    std::int32_t bankMask = 0;   // bit b = member of memory bank b (0..21)
    std::uint8_t heard = 0;      // 1 once a signal was recorded on the channel
    std::int32_t step = 0;
    std::int32_t mode = 0;
    std::int32_t ifBandwidth = 0;
    std::int32_t attenuator = 0;
    std::int32_t antenna = 0;   // counted from 0
    std::int32_t heardTime = 0; // seconds since 1970 UTC
    std::int32_t signal = 0;
    std::int32_t maxSignal = 0;
    std::string comment;         // CP932
    std::int32_t bankNumber = 0; // number within its bank; never stored
    std::int32_t priority = 0;   // 1 on the priority channel
    std::int32_t ctcss = 0;
    std::int32_t tElm = 0;
    std::int32_t spare = 0; // carried through files unchanged

    // Files older than this stored a bank number instead of a bank mask.
    static constexpr std::int32_t kFirstVersionWithBankMask = 50003;
    // Stored form: 57 bytes plus the comment. `bankNumber` is neither written
    // nor changed by reading.
    void serialize(Archive& archive);

    bool operator==(const CFrequencyData&) const = default;
};

} // namespace kovo
