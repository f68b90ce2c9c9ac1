#pragma once
#include <functional>
#include <map>

#include "link/TimerService.h"

namespace kovo {

// The timer service has a single expiry handler; several owners share its
// timers. The router takes that handler and hands each expiry to whoever
// registered for the id. Expiries of ids nobody registered are ignored.
class TimerRouter {
public:
    using Callback = std::function<void()>;

    explicit TimerRouter(TimerService& timers);
    // Leaves the service without a handler: expiries after this are ignored.
    ~TimerRouter();
    TimerRouter(const TimerRouter&) = delete;
    TimerRouter& operator=(const TimerRouter&) = delete;

    // Registers (or replaces) the callback for one timer id.
    void on(int timerId, Callback callback);

    void start(int timerId, int intervalMs) { timers_.setTimer(timerId, intervalMs); }
    void stop(int timerId) { timers_.killTimer(timerId); }
    bool isRunning(int timerId) const { return timers_.isTimerActive(timerId); }

    TimerService& service() { return timers_; }

private:
    void dispatch(int timerId);

    TimerService& timers_;
    std::map<int, Callback> callbacks_;
};

} // namespace kovo
