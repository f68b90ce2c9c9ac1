#include "IqSignalGenerator.h"

#include "sdr/Liquid.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace kovo::sim {

namespace {

using namespace kovo::sdr;

constexpr std::size_t kNoiseSamples = 1 << 17;
constexpr float kAmModulation = 0.5f;

enum class Kind { Fm, Am, Tone };

// Plan mode rows: NFM WFM AM LSB USB CW SAM SAL SAH.
struct ModeRow {
    Kind kind;
    double deviationHz; // FM only
    double carrierShiftHz;
};
constexpr ModeRow kModeRows[] = {
    {Kind::Fm, 2'500, 0},
    {Kind::Fm, 75'000, 0},
    {Kind::Am, 0, 0},
    {Kind::Tone, 0, -IqSignalGenerator::kToneHz},
    {Kind::Tone, 0, IqSignalGenerator::kToneHz},
    {Kind::Tone, 0, 0},
    {Kind::Am, 0, 0},
    {Kind::Am, 0, 0},
    {Kind::Am, 0, 0},
};

double radiansPerSample(double hz, double rate) {
    return 2.0 * std::numbers::pi * hz / rate;
}

} // namespace

struct IqSignalGenerator::Carrier {
    PlannedSignal signal;
    Kind kind = Kind::Tone;
    float amplitude = 0;
    NcoPtr shift;
    NcoPtr tone;
    FreqModPtr fm;
    AmpModemPtr am;
};

IqSignalGenerator::IqSignalGenerator(SignalPlan plan, std::uint32_t seed)
    : plan_(std::move(plan)), noise_(kNoiseSamples), random_(seed) {
    std::normal_distribution<float> gaussian(0.0f, kNoiseRms / std::numbers::sqrt2_v<float>);
    for (auto& n : noise_)
        n = {gaussian(random_), gaussian(random_)};
}

IqSignalGenerator::~IqSignalGenerator() = default;

float IqSignalGenerator::carrierAmplitude(int level) {
    // 1.5 dB a level, from 8 dB under the span's whole noise power: level 0
    // stands some 15 dB over the noise in a 12.5 kHz channel at 2.4 MS/s.
    return kNoiseRms * std::pow(10.0f, (1.5f * float(level) - 8.0f) / 20.0f);
}

void IqSignalGenerator::setPlan(SignalPlan plan) {
    plan_ = std::move(plan);
    tune(centreHz_, sampleRate_);
}

void IqSignalGenerator::tune(std::uint64_t centreHz, std::uint32_t sampleRate) {
    centreHz_ = centreHz;
    sampleRate_ = sampleRate;
    carriers_.clear();
    if (sampleRate == 0)
        return;
    const double rate = sampleRate;
    for (const PlannedSignal& s : plan_.signals()) {
        const ModeRow& row = kModeRows[std::clamp(s.mode, 0, int(std::size(kModeRows)) - 1)];
        const double offset = double(s.frequencyHz) - double(centreHz) + row.carrierShiftHz;
        if (std::abs(offset) >= rate * 0.45)
            continue;
        auto c = std::make_unique<Carrier>();
        c->signal = s;
        c->kind = row.kind;
        c->amplitude = carrierAmplitude(s.level);
        c->shift = makeLiquid<nco_crcf, nco_crcf_destroy>(nco_crcf_create(LIQUID_NCO), "an NCO");
        nco_crcf_set_frequency(c->shift.get(), float(radiansPerSample(offset, rate)));
        c->tone = makeLiquid<nco_crcf, nco_crcf_destroy>(nco_crcf_create(LIQUID_NCO), "an NCO");
        nco_crcf_set_frequency(c->tone.get(), float(radiansPerSample(kToneHz, rate)));
        if (row.kind == Kind::Fm)
            c->fm = makeLiquid<freqmod, freqmod_destroy>(
                freqmod_create(float(row.deviationHz / rate)), "an FM modulator");
        if (row.kind == Kind::Am)
            c->am = makeLiquid<ampmodem, ampmodem_destroy>(
                ampmodem_create(kAmModulation, LIQUID_AMPMODEM_DSB, 0), "an AM modulator");
        carriers_.push_back(std::move(c));
    }
}

void IqSignalGenerator::addNoise(std::span<std::complex<float>> out) {
    // A random starting point in a long table keeps the noise from repeating
    // in any way a spectrum or a demodulator could see.
    std::size_t from = std::uniform_int_distribution<std::size_t>(0, kNoiseSamples - 1)(random_);
    for (std::size_t done = 0; done < out.size();) {
        const std::size_t take = std::min(out.size() - done, kNoiseSamples - from);
        std::copy_n(noise_.begin() + std::ptrdiff_t(from), take,
                    out.begin() + std::ptrdiff_t(done));
        done += take;
        from = 0;
    }
}

void IqSignalGenerator::generate(std::span<std::complex<float>> out, std::int64_t ms) {
    addNoise(out);
    const unsigned n = unsigned(out.size());
    message_.resize(n);
    carrierSamples_.resize(n);
    for (const auto& c : carriers_) {
        if (!c->signal.onAirAt(ms))
            continue;
        for (float& m : message_) {
            m = nco_crcf_sin(c->tone.get());
            nco_crcf_step(c->tone.get());
        }
        if (c->kind == Kind::Fm)
            freqmod_modulate_block(c->fm.get(), message_.data(), n, carrierSamples_.data());
        else if (c->kind == Kind::Am)
            ampmodem_modulate_block(c->am.get(), message_.data(), n, carrierSamples_.data());
        else
            std::fill(carrierSamples_.begin(), carrierSamples_.end(), std::complex<float>(1, 0));
        nco_crcf_mix_block_up(c->shift.get(), carrierSamples_.data(), carrierSamples_.data(), n);
        for (unsigned i = 0; i < n; ++i)
            out[i] += c->amplitude * carrierSamples_[i];
    }
}

void IqSignalGenerator::toInterleavedU8(std::span<const std::complex<float>> samples,
                                        std::uint8_t* out) {
    const auto quantise = [](float v) {
        return std::uint8_t(std::clamp(std::lround(v * 127.5f + 127.5f), 0L, 255L));
    };
    for (const auto& s : samples) {
        *out++ = quantise(s.real());
        *out++ = quantise(s.imag());
    }
}

} // namespace kovo::sim
