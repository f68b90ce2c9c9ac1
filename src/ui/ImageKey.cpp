#include "ui/ImageKey.h"

#include <QKeyEvent>
#include <QPainter>

namespace kovo {

ImageKey::ImageKey(int id, const QRect& rect, QStringList captions, art::KeyStyle style,
                   QWidget* parent)
    : QAbstractButton(parent), id_(id), captions_(std::move(captions)), style_(style) {
    setGeometry(rect);
    setFocusPolicy(Qt::TabFocus);
    setCursor(Qt::ArrowCursor);
    connect(this, &QAbstractButton::clicked, this, [this] { emit activated(id_); });
    describeState();
}

// A screen reader reads the key's lettering (the AM key's current variant)
// and whether it is lit.
void ImageKey::describeState() {
    setAccessibleName(spokenName_.isEmpty() ? captions_.value(state_, captions_.value(0))
                                            : spokenName_);
    if (style_ != art::KeyStyle::Keypad)
        setAccessibleDescription(state_ > 0 ? QStringLiteral("on") : QStringLiteral("off"));
}

void ImageKey::setSpokenName(const QString& name) {
    spokenName_ = name;
    describeState();
}

void ImageKey::setState(int state) {
    state = qBound(0, state, qMax(1, int(captions_.size()) - 1));
    if (state == state_)
        return;
    state_ = state;
    describeState();
    update();
}

art::KeyFace ImageKey::face() const {
    art::KeyFace f;
    f.caption = captions_.value(state_, captions_.value(0));
    f.size = size();
    f.style = style_;
    f.lit = state_ > 0 && style_ != art::KeyStyle::Keypad;
    f.pressed = isDown();
    return f;
}

void ImageKey::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.drawPixmap(0, 0, art::keyPixmap(face(), devicePixelRatioF()));
    if (hasFocus())
        art::drawFocusMark(p, rect());
}

// Space is the button's own (pressed on the way down, clicked on release);
// Enter clicks at once. A held Enter does not repeat the command.
void ImageKey::keyPressEvent(QKeyEvent* event) {
    const int key = event->key();
    if (key != Qt::Key_Return && key != Qt::Key_Enter) {
        QAbstractButton::keyPressEvent(event);
        return;
    }
    if (!event->isAutoRepeat())
        click();
    event->accept();
}

} // namespace kovo
