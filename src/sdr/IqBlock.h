#pragma once
#include <complex>
#include <cstdint>
#include <vector>

namespace kovo::sdr {

// A run of I/Q samples as the device delivered them, with the tuning they
// were taken at. `generation` counts retunes: a consumer that has asked for
// a newer tuning drops blocks of an older generation, since those samples
// were already on their way at the old frequency.
struct IqBlock {
    std::uint64_t generation = 0;
    std::uint64_t centreHz = 0;
    std::uint32_t sampleRate = 0;
    std::vector<std::complex<float>> samples;
};

} // namespace kovo::sdr
