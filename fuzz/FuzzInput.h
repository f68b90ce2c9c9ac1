#pragma once
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace kovo::fuzz {

// Takes values from the front of a fuzzer's input. Once the input runs out
// every read gives zero or an empty string, so a target never reads past it.
class FuzzInput {
public:
    FuzzInput(const std::uint8_t* data, std::size_t size) : bytes_(data, size) {}

    bool empty() const { return pos_ >= bytes_.size(); }
    std::size_t remaining() const { return bytes_.size() - pos_; }

    std::uint8_t byte() { return empty() ? 0 : bytes_[pos_++]; }
    std::uint16_t u16() { return static_cast<std::uint16_t>(byte() | (byte() << 8)); }
    std::uint32_t u32() { return static_cast<std::uint32_t>(u16()) | (std::uint32_t{u16()} << 16); }

    // Up to `count` bytes as they stand.
    std::string bytes(std::size_t count) {
        const std::size_t n = count < remaining() ? count : remaining();
        std::string out(reinterpret_cast<const char*>(bytes_.data() + pos_), n);
        pos_ += n;
        return out;
    }
    // A length byte, then that many bytes.
    std::string chunk() { return bytes(byte()); }
    std::string rest() { return bytes(remaining()); }

private:
    std::span<const std::uint8_t> bytes_;
    std::size_t pos_ = 0;
};

} // namespace kovo::fuzz
