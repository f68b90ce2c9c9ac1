#pragma once
#include <cstdint>
#include <string>

namespace kovo {

class Archive;

// One log entry: a frequency heard, when, and how strong.
struct CLogData {
    static constexpr const char* kClassName = "CLogData";
    static constexpr std::uint16_t kSchema = 1;

    std::uint32_t frequency = 0; // hertz
    std::int32_t firstHeard = 0; // seconds since 1970 UTC
    std::int32_t lastHeard = 0;
    std::int32_t maxSignal = 0;
    std::string comment;

    // Stored form: 16 bytes plus the comment.
    void serialize(Archive& archive);

    bool operator==(const CLogData&) const = default;
};

} // namespace kovo
