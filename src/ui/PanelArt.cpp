#include "ui/PanelArt.h"

#include <QFontMetricsF>
#include <QHash>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <algorithm>
#include <array>
#include <cmath>

namespace kovo::art {
namespace {

// Every image is drawn once per device pixel ratio and kept for the run.
template <class Draw> QPixmap cached(const QString& key, QSize logical, qreal dpr, Draw draw) {
    static QHash<QString, QPixmap> cache;
    const QString fullKey = key + QLatin1Char('@') + QString::number(dpr);
    auto it = cache.constFind(fullKey);
    if (it != cache.constEnd())
        return *it;
    const QPixmap pm = paintPixmap(logical, dpr, Qt::transparent, draw);
    cache.insert(fullKey, pm);
    return pm;
}

void hline(QPainter& p, int x, int y, int w, const QColor& c) {
    p.fillRect(QRect(x, y, w, 1), c);
}
void vline(QPainter& p, int x, int y, int h, const QColor& c) {
    p.fillRect(QRect(x, y, 1, h), c);
}

// Raised (or sunk) one-pixel bevel along the inside of r.
void bevel(QPainter& p, const QRect& r, const QColor& light, const QColor& dark) {
    hline(p, r.left(), r.top(), r.width(), light);
    vline(p, r.left(), r.top(), r.height(), light);
    hline(p, r.left(), r.bottom(), r.width(), dark);
    vline(p, r.right(), r.top(), r.height(), dark);
}

QColor withAlpha(QColor c, int a) {
    c.setAlpha(a);
    return c;
}

} // namespace

QPixmap paintPixmap(QSize logical, qreal dpr, const QColor& fill,
                    const std::function<void(QPainter&)>& draw) {
    QPixmap pm(QSize(qCeil(logical.width() * dpr), qCeil(logical.height() * dpr)));
    pm.setDevicePixelRatio(dpr);
    pm.fill(fill);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    draw(p);
    return pm;
}

QFont letteringFont(qreal pixelSize, bool bold) {
    QFont f;
    f.setFamilies(
        {QStringLiteral("DejaVu Sans"), QStringLiteral("IPAPGothic"), QStringLiteral("IPAGothic")});
    f.setPixelSize(qMax(1, qRound(pixelSize)));
    f.setWeight(bold ? QFont::Bold : QFont::Normal);
    f.setStretch(QFont::SemiCondensed);
    // Full hinting rounds each glyph's advance to whole pixels at the logical
    // size; under the 2x transform or the squeeze of drawFittedText that
    // leaves gaps inside words ("PAUS E"). Vertical hinting keeps the
    // baselines crisp and the spacing even.
    f.setHintingPreference(QFont::PreferVerticalHinting);
    return f;
}

void drawFittedText(QPainter& p, const QRectF& r, const QString& text, const QColor& colour,
                    const QFont& font, Qt::Alignment align) {
    p.save();
    p.setFont(font);
    p.setPen(colour);
    const QFontMetricsF fm(font);
    const qreal width = fm.horizontalAdvance(text);
    qreal sx = 1.0;
    if (width > r.width() && width > 0)
        sx = r.width() / width;
    if (sx < 1.0) {
        p.translate(r.center().x(), 0);
        p.scale(sx, 1.0);
        p.translate(-r.center().x(), 0);
        const qreal wide = width;
        QRectF wr(r.center().x() - wide / 2, r.top(), wide, r.height());
        p.drawText(wr, int(align & Qt::AlignVertical_Mask) | Qt::AlignHCenter, text);
    } else {
        p.drawText(r, int(align), text);
    }
    p.restore();
}

void drawPlate(QPainter& p, const QRect& r, const QColor& base) {
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    g.setColorAt(0.0, base.lighter(128));
    g.setColorAt(0.12, base.lighter(108));
    g.setColorAt(0.85, base);
    g.setColorAt(1.0, base.darker(130));
    p.fillRect(r, g);
    // A faint brushed grain across the plate.
    for (int y = r.top() + 1; y < r.bottom(); y += 2)
        hline(p, r.left(), y, r.width(), QColor(255, 255, 255, (y * 7 % 5 == 0) ? 7 : 3));
    bevel(p, r, base.lighter(190), QColor(4, 6, 12));
    bevel(p, r.adjusted(1, 1, -1, -1), withAlpha(base.lighter(150), 120),
          withAlpha(QColor(0, 0, 0), 90));
}

void drawRim(QPainter& p, const QRect& r, const QColor& colour) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(colour);
    p.setBrush(Qt::NoBrush);
    p.drawRect(r.adjusted(0, 0, -1, -1));
    p.setPen(withAlpha(colour.lighter(160), 80));
    p.drawRect(r.adjusted(1, 1, -2, -2));
    p.restore();
}

