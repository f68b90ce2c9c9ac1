#pragma once
#include "link/TimerService.h"

#include <QObject>
#include <map>
#include <memory>

class QTimer;

namespace kovo {

// Numbered repeating timers on the Qt event loop. Short intervals use precise
// timers, because scan delays of a fraction of a second should not drift.
class QtTimerService final : public QObject, public TimerService {
    Q_OBJECT
public:
    explicit QtTimerService(QObject* parent = nullptr);
    ~QtTimerService() override;

    void setTimer(int timerId, int intervalMs) override;
    void killTimer(int timerId) override;
    bool isTimerActive(int timerId) const override;
    void setHandler(Handler handler) override;

    // The interval a running timer was last set to; -1 when it is not running.
    int interval(int timerId) const;

private:
    std::map<int, std::unique_ptr<QTimer>> timers_;
    Handler handler_;
};

} // namespace kovo
