#pragma once
#include <cstdint>
#include <string>

namespace kovo {

class Archive;

// One program-search range and the settings it is searched with.
struct CSearchBank {
    static constexpr const char* kClassName = "CSearchBank";
    static constexpr std::uint16_t kSchema = 1;

    std::uint8_t inUse = 0;
    std::uint8_t mode = 0;
    std::int32_t ifBandwidth = 0;
    std::int32_t antenna = 0;
    std::int32_t attenuator = 0;
    std::uint32_t startFrequency = 0; // hertz
    std::uint32_t stopFrequency = 0;  // hertz
    std::int32_t step = 0;
    std::string comment;

    // The values a new document starts with; `nfmBandWidth` is the setting.
    void setNewDocumentValues(int nfmBandWidth);
    // Stored form: 26 bytes plus the comment.
    void serialize(Archive& archive);

    bool operator==(const CSearchBank&) const = default;
};

} // namespace kovo
