#include "RigctlFace.h"

#include "net/RigTarget.h"
#include "net/RigctlProtocol.h"

#include <arpa/inet.h>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>

namespace kovo::sim {

// The receiver the protocol drives: its tuning and the plan it hears.
class RigctlFace::Target final : public RigTarget {
public:
    explicit Target(SignalPlan plan)
        : plan_(std::move(plan)), start_(std::chrono::steady_clock::now()) {}

    std::uint32_t frequency() const override {
        std::lock_guard lock(mutex_);
        return state_.frequencyHz;
    }
    bool tune(std::uint32_t hz) override {
        if (hz < RigctlProtocol::kLowestHz || hz > RigctlProtocol::kHighestHz)
            return false;
        std::lock_guard lock(mutex_);
        state_.frequencyHz = hz;
        return true;
    }
    int mode() const override {
        std::lock_guard lock(mutex_);
        return state_.mode;
    }
    int ifBandwidth() const override { return 0; }
    // The modes of the receiver's own letters; no synchronous AM.
    bool hasMode(int mode) const override { return mode >= 0 && mode < int(kModeLetters.size()); }
    void setMode(int mode, std::optional<int>) override {
        std::lock_guard lock(mutex_);
        state_.mode = mode;
    }
    std::optional<int> signalValue() const override {
        std::lock_guard lock(mutex_);
        const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                            std::chrono::steady_clock::now() - start_)
                            .count();
        const int level = plan_.levelAt(state_.frequencyHz, ms);
        return level < 0 ? 0 : std::min(level, 15);
    }
    bool receiverAnswering() const override { return true; }

    void setPlan(SignalPlan plan) {
        std::lock_guard lock(mutex_);
        plan_ = std::move(plan);
    }
    ReceiverState state() const {
        std::lock_guard lock(mutex_);
        return state_;
    }

private:
    mutable std::mutex mutex_;
    SignalPlan plan_;
    ReceiverState state_;
    std::chrono::steady_clock::time_point start_;
};

RigctlFace::RigctlFace(SignalPlan plan) : target_(std::make_unique<Target>(std::move(plan))) {}

RigctlFace::~RigctlFace() {
    stop();
}

bool RigctlFace::start(int port, std::string* error) {
    return server_.start(
        port, [this] { serve(); }, error);
}

void RigctlFace::stop() {
    server_.stop();
}

void RigctlFace::setPlan(SignalPlan plan) {
    target_->setPlan(std::move(plan));
}

void RigctlFace::setMuted(bool muted) {
    muted_ = muted;
    server_.wake('w');
}

ReceiverState RigctlFace::state() const {
    return target_->state();
}

// Answers every whole line the client sent; false when it is gone or said
// goodbye.
bool RigctlFace::serveClient(Client& client) {
    char buffer[4096];
    const ssize_t got = ::read(client.fd, buffer, sizeof buffer);
    if (got <= 0)
        return false;
    client.pending.append(buffer, std::size_t(got));
    RigctlProtocol protocol(*target_);
    std::size_t end;
    while ((end = client.pending.find('\n')) != std::string::npos) {
        const std::string line = client.pending.substr(0, end);
        client.pending.erase(0, end + 1);
        ++commands_;
        const RigctlProtocol::Answer answer = protocol.handle(line);
        std::size_t sent = 0;
        while (sent < answer.text.size()) {
            const ssize_t n =
                ::write(client.fd, answer.text.data() + sent, answer.text.size() - sent);
            if (n <= 0)
                return false;
            sent += std::size_t(n);
        }
        if (answer.close)
            return false;
    }
    // A line longer than the protocol takes is never finished: drop the client.
    return client.pending.size() <= RigctlProtocol::kMaxLineLength;
}

void RigctlFace::serve() {
    std::vector<Client> clients;
    for (;;) {
        if (muted_) {
            for (Client& c : clients)
                ::close(c.fd);
            clients.clear();
        }
        std::vector<pollfd> fds{{server_.wakeFd(), POLLIN, 0}, {server_.listenFd(), POLLIN, 0}};
        for (const Client& c : clients)
            fds.push_back({c.fd, POLLIN, 0});
        if (::poll(fds.data(), fds.size(), -1) < 0 && errno != EINTR)
            break;
        if (fds[0].revents & POLLIN) {
            char byte = 0;
            [[maybe_unused]] const auto got = ::read(server_.wakeFd(), &byte, 1);
            if (byte == 's')
                break;
            continue; // a mute closes the clients before anything else is served
        }
        for (std::size_t i = clients.size(); i-- > 0;) {
            if (!(fds[2 + i].revents & (POLLIN | POLLHUP | POLLERR)))
                continue;
            if (!serveClient(clients[i])) {
                ::close(clients[i].fd);
                clients.erase(clients.begin() + std::ptrdiff_t(i));
            }
        }
        if (fds[1].revents & POLLIN) {
            const int fd = ::accept4(server_.listenFd(), nullptr, nullptr, SOCK_CLOEXEC);
            if (fd >= 0 && muted_) {
                ::close(fd);
            } else if (fd >= 0) {
                const int yes = 1;
                ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &yes, sizeof yes);
                clients.push_back({fd, {}});
            }
        }
    }
    for (Client& c : clients)
        ::close(c.fd);
}

} // namespace kovo::sim
