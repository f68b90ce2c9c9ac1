#pragma once
#include <array>
#include <cstdint>

namespace kovo {

class Archive;

// A registered record class that nothing creates or stores; it exists so that
// the class name is known to the runtime class lookup.
struct SlLogData {
    static constexpr const char* kClassName = "SlLogData";
    static constexpr std::uint16_t kSchema = 1;

    std::array<std::int32_t, 4> fields{};

    void serialize(Archive& archive);

    bool operator==(const SlLogData&) const = default;
};

} // namespace kovo
