#pragma once
#include <functional>

namespace kovo {

// Window-style timers keyed by number. A timer set with an id that is already
// running restarts with the new interval. Timers repeat until killed.
class TimerService {
public:
    using Handler = std::function<void(int timerId)>;

    virtual ~TimerService() = default;
    virtual void setTimer(int timerId, int intervalMs) = 0;
    virtual void killTimer(int timerId) = 0;
    virtual bool isTimerActive(int timerId) const = 0;
    virtual void setHandler(Handler handler) = 0;
};

} // namespace kovo
