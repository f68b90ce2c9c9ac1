#include "ipc/PeerLinks.h"

#include "ipc/Blocks.h"
#include "ipc/Codes.h"

#include <algorithm>

namespace kovo::ipc {

void PeerLinks::sendStatus(std::uint32_t code, std::uint32_t value) {
    if (statusClient == kNoWindow) {
        sender_.broadcast(Message::KovoStatus, code, value);
        return;
    }
    if (sender_.send(statusClient, Message::KovoStatus, code, value) == 0)
        statusClient = kNoWindow;
}

std::int32_t PeerLinks::sendAnswer(std::uint32_t code, std::uint32_t value) {
    if (answerClient == kNoWindow)
        return sender_.broadcast(Message::KovoAnswer, code, value);
    return sender_.send(answerClient, Message::KovoAnswer, code, value);
}

std::int32_t PeerLinks::sendRecorder(std::uint32_t code, std::uint32_t value) {
    if (recorder == kNoWindow)
        return sender_.broadcast(Message::BromControl, code, value);
    return sender_.send(recorder, Message::BromControl, code, value);
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

bool PeerLinks::startPlayback(std::uint32_t frequency, std::int32_t time, const std::string& text) {
    if (!recorderLinked())
        return true;
    writeRecord(frequency, time, text);
    return sendRecorder(recorder::kStartPlayback, ownWindow()) >= 0;
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
    sendStatus(control::kStatusClient, 0);
    sendRecorder(recorder::kGoodbye, 0);
}

} // namespace kovo::ipc
