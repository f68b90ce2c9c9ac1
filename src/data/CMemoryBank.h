#pragma once
#include <array>
#include <cstdint>
#include <string>

namespace kovo {

class Archive;

// Header of one memory bank: its name and whether it takes part in each of the
// 20 bank-link sets.
struct CMemoryBank {
    static constexpr const char* kClassName = "CMemoryBank";
    static constexpr std::uint16_t kSchema = 1;
    static constexpr int kLinkSets = 20;

    std::array<std::uint8_t, kLinkSets> linkFlags{}; // 1 = member of link set k
    std::string name;                                // CP932

    // Files older than this stored one flag byte, meaning every link set.
    static constexpr std::int32_t kFirstVersionWithLinkSets = 51010;
    void serialize(Archive& archive);

    bool operator==(const CMemoryBank&) const = default;
};

} // namespace kovo
