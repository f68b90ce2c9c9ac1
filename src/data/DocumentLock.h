#pragma once
#include <string>

namespace kovo {

// Who holds a document open: read from its lock file, so it may be empty
// while the holder is still writing it.
struct LockHolder {
    long pid = 0;
    std::string user;
    std::string host;
    // "process 1234 of anna on radio-pc", or what of it is known.
    std::string describe() const;
};

// An advisory lock on a document file while a program has it open, so that
// two programs never overwrite each other's work in silence. The lock is a
// file beside the document (".<name>.lock") that names the holder, with a
// BSD lock on it for as long as it is held: the operating system lets go of
// that when the holder ends in any way, so a lock file left by a crash is
// taken over rather than believed. Saves replace the document file, never
// the lock file, so the lock outlives every save.
class DocumentLock {
public:
    enum class State {
        None,          // nothing asked yet, or released
        Held,          // this object holds the document
        HeldElsewhere, // another process holds it: see holder()
        Unavailable,   // no lock can be taken there (a read-only folder)
    };

    DocumentLock() = default;
    ~DocumentLock() { release(); }
    DocumentLock(DocumentLock&& other) noexcept;
    DocumentLock& operator=(DocumentLock&& other) noexcept;
    DocumentLock(const DocumentLock&) = delete;
    DocumentLock& operator=(const DocumentLock&) = delete;

    // Tries to take the lock on the document at `documentPath` (through a
    // symbolic link, on the file it names) without waiting.
    static DocumentLock acquire(const std::string& documentPath);

    State state() const { return state_; }
    bool heldElsewhere() const { return state_ == State::HeldElsewhere; }
    const LockHolder& holder() const { return holder_; }
    // Lets go of the lock and removes the lock file.
    void release();

    // The lock file of the document at `documentPath`.
    static std::string lockFileOf(const std::string& documentPath);

private:
    State state_ = State::None;
    int fd_ = -1;
    std::string lockPath_;
    LockHolder holder_;
};

} // namespace kovo
