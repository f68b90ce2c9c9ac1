#pragma once
#include "SoundCapture.h"

#include <atomic>
#include <memory>

namespace kovo::web {

// Reads a PulseAudio source (PipeWire answers the same protocol) in blocks
// of 10 ms on a thread of its own. An empty source name means the server's
// default input. A missing server or source is retried every second.
//
// Stopping never waits for the sound server: the thread is told to end and
// left to finish on its own (it may sit in a read from a server that does
// not answer); from then on it calls back no more. While kMaxWindingDown
// such threads have not ended yet, no new one is started and the input is
// reported as not answering.
class PulseCapture : public SoundCapture {
public:
    static constexpr int kMaxWindingDown = 4;

    explicit PulseCapture(std::string source);
    ~PulseCapture() override;
    PulseCapture(const PulseCapture&) = delete;
    PulseCapture& operator=(const PulseCapture&) = delete;

    void start(BlockHandler onBlock, ErrorHandler onError) override;
    void stop() override;

    // Capture threads that have not ended yet, stopped ones included.
    int threadsAlive() const { return *alive_; }

private:
    struct Session;

    std::string source_;
    std::shared_ptr<Session> session_;
    std::shared_ptr<std::atomic<int>> alive_ = std::make_shared<std::atomic<int>>(0);
};

} // namespace kovo::web
