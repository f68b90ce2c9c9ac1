#include "RecordingGate.h"

namespace kovo::recorder {

bool RecordingGate::entryStarted(const EntryInfo& entry) {
    entryEnded();
    fileOpen_ = sink_.open(entry);
    if (keeping())
        flushPreRoll();
    return fileOpen_;
}

void RecordingGate::entryEnded() {
    if (fileOpen_)
        sink_.close();
    fileOpen_ = false;
}

void RecordingGate::squelchChanged(bool open) {
    const bool wasKeeping = keeping();
    squelch_ = open ? Squelch::Open : Squelch::Closed;
    if (!wasKeeping && keeping())
        flushPreRoll();
    if (!open)
        preRoll_.clear(); // the pre-roll starts from the close, never repeating kept audio
}

void RecordingGate::linkLost() {
    entryEnded();
    squelch_ = Squelch::Unknown;
}

std::size_t RecordingGate::audio(std::span<const float> samples) {
    if (!keeping()) {
        preRoll_.push(samples);
        return 0;
    }
    sink_.write(samples);
    return samples.size();
}

void RecordingGate::flushPreRoll() {
    const std::vector<float> held = preRoll_.take();
    if (!held.empty())
        sink_.write(held);
}

} // namespace kovo::recorder
