#include "ipc/Blocks.h"

#include "data/ValueTables.h"

#include <algorithm>
#include <cstring>

namespace kovo::ipc {
namespace {

constexpr std::size_t kNameBytes = kNameSlotSize - 1;
constexpr std::size_t kRecorderCommentOffset = 20;
constexpr std::size_t kRecorderCommentBytes = 63;

struct Range {
    std::int64_t low, high;
    bool holds(std::int64_t v) const { return v >= low && v <= high; }
};
// The ranges the single-value commands accept.
constexpr Range kFrequencyRange{10'000, 2'600'000'000LL};
constexpr Range kModeRange{0, std::int64_t(ModeNameTable.size()) - 1};
constexpr Range kStepRange{0, std::int64_t(StepNameTable.size()) - 1};
constexpr Range kIfBandwidthRange{0, std::int64_t(IfBandwidthNameTable.size()) - 1};
constexpr Range kAttenuatorRange{0, std::int64_t(AttNameTable.size()) - 1};
constexpr Range kAntennaRange{0, 3};
constexpr Range kCtcssRange{0, std::int64_t(CtcssNameTable.size()) - 1};

} // namespace

bool putU32(std::span<std::uint8_t> out, std::size_t offset, std::uint32_t value) {
    if (offset > out.size() || out.size() - offset < 4)
        return false;
    for (int i = 0; i < 4; ++i)
        out[offset + std::size_t(i)] = std::uint8_t(value >> (8 * i));
    return true;
}

std::uint32_t getU32(std::span<const std::uint8_t> in, std::size_t offset) {
    if (offset > in.size() || in.size() - offset < 4)
        return 0;
    std::uint32_t value = 0;
    for (int i = 0; i < 4; ++i)
        value |= std::uint32_t(in[offset + std::size_t(i)]) << (8 * i);
    return value;
}

std::size_t writeNameSlots(std::span<std::uint8_t> out, const std::vector<std::string>& names) {
    const std::size_t total = names.size() * kNameSlotSize;
    if (total > out.size())
        return 0;
    for (std::size_t i = 0; i < names.size(); ++i) {
        std::uint8_t* slot = out.data() + i * kNameSlotSize;
        std::memset(slot, 0, kNameSlotSize);
        std::memcpy(slot, names[i].data(), std::min(names[i].size(), kNameBytes));
    }
    return total;
}

StateBlock StateBlock::fromRecord(const CFrequencyData& r) {
    StateBlock b;
    b.frequency = r.frequency;
    b.step = r.step;
    b.mode = r.mode;
    b.ifBandwidth = r.ifBandwidth;
    b.attenuator = r.attenuator;
    b.antenna = r.antenna;
    // The field holds 255 bytes and the zero; a longer comment is cut.
    b.comment = r.comment.substr(0, std::min(r.comment.find('\0'), kStateCommentSize - 1));
    b.ctcss = r.ctcss;
    return b;
}

StateBlock StateBlock::decode(std::span<const std::uint8_t, kStateBlockSize> bytes) {
    StateBlock b;
    b.reserved = getU32(bytes, 0);
    b.frequency = getU32(bytes, 4);
    b.step = std::int32_t(getU32(bytes, 8));
    b.mode = std::int32_t(getU32(bytes, 12));
    b.ifBandwidth = std::int32_t(getU32(bytes, 16));
    b.attenuator = std::int32_t(getU32(bytes, 20));
    b.antenna = std::int32_t(getU32(bytes, 24));
    const auto* text = reinterpret_cast<const char*>(bytes.data() + 28);
    b.comment.assign(text, strnlen(text, kStateCommentSize - 1));
    b.ctcss = std::int32_t(getU32(bytes, 284));
    return b;
}

void StateBlock::encode(std::span<std::uint8_t, kStateBlockSize> bytes) const {
    std::fill(bytes.begin(), bytes.end(), std::uint8_t{0});
    putU32(bytes, 0, reserved);
    putU32(bytes, 4, frequency);
    putU32(bytes, 8, std::uint32_t(step));
    putU32(bytes, 12, std::uint32_t(mode));
    putU32(bytes, 16, std::uint32_t(ifBandwidth));
    putU32(bytes, 20, std::uint32_t(attenuator));
    putU32(bytes, 24, std::uint32_t(antenna));
    std::memcpy(bytes.data() + 28, comment.data(), std::min(comment.size(), kStateCommentSize - 1));
    putU32(bytes, 284, std::uint32_t(ctcss));
}

bool StateBlock::valid() const {
    return kFrequencyRange.holds(frequency) && kStepRange.holds(step) && kModeRange.holds(mode) &&
           kIfBandwidthRange.holds(ifBandwidth) && kAttenuatorRange.holds(attenuator) &&
           kAntennaRange.holds(antenna) && kCtcssRange.holds(ctcss);
}

void StateBlock::applyTo(CFrequencyData& r) const {
    r.frequency = frequency;
    r.step = step;
    r.mode = mode;
    r.ifBandwidth = ifBandwidth;
    r.attenuator = attenuator;
    r.antenna = antenna;
    r.comment = comment;
    r.ctcss = ctcss;
    r.bankMask = 1;
    r.bankNumber = 0;
    r.priority = 0;
    r.heard = 0;
}

bool writeRecorderRecord(std::span<std::uint8_t> out, std::uint32_t frequency, std::int32_t time,
                         std::string_view comment) {
    if (out.size() < kRecorderRecordSize)
        return false;
    putU32(out, 4, frequency);
    putU32(out, 8, std::uint32_t(time));
    const std::size_t n = std::min({comment.size(), comment.find('\0'), kRecorderCommentBytes});
    std::memcpy(out.data() + kRecorderCommentOffset, comment.data(), n);
    out[kRecorderCommentOffset + n] = 0;
    return true;
}

} // namespace kovo::ipc
