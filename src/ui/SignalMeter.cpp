#include "ui/SignalMeter.h"

#include "ui/PanelArt.h"

#include <QPainter>

namespace kovo {

SignalMeter::SignalMeter(const QRect& rect, QWidget* parent) : QWidget(parent) {
    setGeometry(rect);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

int SignalMeter::set(bool signalPresent, int level) {
    level = qBound(0, level, 15);
    if (signalPresent != present_ || level != level_) {
        present_ = signalPresent;
        level_ = level;
        update();
    }
    return level;
}

void SignalMeter::setDimmed(bool dimmed) {
    if (dimmed == dimmed_)
        return;
    dimmed_ = dimmed;
    if (dimmed)
        set(false, 0);
    update();
}

void SignalMeter::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.drawPixmap(0, 0, art::meterPixmap(present_, level_, devicePixelRatioF()));
    if (dimmed_)
        p.fillRect(rect(), QColor(0, 0, 0, 170));
}

} // namespace kovo
