#pragma once
#include <QObject>

#include <chrono>
#include <memory>

#include "data/Clock.h"
#include "link/TimerService.h"

class QWidget;

namespace kovo {

// Paces the repaints of one top-level window: at most one per interval.
// While a scan steps dozens of times a second, each step changes the
// frequency window, the meter and a list row at separate passes of the event
// loop, and painting each of those on its own costs more than all the rest of
// the program's work. A repaint after a quiet spell goes out at once; one that
// comes sooner waits for the rest of the interval and then paints everything
// that changed meanwhile in one pass. Nothing is lost: the widgets' dirty
// regions pile up until that pass.
class RepaintPacer final : public QObject {
public:
    static constexpr std::chrono::milliseconds kDefaultInterval{40};

    // Installs itself on `window`, which must outlive it. `timers` (owned)
    // releases a held repaint; `clock` (which must outlive the pacer) tells
    // how long ago the last one went out.
    RepaintPacer(QWidget& window, std::unique_ptr<TimerService> timers, const Clock& clock,
                 std::chrono::milliseconds interval = kDefaultInterval);

    // Repaints the pacer has held back so far (for measurements).
    long long repaintsHeld() const { return held_; }
    long long repaintsDone() const { return done_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    static constexpr int kReleaseTimer = 1;

    void releaseHeldRepaint();
    void markRepaint();

    QWidget& window_;
    std::unique_ptr<TimerService> timers_;
    const Clock& clock_;
    std::chrono::milliseconds interval_;
    bool painted_ = false;
    std::int64_t lastRepaintMs_ = 0;
    bool holding_ = false;
    bool releasing_ = false;
    long long held_ = 0;
    long long done_ = 0;
};

} // namespace kovo
