#include "net/TelnetCodec.h"

namespace kovo {

namespace {

// RFC 2217 commands, client to server; the server answers with 100 added.
constexpr std::uint8_t kSetBaudRate = 1;
constexpr std::uint8_t kSetDataSize = 2;
constexpr std::uint8_t kSetParity = 3;
constexpr std::uint8_t kSetStopSize = 4;
constexpr std::uint8_t kSetControl = 5;
constexpr std::uint8_t kServerOffset = 100;

constexpr char kCr = '\r';
constexpr char kNul = '\0';

struct ParityCode {
    LineSetting::Parity parity;
    std::uint8_t code;
};
constexpr ParityCode kParityCodes[] = {
    {LineSetting::Parity::None, 1}, {LineSetting::Parity::Odd, 2},   {LineSetting::Parity::Even, 3},
    {LineSetting::Parity::Mark, 4}, {LineSetting::Parity::Space, 5},
};

struct StopCode {
    LineSetting::StopBits stopBits;
    std::uint8_t code;
};
constexpr StopCode kStopCodes[] = {
    {LineSetting::StopBits::One, 1},
    {LineSetting::StopBits::Two, 2},
    {LineSetting::StopBits::OneAndHalf, 3},
};

struct ControlCode {
    LineSetting::FlowControl flow;
    std::uint8_t code;
};
constexpr ControlCode kControlCodes[] = {
    {LineSetting::FlowControl::None, 1},
    {LineSetting::FlowControl::XonXoff, 2},
    {LineSetting::FlowControl::RtsCts, 3},
};

std::string command(std::uint8_t verb, std::uint8_t option) {
    return {char(TelnetCodec::kIac), char(verb), char(option)};
}

// One COM-port subnegotiation; a value byte of 255 is doubled.
std::string subnegotiation(std::uint8_t cmd, std::string_view value) {
    std::string out{char(TelnetCodec::kIac), char(TelnetCodec::kSb), char(TelnetCodec::kComPort),
                    char(cmd)};
    for (char c : value) {
        out += c;
        if (std::uint8_t(c) == TelnetCodec::kIac)
            out += c;
    }
    out += char(TelnetCodec::kIac);
    out += char(TelnetCodec::kSe);
    return out;
}

std::string oneByte(std::uint8_t value) {
    return std::string(1, char(value));
}

} // namespace

bool TelnetCodec::weOffer(std::uint8_t option) {
    return option == kBinary || option == kComPort;
}

bool TelnetCodec::weAccept(std::uint8_t option) {
    return option == kBinary || option == kSuppressGoAhead;
}

std::string TelnetCodec::start() {
    std::string out;
    for (std::uint8_t option : {kComPort, kBinary}) {
        us_[option] = Q::WantYes;
        out += command(kWill, option);
    }
    for (std::uint8_t option : {kBinary, kSuppressGoAhead}) {
        him_[option] = Q::WantYes;
        out += command(kDo, option);
    }
    return out;
}

bool TelnetCodec::settled() const {
    return us_[kComPort] != Q::WantYes && us_[kBinary] != Q::WantYes;
}

std::string TelnetCodec::encode(std::string_view data) const {
    std::string out;
    out.reserve(data.size() + 4);
    const bool binary = us_[kBinary] == Q::Yes;
    for (char c : data) {
        out += c;
        if (std::uint8_t(c) == kIac)
            out += c;
        else if (c == kCr && !binary)
            out += kNul;
    }
    return out;
}

std::string TelnetCodec::lineSettings(const LineSetting& line) {
    const std::uint32_t bps = std::uint32_t(line.bitsPerSecond);
    std::string out = subnegotiation(
        kSetBaudRate, std::string{char(bps >> 24), char(bps >> 16), char(bps >> 8), char(bps)});
    out += subnegotiation(kSetDataSize, oneByte(std::uint8_t(line.dataBits)));
    for (const ParityCode& p : kParityCodes)
        if (p.parity == line.parity)
            out += subnegotiation(kSetParity, oneByte(p.code));
    for (const StopCode& s : kStopCodes)
        if (s.stopBits == line.stopBits)
            out += subnegotiation(kSetStopSize, oneByte(s.code));
    for (const ControlCode& c : kControlCodes)
        if (c.flow == line.flowControl)
            out += subnegotiation(kSetControl, oneByte(c.code));
    return out;
}

TelnetCodec::Decoded TelnetCodec::decode(std::string_view bytes) {
    Decoded out;
    for (char ch : bytes) {
        const auto c = std::uint8_t(ch);
        switch (state_) {
        case State::Cr:
            // The virtual terminal's CR NUL is a bare carriage return.
            state_ = State::Data;
            if (c == 0 && him_[kBinary] != Q::Yes)
                break;
            [[fallthrough]];
        case State::Data:
            if (c == kIac) {
                state_ = State::Iac;
            } else {
                out.data += ch;
                if (ch == kCr)
                    state_ = State::Cr;
            }
            break;
        case State::Iac:
            if (c == kIac) {
                out.data += ch;
                state_ = State::Data;
            } else if (c >= kWill && c <= kDont) {
                verb_ = c;
                state_ = State::Verb;
            } else if (c == kSb) {
                sb_.clear();
                sbOverlong_ = false;
                state_ = State::Sb;
            } else {
                state_ = State::Data; // NOP, GA, and the rest carry nothing here
            }
            break;
        case State::Verb:
            onVerb(verb_, c, out.reply);
            state_ = State::Data;
            break;
        case State::Sb:
            if (c == kIac)
                state_ = State::SbIac;
            else if (sb_.size() < kMaxSubnegotiation)
                sb_ += ch;
            else
                sbOverlong_ = true;
            break;
        case State::SbIac:
            if (c == kSe) {
                if (!sbOverlong_)
                    onSubnegotiation();
                state_ = State::Data;
            } else {
                if (c == kIac && sb_.size() < kMaxSubnegotiation)
                    sb_ += ch;
                state_ = State::Sb;
            }
            break;
        }
    }
    return out;
}

void TelnetCodec::onVerb(std::uint8_t verb, std::uint8_t option, std::string& reply) {
    const bool positive = verb == kWill || verb == kDo;
    const bool aboutUs = verb == kDo || verb == kDont;
    Q& q = aboutUs ? us_[option] : him_[option];
    const bool wanted = aboutUs ? weOffer(option) : weAccept(option);
    const std::uint8_t yes = aboutUs ? kWill : kDo;
    const std::uint8_t no = aboutUs ? kWont : kDont;
    if (positive) {
        switch (q) {
        case Q::No:
            if (wanted) {
                q = Q::Yes;
                reply += command(yes, option);
            } else {
                reply += command(no, option);
            }
            break;
        case Q::WantYes:
            q = Q::Yes;
            break;
        case Q::WantNo:
            q = Q::No;
            break; // not used by this client
        case Q::Yes:
            break;
        }
    } else {
        switch (q) {
        case Q::Yes:
            q = Q::No;
            reply += command(no, option);
            break;
        case Q::WantYes:
        case Q::WantNo:
            q = Q::No;
            break;
        case Q::No:
            break;
        }
    }
}

void TelnetCodec::onSubnegotiation() {
    if (sb_.size() < 2 || std::uint8_t(sb_[0]) != kComPort)
        return;
    const auto cmd = std::uint8_t(sb_[1]);
    const std::string_view value = std::string_view(sb_).substr(2);
    if (cmd == kServerOffset + kSetBaudRate && value.size() == 4) {
        farLine_.bitsPerSecond = std::uint32_t(std::uint8_t(value[0])) << 24 |
                                 std::uint32_t(std::uint8_t(value[1])) << 16 |
                                 std::uint32_t(std::uint8_t(value[2])) << 8 |
                                 std::uint32_t(std::uint8_t(value[3]));
        return;
    }
    if (value.size() != 1)
        return;
    const int v = std::uint8_t(value[0]);
    switch (cmd) {
    case kServerOffset + kSetDataSize:
        farLine_.dataBits = v;
        break;
    case kServerOffset + kSetParity:
        farLine_.parity = v;
        break;
    case kServerOffset + kSetStopSize:
        farLine_.stopBits = v;
        break;
    case kServerOffset + kSetControl:
        farLine_.control = v;
        break;
    default:
        break;
    }
}

} // namespace kovo
