#pragma once
#include <cstdint>
#include <string>

namespace kovo {

// One step in the life of a hit, a stop of the scan on a signal (or a signal
// heard while listening on a frequency tuned by hand): it begins at the report that stops the scan
// and is heard again at every later report with a signal. It is over when the scan moves on from
// the frequency (or the stop is cut short by a new frequency); the Ended notice then carries the
// time of its last report with signal, so that neither the delay after the signal nor a receiver
// that stopped answering counts as airtime. Main scan and priority check each have at most one hit
// at a time.
struct HitNotice {
    enum class Kind { Began, Heard, Ended };
    Kind kind = Kind::Began;
    bool priority = false;
    std::uint32_t frequency = 0; // Began only
    int mode = 0;                // Began only: the mode index of the tuned record
    int level = 0;               // signal index; Began and Heard
    std::string comment;         // Began only, CP932
    // Began only: a scan, a search or the priority check stopped on the
    // signal. False while listening on a frequency tuned by hand (VFO, the
    // static band scope): the recorder takes it, the hit history does not.
    bool scanning = true;
    std::int64_t time = 0; // seconds since 1970, UTC
};

// The scan moved on to its next step (with or without a hit ending): a
// record handed to the recorder is over.
struct ScanMovedOn {};

} // namespace kovo
