#include <gmock/gmock.h>

#include <hamlib/rig.h>
#include <vector>

#include "fakes/TypedFrequencyCases.h"
#include "rig/RigCommandInterpreter.h"
#include "rig/RigModeTable.h"

namespace kovo::rig {
namespace {

// A radio that records what it was told and answers as set up.
class FakeRig final : public RigControl {
public:
    std::vector<std::string> calls;
    RigResult next = RigResult::Done;
    SignalReport signal;

    RigResult setFrequency(std::uint32_t hz) override {
        calls.push_back("freq " + std::to_string(hz));
        return next;
    }
    RigResult setMode(RigMode mode, int passbandHz) override {
        calls.push_back("mode " + std::to_string(int(mode)) +
                        (passbandHz ? " " + std::to_string(passbandHz) : ""));
        return next;
    }
    RigResult setAttenuator(bool on) override {
        calls.push_back(on ? "att on" : "att off");
        return next;
    }
    RigResult readSignal(SignalReport& report) override {
        calls.push_back("signal");
        report = signal;
        return next;
    }
    std::string lastError() const override { return "gone"; }
};

struct CommandCase {
    const char* line;
    const char* call; // "" when the radio is not called
    const char* answer;
};

TEST(RigCommandInterpreter, TurnsEachReceiverCommandIntoOneRadioCallAndAPrompt) {
    const CommandCase cases[] = {
        {"", "", "\r\n>"},
        {"145.5", "freq 145500000", "\r\n>"},
        {"145.", "freq 145000000", "\r\n>"},
        {"0.1", "freq 100000", "\r\n>"},
        {"2040.000001", "freq 2040000001", "\r\n>"},
        {"N", "mode 0", "\r\n>"},
        {"w", "mode 1", "\r\n>"},
        {"C", "mode 5", "\r\n>"},
        {"N 15000", "mode 0 15000", "\r\n>"},
        {"u 3000", "mode 4 3000", "\r\n>"},
        {"N 0", "mode 0", "\r\n>"},
        {"N 15k", "", "?\r\n>"},
        {"X 15000", "", "?\r\n>"},
        {"N -5", "", "?\r\n>"},
        {"R", "att on", "\r\n>"},
        {"T", "att off", "\r\n>"},
        {"F", "", "\r\n>"},
        {"G", "", "\r\n>"},
        {"145.1234567", "freq 145123456", "\r\n>"},
        {"5000.", "", "?\r\n>"},
        {"1.2.3", "", "?\r\n>"},
        {"Q", "", "?\r\n>"},
    };
    for (const CommandCase& c : cases) {
        FakeRig rig;
        RigCommandInterpreter interpreter(rig);
        EXPECT_EQ(interpreter.execute(c.line), std::optional<std::string>(c.answer)) << c.line;
        const std::vector<std::string> expected =
            *c.call ? std::vector<std::string>{c.call} : std::vector<std::string>{};
        EXPECT_EQ(rig.calls, expected) << c.line;
    }
}

// A frequency line is read as every front end reads typed megahertz; the
// radio refuses what it does not tune. An empty line is no frequency but
// the prompt's own command.
TEST(RigCommandInterpreter, ReadsFrequenciesAsEveryFrontEndDoes) {
    for (const test::TypedFrequencyCase& c : test::kTypedFrequencyCases) {
        if (*c.text == '\0')
            continue;
        SCOPED_TRACE(c.text);
        FakeRig rig;
        RigCommandInterpreter interpreter(rig);
        const auto answer = interpreter.execute(c.text);
        if (c.hz) {
            EXPECT_EQ(answer, std::optional<std::string>("\r\n>"));
            EXPECT_EQ(rig.calls, std::vector<std::string>{"freq " + std::to_string(*c.hz)});
        } else {
            EXPECT_EQ(answer, std::optional<std::string>("?\r\n>"));
            EXPECT_TRUE(rig.calls.empty());
        }
    }
}

TEST(RigCommandInterpreter, ReportsClosedSquelchAsPercentAndStrengthAsMeterLetter) {
    FakeRig rig;
    RigCommandInterpreter interpreter(rig);
    EXPECT_EQ(interpreter.execute("Y"), "%\r\n>");
    rig.signal = 0; // S9
    EXPECT_EQ(interpreter.execute("Y"), "J\r\n>");
}

TEST(RigCommandInterpreter, MeterLettersFollowSUnitsThenTensOfDecibels) {
    const std::pair<int, char> cases[] = {{-80, 'A'}, {-54, 'A'}, {-48, 'B'}, {-6, 'I'}, {0, 'J'},
                                          {9, 'J'},   {10, 'K'},  {60, 'P'},  {90, 'P'}};
    for (auto [db, letter] : cases)
        EXPECT_EQ(RigCommandInterpreter::meterLetter(db), letter) << db;
}

TEST(RigCommandInterpreter, RadioFaultsGiveNoAnswerAndMissingFeaturesStillPrompt) {
    FakeRig rig;
    RigCommandInterpreter interpreter(rig);
    rig.next = RigResult::NotAvailable;
    EXPECT_EQ(interpreter.execute("R"), "\r\n>");
    rig.next = RigResult::Refused;
    EXPECT_EQ(interpreter.execute("145.5"), "?\r\n>");
    rig.next = RigResult::Failed;
    EXPECT_EQ(interpreter.execute("145.5"), std::nullopt);
    EXPECT_EQ(interpreter.execute("Y"), std::nullopt);
}

TEST(RigCommandInterpreter, WaitsOutTheSettlingTimeAfterATuningBeforeReadingTheSignal) {
    FakeRig rig;
    RigCommandInterpreter interpreter(rig);
    std::vector<RigCommandInterpreter::Clock::duration> waits;
    interpreter.setSleeper([&](auto d) { waits.push_back(d); });
    interpreter.setSettleTime(std::chrono::hours(1));
    interpreter.execute("145.5");
    interpreter.execute("Y");
    ASSERT_EQ(waits.size(), 1u);
    EXPECT_GT(waits[0], std::chrono::minutes(59));
    rig.next = RigResult::Refused;
    interpreter.setSettleTime({});
    interpreter.execute("Y");
    EXPECT_EQ(waits.size(), 1u); // settled: no wait
}

// A frequency followed by "Y" tunes, waits out the settling and answers with
// the report; a tuning the radio refuses reads no signal.
TEST(RigCommandInterpreter, ATuningWithYAnswersWithTheReportOnTheNewFrequency) {
    struct Case {
        RigResult tuning;
        SignalReport signal;
        std::vector<std::string> calls;
        std::optional<std::string> answer;
        std::size_t waits;
    };
    const Case cases[] = {
        {RigResult::Done, std::nullopt, {"freq 145500000", "signal"}, "%\r\n>", 1},
        {RigResult::Done, 10, {"freq 145500000", "signal"}, "K\r\n>", 1},
        {RigResult::Refused, 10, {"freq 145500000"}, "?\r\n>", 0},
        {RigResult::Failed, 10, {"freq 145500000"}, std::nullopt, 0},
    };
    for (const Case& c : cases) {
        FakeRig rig;
        RigCommandInterpreter interpreter(rig);
        std::size_t waits = 0;
        interpreter.setSleeper([&](auto) { ++waits; });
        interpreter.setSettleTime(std::chrono::hours(1));
        rig.next = c.tuning;
        rig.signal = c.signal;
        EXPECT_EQ(interpreter.execute("145.5Y"), c.answer) << int(c.tuning);
        EXPECT_EQ(rig.calls, c.calls) << int(c.tuning);
        EXPECT_EQ(waits, c.waits) << int(c.tuning);
    }
}

TEST(RigModeTable, ChoosesTheModeItselfOrTheNearestTheRadioHas) {
    struct Case {
        RigMode wanted;
        std::uint64_t radio;
        std::uint64_t chosen;
    };
    const Case cases[] = {
        {RigMode::NarrowFm, RIG_MODE_FM | RIG_MODE_WFM, RIG_MODE_FM},
        {RigMode::WideFm, RIG_MODE_FM | RIG_MODE_WFM, RIG_MODE_WFM},
        {RigMode::WideFm, RIG_MODE_FM | RIG_MODE_AM, RIG_MODE_FM},
        {RigMode::Am, RIG_MODE_AMS | RIG_MODE_FM, RIG_MODE_AMS},
        {RigMode::Lsb, RIG_MODE_USB | RIG_MODE_CW, RIG_MODE_USB},
        {RigMode::Cw, RIG_MODE_USB, RIG_MODE_USB},
        {RigMode::Usb, RIG_MODE_FM, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(nearestRigMode(c.wanted, c.radio), c.chosen) << int(c.wanted);
}

TEST(RigModeTable, AsksForTheNearestPassbandTheRadiosFiltersHaveForTheMode) {
    const std::vector<RigFilter> filters{{RIG_MODE_FM, 15000},
                                         {RIG_MODE_FM, 6000},
                                         {RIG_MODE_USB | RIG_MODE_LSB, 2400},
                                         {RIG_MODE_WFM, 0}};
    struct Case {
        std::uint64_t mode;
        int wanted;
        long asked;
    };
    const Case cases[] = {
        {RIG_MODE_FM, 15000, 15000},    {RIG_MODE_FM, 3000, 6000}, {RIG_MODE_USB, 500, 2400},
        {RIG_MODE_WFM, 220000, 220000}, {RIG_MODE_AM, 6000, 0},    {RIG_MODE_FM, 0, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(nearestPassband(c.mode, c.wanted, filters), c.asked) << c.mode << " " << c.wanted;
}

} // namespace
} // namespace kovo::rig
