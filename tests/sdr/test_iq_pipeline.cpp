#include "SdrTestSignals.h"
#include "sdr/IqPipeline.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

using namespace kovo::sdr;
using kovo::sdr::test::planSamples;

constexpr std::uint32_t kRate = 2'400'000;
constexpr std::size_t kBlock = 16384;

std::vector<IqBlock> blocks(const char* plan, std::uint64_t centreHz, std::uint64_t generation,
                            std::size_t count) {
    const auto samples = planSamples(plan, centreHz, kRate, kBlock * count);
    std::vector<IqBlock> out;
    for (std::size_t i = 0; i < count; ++i) {
        IqBlock b{generation, centreHz, kRate, {}};
        b.samples.assign(samples.begin() + std::ptrdiff_t(i * kBlock),
                         samples.begin() + std::ptrdiff_t((i + 1) * kBlock));
        out.push_back(std::move(b));
    }
    return out;
}

bool silent(std::span<const float> audio) {
    return std::all_of(audio.begin(), audio.end(), [](float v) { return v == 0.0f; });
}

TEST(IqPipeline, SamplesInFlightAtTheOldFrequencyDoNotCountForTheNew) {
    PipelineSettings settings;
    settings.channelHz = 145'512'500;
    settings.squelchIndex = 2;
    IqPipeline pipeline(settings);

    for (const IqBlock& b : blocks("145.512500 NFM 20", 145'500'000, 1, 8))
        EXPECT_TRUE(pipeline.process(b, 1));
    EXPECT_GE(pipeline.signal().index, 8);
    EXPECT_TRUE(pipeline.squelchOpen());
    EXPECT_FALSE(silent(pipeline.audio()));

    // Retuned to a quiet place where the channel sits at the same offset.
    // Blocks taken at the old frequency still arrive and are dropped.
    pipeline.setChannel(146'012'500);
    for (const IqBlock& b : blocks("145.512500 NFM 20", 145'500'000, 1, 4))
        EXPECT_FALSE(pipeline.process(b, 2));
    EXPECT_EQ(pipeline.staleBlocks(), 4u);

    const auto fresh = blocks("145.512500 NFM 20", 146'000'000, 2, 1);
    EXPECT_TRUE(pipeline.process(fresh.front(), 2));
    EXPECT_EQ(pipeline.signal().index, 0);
    EXPECT_FALSE(pipeline.squelchOpen());
    EXPECT_TRUE(silent(pipeline.audio()));
    EXPECT_EQ(pipeline.spectrum().frames(), kBlock / settings.spectrumHop);
}

TEST(IqPipeline, AChannelOutsideTheSpanIsNeverHeard) {
    PipelineSettings settings;
    settings.channelHz = 147'000'000; // 1.5 MHz off a 2.4 MHz span's centre
    IqPipeline pipeline(settings);
    for (const IqBlock& b : blocks("145.512500 NFM 20", 145'500'000, 1, 2))
        EXPECT_TRUE(pipeline.process(b, 1));
    EXPECT_FALSE(pipeline.squelchOpen());
    EXPECT_TRUE(silent(pipeline.audio()));
}

} // namespace
