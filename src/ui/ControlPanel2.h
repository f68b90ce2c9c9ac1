#pragma once
#include "ui/PanelBase.h"

#include <array>

namespace kovo {

class ImageKey;
class PanelSlider;
class PixmapIndicator;
struct PanelFonts;

// The lower control strip: IF filter indicator, mode-scan keys, delay and
// pause sliders and the frequency keypad.
class ControlPanel2 : public PanelBase {
    Q_OBJECT
public:
    static constexpr int kMsmKey = 6; // index after the six mode keys
    static constexpr int kDelaySliderId = 2950;
    static constexpr int kPauseSliderId = 2951;

    // Keypad keys by meaning.
    enum Pad {
        Digit0 = 0,
        Digit9 = 9,
        Point = 10,
        Clear = 11,
        Enter = 12,
        Kilohertz = 13,
        PadCount
    };

    explicit ControlPanel2(const PanelFonts& fonts, QWidget* parent);

    ImageKey& modeScanKey(int i) const { return *modeScan_[std::size_t(i)]; }
    ImageKey& padKey(int p) const { return *pad_[std::size_t(p)]; }
    PanelSlider& delaySlider() const { return *delay_; }
    PanelSlider& pauseSlider() const { return *pause_; }
    PixmapIndicator& filterIndicator() const { return *filter_; }

    // Filter image for an IF bandwidth index: 0-1 2.4 kHz, 2-3 12 kHz, 4-6 180 kHz.
    static int filterImageFor(int ifBandwidth);
    void showIfBandwidth(int ifBandwidth);
    int shownIfBandwidth() const { return shownIfBandwidth_; }

signals:
    void modeScanClicked(int index); // 0..5 modes, 6 MSM
    void padClicked(int pad);
    void delayMoved(int seconds);
    void pauseMoved(int seconds);

protected:
    void paintBackdrop(QPainter& p) override;

private:
    std::array<ImageKey*, 7> modeScan_{};
    std::array<ImageKey*, PadCount> pad_{};
    PanelSlider* delay_ = nullptr;
    PanelSlider* pause_ = nullptr;
    PixmapIndicator* filter_ = nullptr;
    int shownIfBandwidth_ = 3;
};

} // namespace kovo
