#include "ui/BandScopeModel.h"

#include <gtest/gtest.h>

using namespace kovo;

TEST(BandScopeModel, FiftyHertzStepRaisedTo100HzInRangeZero)
{
    BandScopeModel m;
    std::int32_t step = 1, range = 3;
    m.recomputeFromStep(step, range);
    EXPECT_EQ(step, 2);
    EXPECT_EQ(range, 0);
    EXPECT_EQ(m.span(), 20'000u);
    EXPECT_EQ(m.points(), 200);
    EXPECT_EQ(m.barHalfWidth(), 1);
}

TEST(BandScopeModel, FractionalStepMovesRangeUpAndUsesFractionalSpan)
{
    // The range rises one by one until its largest step takes 6.25 kHz:
    // range 2 (1 to 10 kHz), with its fractional span of 125 kHz.
    BandScopeModel m;
    std::int32_t step = 5, range = 0;
    m.recomputeFromStep(step, range);
    EXPECT_EQ(range, 2);
    EXPECT_EQ(m.fractional(), 1);
    EXPECT_EQ(m.span(), 125'000u);
    EXPECT_EQ(m.points(), 20);
    // From above, the range falls until its smallest step is reached.
    range = 6;
    m.recomputeFromStep(step, range);
    EXPECT_EQ(range, 5);
    EXPECT_EQ(m.span(), 1'250'000u);
}

TEST(BandScopeModel, SpanChoiceMovesStep)
{
    BandScopeModel m;
    std::int32_t step = 3, range = 0; // 1 kHz
    m.recomputeFromStep(step, range);
    m.recomputeFromSpan(6, step, range); // 2 MHz
    EXPECT_EQ(step, 7) << "10 kHz";
    EXPECT_EQ(m.span(), 2'000'000u);
    EXPECT_EQ(m.points(), 200);
    // Lowering: 100 kHz step into the 20 kHz span gives 1 kHz... down to range 0's 2 kHz limit.
    step = 13;
    m.recomputeFromSpan(0, step, range);
    EXPECT_EQ(step, 3);
    EXPECT_EQ(m.span(), 20'000u);
}

TEST(BandScopeModel, SpanChoiceKeepsFractionalFlagWhenStepStays)
{
    BandScopeModel m;
    std::int32_t step = 8, range = 0; // 12.5 kHz
    m.recomputeFromStep(step, range);
    EXPECT_EQ(m.fractional(), 1);
    m.recomputeFromSpan(5, step, range);
    EXPECT_EQ(step, 8);
    EXPECT_EQ(m.span(), 1'250'000u);
}

TEST(BandScopeModel, WindowKeptAboveLowestFrequency)
{
    BandScopeModel m;
    m.setCentre(150'000);
    std::int32_t step = 10, range = 3; // 20 kHz, 200 kHz span
    m.recomputeFromStep(step, range);
    EXPECT_EQ(m.start(), 100'000u) << "first multiple of 20 kHz at or above 0.1 MHz";
    EXPECT_EQ(m.centre(), 200'000u);
    EXPECT_EQ(m.end(), 300'000u);
    step = 7; // 10 kHz, start 5,000 below zero wraps and counts as too high
    m.setCentre(95'000);
    m.recomputeFromStep(step, range);
    EXPECT_EQ(m.start(), 100'000u);
    m.setCentre(2'039'990'000);
    m.recomputeFromStep(step, range);
    EXPECT_EQ(m.start(), 100'000u) << "too high a start also moves to the bottom";
    m.setCentre(145'000'000);
    m.recomputeFromStep(step, range);
    EXPECT_EQ(m.start(), 144'900'000u);
    EXPECT_EQ(m.pointFrequency(m.points()), 145'100'000u);
}

TEST(BandScopeModel, BarWidths)
{
    // 250 points: one pixel; 50 points: six pixels.
    auto b = BandScopeModel::barAt(200, 200 / 250);
    EXPECT_EQ(b.right - b.left, 1);
    b = BandScopeModel::barAt(200, 200 / 50);
    EXPECT_EQ(b.left, 197);
    EXPECT_EQ(b.right, 203);
    b = BandScopeModel::barAt(0, 4);
    EXPECT_EQ(b.left, 0);
    b = BandScopeModel::barAt(400, 4);
    EXPECT_EQ(b.right, 400);
    EXPECT_EQ(BandScopeModel::barTop(0, false), 62);
    EXPECT_EQ(BandScopeModel::barTop(1, false), 61);
    EXPECT_EQ(BandScopeModel::barTop(15, false), 5);
    EXPECT_EQ(BandScopeModel::barTop(21, true), 1);
}

TEST(BandScopeModel, SweepWrapsInBothDirections)
{
    BandScopeModel m;
    std::int32_t step = 10, range = 3;
    m.recomputeFromStep(step, range);
    ASSERT_EQ(m.points(), 10);
    m.setSweepIndex(m.restartIndex(1));
    EXPECT_EQ(m.sweepIndex(), 0);
    m.setSweepIndex(10);
    EXPECT_EQ(m.nextIndex(1), 0);
    m.setSweepIndex(0);
    EXPECT_EQ(m.nextIndex(0), 10);
    EXPECT_EQ(m.restartIndex(0), 10);
    EXPECT_EQ(m.pointX(5), 200);
}

TEST(BandScopeModel, PointerFrequencySnapsToStep)
{
    BandScopeModel m;
    m.setCentre(145'000'000);
    std::int32_t step = 10, range = 3;
    m.recomputeFromStep(step, range);
    // u = 200 is the centre.
    EXPECT_EQ(m.frequencyAtOffset(200), 145'000'000u);
    EXPECT_EQ(m.frequencyAtOffset(219), 145'000'000u);
    EXPECT_EQ(m.frequencyAtOffset(240), 145'020'000u);
    EXPECT_EQ(m.sweepIndexAtOffset(200), 5);
    EXPECT_EQ(m.sweepIndexAtOffset(1000), 10) << "clamped to the last point";
}
