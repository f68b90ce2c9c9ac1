#include "RtlTcpSource.h"

#include "IqBlockAssembler.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cmath>
#include <cstring>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace kovo::sdr {

namespace {

constexpr std::size_t kReadBytes = 64 * 1024;

std::string errnoText(const char* what) {
    return std::string(what) + ": " + std::strerror(errno);
}

void drainWakePipe(int wakeFd) {
    char drain[64];
    while (::read(wakeFd, drain, sizeof drain) > 0) {
    }
}

// Waits up to `timeoutMs` for `fd` to become ready for `events`; false when
// the time ran out or the source is stopping. Wake-ups for new settings are
// taken and the wait goes on.
bool waitFor(int fd, short events, int wakeFd, int timeoutMs, const std::atomic<bool>& stopping) {
    using Clock = std::chrono::steady_clock;
    const auto until = Clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!stopping) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(until - Clock::now()).count();
        if (left <= 0)
            return false;
        pollfd fds[2] = {{fd, events, 0}, {wakeFd, POLLIN, 0}};
        if (::poll(fds, 2, int(left)) < 0 && errno != EINTR)
            return false;
        if (fds[0].revents & (events | POLLERR | POLLHUP))
            return true;
        if (fds[1].revents & POLLIN)
            drainWakePipe(wakeFd);
    }
    return false;
}

int connectOnce(const addrinfo* a, int wakeFd, int timeoutMs, const std::atomic<bool>& stopping,
                std::string* error) {
    const int fd =
        ::socket(a->ai_family, a->ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC, a->ai_protocol);
    if (fd < 0) {
        *error = errnoText("socket");
        return -1;
    }
    int failure = 0;
    if (::connect(fd, a->ai_addr, a->ai_addrlen) != 0) {
        failure = errno;
        if (failure == EINPROGRESS) {
            if (waitFor(fd, POLLOUT, wakeFd, timeoutMs, stopping)) {
                socklen_t length = sizeof failure;
                ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &failure, &length);
            } else {
                failure = ETIMEDOUT;
            }
        }
    }
    if (failure != 0) {
        *error = std::string("connect: ") + std::strerror(failure);
        ::close(fd);
        return -1;
    }
    const int yes = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &yes, sizeof yes);
    return fd;
}

int connectTo(const RtlTcpSettings& settings, int wakeFd, const std::atomic<bool>& stopping,
              std::string* error) {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    const std::string service = std::to_string(settings.port);
    if (const int rc = ::getaddrinfo(settings.host.c_str(), service.c_str(), &hints, &found)) {
        *error = settings.host + ": " + ::gai_strerror(rc);
        return -1;
    }
    int fd = -1;
    for (const addrinfo* a = found; a && fd < 0; a = a->ai_next)
        fd = connectOnce(a, wakeFd, settings.connectTimeoutMs, stopping, error);
    ::freeaddrinfo(found);
    return fd;
}

bool sendAll(int fd, const std::uint8_t* bytes, std::size_t size, int wakeFd,
             const std::atomic<bool>& stopping) {
    while (size > 0) {
        const ssize_t sent = ::send(fd, bytes, size, MSG_NOSIGNAL);
        if (sent < 0 && (errno == EAGAIN || errno == EINTR)) {
            if (!waitFor(fd, POLLOUT, wakeFd, 1000, stopping))
                return false;
            continue;
        }
        if (sent <= 0)
            return false;
        bytes += sent;
        size -= std::size_t(sent);
    }
    return true;
}

} // namespace

// One connection: its decoder and the blocks it fills.
class RtlTcpSource::Session {
public:
    Session(RtlTcpSource& source, int fd, IqBlockAssembler& assembler)
        : source_(source), fd_(fd), assembler_(assembler), bytes_(kReadBytes),
          samples_(RtlTcpStreamDecoder::maxSamplesFor(kReadBytes)) {}

    // Streams until the server goes away or the source stops; returns why.
    std::string run();

private:
    bool sendPending();
    // Returns an error text when the connection is over.
    std::optional<std::string> readOnce();

    RtlTcpSource& source_;
    const int fd_;
    IqBlockAssembler& assembler_;
    RtlTcpStreamDecoder decoder_;
    std::vector<std::uint8_t> bytes_;
    std::vector<std::complex<float>> samples_;
};

