#pragma once
#include <complex>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace kovo::sdr::test {

// `count` samples of the span around `centreHz` at `rate`, made from the
// plan text by the simulator's generator.
std::vector<std::complex<float>> planSamples(std::string_view planText, std::uint64_t centreHz,
                                             std::uint32_t rate, std::size_t count);

// Signal-to-noise-and-distortion of a tone in `audio`, in dB: the power
// around the tone's frequency over everything else but DC, from an FFT of
// the last 2^k samples.
double toneSnrDb(std::span<const float> audio, double rate, double toneHz);

} // namespace kovo::sdr::test
