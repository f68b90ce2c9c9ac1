#pragma once
#include <cstdint>
#include <string>
#include <string_view>

namespace kovo {

// What a COM port's device text names: a local device path, a raw TCP
// connection to a serial server ("tcp://HOST:PORT", the far end already runs
// the line) or a Telnet COM-port-control connection ("rfc2217://HOST:PORT",
// the line format is set on the far port).
struct PortDescription {
    enum class Kind { Invalid, Device, Tcp, Rfc2217, Hamlib };

    // Hamlib: the radio model and how it is reached and read.
    struct Hamlib {
        int model = 1;
        int speed = 0; // bit/s; 0 = the model's default
        int thresholdDb = -42;
        int settleMs = -1;
        bool useDcd = true;
        bool operator==(const Hamlib&) const = default;
    };

    Kind kind = Kind::Invalid;
    std::string path;       // Device; Hamlib: device path or host:port, may be empty
    Hamlib hamlib;          // Hamlib
    std::string host;       // Tcp, Rfc2217 (without brackets for IPv6)
    std::uint16_t port = 0; // Tcp, Rfc2217
    std::string text;       // as written
    std::string problem;    // Invalid: why, for the user

    // Anything that does not start with "tcp://" or "rfc2217://" is a device
    // path; those two need a host and a port number 1..65535.
    static PortDescription parse(std::string_view text);
    bool isNetwork() const { return kind == Kind::Tcp || kind == Kind::Rfc2217; }
    bool operator==(const PortDescription&) const = default;
};

} // namespace kovo
