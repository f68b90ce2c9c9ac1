#pragma once
#include <cstdint>
#include <string>

namespace kovo {

class Archive;

// An auto-mode range: a span whose settings are applied automatically.
// Note the order differs from CSearchBank (attenuator before antenna, and the
// IF bandwidth stored last).
struct CAutoBank {
    static constexpr const char* kClassName = "CAutoBank";
    static constexpr std::uint16_t kSchema = 1;

    std::uint8_t inUse = 0;
    std::uint8_t mode = 0;
    std::int32_t ifBandwidth = 0;
    std::int32_t attenuator = 0;
    std::int32_t antenna = 0;
    std::uint32_t startFrequency = 0; // hertz
    std::uint32_t stopFrequency = 0;  // hertz
    std::int32_t step = 0;
    std::string comment;

    // Files older than this have no stored IF bandwidth; it keeps its value.
    static constexpr std::int32_t kFirstVersionWithIfBandwidth = 50002;

    // The values of a new document (also of a range emptied by a cut).
    void setNewDocumentValues(int nfmBandWidth);
    void serialize(Archive& archive);

    bool operator==(const CAutoBank&) const = default;
};

} // namespace kovo
