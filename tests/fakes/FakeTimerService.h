#pragma once
#include <cstdint>
#include <map>
#include <utility>

#include "data/Clock.h"
#include "link/TimerService.h"

namespace kovo::test {

// Timers on a manual clock. `advance` moves the clock forward and fires every
// timer that comes due on the way, in time order, each at its own moment.
class FakeTimerService final : public TimerService {
public:
    explicit FakeTimerService(ManualClock& clock) : clock_(clock) {}

    void setTimer(int id, int intervalMs) override {
        const int interval = intervalMs > 0 ? intervalMs : 1;
        timers_[id] = Timer{interval, clock_.nowMilliseconds() + interval, nextSeq_++};
    }
    void killTimer(int id) override { timers_.erase(id); }
    bool isTimerActive(int id) const override { return timers_.count(id) != 0; }
    void setHandler(Handler handler) override { handler_ = std::move(handler); }

    int intervalOf(int id) const {
        auto it = timers_.find(id);
        return it == timers_.end() ? -1 : it->second.interval;
    }

    void advance(std::int64_t ms) {
        const std::int64_t target = clock_.nowMilliseconds() + ms;
        for (;;) {
            auto due = timers_.end();
            for (auto it = timers_.begin(); it != timers_.end(); ++it) {
                if (it->second.due > target)
                    continue;
                if (due == timers_.end() || it->second.due < due->second.due ||
                    (it->second.due == due->second.due && it->second.seq < due->second.seq))
                    due = it;
            }
            if (due == timers_.end())
                break;
            const int id = due->first;
            if (due->second.due > clock_.nowMilliseconds())
                clock_.setMilliseconds(due->second.due);
            due->second.due += due->second.interval;
            due->second.seq = nextSeq_++;
            if (handler_)
                handler_(id);
        }
        clock_.setMilliseconds(target);
    }

private:
    struct Timer {
        int interval;
        std::int64_t due;
        std::uint64_t seq;
    };
    ManualClock& clock_;
    std::map<int, Timer> timers_;
    Handler handler_;
    std::uint64_t nextSeq_ = 0;
};

} // namespace kovo::test
