#include "DocumentLock.h"

#include "FileIo.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace kovo {
namespace {

constexpr std::size_t kMaxHolderText = 512;
// Another process may remove the lock file between our open and our lock.
constexpr int kAttempts = 5;

std::string userName() {
    if (const passwd* entry = ::getpwuid(::geteuid()); entry && entry->pw_name)
        return entry->pw_name;
    const char* user = std::getenv("USER");
    return user ? user : "";
}

std::string hostName() {
    char name[256] = {};
    if (::gethostname(name, sizeof name - 1) != 0)
        return {};
    return name;
}

// Best effort: a lock whose holder cannot be named is still a lock.
void writeHolder(int fd) {
    const std::string text = std::to_string(static_cast<long>(::getpid())) + "\n" + userName() +
                             "\n" + hostName() + "\n";
    if (::ftruncate(fd, 0) != 0)
        return;
    [[maybe_unused]] const ssize_t written = ::pwrite(fd, text.data(), text.size(), 0);
}

LockHolder readHolder(int fd) {
    char buffer[kMaxHolderText];
    const ssize_t n = ::pread(fd, buffer, sizeof buffer, 0);
    LockHolder holder;
    if (n <= 0)
        return holder;
    std::string lines[3];
    std::size_t line = 0;
    for (ssize_t i = 0; i < n && line < 3; ++i) {
        if (buffer[i] == '\n')
            ++line;
        else if (static_cast<unsigned char>(buffer[i]) >= ' ')
            lines[line].push_back(buffer[i]);
    }
    holder.pid = std::strtol(lines[0].c_str(), nullptr, 10);
    holder.user = lines[1];
    holder.host = lines[2];
    return holder;
}

bool sameFile(int fd, const std::string& path) {
    struct stat opened {
    }, named{};
    return ::fstat(fd, &opened) == 0 && ::lstat(path.c_str(), &named) == 0 &&
           opened.st_dev == named.st_dev && opened.st_ino == named.st_ino;
}

bool isRegularFile(int fd) {
    struct stat info {};
    return ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
}

// Never through a symbolic link and never waiting on a FIFO put in its place;
// a lock file of another user that we may only read still tells who holds it.
int openLockFile(const std::string& path, bool& writable) {
    constexpr int flags = O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK;
    writable = true;
    int fd = ::open(path.c_str(), O_RDWR | O_CREAT | flags, 0644);
    if (fd < 0 && errno == EACCES) {
        writable = false;
        fd = ::open(path.c_str(), O_RDONLY | flags);
    }
    if (fd >= 0 && !isRegularFile(fd)) {
        ::close(fd);
        return -1;
    }
    return fd;
}

} // namespace

std::string LockHolder::describe() const {
    std::string text = pid > 0 ? "process " + std::to_string(pid) : "a program";
    if (!user.empty())
        text += " of " + user;
    if (!host.empty())
        text += " on " + host;
    return text;
}

std::string DocumentLock::lockFileOf(const std::string& documentPath) {
    const std::string target = fileSavedAs(documentPath);
    const auto slash = target.find_last_of('/');
    const std::string directory = slash == std::string::npos ? "" : target.substr(0, slash + 1);
    const std::string name = slash == std::string::npos ? target : target.substr(slash + 1);
    return directory + "." + name + ".lock";
}

DocumentLock DocumentLock::acquire(const std::string& documentPath) {
    DocumentLock lock;
    lock.lockPath_ = lockFileOf(documentPath);
    lock.state_ = State::Unavailable;
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        bool writable = true;
        const int fd = openLockFile(lock.lockPath_, writable);
        if (fd < 0)
            return lock;
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            if (errno == EWOULDBLOCK) {
                lock.state_ = State::HeldElsewhere;
                lock.holder_ = readHolder(fd);
            }
            ::close(fd);
            return lock;
        }
        if (!writable) {
            ::close(fd);
            return lock;
        }
        if (!sameFile(fd, lock.lockPath_)) {
            ::close(fd); // its holder removed it meanwhile: start again
            continue;
        }
        writeHolder(fd);
        lock.fd_ = fd;
        lock.state_ = State::Held;
        return lock;
    }
    return lock;
}

DocumentLock::DocumentLock(DocumentLock&& other) noexcept
    : state_(std::exchange(other.state_, State::None)), fd_(std::exchange(other.fd_, -1)),
      lockPath_(std::move(other.lockPath_)), holder_(std::move(other.holder_)) {}

DocumentLock& DocumentLock::operator=(DocumentLock&& other) noexcept {
    if (this != &other) {
        release();
        state_ = std::exchange(other.state_, State::None);
        fd_ = std::exchange(other.fd_, -1);
        lockPath_ = std::move(other.lockPath_);
        holder_ = std::move(other.holder_);
    }
    return *this;
}

// The file goes while still locked, so that nobody takes a lock on a file
// that is about to vanish without noticing (acquire checks the name).
void DocumentLock::release() {
    if (fd_ >= 0) {
        if (sameFile(fd_, lockPath_))
            ::unlink(lockPath_.c_str());
        ::close(fd_);
        fd_ = -1;
    }
    state_ = State::None;
}

} // namespace kovo
