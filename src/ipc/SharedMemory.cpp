#include "ipc/SharedMemory.h"

#include "ipc/Blocks.h"

#include <cerrno>
#include <utility>

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kovo::ipc {
namespace {

constexpr mode_t kPrivateMode = 0600;

bool validName(const std::string& name) {
    return !name.empty() && name.find('/') == std::string::npos;
}

ObjectCheck checkStat(const struct stat& st) {
    if (!S_ISREG(st.st_mode))
        return ObjectCheck::Missing;
    if (st.st_uid != ::geteuid())
        return ObjectCheck::NotOwned;
    if ((st.st_mode & 077) != 0)
        return ObjectCheck::OpenToOthers;
    if (st.st_size < off_t(kMappingSize))
        return ObjectCheck::TooShort;
    return ObjectCheck::Usable;
}

ObjectCheck checkOpened(int fd) {
    struct stat st {};
    return ::fstat(fd, &st) == 0 ? checkStat(st) : ObjectCheck::Missing;
}

// An object this user may not open is there all the same: say whose it is
// where the system shows it.
ObjectCheck checkUnopenable(const std::string& name) {
    struct stat st {};
    if (errno != EACCES || ::stat(("/dev/shm/" + name).c_str(), &st) != 0)
        return ObjectCheck::Missing;
    const ObjectCheck check = checkStat(st);
    return check == ObjectCheck::NotOwned || check == ObjectCheck::OpenToOthers
               ? check
               : ObjectCheck::Missing;
}

} // namespace

std::string refusalReason(const std::string& name, ObjectCheck check) {
    const std::string where = "/dev/shm/" + name;
    switch (check) {
    case ObjectCheck::NotOwned:
        return "The shared memory " + where +
               " belongs to another user, so it is not used: whatever passed through it could be "
               "read or changed by that user. Other programs cannot exchange names or state with "
               "this one until it is removed.";
    case ObjectCheck::OpenToOthers:
        return "The shared memory " + where +
               " can be opened by other users, so it is not used: whatever passed through it "
               "could be read or changed by them. Other programs cannot exchange names or state "
               "with this one until it is removed.";
    case ObjectCheck::Usable:
    case ObjectCheck::Missing:
    case ObjectCheck::TooShort:
        break;
    }
    return {};
}

SharedObject SharedObject::open(const std::string& name) {
    SharedObject object;
    if (!validName(name))
        return object;
    object.fd_ = ::shm_open(("/" + name).c_str(), O_RDWR | O_CLOEXEC, 0);
    if (object.fd_ < 0) {
        object.check_ = checkUnopenable(name);
        return object;
    }
    object.check_ = checkOpened(object.fd_);
    if (!object.usable() && object.check_ != ObjectCheck::TooShort)
        object.closeFile();
    return object;
}

SharedObject SharedObject::openOrCreate(const std::string& name) {
    SharedObject object;
    if (!validName(name))
        return object;
    const std::string path = "/" + name;
    object.fd_ = ::shm_open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, kPrivateMode);
    if (object.fd_ < 0)
        return open(name);
    object.created_ = true;
    // The umask may have taken bits away; this object is ours, so it gets
    // exactly what it needs.
    struct stat st {};
    const bool ready =
        ::fstat(object.fd_, &st) == 0 &&
        ((st.st_mode & 0777) == kPrivateMode || ::fchmod(object.fd_, kPrivateMode) == 0) &&
        ::ftruncate(object.fd_, off_t(kMappingSize)) == 0;
    object.check_ = ready ? checkOpened(object.fd_) : ObjectCheck::Missing;
    if (!object.usable()) {
        object.closeFile();
        ::shm_unlink(path.c_str());
        object.created_ = false;
    }
    return object;
}

SharedObject::SharedObject(SharedObject&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)), check_(other.check_),
      created_(std::exchange(other.created_, false)) {}

SharedObject& SharedObject::operator=(SharedObject&& other) noexcept {
    if (this != &other) {
        closeFile();
        fd_ = std::exchange(other.fd_, -1);
        check_ = other.check_;
        created_ = std::exchange(other.created_, false);
    }
    return *this;
}

SharedObject::~SharedObject() {
    closeFile();
}

void SharedObject::closeFile() {
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
}

SharedObject PosixSharedMemory::open(const std::string& name) {
    SharedObject object = SharedObject::open(name);
    const std::string reason = refusalReason(name, object.check());
    if (!reason.empty() && refused_ && reported_.insert(name).second)
        refused_(reason);
    return object;
}

bool PosixSharedMemory::read(const std::string& name, std::vector<std::uint8_t>& out) {
    const SharedObject object = open(name);
    if (!object.usable())
        return false;
    out.assign(kMappingSize, 0);
    return ::pread(object.fd(), out.data(), kMappingSize, 0) == ssize_t(kMappingSize);
}

bool PosixSharedMemory::write(const std::string& name, const std::vector<Piece>& pieces) {
    for (const Piece& p : pieces)
        if (p.offset > kMappingSize || p.bytes.size() > kMappingSize - p.offset)
            return false;
    const SharedObject object = open(name);
    if (!object.usable())
        return false;
    for (const Piece& p : pieces)
        if (::pwrite(object.fd(), p.bytes.data(), p.bytes.size(), off_t(p.offset)) !=
            ssize_t(p.bytes.size()))
            return false;
    return true;
}

} // namespace kovo::ipc
