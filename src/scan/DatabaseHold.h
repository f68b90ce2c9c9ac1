#pragma once
#include "link/TimerRouter.h"

namespace kovo {

// While the user works in the database lists they stop following the
// receiver. The hold ends five seconds after it was last set (timer 11), or at
// once when the work is finished.
class DatabaseHold {
public:
    explicit DatabaseHold(TimerRouter& timers);
    ~DatabaseHold();
    DatabaseHold(const DatabaseHold&) = delete;
    DatabaseHold& operator=(const DatabaseHold&) = delete;

    // Sets the hold and (re)starts its five seconds (a context menu opens, a list scrolls).
    void set();
    // Sets the hold with no end in sight (the in-place editor is open).
    void setUntilCleared();
    // Clears the hold now.
    void clear();
    bool isSet() const { return held_; }

private:
    TimerRouter& timers_;
    bool held_ = false;
};

} // namespace kovo
