#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "CoreFixture.h"
#include "scan/BandScope.h"

namespace kovo::test {
namespace {

using ::testing::ElementsAre;

class BandScopeTest : public ::testing::Test, public DocParts {
protected:
    BandScope scope{doc, view};

    const BandScope::Window& w() const { return scope.window(); }
    void centreOn(std::uint32_t hz, int step, int range) {
        doc.mainRecord.frequency = hz;
        doc.mainRecord.step = step;
        doc.controlParams.scopeRange = range;
    }
};

TEST_F(BandScopeTest, FiftyHertzStepIsRaisedToOneHundredInTheSmallestRange) {
    centreOn(145000000, 1, 3);
    scope.enter(false);
    EXPECT_EQ(doc.mainRecord.step, 2);
    EXPECT_EQ(doc.controlParams.scopeRange, 0);
    EXPECT_EQ(w().spanHz, 20000u);
    EXPECT_EQ(w().points, 200);
    EXPECT_EQ(w().barHalfWidth, 1);
    EXPECT_EQ(w().start, 144990000u);
    EXPECT_EQ(w().end, 145010000u);
    EXPECT_THAT(view.calls, ElementsAre("refreshPanels", "resetScope", "showStaticScope"));
}

TEST_F(BandScopeTest, FractionalStepRaisesTheRangeUntilTheStepFits) {
    centreOn(145000000, 5, 0); // 6.25 kHz
    scope.recomputeFromStep();
    EXPECT_EQ(w().fractional, 1);
    EXPECT_EQ(doc.controlParams.scopeRange,
              2); // the first range whose largest step is 6.25 kHz or more
    EXPECT_EQ(w().spanHz, 125000u);
    EXPECT_EQ(w().points, 20);
}

TEST_F(BandScopeTest, TwoMegahertzSpanRaisesAOneKilohertzStepToTen) {
    centreOn(145000000, 3, 3);
    scope.recomputeFromStep();
    scope.recomputeFromSpan(6);
    EXPECT_EQ(doc.mainRecord.step, 7);
    EXPECT_EQ(w().stepHz, 10000u);
    EXPECT_EQ(w().spanHz, 2000000u);
    EXPECT_EQ(w().points, 200);
}

TEST_F(BandScopeTest, SpanListLowersATooLargeStepAndKeepsTheFractionalFlagWhenUnmoved) {
    centreOn(145000000, 8, 4); // 12.5 kHz in range 4: fractional spans
    scope.recomputeFromStep();
    ASSERT_EQ(w().fractional, 1);
    scope.recomputeFromSpan(3); // 1..20 kHz: 12.5 kHz fits, the flag stays
    EXPECT_EQ(doc.mainRecord.step, 8);
    EXPECT_EQ(w().spanHz, 250000u);
    scope.recomputeFromSpan(0); // 100 Hz..2 kHz: down to 1 kHz
    EXPECT_EQ(doc.mainRecord.step, 3);
    EXPECT_EQ(w().fractional, 0);
    EXPECT_EQ(w().spanHz, 20000u);
}

TEST_F(BandScopeTest, WindowBelowTheLowestFrequencyMovesUp) {
    centreOn(150000, 7, 3); // 200 kHz span around 0.15 MHz
    scope.recomputeFromStep();
    EXPECT_EQ(w().start, 100000u);
    EXPECT_EQ(w().centre, 200000u);
    EXPECT_EQ(w().end, 300000u);

    centreOn(50000, 4, 3); // start below 0 wraps: counts as too high
    scope.recomputeFromStep();
    EXPECT_EQ(w().start, 100000u);
    centreOn(2039990000, 7, 3);
    scope.recomputeFromStep();
    EXPECT_EQ(w().start, 100000u);
}

TEST_F(BandScopeTest, BarWidthFollowsThePointCount) {
    centreOn(145000000, 3, 4); // 1 kHz: range 4 takes 5 kHz at least
    scope.recomputeFromStep();
    centreOn(145000000, 4, 4); // 5 kHz in 500 kHz: 100 points
    scope.recomputeFromStep();
    EXPECT_EQ(w().points, 100);
    EXPECT_EQ(w().barHalfWidth, 2);
    scope.recomputeFromSpan(5); // 1 MHz / 5 kHz = 200
    EXPECT_EQ(w().barHalfWidth, 1);
    scope.recomputeFromSpan(2); // 100 kHz / 5 kHz = 20
    EXPECT_EQ(w().barHalfWidth, 10);
}

TEST_F(BandScopeTest, HugeStepIndexIsTreatedAsOneHundredKilohertz) {
    centreOn(145000000, 15, 0);
    scope.recomputeFromStep();
    EXPECT_EQ(doc.mainRecord.step, 13);
    EXPECT_EQ(doc.controlParams.scopeRange, 5);
    EXPECT_EQ(w().points, 10);
    doc.controlParams.scopeRange = -7; // damaged file value
    scope.recomputeFromStep();
    EXPECT_GE(doc.controlParams.scopeRange, 0);
}

TEST_F(BandScopeTest, SweepRunsAcrossAllPointsAndWraps) {
    centreOn(145000000, 7, 2); // 10 kHz in 100 kHz: 10 points
    doc.controlParams.direction = 1;
    scope.enter(true);
    EXPECT_EQ(w().sweepIndex, 0);
    EXPECT_EQ(doc.mainRecord.frequency, 144950000u);
    for (int i = 0; i < 10; ++i)
        scope.nextPoint();
    EXPECT_EQ(doc.mainRecord.frequency, 145050000u);
    scope.nextPoint();
    EXPECT_EQ(w().sweepIndex, 0);
    EXPECT_EQ(doc.mainRecord.frequency, 144950000u);
    doc.controlParams.direction = 0;
    scope.nextPoint();
    EXPECT_EQ(w().sweepIndex, 10);
    scope.restartSweep();
    EXPECT_EQ(w().sweepIndex, 10);
    EXPECT_EQ(view.calls.back(), "cursor 10");
}

TEST_F(BandScopeTest, SweepPointTakesTheStoredChannelsInfo) {
    doc.mainRecord.mode = 0;
    const int row = doc.channelTable().storeChannel(144960000);
    doc.channels[std::size_t(row)]->comment = "beacon";
    centreOn(145000000, 7, 2);
    doc.controlParams.direction = 1;
    scope.enter(true);
    scope.nextPoint();
    EXPECT_EQ(doc.mainRecord.comment, "beacon");
    scope.nextPoint();
    EXPECT_EQ(doc.mainRecord.comment, "");
}

} // namespace
} // namespace kovo::test
