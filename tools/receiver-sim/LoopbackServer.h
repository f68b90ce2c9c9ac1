#pragma once
#include <functional>
#include <string>
#include <thread>

namespace kovo::sim {

// What a network face of the simulator stands on: a TCP socket listening on
// 127.0.0.1, a thread that serves it, and a pipe that wakes that thread.
// A wake byte 's' means stop; the serving thread reads the others itself.
class LoopbackServer {
public:
    LoopbackServer() = default;
    ~LoopbackServer() { stop(); }
    LoopbackServer(const LoopbackServer&) = delete;
    LoopbackServer& operator=(const LoopbackServer&) = delete;

    // Listens on `port` (0: any free port) and runs `serve` on a thread of
    // its own. False with a reason in *error if it cannot.
    bool start(int port, std::function<void()> serve, std::string* error);
    // Wakes the thread with 's', joins it and closes everything. Safe to call twice.
    void stop();
    void wake(char byte) const;

    int port() const { return port_; }
    int listenFd() const { return listenFd_; }
    int wakeFd() const { return wakeFds_[0]; }

private:
    int listenFd_ = -1;
    int wakeFds_[2] = {-1, -1};
    int port_ = 0;
    std::thread thread_;
};

} // namespace kovo::sim
