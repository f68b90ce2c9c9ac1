#include <gmock/gmock.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <hamlib/rig.h>
#include <mutex>
#include <optional>

#include "rig/HamlibWorker.h"

namespace kovo::rig {
namespace {

using namespace std::chrono_literals;

// What the worker handed back, gathered across its thread. The waits only
// keep a broken worker from hanging the test run.
struct Collected {
    std::mutex mutex;
    std::condition_variable changed;
    std::string received;
    std::vector<std::string> lost;

    HamlibWorker::Handlers handlers() {
        return {[this](std::string text) {
                    std::lock_guard lock(mutex);
                    received += text;
                    changed.notify_all();
                },
                [this](std::string why) {
                    std::lock_guard lock(mutex);
                    lost.push_back(why);
                    changed.notify_all();
                }};
    }
    bool waitForPrompts(std::size_t count) {
        std::unique_lock lock(mutex);
        return changed.wait_for(lock, 30s, [&] {
            return std::size_t(std::count(received.begin(), received.end(), '>')) >= count ||
                   !lost.empty();
        });
    }
    bool waitForLoss() {
        std::unique_lock lock(mutex);
        return changed.wait_for(lock, 30s, [&] { return !lost.empty(); });
    }
};

TEST(HamlibWorker, DrivesHamlibsDummyRigThroughReceiverCommands) {
    Collected out;
    HamlibSettings settings;
    settings.model = 1;
    settings.settleMs = 0;
    HamlibWorker worker(settings, out.handlers());
    worker.write("\r145.5\rN\rT\rG\r");
    worker.write("Y");
    worker.write("\r");
    ASSERT_TRUE(out.waitForPrompts(6));
    EXPECT_THAT(out.lost, testing::IsEmpty());
    EXPECT_THAT(out.received, testing::StartsWith("\r\n>\r\n>\r\n>\r\n>\r\n>"));
    EXPECT_THAT(out.received, testing::MatchesRegex(".*\r\n>[%A-P]\r\n>"));
}

TEST(HamlibWorker, AModelHamlibDoesNotKnowIsLostWithItsReason) {
    Collected out;
    HamlibSettings settings;
    settings.model = 999999;
    HamlibWorker worker(settings, out.handlers());
    ASSERT_TRUE(out.waitForLoss());
    EXPECT_THAT(out.lost, testing::ElementsAre(testing::HasSubstr("999999")));
}

TEST(HamlibWorker, ARadioThatCannotBeReachedIsLostWithHamlibsErrorText) {
    Collected out;
    HamlibSettings settings;
    settings.model = 2; // the network client, to a port nothing listens on
    settings.port = "127.0.0.1:1";
    HamlibWorker worker(settings, out.handlers());
    worker.write("\r");
    ASSERT_TRUE(out.waitForLoss());
    EXPECT_THAT(out.lost, testing::ElementsAre(testing::HasSubstr("Hamlib cannot open")));
    EXPECT_EQ(out.received, "");
}

// A radio that answers the first command and then falls silent.
class FailingRig final : public RigControl {
public:
    int left = 1;
    RigResult step() { return left-- > 0 ? RigResult::Done : RigResult::Failed; }
    RigResult setFrequency(std::uint32_t) override { return step(); }
    RigResult setMode(RigMode, int) override { return step(); }
    RigResult setAttenuator(bool) override { return step(); }
    RigResult readSignal(SignalReport&) override { return step(); }
    std::string lastError() const override { return "Communication timed out"; }
};

// A radio whose readings tell what it was tuned to when they were taken.
class ReadingRig final : public RigControl {
public:
    std::atomic<std::uint32_t> tunedHz{0};
    bool failReadings = false;
    RigResult setFrequency(std::uint32_t hz) override {
        tunedHz = hz;
        return RigResult::Done;
    }
    RigResult setMode(RigMode, int) override { return RigResult::Done; }
    RigResult setAttenuator(bool) override { return RigResult::Done; }
    RigResult readSignal(SignalReport&) override { return RigResult::Done; }
    RigResult readReadings(RigReadings& readings) override {
        readings.squelchOpen = tunedHz == 145'500'000;
        readings.strengthDb = -12;
        return failReadings ? RigResult::Failed : RigResult::Done;
    }
    std::string lastError() const override { return "Communication timed out"; }
};

TEST(HamlibWorker, ReadingsComeAfterTheQueuedCommandsAndAFailedReadingLosesTheRadio) {
    for (const bool fail : {false, true}) {
        Collected out;
        std::mutex mutex;
        std::condition_variable changed;
        std::optional<RigReadings> taken;
        HamlibWorker worker(
            [fail](std::string&) {
                auto rig = std::make_unique<ReadingRig>();
                rig->failReadings = fail;
                return rig;
            },
            0, out.handlers());
        worker.write("145.5\r");
        worker.takeReadings([&](RigReadings readings) {
            std::lock_guard lock(mutex);
            taken = readings;
            changed.notify_all();
        });
        if (fail) {
            ASSERT_TRUE(out.waitForLoss());
            EXPECT_THAT(out.lost, testing::ElementsAre("Communication timed out"));
            EXPECT_FALSE(taken.has_value());
            continue;
        }
        std::unique_lock lock(mutex);
        ASSERT_TRUE(changed.wait_for(lock, 30s, [&] { return taken.has_value(); }));
        EXPECT_EQ(taken->squelchOpen, std::optional<bool>(true)) << "after the tuning";
        EXPECT_EQ(taken->strengthDb, std::optional<int>(-12));
        EXPECT_THAT(out.lost, testing::IsEmpty());
    }
}

TEST(HamlibWorker, ARadioThatStopsAnsweringIsLostOnceAndTakesNoMoreCommands) {
    Collected out;
    HamlibWorker worker([](std::string&) { return std::make_unique<FailingRig>(); }, 0,
                        out.handlers());
    worker.write("145.5\r145.6\r145.7\r");
    ASSERT_TRUE(out.waitForLoss());
    worker.write("145.8\r");
    EXPECT_EQ(out.received, "\r\n>");
    EXPECT_THAT(out.lost, testing::ElementsAre("Communication timed out"));
}

} // namespace
} // namespace kovo::rig

