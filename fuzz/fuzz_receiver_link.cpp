// Drives the receiver link through a script of port events, received text,
// commands and time, on a fake port, fake timers and a manual clock.
//
// The first byte holds options: bit 0 the AR3000 (else the AR3000A), bit 1
// open the port with a receiver that answers the probe before the script
// starts. Then operations follow, one byte each with their operands:
//   0 receive text (length byte, bytes)    5 open the port (port, speed)
//   1 let time pass (byte x 8 ms)          6 close the port
//   2 the client's command (table index)   7 the device goes away / comes back
//   3 arm the echo of the last command     8 cut text directly (length, bytes)
//   4 raise a port event (table index)
// The link must never write to a closed port nor hold more of a reply than
// its limit.
#include <array>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "FuzzInput.h"
#include "fakes/FakeCommPort.h"
#include "fakes/FakeTimerService.h"
#include "fakes/Recorders.h"
#include "link/CommPort.h"
#include "link/ReceiverLink.h"
#include "link/TimerRouter.h"

namespace {

using namespace kovo;

constexpr std::array<const char*, 8> kCommands{"Y\r", "145.\r", "145.5\r", "T145.N",
                                               "G\r", "N\r",    "\r",      "12.5S\r"};
constexpr std::array<int, 6> kEvents{CommEventReceive,    CommEventBreak,      CommEventOverrun,
                                     CommEventRxOverflow, CommEventDeviceLost, 0};

void check(bool condition) {
    if (!condition)
        std::abort();
}

// Writes the current command on every request, as the polling loop does.
class CommandingClient final : public ReplyClient {
public:
    explicit CommandingClient(ReceiverLink& link) : link_(link) {}
    const char* command = kCommands[0];
    void sendNext() override {
        if (++depth_ < 64)
            link_.writeCommand(command);
        --depth_;
    }
    void onSignalReport(std::string_view reply) override {
        check(!reply.empty());
        sendNext();
    }

private:
    ReceiverLink& link_;
    int depth_ = 0;
};

struct Rig {
    ManualClock clock{10'300};
    test::FakeTimerService timers{clock};
    TimerRouter router{timers};
    test::FakeCommPort port;
    test::RecordingNotifier notifier;
    AppSettings settings;
    ReceiverLink link{port, router, clock, notifier, settings};
    CommandingClient client{link};

    void connect() {
        port.onOutput = [this](const std::string& text) {
            if (text == "\r" && settings.device != 0)
                port.receive(">");
        };
        link.openPort(1, 1);
        for (int waited = 0; link.probing() && waited < 3100; waited += 10)
            timers.advance(10);
    }
};

void runOperation(Rig& rig, fuzz::FuzzInput& in) {
    switch (in.byte() % 9) {
    case 0:
        rig.port.receive(in.chunk());
        break;
    case 1:
        rig.timers.advance(std::int64_t{in.byte()} * 8);
        break;
    case 2:
        rig.client.command = kCommands[in.byte() % kCommands.size()];
        rig.link.writeCommand(rig.client.command);
        break;
    case 3:
        rig.link.armEcho();
        break;
    case 4:
        rig.port.fire(kEvents[in.byte() % kEvents.size()]);
        break;
    case 5: {
        const int portNumber = 1 + in.byte() % 4;
        rig.link.openPort(portNumber, in.byte() % 4);
        break;
    }
    case 6:
        rig.link.closePort();
        break;
    case 7:
        if (rig.port.devicePresent)
            rig.port.loseDevice();
        else
            rig.port.devicePresent = true;
        break;
    default:
        rig.link.onReceivedText(in.chunk());
        break;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::FuzzInput in(data, size);
    Rig rig;
    const std::uint8_t options = in.byte();
    rig.settings.device = (options & 1) ? 0 : 1;
    rig.link.setClient(&rig.client);
    rig.link.createControl();
    if (options & 2)
        rig.connect();
    rig.port.onOutput = [&rig](const std::string&) { check(rig.port.open); };
    for (int step = 0; !in.empty() && step < 4096; ++step) {
        runOperation(rig, in);
        check(rig.link.partialReply().size() <= ReceiverLink::kMaxReplyLength);
    }
    return 0;
}
