#include "ui/BandScopePanel.h"

#include "ui/ImageKey.h"
#include "ui/PanelArt.h"
#include "ui/PanelFonts.h"
#include "ui/PanelList.h"
#include "ui/ScopePlot.h"

#include <QMouseEvent>
#include <QPainter>

namespace kovo {

const QRect BandScopePanel::kPlotRect(50, 6, 401, 68);

BandScopePanel::BandScopePanel(const PanelFonts& fonts, QWidget* parent)
    : PanelBase(PanelSlot::BandScope, parent) {
    setMouseTracking(true);
    plot_ = new ScopePlot(kPlotRect, this);
    plot_->setAccessibleName(QStringLiteral("Band scope"));
    const QColor ink = art::kAmber;
    start_ = new PanelText(QRect(10, 76, 80, 14), fonts.small, ink, this);
    centre_ = new PanelText(QRect(210, 76, 80, 14), fonts.small, ink, this);
    end_ = new PanelText(QRect(410, 76, 80, 14), fonts.small, ink, this);
    pointer_ = new PanelText(QRect(467, 6, 80, 14), fonts.small, QColor(0, 255, 0), this);
    spanList_ = new PanelList(kSpanListId, QRect(467, 30, 80, 13), fonts.small, this);
    spanList_->setAccessibleName(QStringLiteral("Span"));
    restart_ = new ImageKey(kRestartId, QRect(467, 56, 80, 16),
                            {QStringLiteral("RESTART"), QStringLiteral("RESTART")},
                            art::KeyStyle::CyanText, this);
    connect(spanList_, &PanelList::userChose, this, [this](int, int row) { emit spanChosen(row); });
    connect(restart_, &ImageKey::activated, this, [this] { emit restartClicked(); });
}

void BandScopePanel::paintBackdrop(QPainter& p) {
    art::drawPlate(p, rect());
    // Bezel round the graph; the plot draws the graph itself.
    art::drawWell(p, kPlotRect.adjusted(-1, -1, 1, 1), Qt::black);
    p.drawPixmap(34, 6, art::scopeScalePixmap(p.device()->devicePixelRatioF()));
    // Pointer read-out window.
    art::drawWell(p, QRect(467, 6, 80, 14), Qt::black);
    // Tick marks under the start, centre and end read-outs.
    const QColor ink(200, 212, 236);
    for (int x : {50, 250, 450})
        p.fillRect(QRect(x, 75, 1, 3), ink);
    p.setFont(art::letteringFont(7));
    p.setPen(art::kLetterYellow);
    p.drawText(QRect(467, 21, 80, 9), Qt::AlignCenter, QStringLiteral("SPAN"));
}

void BandScopePanel::mousePressEvent(QMouseEvent* event) {
    const QPoint pos = event->position().toPoint();
    if (kPlotRect.contains(pos) &&
        (event->button() == Qt::LeftButton || event->button() == Qt::RightButton))
        emit plotClicked(pos.x(), event->button());
}

void BandScopePanel::mouseMoveEvent(QMouseEvent* event) {
    const QPoint pos = event->position().toPoint();
    emit pointerMoved(kPlotRect.contains(pos) ? pos.x() : -1);
}

void BandScopePanel::leaveEvent(QEvent*) {
    emit pointerMoved(-1);
}

} // namespace kovo