std::string RtlTcpSource::Session::run() {
    using Clock = std::chrono::steady_clock;
    auto lastData = Clock::now();
    while (!source_.stopping_) {
        if (!sendPending())
            return errnoText("send");
        pollfd fds[2] = {{fd_, POLLIN, 0}, {source_.wakeFds_[0], POLLIN, 0}};
        if (::poll(fds, 2, 200) < 0 && errno != EINTR)
            return errnoText("poll");
        if (fds[1].revents & POLLIN)
            drainWakePipe(source_.wakeFds_[0]);
        if (fds[0].revents & (POLLIN | POLLHUP | POLLERR)) {
            if (auto ended = readOnce())
                return *ended;
            lastData = Clock::now();
        } else if (Clock::now() - lastData > std::chrono::milliseconds(source_.settings_.stallMs)) {
            return "the server sent nothing for " + std::to_string(source_.settings_.stallMs) +
                   " ms";
        }
    }
    return {};
}

std::optional<std::string> RtlTcpSource::Session::readOnce() {
    const ssize_t got = ::read(fd_, bytes_.data(), bytes_.size());
    if (got == 0)
        return "the server closed the connection";
    if (got < 0)
        return errno == EAGAIN || errno == EINTR ? std::nullopt : std::optional(errnoText("read"));
    const bool greeted = decoder_.state() == RtlTcpStreamDecoder::State::Streaming;
    const std::size_t count = decoder_.feed({bytes_.data(), std::size_t(got)}, samples_.data());
    if (decoder_.state() == RtlTcpStreamDecoder::State::Refused)
        return "not an rtl_tcp server (its greeting does not start with \"RTL0\")";
    {
        std::lock_guard lock(source_.mutex_);
        source_.status_.bytesRead += std::uint64_t(got);
        if (!greeted && decoder_.state() == RtlTcpStreamDecoder::State::Streaming) {
            source_.status_.greeting = decoder_.greeting();
            source_.status_.state = SourceState::Streaming;
            source_.status_.lastError.clear();
            ++source_.status_.connects;
        }
    }
    assembler_.append(samples_.data(), count);
    std::lock_guard lock(source_.mutex_);
    source_.status_.staleSamples = assembler_.staleSamples();
    return std::nullopt;
}

// Sends the settings changed since the last call. A retune also tells the
// assembler how many samples are still on their way at the old tuning: what
// sits in the socket and the decoder now, and the tuner's settling time.
bool RtlTcpSource::Session::sendPending() {
    std::map<std::uint8_t, std::uint32_t> commands;
    bool retune = false;
    std::uint64_t generation = 0;
    std::uint32_t centreHz = 0, sampleRate = 0;
    {
        std::lock_guard lock(source_.mutex_);
        commands.swap(source_.pending_);
        retune = std::exchange(source_.retunePending_, false);
        generation = source_.generation_.load();
        centreHz = source_.settings_.centreHz;
        sampleRate = source_.settings_.sampleRate;
    }
    for (const auto& [id, value] : commands) {
        const auto bytes = encodeRtlTcpCommand(RtlTcpCommand(id), value);
        if (!sendAll(fd_, bytes.data(), bytes.size(), source_.wakeFds_[0], source_.stopping_))
            return false;
    }
    if (retune) {
        int waiting = 0;
        ::ioctl(fd_, FIONREAD, &waiting);
        const std::uint64_t inFlight = (std::uint64_t(waiting) + decoder_.heldBytes()) / 2;
        const std::uint64_t settle =
            std::uint64_t(sampleRate) * std::uint64_t(source_.settings_.settleMs) / 1000;
        assembler_.retune(generation, centreHz, sampleRate, inFlight + settle);
    }
    return true;
}

RtlTcpSource::RtlTcpSource(RtlTcpSettings settings)
    : settings_(std::move(settings)), queue_(settings_.queueBlocks) {}

RtlTcpSource::~RtlTcpSource() {
    stop();
}

void RtlTcpSource::start() {
    if (thread_.joinable())
        return;
    if (wakeFds_[0] < 0 && ::pipe2(wakeFds_, O_CLOEXEC | O_NONBLOCK) != 0) {
        setState(SourceState::Disconnected, errnoText("pipe"));
        return;
    }
    stopping_ = false;
    thread_ = std::thread([this] { run(); });
}

void RtlTcpSource::stop() {
    if (thread_.joinable()) {
        stopping_ = true;
        wake();
        thread_.join();
    }
    for (int& fd : wakeFds_) {
        if (fd >= 0)
            ::close(fd);
        fd = -1;
    }
}

void RtlTcpSource::wake() {
    const char byte = 'w';
    if (wakeFds_[1] >= 0) [[maybe_unused]]
        const auto written = ::write(wakeFds_[1], &byte, 1);
}

