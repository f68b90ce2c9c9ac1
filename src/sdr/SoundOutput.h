#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <span>
#include <string>

namespace kovo::sdr {

struct SoundOutputSettings {
    std::string streamName = "KOVO3000";
    std::string sink; // empty: the sound server's default output
    int sampleRate = 48'000;
    // Audio held for the sound server at most; more is dropped.
    int queueMs = 200;
    // How much the server keeps in its own buffer: the delay of the sound.
    int latencyMs = 40;
    int retryMs = 1000;
};

struct SoundOutputStatus {
    bool connected = false;
    std::string lastError;
    std::uint64_t playedSamples = 0;
    std::uint64_t droppedSamples = 0; // audio lost to a full queue or an absent server
};

// Plays mono float audio to the desktop's PulseAudio server (PipeWire answers
// the same protocol) as a stream of its own. `push` is called from the DSP
// thread and never waits on the server: it queues the audio, up to
// `queueMs`, for a writer thread. When the server stops answering or is gone,
// the queue fills and further audio is dropped and counted; a lost server is
// connected to again after `retryMs`.
class SoundOutput {
public:
    explicit SoundOutput(SoundOutputSettings settings);
    ~SoundOutput();
    SoundOutput(const SoundOutput&) = delete;
    SoundOutput& operator=(const SoundOutput&) = delete;

    // start(), stop(), push() and status() may be called from any thread.
    void start();
    // Lets the writer go without waiting for it: a server that does not
    // answer holds only that thread, which ends once the server lets go.
    void stop();

    // False (and counted as dropped) when the audio cannot be queued.
    bool push(std::span<const float> audio);
    SoundOutputStatus status() const;

private:
    struct Writer;

    std::shared_ptr<Writer> writer() const;

    SoundOutputSettings settings_;
    // Held only to read or replace the pointer, never across a call into
    // the writer, so that push() may run on the DSP thread while another
    // starts or stops the output.
    mutable std::mutex writerMutex_;
    std::shared_ptr<Writer> writer_;
};

} // namespace kovo::sdr
