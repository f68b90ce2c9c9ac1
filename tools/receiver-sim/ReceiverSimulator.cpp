#include "ReceiverSimulator.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/prctl.h>
#include <sys/select.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

namespace kovo::sim {

namespace {

// Answers the program has not taken from the pty yet; beyond this the oldest
// are lost, as they would be by a receiver talking to a closed port.
constexpr std::size_t kPendingOutLimit = 16384;
constexpr std::size_t kReadChunk = 4096;

std::string systemError(const std::string& what) {
    return what + ": " + std::strerror(errno);
}

bool setFlags(int fd, int statusFlags) {
    const int fl = fcntl(fd, F_GETFL);
    if (fl < 0 || fcntl(fd, F_SETFL, fl | statusFlags) < 0)
        return false;
    const int fdFlags = fcntl(fd, F_GETFD);
    return fdFlags >= 0 && fcntl(fd, F_SETFD, fdFlags | FD_CLOEXEC) >= 0;
}

speed_t speedFor(int baud) {
    switch (baud) {
    case 4800:
        return B4800;
    case 19200:
        return B19200;
    default:
        return B9600;
    }
}

// Raw 8N2: no echo, no line editing, no character translation, so that CR
// stays CR in both directions.
bool makeRaw(int fd, int baud) {
    termios t{};
    if (tcgetattr(fd, &t) != 0)
        return false;
    t.c_iflag &=
        ~tcflag_t(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL | IXON | IXOFF);
    t.c_oflag &= ~tcflag_t(OPOST);
    t.c_lflag &= ~tcflag_t(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
    t.c_cflag &= ~tcflag_t(CSIZE | PARENB);
    t.c_cflag |= CS8 | CSTOPB | CLOCAL | CREAD;
    t.c_cc[VMIN] = 1;
    t.c_cc[VTIME] = 0;
    cfsetispeed(&t, speedFor(baud));
    cfsetospeed(&t, speedFor(baud));
    return tcsetattr(fd, TCSANOW, &t) == 0;
}

std::string slaveName(int master) {
    // ptsname() shares one buffer between threads.
    static std::mutex nameMutex;
    std::lock_guard lock(nameMutex);
    const char* name = ptsname(master);
    return name ? std::string(name) : std::string();
}

void closeFd(int& fd) {
    if (fd >= 0)
        ::close(fd);
    fd = -1;
}

} // namespace

ReceiverSimulator::ReceiverSimulator(SimOptions options) : options_(std::move(options)) {}

ReceiverSimulator::~ReceiverSimulator() {
    stop();
    closeAll();
    removeLink();
}

bool ReceiverSimulator::start(std::string* error) {
    std::string ignored;
    if (!error)
        error = &ignored;
    if (master_ >= 0) {
        *error = "already started";
        return false;
    }
    SignalPlan plan = SignalPlan::demo();
    if (presetPlan_) {
        plan = *presetPlan_;
    } else if (!options_.planFile.empty()) {
        std::vector<std::string> problems;
        if (!SignalPlan::load(options_.planFile, &plan, &problems) || !problems.empty()) {
            *error = options_.planFile + ": the plan has errors";
            for (const auto& p : problems)
                *error += "\n  " + p;
            return false;
        }
    }
    if (!options_.logPath.empty() && !transcript_.open(options_.logPath, error))
        return false;
    if (!openPty(error))
        return false;
    if (!makeLink(error)) {
        closeAll();
        return false;
    }

    epoch_ = std::chrono::steady_clock::now();
    model_ = std::make_unique<ReceiverModel>(options_, std::move(plan), 0);
    if (presetState_)
        model_->setState(*presetState_);
    if (transcript_.isOpen()) {
        char header[160];
        std::snprintf(header, sizeof header,
                      "# %s on %s, %d bit/s, pacing %s, latency %d ms; times in ms since start",
                      options_.ar3000 ? "AR3000" : "AR3000A", slavePath_.c_str(), options_.baud,
                      options_.pacing ? "on" : "off", options_.latencyMs);
        transcript_.writeLine(header);
        model_->setTranscriptSink([this](const TranscriptEntry& e) { transcript_.write(e); });
    }
    return true;
}

bool ReceiverSimulator::openPty(std::string* error) {
    master_ = posix_openpt(O_RDWR | O_NOCTTY);
    if (master_ < 0) {
        *error = systemError("posix_openpt");
        return false;
    }
    if (grantpt(master_) != 0 || unlockpt(master_) != 0 || !setFlags(master_, O_NONBLOCK)) {
        *error = systemError("pseudo-terminal set-up");
        closeAll();
        return false;
    }
    slavePath_ = slaveName(master_);
    slaveKeeper_ =
        slavePath_.empty() ? -1 : ::open(slavePath_.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (slaveKeeper_ < 0 || !makeRaw(slaveKeeper_, options_.baud)) {
        *error = systemError("open " + slavePath_);
        closeAll();
        return false;
    }
    int wake[2];
    if (pipe(wake) != 0) {
        *error = systemError("pipe");
        closeAll();
        return false;
    }
    wakeRead_ = wake[0];
    wakeWrite_ = wake[1];
    if (!setFlags(wakeRead_, O_NONBLOCK) || !setFlags(wakeWrite_, O_NONBLOCK)) {
        *error = systemError("pipe flags");
        closeAll();
        return false;
    }
    return true;
}

// Replaces an old link of the same name, but never a file that is not a link.
bool ReceiverSimulator::makeLink(std::string* error) {
    if (options_.linkPath.empty())
        return true;
    struct stat st {};
    if (lstat(options_.linkPath.c_str(), &st) == 0) {
        if (!S_ISLNK(st.st_mode)) {
            *error = options_.linkPath + ": exists and is not a symbolic link; not replaced";
            return false;
        }
        ::unlink(options_.linkPath.c_str());
    }
    if (symlink(slavePath_.c_str(), options_.linkPath.c_str()) != 0) {
        *error = systemError("symlink " + options_.linkPath);
        return false;
    }
    linked_ = true;
    return true;
}

// Removes the link only while it still points at this simulator's pty.
void ReceiverSimulator::removeLink() {
    if (!linked_)
        return;
    linked_ = false;
    char target[4096];
    const ssize_t n = readlink(options_.linkPath.c_str(), target, sizeof target - 1);
    if (n < 0)
        return;
    target[n] = '\0';
    if (slavePath_ == target)
        ::unlink(options_.linkPath.c_str());
}

void ReceiverSimulator::closeAll() {
    closeFd(master_);
    closeFd(slaveKeeper_);
    closeFd(wakeRead_);
    closeFd(wakeWrite_);
}

std::int64_t ReceiverSimulator::nowUs() const {
    return std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() -
                                                                 epoch_)
        .count();
}

void ReceiverSimulator::run() {
    if (master_ < 0 || !model_)
        return;
    // A receiver sends its characters back to back; the kernel's default
    // 50 us of slack on every timed wait would make each paced character late.
    prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL);
    while (!stopRequested_.load())
        serveOnce();
}

void ReceiverSimulator::startInThread() {
    if (thread_.joinable())
        return;
    stopRequested_ = false;
    thread_ = std::thread([this] { run(); });
}

void ReceiverSimulator::stop() {
    stopRequested_ = true;
    wake();
    if (thread_.joinable() && thread_.get_id() != std::this_thread::get_id())
        thread_.join();
}

void ReceiverSimulator::requestStopFromSignal() {
    const int savedErrno = errno;
    stopRequested_.store(true);
    if (wakeWrite_ >= 0) {
        const char c = 's';
        [[maybe_unused]] const ssize_t n = ::write(wakeWrite_, &c, 1);
    }
    errno = savedErrno;
}

void ReceiverSimulator::wake() {
    if (wakeWrite_ < 0)
        return;
    const char c = 'w';
    [[maybe_unused]] const ssize_t n = ::write(wakeWrite_, &c, 1);
}

// One turn: deliver what is due, then sleep until the program writes, the
// next byte is due, or someone wakes us.
void ReceiverSimulator::serveOnce() {
    std::int64_t due = ReceiverModel::kNever;
    {
        std::lock_guard lock(mutex_);
        pendingOut_ += model_->collect(nowUs());
        if (pendingOut_.size() > kPendingOutLimit)
            pendingOut_.erase(0, pendingOut_.size() - kPendingOutLimit);
        due = model_->nextDueUs();
    }
    writeToProgram();

    fd_set readable, writable;
    FD_ZERO(&readable);
    FD_ZERO(&writable);
    FD_SET(master_, &readable);
    FD_SET(wakeRead_, &readable);
    if (!pendingOut_.empty())
        FD_SET(master_, &writable);

    constexpr std::int64_t kLongestSleepUs = 1000000;
    const std::int64_t sleepUs = std::clamp<std::int64_t>(
        due == ReceiverModel::kNever ? kLongestSleepUs : due - nowUs(), 0, kLongestSleepUs);
    timespec timeout{time_t(sleepUs / 1000000), long(sleepUs % 1000000) * 1000};
    const int ready =
        pselect(std::max(master_, wakeRead_) + 1, &readable, &writable, nullptr, &timeout, nullptr);
    if (ready <= 0)
        return;
    if (FD_ISSET(wakeRead_, &readable)) {
        char drain[64];
        while (::read(wakeRead_, drain, sizeof drain) > 0) {
        }
    }
    if (FD_ISSET(master_, &readable))
        readFromProgram();
}

void ReceiverSimulator::readFromProgram() {
    char buffer[kReadChunk];
    for (;;) {
        const ssize_t n = ::read(master_, buffer, sizeof buffer);
        if (n <= 0) {
            // EIO means no one has the terminal open; wait a little instead of spinning.
            if (n < 0 && errno == EIO)
                usleep(10000);
            return;
        }
        std::lock_guard lock(mutex_);
        model_->receive(std::string_view(buffer, std::size_t(n)), nowUs());
    }
}

void ReceiverSimulator::writeToProgram() {
    while (!pendingOut_.empty()) {
        const ssize_t n = ::write(master_, pendingOut_.data(), pendingOut_.size());
        if (n > 0) {
            pendingOut_.erase(0, std::size_t(n));
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK)
            pendingOut_.clear();
        return;
    }
}

void ReceiverSimulator::setPlan(SignalPlan plan) {
    std::lock_guard lock(mutex_);
    if (model_)
        model_->setPlan(std::move(plan));
    else
        presetPlan_ = std::move(plan);
}

void ReceiverSimulator::setMuted(bool muted) {
    std::lock_guard lock(mutex_);
    if (model_)
        model_->setMuted(muted);
    else
        options_.mute = muted;
}

void ReceiverSimulator::dropNextReply() {
    std::lock_guard lock(mutex_);
    if (model_)
        model_->dropNextReply();
}

void ReceiverSimulator::dropReply(long number) {
    std::lock_guard lock(mutex_);
    if (model_)
        model_->dropReply(number);
    else
        options_.dropReplies.push_back(number);
}

void ReceiverSimulator::delayNextReply(int delayMs) {
    std::lock_guard lock(mutex_);
    if (model_)
        model_->delayNextReply(delayMs);
}

void ReceiverSimulator::delayNextAnswerTo(const std::string& command, int delayMs) {
    std::lock_guard lock(mutex_);
    if (model_)
        model_->delayNextAnswerTo(command, delayMs);
}

void ReceiverSimulator::setReceiverState(const ReceiverState& state) {
    std::lock_guard lock(mutex_);
    if (model_)
        model_->setState(state);
    else
        presetState_ = state;
}

SimulatorStatus ReceiverSimulator::status() const {
    std::lock_guard lock(mutex_);
    SimulatorStatus s;
    if (!model_)
        return s;
    s.receiver = model_->state();
    s.commands = model_->commandCount();
    s.answers = model_->answerCount();
    s.reports = model_->reportCount();
    return s;
}

} // namespace kovo::sim
