#include "ui/PanelEdit.h"

#include "ui/PanelArt.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QTimer>
#include <QWheelEvent>

namespace kovo {
namespace {

constexpr int kFlashMs = 300;
const QColor kRefusedColour(255, 96, 64);

} // namespace

PanelEdit::PanelEdit(int id, const QRect& rect, const QFont& font, bool border, QWidget* parent)
    : QLineEdit(parent), id_(id), border_(border), colour_(art::kAmber) {
    setGeometry(rect);
    setFont(font);
    setFrame(false);
    setTextMargins(0, 0, 0, 0);
    setContentsMargins(0, 0, 0, 0);
    setAttribute(Qt::WA_MacShowFocusRect, false);
    applyStyle();
}

void PanelEdit::applyStyle() {
    setStyleSheet(
        QStringLiteral("QLineEdit{border:%1;padding:0px;background:%2;color:black;"
                       "selection-background-color:black;selection-color:rgb(255,224,0);}")
            .arg(border_ ? QStringLiteral("1px solid black") : QStringLiteral("none"),
                 (flashing_ ? kRefusedColour : colour_).name()));
}

void PanelEdit::showText(const QString& t) {
    if (text() != t)
        setText(t);
}

void PanelEdit::setFieldColour(const QColor& background) {
    if (background == colour_)
        return;
    colour_ = background;
    applyStyle();
}

void PanelEdit::flashRefusal() {
    QApplication::beep();
    if (flashing_)
        return;
    flashing_ = true;
    applyStyle();
    QTimer::singleShot(kFlashMs, this, [this] {
        flashing_ = false;
        applyStyle();
    });
}

void PanelEdit::keyPressEvent(QKeyEvent* event) {
    const int key = event->key();
    if ((key == Qt::Key_Up || key == Qt::Key_Down) && stepHandler_ &&
        stepHandler_(key == Qt::Key_Up ? 1 : -1, event->modifiers() & Qt::ControlModifier)) {
        event->accept();
        return;
    }
    const bool enter = key == Qt::Key_Return || key == Qt::Key_Enter;
    if ((enter || key == Qt::Key_Escape) && handler_ && handler_(*this, enter)) {
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void PanelEdit::paintEvent(QPaintEvent* event) {
    QLineEdit::paintEvent(event);
    if (!hasFocus())
        return;
    QPainter p(this);
    art::drawFocusMark(p, rect(), art::kFieldFocusMark);
}

void PanelEdit::wheelEvent(QWheelEvent* event) {
    if (!stepHandler_) {
        QLineEdit::wheelEvent(event);
        return;
    }
    const int notches = wheel_.add(event->angleDelta().y());
    if (notches != 0)
        stepHandler_(notches, event->modifiers() & Qt::ControlModifier);
    event->accept();
}

} // namespace kovo
