#include "app/QtTimerService.h"

#include <QTimer>

namespace kovo {

namespace {
// Below this interval a coarse timer's slack (5 %) would be noticeable.
constexpr int kPreciseBelowMs = 2000;
} // namespace

QtTimerService::QtTimerService(QObject* parent) : QObject(parent) {}

QtTimerService::~QtTimerService() = default;

void QtTimerService::setTimer(int timerId, int intervalMs)
{
    auto& timer = timers_[timerId];
    if (!timer) {
        timer = std::make_unique<QTimer>();
        QObject::connect(timer.get(), &QTimer::timeout, this, [this, timerId] {
            if (handler_)
                handler_(timerId);
        });
    }
    const int interval = intervalMs > 0 ? intervalMs : 0;
    timer->setTimerType(interval < kPreciseBelowMs ? Qt::PreciseTimer : Qt::CoarseTimer);
    timer->start(interval);
}

void QtTimerService::killTimer(int timerId)
{
    // Stopped, not destroyed: a handler may kill the very timer that called it.
    const auto it = timers_.find(timerId);
    if (it != timers_.end())
        it->second->stop();
}

bool QtTimerService::isTimerActive(int timerId) const
{
    const auto it = timers_.find(timerId);
    return it != timers_.end() && it->second->isActive();
}

void QtTimerService::setHandler(Handler handler) { handler_ = std::move(handler); }

int QtTimerService::interval(int timerId) const
{
    return isTimerActive(timerId) ? timers_.at(timerId)->interval() : -1;
}

} // namespace kovo
