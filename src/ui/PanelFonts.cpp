#include "ui/PanelFonts.h"

#include <QFontMetricsF>
#include <QGuiApplication>
#include <QStringList>

namespace kovo {
namespace {

constexpr qreal kHalfWidthCell = 6.0;

// The frequency: IPA Gothic, whose wide digits are crisp at this size.
QFont largeFont() {
    QFont f;
    f.setFamilies({QStringLiteral("IPAGothic"), QStringLiteral("IPAゴシック"),
                   QStringLiteral("DejaVu Sans Mono"), QStringLiteral("Monospace")});
    f.setStyleHint(QFont::TypeWriter);
    f.setFixedPitch(true);
    f.setPixelSize(22);
    f.setWeight(QFont::DemiBold);
    f.setKerning(false);
    f.setStyleStrategy(QFont::PreferNoShaping);
    return f;
}

// The fields and lists: 6 x 12 half-width cells. IPA Gothic's outlines of
// wide letters (m, M, W) have no room in six pixels and come out as solid
// blocks, so Latin text is drawn by DejaVu Sans Mono, narrowed to the cell;
// Japanese text falls back to IPA Gothic at the same size. On a screen of
// single pixel ratio the glyphs are drawn without smoothing, which keeps the
// strokes of six-pixel letters apart; finer screens smooth them.
QFont smallFont(qreal devicePixelRatio) {
    QFont f;
    f.setFamilies({QStringLiteral("DejaVu Sans Mono"), QStringLiteral("IPAGothic"),
                   QStringLiteral("IPAゴシック"), QStringLiteral("Monospace")});
    f.setStyleHint(QFont::TypeWriter);
    f.setFixedPitch(true);
    f.setPixelSize(12);
    f.setWeight(QFont::Normal);
    f.setKerning(false);
    const qreal advance = QFontMetricsF(f).horizontalAdvance(QLatin1Char('m'));
    if (advance > kHalfWidthCell)
        f.setStretch(qRound(100 * kHalfWidthCell / advance));
    // Latin and Japanese text need no shaping (the cells are fixed and
    // kerning is off); skipping it makes every change of a field's text cheap.
    if (devicePixelRatio < 1.5)
        f.setStyleStrategy(QFont::StyleStrategy(QFont::NoAntialias | QFont::PreferNoShaping));
    else
        f.setStyleStrategy(QFont::PreferNoShaping);
    return f;
}

} // namespace

PanelFonts PanelFonts::create() {
    return create(qGuiApp ? qGuiApp->devicePixelRatio() : 1.0);
}

PanelFonts PanelFonts::create(qreal devicePixelRatio) {
    return {smallFont(devicePixelRatio), largeFont()};
}

} // namespace kovo
