#pragma once
#include <string_view>

#include "data/CKovo5Doc.h"
#include "link/CommandChooser.h"
#include "link/LinkObserver.h"
#include "link/PriorityCheck.h"
#include "link/ReceiverLink.h"
#include "link/TimerRouter.h"

namespace kovo {

// What the last signal report said.
struct SignalState {
    int squelchOpen = 0; // from the last signal report
    int signalLevel = 0; // level letter minus 'A'; 0 with the squelch closed
    int signalValue = 0; // signalLevel limited to 15
};

// Who decides what a signal report means for scanning: the scan engine. It
// reads the report from the polling loop and ends by requesting the next
// command.
class SignalReportSink {
public:
    virtual ~SignalReportSink() = default;
    virtual void handleSignalReport() = 0;
};

// The ping-pong with the receiver: every reply leads to one request for the
// next command. Also starts the priority interval and turns signal reports
// into squelch state and level.
class PollingLoop final : public ReplyClient {
public:
    PollingLoop(CKovo5Doc& doc, PriorityCheck& priority, ReceiverLink& link,
                CommandChooser& chooser, TimerRouter& timers);
    ~PollingLoop() override;
    PollingLoop(const PollingLoop&) = delete;
    PollingLoop& operator=(const PollingLoop&) = delete;

    void setObserver(LinkObserver* observer) { observer_ = observer; }
    void setReportSink(SignalReportSink* sink) { reportSink_ = sink; }

    // Request the next command. While no command can go out (port closed,
    // probe running) or the command in flight waits for its answer, nothing
    // is chosen: the change is carried out when the link is ready.
    void sendNext() override;
    void onSignalReport(std::string_view reply) override;

    // The last signal report.
    const SignalState& signal() const { return signal_; }

    static constexpr int kMaxSignalValue = 15;

private:
    void onPriorityInterval();

    CKovo5Doc& doc_;
    PriorityCheck& priority_;
    ReceiverLink& link_;
    CommandChooser& chooser_;
    TimerRouter& timers_;
    LinkObserver* observer_ = nullptr;
    SignalReportSink* reportSink_ = nullptr;
    SignalState signal_;
    int announcedSquelch_ = 0;
};

} // namespace kovo
