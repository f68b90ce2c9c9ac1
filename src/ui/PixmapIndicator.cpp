#include "ui/PixmapIndicator.h"

#include <QPainter>

namespace kovo {

PixmapIndicator::PixmapIndicator(const QRect& rect, ImageFor imageFor, QWidget* parent)
    : QWidget(parent), imageFor_(std::move(imageFor)) {
    setGeometry(rect);
}

void PixmapIndicator::setIndex(int index) {
    if (index == index_)
        return;
    index_ = index;
    update();
}

void PixmapIndicator::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.drawPixmap(0, 0, imageFor_(index_, devicePixelRatioF()));
}

} // namespace kovo
