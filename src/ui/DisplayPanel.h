#pragma once
#include "scan/TuningRules.h"
#include "ui/PanelBase.h"

#include <array>

namespace kovo {

class ImageKey;
class PanelEdit;
class PanelSlider;
class PixmapIndicator;
class SignalMeter;
struct PanelFonts;

// The receiver's display: bank, name, channel, comment and frequency fields,
// the operating-mode label, four panel toggles, the signal meter and the gain
// slider. It shows what it is told and reports what the user does.
class DisplayPanel : public PanelBase {
    Q_OBJECT
public:
    enum Field { BankField, NameField, ChannelField, CommentField, FrequencyField, FieldCount };

    DisplayPanel(const PanelFonts& fonts, QWidget* parent);

    PanelEdit& field(Field f) const { return *fields_[f]; }
    SignalMeter& meter() const { return *meter_; }
    PanelSlider& gainSlider() const { return *gain_; }
    ImageKey& toggle(int i) const { return *toggles_[std::size_t(i)]; }
    PixmapIndicator& modeIndicator() const { return *modeLabel_; }

    void setModeIndicator(int operatingMode);
    void setToggle(int i, bool on);
    void setFrequencyReadOnly(bool readOnly);
    // Marks the display of a simulated receiver: a DEMO badge on the name
    // plate, and a description that screen readers give with the panel.
    void showDemoMark(bool on);
    bool showsDemoMark() const;

    static const char* modeLettering(int operatingMode);
    // The amber window of the frequency and the name plate.
    static const QRect kFrequencyWindow;

signals:
    void toggleClicked(int index);
    void gainMoved(int value);
    void surfaceDoubleClicked();
    void surfacePressed(QPoint pressPoint, QPoint globalPos);
    void surfaceDragged(QPoint globalPos);
    void surfaceReleased();
    void contextMenuWanted(QPoint globalPos);
    // Whole notches of the wheel over the frequency window; subStep with Ctrl.
    void knobTurned(int notches, bool subStep);

protected:
    void paintBackdrop(QPainter& p) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    // Wheel events over the frequency field reach the panel too (the field
    // does not take them).
    void wheelEvent(QWheelEvent* event) override;

private:
    std::array<PanelEdit*, FieldCount> fields_{};
    std::array<ImageKey*, 4> toggles_{};
    PixmapIndicator* modeLabel_ = nullptr;
    SignalMeter* meter_ = nullptr;
    PanelSlider* gain_ = nullptr;
    class NamePlate;
    NamePlate* namePlate_ = nullptr;
    DragAccumulator wheel_{DragAccumulator::kWheelUnitsPerNotch};
};

} // namespace kovo
