#include "SdrTestSignals.h"
#include "sdr/ChannelDemodulator.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace {

using namespace kovo::sdr;

constexpr std::uint64_t kCentreHz = 145'500'000;
constexpr std::uint32_t kRate = 2'400'000;

struct DemodCase {
    const char* name;
    const char* plan;
    std::uint64_t channelHz;
    DemodMode mode;
    double ifBandwidthHz;
    double audioRate;
    double toneHz;
};

// Each plan signal carries (or, for the sideband modes, is heard as) a tone.
const DemodCase kCases[] = {
    {"NFM", "145.512500 NFM 25", 145'512'500, DemodMode::Nfm, 12'500, 48'000, 1000},
    {"NFM at 16 kHz", "145.387500 NFM 25", 145'387'500, DemodMode::Nfm, 12'500, 16'000, 1000},
    {"AM", "145.480000 AM 25", 145'480'000, DemodMode::Am, 10'000, 48'000, 1000},
    {"USB", "145.530000 USB 25", 145'530'000, DemodMode::Usb, 3'000, 48'000, 1000},
    {"LSB", "145.430000 LSB 25", 145'430'000, DemodMode::Lsb, 3'000, 48'000, 1000},
    {"CW", "145.540000 CW 25", 145'540'000, DemodMode::Cw, 1'000, 48'000,
     ChannelDemodulator::kCwPitchHz},
    {"WFM", "145.800000 WFM 25", 145'800'000, DemodMode::Wfm, 200'000, 48'000, 1000},
};

std::vector<float> demodulate(const DemodCase& c, const std::vector<std::complex<float>>& iq) {
    ChannelSettings settings;
    settings.inputRate = kRate;
    settings.offsetHz = double(c.channelHz) - double(kCentreHz);
    settings.mode = c.mode;
    settings.ifBandwidthHz = c.ifBandwidthHz;
    settings.audioRate = c.audioRate;
    ChannelDemodulator demodulator(settings);
    std::vector<float> audio;
    // In blocks of an odd size, as a device may deliver them.
    for (std::size_t at = 0; at < iq.size(); at += 10'007) {
        const std::size_t n = std::min<std::size_t>(10'007, iq.size() - at);
        const auto sound = demodulator.process({iq.data() + at, n});
        audio.insert(audio.end(), sound.begin(), sound.end());
    }
    return audio;
}

TEST(ChannelDemodulator, RecoversTheToneOfEachModeCleanly) {
    for (const DemodCase& c : kCases) {
        const auto iq = kovo::sdr::test::planSamples(c.plan, kCentreHz, kRate, kRate / 2);
        const auto audio = demodulate(c, iq);
        // Half a second of input is half a second of sound.
        EXPECT_NEAR(double(audio.size()), c.audioRate / 2, c.audioRate * 0.01) << c.name;
        EXPECT_GE(kovo::sdr::test::toneSnrDb(audio, c.audioRate, c.toneHz), 30.0) << c.name;
    }
}

TEST(ChannelDemodulator, HearsOnlyItsOwnChannel) {
    // A strong NFM signal two channels away leaves no tone in this one.
    const DemodCase here = kCases[0];
    const auto iq = kovo::sdr::test::planSamples("145.537500 NFM 25", kCentreHz, kRate, kRate / 2);
    const auto audio = demodulate(here, iq);
    EXPECT_LT(kovo::sdr::test::toneSnrDb(audio, here.audioRate, here.toneHz), 0.0);
}

TEST(ChannelDemodulator, ClosedGateSilencesAndGainScales) {
    const DemodCase c = kCases[0];
    const auto iq = kovo::sdr::test::planSamples(c.plan, kCentreHz, kRate, kRate / 4);
    ChannelSettings settings;
    settings.offsetHz = double(c.channelHz) - double(kCentreHz);
    ChannelDemodulator loud(settings), quiet(settings);
    quiet.setAfGain(0.25f);
    const auto loudSound = loud.process(iq);
    const std::vector<float> full(loudSound.begin(), loudSound.end());
    const auto soft = quiet.process(iq);
    ASSERT_EQ(full.size(), soft.size());
    for (std::size_t i = 0; i < full.size(); i += 97)
        EXPECT_NEAR(soft[i], full[i] * 0.25f, 1e-3f);
    quiet.setGateOpen(false);
    const auto gated = quiet.process(iq);
    EXPECT_TRUE(std::all_of(gated.begin(), gated.end(), [](float v) { return v == 0.0f; }));
}

} // namespace
