#include "ui/DirectionPad.h"

#include "ui/PanelArt.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

namespace kovo {

DirectionPad::DirectionPad(const QRect& rect, QWidget* parent) : QWidget(parent) {
    setGeometry(rect);
    setCursor(Qt::SizeHorCursor);
    setFocusPolicy(Qt::TabFocus);
}

void DirectionPad::setImage(int image) {
    if (image == image_)
        return;
    image_ = image;
    update();
}

void DirectionPad::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.drawPixmap(0, 0, art::padPixmap(image_, devicePixelRatioF()));
    if (hasFocus())
        art::drawFocusMark(p, rect());
}

// Pointer x is reported in the coordinates of the panel that holds the pad.
void DirectionPad::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton || event->button() == Qt::RightButton)
        emit pressed(x() + int(event->position().x()), event->button());
}

void DirectionPad::mouseMoveEvent(QMouseEvent* event) {
    emit moved(x() + int(event->position().x()), event->buttons());
}

void DirectionPad::wheelEvent(QWheelEvent* event) {
    const int notches = wheel_.add(event->angleDelta().y());
    if (notches != 0)
        emit knobTurned(notches, event->modifiers() & Qt::ControlModifier);
    event->accept();
}

void DirectionPad::keyPressEvent(QKeyEvent* event) {
    const int key = event->key();
    if (key != Qt::Key_Left && key != Qt::Key_Right) {
        QWidget::keyPressEvent(event);
        return;
    }
    emit knobTurned(key == Qt::Key_Right ? 1 : -1, event->modifiers() & Qt::ControlModifier);
    event->accept();
}

void DirectionPad::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton || event->button() == Qt::RightButton)
        emit released(event->button());
}

} // namespace kovo
