#pragma once
#include <QDBusConnection>
#include <QObject>

#include <functional>
#include <memory>

#include "data/DocumentChange.h"
#include "data/Notices.h"
#include "data/Notifier.h"
#include "ipc/ControlDispatcher.h"
#include "ipc/PeerLinks.h"
#include "ipc/SharedMemory.h"
#include "ipc/WindowBus.h"
#include "link/LinkNotices.h"
#include "scan/HitNotice.h"
#include "scan/ProgramNotices.h"

namespace kovo {
class CKovo5Doc;
}

namespace kovo::ipc {

// The program's end of the links to other programs: its window on the bus,
// the peers, and the dispatcher of what they send. Until a target is
// attached every command is refused; without a session bus nothing is
// sent and nothing arrives. Nothing it sends waits for the peer.
class ExternalLink final : public PeerPresence {
public:
    explicit ExternalLink(QDBusConnection connection, std::function<QString()> title,
                          std::unique_ptr<SharedMemory> memory = nullptr);
    ~ExternalLink() override;

    // The program itself, once it exists; `notifier` tells the user what
    // the link cannot use (without one, standard error does).
    void attach(ControlTarget& target, Notifier* notifier = nullptr);
    // The target goes: every command is refused again.
    void detach();
    // Takes a window handle on the bus; false without a bus. The titles of
    // the other windows are learnt as they come, for vfoPeerPresent.
    bool open() { return bus_->open(true); }
    // What another start of the program asks for: the window to the front.
    void setActivation(std::function<void()> activate) { activate_ = std::move(activate); }
    WindowBus& bus() { return *bus_; }
    PeerLinks& peers() { return peers_; }

    // What the recorder hears of, as it happens: every log entry the
    // document opens, every hit the scan begins and every step it moves on.
    // Subscribed for as long as this link lives.
    void followRecorderNews(CKovo5Doc& doc, Notices<HitNotice>& hits,
                            Notices<ScanMovedOn>& movesOn);

    // A log entry was opened: the recorder records it.
    void logEntryOpened(std::uint32_t frequency, std::int32_t time, const std::string& comment);
    // The scan moves on: a record handed to the recorder is over.
    void scanMovedOn() { peers_.recordOver(); }
    // A hit began: every hit is handed to the recorder, also one whose log
    // entry was not opened (logging off) or was opened with the same record.
    void hitBegan(std::uint32_t frequency, std::int32_t time, const std::string& comment) {
        peers_.handHitToRecorder(frequency, time, comment);
    }

    // What the peers hear of the program's life and of the receiver's
    // squelch, as it happens. Subscribed for as long as this link lives.
    void followProgram(Notices<ProgramNotice>& program, Notices<LinkNotice>& link);

    void announceProgram() { peers_.announceProgram(); }
    void viewReady() { peers_.announceViewReady(); }
    void squelchChanged(bool open) { peers_.squelchChanged(open); }
    void windowClosing();

    // PeerPresence
    bool vfoPeerPresent() override;

    // What the database panel asks of the recorder.
    bool recorderLinked() const { return peers_.recorderLinked(); }
    // Asks the recorder to play what it recorded at `frequency` from `time`;
    // `noAudio` runs when it answers, later, that it has no such recording.
    void startPlayback(std::uint32_t frequency, std::int32_t time, const std::string& text,
                       std::function<void()> noAudio);
    void stopPlayback() { peers_.stopPlayback(); }
    // A row was tuned from the list: the recorder hears of it while the
    // squelch is open.
    void tunedFromList(std::uint32_t frequency, const std::string& comment);
    void bankNamesChanged() { peers_.announceViewReady(); }

    static constexpr const char* kVfoPeerTitle = "PERN5000";
    // How long a closing program waits for its last messages to be taken.
    static constexpr int kClosingSettleMs = 1000;

private:
    std::int32_t handle(Message m, std::uint32_t wParam, std::uint32_t lParam);
    void sharedMemoryRefused(const std::string& text);

    std::unique_ptr<SharedMemory> memory_;
    std::unique_ptr<WindowBus> bus_;
    PeerLinks peers_;
    ControlTarget* target_ = nullptr;
    Notifier* notifier_ = nullptr;
    std::function<void()> activate_;
    std::unique_ptr<ControlDispatcher> dispatcher_;
    Subscription logSubscription_;
    Subscription hitSubscription_;
    Subscription moveSubscription_;
    Subscription programSubscription_;
    Subscription squelchSubscription_;
};

} // namespace kovo::ipc
