#pragma once
#include "LoopbackServer.h"
#include "ReceiverState.h"
#include "SignalPlan.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

namespace kovo::sim {

// The simulated receiver reached the way Hamlib reaches rigctld: the Hamlib
// network protocol over TCP on the loopback interface, so that Hamlib's
// network client (model 2) drives it. The signals come from the same plans as
// the serial receiver's: a planned signal on the tuned frequency reads as its
// level, anything else as S0. Serves every client on a thread of its own.
class RigctlFace {
public:
    explicit RigctlFace(SignalPlan plan);
    ~RigctlFace();
    RigctlFace(const RigctlFace&) = delete;
    RigctlFace& operator=(const RigctlFace&) = delete;

    // Listens on 127.0.0.1:`port` (0: any free port). False with a reason in
    // *error if it cannot.
    bool start(int port, std::string* error);
    // The port it listens on.
    int port() const { return server_.port(); }
    // Closes every connection and stops listening. Safe to call twice.
    void stop();

    // Hooks for tests; safe from any thread.
    void setPlan(SignalPlan plan);
    // A muted face drops its clients and takes no new ones, as a radio
    // that was switched off.
    void setMuted(bool muted);
    ReceiverState state() const;
    long commands() const { return commands_.load(); }

private:
    class Target;
    struct Client {
        int fd;
        std::string pending;
    };

    void serve();
    bool serveClient(Client& client);

    std::unique_ptr<Target> target_;
    std::atomic<bool> muted_{false};
    std::atomic<long> commands_{0};
    LoopbackServer server_;
};

} // namespace kovo::sim
