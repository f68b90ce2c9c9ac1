#include "ui/DisplayPanel.h"

#include "ui/ImageKey.h"
#include "ui/PanelArt.h"
#include "ui/PanelEdit.h"
#include "ui/PanelFonts.h"
#include "ui/PanelSlider.h"
#include "ui/PixmapIndicator.h"
#include "ui/SignalMeter.h"

#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

namespace kovo {
namespace {

struct FieldSpec {
    int id;
    QRect rect;
    bool large;
    const char* accessibleName;
};

// (left, top)-(right, bottom) as QRect(left, top, width, height).
const std::array<FieldSpec, DisplayPanel::FieldCount> kFields{{
    {2100, QRect(12, 9, 38, 15), false, "Bank"},
    {2101, QRect(50, 9, 128, 15), false, "Name"},
    {2102, QRect(178, 9, 35, 15), false, "Channel"},
    {2103, QRect(12, 27, 201, 14), false, "Comment"},
    {2104, QRect(402, 3, 145, 30), true, "Frequency"},
}};

const std::array<const char*, 6> kModeLettering{"M\u00B7SCAN", "P\u00B7SEARCH", "1MHz\u00B7SCAN",
                                                "SCOPE",       "STATIC",        "VFO"};
const std::array<const char*, 4> kToggleLetters{"T", "1", "2", "D"};
// The toggles' single letters say little when read out.
const std::array<const char*, 4> kToggleNames{"Title strip", "Control panel 1", "Control panel 2",
                                              "Database"};

const char* const kSimulatedReceiver = "Demo mode: the receiver is simulated";

} // namespace

class DisplayPanel::NamePlate : public QWidget {
public:
    explicit NamePlate(QWidget* parent) : QWidget(parent) { setGeometry(402, 33, 145, 12); }

    bool demo() const { return demo_; }
    void setDemo(bool on) {
        if (on == demo_)
            return;
        demo_ = on;
        setAccessibleName(on ? QStringLiteral("DEMO") : QString());
        update();
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.drawPixmap(0, 0, art::namePlatePixmap(devicePixelRatioF(), demo_));
    }

private:
    bool demo_ = false;
};

const QRect DisplayPanel::kFrequencyWindow(399, 0, 152, 47);

const char* DisplayPanel::modeLettering(int operatingMode) {
    return kModeLettering[std::size_t(qBound(0, operatingMode, 5))];
}

DisplayPanel::DisplayPanel(const PanelFonts& fonts, QWidget* parent)
    : PanelBase(PanelSlot::Display, parent) {
    // The frequency field is made first so that it heads the tab chain: a
    // window that opens gives it the keyboard, and Tab goes on to the others.
    constexpr std::array<int, FieldCount> kCreationOrder{FrequencyField, BankField, NameField,
                                                         ChannelField, CommentField};
    for (int i : kCreationOrder) {
        const FieldSpec& s = kFields[std::size_t(i)];
        fields_[std::size_t(i)] =
            new PanelEdit(s.id, s.rect, s.large ? fonts.large : fonts.small, s.large, this);
        fields_[std::size_t(i)]->setAccessibleName(QString::fromLatin1(s.accessibleName));
    }
    fields_[FrequencyField]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    modeLabel_ = new PixmapIndicator(
        QRect(224, 7, 64, 16),
        [](int mode, qreal dpr) {
            return art::modeLabelPixmap(QString::fromUtf8(modeLettering(mode)), dpr);
        },
        this);
    modeLabel_->setIndex(5);
    modeLabel_->setAccessibleName(QStringLiteral("Operating mode"));
    for (int i = 0; i < 4; ++i) {
        const QString letter = QString::fromLatin1(kToggleLetters[std::size_t(i)]);
        auto* key = new ImageKey(2200 + i, QRect(224 + 16 * i, 28, 16, 16), {letter, letter},
                                 art::KeyStyle::Toggle, this);
        key->setSpokenName(QString::fromLatin1(kToggleNames[std::size_t(i)]));
        connect(key, &ImageKey::activated, this, [this, i] { emit toggleClicked(i); });
        toggles_[std::size_t(i)] = key;
    }
    meter_ = new SignalMeter(QRect(298, 9, 96, 19), this);
    meter_->setAccessibleName(QStringLiteral("Signal"));
    gain_ = new PanelSlider(2800, QRect(298, 29, 96, 16), 0, 63, this);
    gain_->setAccessibleName(QStringLiteral("AF gain"));
    gain_->showValue(0);
    connect(gain_, &PanelSlider::userMoved, this, [this](int, int v) { emit gainMoved(v); });
    namePlate_ = new NamePlate(this);
}

void DisplayPanel::setModeIndicator(int operatingMode) {
    if (operatingMode >= 0 && operatingMode <= 5)
        modeLabel_->setIndex(operatingMode);
}

void DisplayPanel::setToggle(int i, bool on) {
    if (i >= 0 && i < 4)
        toggles_[std::size_t(i)]->setState(on ? 1 : 0);
}

void DisplayPanel::setFrequencyReadOnly(bool readOnly) {
    fields_[FrequencyField]->setReadOnly(readOnly);
}

void DisplayPanel::showDemoMark(bool on) {
    namePlate_->setDemo(on);
    const QString said = on ? QString::fromLatin1(kSimulatedReceiver) : QString();
    setAccessibleDescription(said);
    namePlate_->setAccessibleDescription(said);
}

bool DisplayPanel::showsDemoMark() const {
    return namePlate_->demo();
}

void DisplayPanel::paintBackdrop(QPainter& p) {
    art::drawPlate(p, rect());
    art::drawAmberWindow(p, QRect(8, 5, 210, 41));
    art::drawAmberWindow(p, kFrequencyWindow);
    // Wells for the mode label with its toggles, and for the meter with the gain.
    art::drawWell(p, QRect(223, 6, 66, 39), QColor(8, 12, 22));
    art::drawWell(p, QRect(297, 8, 98, 38), art::kStaticGreen);
    // Hairline between mode label and toggles.
    p.fillRect(QRect(224, 25, 64, 1), QColor(60, 72, 100));
}

void DisplayPanel::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        emit surfacePressed(event->position().toPoint(), event->globalPosition().toPoint());
    else if (event->button() == Qt::RightButton)
        emit contextMenuWanted(event->globalPosition().toPoint());
}

void DisplayPanel::mouseMoveEvent(QMouseEvent* event) {
    if (event->buttons() & Qt::LeftButton)
        emit surfaceDragged(event->globalPosition().toPoint());
}

void DisplayPanel::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        emit surfaceReleased();
}

void DisplayPanel::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        emit surfaceDoubleClicked();
}

void DisplayPanel::wheelEvent(QWheelEvent* event) {
    if (!kFrequencyWindow.contains(event->position().toPoint())) {
        event->ignore();
        return;
    }
    const int notches = wheel_.add(event->angleDelta().y());
    if (notches != 0)
        emit knobTurned(notches, event->modifiers() & Qt::ControlModifier);
    event->accept();
}

} // namespace kovo
