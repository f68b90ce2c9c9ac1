#pragma once
#include "link/PortDescription.h"
#include "net/PortTransport.h"

#include <memory>

namespace kovo {

// The one place that turns a port description into the transport that opens
// it: a serial device, raw TCP or TCP with COM-port control. Nothing for an
// invalid description.
std::unique_ptr<PortTransport> makePortTransport(const PortDescription& port);

} // namespace kovo
