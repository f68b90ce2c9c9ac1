#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <random>

#include "net/RigctlProtocol.h"

namespace kovo {
namespace {

class FakeRig final : public RigTarget {
public:
    std::uint32_t hz = 145500000;
    int modeRow = 0;
    int ifbw = 3;
    bool sam = false;
    std::optional<int> meter = 10;
    std::optional<int> lastIfbwAsked;

    std::uint32_t frequency() const override { return hz; }
    // Tunes what the receiver would: its range is the protocol's stated one.
    bool tune(std::uint32_t f) override {
        if (f < RigctlProtocol::kLowestHz || f > RigctlProtocol::kHighestHz)
            return false;
        hz = f;
        return true;
    }
    int mode() const override { return modeRow; }
    int ifBandwidth() const override { return ifbw; }
    bool hasMode(int m) const override { return m >= 0 && (m < 6 || (sam && m < 9)); }
    void setMode(int m, std::optional<int> b) override {
        modeRow = m;
        lastIfbwAsked = b;
        ifbw = b.value_or(2);
    }
    std::optional<int> signalValue() const override { return meter; }
    bool receiverAnswering() const override { return meter.has_value(); }
};

struct Case {
    const char* line;
    const char* answer;
};

class RigctlProtocolTest : public ::testing::Test {
protected:
    FakeRig rig;
    RigctlProtocol protocol{rig};
    std::string ask(std::string_view line) { return protocol.handle(line).text; }
};

TEST_F(RigctlProtocolTest, AnswersInTheDefaultAndTheExtendedForm) {
    const Case cases[] = {
        {"f", "145500000\n"},
        {"\\get_freq", "145500000\n"},
        {"+f", "get_freq:\nFrequency: 145500000\nRPRT 0\n"},
        {";\\get_mode", "get_mode:;Mode: FM;Passband: 15000;RPRT 0\n"},
        {"m", "FM\n15000\n"},
        {"v", "VFOA\n"},
        {"t", "0\n"},
        {"l STRENGTH", "10\n"},
        {"+l STRENGTH", "get_level: STRENGTH\nLevel Value: 10\nRPRT 0\n"},
        {"\\chk_vfo", "0\n"},
        {"\\get_powerstat", "1\n"},
        {"\\get_lock_mode", "0\n"},
        {"s", "0\nVFOA\n"},
        {"V VFOA", "RPRT 0\n"},
        {"V VFOB", "RPRT -11\n"},
        {"M ?", "FM WFM AM LSB USB CW\n"},
        {"", ""},
        {"  f \r", "145500000\n"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ask(c.line), c.answer) << c.line;
    EXPECT_TRUE(protocol.handle("q").close);
    EXPECT_TRUE(protocol.handle("\\quit").close);
}

TEST_F(RigctlProtocolTest, SetsCheckedValuesAndRefusesTheRest) {
    const Case cases[] = {
        {"F 433500000", "RPRT 0\n"},
        {"F 145512500.000000", "RPRT 0\n"},
        {"F 99999", "RPRT -1\n"},
        {"F 2040000001", "RPRT -1\n"},
        {"F nan", "RPRT -1\n"},
        {"F 1e400", "RPRT -1\n"},
        {"F -145000000", "RPRT -1\n"},
        {"F", "RPRT -1\n"},
        {"F 1 2 3", "RPRT -1\n"},
        {"M RTTY 0", "RPRT -1\n"},
        {"M SAM 0", "RPRT -1\n"}, // without the synchronous AM option
        {"M USB 99999999", "RPRT -1\n"},
        {"M USB -2", "RPRT -1\n"},
        {"l RFPOWER", "RPRT -11\n"},
        {"T 1", "RPRT -11\n"},
        {"\\set_powerstat 0", "RPRT -11\n"},
        {"+T 1", "T: 1\nRPRT -11\n"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ask(c.line), c.answer) << c.line;
    EXPECT_EQ(rig.hz, 145512500u) << "refused values change nothing";
}

TEST_F(RigctlProtocolTest, PassbandPicksTheNearestIfBandwidth) {
    const struct {
        const char* line;
        std::optional<int> ifbw;
    } cases[] = {
        {"M USB 2400", 1},        {"M FM 12000", 3},      {"M WFM 200000", 6},
        {"M AM 0", std::nullopt}, {"M CW", std::nullopt},
    };
    for (const auto& c : cases) {
        ASSERT_EQ(ask(c.line), "RPRT 0\n") << c.line;
        EXPECT_EQ(rig.lastIfbwAsked, c.ifbw) << c.line;
    }
    rig.ifbw = 4;
    ask("M AM -1");
    EXPECT_EQ(rig.lastIfbwAsked, 4) << "-1 keeps the bandwidth";
    rig.sam = true;
    EXPECT_EQ(ask("M SAM 6000"), "RPRT 0\n");
}

TEST_F(RigctlProtocolTest, StrengthIsDecibelsOverS9AndAnErrorWhileTheReceiverIsSilent) {
    const std::pair<int, const char*> cases[] = {{0, "-54\n"}, {9, "0\n"}, {15, "60\n"}};
    for (const auto& [meter, answer] : cases) {
        rig.meter = meter;
        EXPECT_EQ(ask("l STRENGTH"), answer);
    }
    rig.meter.reset();
    EXPECT_EQ(ask("l STRENGTH"), "RPRT -6\n");
    EXPECT_EQ(ask("\\get_powerstat"), "0\n");
}

TEST_F(RigctlProtocolTest, DumpStateListsTheReceiversRangeModesAndStrength) {
    const std::string state = ask("\\dump_state");
    EXPECT_THAT(state, ::testing::StartsWith("1\n2\n0\n100000.000000 2040000000.000000 0x6f "));
    EXPECT_THAT(state, ::testing::HasSubstr("\n0x40000000\n"));
    EXPECT_THAT(state, ::testing::EndsWith("done\n"));
}

TEST_F(RigctlProtocolTest, RandomLinesNeverTuneOutOfRangeOrEchoControlBytes) {
    std::mt19937 random(4532);
    const std::string alphabet = "fFmMlLvVtTq\\+;|_?# 0123456789.-eEnaNSTRENGHUBW\t\r\x01\xff";
    for (int i = 0; i < 20000; ++i) {
        std::string line(random() % 40, ' ');
        for (char& c : line)
            c = alphabet[random() % alphabet.size()];
        const std::string answer = protocol.handle(line).text;
        EXPECT_GE(rig.hz, RigctlProtocol::kLowestHz);
        EXPECT_LE(rig.hz, RigctlProtocol::kHighestHz);
        for (char c : answer)
            ASSERT_TRUE(c == '\n' || (c >= 0x20 && c < 0x7f)) << line;
    }
}

} // namespace
} // namespace kovo
