#include "SpectrumAnalyzer.h"

#include "Liquid.h"

#include <algorithm>
#include <cmath>
#include <fftw3.h>
#include <mutex>
#include <volk/volk.h>

namespace kovo::sdr {

namespace {

// FFTW's planner is not thread-safe; transforms themselves are.
std::mutex& plannerMutex() {
    static std::mutex mutex;
    return mutex;
}

} // namespace

SpectrumAnalyzer::SpectrumAnalyzer(std::size_t bins, std::size_t hop, float averaging)
    : bins_(std::max<std::size_t>(bins, 16)), hop_(std::max(hop, bins_)),
      averaging_(std::clamp(averaging, 0.001f, 1.0f)), window_(bins_), framePower_(bins_),
      average_(bins_), scratch_(bins_) {
    float sumSquares = 0;
    for (std::size_t i = 0; i < bins_; ++i) {
        window_[i] = liquid_blackmanharris(unsigned(i), unsigned(bins_));
        sumSquares += window_[i] * window_[i];
    }
    scale_ = 1.0f / sumSquares;
    std::lock_guard lock(plannerMutex());
    in_ = reinterpret_cast<std::complex<float>*>(fftwf_alloc_complex(bins_));
    out_ = reinterpret_cast<std::complex<float>*>(fftwf_alloc_complex(bins_));
    plan_ = fftwf_plan_dft_1d(int(bins_), reinterpret_cast<fftwf_complex*>(in_),
                              reinterpret_cast<fftwf_complex*>(out_), FFTW_FORWARD, FFTW_ESTIMATE);
}

SpectrumAnalyzer::~SpectrumAnalyzer() {
    std::lock_guard lock(plannerMutex());
    fftwf_destroy_plan(static_cast<fftwf_plan>(plan_));
    fftwf_free(in_);
    fftwf_free(out_);
}

void SpectrumAnalyzer::reset() {
    filled_ = 0;
    skip_ = 0;
    frames_ = 0;
    std::fill(average_.begin(), average_.end(), 0.0f);
}

void SpectrumAnalyzer::process(std::span<const std::complex<float>> samples) {
    while (!samples.empty()) {
        if (skip_ > 0) {
            const std::size_t skipped = std::min(skip_, samples.size());
            skip_ -= skipped;
            samples = samples.subspan(skipped);
            continue;
        }
        const std::size_t take = std::min(bins_ - filled_, samples.size());
        std::copy_n(samples.begin(), take, in_ + filled_);
        filled_ += take;
        samples = samples.subspan(take);
        if (filled_ == bins_) {
            transformFrame();
            filled_ = 0;
            skip_ = hop_ - bins_;
        }
    }
}

void SpectrumAnalyzer::transformFrame() {
    volk_32fc_32f_multiply_32fc(in_, in_, window_.data(), unsigned(bins_));
    fftwf_execute(static_cast<fftwf_plan>(plan_));
    volk_32fc_magnitude_squared_32f(framePower_.data(), out_, unsigned(bins_));
    const float weight = frames_ == 0 ? 1.0f : averaging_;
    const std::size_t half = bins_ / 2;
    for (std::size_t k = 0; k < bins_; ++k) {
        // FFTW puts zero frequency first; the spectrum starts at the lowest.
        float& bin = average_[(k + half) % bins_];
        bin += weight * (framePower_[k] * scale_ - bin);
    }
    ++frames_;
}

void SpectrumAnalyzer::powerDb(std::span<float> out) const {
    const std::size_t n = std::min(out.size(), bins_);
    for (std::size_t i = 0; i < n; ++i)
        out[i] = 10.0f * std::log10(std::max(average_[i], 1e-20f));
}

float SpectrumAnalyzer::noiseFloor() const {
    std::copy(average_.begin(), average_.end(), scratch_.begin());
    const auto middle = scratch_.begin() + std::ptrdiff_t(bins_ / 2);
    std::nth_element(scratch_.begin(), middle, scratch_.end());
    return *middle;
}

std::size_t SpectrumAnalyzer::binAt(double offsetHz, double sampleRate) const {
    const double bin = std::round(offsetHz / sampleRate * double(bins_)) + double(bins_ / 2);
    return std::size_t(std::clamp(bin, 0.0, double(bins_ - 1)));
}

} // namespace kovo::sdr
