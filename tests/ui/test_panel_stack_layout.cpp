#include "ui/PanelStackLayout.h"

#include <gtest/gtest.h>

using namespace kovo;

namespace {

int top(const StackPlacement& s, PanelSlot p) {
    return s[p].top;
}
bool shown(const StackPlacement& s, PanelSlot p) {
    return s[p].visible;
}

} // namespace

TEST(PanelStackLayout, DefaultsShowDisplayAndControl1Only) {
    const int titleHeight = 47;
    const StackInputs defaults;
    const auto s = computeStack(defaults, 40, 20 + titleHeight + kTitleGap);
    EXPECT_EQ(top(s, PanelSlot::Display), 20 + titleHeight + 8);
    EXPECT_EQ(top(s, PanelSlot::Control1), top(s, PanelSlot::Display) + 50);
    for (int i = 0; i < kPanelSlotCount; ++i) {
        const auto slot = static_cast<PanelSlot>(i);
        EXPECT_EQ(s[slot].visible, slot == PanelSlot::Display || slot == PanelSlot::Control1) << i;
        EXPECT_EQ(s[slot].x, 40);
        EXPECT_EQ(s[slot].width, 555);
    }
    EXPECT_EQ(s.totalHeight, 50 + 48);
    EXPECT_FALSE(s.stayOnTop);
}

TEST(PanelStackLayout, Control2WithCtcssPushesScopeAndDatabaseDownBy100) {
    StackInputs in;
    in.bandScope = true;
    in.showDataBase = true;
    const auto before = computeStack(in, 0, 0);
    in.showControl2 = true;
    in.ctcssSwitch = true;
    const auto after = computeStack(in, 0, 0);
    EXPECT_EQ(top(after, PanelSlot::Control2), 100);
    EXPECT_EQ(top(after, PanelSlot::Ctcss), 174);
    EXPECT_EQ(top(after, PanelSlot::BandScope), top(before, PanelSlot::BandScope) + 100);
    EXPECT_EQ(top(after, PanelSlot::DataBase), top(before, PanelSlot::DataBase) + 100);
    EXPECT_EQ(top(after, PanelSlot::DataBase), 50 + 50 + 74 + 26 + 98);
    EXPECT_EQ(after.totalHeight, 298 + 254);
}

TEST(PanelStackLayout, StripVisibilityRules) {
    StackInputs in;
    in.dtmf = true;
    in.elm = true;
    in.ctcssSwitch = true;
    auto s = computeStack(in, 0, 0);
    EXPECT_TRUE(shown(s, PanelSlot::Decoder)) << "DTMF alone shows the decoder strip";
    EXPECT_FALSE(shown(s, PanelSlot::TElm)) << "T-ELM needs Control panel 2 as well";
    EXPECT_FALSE(shown(s, PanelSlot::Ctcss));
    EXPECT_EQ(top(s, PanelSlot::Decoder), 100);
    in.showControl2 = true;
    s = computeStack(in, 0, 0);
    EXPECT_TRUE(shown(s, PanelSlot::TElm));
    EXPECT_TRUE(shown(s, PanelSlot::Ctcss));
    EXPECT_EQ(top(s, PanelSlot::TElm), 200);
    EXPECT_EQ(top(s, PanelSlot::Decoder), 226);
}

TEST(PanelStackLayout, HiddenTitleStaysOnTopOnlyWithTopMost) {
    StackInputs in;
    in.showTitle = false;
    EXPECT_TRUE(computeStack(in, 40, 20).stayOnTop);
    EXPECT_EQ(computeStack(in, 40, 20)[PanelSlot::Display].top, 20);
    in.topMost = false;
    EXPECT_FALSE(computeStack(in, 40, 20).stayOnTop);
    in.showTitle = true;
    in.topMost = true;
    EXPECT_FALSE(computeStack(in, 40, 20).stayOnTop);
}

TEST(PanelStackLayout, PlacingOrderAvoidsFlicker) {
    PlacingOrderTracker t;
    StackInputs in;
    EXPECT_EQ(t.next(in, 100), PlacingOrder::BottomUp);
    EXPECT_EQ(t.next(in, 100), PlacingOrder::BottomUp) << "nothing changed";
    EXPECT_EQ(t.next(in, 90), PlacingOrder::TopDown) << "moved up";
    EXPECT_EQ(t.next(in, 95), PlacingOrder::BottomUp) << "moved down";
    in.showControl1 = false;
    EXPECT_EQ(t.next(in, 95), PlacingOrder::TopDown) << "a strip went away";
    in.showControl1 = true;
    EXPECT_EQ(t.next(in, 95), PlacingOrder::BottomUp) << "a strip came back";
    in.showDataBase = true;
    EXPECT_EQ(t.next(in, 95), PlacingOrder::BottomUp);
    in.showDataBase = false;
    EXPECT_EQ(t.next(in, 95), PlacingOrder::BottomUp) << "the database toggle is not watched";
}
