#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <utility>

#include "data/Clock.h"
#include "link/CommPort.h"
#include "link/TimerRouter.h"

namespace kovo {

// Asks whether a receiver is on a freshly opened line: sends the probe
// command, throws away whatever answers it until the clock's second count has
// moved on by two, sends it again and waits up to a second for the answer.
// A receiver without an answer to look for counts as found at the first read.
class ReceiverProbe {
public:
    using Answered = std::function<void(bool receiverAnswered)>;

    ReceiverProbe(CommPort& port, TimerRouter& timers, const Clock& clock);
    ~ReceiverProbe();
    ReceiverProbe(const ReceiverProbe&) = delete;
    ReceiverProbe& operator=(const ReceiverProbe&) = delete;

    // `answered` is called once, when the probe ends, unless it is cancelled.
    void start(std::string_view command, std::string_view answer, Answered answered);
    // Ends a running probe without an answer being called.
    void cancel();
    bool running() const { return phase_ != Phase::None; }

private:
    enum class Phase { None, Drain, Answer };

    void onTimer();
    void startAnswerWindow();
    void readAnswer();
    void finish(bool answered);

    CommPort& port_;
    TimerRouter& timers_;
    const Clock& clock_;
    Phase phase_ = Phase::None;
    std::int64_t endSecond_ = 0; // whole-second count that ends the phase
    std::string command_;
    std::string answer_;
    Answered answered_;
};

} // namespace kovo
