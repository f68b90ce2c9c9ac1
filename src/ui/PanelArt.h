#pragma once
#include <QColor>
#include <QFont>
#include <QPixmap>
#include <QRect>
#include <QString>

#include <functional>

class QPainter;

namespace kovo::art {

// Colours fixed for the receiver's face.
inline const QColor kAmber{255, 224, 0};     // display windows and text fields
inline const QColor kStaticGreen{0, 64, 0};  // backgrounds behind sliders and statics
inline const QColor kListGreen{0, 255, 0};   // drop-down list text
inline const QColor kScopeCentre{0, 128, 0}; // centre line of the band scope
inline const QColor kNavy{24, 33, 56};       // the plate
inline const QColor kTeal{20, 60, 70};       // strip plates
inline const QColor kLetterYellow{255, 228, 92};
inline const QColor kLetterCyan{110, 226, 240};

// An image of `logical` size for the pixel ratio, filled, then drawn on
// with antialiasing.
QPixmap paintPixmap(QSize logical, qreal dpr, const QColor& fill,
                    const std::function<void(QPainter&)>& draw);

// Sans lettering for the artwork (keys, captions, scales).
QFont letteringFont(qreal pixelSize, bool bold = true);

// Draws text centred in r, squeezed horizontally when it would not fit.
void drawFittedText(QPainter& p, const QRectF& r, const QString& text, const QColor& colour,
                    const QFont& font, Qt::Alignment align = Qt::AlignCenter);

// A navy receiver plate with a bevelled edge over the whole rectangle.
void drawPlate(QPainter& p, const QRect& r, const QColor& base = kNavy);
// A thin raised border inside the plate (Control panel 1's teal rim).
void drawRim(QPainter& p, const QRect& r, const QColor& colour);
// A recessed amber display window (outer rectangle includes the bezel).
void drawAmberWindow(QPainter& p, const QRect& r);
// A silk-screened box with a caption on its top edge.
void drawCaptionBox(QPainter& p, const QRect& r, const QString& caption);
// An engraved horizontal rule with a caption breaking it at the left.
void drawCaptionRule(QPainter& p, int x, int y, int width, const QString& caption);
// A recessed dark well that holds a widget (slider, list, meter).
void drawWell(QPainter& p, const QRect& r, const QColor& fill);
// The keyboard focus: a one-pixel amber ring just inside r, drawn on whole
// pixels so that it stays sharp at any pixel ratio.
// On the amber fields the ring is a burnt orange, which reads against amber.
inline const QColor kFocusMark{255, 176, 0};
inline const QColor kFieldFocusMark{224, 72, 0};
void drawFocusMark(QPainter& p, const QRect& r, const QColor& colour = kFocusMark);

// How a key looks.
enum class KeyStyle {
    Standard, // off: yellow lettering on navy; on: black lettering on glowing green
    CyanText, // as Standard with cyan lettering when off
    RedOn,    // off: navy; on: glowing red
    Keypad,   // light grey keypad key, same in both states
    Toggle,   // 16 x 16 letter key: off yellow on navy, on black on green
};

struct KeyFace {
    QString caption;
    QSize size;
    KeyStyle style = KeyStyle::Standard;
    bool lit = false;
    bool pressed = false;
};

// Cached images; all are built for the given device pixel ratio and carry it.
QPixmap keyPixmap(const KeyFace& face, qreal dpr);
// Green plate with black lettering, 64 x 16 (operating-mode label).
QPixmap modeLabelPixmap(const QString& lettering, qreal dpr);
// 64 x 32 filter passband on green, lettered with the filter width.
QPixmap filterPixmap(int filterIndex, qreal dpr);
// 96 x 19 signal meter: scale and 15 segments, `level` lit.
QPixmap meterPixmap(bool signalPresent, int level, qreal dpr);
// 145 x 12 name plate; with `demo` it carries a red DEMO badge at its right.
QPixmap namePlatePixmap(qreal dpr, bool demo = false);
// Where the DEMO badge sits on the name plate.
inline const QRect kDemoBadge{108, 1, 35, 10};
// 76 x 34 direction pad; image 0 dark, 1 left lit, 2 right lit.
QPixmap padPixmap(int image, qreal dpr);
// 16 x 64 level scale of the band scope.
QPixmap scopeScalePixmap(qreal dpr);

// Geometry of the signal meter, in meter coordinates (for drawing and tests).
inline constexpr int kMeterSegments = 15;
inline constexpr int kMeterSegmentLeft = 3;
inline constexpr int kMeterSegmentPitch = 6;
inline constexpr int kMeterSegmentWidth = 5;
inline constexpr int kMeterSegmentTop = 10;
inline constexpr int kMeterSegmentBottom = 17; // exclusive
QRect meterSegmentRect(int segment);
QColor meterSegmentColour(int segment, bool lit);

// Rules of the band scope's graph (plot coordinates, x 0..400, y 0..67).
inline constexpr int kScopeGraphWidth = 401;
inline constexpr int kScopeGraphHeight = 68;
void drawScopeGraph(QPainter& p, const QRect& r);

} // namespace kovo::art