namespace kovo::rig {
namespace {

// The dummy rig's strength wanders below S9; its squelch report flips on every
// reading. Without the report the threshold alone decides, every time.
TEST(HamlibWorker, WithoutTheRadiosSquelchReportTheThresholdDecides) {
    struct Case {
        int thresholdDb;
        const char* reports;
    };
    for (const Case& c : {Case{60, "%%%%"}, Case{-90, "...."}}) {
        Collected out;
        HamlibSettings settings;
        settings.model = 1;
        settings.settleMs = 0;
        settings.useDcd = false;
        settings.thresholdDb = c.thresholdDb;
        HamlibWorker worker(settings, out.handlers());
        worker.write("145.5\rY\rY\rY\rY\r");
        ASSERT_TRUE(out.waitForPrompts(5));
        std::string reports;
        for (std::size_t at = out.received.find(">"); at + 1 < out.received.size();
             at = out.received.find(">", at + 1))
            reports += out.received[at + 1] == '%' ? '%' : '.';
        EXPECT_EQ(reports, c.reports) << c.thresholdDb;
    }
}

} // namespace
} // namespace kovo::rig

namespace kovo::rig {
namespace {

// Hamlib's dummy rig is told as what it is: its modes, its attenuator, its
// range, and the DCD report it has.
TEST(HamlibWorker, TellsWhatTheOpenRadioCanDoBeforeItsFirstAnswer) {
    Collected out;
    std::optional<RigCapabilities> told;
    HamlibWorker::Handlers handlers = out.handlers();
    handlers.opened = [&](RigCapabilities c) {
        std::lock_guard lock(out.mutex);
        told = c;
    };
    HamlibSettings settings;
    settings.model = 1;
    HamlibWorker worker(settings, handlers);
    worker.write("\r");
    ASSERT_TRUE(out.waitForPrompts(1));
    std::lock_guard lock(out.mutex);
    ASSERT_TRUE(told);
    EXPECT_EQ(told->model, 1);
    EXPECT_THAT(told->name, testing::HasSubstr("Dummy"));
    EXPECT_TRUE(told->receives(RigMode::NarrowFm));
    EXPECT_TRUE(told->receives(RigMode::Usb));
    EXPECT_TRUE(told->attenuator);
    EXPECT_TRUE(told->squelchReport);
    EXPECT_LT(told->lowestHz, 1'000'000u);
    EXPECT_GT(told->highestHz, told->lowestHz);
}

// Channel modes the radio lacks are tuned, and so logged, as the nearest
// mode it has.
TEST(RigCapabilities, AChannelModeIsTunedAsTheNearestModeTheRadioHas) {
    struct Case {
        int channelMode;
        std::uint64_t radio;
        std::optional<int> tuned;
    };
    const Case cases[] = {
        {0, RIG_MODE_FM | RIG_MODE_WFM, 0},
        {1, RIG_MODE_FM | RIG_MODE_AM, 0},
        {2, RIG_MODE_AMS, 2},
        {6, RIG_MODE_AM, 2},
        {3, RIG_MODE_USB, 4},
        {5, RIG_MODE_USB | RIG_MODE_LSB, 4},
        {4, RIG_MODE_FM, std::nullopt},
        {9, RIG_MODE_FM, std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(tunedChannelMode(c.channelMode, c.radio), c.tuned) << c.channelMode;
    RigCapabilities fmOnly;
    fmOnly.modes = RIG_MODE_FM;
    EXPECT_TRUE(fmOnly.receives(RigMode::NarrowFm));
    EXPECT_FALSE(fmOnly.receives(RigMode::WideFm));
}

} // namespace
} // namespace kovo::rig
