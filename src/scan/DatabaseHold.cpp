#include "scan/DatabaseHold.h"

#include "link/TimerIds.h"

namespace kovo {

DatabaseHold::DatabaseHold(TimerRouter& timers) : timers_(timers) {
    timers_.on(TimerDatabaseHold, [this] { clear(); });
}

DatabaseHold::~DatabaseHold() {
    timers_.on(TimerDatabaseHold, {});
}

void DatabaseHold::set() {
    held_ = true;
    timers_.start(TimerDatabaseHold, kDatabaseHoldMs);
}

void DatabaseHold::setUntilCleared() {
    timers_.stop(TimerDatabaseHold);
    held_ = true;
}

void DatabaseHold::clear() {
    timers_.stop(TimerDatabaseHold);
    held_ = false;
}

} // namespace kovo