void drawAmberWindow(QPainter& p, const QRect& r) {
    // Chrome bezel, dark gasket, then the lit glass.
    bevel(p, r, QColor(5, 7, 14), QColor(120, 135, 170));
    const QRect gasket = r.adjusted(1, 1, -1, -1);
    p.fillRect(gasket, QColor(10, 10, 8));
    const QRect glass = gasket.adjusted(1, 1, -1, -1);
    p.fillRect(glass, kAmber);
    // The glass is lit from behind: a soft shade under the top edge.
    hline(p, glass.left(), glass.top(), glass.width(), QColor(196, 160, 0));
    hline(p, glass.left(), glass.top() + 1, glass.width(), QColor(236, 202, 0));
}

void drawCaptionBox(QPainter& p, const QRect& r, const QString& caption) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    const QColor line(120, 140, 180);
    const QFont f = letteringFont(8);
    const QFontMetrics fm(f);
    const int capW = caption.isEmpty() ? 0 : fm.horizontalAdvance(caption) + 6;
    const int capX = r.left() + 6;
    // Engraved line: dark groove with a light lip under it.
    auto groove = [&](int x, int y, int w, int h) {
        p.fillRect(QRect(x, y, w, h), QColor(6, 9, 18));
        p.fillRect(QRect(x + (h > 1 ? 1 : 0), y + (w > 1 ? 1 : 0), w, h), withAlpha(line, 110));
    };
    groove(r.left(), r.top(), capX - r.left(), 1);
    groove(capX + capW, r.top(), r.right() - capX - capW, 1);
    groove(r.left(), r.top(), 1, r.height() - 1);
    groove(r.right() - 1, r.top(), 1, r.height() - 1);
    groove(r.left(), r.bottom() - 1, r.width() - 1, 1);
    if (!caption.isEmpty()) {
        p.setFont(f);
        p.setPen(kLetterYellow);
        p.drawText(QRect(capX, r.top() - 5, capW, 10), Qt::AlignCenter, caption);
    }
    p.restore();
}

void drawCaptionRule(QPainter& p, int x, int y, int width, const QString& caption) {
    const QFont f = letteringFont(7);
    const int capW = QFontMetrics(f).horizontalAdvance(caption) + 6;
    const int capX = x + 6;
    const QColor lip = withAlpha(QColor(120, 140, 180), 110);
    p.fillRect(QRect(x, y, capX - x, 1), QColor(6, 9, 18));
    p.fillRect(QRect(x, y + 1, capX - x, 1), lip);
    p.fillRect(QRect(capX + capW, y, x + width - capX - capW, 1), QColor(6, 9, 18));
    p.fillRect(QRect(capX + capW, y + 1, x + width - capX - capW, 1), lip);
    p.save();
    p.setFont(f);
    p.setPen(kLetterYellow);
    p.drawText(QRect(capX, y - 3, capW, 7), Qt::AlignCenter, caption);
    p.restore();
}

void drawWell(QPainter& p, const QRect& r, const QColor& fill) {
    p.fillRect(r, fill);
    bevel(p, r.adjusted(-1, -1, 1, 1), QColor(3, 5, 10), QColor(110, 125, 160));
}

// ---- keys ----------------------------------------------------------------

namespace {

struct KeyColours {
    QColor top, bottom, rimLight, rimDark, text;
    bool glow = false;
};

KeyColours keyColours(const KeyFace& k) {
    switch (k.style) {
    case KeyStyle::Keypad:
        return {QColor(212, 216, 224), QColor(150, 156, 168), QColor(250, 250, 252),
                QColor(70, 74, 84), QColor(16, 20, 30)};
    case KeyStyle::RedOn:
        if (k.lit)
            return {QColor(255, 120, 100), QColor(210, 30, 20), QColor(255, 200, 190),
                    QColor(110, 10, 5),    QColor(0, 0, 0),     true};
        break;
    default:
        if (k.lit)
            return {QColor(160, 255, 150), QColor(40, 200, 70), QColor(220, 255, 220),
                    QColor(10, 90, 30),    QColor(0, 0, 0),     true};
        break;
    }
    const QColor text = k.style == KeyStyle::CyanText ? kLetterCyan : kLetterYellow;
    return {QColor(52, 66, 98), QColor(22, 30, 52), QColor(100, 118, 160), QColor(6, 8, 16), text};
}

} // namespace

