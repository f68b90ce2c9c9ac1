#pragma once
#include <cstddef>
#include <cstdint>

namespace kovo::sim {

// Time on a serial line: each character is 11 bits (start, 8 data, 2 stop).
class WirePacing {
public:
    static constexpr int kBitsPerCharacter = 11;

    WirePacing(int baud, bool enabled) : baud_(baud > 0 ? baud : 9600), enabled_(enabled) {}

    // Microseconds that `characters` take on the line, rounded up; 0 without pacing.
    std::int64_t transferUs(std::size_t characters) const {
        if (!enabled_)
            return 0;
        const std::int64_t bits = std::int64_t(characters) * kBitsPerCharacter * 1000000;
        return (bits + baud_ - 1) / baud_;
    }

    int baud() const { return baud_; }
    bool enabled() const { return enabled_; }

private:
    int baud_;
    bool enabled_;
};

} // namespace kovo::sim
