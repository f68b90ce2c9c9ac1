#pragma once
#include "link/TimerService.h"

#include <QObject>
#include <map>
#include <memory>

namespace kovo {

// Numbered repeating timers on the Qt event loop.
//
// Intervals from 1 ms up to a couple of seconds run on a kernel timer (a
// timerfd watched by the event loop), which wakes the loop to the microsecond:
// the loop's own timers are rounded up to whole milliseconds when it sleeps,
// which costs up to a millisecond on the 7 ms pause of every scan step.
// Longer intervals and zero (every pass of the loop) use QTimer; so does
// everything when no kernel timer can be had, and every timer of a coarse
// service (the repaint pacing needs no microseconds, and a kernel timer costs
// two system calls a period).
class QtTimerService final : public QObject, public TimerService {
    Q_OBJECT
public:
    enum class Precision { Microseconds, Coarse };
    explicit QtTimerService(QObject* parent = nullptr,
                            Precision precision = Precision::Microseconds);
    ~QtTimerService() override;

    void setTimer(int timerId, int intervalMs) override;
    void killTimer(int timerId) override;
    bool isTimerActive(int timerId) const override;
    void setHandler(Handler handler) override;

    // The interval a running timer was last set to; -1 when it is not running.
    int interval(int timerId) const;

private:
    class Timer;
    void fire(int timerId);

    std::map<int, std::unique_ptr<Timer>> timers_;
    Handler handler_;
    Precision precision_;
};

} // namespace kovo
