#pragma once
#include <QFont>

namespace kovo {

// The two fixed-pitch fonts every panel shares: 12 pixels in 6-pixel cells
// for the small fields and lists, 22 pixels at weight 600 for the frequency.
// IPA Gothic draws the Japanese comments; any fixed-pitch face stands in.
struct PanelFonts {
    QFont small;
    QFont large;

    // For the application's screens.
    static PanelFonts create();
    // For screens of this pixel ratio.
    static PanelFonts create(qreal devicePixelRatio);
};

} // namespace kovo
