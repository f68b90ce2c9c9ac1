#pragma once
#include "SpectrumAnalyzer.h"

namespace kovo::sdr {

struct SignalReading {
    float excessDb = 0; // channel power over the noise floor in the same bandwidth
    int index = 0;      // 0 (nothing above the floor) to 15
};

// The signal meter of one channel: the power of the spectrum's bins across
// the channel's bandwidth over what the span's noise floor puts in as many
// bins, mapped to the 0-15 index the rest of the program uses. A channel
// outside the span reads 0.
class SignalMeter {
public:
    static constexpr int kHighestIndex = 15;
    // The first step is this far over the floor, then one step per kDbPerStep.
    static constexpr float kFirstStepDb = 4.0f;
    static constexpr float kDbPerStep = 4.0f;

    SignalMeter(double sampleRate, double offsetHz, double bandwidthHz);

    void setChannel(double sampleRate, double offsetHz, double bandwidthHz);
    SignalReading read(const SpectrumAnalyzer& spectrum) const;
    bool channelInSpan() const;

    static int indexFor(float excessDb);

private:
    double sampleRate_;
    double offsetHz_;
    double bandwidthHz_;
};

} // namespace kovo::sdr
