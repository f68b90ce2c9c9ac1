#pragma once
#include "SignalPlan.h"

#include <complex>
#include <cstdint>
#include <memory>
#include <random>
#include <span>
#include <vector>

namespace kovo::sim {

// I/Q samples of a span as an SDR would receive them from the signal plan:
// white noise, and every planned signal within the span as a carrier at its
// offset from the centre. FM signals (NFM, WFM) carry a 1 kHz tone, AM ones
// a 1 kHz tone at 50 %; a USB signal is a carrier 1 kHz above its frequency
// (LSB below, CW on it), which a receiver in that mode hears as a 1 kHz
// tone. A signal's level (0-25) sets its strength over the noise.
class IqSignalGenerator {
public:
    static constexpr float kNoiseRms = 0.01f;
    static constexpr double kToneHz = 1000;

    explicit IqSignalGenerator(SignalPlan plan, std::uint32_t seed = 1);
    ~IqSignalGenerator();

    // Places the span; rebuilds the carriers that fall in it.
    void tune(std::uint64_t centreHz, std::uint32_t sampleRate);
    void setPlan(SignalPlan plan);
    // Fills `out` with the next samples; `ms` is the plan's time at the
    // first of them (signals go on and off the air by it).
    void generate(std::span<std::complex<float>> out, std::int64_t ms);

    // Peak amplitude of a carrier of a plan level.
    static float carrierAmplitude(int level);
    // As an RTL dongle delivers them: unsigned 8-bit I then Q, 127.5 as zero.
    static void toInterleavedU8(std::span<const std::complex<float>> samples, std::uint8_t* out);

    std::size_t carriersInSpan() const { return carriers_.size(); }
    std::uint64_t centreHz() const { return centreHz_; }
    std::uint32_t sampleRate() const { return sampleRate_; }

private:
    struct Carrier;
    void addNoise(std::span<std::complex<float>> out);

    SignalPlan plan_;
    std::uint64_t centreHz_ = 0;
    std::uint32_t sampleRate_ = 0;
    std::vector<std::unique_ptr<Carrier>> carriers_;
    std::vector<std::complex<float>> noise_;
    std::mt19937 random_;
    std::vector<float> message_;
    std::vector<std::complex<float>> carrierSamples_;
};

} // namespace kovo::sim
