#include "app/QtTimerService.h"

#include <QSocketNotifier>
#include <QTimer>

#include <sys/timerfd.h>
#include <unistd.h>

#include <cstdint>

namespace kovo {

namespace {
// Below this interval a kernel timer is used; from it on a coarse timer's
// slack (5 %, early or late) is harmless and saves wake-ups. The scan's
// delays of a second must not end early, so they stay below it.
constexpr int kPreciseBelowMs = 2000;

itimerspec every(int intervalMs) {
    const timespec period{intervalMs / 1000, long(intervalMs % 1000) * 1000000L};
    return itimerspec{period, period};
}
} // namespace

// A timer that is either a timerfd watched by a socket notifier or a QTimer.
// Re-arming or disarming the timerfd clears expirations not yet read, so a
// killed or restarted timer never fires for its old interval.
class QtTimerService::Timer {
public:
    using Precision = QtTimerService::Precision;
    Timer(QtTimerService* owner, int timerId, Precision precision) : precision_(precision) {
        QObject::connect(&fallback_, &QTimer::timeout, owner,
                         [owner, timerId] { owner->fire(timerId); });
        if (precision == Precision::Coarse)
            return;
        fd_ = timerfd_create(CLOCK_MONOTONIC, TFD_NONBLOCK | TFD_CLOEXEC);
        if (fd_ < 0)
            return;
        notifier_ = std::make_unique<QSocketNotifier>(fd_, QSocketNotifier::Read);
        QObject::connect(notifier_.get(), &QSocketNotifier::activated, owner,
                         [this, owner, timerId] {
                             if (takeExpirations())
                                 owner->fire(timerId);
                         });
    }
    ~Timer() {
        notifier_.reset();
        if (fd_ >= 0)
            ::close(fd_);
    }
    Timer(const Timer&) = delete;
    Timer& operator=(const Timer&) = delete;

    void start(int intervalMs) {
        interval_ = intervalMs;
        fallback_.stop();
        // Arming replaces the old setting and its unread expirations at once.
        if (fd_ >= 0 && intervalMs > 0 && intervalMs < kPreciseBelowMs) {
            const itimerspec spec = every(intervalMs);
            if (timerfd_settime(fd_, 0, &spec, nullptr) == 0) {
                kernelTimerArmed_ = true;
                return;
            }
        }
        stop();
        const bool precise = precision_ == Precision::Microseconds && intervalMs < kPreciseBelowMs;
        fallback_.setTimerType(precise ? Qt::PreciseTimer : Qt::CoarseTimer);
        fallback_.start(intervalMs);
    }
    void stop() {
        fallback_.stop();
        if (kernelTimerArmed_) {
            const itimerspec off{};
            timerfd_settime(fd_, 0, &off, nullptr);
            kernelTimerArmed_ = false;
        }
    }
    bool active() const { return kernelTimerArmed_ || fallback_.isActive(); }
    int interval() const { return interval_; }

private:
    // True when the kernel timer expired since it was last armed or read.
    bool takeExpirations() {
        std::uint64_t count = 0;
        return ::read(fd_, &count, sizeof count) == ssize_t(sizeof count) && count > 0 &&
               kernelTimerArmed_;
    }

    Precision precision_;
    QTimer fallback_;
    int fd_ = -1;
    std::unique_ptr<QSocketNotifier> notifier_;
    bool kernelTimerArmed_ = false;
    int interval_ = 0;
};

QtTimerService::QtTimerService(QObject* parent, Precision precision)
    : QObject(parent), precision_(precision) {}

QtTimerService::~QtTimerService() = default;

void QtTimerService::setTimer(int timerId, int intervalMs) {
    auto& timer = timers_[timerId];
    if (!timer)
        timer = std::make_unique<Timer>(this, timerId, precision_);
    timer->start(intervalMs > 0 ? intervalMs : 0);
}

void QtTimerService::killTimer(int timerId) {
    // Stopped, not destroyed: a handler may kill the very timer that called it.
    const auto it = timers_.find(timerId);
    if (it != timers_.end())
        it->second->stop();
}

bool QtTimerService::isTimerActive(int timerId) const {
    const auto it = timers_.find(timerId);
    return it != timers_.end() && it->second->active();
}

void QtTimerService::setHandler(Handler handler) {
    handler_ = std::move(handler);
}

int QtTimerService::interval(int timerId) const {
    return isTimerActive(timerId) ? timers_.at(timerId)->interval() : -1;
}

void QtTimerService::fire(int timerId) {
    if (handler_)
        handler_(timerId);
}

} // namespace kovo
