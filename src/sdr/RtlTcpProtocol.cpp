#include "RtlTcpProtocol.h"

#include <algorithm>
#include <cstring>

namespace kovo::sdr {

namespace {

constexpr std::uint8_t kMagic[4] = {'R', 'T', 'L', '0'};

struct TunerRow {
    RtlTuner tuner;
    std::string_view name;
    std::array<FrequencyBand, 2> bands;
    std::size_t bandCount;
};

constexpr std::uint64_t MHz(double mhz) {
    return std::uint64_t(mhz * 1'000'000.0 + 0.5);
}

// The published tuning ranges of the tuner chips found in RTL2832U dongles.
// The E4000 has a gap around 1.1-1.25 GHz, the FC2580 one between its VHF
// and UHF bands.
constexpr TunerRow kTuners[] = {
    {RtlTuner::Unknown, "unknown", {}, 0},
    {RtlTuner::E4000, "E4000", {{{MHz(52), MHz(1100)}, {MHz(1250), MHz(2200)}}}, 2},
    {RtlTuner::FC0012, "FC0012", {{{MHz(22), MHz(948.6)}}}, 1},
    {RtlTuner::FC0013, "FC0013", {{{MHz(22), MHz(1100)}}}, 1},
    {RtlTuner::FC2580, "FC2580", {{{MHz(146), MHz(308)}, {MHz(438), MHz(924)}}}, 2},
    {RtlTuner::R820T, "R820T", {{{MHz(24), MHz(1766)}}}, 1},
    {RtlTuner::R828D, "R828D", {{{MHz(24), MHz(1766)}}}, 1},
};

const TunerRow& rowOf(RtlTuner tuner) {
    for (const TunerRow& row : kTuners)
        if (row.tuner == tuner)
            return row;
    return kTuners[0];
}

std::uint32_t readBigEndian(const std::uint8_t* p) {
    return std::uint32_t(p[0]) << 24 | std::uint32_t(p[1]) << 16 | std::uint32_t(p[2]) << 8 |
           std::uint32_t(p[3]);
}

void writeBigEndian(std::uint32_t value, std::uint8_t* p) {
    p[0] = std::uint8_t(value >> 24);
    p[1] = std::uint8_t(value >> 16);
    p[2] = std::uint8_t(value >> 8);
    p[3] = std::uint8_t(value);
}

// Byte value to sample value: a table, since every byte of the stream goes
// through it.
const std::array<float, 256>& sampleTable() {
    static const std::array<float, 256> table = [] {
        std::array<float, 256> t{};
        for (std::size_t i = 0; i < t.size(); ++i)
            t[i] = (float(i) - 127.5f) / 127.5f;
        return t;
    }();
    return table;
}

} // namespace

RtlTuner RtlTcpGreeting::tuner() const {
    return rowOf(RtlTuner(tunerCode)).tuner;
}

std::optional<RtlTcpGreeting> parseRtlTcpGreeting(std::span<const std::uint8_t> bytes) {
    if (bytes.size() < kRtlTcpGreetingSize || std::memcmp(bytes.data(), kMagic, 4) != 0)
        return std::nullopt;
    return RtlTcpGreeting{readBigEndian(bytes.data() + 4), readBigEndian(bytes.data() + 8)};
}

std::array<std::uint8_t, kRtlTcpGreetingSize> encodeRtlTcpGreeting(const RtlTcpGreeting& greeting) {
    std::array<std::uint8_t, kRtlTcpGreetingSize> bytes{};
    std::memcpy(bytes.data(), kMagic, 4);
    writeBigEndian(greeting.tunerCode, bytes.data() + 4);
    writeBigEndian(greeting.gainCount, bytes.data() + 8);
    return bytes;
}

RtlTcpCommandBytes encodeRtlTcpCommand(RtlTcpCommand command, std::uint32_t value) {
    RtlTcpCommandBytes bytes{};
    bytes[0] = std::uint8_t(command);
    writeBigEndian(value, bytes.data() + 1);
    return bytes;
}

RtlTcpCommandBytes encodeRtlTcpCommand(RtlTcpCommand command, std::int32_t value) {
    return encodeRtlTcpCommand(command, static_cast<std::uint32_t>(value));
}

RtlTcpCommandValue decodeRtlTcpCommand(std::span<const std::uint8_t, kRtlTcpCommandSize> bytes) {
    return {bytes[0], readBigEndian(bytes.data() + 1)};
}

std::span<const FrequencyBand> tunerBands(RtlTuner tuner) {
    const TunerRow& row = rowOf(tuner);
    return {row.bands.data(), row.bandCount};
}

bool tunerCovers(RtlTuner tuner, std::uint64_t hz) {
    const auto bands = tunerBands(tuner);
    return std::any_of(bands.begin(), bands.end(),
                       [hz](const FrequencyBand& b) { return hz >= b.lowHz && hz <= b.highHz; });
}

std::string_view tunerName(RtlTuner tuner) {
    return rowOf(tuner).name;
}

void convertRtlSamples(std::span<const std::uint8_t> interleaved, std::complex<float>* out) {
    const auto& table = sampleTable();
    const std::size_t pairs = interleaved.size() / 2;
    for (std::size_t i = 0; i < pairs; ++i)
        out[i] = {table[interleaved[2 * i]], table[interleaved[2 * i + 1]]};
}

std::size_t RtlTcpStreamDecoder::feed(std::span<const std::uint8_t> bytes,
                                      std::complex<float>* out) {
    if (state_ == State::AwaitingGreeting) {
        const std::size_t take = std::min(bytes.size(), kRtlTcpGreetingSize - greetingHave_);
        std::copy_n(bytes.begin(), take, greetingBytes_.begin() + std::ptrdiff_t(greetingHave_));
        greetingHave_ += take;
        bytes = bytes.subspan(take);
        if (greetingHave_ < kRtlTcpGreetingSize)
            return 0;
        greeting_ = parseRtlTcpGreeting(greetingBytes_);
        state_ = greeting_ ? State::Streaming : State::Refused;
    }
    if (state_ != State::Streaming || bytes.empty())
        return 0;
    std::size_t written = 0;
    if (pendingI_) {
        const auto& table = sampleTable();
        out[written++] = {table[*pendingI_], table[bytes[0]]};
        pendingI_.reset();
        bytes = bytes.subspan(1);
    }
    convertRtlSamples(bytes, out + written);
    written += bytes.size() / 2;
    if (bytes.size() % 2 != 0)
        pendingI_ = bytes.back();
    return written;
}

void RtlTcpStreamDecoder::reset() {
    *this = RtlTcpStreamDecoder{};
}

std::size_t RtlTcpStreamDecoder::heldBytes() const {
    if (state_ == State::AwaitingGreeting)
        return greetingHave_;
    return pendingI_ ? 1 : 0;
}

} // namespace kovo::sdr
