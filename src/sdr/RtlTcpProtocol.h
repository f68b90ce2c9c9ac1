#pragma once
#include <array>
#include <complex>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace kovo::sdr {

// The tuner chip a dongle reports in its greeting, by the code it sends.
enum class RtlTuner : std::uint32_t {
    Unknown = 0,
    E4000 = 1,
    FC0012 = 2,
    FC0013 = 3,
    FC2580 = 4,
    R820T = 5,
    R828D = 6,
};

// What an rtl_tcp server says first: "RTL0", the tuner code and the number
// of gain steps the tuner has, both big-endian.
struct RtlTcpGreeting {
    std::uint32_t tunerCode = 0;
    std::uint32_t gainCount = 0;

    RtlTuner tuner() const;
};

inline constexpr std::size_t kRtlTcpGreetingSize = 12;
inline constexpr std::size_t kRtlTcpCommandSize = 5;

// The commands a client sends: one id byte, then a big-endian 32-bit value.
enum class RtlTcpCommand : std::uint8_t {
    Frequency = 0x01,  // centre frequency in Hz
    SampleRate = 0x02, // samples per second
    GainMode = 0x03,   // 0: automatic gain, 1: manual gain
    Gain = 0x04,       // tuner gain in tenths of a dB
    Ppm = 0x05,        // frequency correction in parts per million (signed)
    Agc = 0x08,        // the demodulator chip's AGC: 0 off, 1 on
};

using RtlTcpCommandBytes = std::array<std::uint8_t, kRtlTcpCommandSize>;

// Reads a greeting; nothing when the bytes are short or do not start with "RTL0".
std::optional<RtlTcpGreeting> parseRtlTcpGreeting(std::span<const std::uint8_t> bytes);
std::array<std::uint8_t, kRtlTcpGreetingSize> encodeRtlTcpGreeting(const RtlTcpGreeting& greeting);

// Signed values (gain, ppm) travel as their two's complement.
RtlTcpCommandBytes encodeRtlTcpCommand(RtlTcpCommand command, std::uint32_t value);
RtlTcpCommandBytes encodeRtlTcpCommand(RtlTcpCommand command, std::int32_t value);

struct RtlTcpCommandValue {
    std::uint8_t id = 0;
    std::uint32_t value = 0;
};
RtlTcpCommandValue decodeRtlTcpCommand(std::span<const std::uint8_t, kRtlTcpCommandSize> bytes);

// A stretch of frequencies a tuner covers, both ends included.
struct FrequencyBand {
    std::uint64_t lowHz = 0;
    std::uint64_t highHz = 0;
};

// The bands a tuner covers, lowest first; empty for a tuner of unknown type.
std::span<const FrequencyBand> tunerBands(RtlTuner tuner);
bool tunerCovers(RtlTuner tuner, std::uint64_t hz);
std::string_view tunerName(RtlTuner tuner);

// Interleaved unsigned 8-bit I/Q (127.5 is zero) to complex samples in
// -1..1. `out` takes interleaved.size() / 2 samples; an odd last byte is left.
void convertRtlSamples(std::span<const std::uint8_t> interleaved, std::complex<float>* out);

// What an rtl_tcp server sends, taken in pieces as the socket gives them:
// the greeting, then I/Q byte pairs that may be split across pieces. A
// server whose greeting is not rtl_tcp's is refused and nothing it sends
// after that is taken as samples.
class RtlTcpStreamDecoder {
public:
    enum class State { AwaitingGreeting, Streaming, Refused };

    // Room `feed` needs in `out` for `byteCount` bytes.
    static constexpr std::size_t maxSamplesFor(std::size_t byteCount) { return byteCount / 2 + 1; }

    // Decodes `bytes`; returns the number of samples written to `out`.
    std::size_t feed(std::span<const std::uint8_t> bytes, std::complex<float>* out);
    void reset();

    State state() const { return state_; }
    const std::optional<RtlTcpGreeting>& greeting() const { return greeting_; }
    // Bytes taken but not yet a sample: half a pair, or part of the greeting.
    std::size_t heldBytes() const;

private:
    State state_ = State::AwaitingGreeting;
    std::array<std::uint8_t, kRtlTcpGreetingSize> greetingBytes_{};
    std::size_t greetingHave_ = 0;
    std::optional<RtlTcpGreeting> greeting_;
    std::optional<std::uint8_t> pendingI_;
};

} // namespace kovo::sdr
