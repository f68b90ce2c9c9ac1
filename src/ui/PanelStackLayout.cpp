#include "ui/PanelStackLayout.h"

namespace kovo {

bool isPanelShown(PanelSlot slot, const StackInputs& in) {
    switch (slot) {
    case PanelSlot::Display:
        return true;
    case PanelSlot::Control1:
        return in.showControl1;
    case PanelSlot::Control2:
        return in.showControl2;
    case PanelSlot::Ctcss:
        return in.showControl2 && in.ctcssSwitch;
    case PanelSlot::TElm:
        return in.showControl2 && in.elm;
    case PanelSlot::Decoder:
        return in.dtmf;
    case PanelSlot::BandScope:
        return in.bandScope;
    case PanelSlot::DataBase:
        return in.showDataBase;
    }
    return false;
}

StackPlacement computeStack(const StackInputs& in, int x, int y) {
    StackPlacement out;
    int top = y;
    for (int i = 0; i < kPanelSlotCount; ++i) {
        const auto slot = static_cast<PanelSlot>(i);
        PanelPlacement& p = out.panels[i];
        p.x = x;
        p.top = top;
        p.height = kPanelSlots[i].height;
        p.visible = isPanelShown(slot, in);
        // The display strip always takes its place, even in the (impossible)
        // case of being hidden, so the others keep their rule y2 = y1 + 50.
        if (p.visible || slot == PanelSlot::Display)
            top += p.height + kPanelSeam;
        if (p.visible)
            out.totalHeight = p.top + p.height - y;
    }
    out.stayOnTop = !in.showTitle && in.topMost;
    return out;
}

PlacingOrder PlacingOrderTracker::next(const StackInputs& in, int y) {
    const auto wentOff = [](bool before, bool now) { return before && !now; };
    const bool shrank = (wentOff(last_.showControl1, in.showControl1) ||
                         wentOff(last_.showControl2, in.showControl2) ||
                         wentOff(last_.ctcssSwitch, in.ctcssSwitch) ||
                         wentOff(last_.dtmf, in.dtmf) || wentOff(last_.elm, in.elm));
    PlacingOrder order = PlacingOrder::BottomUp;
    if (y < lastY_ || (y == lastY_ && shrank))
        order = PlacingOrder::TopDown;
    lastY_ = y;
    last_ = in;
    return order;
}

} // namespace kovo
