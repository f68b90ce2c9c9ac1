#include "link/PortDescription.h"

#include <array>
#include <charconv>

namespace kovo {

namespace {

struct Scheme {
    std::string_view prefix;
    PortDescription::Kind kind;
};

constexpr std::array<Scheme, 2> kSchemes{{
    {"tcp://", PortDescription::Kind::Tcp},
    {"rfc2217://", PortDescription::Kind::Rfc2217},
}};

constexpr std::size_t kMaxHostLength = 253;

PortDescription invalid(std::string_view text, std::string problem) {
    PortDescription d;
    d.text.assign(text);
    d.problem = std::move(problem);
    return d;
}

bool hostCharacter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' ||
           c == '-' || c == '_' || c == ':' || c == '%';
}

} // namespace

PortDescription PortDescription::parse(std::string_view text) {
    for (const Scheme& scheme : kSchemes) {
        if (!text.starts_with(scheme.prefix))
            continue;
        std::string_view rest = text.substr(scheme.prefix.size());
        if (!rest.empty() && rest.back() == '/')
            rest.remove_suffix(1);
        const std::size_t colon = rest.rfind(':');
        if (colon == std::string_view::npos)
            return invalid(text, "expected " + std::string(scheme.prefix) + "HOST:PORT");
        std::string_view host = rest.substr(0, colon);
        const std::string_view portText = rest.substr(colon + 1);
        if (host.size() >= 2 && host.front() == '[' && host.back() == ']')
            host = host.substr(1, host.size() - 2);
        else if (host.find(':') != std::string_view::npos)
            return invalid(text, "an IPv6 address is written in brackets: [::1]:PORT");
        if (host.empty() || host.size() > kMaxHostLength)
            return invalid(text, "no host name");
        for (char c : host) {
            if (!hostCharacter(c))
                return invalid(text, "the host name holds a character no host name has");
        }
        unsigned number = 0;
        const auto [end, error] =
            std::from_chars(portText.data(), portText.data() + portText.size(), number);
        if (portText.empty() || error != std::errc() || end != portText.data() + portText.size() ||
            number < 1 || number > 65535)
            return invalid(text, "the TCP port is a number from 1 to 65535");
        PortDescription d;
        d.kind = scheme.kind;
        d.host.assign(host);
        d.port = static_cast<std::uint16_t>(number);
        d.text.assign(text);
        return d;
    }
    if (text.empty())
        return invalid(text, "no device");
    PortDescription d;
    d.kind = Kind::Device;
    d.path.assign(text);
    d.text.assign(text);
    return d;
}

} // namespace kovo
