#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "link/LineSetting.h"

namespace kovo {

// The client side of a Telnet connection to a serial server with COM-port
// control (RFC 854 and RFC 2217): option negotiation, the escaping of data,
// and the subnegotiations that set the far port's line. Pure byte work, no
// sockets, so that any byte sequence from the network can be fed to it in
// tests.
//
// The client asks for binary transmission both ways and offers COM-port
// control. Every other option the server offers or asks for is refused, once
// per request, following the rules of RFC 1143 so that negotiation never
// loops. Until the server has answered for binary transmission, a carriage
// return goes out as CR NUL, as the network virtual terminal wants it.
class TelnetCodec {
public:
    static constexpr std::uint8_t kIac = 255;
    static constexpr std::uint8_t kDont = 254;
    static constexpr std::uint8_t kDo = 253;
    static constexpr std::uint8_t kWont = 252;
    static constexpr std::uint8_t kWill = 251;
    static constexpr std::uint8_t kSb = 250;
    static constexpr std::uint8_t kSe = 240;
    static constexpr std::uint8_t kBinary = 0;
    static constexpr std::uint8_t kSuppressGoAhead = 3;
    static constexpr std::uint8_t kComPort = 44;
    // A subnegotiation longer than this is not COM-port control; it is skipped.
    static constexpr std::size_t kMaxSubnegotiation = 64;

    // What the server told about its port, from its answers to our settings.
    struct FarLine {
        std::uint32_t bitsPerSecond = 0;
        int dataBits = 0;
        int parity = 0;   // RFC 2217 codes: 1 none, 2 odd, 3 even, 4 mark, 5 space
        int stopBits = 0; // 1 one, 2 two, 3 one and a half
        int control = 0;  // 1 none, 2 XON/XOFF, 3 RTS/CTS
    };

    struct Decoded {
        std::string data;  // bytes of the serial line
        std::string reply; // negotiation to send back
    };

    // The opening negotiation.
    std::string start();
    // Line bytes as they go on the connection.
    std::string encode(std::string_view data) const;
    // Subnegotiations that set speed, data bits, parity, stop bits and flow
    // control of the far port.
    static std::string lineSettings(const LineSetting& line);
    // Takes bytes from the connection; a command cut between two calls is
    // completed by the next.
    Decoded decode(std::string_view bytes);

    // The server has answered our offer of COM-port control and our wish for
    // binary transmission (yes or no): data and settings can go.
    bool settled() const;
    bool comPortAccepted() const { return us_[kComPort] == Q::Yes; }
    const FarLine& farLine() const { return farLine_; }

private:
    enum class Q : std::uint8_t { No, Yes, WantYes, WantNo };
    enum class State : std::uint8_t { Data, Iac, Verb, Sb, SbIac, Cr };

    void onVerb(std::uint8_t verb, std::uint8_t option, std::string& reply);
    void onSubnegotiation();
    static bool weOffer(std::uint8_t option);
    static bool weAccept(std::uint8_t option);

    std::array<Q, 256> us_{};  // options on our side
    std::array<Q, 256> him_{}; // options on the server's side
    State state_ = State::Data;
    std::uint8_t verb_ = 0;
    std::string sb_;
    bool sbOverlong_ = false;
    FarLine farLine_;
};

} // namespace kovo
