#include "ui/PanelFonts.h"

#include <QStringList>

namespace kovo {
namespace {

QFont panelFont(int pixelSize, int weight)
{
    QFont f;
    f.setFamilies({QStringLiteral("IPAGothic"), QStringLiteral("IPAゴシック"),
                   QStringLiteral("DejaVu Sans Mono"), QStringLiteral("Monospace")});
    f.setStyleHint(QFont::TypeWriter);
    f.setFixedPitch(true);
    f.setPixelSize(pixelSize);
    f.setWeight(QFont::Weight(weight));
    f.setKerning(false);
    return f;
}

} // namespace

PanelFonts PanelFonts::create()
{
    return {panelFont(12, 500), panelFont(22, 600)};
}

} // namespace kovo
