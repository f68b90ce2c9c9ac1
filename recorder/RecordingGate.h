#pragma once
#include <cstdint>
#include <span>
#include <string>

#include "PreRoll.h"

namespace kovo::recorder {

// What a log entry's recording is about.
struct EntryInfo {
    std::uint32_t frequencyHz = 0;
    std::int64_t time = 0;
    std::string comment; // UTF-8
};

// Where kept audio goes: one file per entry.
class RecordingSink {
public:
    virtual ~RecordingSink() = default;
    virtual bool open(const EntryInfo& entry) = 0;
    virtual void write(std::span<const float> samples) = 0;
    virtual void close() = 0;
};

// Decides which audio reaches a recording. A log entry opens a file (code
// 10) and the scan moving on closes it (code 11); in between, audio is kept
// only while the squelch is open (codes 18 and 19). While nothing is kept,
// the last moments wait in the pre-roll so that the start of a
// transmission is not cut.
class RecordingGate {
public:
    RecordingGate(RecordingSink& sink, std::size_t preRollSamples)
        : sink_(sink), preRoll_(preRollSamples) {}

    // A new entry: the previous file is closed first. False when the sink
    // could not open a file (nothing is recorded until the next entry).
    bool entryStarted(const EntryInfo& entry);
    void entryEnded();
    void squelchChanged(bool open);
    // The link went away: the file is closed and the squelch is unknown.
    void linkLost();
    // Returns how many samples were written to the file.
    std::size_t audio(std::span<const float> samples);

    bool fileOpen() const { return fileOpen_; }
    bool keeping() const { return fileOpen_ && squelch_ != Squelch::Closed; }

private:
    // Until the first squelch code after linking the squelch is unknown; an
    // entry only begins on a signal, so unknown counts as open.
    enum class Squelch { Unknown, Open, Closed };
    void flushPreRoll();

    RecordingSink& sink_;
    PreRoll preRoll_;
    Squelch squelch_ = Squelch::Unknown;
    bool fileOpen_ = false;
};

} // namespace kovo::recorder
