#include "ui/PanelSlider.h"

#include "ui/PanelArt.h"

#include <QKeyEvent>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>

#include <cmath>

namespace kovo {

PanelSlider::PanelSlider(int id, const QRect& rect, int minimum, int maximum, QWidget* parent)
    : QAbstractSlider(parent), id_(id) {
    setOrientation(Qt::Horizontal);
    setRange(minimum, maximum);
    setGeometry(rect);
    setFocusPolicy(Qt::StrongFocus);
    setCursor(Qt::ArrowCursor);
    // The wheel and the page keys move the knob through a slider action;
    // the position it is about to take is a user move like any other.
    connect(this, &QAbstractSlider::actionTriggered, this,
            [this](int) { moveByUser(sliderPosition()); });
}

void PanelSlider::showValue(int value) {
    if (value != this->value())
        setValue(value);
}

double PanelSlider::knobCentre(int v) const {
    const double span = qMax(1, maximum() - minimum());
    const double travel = width() - kKnobWidth;
    return kKnobWidth / 2.0 + travel * (qBound(minimum(), v, maximum()) - minimum()) / span;
}

int PanelSlider::valueAt(double x) const {
    const double travel = qMax(1, width() - kKnobWidth);
    const double t = qBound(0.0, (x - kKnobWidth / 2.0) / travel, 1.0);
    return minimum() + int(std::lround(t * (maximum() - minimum())));
}

void PanelSlider::moveByUser(int v) {
    v = qBound(minimum(), v, maximum());
    if (v == value())
        return;
    setValue(v);
    emit userMoved(id_, v);
}

void PanelSlider::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const QRect r = rect();
    p.fillRect(r, art::kStaticGreen);
    // Groove.
    const int gy = r.height() / 2 - 1;
    p.fillRect(QRect(3, gy, r.width() - 6, 1), QColor(0, 20, 0));
    p.fillRect(QRect(3, gy + 1, r.width() - 6, 1), QColor(0, 0, 0));
    p.fillRect(QRect(3, gy + 2, r.width() - 6, 1), QColor(40, 110, 40));
    // Knob: a metal fader cap with an index line.
    const int cx = int(std::lround(knobCentre(value()) - kKnobWidth / 2.0));
    const QRect knob(cx, 1, kKnobWidth, r.height() - 2);
    QLinearGradient g(knob.topLeft(), knob.topRight());
    g.setColorAt(0.0, QColor(236, 238, 244));
    g.setColorAt(0.5, QColor(176, 182, 194));
    g.setColorAt(1.0, QColor(104, 110, 124));
    p.fillRect(knob, g);
    p.fillRect(QRect(knob.left(), knob.top(), knob.width(), 1), QColor(250, 250, 255));
    p.fillRect(QRect(knob.left(), knob.bottom(), knob.width(), 1), QColor(30, 32, 40));
    p.fillRect(QRect(knob.right(), knob.top(), 1, knob.height()), QColor(30, 32, 40));
    p.fillRect(QRect(knob.left() + kKnobWidth / 2, knob.top() + 2, 1, knob.height() - 4),
               QColor(20, 20, 24));
    if (hasFocus())
        art::drawFocusMark(p, r);
}

void PanelSlider::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return;
    dragging_ = true;
    setSliderDown(true);
    moveByUser(valueAt(event->position().x()));
}

void PanelSlider::mouseMoveEvent(QMouseEvent* event) {
    if (dragging_)
        moveByUser(valueAt(event->position().x()));
}

void PanelSlider::mouseReleaseEvent(QMouseEvent*) {
    dragging_ = false;
    setSliderDown(false);
}

void PanelSlider::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Left:
    case Qt::Key_Down:
        moveByUser(value() - 1);
        break;
    case Qt::Key_Right:
    case Qt::Key_Up:
        moveByUser(value() + 1);
        break;
    case Qt::Key_Home:
        moveByUser(minimum());
        break;
    case Qt::Key_End:
        moveByUser(maximum());
        break;
    default:
        QAbstractSlider::keyPressEvent(event);
        return;
    }
    event->accept();
}

} // namespace kovo
