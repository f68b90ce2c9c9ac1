#include "ipc/PeerLinks.h"

#include "ipc/Blocks.h"
#include "ipc/Codes.h"

#include <algorithm>

namespace kovo::ipc {

// A client's answer of 0 forgets it, unless another client took its place
// while the message was on its way.
void PeerLinks::sendStatus(std::uint32_t code, std::uint32_t value) {
    if (statusClient == kNoWindow) {
        sender_.postToAll(Message::KovoStatus, code, value);
        return;
    }
    sender_.post(statusClient, Message::KovoStatus, code, value,
                 [this, client = statusClient](std::int32_t result) {
                     if (result == 0 && statusClient == client)
                         statusClient = kNoWindow;
                 });
}

void PeerLinks::sendAnswer(std::uint32_t code, std::uint32_t value) {
    if (answerClient == kNoWindow) {
        sender_.postToAll(Message::KovoAnswer, code, value);
        return;
    }
    sender_.post(answerClient, Message::KovoAnswer, code, value,
                 [this, client = answerClient](std::int32_t result) {
                     if (result == 0 && answerClient == client)
                         answerClient = kNoWindow;
                 });
}

void PeerLinks::sendRecorder(std::uint32_t code, std::uint32_t value, MessageSender::Reply reply) {
    if (recorder == kNoWindow) {
        sender_.postToAll(Message::BromControl, code, value);
        if (reply)
            reply(0);
        return;
    }
    sender_.post(recorder, Message::BromControl, code, value, std::move(reply));
}

void PeerLinks::windowLeft(WindowHandle window) {
    if (window == kNoWindow)
        return;
    if (statusClient == window)
        statusClient = kNoWindow;
    if (answerClient == window)
        answerClient = kNoWindow;
    if (recorder == window) {
        recorder = kNoWindow;
        recordPending = false;
    }
}

bool PeerLinks::writeRecord(std::uint32_t frequency, std::int32_t time,
                            const std::string& comment) {
    std::vector<std::uint8_t> record(kRecorderRecordSize, 0);
    ipc::writeRecorderRecord(record, frequency, time, comment);
    const std::size_t end =
        20 + std::min<std::size_t>(std::min(comment.size(), comment.find('\0')), 63) + 1;
    return memory_.write(kRecorderMemory,
                         {{4, {record.begin() + 4, record.begin() + 12}},
                          {20, {record.begin() + 20, record.begin() + std::ptrdiff_t(end)}}});
}

void PeerLinks::handToRecorder(std::uint32_t frequency, std::int32_t time,
                               const std::string& comment) {
    if (!recorderLinked())
        return;
    writeRecord(frequency, time, comment);
    sendRecorder(recorder::kRecordWritten, ownWindow());
    recordPending = true;
    lastHanded_ = {frequency, time, comment};
}

void PeerLinks::handHitToRecorder(std::uint32_t frequency, std::int32_t time,
                                  const std::string& comment) {
    if (recordPending && lastHanded_ == HandedRecord{frequency, time, comment})
        return;
    handToRecorder(frequency, time, comment);
}

void PeerLinks::recordOver() {
    if (!recordPending)
        return;
    if (recorderLinked())
        sendRecorder(recorder::kScanMovedOn, ownWindow());
    recordPending = false;
}

void PeerLinks::squelchChanged(bool open) {
    if (recorderLinked())
        sendRecorder(open ? recorder::kSquelchOpened : recorder::kSquelchClosed, ownWindow());
}

void PeerLinks::startPlayback(std::uint32_t frequency, std::int32_t time, const std::string& text,
                              std::function<void(bool hasAudio)> answered) {
    if (!recorderLinked()) {
        answered(true);
        return;
    }
    writeRecord(frequency, time, text);
    sendRecorder(recorder::kStartPlayback, ownWindow(),
                 [answered = std::move(answered)](std::int32_t result) { answered(result >= 0); });
}

void PeerLinks::stopPlayback() {
    if (recorderLinked())
        sendRecorder(recorder::kStopPlayback, ownWindow());
}

void PeerLinks::announceProgram() {
    sendStatus(control::kStatusClientAnnounced, ownWindow());
    sendAnswer(control::kAnswerClientAnnounced, ownWindow());
    sendRecorder(recorder::kHello, ownWindow());
}

void PeerLinks::announceViewReady() {
    sendAnswer(answer::kViewReady, ownWindow());
}

void PeerLinks::announceClosing() {
    sayGoodbyeToStatusClient();
    sendRecorder(recorder::kGoodbye, 0);
}

void PeerLinks::sayGoodbyeToStatusClient() {
    if (statusGoodbyeSaid_)
        return;
    statusGoodbyeSaid_ = true;
    sendStatus(control::kStatusClient, 0);
}

} // namespace kovo::ipc
