#include "ui/ScopeGeometry.h"

#include <gtest/gtest.h>

using namespace kovo;

namespace {

BandScope::Window window200k() {
    BandScope::Window w;
    w.stepHz = 20'000;
    w.spanHz = 200'000;
    w.centre = 145'000'000;
    w.start = 144'900'000;
    w.end = 145'100'000;
    w.points = 10;
    w.barHalfWidth = 20;
    return w;
}

} // namespace

TEST(ScopeGeometry, BarWidthsFollowThePointCount) {
    // 250 points: one pixel; 50 points: six pixels.
    auto b = scope::barAt(200, 200 / 250);
    EXPECT_EQ(b.right - b.left, 1);
    b = scope::barAt(200, 200 / 50);
    EXPECT_EQ(b.left, 197);
    EXPECT_EQ(b.right, 203);
    b = scope::barAt(200, 2);
    EXPECT_EQ(b.left, 199);
    EXPECT_EQ(b.right, 202);
    b = scope::barAt(0, 4);
    EXPECT_EQ(b.left, 0);
    b = scope::barAt(400, 4);
    EXPECT_EQ(b.right, 400);
    b = scope::barAt(400, 0);
    EXPECT_EQ(b.left, 400);
    EXPECT_EQ(b.right, 401);
}

TEST(ScopeGeometry, BarTopsByLevel) {
    EXPECT_EQ(scope::barTop(0, false), 62) << "level 0 is a one-pixel bar";
    EXPECT_EQ(scope::barTop(1, false), 61);
    EXPECT_EQ(scope::barTop(15, false), 5);
    EXPECT_EQ(scope::barTop(21, true), 1) << "static bars stay inside the plot";
}

TEST(ScopeGeometry, PointerFrequencySnapsToStep) {
    const auto w = window200k();
    EXPECT_EQ(scope::pointX(w, 5), 200);
    EXPECT_EQ(scope::frequencyAtOffset(w, 200), 145'000'000u);
    EXPECT_EQ(scope::frequencyAtOffset(w, 219), 145'000'000u);
    EXPECT_EQ(scope::frequencyAtOffset(w, 240), 145'020'000u);
    EXPECT_EQ(scope::sweepIndexAtOffset(w, 200), 5);
    EXPECT_EQ(scope::sweepIndexAtOffset(w, 1000), 10) << "clamped to the last point";
    EXPECT_EQ(scope::staticX(w, 145'050'000), 300);
    EXPECT_EQ(scope::staticHalfWidth(w, 10), 20);
}
