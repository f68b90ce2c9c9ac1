#include "ipc/ExternalLink.h"

namespace kovo::ipc {

ExternalLink::ExternalLink(QDBusConnection connection, std::function<QString()> title,
                           std::unique_ptr<SharedMemory> memory)
    : memory_(memory ? std::move(memory) : std::make_unique<PosixSharedMemory>()),
      bus_(std::make_unique<WindowBus>(
          std::move(connection),
          QList<Message>{Message::KovoControl, Message::KovoConfig, Message::BromAnswer},
          [this](Message m, std::uint32_t w, std::uint32_t l) { return handle(m, w, l); },
          std::move(title))),
      peers_(*bus_, *memory_) {}

ExternalLink::~ExternalLink() = default;

void ExternalLink::attach(ControlTarget& target) {
    target_ = &target;
    dispatcher_ = std::make_unique<ControlDispatcher>(target, peers_, *memory_);
}

std::int32_t ExternalLink::handle(Message m, std::uint32_t wParam, std::uint32_t lParam) {
    return dispatcher_ ? dispatcher_->handle(m, wParam, lParam) : 0;
}

bool ExternalLink::vfoPeerPresent() {
    return bus_->isOpen() && bus_->findWindow(QString::fromLatin1(kVfoPeerTitle)).has_value();
}

void ExternalLink::logEntryOpened(std::uint32_t frequency, std::int32_t time,
                                  const std::string& comment) {
    peers_.handToRecorder(frequency, time, comment);
}

bool ExternalLink::startPlayback(std::uint32_t frequency, std::int32_t time,
                                 const std::string& text) {
    return peers_.startPlayback(frequency, time, text);
}

void ExternalLink::tunedFromList(std::uint32_t frequency, const std::string& comment) {
    if (target_ && target_->squelchOpen())
        peers_.handToRecorder(frequency, target_->now(), comment);
}

} // namespace kovo::ipc
