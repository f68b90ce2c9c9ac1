#pragma once
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "data/CFrequencyData.h"

// The byte layouts exchanged through shared memory. Every function here
// checks the size of what it is handed; nothing reads or writes past it.
namespace kovo::ipc {

// Shared memory objects are at least this long; only this much is used.
inline constexpr std::size_t kMappingSize = 2048;

// Names travel in 80-byte slots: the first 79 bytes and zero padding.
inline constexpr std::size_t kNameSlotSize = 80;
// Writes one slot per name; returns the bytes written, or 0 when `out` is
// too small for all of them (nothing is written then).
std::size_t writeNameSlots(std::span<std::uint8_t> out, const std::vector<std::string>& names);

// The 288-byte state block of the tuning record, 32-bit little-endian.
inline constexpr std::size_t kStateBlockSize = 288;
inline constexpr std::size_t kStateCommentSize = 256;
struct StateBlock {
    std::uint32_t reserved = 0;
    std::uint32_t frequency = 0;
    std::int32_t step = 0;
    std::int32_t mode = 0;
    std::int32_t ifBandwidth = 0;
    std::int32_t attenuator = 0;
    std::int32_t antenna = 0;
    std::string comment; // up to 255 bytes, CP932
    std::int32_t ctcss = 0;

    static StateBlock fromRecord(const CFrequencyData& r);
    // Reads a whole block; the comment ends at its first zero byte or after
    // 255 bytes, whatever the block says.
    static StateBlock decode(std::span<const std::uint8_t, kStateBlockSize> bytes);
    void encode(std::span<std::uint8_t, kStateBlockSize> bytes) const;
    // Every field within the range its single-value command accepts.
    bool valid() const;
    // Into the tuning record, which becomes a plain unsaved frequency.
    void applyTo(CFrequencyData& r) const;
};

// What the recorder is told about a recording: frequency at 4, time at 8,
// the first 63 bytes of the comment and a zero at 20. Other bytes stay.
inline constexpr std::size_t kRecorderRecordSize = 84;
bool writeRecorderRecord(std::span<std::uint8_t> out, std::uint32_t frequency, std::int32_t time,
                         std::string_view comment);

// Little-endian 32-bit access within a span (false / 0 outside it).
bool putU32(std::span<std::uint8_t> out, std::size_t offset, std::uint32_t value);
std::uint32_t getU32(std::span<const std::uint8_t> in, std::size_t offset);

} // namespace kovo::ipc
