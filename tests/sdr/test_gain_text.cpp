#include "sdr/IqSource.h"

#include <gtest/gtest.h>

namespace {

using kovo::sdr::parseGainText;

TEST(GainText, AutoOrDecibelsAreReadAndAnythingElseIsRefused) {
    struct Case {
        const char* text;
        bool read;
        std::optional<double> gainDb;
    };
    const Case cases[] = {
        {"auto", true, std::nullopt}, {" AUTO ", true, std::nullopt},
        {"38.6", true, 38.6},         {"0", true, 0.0},
        {"-1.5", true, -1.5},         {"", false, 7.0},
        {"38.6 dB", false, 7.0},      {"automatic", false, 7.0},
        {"nan", false, 7.0},          {"inf", false, 7.0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        std::optional<double> gain = 7.0;
        EXPECT_EQ(parseGainText(c.text, &gain), c.read);
        EXPECT_EQ(gain, c.gainDb);
    }
}

} // namespace
