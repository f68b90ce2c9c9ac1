#include "ipc/SharedMemory.h"

#include "ipc/Blocks.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kovo::ipc {
namespace {

// An open object of at least kMappingSize bytes, closed when it goes.
class OpenObject {
public:
    explicit OpenObject(const std::string& name) {
        if (name.empty() || name.find('/') != std::string::npos)
            return;
        fd_ = ::shm_open(("/" + name).c_str(), O_RDWR | O_CLOEXEC, 0);
        struct stat st {};
        if (fd_ >= 0 &&
            (::fstat(fd_, &st) != 0 || !S_ISREG(st.st_mode) || st.st_size < off_t(kMappingSize))) {
            ::close(fd_);
            fd_ = -1;
        }
    }
    ~OpenObject() {
        if (fd_ >= 0)
            ::close(fd_);
    }
    OpenObject(const OpenObject&) = delete;
    OpenObject& operator=(const OpenObject&) = delete;
    int fd() const { return fd_; }

private:
    int fd_ = -1;
};

} // namespace

bool PosixSharedMemory::read(const std::string& name, std::vector<std::uint8_t>& out) {
    OpenObject object(name);
    if (object.fd() < 0)
        return false;
    out.assign(kMappingSize, 0);
    return ::pread(object.fd(), out.data(), kMappingSize, 0) == ssize_t(kMappingSize);
}

bool PosixSharedMemory::write(const std::string& name, const std::vector<Piece>& pieces) {
    for (const Piece& p : pieces)
        if (p.offset > kMappingSize || p.bytes.size() > kMappingSize - p.offset)
            return false;
    OpenObject object(name);
    if (object.fd() < 0)
        return false;
    for (const Piece& p : pieces)
        if (::pwrite(object.fd(), p.bytes.data(), p.bytes.size(), off_t(p.offset)) !=
            ssize_t(p.bytes.size()))
            return false;
    return true;
}

} // namespace kovo::ipc
