#include "ipc/ExternalLink.h"

#include "data/CKovo5Doc.h"
#include "ipc/ProgramWindow.h"

#include <cstdio>

namespace kovo::ipc {

ExternalLink::ExternalLink(QDBusConnection connection, std::function<QString()> title,
                           std::unique_ptr<SharedMemory> memory)
    : memory_(memory ? std::move(memory)
                     : std::make_unique<PosixSharedMemory>(
                           [this](const std::string& text) { sharedMemoryRefused(text); })),
      bus_(std::make_unique<WindowBus>(
          std::move(connection),
          QList<Message>{Message::KovoControl, Message::KovoConfig, Message::BromAnswer},
          [this](Message m, std::uint32_t w, std::uint32_t l) { return handle(m, w, l); },
          std::move(title))),
      peers_(*bus_, *memory_) {
    bus_->setWindowLeft([this](WindowHandle window) { peers_.windowLeft(window); });
    new ProgramAdaptor(*bus_, [this] {
        if (activate_)
            activate_();
    });
}

ExternalLink::~ExternalLink() = default;

void ExternalLink::attach(ControlTarget& target, Notifier* notifier) {
    target_ = &target;
    notifier_ = notifier;
    dispatcher_ = std::make_unique<ControlDispatcher>(target, peers_, *memory_);
}

void ExternalLink::detach() {
    dispatcher_.reset();
    target_ = nullptr;
    notifier_ = nullptr;
}

std::int32_t ExternalLink::handle(Message m, std::uint32_t wParam, std::uint32_t lParam) {
    return dispatcher_ ? dispatcher_->handle(m, wParam, lParam) : 0;
}

bool ExternalLink::vfoPeerPresent() {
    return bus_->isOpen() &&
           bus_->knownWindowTitled(QString::fromLatin1(kVfoPeerTitle)).has_value();
}

void ExternalLink::followRecorderNews(CKovo5Doc& doc, Notices<HitNotice>& hits,
                                      Notices<ScanMovedOn>& movesOn) {
    logSubscription_ = doc.log().changes().subscribe([this, &doc](const DocumentChange& change) {
        if (change.kind != DocumentChange::Kind::LogAppended)
            return;
        const CLogData& entry = doc.logEntry(change.row);
        logEntryOpened(entry.frequency, entry.firstHeard, entry.comment);
    });
    hitSubscription_ = hits.subscribe([this](const HitNotice& hit) {
        if (hit.kind == HitNotice::Kind::Began)
            hitBegan(hit.frequency, std::int32_t(hit.time), hit.comment);
    });
    moveSubscription_ = movesOn.subscribe([this](const ScanMovedOn&) { scanMovedOn(); });
}

void ExternalLink::followProgram(Notices<ProgramNotice>& program, Notices<LinkNotice>& link) {
    programSubscription_ = program.subscribe([this](const ProgramNotice& notice) {
        switch (notice.event) {
        case ProgramEvent::Announced:
            announceProgram();
            break;
        case ProgramEvent::ViewReady:
            viewReady();
            break;
        case ProgramEvent::WindowClosing:
            windowClosing();
            break;
        }
    });
    squelchSubscription_ = link.subscribe([this](const LinkNotice& notice) {
        if (notice.kind == LinkNotice::Kind::SquelchChanged)
            squelchChanged(notice.squelchOpen);
    });
}

void ExternalLink::logEntryOpened(std::uint32_t frequency, std::int32_t time,
                                  const std::string& comment) {
    peers_.handToRecorder(frequency, time, comment);
}

// The recorder's answer comes later; until then the playback counts as
// started, and a "no audio" answer is shown when it arrives.
void ExternalLink::startPlayback(std::uint32_t frequency, std::int32_t time,
                                 const std::string& text, std::function<void()> noAudio) {
    peers_.startPlayback(frequency, time, text, [noAudio = std::move(noAudio)](bool hasAudio) {
        if (!hasAudio && noAudio)
            noAudio();
    });
}

// An object under one of the fixed names that someone else could reach is
// left alone; the user hears why once, and the program goes on without it.
void ExternalLink::sharedMemoryRefused(const std::string& text) {
    if (notifier_)
        notifier_->showMessage(text);
    else
        std::fprintf(stderr, "kovo3000: %s\n", text.c_str());
}

void ExternalLink::windowClosing() {
    peers_.announceClosing();
    bus_->settle(kClosingSettleMs);
}

void ExternalLink::tunedFromList(std::uint32_t frequency, const std::string& comment) {
    if (target_ && target_->squelchOpen())
        peers_.handToRecorder(frequency, target_->now(), comment);
}

} // namespace kovo::ipc
