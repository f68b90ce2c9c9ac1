#pragma once
#include "ui/PanelBase.h"

namespace kovo {

class ImageKey;
class PanelEdit;
class PanelSlider;
struct PanelFonts;

// A 24-pixel strip: dark teal plate with a yellow caption at its left and an
// amber value field at (120, 6).
class StripPanel : public PanelBase {
    Q_OBJECT
public:
    PanelEdit& field() const { return *field_; }

protected:
    StripPanel(PanelSlot slot, const QString& caption, int fieldId, int fieldWidth,
               const PanelFonts& fonts, QWidget* parent);
    void paintBackdrop(QPainter& p) override;
    // Where the strip's slider sits, for the dark green well behind it.
    QRect sliderWell_;

private:
    QString caption_;
    PanelEdit* field_ = nullptr;
};

// Tone squelch: the tone label, a slider over OFF and the 50 tones, and the
// tone-search key.
class CtcssPanel : public StripPanel {
    Q_OBJECT
public:
    CtcssPanel(const PanelFonts& fonts, QWidget* parent);
    PanelSlider& slider() const { return *slider_; }
    ImageKey& scanKey() const { return *scanKey_; }

signals:
    void toneMoved(int tone);
    void scanClicked();

private:
    PanelSlider* slider_ = nullptr;
    ImageKey* scanKey_ = nullptr;
};

// Tone eliminator: value field and a slider 0..255.
class TElmPanel : public StripPanel {
    Q_OBJECT
public:
    TElmPanel(const PanelFonts& fonts, QWidget* parent);
    PanelSlider& slider() const { return *slider_; }

signals:
    void valueMoved(int value);

private:
    PanelSlider* slider_ = nullptr;
};

// Decoder: a text line and a clear key.
class DecoderPanel : public StripPanel {
    Q_OBJECT
public:
    DecoderPanel(const PanelFonts& fonts, QWidget* parent);
    ImageKey& clearKey() const { return *clearKey_; }
    void clearText();

private:
    ImageKey* clearKey_ = nullptr;
};

} // namespace kovo
