#include "Decimator.h"

#include <cmath>
#include <numbers>

namespace kovo::web {

namespace {
constexpr double kInputRate = 48000;
constexpr double kCutoffHz = 5000;
} // namespace

Decimator::Decimator() : taps_(kTaps), history_(2 * kTaps, 0.0f) {
    const double fc = kCutoffHz / kInputRate;
    const int middle = kTaps / 2;
    double sum = 0;
    std::vector<double> h(kTaps);
    for (int i = 0; i < kTaps; ++i) {
        const int n = i - middle;
        const double sinc =
            n == 0 ? 2 * fc : std::sin(2 * std::numbers::pi * fc * n) / (std::numbers::pi * n);
        const double x = 2 * std::numbers::pi * i / (kTaps - 1);
        const double blackman = 0.42 - 0.5 * std::cos(x) + 0.08 * std::cos(2 * x);
        h[std::size_t(i)] = sinc * blackman;
        sum += h[std::size_t(i)];
    }
    // Unity gain for a steady level.
    for (int i = 0; i < kTaps; ++i)
        taps_[std::size_t(i)] = float(h[std::size_t(i)] / sum);
}

void Decimator::reset() {
    std::fill(history_.begin(), history_.end(), 0.0f);
    at_ = 0;
    phase_ = 0;
}

void Decimator::push(std::span<const float> input, std::vector<float>& output) {
    for (float sample : input) {
        history_[std::size_t(at_)] = sample;
        history_[std::size_t(at_ + kTaps)] = sample;
        at_ = (at_ + 1) % kTaps;
        if (++phase_ < kFactor)
            continue;
        phase_ = 0;
        // history_[at_ .. at_+kTaps) holds the inputs oldest first; the
        // filter is symmetric, so the order of the taps does not matter.
        const float* window = history_.data() + at_;
        float y = 0;
        for (int i = 0; i < kTaps; ++i)
            y += taps_[std::size_t(i)] * window[i];
        output.push_back(y);
    }
}

} // namespace kovo::web
