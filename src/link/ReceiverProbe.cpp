#include "link/ReceiverProbe.h"

#include "link/TimerIds.h"

namespace kovo {

ReceiverProbe::ReceiverProbe(CommPort& port, TimerRouter& timers, const Clock& clock)
    : port_(port), timers_(timers), clock_(clock) {
    timers_.on(TimerProbe, [this] { onTimer(); });
}

ReceiverProbe::~ReceiverProbe() {
    timers_.on(TimerProbe, {});
}

void ReceiverProbe::start(std::string_view command, std::string_view answer, Answered answered) {
    command_.assign(command);
    answer_.assign(answer);
    answered_ = std::move(answered);
    phase_ = Phase::Drain;
    port_.output(command_);
    endSecond_ = clock_.nowSeconds() + 2;
    const std::int64_t waitMs = endSecond_ * 1000 - clock_.nowMilliseconds();
    timers_.start(TimerProbe, int(waitMs > 0 ? waitMs : 1));
}

void ReceiverProbe::cancel() {
    timers_.stop(TimerProbe);
    phase_ = Phase::None;
    answered_ = {};
}

void ReceiverProbe::onTimer() {
    timers_.stop(TimerProbe);
    switch (phase_) {
    case Phase::None:
        return;
    case Phase::Drain: {
        port_.input();
        const std::int64_t leftMs = endSecond_ * 1000 - clock_.nowMilliseconds();
        if (leftMs > 0) {
            timers_.start(TimerProbe, int(leftMs));
            return;
        }
        startAnswerWindow();
        return;
    }
    case Phase::Answer:
        readAnswer();
        return;
    }
}

void ReceiverProbe::startAnswerWindow() {
    port_.output(command_);
    phase_ = Phase::Answer;
    endSecond_ = clock_.nowSeconds() + 1;
    readAnswer();
}

void ReceiverProbe::readAnswer() {
    const std::string text = port_.input();
    if (answer_.empty() || text.find(answer_) != std::string::npos) {
        finish(true);
        return;
    }
    if (clock_.nowSeconds() >= endSecond_) {
        finish(false);
        return;
    }
    timers_.start(TimerProbe, kProbePollMs);
}

void ReceiverProbe::finish(bool answered) {
    timers_.stop(TimerProbe);
    phase_ = Phase::None;
    if (Answered done = std::exchange(answered_, {}))
        done(answered);
}

} // namespace kovo
