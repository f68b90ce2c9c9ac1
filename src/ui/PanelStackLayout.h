#pragma once
#include <array>

namespace kovo {

// The eight strips of the front panel, top to bottom.
enum class PanelSlot : int {
    Display = 0,
    Control1,
    Control2,
    Ctcss,
    TElm,
    Decoder,
    BandScope,
    DataBase,
};
inline constexpr int kPanelSlotCount = 8;
inline constexpr int kPanelWidth = 555;
// Gap between the menu bar (title strip) and the first panel.
inline constexpr int kTitleGap = 8;
// Every shown strip takes its height plus this seam in the stack.
inline constexpr int kPanelSeam = 2;

struct PanelSlotInfo {
    const char* caption;
    int height;
};

inline constexpr std::array<PanelSlotInfo, kPanelSlotCount> kPanelSlots{{
    {"Display Window", 48},
    {"Control1 Window", 48},
    {"Control2 Window", 72},
    {"CTCSS Window", 24},
    {"TElm Window", 24},
    {"Decoder Window", 24},
    {"BandScope Window", 96},
    {"DataBase Window", 254},
}};

constexpr int panelHeight(PanelSlot s) {
    return kPanelSlots[static_cast<int>(s)].height;
}
constexpr const char* panelCaption(PanelSlot s) {
    return kPanelSlots[static_cast<int>(s)].caption;
}

// Everything that decides which strips are shown and how the stack behaves.
struct StackInputs {
    bool showTitle = true;
    bool topMost = true;
    bool showControl1 = true;
    bool showControl2 = false;
    bool showDataBase = false;
    bool ctcssSwitch = false;
    bool dtmf = false;
    bool elm = false;
    bool bandScope = false;

    bool operator==(const StackInputs&) const = default;
};

struct PanelPlacement {
    int x = 0;
    int top = 0;
    int width = kPanelWidth;
    int height = 0;
    bool visible = false;
};

enum class PlacingOrder { TopDown, BottomUp };

struct StackPlacement {
    std::array<PanelPlacement, kPanelSlotCount> panels{};
    // The strips stay above other windows (only without the title strip).
    bool stayOnTop = false;
    // Height from the stack's top to the bottom of its lowest shown strip.
    int totalHeight = 0;

    const PanelPlacement& operator[](PanelSlot s) const { return panels[static_cast<int>(s)]; }
};

bool isPanelShown(PanelSlot slot, const StackInputs& in);

// Where each strip goes when the stack's top-left corner is (x, y).
StackPlacement computeStack(const StackInputs& in, int x, int y);

// Chooses the order in which the strips are placed so that the stack does not
// flicker while it moves or shrinks: top down when it moves up, or stays put
// while a strip disappears; bottom up otherwise. Remembers the last call.
class PlacingOrderTracker {
public:
    PlacingOrder next(const StackInputs& in, int y);

private:
    int lastY_ = 0;
    // The five visibility inputs as last seen; all off before the first call.
    StackInputs last_{.showControl1 = false};
};

} // namespace kovo