QPixmap keyPixmap(const KeyFace& k, qreal dpr) {
    const QString key = QStringLiteral("key:%1:%2x%3:%4:%5:%6")
                            .arg(k.caption)
                            .arg(k.size.width())
                            .arg(k.size.height())
                            .arg(int(k.style))
                            .arg(int(k.lit))
                            .arg(int(k.pressed));
    return cached(key, k.size, dpr, [&](QPainter& p) {
        const QRect outer(QPoint(0, 0), k.size);
        const KeyColours c = keyColours(k);
        p.fillRect(outer, QColor(2, 3, 6)); // the slot the key sits in
        const QRect face = outer.adjusted(1, 1, -1, -1);
        QLinearGradient g(face.topLeft(), face.bottomLeft());
        g.setColorAt(0.0, k.pressed ? c.bottom : c.top);
        g.setColorAt(1.0, k.pressed ? c.top.darker(110) : c.bottom);
        p.fillRect(face, g);
        if (c.glow) {
            // Light behind the key face: brightest in the middle.
            QRadialGradient rg(face.center(), face.width() * 0.6);
            rg.setColorAt(0.0, QColor(255, 255, 230, 120));
            rg.setColorAt(1.0, QColor(255, 255, 255, 0));
            p.fillRect(face, rg);
        }
        if (k.pressed)
            bevel(p, face, c.rimDark, c.rimLight);
        else
            bevel(p, face, c.rimLight, c.rimDark);
        const qreal pixel = k.size.height() <= 16 ? 9 : 10;
        QRectF textRect = QRectF(face).adjusted(2, 0, -2, 0);
        if (k.pressed)
            textRect.translate(0, 1);
        drawFittedText(p, textRect, k.caption, c.text, letteringFont(pixel));
    });
}

// The lit green indicator plates (mode label, filter): black rim, gradient
// face, raised edge. Returns the face rectangle.
static QRect drawGreenPlate(QPainter& p, const QRect& r) {
    p.fillRect(r, QColor(4, 8, 6));
    const QRect face = r.adjusted(1, 1, -1, -1);
    QLinearGradient g(face.topLeft(), face.bottomLeft());
    g.setColorAt(0.0, QColor(118, 230, 128));
    g.setColorAt(1.0, QColor(58, 178, 79));
    p.fillRect(face, g);
    bevel(p, face, QColor(190, 255, 200), QColor(20, 90, 40));
    return face;
}

QPixmap modeLabelPixmap(const QString& lettering, qreal dpr) {
    return cached(QStringLiteral("mode:") + lettering, QSize(64, 16), dpr, [&](QPainter& p) {
        const QRect face = drawGreenPlate(p, QRect(0, 0, 64, 16));
        drawFittedText(p, QRectF(face).adjusted(2, 0, -2, 0), lettering, Qt::black,
                       letteringFont(10));
    });
}

QPixmap filterPixmap(int filterIndex, qreal dpr) {
    static const std::array<const char*, 3> kLettering{"2.4kHz", "12kHz", "180kHz"};
    static const std::array<qreal, 3> kHalfWidth{7, 15, 25};
    const int i = std::clamp(filterIndex, 0, 2);
    return cached(QStringLiteral("filter:%1").arg(i), QSize(64, 32), dpr, [&](QPainter& p) {
        drawGreenPlate(p, QRect(0, 0, 64, 32));
        // Frequency axis and the filter's passband over it.
        const qreal base = 20.5, top = 5.5, cx = 32;
        const qreal hw = kHalfWidth[i];
        p.setPen(QPen(QColor(10, 60, 24), 1));
        p.drawLine(QPointF(4, base), QPointF(60, base));
        QPainterPath curve;
        curve.moveTo(cx - hw - 5, base);
        curve.cubicTo(cx - hw - 1, base, cx - hw, top, cx - hw + 3, top);
        curve.lineTo(cx + hw - 3, top);
        curve.cubicTo(cx + hw, top, cx + hw + 1, base, cx + hw + 5, base);
        p.setPen(QPen(Qt::black, 1.2));
        p.setBrush(QColor(20, 110, 40, 110));
        p.drawPath(curve);
        p.setBrush(Qt::NoBrush);
        drawFittedText(p, QRectF(2, 21, 60, 10), QString::fromLatin1(kLettering[i]), Qt::black,
                       letteringFont(9));
    });
}

