#pragma once
#include "IqBlockQueue.h"
#include "RtlTcpProtocol.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kovo::sdr {

enum class SourceState { Stopped, Connecting, Streaming, Disconnected };

struct SourceStatus {
    SourceState state = SourceState::Stopped;
    std::string lastError;                  // why the last connection failed or ended
    std::optional<RtlTcpGreeting> greeting; // rtl_tcp servers only
    std::uint64_t connects = 0;             // sessions that began to stream
    std::uint64_t disconnects = 0;          // sessions that ended without a stop
    std::uint64_t overruns = 0; // blocks or device buffers lost because the reader fell behind
    std::uint64_t staleSamples = 0;
    std::uint64_t bytesRead = 0;
};

// A device whose I/Q samples are read on a thread of its own into a bounded
// queue of blocks. Settings may be changed from any thread and never wait on
// the device: each retune raises the generation, and blocks carry the
// generation they were taken at, so the consumer can drop what was already
// on its way at the old tuning. A device that cannot be reached is reported
// in the status and tried again until stop().
class IqSource {
public:
    virtual ~IqSource() = default;

    virtual void start() = 0;
    // Stops the reading thread and closes the device. Safe to call twice.
    virtual void stop() = 0;

    virtual void tune(std::uint64_t centreHz) = 0;
    virtual void setSampleRate(std::uint32_t sampleRate) = 0;
    // Nothing: the device's automatic gain.
    virtual void setGainDb(std::optional<double> gainDb) = 0;
    virtual void setPpm(int ppm) = 0;

    // The newest tuning asked for; blocks of older generations are stale.
    virtual std::uint64_t generation() const = 0;
    virtual IqBlockQueue& blocks() = 0;
    virtual SourceStatus status() const = 0;
    // The frequencies the device can tune, lowest first; empty until the
    // device has told them.
    virtual std::vector<FrequencyBand> frequencyBands() const = 0;
};

// Reads a gain as the settings hold it: "auto" (automatic gain, stored as
// nothing) or decibels ("38.6"). False, leaving *gainDb alone, for anything
// else.
bool parseGainText(std::string_view text, std::optional<double>* gainDb);

} // namespace kovo::sdr
