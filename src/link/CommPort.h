#pragma once
#include <functional>
#include <optional>
#include <string>

#include "link/LineSetting.h"
#include "link/PortDescription.h"
#include "link/ReceiverFeatures.h"

namespace kovo {

// Event codes a serial port reports through its event handler.
enum CommEventCode : int {
    CommEventReceive = 2,       // at least RThreshold bytes wait in the receive buffer
    CommEventBreak = 1001,      // break received
    CommEventOverrun = 1006,    // receive overrun: bytes were lost
    CommEventRxOverflow = 1008, // receive buffer overflow
    CommEventDeviceLost = 2001, // the device went away (adapter unplugged); port is now closed
};

// The operations the program needs of a serial port, modelled on a classic
// communications control: properties are set, the port is opened, text goes out
// through output() and comes in through input(), and events are raised through
// the handler. The port is a local device or a serial server on the network
// (see PortDescription); the application builds the right one for each
// opening. Implemented on Qt in the application and by fakes in tests.
class CommPort {
public:
    using EventHandler = std::function<void(int code)>;

    virtual ~CommPort() = default;

    // What the next opening opens.
    virtual void setPort(const PortDescription& port) = 0;
    // Speed, format and flow control; applied at once to an open port.
    virtual void setLine(const LineSetting& line) = 0;
    virtual void setInBufferSize(int bytes) = 0;
    virtual void setOutBufferSize(int bytes) = 0;
    virtual void setInBufferCount(int count) = 0;  // 0 discards received bytes
    virtual void setOutBufferCount(int count) = 0; // 0 discards unsent bytes
    virtual void setNullDiscard(bool discard) = 0;
    virtual void setRThreshold(int bytes) = 0; // 0 = no receive events
    virtual void setSThreshold(int bytes) = 0;
    // The character that completes what the other end says, when nothing it
    // says before that character needs reading at once: a port may then hold
    // received bytes back until that character or an XOFF arrives, and may
    // hand a line feed on as a carriage return. It saves waking the program
    // for every byte of a reply. '\0' (the default) hands bytes on as they
    // come. Kept across openings, like the other properties.
    virtual void setEventCharacter(char c) = 0;

    virtual bool portOpen() const = 0;
    virtual void setPortOpen(bool open) = 0;

    virtual void output(const std::string& text) = 0;
    // All text received so far; it is removed from the receive buffer.
    virtual std::string input() = 0;

    virtual void setEventHandler(EventHandler handler) = 0;

    // Why the last opening failed or the device was lost, in words for the
    // user; empty when nothing went wrong.
    virtual std::string lastError() const = 0;

    // What the receiver on an open port told of itself, for a radio that
    // describes its own features; none for one that does not.
    virtual std::optional<ReceiverFeatures> receiverFeatures() const { return std::nullopt; }
};

} // namespace kovo
