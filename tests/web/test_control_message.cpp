#include <gtest/gtest.h>

#include "web/ControlMessage.h"

#include <string>

namespace kovo::web {
namespace {

struct Case {
    const char* line;
    bool accepted;
    ControlVerb verb = ControlVerb::Stop;
    const char* text = "";
    int number = 0;
    AudioForm form = AudioForm::Opus;
};

TEST(ControlMessage, TakesThePageCommandsWholeAndNothingElse) {
    const Case cases[] = {
        {"scan", true, ControlVerb::Scan},
        {"stop", true, ControlVerb::Stop},
        {"hold", true, ControlVerb::Hold},
        {"resume", true, ControlVerb::Resume},
        {"up", true, ControlVerb::Up},
        {"down", true, ControlVerb::Down},
        {"tune 145.5", true, ControlVerb::Tune, "145.5"},
        {"tune 1", true, ControlVerb::Tune, "1"},
        {"tune 145.", true, ControlVerb::Tune, "145."},
        {"tune 145,5", true, ControlVerb::Tune, "145,5"},
        {"tune 145.5 ", true, ControlVerb::Tune, "145.5 "},
        {"mode NFM", true, ControlVerb::Mode, "NFM"},
        {"linkset 1", true, ControlVerb::LinkSet, "", 1},
        {"linkset 20", true, ControlVerb::LinkSet, "", 20},
        {"listen on", true, ControlVerb::Listen, "", 1},
        {"listen off", true, ControlVerb::Listen, "", 0},
        {"listen on opus", true, ControlVerb::Listen, "", 1},
        {"listen on adpcm", true, ControlVerb::Listen, "", 1, AudioForm::Adpcm},
        // Refused: unknown, misshaped or out-of-range commands.
        {"", false},
        {"scan ", false},
        {"scan now", false},
        {"SCAN", false},
        {" stop", false},
        {"tune", false},
        {"tune ", false},
        {"tune -1", false},
        {"tune 1e3", false},
        {"tune 1,2.3", false},
        {"tune 12345678901234567", false},
        {"mode nfm", false},
        {"mode NFM;stop", false},
        {"linkset 0", false},
        {"linkset 21", false},
        {"linkset 3x", false},
        {"linkset -1", false},
        {"listen maybe", false},
        // A form the server does not make, or one named where none belongs.
        {"listen on mp3", false},
        {"listen on ADPCM", false},
        {"listen on adpcm ", false},
        {"listen on  adpcm", false},
        {"listen on ", false},
        {"listen off adpcm", false},
        {"listen adpcm", false},
        {"stop\n", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        const auto m = parseControlMessage(c.line);
        ASSERT_EQ(m.has_value(), c.accepted);
        if (!m)
            continue;
        EXPECT_EQ(m->verb, c.verb);
        EXPECT_EQ(m->text, c.text);
        EXPECT_EQ(m->number, c.number);
        EXPECT_EQ(m->audioForm, c.form);
    }
}

TEST(ControlMessage, RefusesALongMessageUnread) {
    EXPECT_FALSE(parseControlMessage("tune " + std::string(kMaxControlMessageBytes, '1')));
    EXPECT_FALSE(parseControlMessage(std::string(1 << 20, 'a')));
}

TEST(ControlMessage, SecretsMatchOnlyWhenEqual) {
    EXPECT_TRUE(sameSecret("abc123", "abc123"));
    EXPECT_FALSE(sameSecret("abc123", "abc124"));
    EXPECT_FALSE(sameSecret("abc123", "abc12"));
    EXPECT_FALSE(sameSecret("abc12", "abc123"));
    EXPECT_FALSE(sameSecret("", "abc"));
    // An empty token never matches, not even an empty one.
    EXPECT_FALSE(sameSecret("", ""));
}

TEST(CommandRateLimit, AllowsABurstThenTheRate) {
    CommandRateLimit limit(10, 20);
    int allowed = 0;
    for (int i = 0; i < 100; ++i)
        allowed += limit.allow(1000);
    EXPECT_EQ(allowed, 20);
    // 10 a second come back over time, never more than the burst.
    EXPECT_FALSE(limit.allow(1050));
    EXPECT_TRUE(limit.allow(1100));
    EXPECT_FALSE(limit.allow(1100));
    allowed = 0;
    for (int i = 0; i < 100; ++i)
        allowed += limit.allow(100'000);
    EXPECT_EQ(allowed, 20);
    // A clock that goes back gives nothing.
    EXPECT_FALSE(limit.allow(0));
}

} // namespace
} // namespace kovo::web
