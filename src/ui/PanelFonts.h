#pragma once
#include <QFont>

namespace kovo {

// The two fixed-pitch fonts every panel shares: 12 pixels at weight 500 for
// the small fields and lists, 22 pixels at weight 600 for the frequency. IPA
// Gothic draws the Japanese comments; any fixed-pitch face stands in for it.
struct PanelFonts {
    QFont small;
    QFont large;

    static PanelFonts create();
};

} // namespace kovo
