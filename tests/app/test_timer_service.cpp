#include "app/QtTimerService.h"

#include <QCoreApplication>
#include <QTest>
#include <gtest/gtest.h>

#include <vector>

namespace kovo {
namespace {

class QtTimerServiceTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        timers_.setHandler([this](int id) { fired_.push_back(id); });
    }
    static void drainEvents()
    {
        for (int i = 0; i < 10; ++i)
            QCoreApplication::processEvents();
    }

    QtTimerService timers_;
    std::vector<int> fired_;
};

TEST_F(QtTimerServiceTest, TimersRepeatUntilKilled)
{
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

TEST_F(QtTimerServiceTest, SettingARunningTimerRestartsItWithTheNewInterval)
{
    timers_.setTimer(1, 0);
    timers_.setTimer(1, 600000);
    EXPECT_EQ(timers_.interval(1), 600000);
    drainEvents();
    EXPECT_TRUE(fired_.empty()) << "the short interval must not survive the restart";

    timers_.setTimer(1, 0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !fired_.empty(); }, 5000));
    EXPECT_EQ(fired_.front(), 1);
}

TEST_F(QtTimerServiceTest, AHandlerMayKillItsOwnTimer)
{
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

} // namespace
} // namespace kovo
