#include "ui/RepaintPacer.h"

#include <QCoreApplication>
#include <QEvent>
#include <QWidget>

namespace kovo {

RepaintPacer::RepaintPacer(QWidget& window, std::chrono::milliseconds interval)
    : QObject(&window), window_(window), interval_(interval) {
    release_.setSingleShot(true);
    connect(&release_, &QTimer::timeout, this, &RepaintPacer::releaseHeldRepaint);
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
    if (sinceRepaint_.isValid()) {
        const auto since = std::chrono::milliseconds(sinceRepaint_.elapsed());
        if (since < interval_) {
            holding_ = true;
            ++held_;
            release_.start(interval_ - since);
            return true;
        }
    }
    sinceRepaint_.start();
    ++done_;
    return false;
}

void RepaintPacer::releaseHeldRepaint() {
    if (!holding_)
        return;
    holding_ = false;
    releasing_ = true;
    sinceRepaint_.start();
    ++done_;
    QEvent request(QEvent::UpdateRequest);
    QCoreApplication::sendEvent(&window_, &request);
    releasing_ = false;
}

} // namespace kovo
