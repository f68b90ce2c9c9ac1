#include <gtest/gtest.h>

#include "data/ValueTables.h"

using namespace kovo;

TEST(ValueTables, SynchronousAmModesShowTheirNameButCommandAm) {
    EXPECT_EQ(modeName(6), "SAM");
    EXPECT_EQ(modeName(7), "SAL");
    EXPECT_EQ(modeName(8), "SAH");
    for (int mode : {6, 7, 8})
        EXPECT_EQ(modeLetter(mode), "A") << mode;
    EXPECT_EQ(modeLetter(0), "N");
    EXPECT_EQ(modeLetter(5), "C");
}

TEST(ValueTables, SignalIndicesFifteenToTwentyOneReadPlusSixty) {
    for (int s = 15; s <= 21; ++s)
        EXPECT_EQ(signalLabel(s), "+60") << s;
    EXPECT_EQ(signalLabel(9), "9");
    EXPECT_EQ(signalLabel(10), "+10");
}

TEST(ValueTables, StepLabelsKeepTheirOddWidthsAndSpelling) {
    EXPECT_EQ(stepName(5), "6.25kz");
    EXPECT_EQ(stepName(8), "12.5kHz");
    EXPECT_EQ(stepName(0), "   1Hz");
    EXPECT_EQ(stepHz(10), 20000u);
    EXPECT_EQ(stepHz(14), 1000000u);
    EXPECT_EQ(stepHz(15), 10000000u);
    EXPECT_TRUE(isFractionalStep(5));
    EXPECT_TRUE(isFractionalStep(8));
    EXPECT_FALSE(isFractionalStep(7));
}

TEST(ValueTables, AttenuatorLabelsAndLetters) {
    EXPECT_EQ(attName(2), "   0dB");
    EXPECT_EQ(attName(1), "  10dB");
    EXPECT_EQ(attLetter(1), "R");
    EXPECT_EQ(attLetter(2), "T");
    EXPECT_EQ(attLetter(4), "T");
}

TEST(ValueTables, CtcssLabelsAreSixCharactersWide) {
    EXPECT_EQ(ctcssName(0), "  OFF ");
    EXPECT_EQ(ctcssName(1), "  67.0");
    EXPECT_EQ(ctcssName(13), " 100.0");
    EXPECT_EQ(ctcssName(50), " 254.1");
    EXPECT_EQ(ctcssName(51), " SCAN ");
    for (auto label : CtcssNameTable)
        EXPECT_EQ(label.size(), 6u) << label;
}

TEST(ValueTables, LegacyStepCodesMapToStepIndices) {
    const std::pair<int, int> mapping[] = {
        {5, 1},    {10, 2},   {50, 2},    {100, 3},   {500, 4},    {625, 5}, {900, 6}, {1000, 7},
        {1250, 8}, {1500, 9}, {2000, 10}, {5000, 11}, {10000, 12}, {7, 7},   {0, 7},   {-5, 7}};
    for (auto [code, index] : mapping)
        EXPECT_EQ(legacyStepIndex(code), index) << code;
}

TEST(ValueTables, GlyphsAreCodePage932Bytes) {
    EXPECT_EQ(bankGlyph(0), "  ");
    EXPECT_EQ(bankGlyph(1), "\x87\x40");
    EXPECT_EQ(bankGlyph(20), "\x87\x53");
    EXPECT_EQ(bankGlyph(21), "\x82\x6F");
    EXPECT_EQ(bankGlyphUtf8(1), "①");
    EXPECT_EQ(bankGlyphUtf8(21), "Ｐ");
    EXPECT_EQ(markerGlyph(true), "\x81\x9B");
    EXPECT_EQ(markerGlyph(false), "  ");
}

TEST(ValueTables, SpansAndScopeRanges) {
    EXPECT_EQ(spanName(3), "62.5kHz");
    EXPECT_EQ(spanHz(13), 2500000u);
    ASSERT_NE(scopeRange(6), nullptr);
    EXPECT_EQ(scopeRange(6)->smallestStepHz, 10000u);
    EXPECT_EQ(scopeRange(6)->largestStepHz, 200000u);
    EXPECT_EQ(scopeRange(7), nullptr);
}

TEST(ValueTables, IndicesOutsideATableGiveEmptyLabelsAndZeroHertz) {
    // Indices come from files unchecked; a lookup must not read past a table.
    EXPECT_EQ(modeName(9), "");
    EXPECT_EQ(modeName(-1), "");
    EXPECT_EQ(stepName(14), "");
    EXPECT_EQ(stepHz(16), 0u);
    EXPECT_EQ(stepHz(-3), 0u);
    EXPECT_EQ(ifBandwidthName(7), "");
    EXPECT_EQ(ctcssName(52), "");
    EXPECT_EQ(signalLabel(22), "");
    EXPECT_EQ(bankGlyph(22), "");
    EXPECT_EQ(attName(4), "");
    EXPECT_EQ(spanHz(14), 0u);
}
