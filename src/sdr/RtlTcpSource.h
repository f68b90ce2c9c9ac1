#pragma once
#include "IqSource.h"

#include <atomic>
#include <cstdint>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

namespace kovo::sdr {

struct RtlTcpSettings {
    std::string host = "127.0.0.1";
    std::uint16_t port = 1234;
    std::uint32_t centreHz = 100'000'000;
    std::uint32_t sampleRate = 2'400'000;
    std::optional<int> gainTenthsDb; // nothing: the tuner's automatic gain
    int ppm = 0;
    bool agc = false;
    std::size_t blockSamples = 16384;
    std::size_t queueBlocks = 64;
    // Time the tuner takes to settle after a retune; samples of this span
    // after the command went out are not counted for the new frequency.
    int settleMs = 20;
    int connectTimeoutMs = 2000;
    int reconnectMs = 1000;
    // A server that sends nothing for this long is taken as gone.
    int stallMs = 3000;
};

// An rtl_tcp server's samples, read on a thread of its own into a bounded
// queue. Settings may be changed from any thread: each retune (frequency or
// sample rate) raises the generation, and blocks carry the generation they
// were taken at. A server that goes away, refuses or falls silent is
// reported in the status, and the source connects again after
// `reconnectMs`, sending its settings anew.
class RtlTcpSource : public IqSource {
public:
    explicit RtlTcpSource(RtlTcpSettings settings);
    ~RtlTcpSource() override;
    RtlTcpSource(const RtlTcpSource&) = delete;
    RtlTcpSource& operator=(const RtlTcpSource&) = delete;

    void start() override;
    void stop() override;

    // Frequencies beyond the protocol's 32 bits are clamped to its top.
    void tune(std::uint64_t centreHz) override;
    void setSampleRate(std::uint32_t sampleRate) override;
    void setGain(std::optional<int> tenthsDb);
    void setGainDb(std::optional<double> gainDb) override;
    void setPpm(int ppm) override;
    void setAgc(bool on);

    std::uint64_t generation() const override { return generation_.load(); }
    IqBlockQueue& blocks() override { return queue_; }
    SourceStatus status() const override;
    // The bands of the tuner the server named in its greeting.
    std::vector<FrequencyBand> frequencyBands() const override;

private:
    class Session;

    void run();
    void queueCommand(RtlTcpCommand command, std::uint32_t value);
    void queueSettings();
    void queueGain();
    template <typename Change> void changeSettings(Change&& change);
    bool waitBeforeRetry();
    void wake();
    void setState(SourceState state, const std::string& error = {});

    RtlTcpSettings settings_;
    IqBlockQueue queue_;
    std::atomic<std::uint64_t> generation_{1};
    std::atomic<bool> stopping_{false};
    int wakeFds_[2] = {-1, -1};
    std::thread thread_;

    mutable std::mutex mutex_;
    std::map<std::uint8_t, std::uint32_t> pending_; // latest value per command
    bool retunePending_ = false;
    SourceStatus status_;
};

} // namespace kovo::sdr
