#pragma once
#include "LoopbackServer.h"
#include "SignalPlan.h"

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>

namespace kovo::sim {

// What the rtl_tcp face was told by its client.
struct RtlTcpTuning {
    std::uint32_t centreHz = 100'000'000;
    std::uint32_t sampleRate = 2'048'000;
    std::uint32_t gainMode = 0; // 0 automatic, 1 manual
    std::int32_t gainTenthsDb = 0;
    std::int32_t ppm = 0;
    std::uint32_t agc = 0;
    long commands = 0; // commands taken, of any kind
    long unknownCommands = 0;
    long clients = 0; // connections served
};

// The simulated receiver as an SDR dongle behind rtl_tcp: on 127.0.0.1:PORT
// it greets each client with "RTL0" and an R820T tuner, then streams
// unsigned 8-bit I/Q at the sample rate asked for, made from the signal plan
// around the centre asked for, and obeys the 5-byte commands. One client at
// a time, as rtl_tcp; the stream is paced by the clock, and a client that
// does not keep up loses samples (counted in `droppedSamples`).
class RtlTcpFace {
public:
    static constexpr std::uint32_t kGainCount = 29;

    explicit RtlTcpFace(SignalPlan plan);
    ~RtlTcpFace();
    RtlTcpFace(const RtlTcpFace&) = delete;
    RtlTcpFace& operator=(const RtlTcpFace&) = delete;

    // Listens on 127.0.0.1:`port` (0: any free port). False with a reason in
    // *error if it cannot.
    bool start(int port, std::string* error);
    int port() const { return server_.port(); }
    // Drops the client and stops listening, as a server that goes away.
    // Safe to call twice.
    void stop();

    RtlTcpTuning tuning() const;
    std::uint64_t droppedSamples() const { return droppedSamples_.load(); }

private:
    class Stream;
    void serve();

    SignalPlan plan_;
    LoopbackServer server_;
    mutable std::mutex mutex_;
    RtlTcpTuning tuning_;
    std::atomic<std::uint64_t> droppedSamples_{0};
};

} // namespace kovo::sim
