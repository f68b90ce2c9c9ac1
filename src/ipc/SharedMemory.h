#pragma once
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace kovo::ipc {

// The named shared memory objects another program creates. Each transfer
// opens the object, copies and closes it; an object that does not exist or
// is shorter than kMappingSize counts as missing.
class SharedMemory {
public:
    struct Piece {
        std::size_t offset;
        std::vector<std::uint8_t> bytes;
    };
    virtual ~SharedMemory() = default;
    // The first kMappingSize bytes of `name` ("MemKovoControl").
    virtual bool read(const std::string& name, std::vector<std::uint8_t>& out) = 0;
    // Writes the pieces, which must lie within the first kMappingSize bytes.
    virtual bool write(const std::string& name, const std::vector<Piece>& pieces) = 0;
};

// POSIX shared memory ("/MemKovoName"). The object is read and written
// through its descriptor rather than mapped, so that an object the other
// program shrinks meanwhile gives a short transfer, never a fault.
class PosixSharedMemory final : public SharedMemory {
public:
    bool read(const std::string& name, std::vector<std::uint8_t>& out) override;
    bool write(const std::string& name, const std::vector<Piece>& pieces) override;
};

} // namespace kovo::ipc
