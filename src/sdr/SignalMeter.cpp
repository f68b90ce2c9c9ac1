#include "SignalMeter.h"

#include <algorithm>
#include <cmath>

namespace kovo::sdr {

SignalMeter::SignalMeter(double sampleRate, double offsetHz, double bandwidthHz) {
    setChannel(sampleRate, offsetHz, bandwidthHz);
}

void SignalMeter::setChannel(double sampleRate, double offsetHz, double bandwidthHz) {
    sampleRate_ = sampleRate;
    offsetHz_ = offsetHz;
    bandwidthHz_ = bandwidthHz;
}

bool SignalMeter::channelInSpan() const {
    return std::abs(offsetHz_) + bandwidthHz_ / 2 <= sampleRate_ / 2;
}

int SignalMeter::indexFor(float excessDb) {
    if (!(excessDb >= kFirstStepDb))
        return 0;
    return std::min(kHighestIndex, 1 + int((excessDb - kFirstStepDb) / kDbPerStep));
}

SignalReading SignalMeter::read(const SpectrumAnalyzer& spectrum) const {
    // A channel that reaches past the span is not received at all; the
    // spectrum's edge bins are not its power.
    if (spectrum.frames() == 0 || !channelInSpan())
        return {};
    const std::size_t first = spectrum.binAt(offsetHz_ - bandwidthHz_ / 2, sampleRate_);
    const std::size_t last = spectrum.binAt(offsetHz_ + bandwidthHz_ / 2, sampleRate_);
    const auto power = spectrum.power();
    double channel = 0;
    for (std::size_t k = first; k <= last; ++k)
        channel += power[k];
    const double floor = double(spectrum.noiseFloor()) * double(last - first + 1);
    if (!(floor > 0) || !(channel > 0))
        return {};
    const float excess = float(10.0 * std::log10(channel / floor));
    return {excess, indexFor(excess)};
}

} // namespace kovo::sdr
