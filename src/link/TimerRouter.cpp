#include "link/TimerRouter.h"

namespace kovo {

TimerRouter::TimerRouter(TimerService& timers) : timers_(timers) {
    timers_.setHandler([this](int timerId) { dispatch(timerId); });
}

TimerRouter::~TimerRouter() {
    timers_.setHandler({});
}

void TimerRouter::on(int timerId, Callback callback) {
    callbacks_[timerId] = std::move(callback);
}

void TimerRouter::dispatch(int timerId) {
    auto it = callbacks_.find(timerId);
    if (it != callbacks_.end() && it->second)
        it->second();
}

} // namespace kovo
