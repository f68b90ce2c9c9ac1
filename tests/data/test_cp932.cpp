#include <gtest/gtest.h>

#include "DataTestSupport.h"
#include "data/Cp932.h"
#include "data/LocalTime.h"

using namespace kovo;

TEST(Cp932, ConvertsJapaneseBothWays) {
    const std::string cp932 = "144MHz\x83\x41\x83\x7D\x83\x60\x83\x85\x83\x41";
    EXPECT_EQ(cp932ToUtf8(cp932), "144MHzアマチュア");
    EXPECT_EQ(utf8ToCp932("144MHzアマチュア"), cp932);
    EXPECT_EQ(utf8ToCp932("ﾄﾞｷｭﾒﾝﾄ"), "\xC4\xDE\xB7\xAD\xD2\xDD\xC4");
}

TEST(Cp932, UnrepresentableTextBecomesQuestionMarks) {
    EXPECT_EQ(utf8ToCp932("a\xF0\x9F\x98\x80"
                          "b"),
              "a?b"); // emoji
    EXPECT_EQ(utf8ToCp932("x\xC3"
                          "y"),
              "x?y");                              // broken UTF-8
    EXPECT_EQ(utf8ToCp932("end\xE3\x81"), "end?"); // cut short
    EXPECT_EQ(cp932ToUtf8("a\x81"
                          "\x20"
                          "b"),
              "a? b");                     // bad trail byte
    EXPECT_EQ(cp932ToUtf8("z\x82"), "z?"); // lone lead byte at end
}

TEST(Cp932, Utf16CharactersConvertToCodePage932) {
    // "Aア" then an emoji pair, then a lone surrogate, then "B".
    const std::string utf16("A\0\xA2\x30\x3D\xD8\x00\xDE\x00\xD8"
                            "B\0",
                            12);
    EXPECT_EQ(utf16leToCp932(utf16), "A\x83\x41??B");
}

TEST(LocalTime, UsesTheProcessTimeZone) {
    test::ScopedTimeZone zone("JST-9");
    const LocalTime t = toLocalTime(1015459500); // 2002-03-07 00:05:00 UTC
    EXPECT_EQ(t.year, 2002);
    EXPECT_EQ(t.month, 3);
    EXPECT_EQ(t.day, 7);
    EXPECT_EQ(t.hour, 9);
    EXPECT_EQ(t.minute, 5);
    EXPECT_EQ(t.second, 0);
}
