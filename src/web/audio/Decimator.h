#pragma once
#include <span>
#include <vector>

namespace kovo::web {

// Takes 48 kHz samples down to 12 kHz: a low-pass filter (windowed sinc)
// first, so that nothing above the new rate's half folds back into the
// speech band, then every fourth sample. Radio audio is narrow; the filter
// passes up to about 3.8 kHz and stops from about 6 kHz.
class Decimator {
public:
    static constexpr int kFactor = 4;
    static constexpr int kTaps = 129;

    Decimator();
    // Filters `input` and appends the samples it completes to `output`.
    void push(std::span<const float> input, std::vector<float>& output);
    void reset();

private:
    std::vector<float> taps_;
    // The last kTaps inputs, stored twice over so a window is always one
    // contiguous run.
    std::vector<float> history_;
    int at_ = 0;
    int phase_ = 0;
};

} // namespace kovo::web
