#pragma once
#include "ChannelDemodulator.h"
#include "IqBlock.h"
#include "SignalMeter.h"
#include "SpectrumAnalyzer.h"

#include <cstdint>
#include <memory>
#include <span>

namespace kovo::sdr {

struct PipelineSettings {
    std::uint64_t channelHz = 100'000'000; // the channel heard and measured
    DemodMode mode = DemodMode::Nfm;
    double ifBandwidthHz = 12'500;
    double audioRate = 48'000;
    std::size_t spectrumBins = 2048;
    std::size_t spectrumHop = 8192;
    float spectrumAveraging = 0.25f;
    int squelchIndex = 0; // 0: squelch open whatever the signal
    float afGain = 1.0f;
};

// What the consumer of a device's blocks does with each: drop it when it
// belongs to an older tuning, otherwise add it to the span's spectrum,
// measure the channel and demodulate it behind the squelch. The first block
// of a newer tuning starts spectrum and meter afresh, so nothing heard at
// the old frequency counts for the new one.
class IqPipeline {
public:
    explicit IqPipeline(const PipelineSettings& settings);

    // False (and counted) when `block` is not of `currentGeneration`.
    bool process(const IqBlock& block, std::uint64_t currentGeneration);

    void setChannel(std::uint64_t channelHz);
    void setSquelchIndex(int index) { settings_.squelchIndex = index; }
    void setAfGain(float gain);

    // The sound of the last block processed.
    std::span<const float> audio() const { return audio_; }
    SignalReading signal() const { return signal_; }
    bool squelchOpen() const { return squelchOpen_; }
    const SpectrumAnalyzer& spectrum() const { return spectrum_; }
    std::uint64_t staleBlocks() const { return staleBlocks_; }

private:
    void follow(const IqBlock& block);

    PipelineSettings settings_;
    SpectrumAnalyzer spectrum_;
    SignalMeter meter_;
    std::unique_ptr<ChannelDemodulator> demodulator_;
    std::uint64_t generation_ = 0;
    std::uint64_t centreHz_ = 0;
    std::uint32_t sampleRate_ = 0;
    SignalReading signal_;
    bool squelchOpen_ = false;
    std::span<const float> audio_;
    std::uint64_t staleBlocks_ = 0;
};

} // namespace kovo::sdr
