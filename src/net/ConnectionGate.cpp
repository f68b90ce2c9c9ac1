#include "net/ConnectionGate.h"

#include <tuple>

namespace kovo {

ConnectionGate::Admission ConnectionGate::admit(Id id, const std::string& address,
                                                std::int64_t nowMs) {
    Admission admission;
    const bool addressFull = countFrom(address) >= limits_.perAddress;
    if (addressFull || entries_.size() >= limits_.total) {
        const auto victim = evictable(addressFull ? &address : nullptr, nowMs);
        if (!victim)
            return admission;
        closed(*victim);
        admission.close.push_back(*victim);
    }
    entries_[id] = Entry{address, nowMs, false};
    ++perAddress_[address];
    admission.admitted = true;
    return admission;
}

void ConnectionGate::active(Id id, std::int64_t nowMs) {
    if (const auto it = entries_.find(id); it != entries_.end())
        it->second.lastActiveMs = nowMs;
}

void ConnectionGate::keep(Id id) {
    if (const auto it = entries_.find(id); it != entries_.end())
        it->second.kept = true;
}

void ConnectionGate::closed(Id id) {
    const auto it = entries_.find(id);
    if (it == entries_.end())
        return;
    const auto from = perAddress_.find(it->second.address);
    if (from != perAddress_.end() && --from->second == 0)
        perAddress_.erase(from);
    entries_.erase(it);
}

std::vector<ConnectionGate::Id> ConnectionGate::idle(std::int64_t nowMs) const {
    std::vector<Id> found;
    for (const auto& [id, entry] : entries_)
        if (!entry.kept && nowMs - entry.lastActiveMs >= limits_.idleMs)
            found.push_back(id);
    return found;
}

std::size_t ConnectionGate::countFrom(const std::string& address) const {
    const auto it = perAddress_.find(address);
    return it == perAddress_.end() ? 0 : it->second;
}

std::optional<ConnectionGate::Id> ConnectionGate::evictable(const std::string* address,
                                                            std::int64_t nowMs) const {
    std::optional<Id> best;
    // Most connections from its address first, then idle longest.
    std::tuple<std::size_t, std::int64_t> bestRank{};
    for (const auto& [id, entry] : entries_) {
        if (entry.kept || nowMs - entry.lastActiveMs < limits_.evictableMs ||
            (address && entry.address != *address))
            continue;
        const std::tuple<std::size_t, std::int64_t> rank{countFrom(entry.address),
                                                         nowMs - entry.lastActiveMs};
        if (!best || rank > bestRank) {
            best = id;
            bestRank = rank;
        }
    }
    return best;
}

} // namespace kovo
