#include "ui/ControlPanel1.h"

#include "ui/DirectionPad.h"
#include "ui/ImageKey.h"
#include "ui/PanelArt.h"
#include "ui/PanelFonts.h"
#include "ui/PanelList.h"
#include "ui/PanelTooltips.h"

#include "data/ValueTables.h"

#include <QCoreApplication>
#include <QPainter>

namespace kovo {
namespace {

struct KeySpec {
    int x, y;
    const char* caption;
    art::KeyStyle style;
};

constexpr auto Y = art::KeyStyle::Standard;
constexpr auto C = art::KeyStyle::CyanText;

// In identifier order 2300..2321; every key is 32 x 16. VCS takes the free
// place between MONI and PAUSE, so that PAUSE stays reachable beside it.
const std::array<KeySpec, ControlPanel1::KeyCount> kKeys{{
    {8, 6, "MONI", Y},     {72, 6, "PAUSE", Y}, {40, 6, "VCS", Y},     {8, 26, "LOG", Y},
    {40, 26, "AS-M", Y},   {120, 6, "NFM", Y},  {152, 6, "WFM", Y},    {184, 6, "AM", Y},
    {120, 26, "LSB", Y},   {152, 26, "USB", Y}, {184, 26, "CW", Y},    {224, 6, "MS", C},
    {256, 6, "PS", C},     {288, 6, "1MHz", C}, {224, 26, "SCOPE", C}, {256, 26, "STATIC", C},
    {288, 26, "VFO", C},   {402, 6, "AUTO", Y}, {402, 26, "ADJ", Y},   {514, 6, "+MEM", C},
    {514, 26, "+PASS", C}, {72, 26, "PRI", Y},
}};

// The keys as they read, group by group from the left: switches, modes,
// operating modes, (the lists), AUTO and ADJ, (the pad), +MEM and +PASS.
using K = ControlPanel1::Key;
constexpr std::array<K, 6> kSwitchGroup{K::Moni, K::Vcs, K::Pause, K::Log, K::AsM, K::Pri};
constexpr std::array<K, 6> kModeGroup{K::Nfm, K::Wfm, K::Am, K::Lsb, K::Usb, K::Cw};
constexpr std::array<K, 6> kOperatingGroup{K::Ms, K::Ps, K::OneMhz, K::Scope, K::Static, K::Vfo};
constexpr std::array<K, 2> kAutoGroup{K::Auto, K::Adj};
constexpr std::array<K, 2> kStoreGroup{K::PlusMem, K::PlusPass};

QStringList captionsFor(int k) {
    const QString c = QString::fromLatin1(kKeys[std::size_t(k)].caption);
    if (k == ControlPanel1::Am)
        return {c, c, QStringLiteral("SAM"), QStringLiteral("SAL"), QStringLiteral("SAH")};
    return {c, c};
}

QStringList labels(const auto& table, std::size_t first, std::size_t last) {
    QStringList out;
    for (std::size_t i = first; i <= last; ++i)
        out << QString::fromLatin1(table[i].data(), int(table[i].size()));
    return out;
}

// The step names as the user reads them: the table's, corrected in English.
QStringList stepLabels() {
    QStringList out;
    for (const QString& text : labels(StepNameTable, 1, 13))
        out << QCoreApplication::translate("StepNames", text.toLatin1().constData());
    return out;
}

} // namespace

ControlPanel1::ControlPanel1(const PanelFonts& fonts, QWidget* parent)
    : PanelBase(PanelSlot::Control1, parent) {
    for (int k = 0; k < KeyCount; ++k) {
        const KeySpec& s = kKeys[std::size_t(k)];
        auto* key =
            new ImageKey(kFirstKeyId + k, QRect(s.x, s.y, 32, 16), captionsFor(k), s.style, this);
        connect(key, &ImageKey::activated, this, [this, k] { emit keyClicked(k); });
        keys_[std::size_t(k)] = key;
    }
    keys_[Vcs]->hide();
    stepList_ = new PanelList(kStepListId, QRect(330, 4, 64, 13), fonts.small, this);
    stepList_->setRows(stepLabels());
    stepList_->setAccessibleName(QStringLiteral("Step"));
    attList_ = new PanelList(kAttListId, QRect(330, 25, 64, 13), fonts.small, this);
    attList_->setRows(labels(AttNameTable, 0, 1));
    attList_->setAccessibleName(QStringLiteral("Attenuator"));
    connect(stepList_, &PanelList::userChose, this, [this](int, int row) { emit stepChosen(row); });
    connect(attList_, &PanelList::userChose, this,
            [this](int, int row) { emit attenuatorChosen(row); });
    pad_ = new DirectionPad(QRect(436, 8, 76, 34), this);
    pad_->setAccessibleName(QStringLiteral("Direction pad"));
    orderTabChain(readingOrder());
}

QList<QWidget*> ControlPanel1::readingOrder() const {
    QList<QWidget*> out;
    const auto add = [&](const auto& group) {
        for (K k : group)
            out << keys_[std::size_t(k)];
    };
    add(kSwitchGroup);
    add(kModeGroup);
    add(kOperatingGroup);
    out << stepList_ << attList_;
    add(kAutoGroup);
    out << pad_;
    add(kStoreGroup);
    return out;
}

void ControlPanel1::setKey(int k, int state) {
    if (k >= 0 && k < KeyCount)
        keys_[std::size_t(k)]->setState(state);
}

void ControlPanel1::showVoiceSquelchKey(bool shown) {
    keys_[Vcs]->setVisible(shown);
}

void ControlPanel1::offerKey(int k, bool usable, const QString& whyNot) {
    if (k < 0 || k >= KeyCount)
        return;
    keys_[std::size_t(k)]->setEnabled(usable);
    showWhyUnavailable(*keys_[std::size_t(k)], whyNot);
}

void ControlPanel1::offerAttenuator(bool usable, const QString& whyNot) {
    attList_->setEnabled(usable);
    showWhyUnavailable(*attList_, whyNot);
}

void ControlPanel1::paintBackdrop(QPainter& p) {
    art::drawPlate(p, rect());
    art::drawRim(p, rect().adjusted(2, 2, -2, -2), QColor(40, 150, 160));
    // Group wells: switches, demodulation modes, operating modes, lists, pad, store keys.
    const QColor well(10, 14, 26);
    art::drawWell(p, QRect(6, 4, 100, 40), well);
    art::drawWell(p, QRect(118, 4, 100, 40), well);
    art::drawWell(p, QRect(222, 4, 100, 40), well);
    art::drawWell(p, QRect(328, 2, 68, 44), art::kStaticGreen);
    art::drawWell(p, QRect(400, 4, 36, 40), well);
    art::drawWell(p, QRect(512, 4, 36, 40), well);
    // Small captions for the lists.
    p.setFont(art::letteringFont(8));
    p.setPen(art::kLetterYellow);
    p.drawText(QRect(330, 17, 64, 8), Qt::AlignCenter, QStringLiteral("STEP"));
    p.drawText(QRect(330, 38, 64, 8), Qt::AlignCenter, QStringLiteral("ATT"));
}

} // namespace kovo
