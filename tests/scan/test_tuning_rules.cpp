#include "scan/TuningRules.h"

#include "data/AppSettings.h"
#include "fakes/TypedFrequencyCases.h"

#include <gtest/gtest.h>

using namespace kovo;

TEST(TuningRules, TypedMegahertzAreExactAndTruncated) {
    EXPECT_EQ(parseDecimalHz("145.5", kMegahertz), 145'500'000);
    EXPECT_EQ(parseDecimalHz("145.0125", kMegahertz), 145'012'500) << "no floating-point loss";
    EXPECT_EQ(parseDecimalHz(" 0.1234567", kMegahertz), 123'456) << "below 1 Hz is cut";
    EXPECT_EQ(parseDecimalHz("145", kKilohertz), 145'000);
    EXPECT_EQ(parseDecimalHz("12.5", kKilohertz), 12'500);
    EXPECT_EQ(parseDecimalHz("0", kMegahertz), 0);
    // Absurdly long input saturates instead of overflowing.
    const auto huge = parseDecimalHz(std::string(400, '9'), kMegahertz);
    ASSERT_TRUE(huge.has_value());
    EXPECT_EQ(limitFrequency(*huge), kHighestFrequency);
}

// The whole text is the number, or it is not a frequency at all: a slip of
// the keyboard must never tune somewhere else.
TEST(TuningRules, OnlyAWholeNumberIsAFrequency) {
    struct Case {
        const char* text;
        std::optional<std::int64_t> hz;
    };
    const Case cases[] = {
        {"145,5", 145'500'000},
        {" 145.600 ", 145'600'000},
        {"145.", 145'000'000},
        {".5", 500'000},
        {"2m amateur 145.600", {}},
        {"145.5MHz", {}},
        {"1e3", {}},
        {"0x10", {}},
        {"...5.5", {}},
        {"145.5.5", {}},
        {"145,5.5", {}},
        {"-3", {}},
        {"+145", {}},
        {"14 5", {}},
        {".", {}},
        {"abc", {}},
        {"", {}},
        {"   ", {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(parseDecimalHz(c.text, kMegahertz), c.hz) << '"' << c.text << '"';
    EXPECT_TRUE(isBlank(" \t"));
    EXPECT_FALSE(isBlank(" x"));
}

// The reading every front end shares: the hertz, or why there are none,
// against the range the caller names.
TEST(TuningRules, TypedFrequenciesAreReadAgainstTheCallersRange) {
    using Verdict = TypedFrequency::Verdict;
    for (const test::TypedFrequencyCase& c : test::kTypedFrequencyCases) {
        SCOPED_TRACE(std::string("\"") + c.text + '"');
        const TypedFrequency receiver = readTypedFrequency(c.text, FrequencyRange{});
        const TypedFrequency any = readTypedFrequency(c.text, kAnyFrequency);
        if (!c.hz) {
            EXPECT_EQ(receiver.verdict, Verdict::NotANumber);
            EXPECT_EQ(any.verdict, Verdict::NotANumber);
            continue;
        }
        EXPECT_EQ(receiver.verdict, c.tuned ? Verdict::Frequency : Verdict::OutOfRange);
        EXPECT_EQ(parseTypedMegahertz(c.text), c.tuned ? c.hz : std::nullopt);
        ASSERT_EQ(any.verdict, Verdict::Frequency);
        EXPECT_EQ(any.hz, *c.hz);
    }
    // A narrower range (a radio that tunes 0.5 to 30 MHz), both ends included;
    // other units; and more hertz than 32 bits hold.
    const FrequencyRange shortWave{500'000, 30'000'000};
    EXPECT_EQ(readTypedFrequency("0.5", shortWave).hz, 500'000u);
    EXPECT_EQ(readTypedFrequency("30", shortWave).hz, 30'000'000u);
    EXPECT_EQ(readTypedFrequency("30.000001", shortWave).verdict, Verdict::OutOfRange);
    EXPECT_EQ(readTypedFrequency("145.5", shortWave).verdict, Verdict::OutOfRange);
    EXPECT_EQ(readTypedFrequency("7074,5", shortWave, kKilohertz).hz, 7'074'500u);
    EXPECT_EQ(readTypedFrequency("4295", kAnyFrequency).verdict, Verdict::OutOfRange);
    EXPECT_EQ(readTypedFrequency(std::string(40, '9'), kAnyFrequency).verdict, Verdict::OutOfRange);
}

TEST(TuningRules, FrequencyLimits) {
    EXPECT_EQ(limitFrequency(3'000'000'000), 2'040'000'000u);
    EXPECT_EQ(limitFrequency(2'040'000'000), 2'040'000'000u);
    EXPECT_EQ(limitFrequency(2'039'999'950), 2'039'999'950u);
    EXPECT_EQ(limitFrequency(100'000), 100'000u);
    EXPECT_EQ(limitFrequency(100'001), 100'001u);
    EXPECT_EQ(limitFrequency(50'000), 100'000u);
    EXPECT_EQ(limitFrequency(-5), 100'000u);
}

TEST(TuningRules, MegahertzFormat) {
    EXPECT_EQ(formatMegahertz(145'000'000), " 145.000000");
    EXPECT_EQ(formatMegahertz(100'000), "   0.100000");
    EXPECT_EQ(formatMegahertz(2'040'000'000), "2040.000000");
}

TEST(TuningRules, AmKeyCyclesSynchronousAmOnlyWithTheOption) {
    EXPECT_EQ(modeForKey(2, 2, false), 2);
    EXPECT_EQ(modeForKey(2, 6, false), 2);
    int mode = 0;
    const int expected[] = {2, 6, 7, 8, 2, 6};
    for (int want : expected) {
        mode = modeForKey(2, mode, true);
        EXPECT_EQ(mode, want);
    }
    EXPECT_EQ(modeForKey(2, 4, true), 2) << "from another mode the AM key gives AM";
    EXPECT_EQ(modeForKey(5, 7, true), 5);
    EXPECT_EQ(modeKeyOf(7), 2);
    EXPECT_EQ(amKeyImage(2), 1);
    EXPECT_EQ(amKeyImage(8), 4);
    EXPECT_EQ(amKeyImage(0), 0);
}

TEST(TuningRules, ModeDefaultIfBandwidths) {
    AppSettings s;
    s.nfmBandWidth = 2;
    s.wfmBandWidth = 1;
    s.amBandWidth = 1;
    EXPECT_EQ(defaultIfBandwidth(0, 3, s), 3) << "NFM keeps 2..4";
    EXPECT_EQ(defaultIfBandwidth(0, 5, s), 4);
    EXPECT_EQ(defaultIfBandwidth(0, 1, s), 4);
    EXPECT_EQ(defaultIfBandwidth(1, 5, s), 5) << "WFM keeps 5 and 6";
    EXPECT_EQ(defaultIfBandwidth(1, 4, s), 6);
    EXPECT_EQ(defaultIfBandwidth(2, 6, s), 3);
    EXPECT_EQ(defaultIfBandwidth(6, 6, s), 3) << "SAM as AM";
    EXPECT_EQ(defaultIfBandwidth(5, 3, s), 1);
    s.optFilter = 1;
    EXPECT_EQ(defaultIfBandwidth(5, 3, s), 0) << "CW uses the 500 Hz filter when fitted";
    for (int m : {3, 4, 7, 8})
        EXPECT_EQ(defaultIfBandwidth(m, 5, s), 1) << m;
}

TEST(TuningRules, BankOfMaskIsLowestBit) {
    EXPECT_EQ(bankOfMask(0), 0);
    EXPECT_EQ(bankOfMask(1), 0);
    EXPECT_EQ(bankOfMask(0x200000), 21);
    EXPECT_EQ(bankOfMask(0x0C), 2);
    EXPECT_EQ(bankOfMask(0x400000), 0) << "bits above 21 are not banks";
}

TEST(TuningRules, DragAccumulatorEightPixelsPerStepWithSign) {
    DragAccumulator acc;
    EXPECT_EQ(acc.add(7), 0);
    EXPECT_EQ(acc.add(1), 1);
    EXPECT_EQ(acc.pending(), 0);
    EXPECT_EQ(acc.add(-3), 0);
    EXPECT_EQ(acc.add(-13), -2);
    EXPECT_EQ(acc.pending(), 0);
    EXPECT_EQ(acc.add(20), 2);
    EXPECT_EQ(acc.pending(), 4);
    EXPECT_EQ(acc.add(-5), 0);
    EXPECT_EQ(acc.pending(), -1);
    // A wheel: 120 units to a notch, touchpads in smaller pieces.
    DragAccumulator wheel(DragAccumulator::kWheelUnitsPerNotch);
    EXPECT_EQ(wheel.add(-240), -2);
    EXPECT_EQ(wheel.add(60), 0);
    EXPECT_EQ(wheel.add(60), 1);
}

TEST(TuningRules, SubStep) {
    EXPECT_EQ(subStepHz(16, 10), 200'000u) << "Main X 10";
    EXPECT_EQ(subStepHz(1, 10), 50u);
    EXPECT_EQ(subStepHz(15, 10), 10'000'000u);
}
