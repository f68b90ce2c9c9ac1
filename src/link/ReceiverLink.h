#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "data/AppSettings.h"
#include "data/Clock.h"
#include "data/Notifier.h"
#include "link/CommPort.h"
#include "link/LinkObserver.h"
#include "link/ReceiverDescription.h"
#include "link/ReceiverFeatures.h"
#include "link/ReceiverPort.h"
#include "link/ReceiverProbe.h"
#include "link/ReplyCutter.h"
#include "link/StaleAnswers.h"
#include "link/TimerRouter.h"

namespace kovo {

// Who acts on complete replies: the polling loop.
class ReplyClient {
public:
    virtual ~ReplyClient() = default;
    // Request the next command (after any reply that is not a signal report).
    virtual void sendNext() = 0;
    // A signal report: the reply starts with '%' or 'A'..'Z'.
    virtual void onSignalReport(std::string_view reply) = 0;
};

// The serial link to the receiver: sets the port up, opens it and probes the
// receiver, writes commands, cuts received text into replies and classifies
// them. Keeps one command in flight: a command that gets no reply within a
// second is written again, and a port whose device goes away is reopened
// periodically until the receiver answers again.
//
// Everything runs on one thread; waiting is done with timers, never by
// spinning.
class ReceiverLink {
public:
    using ProbeDone = std::function<void(bool receiverAnswered)>;

    // A reply longer than this is noise; it is dropped and treated as a reply
    // without information.
    static constexpr std::size_t kMaxReplyLength = ReplyCutter::kMaxReplyLength;

    ReceiverLink(CommPort& port, TimerRouter& timers, const Clock& clock, Notifier& notifier,
                 const AppSettings& settings);
    ~ReceiverLink();
    ReceiverLink(const ReceiverLink&) = delete;
    ReceiverLink& operator=(const ReceiverLink&) = delete;

    void setClient(ReplyClient* client) { client_ = client; }
    void setObserver(LinkObserver* observer) { observer_ = observer; }
    // Called after every successful probe, before the first command goes out:
    // the receiver now on the line may hold any tuning (another receiver,
    // another port, or one that was switched off meanwhile).
    void setReceiverFoundHandler(std::function<void()> handler) {
        onReceiverFound_ = std::move(handler);
    }

    // Initial settings of the port when the main window is created; the port
    // stays closed.
    void createControl();

    // The receiver on the line. Chosen from the settings ("UseHamlib",
    // "Device") at creation and at every opening of the port (the receiver
    // can only change with a reopening), unless one was plugged in.
    const ReceiverDescription& receiver() const { return *receiver_; }
    // Serves a receiver described here instead of the one the settings name,
    // on `port` when one is given (a stand-in such as the demo's simulator,
    // whose kind and device hold whatever the settings say); it stays until
    // it is unplugged or the link ends.
    void plugIn(const ReceiverDescription& receiver,
                std::optional<PortDescription> port = std::nullopt);
    // Back to the receiver and the port the settings name, from the next
    // opening on: both go together, so no receiver is spoken to in another
    // one's commands.
    void unplug();
    bool pluggedIn() const { return pluggedIn_ != nullptr; }
    // What the receiver on the line can do: what its description says, or,
    // once found, what the port learnt of it (a radio that describes itself).
    const ReceiverFeatures& features() const { return features_; }

    // Closes the port if open, sets it up for the port number (1 = COM1) and
    // speed index, opens it and probes the receiver. `done` is called exactly
    // once: before openPort returns when the port cannot be opened, otherwise
    // when the probe ends (at most about three seconds later). On success the
    // first command is requested before `done` runs.
    void openPort(int portNumber, int speedIndex, ProbeDone done = {});
    // Closes the port (ends a running probe as failed, stops reconnecting).
    void closePort();

    // Writes one command if the port is open and no probe runs; otherwise the
    // text is dropped.
    void writeCommand(std::string_view text);
    // The command just written is a tuning command the receiver echoes:
    // swallow its echo.
    void armEcho();

    // Handler of the port's events.
    void onCommEvent(int code);
    // Cuts received text into replies.
    void onReceivedText(std::string_view text);
    // Classifies one complete reply.
    void onReply(std::string_view reply);

    // True while commands can go out: the port is open and no probe runs.
    bool canSend() const;
    bool probing() const { return probe_.running(); }
    // True while a written command waits for its reply.
    bool awaitingReply() const { return awaitingReply_; }
    // True while the next command must wait: the receiver answers every
    // command and the answer to the last one is not in yet.
    bool waitsForAnswer() const;
    // True while answers to earlier copies of a resent command are still
    // awaited; a command chosen meanwhile is held back until they are in.
    bool awaitingStaleAnswers() const { return staleAnswers_.due(); }
    LinkStatus status() const { return status_; }
    // The part of a reply received so far.
    const std::string& partialReply() const { return cutter_.partial(); }
    // Signal-shaped replies still taken for the echo of a tuning command.
    int echoesToSwallow() const { return reply_.echoCount; }

private:
    // Tests reach the reply state to set up states no receiver produces.
    friend struct ReceiverLinkTestAccess;

    using Flow = ReplyCutter::Flow;
    struct ReplyState {
        int echoCount = 0; // signal-shaped replies to swallow after a tuning command
    };

    void chooseReceiver();
    void startProbe(int portNumber, int speedIndex, ProbeDone done, bool quiet);
    void finishProbe(bool success);
    void requestNextAfterLostReply();
    void forgetInFlight();
    void forgetPartialReply();
    void putCommandOnLine();
    void onReplyTimeout();
    void onDeviceLost();
    void onReconnectTimer();
    void setStatus(LinkStatus status);
    void showFlowMessage(Flow flow);

    CommPort& port_;
    TimerRouter& timers_;
    const Clock& clock_;
    Notifier& notifier_;
    const AppSettings& settings_;
    ReplyClient* client_ = nullptr;
    LinkObserver* observer_ = nullptr;
    std::function<void()> onReceiverFound_;

    const ReceiverDescription* receiver_ = nullptr;
    ReceiverFeatures features_;
    const ReceiverDescription* pluggedIn_ = nullptr;
    std::optional<PortDescription> pluggedPort_;
    ReplyState reply_;
    ReplyCutter cutter_;
    TuningEchoes recentEchoes_;
    LinkStatus status_ = LinkStatus::Closed;
    ReceiverProbe probe_;
    // How the running probe ends: quietly (a reconnect attempt), and whom it tells.
    bool probeQuiet_ = false;
    ProbeDone probeDone_;
    LineSetting line_;

    bool awaitingReply_ = false;
    bool lastCommandArmsEcho_ = false;
    std::string lastCommand_;
    // Copies of the command in flight written and not yet answered (more
    // than one after a resend to a receiver that answers every copy).
    int unansweredCopies_ = 0;
    StaleAnswers staleAnswers_;
    Flow lastFlowShown_ = Flow::Unknown;

    bool reconnecting_ = false;
    int lastPortNumber_ = 1;
    int lastSpeedIndex_ = 0;
};

} // namespace kovo
