#include "app/QtTimerService.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTest>
#include <gtest/gtest.h>

#include <thread>
#include <vector>

namespace kovo {
namespace {

class QtTimerServiceTest : public ::testing::Test {
protected:
    void SetUp() override {
        timers_.setHandler([this](int id) { fired_.push_back(id); });
    }
    static void drainEvents() {
        for (int i = 0; i < 10; ++i)
            QCoreApplication::processEvents();
    }

    QtTimerService timers_;
    std::vector<int> fired_;
};

TEST_F(QtTimerServiceTest, TimersRepeatUntilKilled) {
    timers_.setTimer(12, 0);
    EXPECT_TRUE(timers_.isTimerActive(12));
    ASSERT_TRUE(QTest::qWaitFor([&] { return fired_.size() >= 3; }, 5000));
    EXPECT_EQ(std::count(fired_.begin(), fired_.end(), 12), static_cast<long>(fired_.size()));

    timers_.killTimer(12);
    EXPECT_FALSE(timers_.isTimerActive(12));
    const size_t before = fired_.size();
    drainEvents();
    EXPECT_EQ(fired_.size(), before);
    timers_.killTimer(99); // unknown ids are ignored
}

TEST_F(QtTimerServiceTest, SettingARunningTimerRestartsItWithTheNewInterval) {
    timers_.setTimer(1, 0);
    timers_.setTimer(1, 600000);
    EXPECT_EQ(timers_.interval(1), 600000);
    drainEvents();
    EXPECT_TRUE(fired_.empty()) << "the short interval must not survive the restart";

    timers_.setTimer(1, 0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !fired_.empty(); }, 5000));
    EXPECT_EQ(fired_.front(), 1);
}

TEST_F(QtTimerServiceTest, AHandlerMayKillItsOwnTimer) {
    timers_.setHandler([this](int id) {
        fired_.push_back(id);
        timers_.killTimer(id);
    });
    timers_.setTimer(3, 0);
    timers_.setTimer(4, 600000);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !fired_.empty(); }, 5000));
    drainEvents();
    EXPECT_EQ(fired_, std::vector<int>{3});
    EXPECT_TRUE(timers_.isTimerActive(4)) << "other timers keep running";
    EXPECT_EQ(timers_.interval(3), -1);
}

// Short intervals run on a kernel timer: it must never fire before its
// interval (the pause before a signal request is a settling time) and must
// keep repeating.
TEST_F(QtTimerServiceTest, ShortTimersNeverFireEarlyAndRepeat) {
    for (const int intervalMs : {1, 7, 30}) {
        fired_.clear();
        QElapsedTimer clock;
        std::vector<qint64> firedAtUs;
        timers_.setHandler([&](int id) {
            fired_.push_back(id);
            firedAtUs.push_back(clock.nsecsElapsed() / 1000);
        });
        clock.start();
        timers_.setTimer(20, intervalMs);
        EXPECT_EQ(timers_.interval(20), intervalMs);
        ASSERT_TRUE(QTest::qWaitFor([&] { return fired_.size() >= 3; }, 5000)) << intervalMs;
        timers_.killTimer(20);
        EXPECT_GE(firedAtUs.front(), intervalMs * 1000) << intervalMs << " ms fired early";
        for (size_t i = 1; i < firedAtUs.size(); ++i)
            EXPECT_GE(firedAtUs[i], static_cast<qint64>(i + 1) * intervalMs * 1000) << intervalMs;
    }
}

// An expiry the event loop has not seen yet belongs to the old setting: after
// a kill or a restart with a long interval it must not fire. The row that
// leaves the timer alone shows the expiry was really there to be handled.
TEST_F(QtTimerServiceTest, AnExpiryNotYetHandledDiesWithAKillOrARestart) {
    struct Case {
        const char* name;
        void (*change)(QtTimerService&);
        bool fires;
    };
    const Case cases[] = {
        {"left alone", [](QtTimerService&) {}, true},
        {"kill", [](QtTimerService& t) { t.killTimer(21); }, false},
        {"restart", [](QtTimerService& t) { t.setTimer(21, 600000); }, false},
    };
    for (const Case& c : cases) {
        fired_.clear();
        timers_.setTimer(21, 1);
        std::this_thread::sleep_for(std::chrono::milliseconds(5)); // expired, not handled
        c.change(timers_);
        drainEvents();
        QTest::qWait(20);
        timers_.killTimer(21);
        EXPECT_EQ(!fired_.empty(), c.fires) << c.name;
    }
}

} // namespace
} // namespace kovo
