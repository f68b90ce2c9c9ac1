#pragma once
#include <cstdint>
#include <string>

namespace kovo {

class Archive;

// A frequency span that scanning and searching skip.
struct CPassBank {
    static constexpr const char* kClassName = "CPassBank";
    static constexpr std::uint16_t kSchema = 1;

    std::uint8_t inUse = 0;
    std::uint32_t lowFrequency = 0;  // hertz
    std::uint32_t highFrequency = 0; // hertz
    std::string comment;

    void setNewDocumentValues() { *this = CPassBank(); }
    // Stored form: 9 bytes plus the comment.
    void serialize(Archive& archive);

    bool operator==(const CPassBank&) const = default;
};

} // namespace kovo
