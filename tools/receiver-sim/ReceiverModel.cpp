#include "ReceiverModel.h"

#include "Ar3000Interpreter.h"
#include "Ar3000aInterpreter.h"

#include <algorithm>

namespace kovo::sim {

namespace {

constexpr int kHighestLevel = 25;

std::unique_ptr<ProtocolInterpreter> makeInterpreter(bool ar3000) {
    if (ar3000)
        return std::make_unique<Ar3000Interpreter>();
    return std::make_unique<Ar3000aInterpreter>();
}

} // namespace

ReceiverModel::ReceiverModel(const SimOptions& options, SignalPlan plan, std::int64_t startUs)
    : pacing_(options.baud, options.pacing),
      latencyUs_(std::int64_t(std::max(0, options.latencyMs)) * 1000),
      reportIntervalUs_(std::int64_t(std::max(1, options.reportIntervalMs)) * 1000),
      attenuatorLetters_(options.attenuatorLetters), plan_(std::move(plan)), startUs_(startUs),
      interpreter_(makeInterpreter(options.ar3000)), muted_(options.mute),
      dropped_(options.dropReplies.begin(), options.dropReplies.end()), inboundLineFreeUs_(startUs),
      outboundLineFreeUs_(startUs), nextReportUs_(startUs + reportIntervalUs_) {
    for (const auto& [number, delayMs] : options.delayReplies)
        delayReply(number, delayMs);
}

void ReceiverModel::receive(std::string_view bytes, std::int64_t nowUs) {
    for (unsigned char byte : bytes) {
        if (inbound_.size() >= kInboundLimit)
            return;
        // Each character starts when the line is free and has arrived one
        // character time later.
        const std::int64_t start = std::max(nowUs, inboundLineFreeUs_);
        inboundLineFreeUs_ = start + pacing_.transferUs(1);
        inbound_.push_back({inboundLineFreeUs_, byte});
    }
}

std::string ReceiverModel::collect(std::int64_t nowUs) {
    advance(nowUs);
    std::string out;
    while (!outbound_.empty() && outbound_.front().dueUs <= nowUs) {
        out.push_back(char(outbound_.front().byte));
        outbound_.pop_front();
    }
    return out;
}

std::int64_t ReceiverModel::nextDueUs() const {
    std::int64_t due = kNever;
    if (!inbound_.empty())
        due = std::min(due, inbound_.front().dueUs);
    if (!outbound_.empty())
        due = std::min(due, outbound_.front().dueUs);
    if (reportsRunning())
        due = std::min(due, nextReportUs_);
    return due;
}

char ReceiverModel::reportCharacter(const ReceiverState& state, std::int64_t atUs) const {
    int level = plan_.levelAt(state.frequencyHz, (atUs - startUs_) / 1000);
    if (level >= 0 && state.attenuator)
        level -= attenuatorLetters_;
    if (level < 0)
        return '%';
    return char('A' + std::min(level, kHighestLevel));
}

// Commands and reports are handled in time order, so a report never overtakes
// a command that arrived before it.
void ReceiverModel::advance(std::int64_t nowUs) {
    for (;;) {
        const std::int64_t byteDue = inbound_.empty() ? kNever : inbound_.front().dueUs;
        const std::int64_t reportDue = reportsRunning() ? nextReportUs_ : kNever;
        const std::int64_t due = std::min(byteDue, reportDue);
        if (due > nowUs)
            return;
        if (byteDue <= reportDue) {
            const unsigned char byte = inbound_.front().byte;
            inbound_.pop_front();
            process(byte, byteDue);
        } else {
            sendReport(reportDue);
        }
    }
}

void ReceiverModel::process(unsigned char byte, std::int64_t atUs) {
    const SignalMeter meter = [this, atUs](const ReceiverState& s) {
        return reportCharacter(s, atUs);
    };
    for (const CommandOutcome& outcome : interpreter_->feed(byte, state_, meter)) {
        ++commandCount_;
        note(atUs, TranscriptKind::Received, outcome.received);
        if (!outcome.answered)
            continue;
        std::int64_t readyUs = atUs + latencyUs_;
        if (!delayedCommand_.empty() && outcome.received == delayedCommand_) {
            readyUs += delayedCommandUs_;
            delayedCommand_.clear();
        }
        answer(outcome.answer, readyUs);
    }
}

void ReceiverModel::answer(const std::string& bytes, std::int64_t readyUs) {
    ++answerCount_;
    if (muted_ || dropped_.count(answerCount_) > 0) {
        note(readyUs, TranscriptKind::Withheld, bytes);
        return;
    }
    if (const auto late = delayed_.find(answerCount_); late != delayed_.end())
        readyUs += late->second;
    // An echo goes out before the next unprompted report.
    if (reportsRunning())
        nextReportUs_ = std::max(nextReportUs_, readyUs);
    schedule(bytes, readyUs);
}

void ReceiverModel::sendReport(std::int64_t atUs) {
    nextReportUs_ = atUs + reportIntervalUs_;
    if (muted_)
        return;
    ++reportCount_;
    schedule(interpreter_->reportLine(reportCharacter(state_, atUs)), atUs);
}

void ReceiverModel::schedule(const std::string& bytes, std::int64_t readyUs) {
    const std::int64_t start = std::max(readyUs, outboundLineFreeUs_);
    for (std::size_t i = 0; i < bytes.size(); ++i)
        outbound_.push_back(
            {start + pacing_.transferUs(i + 1), static_cast<unsigned char>(bytes[i])});
    outboundLineFreeUs_ = start + pacing_.transferUs(bytes.size());
    note(start, TranscriptKind::Sent, bytes);
}

void ReceiverModel::note(std::int64_t atUs, TranscriptKind kind, std::string bytes) {
    if (transcript_)
        transcript_({atUs - startUs_, kind, std::move(bytes)});
}

} // namespace kovo::sim
