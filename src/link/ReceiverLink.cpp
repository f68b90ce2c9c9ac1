#include "link/ReceiverLink.h"

#include "data/UiText.h"
#include "link/ReceiverCommands.h"
#include "link/TimerIds.h"

namespace kovo {

namespace {

// Line characters: they end a reply where the receiver's description says
// so and are dropped otherwise; none is ever part of a reply.
constexpr std::string_view kLineCharacters = "\r\n>";
constexpr char kXOn = 0x11;
constexpr char kXOff = 0x13;
constexpr int kReceiveThreshold = 2;

constexpr const char* kNoReceiverMessage =
    KOVO_TRANSLATE_NOOP("ReceiverLink", "受信機が接続されていないか、COMポートの設定が違います。");
constexpr const char* kDeviceLostMessage = KOVO_TRANSLATE_NOOP(
    "ReceiverLink", "受信機との接続が切れました。接続が戻ると自動的に再開します。");

bool isSignalShaped(char first) {
    return first == '%' || (first >= 'A' && first <= 'Z');
}

// The receiver's line at the speed of the "CommSpeed" index.
LineSetting receiverLine(const ReceiverDescription& receiver, int speedIndex) {
    if (speedIndex < 0 || speedIndex >= int(kCommSpeedTable.size()))
        speedIndex = 0;
    return receiver.line(kCommSpeedTable[std::size_t(speedIndex)]);
}

// A fixed message, followed on its own line by what the port reported.
std::string withReason(const char* message, const std::string& reason) {
    return reason.empty() ? std::string(message) : std::string(message) + "\n" + reason;
}

} // namespace

ReceiverLink::ReceiverLink(CommPort& port, TimerRouter& timers, const Clock& clock,
                           Notifier& notifier, const AppSettings& settings)
    : port_(port), timers_(timers), clock_(clock), notifier_(notifier), settings_(settings) {
    chooseReceiver();
    port_.setEventHandler([this](int code) { onCommEvent(code); });
    timers_.on(TimerProbe, [this] { onProbeTimer(); });
    timers_.on(TimerReplyTimeout, [this] { onReplyTimeout(); });
    timers_.on(TimerReconnect, [this] { onReconnectTimer(); });
    timers_.on(TimerStaleReplyGuard, [this] { onStaleReplyGuard(); });
}

ReceiverLink::~ReceiverLink() {
    port_.setEventHandler({});
    timers_.on(TimerProbe, {});
    timers_.on(TimerReplyTimeout, {});
    timers_.on(TimerReconnect, {});
    timers_.on(TimerStaleReplyGuard, {});
}

void ReceiverLink::chooseReceiver() {
    receiver_ = pluggedIn_ ? pluggedIn_ : &receiverDescriptionFor(settings_);
    features_ = ReceiverFeatures::of(*receiver_);
}

void ReceiverLink::plugIn(const ReceiverDescription& receiver) {
    pluggedIn_ = &receiver;
    receiver_ = pluggedIn_;
    features_ = ReceiverFeatures::of(*receiver_);
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
        ProbeDone previous = std::move(probe_.done);
        probe_ = Probe{};
        timers_.stop(TimerProbe);
        if (previous)
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
    port_.setRThreshold(0); // no receive events while probing
    port_.setPort(describePort(portNumber));

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

    probe_.phase = ProbePhase::Drain;
    probe_.quiet = quiet;
    probe_.done = std::move(done);
    setStatus(LinkStatus::Probing);
    port_.output(std::string(receiver().probeCommand));
    // Whatever answers the first carriage return is thrown away until the
    // clock's second count has moved on by two.
    probe_.endSecond = clock_.nowSeconds() + 2;
    const std::int64_t waitMs = probe_.endSecond * 1000 - clock_.nowMilliseconds();
    timers_.start(TimerProbe, int(waitMs > 0 ? waitMs : 1));
}

void ReceiverLink::onProbeTimer() {
    timers_.stop(TimerProbe);
    switch (probe_.phase) {
    case ProbePhase::None:
        return;
    case ProbePhase::Drain: {
        port_.input();
        const std::int64_t leftMs = probe_.endSecond * 1000 - clock_.nowMilliseconds();
        if (leftMs > 0) {
            timers_.start(TimerProbe, int(leftMs));
            return;
        }
        startAnswerWindow();
        return;
    }
    case ProbePhase::Answer:
        readAnswer();
        return;
    }
}

void ReceiverLink::startAnswerWindow() {
    port_.output(std::string(receiver().probeCommand));
    probe_.phase = ProbePhase::Answer;
    probe_.endSecond = clock_.nowSeconds() + 1;
    readAnswer();
}

void ReceiverLink::readAnswer() {
    const std::string text = port_.input();
    // A receiver without a prompt has nothing to say: any read counts.
    const std::string_view answer = receiver().probeAnswer;
    if (answer.empty() || text.find(answer) != std::string::npos) {
        finishProbe(true);
        return;
    }
    if (clock_.nowSeconds() >= probe_.endSecond) {
        finishProbe(false);
        return;
    }
    timers_.start(TimerProbe, kProbePollMs);
}

void ReceiverLink::finishProbe(bool success) {
    timers_.stop(TimerProbe);
    ProbeDone done = std::move(probe_.done);
    const bool quiet = probe_.quiet;
    probe_ = Probe{};

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
    lastFlowShown_ = Flow::Unknown;
    forgetPartialReply();
    features_ = port_.receiverFeatures().value_or(ReceiverFeatures::of(receiver()));
    setStatus(LinkStatus::Polling);
    if (reconnecting_) {
        reconnecting_ = false;
        timers_.stop(TimerReconnect);
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

PortDescription ReceiverLink::describePort(int portNumber) const {
    if (settings_.useHamlib == 1) {
        PortDescription radio;
        radio.kind = PortDescription::Kind::Hamlib;
        radio.path = settings_.hamlibPort;
        radio.text = "Hamlib model " + std::to_string(settings_.hamlibModel);
        radio.hamlib = {settings_.hamlibModel, settings_.hamlibSpeed, settings_.hamlibThreshold,
                        settings_.hamlibSettle, settings_.hamlibUseDcd != 0};
        return radio;
    }
    if (portNumber < 1 || portNumber > int(settings_.comDevice.size())) {
        PortDescription none;
        none.problem = "COM" + std::to_string(portNumber) + " is not a port of this program";
        return none;
    }
    return PortDescription::parse(settings_.comDevice[std::size_t(portNumber - 1)]);
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
    if (staleAnswersDue_ > 0) {
        // Written once the answers still due to the previous command are in.
        commandDeferred_ = true;
        return;
    }
    putCommandOnLine();
}

void ReceiverLink::putCommandOnLine() {
    port_.output(lastCommand_);
    if (cuttingText_)
        wroteWhileCutting_ = true;
    timers_.start(TimerReplyTimeout, kReplyTimeoutMs);
}

void ReceiverLink::writeDeferredCommand() {
    timers_.stop(TimerStaleReplyGuard);
    staleAnswersDue_ = 0;
    staleGuardExtensions_ = 0;
    if (!commandDeferred_)
        return;
    commandDeferred_ = false;
    if (canSend())
        putCommandOnLine();
}

// An answer to a copy of a command that was already answered: it answers
// nothing now. Returns true when the reply was such an answer.
bool ReceiverLink::takeStaleReply() {
    if (staleAnswersDue_ == 0)
        return false;
    if (--staleAnswersDue_ == 0)
        writeDeferredCommand();
    return true;
}

void ReceiverLink::onStaleReplyGuard() {
    // An answer still arriving keeps the guard up a little longer, so that
    // its end is not taken for the answer to the next command.
    constexpr int kMaxExtensions = 3;
    if (!reply_.lineBuffer.empty() && staleGuardExtensions_ < kMaxExtensions) {
        ++staleGuardExtensions_;
        timers_.start(TimerStaleReplyGuard, kStaleReplyGuardMs);
        return;
    }
    // The first copy was lost, not late: no second answer is coming.
    writeDeferredCommand();
}

void ReceiverLink::armEcho() {
    reply_.echoCount = 1;
    lastCommandArmsEcho_ = true;
    recentEchoes_[nextEcho_] = lastCommand_;
    nextEcho_ = (nextEcho_ + 1) % recentEchoes_.size();
}

// An echoing receiver echoes a tuning command as a line of its own text. After a
// resend the receiver echoes every copy, and the copies' echoes may come on
// either side of a report; one that came after the swallowing ended would
// read as a signal at level "T".
bool ReceiverLink::isEchoOfRecentTuning(std::string_view reply) const {
    for (const std::string& echo : recentEchoes_)
        if (!echo.empty() && reply == echo)
            return true;
    return false;
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
        reply_.lineBuffer.clear();
        replyOverlong_ = false;
    }
    port_.output(lastCommand_);
    if (lastCommandArmsEcho_)
        reply_.echoCount = 1;
}

void ReceiverLink::forgetInFlight() {
    awaitingReply_ = false;
    unansweredCopies_ = 0;
    staleAnswersDue_ = 0;
    staleGuardExtensions_ = 0;
    commandDeferred_ = false;
    timers_.stop(TimerReplyTimeout);
    timers_.stop(TimerStaleReplyGuard);
}

// A reply cut off by closing or reopening the port answers nothing the new
// line will carry.
void ReceiverLink::forgetPartialReply() {
    reply_.lineBuffer.clear();
    reply_.echoCount = 0;
    replyOverlong_ = false;
    recentEchoes_.fill({});
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
    reply_.lineBuffer.clear();
    replyOverlong_ = false;
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
    const ReceiverDescription& described = receiver();
    Flow flow = Flow::Unknown;
    // Messages no longer run an event loop under the link, but a client that
    // does (a modal dialog of another program's making) must not garble the
    // cutting: an inner call cuts its own text and the outer one carries on.
    const bool outerCutting = cuttingText_;
    const bool outerWrote = wroteWhileCutting_;
    cuttingText_ = true;
    wroteWhileCutting_ = false;
    for (char c : text) {
        // Text after a command went out was received before it: it cannot
        // answer that command.
        if (wroteWhileCutting_)
            break;
        if (described.endsReply(c)) {
            endReply();
        } else if (kLineCharacters.find(c) != std::string_view::npos) {
            // dropped: never part of a reply
        } else if (c == kXOn) {
            flow = Flow::On;
        } else if (c == kXOff) {
            flow = Flow::Off;
        } else if (reply_.lineBuffer.size() < kMaxReplyLength) {
            reply_.lineBuffer += c;
        } else {
            replyOverlong_ = true;
        }
    }
    cuttingText_ = outerCutting;
    wroteWhileCutting_ = outerWrote || (outerCutting && wroteWhileCutting_);
    // Shown after the text is cut, so that a burst of flow characters shows
    // one box, not thousands.
    if (flow != Flow::Unknown)
        showFlowMessage(flow);
}

void ReceiverLink::endReply() {
    std::string reply;
    reply.swap(reply_.lineBuffer);
    if (replyOverlong_) {
        reply.clear();
        replyOverlong_ = false;
    }
    onReply(reply);
}

void ReceiverLink::onReply(std::string_view reply) {
    if (receiver().pacing == ReplyPacing::Answered) {
        if (takeStaleReply())
            return;
        // This receiver speaks only when spoken to; a reply nobody asked for
        // is noise.
        if (!awaitingReply_)
            return;
    }
    const int copiesStillDue = unansweredCopies_ - 1;
    forgetInFlight();
    if (copiesStillDue > 0) {
        staleAnswersDue_ = copiesStillDue;
        timers_.start(TimerStaleReplyGuard, kStaleReplyGuardMs);
    }
    if (receiver().echoesTuning() && reply_.echoCount == 0 && isEchoOfRecentTuning(reply)) {
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
