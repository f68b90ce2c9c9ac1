#pragma once
#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace kovo {

// Who may hold a connection to one of the program's servers. Connections are
// capped in all and per peer address; one that completes no request for
// `idleMs` is to be closed, and when a cap is reached a newcomer takes the
// place of the connection idle longest (at least `evictableMs`), taken first
// from the address holding the most. So idle connections, however many are
// opened, never keep a client that talks out, nor starve the program of file
// descriptors. A connection may be kept out of all this once it lives by
// rules of its own (a web page's socket). Time comes from the caller.
class ConnectionGate {
public:
    using Id = std::uint64_t;

    struct Limits {
        std::size_t total = 0;
        std::size_t perAddress = 0;
        std::int64_t idleMs = 0;
        std::int64_t evictableMs = 0;
    };

    struct Admission {
        bool admitted = false;
        // Connections to close to make room; the gate has forgotten them.
        std::vector<Id> close;
    };

    explicit ConnectionGate(Limits limits) : limits_(limits) {}

    Admission admit(Id id, const std::string& address, std::int64_t nowMs);
    // A whole request (or line) came: the idle time starts again.
    void active(Id id, std::int64_t nowMs);
    // Never closed for idling nor to make room from now on.
    void keep(Id id);
    void closed(Id id);
    // The connections idle for `idleMs` or longer.
    std::vector<Id> idle(std::int64_t nowMs) const;

    std::size_t count() const { return entries_.size(); }
    std::size_t countFrom(const std::string& address) const;
    const Limits& limits() const { return limits_; }

private:
    struct Entry {
        std::string address;
        std::int64_t lastActiveMs = 0;
        bool kept = false;
    };
    // The connection to give up for a newcomer: from `address` only, or
    // (none) from the address holding the most.
    std::optional<Id> evictable(const std::string* address, std::int64_t nowMs) const;

    Limits limits_;
    std::map<Id, Entry> entries_;
    std::map<std::string, std::size_t> perAddress_;
};

} // namespace kovo
