#include "IqPipeline.h"

namespace kovo::sdr {

IqPipeline::IqPipeline(const PipelineSettings& settings)
    : settings_(settings),
      spectrum_(settings.spectrumBins, settings.spectrumHop, settings.spectrumAveraging),
      meter_(1, 0, settings.ifBandwidthHz) {}

void IqPipeline::setChannel(std::uint64_t channelHz) {
    settings_.channelHz = channelHz;
    centreHz_ = 0; // the next block places the channel anew
}

void IqPipeline::setAfGain(float gain) {
    settings_.afGain = gain;
    if (demodulator_)
        demodulator_->setAfGain(gain);
}

// Places the channel in the block's span. A new generation forgets what was
// measured before; a new sample rate needs a new demodulator.
void IqPipeline::follow(const IqBlock& block) {
    if (block.generation != generation_) {
        generation_ = block.generation;
        spectrum_.reset();
        if (demodulator_)
            demodulator_->reset();
    }
    if (block.centreHz == centreHz_ && block.sampleRate == sampleRate_ && demodulator_)
        return;
    const double offset = double(settings_.channelHz) - double(block.centreHz);
    if (!demodulator_ || block.sampleRate != sampleRate_) {
        ChannelSettings channel;
        channel.inputRate = block.sampleRate;
        channel.offsetHz = offset;
        channel.mode = settings_.mode;
        channel.ifBandwidthHz = settings_.ifBandwidthHz;
        channel.audioRate = settings_.audioRate;
        demodulator_ = std::make_unique<ChannelDemodulator>(channel);
        demodulator_->setAfGain(settings_.afGain);
    } else {
        demodulator_->setOffset(offset);
    }
    centreHz_ = block.centreHz;
    sampleRate_ = block.sampleRate;
    meter_.setChannel(block.sampleRate, offset, settings_.ifBandwidthHz);
}

bool IqPipeline::process(const IqBlock& block, std::uint64_t currentGeneration) {
    if (block.generation != currentGeneration || block.sampleRate == 0) {
        ++staleBlocks_;
        return false;
    }
    follow(block);
    spectrum_.process(block.samples);
    signal_ = meter_.read(spectrum_);
    // A channel outside the span is never heard: what the demodulator made
    // of it would be another frequency folded in.
    squelchOpen_ = meter_.channelInSpan() &&
                   (settings_.squelchIndex <= 0 || signal_.index >= settings_.squelchIndex);
    demodulator_->setGateOpen(squelchOpen_);
    audio_ = demodulator_->process(block.samples);
    return true;
}

} // namespace kovo::sdr
