#pragma once
#include "ProtocolInterpreter.h"
#include "ReceiverState.h"
#include "SignalPlan.h"
#include "SimOptions.h"
#include "Transcript.h"
#include "WirePacing.h"

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <string_view>

namespace kovo::sim {

// A simulated receiver without any I/O: bytes written by the program go in
// with the time they were written; answers and reports come out at the time
// their last bit would have reached the program. Times are microseconds on
// any steady scale; the model's own clock starts at `startUs`.
//
// Each direction of the line carries one character per 11 bit times. A
// command is acted on once its last character has arrived; its answer is ready
// `latencyMs` later and goes out when the line back is free.
class ReceiverModel {
public:
    static constexpr std::int64_t kNever = INT64_MAX;
    // Bytes waiting to arrive beyond this are lost, like a receive overrun.
    static constexpr std::size_t kInboundLimit = 65536;

    using TranscriptSink = std::function<void(const TranscriptEntry&)>;

    ReceiverModel(const SimOptions& options, SignalPlan plan, std::int64_t startUs = 0);

    // Bytes the program wrote at nowUs.
    void receive(std::string_view bytes, std::int64_t nowUs);
    // Acts on everything due by nowUs and returns the bytes that have reached
    // the program by then.
    std::string collect(std::int64_t nowUs);
    // When the next thing happens (a byte arrives, a command is acted on, an
    // answer byte is delivered, a report is due); kNever if nothing will.
    std::int64_t nextDueUs() const;

    const ReceiverState& state() const { return state_; }
    void setState(const ReceiverState& state) { state_ = state; }
    void setPlan(SignalPlan plan) { plan_ = std::move(plan); }
    void setMuted(bool muted) { muted_ = muted; }
    bool muted() const { return muted_; }
    // Holds back the answer with this 1-based number (counted over all answers).
    void dropReply(long number) { dropped_.insert(number); }
    void dropNextReply() { dropped_.insert(answerCount_ + 1); }
    // Sends the answer with this 1-based number `delayMs` late; later answers
    // and reports wait behind it, as they would behind a busy receiver.
    void delayReply(long number, int delayMs) { delayed_[number] = std::int64_t(delayMs) * 1000; }
    void delayNextReply(int delayMs) { delayReply(answerCount_ + 1, delayMs); }
    // Sends the next answer to exactly `command` (e.g. "Y\r") `delayMs` late.
    void delayNextAnswerTo(std::string command, int delayMs) {
        delayedCommand_ = std::move(command);
        delayedCommandUs_ = std::int64_t(delayMs) * 1000;
    }
    void setTranscriptSink(TranscriptSink sink) { transcript_ = std::move(sink); }

    long commandCount() const { return commandCount_; }
    long answerCount() const { return answerCount_; }
    long reportCount() const { return reportCount_; }
    const WirePacing& pacing() const { return pacing_; }

    // '%' or 'A'…'Z' for the given tuning at time atUs.
    char reportCharacter(const ReceiverState& state, std::int64_t atUs) const;

private:
    struct TimedByte {
        std::int64_t dueUs;
        unsigned char byte;
    };

    void advance(std::int64_t nowUs);
    void process(unsigned char byte, std::int64_t atUs);
    void answer(const std::string& bytes, std::int64_t readyUs);
    void sendReport(std::int64_t atUs);
    void schedule(const std::string& bytes, std::int64_t readyUs);
    void note(std::int64_t atUs, TranscriptKind kind, std::string bytes);
    bool reportsRunning() const { return interpreter_->sendsReports(); }

    WirePacing pacing_;
    std::int64_t latencyUs_;
    std::int64_t reportIntervalUs_;
    int attenuatorLetters_;
    SignalPlan plan_;
    std::int64_t startUs_;
    std::unique_ptr<ProtocolInterpreter> interpreter_;
    ReceiverState state_;
    bool muted_;
    std::set<long> dropped_;
    std::map<long, std::int64_t> delayed_; // answer number -> extra microseconds
    std::string delayedCommand_;           // empty: none
    std::int64_t delayedCommandUs_ = 0;
    TranscriptSink transcript_;

    std::deque<TimedByte> inbound_;
    std::int64_t inboundLineFreeUs_;
    std::deque<TimedByte> outbound_;
    std::int64_t outboundLineFreeUs_;
    std::int64_t nextReportUs_;

    long commandCount_ = 0;
    long answerCount_ = 0;
    long reportCount_ = 0;
};

} // namespace kovo::sim
