#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "fakes/FakeTimerService.h"
#include "link/TimerRouter.h"

namespace kovo::test {
namespace {

TEST(TimerRouter, HandsEachExpiryToItsOwnerAndForgetsOnDestruction) {
    ManualClock clock;
    FakeTimerService service(clock);
    std::vector<int> fired;
    auto router = std::make_unique<TimerRouter>(service);
    router->on(1, [&] { fired.push_back(1); });
    router->on(10, [&] { fired.push_back(10); });
    router->start(1, 300);
    router->start(10, 500);
    router->start(99, 100); // nobody listens
    service.advance(600);
    EXPECT_EQ(fired, (std::vector<int>{1, 10, 1}));
    router.reset();
    service.advance(1000); // no handler left to call into the dead router
    EXPECT_EQ(fired.size(), 3u);
}

} // namespace
} // namespace kovo::test
