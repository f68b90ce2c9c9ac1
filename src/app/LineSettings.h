#pragma once
#include <optional>
#include <string>

namespace kovo {

// A serial line format written the classic way: "baud,parity,data bits,stop bits",
// for example "9600,N,8,2".
struct LineSettings {
    enum class Parity { None, Even, Odd, Mark, Space };
    enum class StopBits { One, OneAndHalf, Two };

    int baudRate = 9600;
    Parity parity = Parity::None;
    int dataBits = 8;
    StopBits stopBits = StopBits::One;

    // Nothing for text that is not a valid line format.
    static std::optional<LineSettings> parse(const std::string& text);
    bool operator==(const LineSettings&) const = default;
};

} // namespace kovo
