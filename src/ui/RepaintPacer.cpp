#include "ui/RepaintPacer.h"

#include <QCoreApplication>
#include <QEvent>
#include <QWidget>

namespace kovo {

RepaintPacer::RepaintPacer(QWidget& window, std::unique_ptr<TimerService> timers,
                           const Clock& clock, std::chrono::milliseconds interval)
    : QObject(&window), window_(window), timers_(std::move(timers)), clock_(clock),
      interval_(interval) {
    timers_->setHandler([this](int) { releaseHeldRepaint(); });
    window_.installEventFilter(this);
}

// The widget toolkit posts one update request to the top-level window for all
// the widgets that asked to be repainted, and posts no other until that one
// has been handled. Holding it back therefore holds back every repaint of the
// window; handing it on later repaints everything at once.
bool RepaintPacer::eventFilter(QObject* watched, QEvent* event) {
    if (watched != &window_ || event->type() != QEvent::UpdateRequest || releasing_)
        return QObject::eventFilter(watched, event);
    if (holding_) {
        ++held_;
        return true;
    }
    if (painted_) {
        const std::int64_t since = clock_.nowMilliseconds() - lastRepaintMs_;
        if (since >= 0 && since < interval_.count()) {
            holding_ = true;
            ++held_;
            timers_->setTimer(kReleaseTimer, int(interval_.count() - since));
            return true;
        }
    }
    markRepaint();
    return false;
}

void RepaintPacer::markRepaint() {
    painted_ = true;
    lastRepaintMs_ = clock_.nowMilliseconds();
    ++done_;
}

void RepaintPacer::releaseHeldRepaint() {
    timers_->killTimer(kReleaseTimer);
    if (!holding_)
        return;
    holding_ = false;
    releasing_ = true;
    markRepaint();
    QEvent request(QEvent::UpdateRequest);
    QCoreApplication::sendEvent(&window_, &request);
    releasing_ = false;
}

} // namespace kovo
