#include "link/StaleAnswers.h"

#include "link/TimerIds.h"

namespace kovo {

StaleAnswers::StaleAnswers(TimerRouter& timers, std::function<bool()> answerArriving,
                           std::function<void()> writeDeferred)
    : timers_(timers), answerArriving_(std::move(answerArriving)),
      writeDeferred_(std::move(writeDeferred)) {
    timers_.on(TimerStaleReplyGuard, [this] { onGuard(); });
}

StaleAnswers::~StaleAnswers() {
    timers_.on(TimerStaleReplyGuard, {});
}

void StaleAnswers::expect(int copies) {
    due_ = copies;
    timers_.start(TimerStaleReplyGuard, kStaleReplyGuardMs);
}

bool StaleAnswers::take() {
    if (due_ == 0)
        return false;
    if (--due_ == 0)
        release();
    return true;
}

void StaleAnswers::forget() {
    due_ = 0;
    guardExtensions_ = 0;
    deferred_ = false;
    timers_.stop(TimerStaleReplyGuard);
}

void StaleAnswers::onGuard() {
    // An answer still arriving keeps the guard up a little longer, so that
    // its end is not taken for the answer to the next command.
    constexpr int kMaxExtensions = 3;
    if (answerArriving_() && guardExtensions_ < kMaxExtensions) {
        ++guardExtensions_;
        timers_.start(TimerStaleReplyGuard, kStaleReplyGuardMs);
        return;
    }
    // The first copy was lost, not late: no second answer is coming.
    release();
}

void StaleAnswers::release() {
    timers_.stop(TimerStaleReplyGuard);
    due_ = 0;
    guardExtensions_ = 0;
    if (!deferred_)
        return;
    deferred_ = false;
    writeDeferred_();
}

} // namespace kovo