QRect meterSegmentRect(int segment) {
    return QRect(kMeterSegmentLeft + segment * kMeterSegmentPitch, kMeterSegmentTop,
                 kMeterSegmentWidth, kMeterSegmentBottom - kMeterSegmentTop);
}

QColor meterSegmentColour(int segment, bool lit) {
    const bool red = segment >= 9;
    if (lit)
        return red ? QColor(255, 64, 40) : QColor(64, 240, 96);
    return red ? QColor(58, 18, 20) : QColor(16, 52, 32);
}

QPixmap meterPixmap(bool signalPresent, int level, qreal dpr) {
    level = std::clamp(level, 0, 15);
    const QString key = QStringLiteral("meter:%1:%2").arg(int(signalPresent)).arg(level);
    return cached(key, QSize(96, 19), dpr, [&](QPainter& p) {
        const QRect r(0, 0, 96, 19);
        p.fillRect(r, signalPresent ? QColor(14, 22, 44) : QColor(0, 0, 0));
        // Scale: S-units over the odd segments, decibels over S9 above the red ones.
        static const std::array<std::pair<int, const char*>, 8> kScale{
            {{0, "1"}, {2, "3"}, {4, "5"}, {6, "7"}, {8, "9"}, {10, "20"}, {12, "40"}, {14, "60"}}};
        const QFont f = letteringFont(7, false);
        p.setFont(f);
        for (auto [seg, text] : kScale) {
            const QRect s = meterSegmentRect(seg);
            const QColor c = seg >= 9 ? QColor(255, 120, 100) : QColor(200, 210, 230);
            p.setPen(signalPresent ? c : c.darker(260));
            p.drawText(QRectF(s.center().x() - 7 + 0.5, 1, 14, 8), Qt::AlignCenter,
                       QString::fromLatin1(text));
        }
        for (int s = 0; s < kMeterSegments; ++s) {
            const bool lit = s < level;
            QColor c = meterSegmentColour(s, lit);
            if (!signalPresent)
                c = QColor(14, 14, 14);
            p.fillRect(meterSegmentRect(s), c);
            if (lit) // a brighter core line makes the lit segment glow
                p.fillRect(meterSegmentRect(s).adjusted(1, 1, -1, -3), c.lighter(135));
        }
        if (signalPresent && level == 0) {
            const QRect first = meterSegmentRect(0);
            p.fillRect(QRect(first.left(), first.top(), 1, first.height()),
                       meterSegmentColour(0, true));
        }
    });
}

void drawFocusMark(QPainter& p, const QRect& r, const QColor& colour) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    p.fillRect(QRect(r.left(), r.top(), r.width(), 1), colour);
    p.fillRect(QRect(r.left(), r.bottom(), r.width(), 1), colour);
    p.fillRect(QRect(r.left(), r.top(), 1, r.height()), colour);
    p.fillRect(QRect(r.right(), r.top(), 1, r.height()), colour);
    p.restore();
}

QPixmap namePlatePixmap(qreal dpr, bool demo) {
    const QString key = demo ? QStringLiteral("nameplate:demo") : QStringLiteral("nameplate");
    return cached(key, QSize(145, 12), dpr, [&](QPainter& p) {
        const QRect r(0, 0, 145, 12);
        QLinearGradient g(r.topLeft(), r.bottomLeft());
        g.setColorAt(0.0, QColor(40, 44, 54));
        g.setColorAt(1.0, QColor(14, 16, 22));
        p.fillRect(r, g);
        hline(p, 0, 0, 145, QColor(90, 96, 112));
        QFont f = letteringFont(10);
        f.setLetterSpacing(QFont::AbsoluteSpacing, demo ? 2 : 3);
        f.setItalic(true);
        p.setFont(f);
        p.setPen(QColor(230, 232, 240));
        const QRectF lettering = demo ? QRectF(0, 0, kDemoBadge.left(), 12) : QRectF(r);
        p.drawText(lettering, Qt::AlignCenter, QStringLiteral("KOVO3000"));
        if (!demo)
            return;
        // A red enamel badge, as a showroom unit would wear.
        p.fillRect(kDemoBadge, QColor(196, 28, 24));
        bevel(p, kDemoBadge, QColor(255, 120, 100), QColor(90, 8, 6));
        drawFittedText(p, QRectF(kDemoBadge), QStringLiteral("DEMO"), Qt::white, letteringFont(8));
    });
}

