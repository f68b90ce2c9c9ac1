#pragma once
#include <complex>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace kovo::sdr {

// The averaged power spectrum of the span for the band scope and the signal
// meter. Every `hop` samples one frame of `bins` samples is windowed
// (Blackman-Harris), transformed by FFTW and averaged into the spectrum
// (exponentially, `averaging` being the weight of the newest frame), so the
// cost follows the frame rate and not the sample rate. Bin powers are
// scaled so that white noise reads its power per sample in every bin.
class SpectrumAnalyzer {
public:
    SpectrumAnalyzer(std::size_t bins, std::size_t hop, float averaging);
    ~SpectrumAnalyzer();
    SpectrumAnalyzer(const SpectrumAnalyzer&) = delete;
    SpectrumAnalyzer& operator=(const SpectrumAnalyzer&) = delete;

    void process(std::span<const std::complex<float>> samples);
    // Forgets every frame, as after a retune.
    void reset();

    // Averaged power per bin, lowest frequency first (centre at bins/2).
    std::span<const float> power() const { return average_; }
    // The same in dB, into `out` (bins() values).
    void powerDb(std::span<float> out) const;
    // The median bin: the span's noise floor, since carriers fill few bins.
    float noiseFloor() const;
    // The bin nearest `offsetHz` from the centre, clamped to the span.
    std::size_t binAt(double offsetHz, double sampleRate) const;

    std::size_t bins() const { return bins_; }
    std::uint64_t frames() const { return frames_; }

private:
    void transformFrame();

    const std::size_t bins_;
    const std::size_t hop_;
    const float averaging_;
    std::vector<float> window_;
    float scale_;
    std::complex<float>* in_;
    std::complex<float>* out_;
    void* plan_;
    std::size_t filled_ = 0;
    std::size_t skip_ = 0;
    std::uint64_t frames_ = 0;
    std::vector<float> framePower_;
    std::vector<float> average_;
    mutable std::vector<float> scratch_;
};

} // namespace kovo::sdr
