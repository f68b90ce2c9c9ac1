#pragma once
#include "ui/PanelStackLayout.h"

#include <QWidget>

#include <array>

namespace kovo {

class BandScopePanel;
class ControlPanel1;
class ControlPanel2;
class CtcssPanel;
class DecoderPanel;
class DisplayPanel;
class TElmPanel;
struct PanelFonts;

// The front panel as one widget: the eight strips stacked without gaps other
// than a 2-pixel seam, 555 pixels wide. The database strip starts as a hidden
// placeholder that the database panel replaces.
class PanelStack : public QWidget {
    Q_OBJECT
public:
    PanelStack(const PanelFonts& fonts, QWidget* parent = nullptr);

    DisplayPanel& display() const { return *display_; }
    ControlPanel1& control1() const { return *control1_; }
    ControlPanel2& control2() const { return *control2_; }
    CtcssPanel& ctcss() const { return *ctcss_; }
    TElmPanel& tElm() const { return *tElm_; }
    DecoderPanel& decoder() const { return *decoder_; }
    BandScopePanel& bandScope() const { return *bandScope_; }
    QWidget& dataBase() const { return *panels_[int(PanelSlot::DataBase)]; }
    QWidget& panel(PanelSlot slot) const { return *panels_[int(slot)]; }

    // Puts the database panel (555 x 254) in its slot; the stack owns it.
    void setDataBasePanel(QWidget* panel);

    // Places and shows the strips. With moveOnly the strips keep their
    // visibility and are only moved. Returns the placement applied.
    const StackPlacement& apply(const StackInputs& inputs, bool moveOnly);
    const StackPlacement& placement() const { return placement_; }

    QSize sizeHint() const override;

signals:
    // The stack's height changed (a strip was shown or hidden).
    void heightChanged(int height);

private:
    void place(PanelSlot slot, bool moveOnly);

    DisplayPanel* display_ = nullptr;
    ControlPanel1* control1_ = nullptr;
    ControlPanel2* control2_ = nullptr;
    CtcssPanel* ctcss_ = nullptr;
    TElmPanel* tElm_ = nullptr;
    DecoderPanel* decoder_ = nullptr;
    BandScopePanel* bandScope_ = nullptr;
    std::array<QWidget*, kPanelSlotCount> panels_{};
    StackPlacement placement_;
    PlacingOrderTracker order_;
};

} // namespace kovo
