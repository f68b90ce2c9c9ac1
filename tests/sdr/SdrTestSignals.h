#pragma once
#include <chrono>
#include <complex>
#include <cstdint>
#include <functional>
#include <span>
#include <string_view>
#include <vector>

namespace kovo::sdr {
class IqSource;
}

namespace kovo::sdr::test {

// `count` samples of the span around `centreHz` at `rate`, made from the
// plan text by the simulator's generator.
std::vector<std::complex<float>> planSamples(std::string_view planText, std::uint64_t centreHz,
                                             std::uint32_t rate, std::size_t count);

// Signal-to-noise-and-distortion of a tone in `audio`, in dB: the power
// around the tone's frequency over everything else but DC, from an FFT of
// the last 2^k samples.
double toneSnrDb(std::span<const float> audio, double rate, double toneHz);

// Polls `done` every few ms; false when `limit` ran out first.
bool waitUntil(const std::function<bool()>& done,
               std::chrono::milliseconds limit = std::chrono::seconds(5));

// What a source streaming the plan line "145.512500 NFM 20" at 145.5 MHz
// shows: the carrier's signal index, then the index 12.5 kHz above 146 MHz
// right after a retune there, where nothing transmits.
struct RetuneHearing {
    int carrierIndex = -1;
    int afterRetuneIndex = -1;
};
RetuneHearing hearCarrierThenRetuneAway(IqSource& source, std::uint32_t rate);

} // namespace kovo::sdr::test
