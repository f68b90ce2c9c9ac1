// The SoapySDR source through the real SoapySDR library, against the test
// module "kovosim" that plays the simulator's signal plan, in real time.
#include "SdrTestSignals.h"
#include "sdr/SoapySource.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <thread>
#include <unistd.h>

namespace {

using namespace kovo::sdr;
using namespace kovo::sdr::test;
using namespace std::chrono_literals;

constexpr std::uint32_t kRate = 240'000;

class SoapySourceE2e : public testing::Test {
protected:
    static void SetUpTestSuite() {
        // Before the first SoapySDR call, which loads the modules once.
        ::setenv("SOAPY_SDR_PLUGIN_PATH", KOVO_SOAPY_MODULE_DIR, 1);
        std::ofstream(planPath()) << "145.512500 NFM 20\n";
    }
    static void TearDownTestSuite() { std::filesystem::remove(planPath()); }
    static std::string planPath() {
        return (std::filesystem::temp_directory_path() /
                ("kovo-soapy-e2e-" + std::to_string(::getpid()) + ".plan"))
            .string();
    }
    static SoapySettings settingsFor(const std::string& extraArgs = {}) {
        SoapySettings s;
        s.args = "driver=kovosim,plan=" + planPath() + extraArgs;
        s.centreHz = 145'500'000;
        s.sampleRate = kRate;
        s.gainDb = 40.2;
        s.blockSamples = kRate / 50;
        s.reconnectMs = 100;
        return s;
    }
};

TEST_F(SoapySourceE2e, OpensTunesAndHearsTheCarrier) {
    SoapySource source(settingsFor());
    source.start();
    ASSERT_TRUE(waitUntil([&] { return source.status().state == SourceState::Streaming; }))
        << source.status().lastError;
    const auto bands = source.frequencyBands();
    ASSERT_EQ(bands.size(), 1u);
    EXPECT_EQ(bands[0].lowHz, 24'000'000u);
    EXPECT_EQ(bands[0].highHz, 1'766'000'000u);

    // Retuned to where nothing transmits: nothing taken at the old
    // frequency counts for the new one.
    const auto heard = hearCarrierThenRetuneAway(source, kRate);
    EXPECT_GE(heard.carrierIndex, 8);
    EXPECT_EQ(heard.afterRetuneIndex, 0);
    EXPECT_GT(source.status().staleSamples, 0u);
    EXPECT_EQ(source.status().overruns, 0u);
}

TEST_F(SoapySourceE2e, DevicesThatCannotBeOpenedOrGoAwayAreReportedAndTriedAgain) {
    struct Case {
        const char* name;
        std::string args;
        std::uint64_t connectsAfterRetry;
    };
    const Case cases[] = {
        {"no such driver", "driver=kovo-nonexistent", 0},
        {"an unreadable plan", "driver=kovosim,plan=/nonexistent/plan", 0},
        {"a device unplugged", settingsFor(",failAfterMs=100").args, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SoapySettings settings = settingsFor();
        settings.args = c.args;
        SoapySource source(settings);
        source.start();
        ASSERT_TRUE(waitUntil([&] {
            const auto s = source.status();
            return s.state == SourceState::Disconnected && s.connects >= c.connectsAfterRetry;
        }));
        EXPECT_NE(source.status().lastError.find(c.args), std::string::npos)
            << source.status().lastError;
        if (c.connectsAfterRetry > 0) {
            EXPECT_GE(source.status().disconnects, 2u);
        }
        source.stop();
        EXPECT_EQ(source.status().state, SourceState::Stopped);
    }
}

TEST_F(SoapySourceE2e, AConsumerThatStallsSeesOverrunsCounted) {
    SoapySettings settings = settingsFor();
    settings.queueBlocks = 3;
    SoapySource source(settings);
    source.start();
    // Nobody takes the blocks: 20 ms each, so the queue fills within 60 ms.
    ASSERT_TRUE(waitUntil([&] { return source.status().overruns >= 2; }));
    EXPECT_EQ(source.blocks().size(), 3u);
}

} // namespace
