#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>
#include <set>
#include <span>
#include <string>
#include <vector>

namespace kovo::ipc {

// What was found under a shared memory name. The names are fixed and known
// to every user of the machine, so an object that is there is used only when
// it is this user's own and nobody else can open it.
enum class ObjectCheck { Usable, Missing, TooShort, NotOwned, OpenToOthers };

// Why an object found under `name` ("MemKovoControl") is not used, as a
// sentence for the user; empty when it is usable or simply missing.
std::string refusalReason(const std::string& name, ObjectCheck check);

// A shared memory object opened by name for reading and writing, closed when
// it goes. Only a usable object keeps its descriptor, and one of this user's
// own that is merely too short (its maker may grow it).
class SharedObject {
public:
    // The object `name` as it is; it is not created.
    static SharedObject open(const std::string& name);
    // The object `name`, made for this user alone (mode 0600 whatever the
    // umask, kMappingSize bytes) when it is not there yet; one already there
    // is checked like any other and used as it is, never resized or
    // re-permissioned.
    static SharedObject openOrCreate(const std::string& name);

    SharedObject(SharedObject&& other) noexcept;
    SharedObject& operator=(SharedObject&& other) noexcept;
    SharedObject(const SharedObject&) = delete;
    SharedObject& operator=(const SharedObject&) = delete;
    ~SharedObject();

    int fd() const { return fd_; }
    ObjectCheck check() const { return check_; }
    bool usable() const { return check_ == ObjectCheck::Usable; }
    // Whether this opening made the object.
    bool created() const { return created_; }

private:
    SharedObject() = default;
    void closeFile();

    int fd_ = -1;
    ObjectCheck check_ = ObjectCheck::Missing;
    bool created_ = false;
};

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
// program shrinks meanwhile gives a short transfer, never a fault. An object
// another user owns, or one that others may open, is not used; the reporter
// hears of it once per name, in words.
class PosixSharedMemory final : public SharedMemory {
public:
    using Reporter = std::function<void(const std::string& text)>;
    explicit PosixSharedMemory(Reporter refused = {}) : refused_(std::move(refused)) {}

    bool read(const std::string& name, std::vector<std::uint8_t>& out) override;
    bool write(const std::string& name, const std::vector<Piece>& pieces) override;

private:
    SharedObject open(const std::string& name);

    Reporter refused_;
    std::set<std::string> reported_;
};

} // namespace kovo::ipc
