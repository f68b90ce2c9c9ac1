#pragma once
#include "IqSource.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

namespace SoapySDR {
class Device;
}

namespace kovo::sdr {

struct SoapySettings {
    // A SoapySDR argument string: "driver=rtlsdr", "driver=remote,remote=HOST", ...
    std::string args;
    std::uint64_t centreHz = 100'000'000;
    std::uint32_t sampleRate = 2'400'000;
    std::optional<double> gainDb; // nothing: the device's automatic gain
    int ppm = 0;
    std::size_t blockSamples = 16384;
    std::size_t queueBlocks = 64;
    // Time the tuner takes to settle after a retune; samples of this span
    // after the new frequency was set are not counted for it.
    int settleMs = 20;
    int reconnectMs = 1000;
    // A device that delivers nothing for this long is taken as gone.
    int stallMs = 3000;
};

// A SoapySDR device's samples, read on a thread of its own into a bounded
// queue. Every call into the device is made on that thread (drivers need
// not be thread-safe): setters record the change and the thread applies it
// between reads. Overflows the device reports and blocks the queue drops
// are both counted as overruns. A device that cannot be opened, or stops
// streaming, is reported and opened again after `reconnectMs`.
class SoapySource : public IqSource {
public:
    explicit SoapySource(SoapySettings settings);
    ~SoapySource() override;
    SoapySource(const SoapySource&) = delete;
    SoapySource& operator=(const SoapySource&) = delete;

    void start() override;
    void stop() override;

    void tune(std::uint64_t centreHz) override;
    void setSampleRate(std::uint32_t sampleRate) override;
    void setGainDb(std::optional<double> gainDb) override;
    void setPpm(int ppm) override;

    std::uint64_t generation() const override { return generation_.load(); }
    IqBlockQueue& blocks() override { return queue_; }
    SourceStatus status() const override;
    std::vector<FrequencyBand> frequencyBands() const override;

private:
    struct Pending {
        bool retune = false;
        bool gain = false;
        bool ppm = false;
    };
    class Session;

    void run();
    template <typename Change> void changeSettings(Change&& change);
    bool waitBeforeRetry();
    void setState(SourceState state, const std::string& error = {});

    IqBlockQueue queue_;
    std::atomic<std::uint64_t> generation_{1};
    std::atomic<bool> stopping_{false};
    std::atomic<std::uint64_t> deviceOverflows_{0};
    std::thread thread_;

    mutable std::mutex mutex_;
    std::condition_variable wake_;
    SoapySettings settings_;
    Pending pending_;
    SourceStatus status_;
    std::vector<FrequencyBand> bands_;
};

} // namespace kovo::sdr
