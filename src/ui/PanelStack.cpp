#include "ui/PanelStack.h"

#include "ui/BandScopePanel.h"
#include "ui/ControlPanel1.h"
#include "ui/ControlPanel2.h"
#include "ui/DisplayPanel.h"
#include "ui/PanelArt.h"
#include "ui/StripPanels.h"

#include <QPainter>

namespace kovo {
namespace {

// Stands in the database slot until the database panel is plugged in.
class DataBasePlaceholder : public PanelBase {
public:
    explicit DataBasePlaceholder(QWidget* parent) : PanelBase(PanelSlot::DataBase, parent) {}

protected:
    void paintBackdrop(QPainter& p) override { art::drawPlate(p, rect()); }
};

} // namespace

PanelStack::PanelStack(const PanelFonts& fonts, QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("PanelStack"));
    // The seams between strips show the window's dark background.
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(6, 8, 14));
    setPalette(pal);

    display_ = new DisplayPanel(fonts, this);
    control1_ = new ControlPanel1(fonts, this);
    control2_ = new ControlPanel2(fonts, this);
    ctcss_ = new CtcssPanel(fonts, this);
    tElm_ = new TElmPanel(fonts, this);
    decoder_ = new DecoderPanel(fonts, this);
    bandScope_ = new BandScopePanel(fonts, this);
    panels_ = {display_, control1_, control2_,  ctcss_,
               tElm_,    decoder_,  bandScope_, new DataBasePlaceholder(this)};
    // Creation places, provisional until the first layout.
    const std::array<int, kPanelSlotCount> createdAt{0, 50, 100, 268, 294, 320, 172, 268};
    for (int i = 0; i < kPanelSlotCount; ++i) {
        panels_[std::size_t(i)]->move(0, createdAt[std::size_t(i)]);
        panels_[std::size_t(i)]->setVisible(i < 2);
    }
    setFixedWidth(kPanelWidth);
}

void PanelStack::setDataBasePanel(QWidget* panel) {
    QWidget*& slot = panels_[int(PanelSlot::DataBase)];
    if (!panel || panel == slot)
        return;
    panel->setParent(this);
    panel->setFixedSize(kPanelWidth, panelHeight(PanelSlot::DataBase));
    panel->setWindowTitle(QString::fromLatin1(panelCaption(PanelSlot::DataBase)));
    panel->setGeometry(slot->geometry());
    panel->setVisible(slot->isVisible());
    delete slot;
    slot = panel;
}

void PanelStack::place(PanelSlot slot, bool moveOnly) {
    const PanelPlacement& p = placement_[slot];
    QWidget* w = panels_[int(slot)];
    if (moveOnly) {
        w->setGeometry(p.x, p.top, p.width, p.height);
        return;
    }
    w->move(p.x, p.top);
    w->setVisible(p.visible || slot == PanelSlot::Display);
}

const StackPlacement& PanelStack::apply(const StackInputs& inputs, bool moveOnly) {
    const int oldHeight = placement_.totalHeight;
    placement_ = computeStack(inputs, 0, 0);
    const bool topDown = order_.next(inputs, 0) == PlacingOrder::TopDown;
    for (int n = 0; n < kPanelSlotCount; ++n)
        place(static_cast<PanelSlot>(topDown ? n : kPanelSlotCount - 1 - n), moveOnly);
    setFixedHeight(placement_.totalHeight);
    if (placement_.totalHeight != oldHeight)
        emit heightChanged(placement_.totalHeight);
    return placement_;
}

QSize PanelStack::sizeHint() const {
    return {kPanelWidth, placement_.totalHeight};
}

} // namespace kovo
