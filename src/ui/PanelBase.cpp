#include "ui/PanelBase.h"

#include "ui/PanelArt.h"

#include <QPaintEvent>
#include <QPainter>

namespace kovo {

PanelBase::PanelBase(PanelSlot slot, QWidget* parent) : QWidget(parent), slot_(slot) {
    setObjectName(QString::fromLatin1(panelCaption(slot)));
    setWindowTitle(objectName());
    setFixedSize(kPanelWidth, panelHeight(slot));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setCursor(Qt::ArrowCursor);
}

void PanelBase::paintEvent(QPaintEvent* event) {
    const qreal dpr = devicePixelRatioF();
    if (backdrop_.isNull() || !qFuzzyCompare(backdrop_.devicePixelRatio(), dpr))
        backdrop_ =
            art::paintPixmap(size(), dpr, Qt::black, [this](QPainter& p) { paintBackdrop(p); });
    QPainter p(this);
    const QRect r = event->rect();
    p.drawPixmap(r, backdrop_, QRectF(r.topLeft() * dpr, r.size() * dpr).toRect());
}

void PanelBase::orderTabChain(const QList<QWidget*>& controls) {
    for (qsizetype i = 1; i < controls.size(); ++i)
        setTabOrder(controls[i - 1], controls[i]);
}

PanelText::PanelText(const QRect& rect, const QFont& font, const QColor& colour, QWidget* parent)
    : QWidget(parent), colour_(colour) {
    setGeometry(rect);
    setFont(font);
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void PanelText::showText(const QString& text) {
    if (text == text_)
        return;
    text_ = text;
    update();
}

void PanelText::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setPen(colour_);
    p.setFont(font());
    p.drawText(rect(), Qt::AlignCenter, text_);
}

} // namespace kovo
