// The rtl_tcp client against the simulator's rtl_tcp face on the loopback,
// in real time.
#include "RtlTcpFace.h"
#include "SdrTestSignals.h"
#include "sdr/IqPipeline.h"
#include "sdr/RtlTcpSource.h"

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <thread>

namespace {

using namespace kovo::sdr;
using namespace kovo::sdr::test;
using namespace std::chrono_literals;
using kovo::sim::RtlTcpFace;
using kovo::sim::SignalPlan;

constexpr std::uint32_t kRate = 240'000;

SignalPlan plan() {
    return SignalPlan::parse("145.512500 NFM 20\n", nullptr);
}

RtlTcpSettings settingsFor(int port) {
    RtlTcpSettings s;
    s.port = std::uint16_t(port);
    s.centreHz = 145'500'000;
    s.sampleRate = kRate;
    s.gainTenthsDb = 496;
    s.ppm = -3;
    s.blockSamples = kRate / 50;
    s.reconnectMs = 100;
    return s;
}

TEST(RtlTcpSourceE2e, TunesTheSimulatorAndHearsItsCarrier) {
    RtlTcpFace face(plan());
    std::string error;
    ASSERT_TRUE(face.start(0, &error)) << error;
    RtlTcpSource source(settingsFor(face.port()));
    source.start();
    ASSERT_TRUE(waitUntil([&] { return source.status().state == SourceState::Streaming; }));
    EXPECT_EQ(source.status().greeting->tuner(), RtlTuner::R820T);
    ASSERT_TRUE(waitUntil([&] { return face.tuning().commands >= 6; }));
    const auto told = face.tuning();
    EXPECT_EQ(told.centreHz, 145'500'000u);
    EXPECT_EQ(told.sampleRate, kRate);
    EXPECT_EQ(told.gainMode, 1u);
    EXPECT_EQ(told.gainTenthsDb, 496);
    EXPECT_EQ(told.ppm, -3);

    // Retuned to where nothing transmits: the carrier is gone at once, for
    // nothing taken at the old frequency counts.
    const auto heard = hearCarrierThenRetuneAway(source, kRate);
    EXPECT_GE(heard.carrierIndex, 8);
    EXPECT_EQ(heard.afterRetuneIndex, 0);
    EXPECT_EQ(face.tuning().centreHz, 146'000'000u);
    EXPECT_GT(source.status().staleSamples, 0u);
    EXPECT_EQ(source.status().overruns, 0u);

    // A gain in dB, as the settings hold it, goes out in tenths.
    source.setGainDb(38.6);
    EXPECT_TRUE(waitUntil([&] { return face.tuning().gainTenthsDb == 386; }));
    EXPECT_TRUE(waitUntil([&] { return face.tuning().gainMode == 1; }));
}

TEST(RtlTcpSourceE2e, AServerThatGoesAwayIsReportedAndFoundAgain) {
    auto face = std::make_unique<RtlTcpFace>(plan());
    std::string error;
    ASSERT_TRUE(face->start(0, &error)) << error;
    const int port = face->port();
    RtlTcpSource source(settingsFor(port));
    source.start();
    ASSERT_TRUE(waitUntil([&] { return source.status().state == SourceState::Streaming; }));
    source.tune(145'000'000);

    face.reset();
    ASSERT_TRUE(waitUntil([&] { return source.status().state == SourceState::Disconnected; }));
    EXPECT_EQ(source.status().disconnects, 1u);
    EXPECT_FALSE(source.status().lastError.empty());

    face = std::make_unique<RtlTcpFace>(plan());
    ASSERT_TRUE(face->start(port, &error)) << error;
    ASSERT_TRUE(waitUntil([&] { return source.status().connects == 2; }));
    EXPECT_EQ(source.status().state, SourceState::Streaming);
    // The settings are sent again, the latest tuning among them.
    ASSERT_TRUE(waitUntil([&] { return face->tuning().commands >= 6; }));
    EXPECT_EQ(face->tuning().centreHz, 145'000'000u);
    EXPECT_EQ(face->tuning().sampleRate, kRate);
}

TEST(RtlTcpSourceE2e, AConsumerThatFallsBehindSeesOverrunsCounted) {
    RtlTcpFace face(plan());
    std::string error;
    ASSERT_TRUE(face.start(0, &error)) << error;
    RtlTcpSettings settings = settingsFor(face.port());
    settings.queueBlocks = 3;
    RtlTcpSource source(settings);
    source.start();
    // Nobody takes the blocks: 20 ms each, so the queue fills within 60 ms.
    ASSERT_TRUE(waitUntil([&] { return source.status().overruns >= 2; }));
    EXPECT_EQ(source.blocks().size(), 3u);
}

} // namespace
