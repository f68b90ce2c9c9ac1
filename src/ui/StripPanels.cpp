#include "ui/StripPanels.h"

#include "ui/ImageKey.h"
#include "ui/PanelArt.h"
#include "ui/PanelEdit.h"
#include "ui/PanelFonts.h"
#include "ui/PanelSlider.h"

#include <QPainter>

namespace kovo {

StripPanel::StripPanel(PanelSlot slot, const QString& caption, int fieldId, int fieldWidth,
                       const PanelFonts& fonts, QWidget* parent)
    : PanelBase(slot, parent), caption_(caption) {
    field_ = new PanelEdit(fieldId, QRect(120, 6, fieldWidth, 12), fonts.small, false, this);
    field_->setAccessibleName(caption);
}

void StripPanel::paintBackdrop(QPainter& p) {
    art::drawPlate(p, rect(), art::kTeal);
    QFont f = art::letteringFont(11);
    f.setLetterSpacing(QFont::AbsoluteSpacing, 1);
    p.setFont(f);
    p.setPen(art::kLetterYellow);
    p.drawText(QRect(10, 0, 100, 24), Qt::AlignVCenter | Qt::AlignLeft, caption_);
    const QRect f0 = field_->geometry();
    art::drawAmberWindow(p, f0.adjusted(-3, -3, 3, 3));
    if (!sliderWell_.isNull())
        art::drawWell(p, sliderWell_, art::kStaticGreen);
}

CtcssPanel::CtcssPanel(const PanelFonts& fonts, QWidget* parent)
    : StripPanel(PanelSlot::Ctcss, QStringLiteral("CTCSS"), 6004, 40, fonts, parent) {
    sliderWell_ = QRect(224, 4, 200, 16);
    slider_ = new PanelSlider(6003, sliderWell_, 0, 50, this);
    slider_->setAccessibleName(QStringLiteral("CTCSS tone"));
    scanKey_ = new ImageKey(6005, QRect(466, 4, 80, 16),
                            {QStringLiteral("CTCSS SCAN"), QStringLiteral("CTCSS SCAN")},
                            art::KeyStyle::RedOn, this);
    connect(slider_, &PanelSlider::userMoved, this, [this](int, int v) { emit toneMoved(v); });
    connect(scanKey_, &ImageKey::activated, this, [this] { emit scanClicked(); });
}

TElmPanel::TElmPanel(const PanelFonts& fonts, QWidget* parent)
    : StripPanel(PanelSlot::TElm, QStringLiteral("T-ELIM."), 8004, 40, fonts, parent) {
    sliderWell_ = QRect(224, 4, 322, 16);
    slider_ = new PanelSlider(8003, sliderWell_, 0, 255, this);
    slider_->setAccessibleName(QStringLiteral("T-ELIM."));
    connect(slider_, &PanelSlider::userMoved, this, [this](int, int v) { emit valueMoved(v); });
}

DecoderPanel::DecoderPanel(const PanelFonts& fonts, QWidget* parent)
    : StripPanel(PanelSlot::Decoder, QStringLiteral("DTMF"), 7004, 200, fonts, parent) {
    clearKey_ =
        new ImageKey(7003, QRect(514, 4, 32, 16), {QStringLiteral("CLR"), QStringLiteral("CLR")},
                     art::KeyStyle::Standard, this);
    connect(clearKey_, &ImageKey::activated, this, &DecoderPanel::clearText);
}

void DecoderPanel::clearText() {
    field().clear();
}

} // namespace kovo
