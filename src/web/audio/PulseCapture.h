#pragma once
#include "SoundCapture.h"

#include <atomic>
#include <thread>

namespace kovo::web {

// Reads a PulseAudio source (PipeWire answers the same protocol) in blocks
// of 10 ms on a thread of its own. An empty source name means the server's
// default input. A missing server or source is retried every second.
class PulseCapture : public SoundCapture {
public:
    explicit PulseCapture(std::string source);
    ~PulseCapture() override;
    PulseCapture(const PulseCapture&) = delete;
    PulseCapture& operator=(const PulseCapture&) = delete;

    void start(BlockHandler onBlock, ErrorHandler onError) override;
    void stop() override;

private:
    void run();
    void waitBeforeRetry();

    std::string source_;
    BlockHandler onBlock_;
    ErrorHandler onError_;
    std::thread thread_;
    std::atomic<bool> running_{false};
};

} // namespace kovo::web
