#include "app/PortTransportFactory.h"

#include "app/HamlibTransport.h"
#include "app/SerialTransport.h"
#include "net/TcpTransport.h"

namespace kovo {

std::unique_ptr<PortTransport> makePortTransport(const PortDescription& port) {
    const QString host = QString::fromStdString(port.host);
    switch (port.kind) {
    case PortDescription::Kind::Device:
        return std::make_unique<SerialTransport>(QString::fromStdString(port.path));
    case PortDescription::Kind::Tcp:
        return std::make_unique<TcpTransport>(host, port.port, TcpTransport::Mode::Raw);
    case PortDescription::Kind::Rfc2217:
        return std::make_unique<TcpTransport>(host, port.port, TcpTransport::Mode::Rfc2217);
    case PortDescription::Kind::Hamlib:
        return std::make_unique<HamlibTransport>(port);
    case PortDescription::Kind::Invalid:
        break;
    }
    return nullptr;
}

} // namespace kovo