QPixmap padPixmap(int image, qreal dpr) {
    image = std::clamp(image, 0, 2);
    return cached(QStringLiteral("pad:%1").arg(image), QSize(76, 34), dpr, [&](QPainter& p) {
        const QRect r(0, 0, 76, 34);
        p.fillRect(r, QColor(4, 5, 8));
        const QRect face = r.adjusted(1, 1, -1, -1);
        QLinearGradient g(face.topLeft(), face.bottomLeft());
        g.setColorAt(0.0, QColor(168, 174, 186));
        g.setColorAt(0.5, QColor(132, 138, 150));
        g.setColorAt(1.0, QColor(96, 100, 112));
        p.fillRect(face, g);
        bevel(p, face, QColor(230, 234, 240), QColor(40, 42, 50));
        // Knurled grip in the middle: the part the finger drags.
        for (int x = 28; x <= 47; x += 3) {
            vline(p, x, 7, 20, QColor(70, 74, 86));
            vline(p, x + 1, 7, 20, QColor(214, 218, 226));
        }
        auto arrow = [&](bool left, bool lit) {
            const qreal cx = left ? 13 : 63, cy = 17;
            QPainterPath tri;
            const qreal d = left ? -1 : 1;
            tri.moveTo(cx + 7 * d, cy);
            tri.lineTo(cx - 5 * d, cy - 8);
            tri.lineTo(cx - 5 * d, cy + 8);
            tri.closeSubpath();
            if (lit) {
                QRadialGradient glow(QPointF(cx, cy), 12);
                glow.setColorAt(0.0, QColor(140, 255, 140, 200));
                glow.setColorAt(1.0, QColor(140, 255, 140, 0));
                p.setPen(Qt::NoPen);
                p.setBrush(glow);
                p.drawEllipse(QPointF(cx, cy), 12, 12);
            }
            p.setPen(QPen(QColor(20, 22, 28), 1));
            p.setBrush(lit ? QColor(90, 255, 110) : QColor(44, 48, 58));
            p.drawPath(tri);
        };
        arrow(true, image == 1);
        arrow(false, image == 2);
    });
}

QPixmap scopeScalePixmap(qreal dpr) {
    return cached(QStringLiteral("scopescale"), QSize(16, 64), dpr, [&](QPainter& p) {
        static const std::array<std::pair<int, const char*>, 8> kScale{
            {{1, "1"}, {3, "3"}, {5, "5"}, {7, "7"}, {9, "9"}, {11, "20"}, {13, "40"}, {15, "60"}}};
        p.setFont(letteringFont(7, false));
        for (auto [level, text] : kScale) {
            const int y = 65 - 4 * level;
            p.setPen(level > 9 ? QColor(255, 130, 110) : QColor(210, 220, 236));
            p.drawText(QRectF(0, y - 4, 13, 8), Qt::AlignRight | Qt::AlignVCenter,
                       QString::fromLatin1(text));
            hline(p, 14, y, 2, QColor(210, 220, 236));
        }
    });
}

void drawScopeGraph(QPainter& p, const QRect& r) {
    p.fillRect(r, kAmber);
    const QColor rule(214, 178, 0);
    const QColor faint(236, 202, 0);
    for (int level = 1; level <= 15; ++level) {
        const int y = r.top() + 65 - 4 * level;
        hline(p, r.left(), y, r.width(), (level % 2) ? rule : faint);
    }
    for (int x = 0; x <= 400; x += 50)
        vline(p, r.left() + x, r.top(), 64, x % 100 ? faint : rule);
    hline(p, r.left(), r.top() + 64, r.width(), rule);
}

} // namespace kovo::art
