#pragma once
#include <atomic>
#include <filesystem>
#include <functional>
#include <mutex>
#include <span>
#include <string>
#include <thread>

namespace kovo::recorder {

// Reads mono float audio from a PulseAudio source (PipeWire answers the
// same protocol) on a thread of its own, in blocks of 10 ms, and hands each
// block to `onAudio` on that thread. A lost server is retried every second.
class AudioCapture {
public:
    using Consumer = std::function<void(std::span<const float>)>;
    AudioCapture(std::string source, int sampleRate, Consumer onAudio);
    ~AudioCapture();
    AudioCapture(const AudioCapture&) = delete;
    AudioCapture& operator=(const AudioCapture&) = delete;

    void start();
    void stop();
    bool connected() const { return connected_; }
    // The peak level of the last block, 0 to 1.
    float level() const { return level_; }
    std::string lastError() const;

private:
    void run();

    std::string source_;
    int sampleRate_;
    Consumer onAudio_;
    std::thread thread_;
    std::atomic<bool> running_{false};
    std::atomic<bool> connected_{false};
    std::atomic<float> level_{0};
    mutable std::mutex errorMutex_;
    std::string error_;
};

// Plays one recording at a time to the default output.
class Player {
public:
    Player() = default;
    ~Player();
    Player(const Player&) = delete;
    Player& operator=(const Player&) = delete;

    // Stops what is playing and starts the file; false when it cannot be read.
    bool play(const std::filesystem::path& file);
    void stop();
    bool playing() const { return playing_; }
    // Called on the player's thread when a file has played to its end.
    std::function<void()> onFinished;

private:
    std::thread thread_;
    std::atomic<bool> stopRequested_{false};
    std::atomic<bool> playing_{false};
};

} // namespace kovo::recorder
