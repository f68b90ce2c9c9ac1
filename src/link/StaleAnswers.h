#pragma once
#include <functional>

#include "link/TimerRouter.h"

namespace kovo {

// For a receiver that answers every copy of a command, in order: the answers
// still due to copies of a command already answered (after a resend), and
// whether the command chosen meanwhile waits for them. Counting them keeps a
// late answer from being credited to the next command. A guard timer ends
// the wait when a copy was lost rather than late.
class StaleAnswers {
public:
    // `answerArriving` says whether part of an answer is in; `writeDeferred`
    // puts the command that waited on the line.
    StaleAnswers(TimerRouter& timers, std::function<bool()> answerArriving,
                 std::function<void()> writeDeferred);
    ~StaleAnswers();
    StaleAnswers(const StaleAnswers&) = delete;
    StaleAnswers& operator=(const StaleAnswers&) = delete;

    // `copies` answers are still due; the guard starts.
    void expect(int copies);
    bool due() const { return due_ > 0; }
    // A command chosen now waits until they are in.
    void deferCommand() { deferred_ = true; }
    // An answer arrived: true when it was one of those due (the last one
    // writes the command that waited).
    bool take();
    // Nothing is due and nothing waits.
    void forget();

private:
    void onGuard();
    void release();

    TimerRouter& timers_;
    std::function<bool()> answerArriving_;
    std::function<void()> writeDeferred_;
    int due_ = 0;
    int guardExtensions_ = 0;
    bool deferred_ = false;
};

} // namespace kovo
