#pragma once
#include <optional>
#include <string>

namespace kovo {

// The format of a serial line: speed, data bits, parity, stop bits and flow
// control.
struct LineSetting {
    enum class Parity { None, Even, Odd, Mark, Space };
    enum class StopBits { One, OneAndHalf, Two };
    enum class FlowControl { None, XonXoff, RtsCts };

    int bitsPerSecond = 9600;
    Parity parity = Parity::None;
    int dataBits = 8;
    StopBits stopBits = StopBits::One;
    FlowControl flowControl = FlowControl::None;

    // Reads the classic "baud,parity,data bits,stop bits" text, for example
    // "9600,N,8,2"; the flow control is `flow`. Nothing for text that is not a
    // valid line format.
    static std::optional<LineSetting> parse(const std::string& text,
                                            FlowControl flow = FlowControl::None);
    // "9600,N,8,2" followed by the flow control: " RTS/CTS", " XON/XOFF" or
    // nothing.
    std::string text() const;
    // Speed, data bits and stop bits a serial port can take.
    bool valid() const;
    bool operator==(const LineSetting&) const = default;
};

} // namespace kovo
