#include "ui/ControlPanel2.h"

#include "ui/ImageKey.h"
#include "ui/PanelArt.h"
#include "ui/PanelFonts.h"
#include "ui/PanelSlider.h"
#include "ui/PixmapIndicator.h"

#include <QPainter>

#include <cmath>

namespace kovo {
namespace {

struct KeySpec {
    int id;
    QRect rect;
    const char* caption;
};

const std::array<KeySpec, 7> kModeScanKeys{{
    {2413, QRect(120, 12, 32, 16), "NFM"},
    {2414, QRect(152, 12, 32, 16), "WFM"},
    {2415, QRect(184, 12, 32, 16), "AM"},
    {2416, QRect(120, 28, 32, 16), "LSB"},
    {2417, QRect(152, 28, 32, 16), "USB"},
    {2418, QRect(184, 28, 32, 16), "CW"},
    {2425, QRect(120, 52, 32, 16), "MSM"},
}};

// Indexed by ControlPanel2::Pad.
const std::array<KeySpec, ControlPanel2::PadCount> kPadKeys{{
    {2400, QRect(436, 52, 32, 16), "0"},
    {2401, QRect(436, 4, 16, 16), "1"},
    {2402, QRect(452, 4, 16, 16), "2"},
    {2403, QRect(468, 4, 16, 16), "3"},
    {2404, QRect(436, 20, 16, 16), "4"},
    {2405, QRect(452, 20, 16, 16), "5"},
    {2406, QRect(468, 20, 16, 16), "6"},
    {2407, QRect(436, 36, 16, 16), "7"},
    {2408, QRect(452, 36, 16, 16), "8"},
    {2409, QRect(468, 36, 16, 16), "9"},
    {2410, QRect(468, 52, 16, 16), "."},
    {2411, QRect(484, 4, 28, 16), "CE"},
    {2412, QRect(484, 36, 28, 32), "ENT"},
    {2432, QRect(484, 20, 28, 16), "kHz"},
}};

// The keypad as it reads: 1 2 3 CE, 4 5 6 kHz, 7 8 9 ENT, 0 and the point.
constexpr std::array<int, ControlPanel2::PadCount> kPadReadingOrder{1, 2,
                                                                    3, ControlPanel2::Clear,
                                                                    4, 5,
                                                                    6, ControlPanel2::Kilohertz,
                                                                    7, 8,
                                                                    9, ControlPanel2::Enter,
                                                                    0, ControlPanel2::Point};

} // namespace

ControlPanel2::ControlPanel2(const PanelFonts& fonts, QWidget* parent)
    : PanelBase(PanelSlot::Control2, parent) {
    (void)fonts; // the keypad and keys carry their lettering in their images
    filter_ = new PixmapIndicator(
        QRect(40, 12, 64, 32),
        [](int index, qreal dpr) { return art::filterPixmap(filterImageFor(index), dpr); }, this);
    filter_->setIndex(shownIfBandwidth_);
    filter_->setAccessibleName(QStringLiteral("IF band width"));
    for (int i = 0; i < int(kModeScanKeys.size()); ++i) {
        const KeySpec& s = kModeScanKeys[std::size_t(i)];
        const QString c = QString::fromLatin1(s.caption);
        auto* key = new ImageKey(s.id, s.rect, {c, c}, art::KeyStyle::Standard, this);
        connect(key, &ImageKey::activated, this, [this, i] { emit modeScanClicked(i); });
        modeScan_[std::size_t(i)] = key;
    }
    for (int i = 0; i < PadCount; ++i) {
        const KeySpec& s = kPadKeys[std::size_t(i)];
        const QString c = QString::fromLatin1(s.caption);
        auto* key = new ImageKey(s.id, s.rect, {c, c}, art::KeyStyle::Keypad, this);
        connect(key, &ImageKey::activated, this, [this, i] { emit padClicked(i); });
        pad_[std::size_t(i)] = key;
    }
    delay_ = new PanelSlider(kDelaySliderId, QRect(224, 20, 200, 16), 1, 10, this);
    delay_->showValue(2);
    delay_->setAccessibleName(QStringLiteral("Delay time"));
    pause_ = new PanelSlider(kPauseSliderId, QRect(224, 52, 200, 16), 1, 120, this);
    pause_->showValue(10);
    pause_->setAccessibleName(QStringLiteral("Pause time"));
    connect(delay_, &PanelSlider::userMoved, this, [this](int, int v) { emit delayMoved(v); });
    connect(pause_, &PanelSlider::userMoved, this, [this](int, int v) { emit pauseMoved(v); });

    QList<QWidget*> reading(modeScan_.begin(), modeScan_.end());
    reading << delay_ << pause_;
    for (int pad : kPadReadingOrder)
        reading << pad_[std::size_t(pad)];
    orderTabChain(reading);
}

int ControlPanel2::filterImageFor(int ifBandwidth) {
    if (ifBandwidth <= 1)
        return 0;
    return ifBandwidth <= 3 ? 1 : 2;
}

void ControlPanel2::showIfBandwidth(int ifBandwidth) {
    if (ifBandwidth == shownIfBandwidth_)
        return;
    shownIfBandwidth_ = ifBandwidth;
    filter_->setIndex(ifBandwidth);
}

void ControlPanel2::paintBackdrop(QPainter& p) {
    art::drawPlate(p, rect());
    art::drawCaptionBox(p, QRect(30, 5, 84, 47), QStringLiteral("IF BAND WIDTH"));
    art::drawCaptionBox(p, QRect(116, 5, 104, 47), QStringLiteral("MODE SCAN MODE"));
    art::drawWell(p, QRect(39, 11, 66, 34), QColor(6, 10, 8));
    art::drawWell(p, QRect(119, 11, 98, 34), QColor(10, 14, 26));
    art::drawWell(p, QRect(119, 51, 34, 18), QColor(10, 14, 26));
    p.setFont(art::letteringFont(8));
    p.setPen(art::kLetterYellow);
    p.drawText(QRect(157, 52, 60, 16), Qt::AlignVCenter | Qt::AlignLeft,
               QStringLiteral("\u25C0 MODE SCAN"));
    // One box for both faders, each with its scale printed over the knob's travel.
    art::drawCaptionBox(p, QRect(220, 5, 210, 66), QStringLiteral("DELAY TIME"));

    auto fader = [&](int sliderTop, const QList<int>& marks, int lo, int hi) {
        art::drawWell(p, QRect(224, sliderTop, 200, 16), art::kStaticGreen);
        const QColor ink(200, 212, 236);
        p.setFont(art::letteringFont(7, false));
        p.setPen(ink);
        const double travel = 200 - 9;
        for (int v : marks) {
            const double cx = 224 + 4.5 + travel * (v - lo) / double(hi - lo);
            p.drawText(QRectF(cx - 10, sliderTop - 9, 20, 7), Qt::AlignCenter, QString::number(v));
            p.fillRect(QRectF(std::floor(cx), sliderTop - 2, 1, 2), ink);
        }
    };
    fader(20, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10}, 1, 10);
    fader(52, {1, 30, 60, 90, 120}, 1, 120);
    art::drawCaptionRule(p, 221, 39, 208, QStringLiteral("PAUSE TIME"));
    // Keypad bezel.
    art::drawWell(p, QRect(435, 3, 78, 66), QColor(20, 24, 32));
}

} // namespace kovo
