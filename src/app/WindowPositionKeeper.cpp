#include "app/WindowPositionKeeper.h"

#include "app/AppSettingsWriter.h"

namespace kovo {

WindowPositionKeeper::WindowPositionKeeper(AppSettingsWriter& writer,
                                           std::unique_ptr<TimerService> timers)
    : writer_(writer), timers_(std::move(timers)) {
    timers_->setHandler([this](int) { storeNow(); });
}

WindowPositionKeeper::~WindowPositionKeeper() {
    timers_->setHandler({});
}

void WindowPositionKeeper::moved(int x, int y) {
    waiting_ = Position{x, y};
    timers_->setTimer(kTimerId, kSettleMs); // restarts while the moves go on
}

void WindowPositionKeeper::storeNow() {
    timers_->killTimer(kTimerId);
    if (!waiting_)
        return;
    const Position at = *waiting_;
    waiting_.reset();
    const AppSettings& stored = writer_.settings();
    if (at.x != stored.positionX || at.y != stored.positionY)
        writer_.setPosition(at.x, at.y);
}

} // namespace kovo
