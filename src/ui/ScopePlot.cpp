#include "ui/ScopePlot.h"

#include "ui/PanelArt.h"
#include "ui/ScopeGeometry.h"

#include <QPaintEvent>
#include <QPainter>

namespace kovo {

ScopePlot::ScopePlot(const QRect& rect, QWidget* parent) : QWidget(parent) {
    setGeometry(rect);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    // Mouse handling belongs to the panel, which knows the plot's rectangle.
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void ScopePlot::clearBars() {
    tops_.fill(0);
    staticBars_.clear();
    update();
}

void ScopePlot::setSweepGeometry(int points, int halfWidth) {
    points_ = qMax(1, points);
    halfWidth_ = halfWidth;
    update();
}

QRect ScopePlot::barRect(int x, int h, int top) const {
    const auto bar = scope::barAt(x, h);
    return QRect(bar.left, top, bar.right - bar.left, scope::kBaseline - top);
}

QRect ScopePlot::pointRect(int point) const {
    const int x = int(qint64(point) * scope::kPlotWidth / points_);
    return barRect(x, halfWidth_, 0).adjusted(0, 0, 0, 0);
}

void ScopePlot::setBar(int point, int top) {
    if (point < 0 || point >= int(tops_.size()) || tops_[std::size_t(point)] == top)
        return;
    tops_[std::size_t(point)] = top;
    update(pointRect(point).adjusted(-1, 0, 1, 0));
}

int ScopePlot::barTop(int point) const {
    return (point < 0 || point >= int(tops_.size())) ? 0 : tops_[std::size_t(point)];
}

void ScopePlot::setStaticMode(bool staticMode) {
    if (staticMode_ == staticMode)
        return;
    staticMode_ = staticMode;
    update();
}

void ScopePlot::setStaticBars(std::vector<StaticBar> bars) {
    staticBars_ = std::move(bars);
    update();
}

void ScopePlot::moveCursor(int x) {
    if (x == cursorX_)
        return;
    update(QRect(cursorX_, 64, 1, 2));
    cursorX_ = x;
    update(QRect(cursorX_, 64, 1, 2));
}

void ScopePlot::paintEvent(QPaintEvent* event) {
    QPainter p(this);
    p.setClipRect(event->rect());
    art::drawScopeGraph(p, rect());
    p.fillRect(QRect(200, 0, 1, 64), art::kScopeCentre);
    // Bars invert what is under them; overlapping bars invert back.
    p.setCompositionMode(QPainter::CompositionMode_Difference);
    if (staticMode_) {
        for (const StaticBar& b : staticBars_)
            p.fillRect(barRect(b.x, b.halfWidth, b.top), Qt::white);
    } else {
        const int last = qMin(points_, int(tops_.size()) - 1);
        for (int e = 0; e <= last; ++e) {
            const int top = tops_[std::size_t(e)];
            if (top > 0) {
                const int x = int(qint64(e) * scope::kPlotWidth / points_);
                p.fillRect(barRect(x, halfWidth_, top), Qt::white);
            }
        }
    }
    p.setCompositionMode(QPainter::CompositionMode_SourceOver);
    // The cursor runs on a black rail under the baseline.
    p.fillRect(QRect(0, 64, width(), 2), Qt::black);
    p.fillRect(QRect(cursorX_, 64, 1, 2), Qt::white);
}

} // namespace kovo
