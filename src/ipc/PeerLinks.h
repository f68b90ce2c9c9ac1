#pragma once
#include <cstdint>
#include <string>

#include "ipc/Messages.h"
#include "ipc/SharedMemory.h"

namespace kovo::ipc {

// The peers of the program: the status client, the answer client and the
// recorder, and how each is reached (a known window, else everybody).
class PeerLinks {
public:
    PeerLinks(MessageSender& sender, SharedMemory& memory) : sender_(sender), memory_(memory) {}

    WindowHandle statusClient = kNoWindow;
    WindowHandle answerClient = kNoWindow;
    WindowHandle recorder = kNoWindow;
    bool recordPending = false;

    WindowHandle ownWindow() const { return sender_.ownWindow(); }
    bool recorderLinked() const { return recorder != kNoWindow; }

    // A status client that answers 0 is forgotten.
    void sendStatus(std::uint32_t code, std::uint32_t value);
    std::int32_t sendAnswer(std::uint32_t code, std::uint32_t value);
    std::int32_t sendRecorder(std::uint32_t code, std::uint32_t value);

    // Writes the recorder record and sends code 10 while the recorder is linked.
    void handToRecorder(std::uint32_t frequency, std::int32_t time, const std::string& comment);
    // A handed record is over (the scan moved on, a new state is applied).
    void recordOver();
    // The squelch opened or closed.
    void squelchChanged(bool open);
    // Start of playback (code 12); false when the recorder has no audio.
    bool startPlayback(std::uint32_t frequency, std::int32_t time, const std::string& text);
    void stopPlayback();

    // What goes out once the view exists, and when the window goes.
    void announceProgram();
    void announceViewReady();
    void announceClosing();

    // The recorder record alone, in "MemBromControl".
    bool writeRecord(std::uint32_t frequency, std::int32_t time, const std::string& comment);

    static constexpr const char* kRecorderMemory = "MemBromControl";

private:
    MessageSender& sender_;
    SharedMemory& memory_;
};

} // namespace kovo::ipc
