#include "IqSignalGenerator.h"
#include "SdrTestSignals.h"
#include "sdr/SignalMeter.h"
#include "sdr/SpectrumAnalyzer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace {

using namespace kovo::sdr;
using kovo::sdr::test::planSamples;

constexpr std::uint64_t kCentreHz = 145'500'000;
constexpr std::uint32_t kRate = 2'400'000;
constexpr double kChannelOffset = 12'500;

SignalReading measure(const std::string& plan) {
    SpectrumAnalyzer spectrum(2048, 8192, 0.25f);
    spectrum.process(planSamples(plan, kCentreHz, kRate, kRate / 10));
    return SignalMeter(kRate, kChannelOffset, 12'500).read(spectrum);
}

TEST(SpectrumAnalyzer, ReadsNoiseAtItsPowerAndACarrierInItsBin) {
    SpectrumAnalyzer spectrum(2048, 4096, 0.25f);
    EXPECT_EQ(spectrum.frames(), 0u);
    spectrum.process(planSamples("145.800000 CW 20", kCentreHz, kRate, kRate / 10));
    EXPECT_EQ(spectrum.frames(), (kRate / 10 - 2048) / 4096 + 1);
    // White noise reads its power per sample in every bin.
    const double noiseDb = 20 * std::log10(double(kovo::sim::IqSignalGenerator::kNoiseRms));
    EXPECT_NEAR(10 * std::log10(spectrum.noiseFloor()), noiseDb, 1.0);
    std::vector<float> db(spectrum.bins());
    spectrum.powerDb(db);
    const auto peak = std::max_element(db.begin(), db.end()) - db.begin();
    EXPECT_EQ(std::size_t(peak), spectrum.binAt(300'000, kRate));
    EXPECT_EQ(std::size_t(peak), 1024u + 256u);
    EXPECT_GT(db[std::size_t(peak)], noiseDb + 40);
    spectrum.reset();
    EXPECT_EQ(spectrum.frames(), 0u);
}

TEST(SignalMeter, IndexRisesWithTheCarrierFromZeroAtTheFloor) {
    EXPECT_EQ(measure("").index, 0);
    EXPECT_NEAR(measure("").excessDb, 0.0f, 1.0f);
    // A strong carrier elsewhere in the span is not this channel's signal.
    EXPECT_EQ(measure("145.600000 NFM 25").index, 0);
    int previous = 0;
    for (int level = 0; level <= 25; level += 5) {
        const SignalReading r = measure("145.512500 NFM " + std::to_string(level));
        EXPECT_GE(r.index, previous) << "level " << level;
        EXPECT_GT(r.index, 0) << "level " << level;
        previous = r.index;
    }
    EXPECT_GE(previous, 12);
}

TEST(SignalMeter, AChannelPastTheSpanReadsNothing) {
    // A carrier in the span's top bin; a channel beyond the span's edge
    // would otherwise be measured in that bin.
    auto samples = planSamples("", kCentreHz, kRate, kRate / 10);
    const double topBinHz = 1023.0 / 2048 * kRate;
    for (std::size_t n = 0; n < samples.size(); ++n)
        samples[n] += std::polar(0.1f, float(2 * M_PI * topBinHz * double(n) / kRate));
    SpectrumAnalyzer spectrum(2048, 8192, 0.25f);
    spectrum.process(samples);
    EXPECT_GE(SignalMeter(kRate, topBinHz, 1'000).read(spectrum).index, 10);
    EXPECT_EQ(SignalMeter(kRate, 1'250'000, 12'500).read(spectrum).index, 0);
    EXPECT_EQ(SignalMeter(kRate, -1'250'000, 12'500).read(spectrum).index, 0);
}

TEST(SignalMeter, StepsFromTheFloorToFifteen) {
    const std::pair<float, int> cases[] = {
        {-3.0f, 0}, {0.0f, 0},  {3.9f, 0},   {4.0f, 1},   {7.9f, 1},
        {8.0f, 2},  {30.0f, 7}, {59.9f, 14}, {60.0f, 15}, {90.0f, 15},
    };
    for (const auto& [db, index] : cases)
        EXPECT_EQ(SignalMeter::indexFor(db), index) << db;
    EXPECT_EQ(SignalMeter::indexFor(std::nanf("")), 0);
}

} // namespace
