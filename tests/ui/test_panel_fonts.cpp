// The panel fonts stay legible: no character of the fields comes out as a
// filled block at the sizes and pixel ratios the panels use.
#include "ui/PanelArt.h"
#include "ui/PanelEdit.h"
#include "ui/PanelFonts.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

using namespace kovo;

namespace {

// What a character leaves on the field: the box of the pixels it changes,
// whether any of them is dark ink, and the share of the box left in the
// background colour. A legible letter has dark strokes with light gaps
// between them; a filled cell has no gaps, a smeared one no dark ink.
struct Ink {
    int width = 0;
    int height = 0;
    bool dark = false;
    double lightShare = 1.0;
};

// A line of text as a panel field shows it (black on amber), rendered at a
// pixel ratio.
QImage renderLine(const QFont& font, const QString& text, qreal dpr) {
    const QFontMetrics metrics(font);
    const QSize size(metrics.horizontalAdvance(text) + 8, metrics.height() + 4);
    PanelEdit field(0, QRect(QPoint(0, 0), size), font, false, nullptr);
    field.setText(text);
    field.setCursorPosition(0);
    field.ensurePolished();
    QImage image(size * dpr, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(dpr);
    image.fill(art::kAmber);
    field.render(&image);
    return image;
}

// The ink of the character whose rendering `withIt` is and `without` is not.
Ink inkOf(const QImage& withIt, const QImage& without) {
    QRect box;
    for (int y = 0; y < withIt.height(); ++y)
        for (int x = 0; x < withIt.width(); ++x)
            if (withIt.pixel(x, y) != without.pixel(x, y))
                box |= QRect(x, y, 1, 1);
    Ink ink;
    if (box.isEmpty())
        return ink;
    // Less than half the amber's brightness is dark ink; two thirds of it and
    // more is light.
    const int amber = qGray(art::kAmber.rgb());
    int light = 0;
    for (int y = box.top(); y <= box.bottom(); ++y)
        for (int x = box.left(); x <= box.right(); ++x) {
            const int grey = qGray(withIt.pixel(x, y));
            ink.dark = ink.dark || grey < amber / 2;
            light += grey > amber * 2 / 3 ? 1 : 0;
        }
    ink.width = box.width();
    ink.height = box.height();
    ink.lightShare = double(light) / (box.width() * box.height());
    return ink;
}

} // namespace

TEST(PanelFonts, NoCharacterIsAFilledBlock) {
    QString ascii;
    for (char c = '!'; c <= '~'; ++c)
        ascii += QLatin1Char(c);
    const QString japanese = QString::fromUtf8("東京タワー管制エアバンド");
    // The frequency window shows digits, the point and the link message.
    const QString frequency = QStringLiteral("0123456789.NO RECEIVER");
    for (qreal dpr : {1.0, 2.0}) {
        const PanelFonts fonts = PanelFonts::create(dpr);
        const std::tuple<const QFont*, const char*, QStringList> faces[] = {
            {&fonts.small, "small", {ascii, japanese}}, {&fonts.large, "large", {frequency}}};
        for (const auto& [font, name, texts] : faces) {
            for (const QString& text : texts) {
                // Characters side by side as in a field; each character's
                // columns are those that change when it is blanked out.
                const QImage image = renderLine(*font, text, dpr);
                for (int i = 0; i < text.size(); ++i) {
                    const QChar c = text[i];
                    if (c == QLatin1Char(' '))
                        continue;
                    QString blanked = text;
                    // A blank of the same width: the others stay where they are.
                    blanked[i] = c.unicode() < 0x80 ? QChar(u' ') : QChar(u'\u3000');
                    const Ink ink = inkOf(image, renderLine(*font, blanked, dpr));
                    const std::string what = std::string(name) + " font at " +
                                             std::to_string(int(dpr)) + "x: '" +
                                             QString(c).toStdString() + "'";
                    EXPECT_TRUE(ink.dark) << what << " has no dark stroke";
                    // Strokes and dots (l, |, -, .) may fill their own small box.
                    if (ink.width < 4 * dpr || ink.height < 3 * dpr ||
                        ink.width * ink.height < 25 * dpr * dpr)
                        continue;
                    EXPECT_GE(ink.lightShare, 0.2)
                        << what << " is " << ink.width << 'x' << ink.height << " and nearly solid";
                }
            }
        }
    }
}
