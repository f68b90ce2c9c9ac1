#include "RtlTcpFace.h"

#include "IqSignalGenerator.h"
#include "sdr/RtlTcpProtocol.h"

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

namespace {

using Clock = std::chrono::steady_clock;
using namespace kovo::sdr;

constexpr int kPollMs = 5;
// Samples are made in slices of this length of time...
constexpr int kSliceMs = 5;
// ...and at most this much waits for a slow client; beyond it samples are lost.
constexpr int kBacklogMs = 250;

} // namespace

// One client's connection: its commands in, its samples out.
class RtlTcpFace::Stream {
public:
    Stream(RtlTcpFace& face, int fd)
        : face_(face), fd_(fd), generator_(face.plan_), started_(Clock::now()) {
        const RtlTcpTuning t = face_.tuning();
        generator_.tune(t.centreHz, t.sampleRate);
        restartPacing();
    }

    // Serves until the client goes or the face stops.
    void run();

private:
    bool readCommands();
    void apply(const RtlTcpCommandValue& command);
    void produce();
    bool flush();
    void restartPacing() {
        paceStart_ = Clock::now();
        produced_ = 0;
    }

    RtlTcpFace& face_;
    const int fd_;
    IqSignalGenerator generator_;
    const Clock::time_point started_;
    Clock::time_point paceStart_;
    std::uint64_t produced_ = 0;
    std::string commandBytes_;
    std::vector<std::complex<float>> samples_;
    std::vector<std::uint8_t> out_;
    std::size_t outSent_ = 0;
};

void RtlTcpFace::Stream::run() {
    const auto greeting = encodeRtlTcpGreeting({std::uint32_t(RtlTuner::R820T), kGainCount});
    out_.assign(greeting.begin(), greeting.end());
    for (;;) {
        pollfd fds[2] = {{fd_, POLLIN, 0}, {face_.server_.wakeFd(), POLLIN, 0}};
        if (outSent_ < out_.size())
            fds[0].events |= POLLOUT;
        if (::poll(fds, 2, kPollMs) < 0 && errno != EINTR)
            return;
        if (fds[1].revents & POLLIN)
            return;
        if ((fds[0].revents & (POLLIN | POLLHUP | POLLERR)) && !readCommands())
            return;
        produce();
        if (!flush())
            return;
    }
}

bool RtlTcpFace::Stream::readCommands() {
    char buffer[512];
    const ssize_t got = ::recv(fd_, buffer, sizeof buffer, MSG_DONTWAIT);
    if (got == 0 || (got < 0 && errno != EAGAIN && errno != EINTR))
        return false;
    if (got < 0)
        return true;
    commandBytes_.append(buffer, std::size_t(got));
    std::size_t used = 0;
    for (; used + kRtlTcpCommandSize <= commandBytes_.size(); used += kRtlTcpCommandSize) {
        std::array<std::uint8_t, kRtlTcpCommandSize> bytes{};
        std::memcpy(bytes.data(), commandBytes_.data() + used, bytes.size());
        apply(decodeRtlTcpCommand(bytes));
    }
    commandBytes_.erase(0, used);
    return true;
}

void RtlTcpFace::Stream::apply(const RtlTcpCommandValue& command) {
    bool retune = false;
    RtlTcpTuning now;
    {
        std::lock_guard lock(face_.mutex_);
        RtlTcpTuning& t = face_.tuning_;
        ++t.commands;
        switch (RtlTcpCommand(command.id)) {
        case RtlTcpCommand::Frequency:
            retune = t.centreHz != command.value;
            t.centreHz = command.value;
            break;
        case RtlTcpCommand::SampleRate:
            // A dongle streams 225 kS/s to 3.2 MS/s; other rates are ignored.
            if (command.value >= 225'000 && command.value <= 3'200'000) {
                retune = t.sampleRate != command.value;
                t.sampleRate = command.value;
            }
            break;
        case RtlTcpCommand::GainMode:
            t.gainMode = command.value;
            break;
        case RtlTcpCommand::Gain:
            t.gainTenthsDb = std::int32_t(command.value);
            break;
        case RtlTcpCommand::Ppm:
            t.ppm = std::int32_t(command.value);
            break;
        case RtlTcpCommand::Agc:
            t.agc = command.value;
            break;
        default:
            ++t.unknownCommands;
            break;
        }
        now = t;
    }
    if (retune) {
        const bool newRate = now.sampleRate != generator_.sampleRate();
        generator_.tune(now.centreHz, now.sampleRate);
        if (newRate)
            restartPacing();
    }
}

// Makes the samples that are due by the clock. What a slow client leaves
// unread beyond the backlog is dropped, as a dongle's full buffers would.
void RtlTcpFace::Stream::produce() {
    const std::uint64_t rate = generator_.sampleRate();
    const auto elapsed =
        std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - paceStart_).count();
    const std::uint64_t due = std::uint64_t(elapsed) * rate / 1'000'000;
    const std::size_t slice = std::size_t(rate * kSliceMs / 1000);
    const std::size_t backlogBytes = std::size_t(rate * kBacklogMs / 1000) * 2;
    while (due >= produced_ + slice) {
        const auto ms =
            std::chrono::duration_cast<std::chrono::milliseconds>(paceStart_ - started_).count() +
            std::int64_t(produced_ * 1000 / rate);
        produced_ += slice;
        if (out_.size() - outSent_ >= backlogBytes) {
            face_.droppedSamples_ += slice;
            continue;
        }
        samples_.resize(slice);
        generator_.generate(samples_, ms);
        const std::size_t at = out_.size();
        out_.resize(at + 2 * slice);
        IqSignalGenerator::toInterleavedU8(samples_, out_.data() + at);
    }
}

bool RtlTcpFace::Stream::flush() {
    while (outSent_ < out_.size()) {
        const ssize_t sent = ::send(fd_, out_.data() + outSent_, out_.size() - outSent_,
                                    MSG_NOSIGNAL | MSG_DONTWAIT);
        if (sent < 0)
            return errno == EAGAIN || errno == EINTR;
        outSent_ += std::size_t(sent);
    }
    out_.clear();
    outSent_ = 0;
    return true;
}

RtlTcpFace::RtlTcpFace(SignalPlan plan) : plan_(std::move(plan)) {}

RtlTcpFace::~RtlTcpFace() {
    stop();
}

bool RtlTcpFace::start(int port, std::string* error) {
    return server_.start(
        port, [this] { serve(); }, error);
}

void RtlTcpFace::stop() {
    server_.stop();
}

RtlTcpTuning RtlTcpFace::tuning() const {
    std::lock_guard lock(mutex_);
    return tuning_;
}

void RtlTcpFace::serve() {
    for (;;) {
        pollfd fds[2] = {{server_.wakeFd(), POLLIN, 0}, {server_.listenFd(), POLLIN, 0}};
        if (::poll(fds, 2, -1) < 0 && errno != EINTR)
            return;
        if (fds[0].revents & POLLIN)
            return;
        if (!(fds[1].revents & POLLIN))
            continue;
        const int fd =
            ::accept4(server_.listenFd(), nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
        if (fd < 0)
            continue;
        const int yes = 1;
        ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &yes, sizeof yes);
        {
            std::lock_guard lock(mutex_);
            ++tuning_.clients;
        }
        Stream(*this, fd).run();
        ::close(fd);
    }
}

} // namespace kovo::sim
