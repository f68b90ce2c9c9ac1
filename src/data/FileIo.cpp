#include "FileIo.h"

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

namespace kovo {
namespace {

// Closes a descriptor on every path out of a function.
class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor() {
        if (fd_ >= 0)
            ::close(fd_);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const { return fd_; }
    // Closes now and reports the error close() gives (data not written back).
    int closeNow() {
        const int rc = ::close(fd_);
        fd_ = -1;
        return rc == 0 ? 0 : errno;
    }

private:
    int fd_;
};

int writeAll(int fd, const std::vector<std::uint8_t>& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        done += static_cast<std::size_t>(n);
    }
    return 0;
}

std::string directoryOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string baseNameOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// A save's temporary file is named "<file>.tmp-<pid>-<n>".
constexpr const char* kTemporaryMark = ".tmp-";

bool allDigits(std::string_view text) {
    return !text.empty() && text.size() <= 10 &&
           text.find_first_not_of("0123456789") == std::string_view::npos;
}

// The process that wrote the temporary `entry` of `base`, or 0 when `entry`
// is no such temporary.
long temporaryWriter(std::string_view entry, const std::string& base) {
    const std::string prefix = base + kTemporaryMark;
    if (entry.size() <= prefix.size() || entry.substr(0, prefix.size()) != prefix)
        return 0;
    const std::string_view rest = entry.substr(prefix.size());
    const auto dash = rest.find('-');
    if (dash == std::string_view::npos || !allDigits(rest.substr(0, dash)) ||
        !allDigits(rest.substr(dash + 1)))
        return 0;
    return std::strtol(std::string(rest.substr(0, dash)).c_str(), nullptr, 10);
}

// A process that cannot be signalled for lack of permission still runs.
bool processGone(long pid) {
    return pid > 0 && ::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH;
}

// Creates a new temporary file beside `target`; returns its descriptor or -1.
int createTemporary(const std::string& target, std::string& tempPath) {
    static std::atomic<unsigned> counter{0};
    for (int attempt = 0; attempt < 100; ++attempt) {
        char suffix[64];
        std::snprintf(suffix, sizeof suffix, "%s%ld-%u", kTemporaryMark,
                      static_cast<long>(::getpid()), counter.fetch_add(1));
        tempPath = target + suffix;
        const int fd = ::open(tempPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    errno = EEXIST;
    return -1;
}

void syncDirectory(const std::string& directory) {
    const int fd = ::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd); // best effort: the rename itself has succeeded
        ::close(fd);
    }
}

} // namespace

std::string fileSavedAs(const std::string& path) {
    struct stat info {};
    if (::lstat(path.c_str(), &info) == 0 && S_ISLNK(info.st_mode)) {
        char resolved[PATH_MAX];
        if (::realpath(path.c_str(), resolved) != nullptr)
            return resolved;
    }
    return path;
}

int removeStaleTemporaries(const std::string& path) {
    const std::string target = fileSavedAs(path);
    const std::string base = baseNameOf(target);
    DIR* directory = ::opendir(directoryOf(target).c_str());
    if (directory == nullptr)
        return 0;
    int removed = 0;
    const long self = static_cast<long>(::getpid());
    while (const dirent* entry = ::readdir(directory)) {
        const long writer = temporaryWriter(entry->d_name, base);
        if (writer == 0 || writer == self || !processGone(writer))
            continue;
        struct stat info {};
        if (::fstatat(::dirfd(directory), entry->d_name, &info, AT_SYMLINK_NOFOLLOW) == 0 &&
            S_ISREG(info.st_mode) && ::unlinkat(::dirfd(directory), entry->d_name, 0) == 0)
            ++removed;
    }
    ::closedir(directory);
    return removed;
}

std::optional<FileStamp> fileStampOf(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0)
        return std::nullopt;
    return FileStamp{
        static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino),
        static_cast<std::int64_t>(info.st_size), static_cast<std::int64_t>(info.st_mtim.tv_sec),
        static_cast<std::int64_t>(info.st_mtim.tv_nsec)};
}

// Opened without waiting, so that a FIFO with no writer cannot hold the
// caller; only a regular file is read, and only once its size is known to fit.
bool readWholeFile(const std::string& path, std::vector<std::uint8_t>& bytes, int& error) {
    FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (fd.get() < 0) {
        error = errno;
        return false;
    }
    struct stat info {};
    if (::fstat(fd.get(), &info) != 0) {
        error = errno;
        return false;
    }
    if (S_ISDIR(info.st_mode)) {
        error = EISDIR;
        return false;
    }
    if (!S_ISREG(info.st_mode)) {
        error = ENOTSUP;
        return false;
    }
    if (static_cast<std::uint64_t>(info.st_size) > kMaxDocumentFileSize) {
        error = EFBIG;
        return false;
    }
    bytes.clear();
    bytes.reserve(static_cast<std::size_t>(info.st_size));
    std::uint8_t buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fd.get(), buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            error = errno;
            return false;
        }
        if (n == 0)
            break;
        if (bytes.size() + static_cast<std::size_t>(n) > kMaxDocumentFileSize) {
            error = EFBIG;
            return false;
        }
        bytes.insert(bytes.end(), buffer, buffer + n);
    }
    return true;
}

bool replaceFileAtomically(const std::string& path, const std::vector<std::uint8_t>& bytes,
                           int& error) {
    const std::string target = fileSavedAs(path);
    removeStaleTemporaries(target);
    std::string tempPath;
    FileDescriptor fd(createTemporary(target, tempPath));
    if (fd.get() < 0) {
        error = errno;
        return false;
    }
    auto abandon = [&](int cause) {
        ::unlink(tempPath.c_str());
        error = cause;
        return false;
    };
    struct stat existing {};
    if (::stat(target.c_str(), &existing) == 0 && S_ISREG(existing.st_mode))
        ::fchmod(fd.get(), existing.st_mode & 07777);
    if (const int cause = writeAll(fd.get(), bytes))
        return abandon(cause);
    if (::fsync(fd.get()) != 0)
        return abandon(errno);
    if (const int cause = fd.closeNow())
        return abandon(cause);
    if (::rename(tempPath.c_str(), target.c_str()) != 0)
        return abandon(errno);
    syncDirectory(directoryOf(target));
    return true;
}

} // namespace kovo
