#include "link/ReceiverLink.h"

#include "data/UiText.h"
#include "link/ReceiverCommands.h"
#include "link/TimerIds.h"

namespace kovo {

namespace {

constexpr int kReceiveThreshold = 2;

constexpr const char* kNoReceiverMessage =
    KOVO_TRANSLATE_NOOP("ReceiverLink", "受信機が接続されていないか、COMポートの設定が違います。");
constexpr const char* kDeviceLostMessage = KOVO_TRANSLATE_NOOP(
    "ReceiverLink", "受信機との接続が切れました。接続が戻ると自動的に再開します。");

bool isSignalShaped(char first) {
    return first == '%' || (first >= 'A' && first <= 'Z');
}

// A fixed message, followed on its own line by what the port reported.
std::string withReason(const char* message, const std::string& reason) {
    return reason.empty() ? std::string(message) : std::string(message) + "\n" + reason;
}

} // namespace

ReceiverLink::ReceiverLink(CommPort& port, TimerRouter& timers, const Clock& clock,
                           Notifier& notifier, const AppSettings& settings)
    : port_(port), timers_(timers), clock_(clock), notifier_(notifier), settings_(settings),
      probe_(port, timers, clock), staleAnswers_(
                                       timers, [this] { return !cutter_.partial().empty(); },
                                       [this] {
                                           if (canSend())
                                               putCommandOnLine();
                                       }) {
    chooseReceiver();
    port_.setEventHandler([this](int code) { onCommEvent(code); });
    timers_.on(TimerReplyTimeout, [this] { onReplyTimeout(); });
    timers_.on(TimerReconnect, [this] { onReconnectTimer(); });
}

ReceiverLink::~ReceiverLink() {
    port_.setEventHandler({});
    timers_.on(TimerReplyTimeout, {});
    timers_.on(TimerReconnect, {});
}

void ReceiverLink::chooseReceiver() {
    receiver_ = pluggedIn_ ? pluggedIn_ : &receiverDescriptionFor(settings_);
    features_ = ReceiverFeatures::of(*receiver_);
}

void ReceiverLink::plugIn(const ReceiverDescription& receiver,
                          std::optional<PortDescription> port) {
    pluggedIn_ = &receiver;
    pluggedPort_ = std::move(port);
    chooseReceiver();
}

void ReceiverLink::unplug() {
    pluggedIn_ = nullptr;
    pluggedPort_.reset();
    chooseReceiver();
}

void ReceiverLink::createControl() {
    chooseReceiver();
    port_.setRThreshold(0);
    port_.setSThreshold(0);
    port_.setInBufferSize(4096);
    port_.setOutBufferSize(1024);
    port_.setOutBufferCount(0);
    port_.setInBufferCount(0);
    port_.setNullDiscard(false);
    port_.setLine(receiverLine(receiver(), settings_.commSpeed));
}

// ---- opening and probing ----

void ReceiverLink::openPort(int portNumber, int speedIndex, ProbeDone done) {
    if (reconnecting_) {
        reconnecting_ = false;
        timers_.stop(TimerReconnect);
    }
    startProbe(portNumber, speedIndex, std::move(done), false);
}

void ReceiverLink::startProbe(int portNumber, int speedIndex, ProbeDone done, bool quiet) {
    if (probing()) {
        // A new opening replaces the probe that was running.
        probe_.cancel();
        if (ProbeDone previous = std::exchange(probeDone_, {}))
            previous(false);
    }
    forgetInFlight();
    forgetPartialReply();
    lastPortNumber_ = portNumber;
    lastSpeedIndex_ = speedIndex;

    if (port_.portOpen())
        port_.setPortOpen(false);
    chooseReceiver();
    line_ = receiverLine(receiver(), speedIndex);
    port_.setLine(line_);
    port_.setInBufferSize(receiver().inBufferSize);
    port_.setOutBufferSize(receiver().outBufferSize);
    port_.setOutBufferCount(0);
    port_.setInBufferCount(0);
    port_.setNullDiscard(false);
    port_.setRThreshold(0);        // no receive events while probing
    port_.setEventCharacter('\0'); // a probe reads whatever comes
    port_.setPort(pluggedPort_ ? *pluggedPort_
                               : describeReceiverPort(settings_, receiver(), portNumber));

    auto failNow = [&] {
        setStatus(reconnecting_ ? LinkStatus::Lost : LinkStatus::Closed);
        // The port's own account of what went wrong; this program adds no
        // message of its own to it.
        const std::string why = port_.lastError();
        if (!quiet && !why.empty())
            notifier_.showMessage(why);
        if (done)
            done(false);
    };
    if (port_.portOpen()) {
        failNow();
        return;
    }
    port_.setPortOpen(true);
    if (!port_.portOpen()) {
        failNow();
        return;
    }

    probeQuiet_ = quiet;
    probeDone_ = std::move(done);
    setStatus(LinkStatus::Probing);
    probe_.start(receiver().probeCommand, receiver().probeAnswer,
                 [this](bool answered) { finishProbe(answered); });
}

void ReceiverLink::finishProbe(bool success) {
    probe_.cancel();
    ProbeDone done = std::exchange(probeDone_, {});
    const bool quiet = probeQuiet_;

    if (!success) {
        // Closed before the message box, which keeps the event loop running.
        if (port_.portOpen())
            port_.setPortOpen(false);
        setStatus(reconnecting_ ? LinkStatus::Lost : LinkStatus::Closed);
        if (!quiet)
            notifier_.showMessage(
                withReason(uiText("ReceiverLink", kNoReceiverMessage).c_str(), port_.lastError()));
        if (done)
            done(false);
        return;
    }

    // Only what the receiver said during the probe is thrown away. The
    // second probe may still be on its way out (a receiver without a prompt
    // succeeds at the first read) and must reach the receiver.
    port_.setInBufferCount(0);
    port_.setLine(line_);
    port_.setRThreshold(kReceiveThreshold);
    port_.setEventCharacter(receiver().eventCharacter());
    lastFlowShown_ = Flow::Unknown;
    forgetPartialReply();
    features_ = port_.receiverFeatures().value_or(ReceiverFeatures::of(receiver()));
    setStatus(LinkStatus::Polling);
    if (reconnecting_) {
        reconnecting_ = false;
        timers_.stop(TimerReconnect);
        // The receiver answers again: the news that it was lost is old.
        notifier_.withdrawMessage(uiText("ReceiverLink", kDeviceLostMessage));
    }
    if (onReceiverFound_)
        onReceiverFound_();
    if (client_)
        client_->sendNext();
    if (done)
        done(true);
}

void ReceiverLink::closePort() {
    if (reconnecting_) {
        reconnecting_ = false;
        timers_.stop(TimerReconnect);
    }
    if (probing()) {
        finishProbe(false);
        return;
    }
    forgetInFlight();
    forgetPartialReply();
    if (port_.portOpen())
        port_.setPortOpen(false);
    setStatus(LinkStatus::Closed);
}

bool ReceiverLink::waitsForAnswer() const {
    return awaitingReply_ && receiver().pacing == ReplyPacing::Answered;
}

bool ReceiverLink::canSend() const {
    return !probing() && port_.portOpen();
}

// ---- commands ----

void ReceiverLink::writeCommand(std::string_view text) {
    if (!canSend())
        return;
    lastCommand_.assign(text);
    lastCommandArmsEcho_ = false;
    awaitingReply_ = true;
    unansweredCopies_ = 1;
    if (staleAnswers_.due()) {
        // Written once the answers still due to the previous command are in.
        staleAnswers_.deferCommand();
        return;
    }
    putCommandOnLine();
}

void ReceiverLink::putCommandOnLine() {
    port_.output(lastCommand_);
    cutter_.commandWritten();
    timers_.start(TimerReplyTimeout, kReplyTimeoutMs);
}

void ReceiverLink::armEcho() {
    reply_.echoCount = 1;
    lastCommandArmsEcho_ = true;
    recentEchoes_.remember(lastCommand_);
}

void ReceiverLink::onReplyTimeout() {
    if (!awaitingReply_ || !canSend()) {
        timers_.stop(TimerReplyTimeout);
        return;
    }
    // Still one command in flight: the same one, again. The timer repeats.
    if (receiver().pacing == ReplyPacing::Answered) {
        // Every copy is answered; the first answer to come is taken and the
        // others are counted off.
        ++unansweredCopies_;
    } else {
        // Whatever arrived of the lost answer is thrown away first, so that
        // a late half of it cannot be taken for a report.
        port_.setInBufferCount(0);
        cutter_.clear();
    }
    port_.output(lastCommand_);
    if (lastCommandArmsEcho_)
        reply_.echoCount = 1;
}

void ReceiverLink::forgetInFlight() {
    awaitingReply_ = false;
    unansweredCopies_ = 0;
    staleAnswers_.forget();
    timers_.stop(TimerReplyTimeout);
}

// A reply cut off by closing or reopening the port answers nothing the new
// line will carry.
void ReceiverLink::forgetPartialReply() {
    cutter_.clear();
    reply_.echoCount = 0;
    recentEchoes_.forget();
}

// ---- events ----

void ReceiverLink::onCommEvent(int code) {
    switch (code) {
    case CommEventReceive: {
        const std::string text = port_.input();
        if (!probing())
            onReceivedText(text);
        return;
    }
    case CommEventBreak:
        if (probing() || !port_.portOpen())
            return;
        port_.setPortOpen(false);
        port_.setPortOpen(true);
        if (!port_.portOpen()) {
            onDeviceLost();
            return;
        }
        requestNextAfterLostReply();
        return;
    case CommEventOverrun:
        port_.input();
        return;
    case CommEventRxOverflow:
        port_.input();
        if (!probing())
            requestNextAfterLostReply();
        return;
    case CommEventDeviceLost:
        onDeviceLost();
        return;
    default:
        return;
    }
}

void ReceiverLink::requestNextAfterLostReply() {
    // The reply of the command in flight is gone with the discarded text.
    cutter_.clear();
    forgetInFlight();
    if (client_)
        client_->sendNext();
}

void ReceiverLink::onDeviceLost() {
    if (probing()) {
        finishProbe(false);
        return;
    }
    forgetInFlight();
    forgetPartialReply();
    if (port_.portOpen())
        port_.setPortOpen(false);
    const bool firstReport = !reconnecting_;
    reconnecting_ = true;
    timers_.start(TimerReconnect, kReconnectIntervalMs);
    setStatus(LinkStatus::Lost);
    if (firstReport)
        notifier_.showMessage(uiText("ReceiverLink", kDeviceLostMessage));
}

void ReceiverLink::onReconnectTimer() {
    if (!reconnecting_) {
        timers_.stop(TimerReconnect);
        return;
    }
    if (probing())
        return;
    startProbe(lastPortNumber_, lastSpeedIndex_, {}, true);
}

// ---- replies ----

void ReceiverLink::onReceivedText(std::string_view text) {
    // One delivery larger than the receive buffer cannot come from a
    // receiver: it is handled as a receive-buffer overflow.
    if (text.size() > std::size_t(receiver().inBufferSize)) {
        requestNextAfterLostReply();
        return;
    }
    const Flow flow =
        cutter_.cut(text, receiver(), [this](std::string_view reply) { onReply(reply); });
    // Shown after the text is cut, so that a burst of flow characters shows
    // one box, not thousands.
    if (flow != Flow::Unknown)
        showFlowMessage(flow);
}

void ReceiverLink::onReply(std::string_view reply) {
    if (receiver().pacing == ReplyPacing::Answered) {
        if (staleAnswers_.take())
            return;
        // This receiver speaks only when spoken to; a reply nobody asked for
        // is noise.
        if (!awaitingReply_)
            return;
    }
    const int copiesStillDue = unansweredCopies_ - 1;
    forgetInFlight();
    if (copiesStillDue > 0)
        staleAnswers_.expect(copiesStillDue);
    if (receiver().echoesTuning() && reply_.echoCount == 0 && recentEchoes_.isRecent(reply)) {
        if (client_)
            client_->sendNext();
        return;
    }
    if (!reply.empty() && isSignalShaped(reply.front())) {
        if (reply_.echoCount == 0) {
            if (client_)
                client_->onSignalReport(reply);
            return;
        }
        ++reply_.echoCount;
        if (reply.front() == 'A' || reply_.echoCount > receiver().tuningEchoReplies)
            reply_.echoCount = 0;
    }
    if (client_)
        client_->sendNext();
}

void ReceiverLink::showFlowMessage(Flow flow) {
    if (flow == lastFlowShown_)
        return;
    lastFlowShown_ = flow;
    notifier_.showMessage(flow == Flow::On ? "X On" : "X Off");
}

void ReceiverLink::setStatus(LinkStatus status) {
    if (status == status_)
        return;
    status_ = status;
    if (observer_)
        observer_->linkStatusChanged(status);
}

} // namespace kovo
