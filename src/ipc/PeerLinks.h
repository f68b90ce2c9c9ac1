#pragma once
#include <cstdint>
#include <functional>
#include <string>

#include "ipc/Messages.h"
#include "ipc/SharedMemory.h"

namespace kovo::ipc {

// The peers of the program: the status client, the answer client and the
// recorder, and how each is reached (a known window, else everybody).
// Nothing here waits for a peer: what a peer answers is acted on when it
// arrives.
class PeerLinks {
public:
    PeerLinks(MessageSender& sender, SharedMemory& memory) : sender_(sender), memory_(memory) {}

    WindowHandle statusClient = kNoWindow;
    WindowHandle answerClient = kNoWindow;
    WindowHandle recorder = kNoWindow;
    bool recordPending = false;

    WindowHandle ownWindow() const { return sender_.ownWindow(); }
    bool recorderLinked() const { return recorder != kNoWindow; }

    // A status or answer client that answers 0 is forgotten.
    void sendStatus(std::uint32_t code, std::uint32_t value);
    void sendAnswer(std::uint32_t code, std::uint32_t value);
    void sendRecorder(std::uint32_t code, std::uint32_t value, MessageSender::Reply reply = {});
    // A window left the bus: whichever peer it was is forgotten.
    void windowLeft(WindowHandle window);

    // Writes the recorder record and sends code 10 while the recorder is linked.
    void handToRecorder(std::uint32_t frequency, std::int32_t time, const std::string& comment);
    // The record of a hit: handed like any other, except when it is the very
    // record still pending (the hit's log entry handed it a moment ago).
    void handHitToRecorder(std::uint32_t frequency, std::int32_t time, const std::string& comment);
    // A handed record is over (the scan moved on, a new state is applied).
    void recordOver();
    // The squelch opened or closed.
    void squelchChanged(bool open);
    // Start of playback (code 12); `answered` hears false when the recorder
    // has no audio for it.
    void startPlayback(std::uint32_t frequency, std::int32_t time, const std::string& text,
                       std::function<void(bool hasAudio)> answered);
    void stopPlayback();

    // What goes out once the view exists, and when the window goes.
    void announceProgram();
    void announceViewReady();
    void announceClosing();
    // The status client hears that the program is going (once, however the
    // program ends).
    void sayGoodbyeToStatusClient();

    // The recorder record alone, in "MemBromControl".
    bool writeRecord(std::uint32_t frequency, std::int32_t time, const std::string& comment);

    static constexpr const char* kRecorderMemory = "MemBromControl";

private:
    struct HandedRecord {
        std::uint32_t frequency = 0;
        std::int32_t time = 0;
        std::string comment;
        bool operator==(const HandedRecord&) const = default;
    };

    MessageSender& sender_;
    HandedRecord lastHanded_;
    SharedMemory& memory_;
    bool statusGoodbyeSaid_ = false;
};

} // namespace kovo::ipc