void RtlTcpSource::queueCommand(RtlTcpCommand command, std::uint32_t value) {
    pending_[std::uint8_t(command)] = value;
}

void RtlTcpSource::queueGain() {
    queueCommand(RtlTcpCommand::GainMode, settings_.gainTenthsDb ? 1 : 0);
    if (settings_.gainTenthsDb)
        queueCommand(RtlTcpCommand::Gain, std::uint32_t(*settings_.gainTenthsDb));
}

void RtlTcpSource::queueSettings() {
    std::lock_guard lock(mutex_);
    queueCommand(RtlTcpCommand::SampleRate, settings_.sampleRate);
    queueCommand(RtlTcpCommand::Frequency, settings_.centreHz);
    queueGain();
    queueCommand(RtlTcpCommand::Ppm, std::uint32_t(settings_.ppm));
    queueCommand(RtlTcpCommand::Agc, settings_.agc ? 1 : 0);
    retunePending_ = true;
}

// Applies `change` to the settings under the lock, then wakes the thread to
// send what it queued.
template <typename Change> void RtlTcpSource::changeSettings(Change&& change) {
    {
        std::lock_guard lock(mutex_);
        change();
    }
    wake();
}

void RtlTcpSource::tune(std::uint64_t centreHz) {
    const auto hz = std::uint32_t(std::min<std::uint64_t>(centreHz, UINT32_MAX));
    changeSettings([&] {
        settings_.centreHz = hz;
        queueCommand(RtlTcpCommand::Frequency, hz);
        retunePending_ = true;
        ++generation_;
    });
}

void RtlTcpSource::setSampleRate(std::uint32_t sampleRate) {
    changeSettings([&] {
        settings_.sampleRate = sampleRate;
        queueCommand(RtlTcpCommand::SampleRate, sampleRate);
        retunePending_ = true;
        ++generation_;
    });
}

void RtlTcpSource::setGain(std::optional<int> tenthsDb) {
    changeSettings([&] {
        settings_.gainTenthsDb = tenthsDb;
        queueGain();
    });
}

void RtlTcpSource::setGainDb(std::optional<double> gainDb) {
    setGain(gainDb ? std::optional(int(std::lround(*gainDb * 10))) : std::nullopt);
}

void RtlTcpSource::setPpm(int ppm) {
    changeSettings([&] {
        settings_.ppm = ppm;
        queueCommand(RtlTcpCommand::Ppm, std::uint32_t(ppm));
    });
}

void RtlTcpSource::setAgc(bool on) {
    changeSettings([&] {
        settings_.agc = on;
        queueCommand(RtlTcpCommand::Agc, on ? 1 : 0);
    });
}

SourceStatus RtlTcpSource::status() const {
    std::lock_guard lock(mutex_);
    SourceStatus status = status_;
    status.overruns = queue_.overruns();
    return status;
}

std::vector<FrequencyBand> RtlTcpSource::frequencyBands() const {
    std::lock_guard lock(mutex_);
    if (!status_.greeting)
        return {};
    const auto bands = tunerBands(status_.greeting->tuner());
    return {bands.begin(), bands.end()};
}

void RtlTcpSource::setState(SourceState state, const std::string& error) {
    std::lock_guard lock(mutex_);
    status_.state = state;
    if (!error.empty())
        status_.lastError = error;
}

bool RtlTcpSource::waitBeforeRetry() {
    pollfd wakeUp{wakeFds_[0], POLLIN, 0};
    const auto until =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(settings_.reconnectMs);
    while (!stopping_) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            until - std::chrono::steady_clock::now());
        if (left.count() <= 0)
            break;
        if (::poll(&wakeUp, 1, int(left.count())) > 0)
            drainWakePipe(wakeFds_[0]);
    }
    return !stopping_;
}

void RtlTcpSource::run() {
    IqBlockAssembler assembler(queue_, settings_.blockSamples);
    while (!stopping_) {
        setState(SourceState::Connecting);
        std::string error;
        const int fd = connectTo(settings_, wakeFds_[0], stopping_, &error);
        if (fd >= 0) {
            queueSettings();
            Session session(*this, fd, assembler);
            error = session.run();
            ::close(fd);
            if (stopping_)
                break;
            std::lock_guard lock(mutex_);
            if (status_.state == SourceState::Streaming)
                ++status_.disconnects;
        }
        setState(SourceState::Disconnected, error);
        if (!waitBeforeRetry())
            break;
    }
    setState(SourceState::Stopped);
}

} // namespace kovo::sdr
