// Tests of the simulated receiver: its answers byte for byte, line timing,
// signal plans, the command line and a round trip over a real pseudo-terminal.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include "Ar3000Interpreter.h"
#include "CommandLine.h"
#include "FrequencyText.h"
#include "ReceiverModel.h"
#include "ReceiverSimulator.h"
#include "RigctlFace.h"
#include "SignalPlan.h"
#include "Transcript.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <poll.h>
#include <spawn.h>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>
#include <vector>

namespace kovo::sim {
namespace {

SignalPlan planFrom(std::string_view text) {
    std::vector<std::string> errors;
    SignalPlan plan = SignalPlan::parse(text, &errors);
    EXPECT_TRUE(errors.empty()) << errors.front();
    return plan;
}

SimOptions instant(bool ar3000 = false) {
    SimOptions o;
    o.ar3000 = ar3000;
    o.pacing = false;
    return o;
}

// Sends a command at time t and returns what has come back by then.
std::string talk(ReceiverModel& model, std::string_view command, std::int64_t t = 0) {
    model.receive(command, t);
    return model.collect(t);
}

// Sends commands one after the other and returns all that came back.
std::string talkAll(ReceiverModel& model, std::initializer_list<std::string_view> commands) {
    std::string got;
    for (auto c : commands)
        got += talk(model, c);
    return got;
}

// ---------------------------------------------------------------- frequency text

TEST(FrequencyText, ReadsTheProgramsFrequencyFormsExactly) {
    const std::pair<const char*, std::uint32_t> cases[] = {
        {"145.", 145000000},   {"145.5", 145500000}, {"145.5125", 145512500},
        {"1.234567", 1234567}, {"0.1", 100000},      {".1", 100000},
        {"2040.", 2040000000}, {"145", 145000000},   {"433.920000", 433920000},
    };
    for (const auto& [text, hz] : cases) {
        std::uint32_t got = 0;
        EXPECT_TRUE(parseMegahertz(text, &got)) << text;
        EXPECT_EQ(got, hz) << text;
    }
}

TEST(FrequencyText, RefusesMalformedOrOversizedText) {
    for (const char* text :
         {"", ".", "1.2345678", "12345.", "abc", "1..2", "-1", "14 5", "4295.", "1e3", "145.5N"}) {
        std::uint32_t got = 7;
        EXPECT_FALSE(parseMegahertz(text, &got)) << text;
        EXPECT_EQ(got, 7u) << text;
    }
}

// ---------------------------------------------------------------- AR3000A answers

class Ar3000aAnswers : public ::testing::Test {
protected:
    Ar3000aAnswers() : model(instant(), planFrom("145.500 NFM 6\n433.500 NFM 25\n")) {}
    ReceiverModel model;
};

TEST_F(Ar3000aAnswers, ProbeAndSignalRequestAnswerWithPrompt) {
    EXPECT_EQ(talk(model, "\r"), "\r\n>");
    model.setState({100000000, 0, false, false});
    EXPECT_EQ(talk(model, "Y\r"), "%\r\n>");
    EXPECT_EQ(talk(model, "145.5\r"), "\r\n>");
    EXPECT_EQ(talk(model, "Y\r"), "G\r\n>");
    EXPECT_EQ(talk(model, "433.5\r"), "\r\n>");
    EXPECT_EQ(talk(model, "Y\r"), "Z\r\n>");
}

TEST_F(Ar3000aAnswers, EachCommandChangesOnlyItsSetting) {
    EXPECT_EQ(talk(model, "433.5\r"), "\r\n>");
    EXPECT_EQ(model.state(), (ReceiverState{433500000, 0, false, false}));
    EXPECT_EQ(talk(model, "A\r"), "\r\n>");
    EXPECT_EQ(model.state().mode, 2);
    EXPECT_EQ(talk(model, "R\r"), "\r\n>");
    EXPECT_TRUE(model.state().attenuator);
    EXPECT_EQ(talk(model, "F\r"), "\r\n>");
    EXPECT_TRUE(model.state().monitor);
    EXPECT_EQ(talk(model, "G\r"), "\r\n>");
    EXPECT_EQ(talk(model, "T\r"), "\r\n>");
    EXPECT_EQ(talk(model, "W\r"), "\r\n>");
    EXPECT_EQ(model.state(), (ReceiverState{433500000, 1, false, false}));
    EXPECT_EQ(talk(model, "145.\r"), "\r\n>");
    EXPECT_EQ(model.state().frequencyHz, 145000000u);
}

TEST_F(Ar3000aAnswers, CombinedTuningLineAndLowerCaseAreAccepted) {
    EXPECT_EQ(talk(model, "R433.5C\r"), "\r\n>");
    EXPECT_EQ(model.state(), (ReceiverState{433500000, 5, true, false}));
    EXPECT_EQ(talk(model, "t145.5u\r"), "\r\n>");
    EXPECT_EQ(model.state(), (ReceiverState{145500000, 4, false, false}));
    EXPECT_EQ(talk(model, "y\r"), "G\r\n>");
}

TEST_F(Ar3000aAnswers, GarbageGetsAnErrorAndLeavesTheTuningAlone) {
    const ReceiverState before = model.state();
    const std::string garbage[] = {
        "zz\r",       "YY\r", "2041.\r",   "0.09\r",      std::string("\0\r", 2),
        "\x80\xff\r", "RA\r", "145.5.5\r", "1.2345678\r", std::string(200, '9') + "\r",
    };
    for (const auto& g : garbage)
        EXPECT_EQ(talk(model, g), "?\r\n>") << escapeBytes(g);
    EXPECT_EQ(model.state(), before);
    // The line after an over-long one is read afresh.
    EXPECT_EQ(talk(model, "433.5\r"), "\r\n>");
    EXPECT_EQ(model.state().frequencyHz, 433500000u);
}

TEST_F(Ar3000aAnswers, LineFeedsAreIgnoredAndCommandsMaySpanWrites) {
    EXPECT_EQ(talk(model, "\n145"), "");
    EXPECT_EQ(talk(model, ".5\r\n"), "\r\n>");
    EXPECT_EQ(model.state().frequencyHz, 145500000u);
    EXPECT_EQ(talk(model, "Y\rY\r"), "G\r\n>G\r\n>");
}

TEST(Ar3000aRobustness, RandomBytesNeverStallTheLoop) {
    // Whatever comes before it, every CR gets exactly one answer ending in the prompt.
    ReceiverModel model(instant(), SignalPlan::demo());
    std::uint32_t seed = 12345;
    std::string got;
    int carriageReturns = 0;
    for (int i = 0; i < 20000; ++i) {
        seed = seed * 1103515245u + 12345u;
        const char byte = char(seed >> 23);
        carriageReturns += byte == '\r';
        got += talk(model, std::string_view(&byte, 1), i);
    }
    int prompts = 0;
    for (std::size_t at = got.find("\r\n>"); at != std::string::npos;
         at = got.find("\r\n>", at + 3))
        ++prompts;
    EXPECT_GT(carriageReturns, 10);
    EXPECT_EQ(prompts, carriageReturns);
    EXPECT_EQ(std::count(got.begin(), got.end(), '>'), carriageReturns);
    EXPECT_GE(model.state().frequencyHz, kLowestHz);
    EXPECT_LE(model.state().frequencyHz, kHighestHz);
}

// ---------------------------------------------------------------- AR3000 answers

class Ar3000Answers : public ::testing::Test {
protected:
    Ar3000Answers() : model(instant(true), planFrom("145.500 NFM 12\n")) {}
    ReceiverModel model;
};

TEST_F(Ar3000Answers, TuningCommandIsEchoedAsOneLine) {
    EXPECT_EQ(talk(model, "T145.N"), "T145.N\r\n");
    EXPECT_EQ(model.state(), (ReceiverState{145000000, 0, false, false}));
    EXPECT_EQ(talk(model, "R433.5A"), "R433.5A\r\n");
    EXPECT_EQ(model.state(), (ReceiverState{433500000, 2, true, false}));
}

TEST_F(Ar3000Answers, TerminatedCommandsActWithoutAnswer) {
    EXPECT_EQ(talk(model, "W\r"), "");
    EXPECT_EQ(model.state().mode, 1);
    EXPECT_EQ(talk(model, "F\r"), "");
    EXPECT_TRUE(model.state().monitor);
    EXPECT_EQ(talk(model, "R"), "");
    EXPECT_TRUE(model.state().attenuator);
    EXPECT_EQ(talk(model, "\r"), "");
    EXPECT_EQ(model.commandCount(), 5);
    EXPECT_EQ(model.answerCount(), 0);
}

TEST_F(Ar3000Answers, FrequencyEndedByCarriageReturnKeepsTheMode) {
    talk(model, "U\r");
    EXPECT_EQ(talk(model, "145.5\r"), "145.5\r\n");
    EXPECT_EQ(model.state(), (ReceiverState{145500000, 4, false, false}));
}

TEST_F(Ar3000Answers, BadEntriesAreAbandonedWithoutEcho) {
    const ReceiverState before = model.state();
    EXPECT_EQ(talk(model, "T2041.N"), "");
    EXPECT_EQ(talk(model, "T1.2.3N"), "");
    EXPECT_EQ(talk(model, std::string("T145\0N", 6)), "");
    EXPECT_EQ(talk(model, "T" + std::string(40, '1') + "N"), "");
    EXPECT_EQ(talk(model, "\xff\x80zz\r"), "");
    EXPECT_EQ(model.state().frequencyHz, before.frequencyHz);
    EXPECT_EQ(model.state().mode, before.mode);
    // A good command straight after garbage is still understood.
    EXPECT_EQ(talk(model, "qT145.5N"), "T145.5N\r\n");
    EXPECT_EQ(model.state().frequencyHz, 145500000u);
}

TEST(Ar3000Robustness, RandomBytesOnlyEverTuneToValidFrequencies) {
    ReceiverModel model(instant(true), SignalPlan::demo());
    std::uint32_t seed = 777;
    for (int i = 0; i < 20000; ++i) {
        seed = seed * 1103515245u + 12345u;
        // Mostly digits and command letters, so that real entries do happen.
        static constexpr char kAlphabet[] = "0123456789..RTNWALUCFG\r\n\x00\xffq";
        const char byte = kAlphabet[(seed >> 16) % (sizeof kAlphabet - 1)];
        const std::string out = talk(model, std::string_view(&byte, 1), i);
        if (!out.empty()) {
            EXPECT_EQ(out.substr(out.size() - 2), "\r\n");
            EXPECT_LE(out.size(), Ar3000Interpreter::kLongestEntry + 3);
        }
        ASSERT_GE(model.state().frequencyHz, kLowestHz);
        ASSERT_LE(model.state().frequencyHz, kHighestHz);
    }
    EXPECT_GT(model.answerCount(), 10);
}

TEST(Ar3000Reports, ComeUnpromptedAtTheIntervalWithTheLevel) {
    SimOptions o = instant(true);
    o.reportIntervalMs = 100;
    ReceiverModel model(o, planFrom("145.500 NFM 12\n"));
    model.setState({145500000, 0, false, false});
    EXPECT_EQ(model.collect(99999), "");
    EXPECT_EQ(model.collect(100000), "M\r\n");
    model.setState({146000000, 0, false, false});
    EXPECT_EQ(model.collect(300000), "%\r\n%\r\n");
    EXPECT_EQ(model.reportCount(), 3);
}

TEST(Ar3000Reports, EchoGoesOutBeforeTheReportsResume) {
    SimOptions o = instant(true);
    o.reportIntervalMs = 100;
    o.latencyMs = 30;
    ReceiverModel model(o, planFrom("145.500 NFM 12\n"));
    model.receive("T145.5N", 90000); // echo ready at 120 ms, after the 100 ms report slot
    EXPECT_EQ(model.collect(119999), "");
    EXPECT_EQ(model.collect(120000), "T145.5N\r\nM\r\n");
    EXPECT_EQ(model.collect(219999), "");
    EXPECT_EQ(model.collect(220000), "M\r\n");
}

// ---------------------------------------------------------------- signals and attenuator

TEST(SignalLevels, AttenuatorTakesThreeLettersOffAndCanCloseTheSquelch) {
    ReceiverModel model(instant(), planFrom("145.500 NFM 12\n433.500 NFM M\n 98.000 WFM 2\n"));
    EXPECT_EQ(talkAll(model, {"145.5\r", "Y\r"}), "\r\n>M\r\n>");
    EXPECT_EQ(talkAll(model, {"R\r", "Y\r"}), "\r\n>J\r\n>");
    EXPECT_EQ(talkAll(model, {"98.\r", "Y\r"}), "\r\n>%\r\n>");
    EXPECT_EQ(talkAll(model, {"T\r", "Y\r"}), "\r\n>C\r\n>");
}

TEST(SignalLevels, ToleranceDecidesWhetherANeighbourIsHeard) {
    const SignalPlan plan = planFrom("145.500 NFM 12\n145.600 NFM 4 tol=20000\n98.0 WFM 9\n");
    EXPECT_EQ(plan.levelAt(145505000, 0), 12);
    EXPECT_EQ(plan.levelAt(145494999, 0), -1); // 5001 Hz off: the next 12.5 kHz channel is quiet
    EXPECT_EQ(plan.levelAt(145512500, 0), -1);
    EXPECT_EQ(plan.levelAt(145620000, 0), 4);
    EXPECT_EQ(plan.levelAt(145620001, 0), -1);
    EXPECT_EQ(plan.levelAt(98080000, 0), 9);
    EXPECT_EQ(plan.levelAt(98100000, 0), -1);
}

TEST(SignalLevels, OverlappingSignalsGiveTheStrongest) {
    const SignalPlan plan = planFrom("145.500 NFM 5\n145.501 NFM 9 on=1000 off=1000\n");
    EXPECT_EQ(plan.levelAt(145500000, 500), 9);
    EXPECT_EQ(plan.levelAt(145500000, 1500), 5);
}

TEST(SignalLevels, OnOffRhythmFollowsTheClockWithPhase) {
    const SignalPlan plan =
        planFrom("145.500 NFM 12 on=3000 off=5000\n433.5 NFM 1 on=100 off=900 phase=950\n");
    EXPECT_EQ(plan.levelAt(145500000, 0), 12);
    EXPECT_EQ(plan.levelAt(145500000, 2999), 12);
    EXPECT_EQ(plan.levelAt(145500000, 3000), -1);
    EXPECT_EQ(plan.levelAt(145500000, 7999), -1);
    EXPECT_EQ(plan.levelAt(145500000, 8000), 12);
    EXPECT_EQ(plan.levelAt(433500000, 0), -1); // 950 ms into the cycle: off
    EXPECT_EQ(plan.levelAt(433500000, 50), 1); // the cycle starts again at 1000
    EXPECT_EQ(plan.levelAt(433500000, 149), 1);
    EXPECT_EQ(plan.levelAt(433500000, 150), -1);
}

TEST(SignalLevels, ReportSamplesTheSignalWhenTheCommandArrives) {
    ReceiverModel model(instant(), planFrom("145.500 NFM 12 on=3000 off=5000\n"), 1000000);
    model.setState({145500000, 0, false, false});
    EXPECT_EQ(talk(model, "Y\r", 1000000 + 2999000), "M\r\n>");
    EXPECT_EQ(talk(model, "Y\r", 1000000 + 3000000), "%\r\n>");
}

// ---------------------------------------------------------------- plan parsing

TEST(PlanParsing, ReadsEveryFieldOfAGoodLine) {
    const SignalPlan plan = planFrom("# comment line\n"
                                     "\n"
                                     "  145.500000 NFM 12 on=3000 off=5000   # trailing comment\r\n"
                                     "433.92\tam\tZ phase=250 tol=2500 on=1 off=2\n");
    ASSERT_EQ(plan.signals().size(), 2u);
    const PlannedSignal& a = plan.signals()[0];
    EXPECT_EQ(a.frequencyHz, 145500000u);
    EXPECT_EQ(a.mode, 0);
    EXPECT_EQ(a.level, 12);
    EXPECT_EQ(a.toleranceHz, 5000u);
    EXPECT_EQ(a.onMs, 3000);
    EXPECT_EQ(a.offMs, 5000);
    const PlannedSignal& b = plan.signals()[1];
    EXPECT_EQ(b.frequencyHz, 433920000u);
    EXPECT_EQ(b.mode, 2);
    EXPECT_EQ(b.level, 25);
    EXPECT_EQ(b.toleranceHz, 2500u);
    EXPECT_EQ(b.phaseMs, 250);
}

TEST(PlanParsing, BadLinesAreNamedAndSkippedGoodOnesKept) {
    std::vector<std::string> errors;
    const SignalPlan plan = SignalPlan::parse("145.5 NFM 12\n" // 1 good
                                              "145.5 NFM\n"    // 2 too short
                                              "abc NFM 3\n"    // 3 frequency
                                              "2041 NFM 3\n"   // 4 out of range
                                              "145.5 FM 3\n"   // 5 mode
                                              "145.5 NFM 26\n" // 6 level
                                              "145.5 NFM a\n"  // 7 level letter must be upper case
                                              "145.5 NFM 3 on=100\n"      // 8 on without off
                                              "145.5 NFM 3 on=0 off=5\n"  // 9 zero
                                              "145.5 NFM 3 colour=red\n"  // 10 unknown option
                                              "145.5 NFM 3 loud\n"        // 11 unknown word
                                              "145.5 NFM 3 tol=0\n"       // 12 zero tolerance
                                              "145.5 NFM 3 on=-5 off=5\n" // 13 negative
                                              "433.5 WFM 3\n",            // 14 good
                                              &errors);
    ASSERT_EQ(plan.signals().size(), 2u);
    EXPECT_EQ(plan.signals()[1].frequencyHz, 433500000u);
    EXPECT_EQ(plan.signals()[1].toleranceHz, 80000u);
    ASSERT_EQ(errors.size(), 12u);
    for (std::size_t i = 0; i < errors.size(); ++i)
        EXPECT_EQ(errors[i].rfind("line " + std::to_string(i + 2) + ":", 0), 0u) << errors[i];
}

TEST(PlanParsing, DemoPlanIsReadableAndCoversTheBusyBands) {
    std::vector<std::string> errors;
    const SignalPlan plan = SignalPlan::parse(SignalPlan::demoText(), &errors);
    EXPECT_TRUE(errors.empty());
    int air = 0, twoMetre = 0, seventy = 0, broadcast = 0;
    for (const auto& s : plan.signals()) {
        const std::string_view mode = planModeNames()[std::size_t(s.mode)];
        if (s.frequencyHz >= 118000000 && s.frequencyHz <= 137000000 && mode == "AM")
            ++air;
        if (s.frequencyHz >= 144000000 && s.frequencyHz <= 146000000 && mode == "NFM")
            ++twoMetre;
        if (s.frequencyHz >= 433000000 && s.frequencyHz <= 435000000 && mode == "NFM")
            ++seventy;
        if (s.frequencyHz >= 88000000 && s.frequencyHz <= 108000000 && mode == "WFM")
            ++broadcast;
    }
    EXPECT_GE(air, 3);
    EXPECT_GE(twoMetre, 3);
    EXPECT_GE(seventy, 3);
    EXPECT_GE(broadcast, 3);
    EXPECT_EQ(SignalPlan::demo().signals().size(), plan.signals().size());
}

TEST(PlanParsing, LoadRefusesMissingFiles) {
    SignalPlan plan;
    std::vector<std::string> errors;
    EXPECT_FALSE(SignalPlan::load("/nonexistent/plan.txt", &plan, &errors));
    ASSERT_EQ(errors.size(), 1u);
}

// ---------------------------------------------------------------- pacing

TEST(WirePacing, ElevenBitsPerCharacterRoundedUpToMicroseconds) {
    EXPECT_EQ(WirePacing(9600, true).transferUs(1), 1146);  // 1145.83
    EXPECT_EQ(WirePacing(9600, true).transferUs(4), 4584);  // "%\r\n>"
    EXPECT_EQ(WirePacing(4800, true).transferUs(2), 4584);  // "Y\r"
    EXPECT_EQ(WirePacing(19200, true).transferUs(6), 3438); // 3437.5
    EXPECT_EQ(WirePacing(9600, true).transferUs(0), 0);
    EXPECT_EQ(WirePacing(9600, false).transferUs(100), 0);
}

TEST(WirePacing, CommandActsWhenItsLastCharacterArrivesAndAnswerTrickles) {
    SimOptions o;
    o.baud = 9600;
    ReceiverModel model(o, planFrom("145.5 NFM 6\n"));
    model.setState({145500000, 0, false, false});
    model.receive("Y\r", 0);
    EXPECT_EQ(model.nextDueUs(), 1146);
    EXPECT_EQ(model.collect(2291), "");
    EXPECT_EQ(model.commandCount(), 0);
    EXPECT_EQ(model.collect(2292), "");
    EXPECT_EQ(model.commandCount(), 1);
    EXPECT_EQ(model.nextDueUs(), 2292 + 1146);
    EXPECT_EQ(model.collect(2292 + 1146), "G");
    EXPECT_EQ(model.collect(2292 + 4583), "\r\n");
    EXPECT_EQ(model.collect(2292 + 4584), ">");
    EXPECT_EQ(model.nextDueUs(), ReceiverModel::kNever);
}

TEST(WirePacing, LatencyDelaysTheAnswerAndAnswersQueueOnTheLine) {
    SimOptions o;
    o.baud = 19200;
    o.latencyMs = 10;
    ReceiverModel model(o, SignalPlan{});
    // Two commands written together: the second arrives 2 characters later,
    // its answer waits for the first to finish on the line.
    model.receive("\r\r", 0);
    const std::int64_t char1 = WirePacing(19200, true).transferUs(1);
    const std::int64_t firstReady = char1 + 10000;
    const std::int64_t answerTime = WirePacing(19200, true).transferUs(3);
    EXPECT_EQ(model.collect(firstReady + answerTime - 1), "\r\n");
    EXPECT_EQ(model.collect(firstReady + answerTime), ">");
    const std::int64_t secondStart = firstReady + answerTime; // line busy until then
    EXPECT_EQ(model.collect(secondStart + answerTime - 1), "\r\n");
    EXPECT_EQ(model.collect(secondStart + answerTime), ">");
}

TEST(WirePacing, WithoutPacingEverythingIsImmediate) {
    ReceiverModel model(instant(), SignalPlan{});
    model.receive("\r", 500);
    EXPECT_EQ(model.nextDueUs(), 500);
    EXPECT_EQ(model.collect(500), "\r\n>");
}

TEST(WirePacing, FloodBeyondTheInboundLimitIsLost) {
    ReceiverModel model(SimOptions{}, SignalPlan{});
    model.receive(std::string(ReceiverModel::kInboundLimit + 100, '\r'), 0);
    model.collect(INT64_MAX / 2);
    EXPECT_EQ(model.commandCount(), long(ReceiverModel::kInboundLimit));
}

// ---------------------------------------------------------------- test hooks

TEST(TestHooks, DroppedReplyIsWithheldAndCountedAndLogged) {
    SimOptions o = instant();
    o.dropReplies = {2};
    ReceiverModel model(o, SignalPlan{});
    std::vector<TranscriptEntry> log;
    model.setTranscriptSink([&](const TranscriptEntry& e) { log.push_back(e); });
    EXPECT_EQ(talk(model, "\r", 1000), "\r\n>");
    EXPECT_EQ(talk(model, "Y\r", 2000), "");
    EXPECT_EQ(talk(model, "Y\r", 3000), "%\r\n>");
    model.dropNextReply();
    EXPECT_EQ(talk(model, "G\r", 4000), "");
    EXPECT_EQ(talk(model, "G\r", 5000), "\r\n>");
    EXPECT_EQ(model.answerCount(), 5);
    ASSERT_EQ(log.size(), 10u);
    EXPECT_EQ(log[3].kind, TranscriptKind::Withheld);
    EXPECT_EQ(log[3].bytes, "%\r\n>");
    EXPECT_EQ(log[2].kind, TranscriptKind::Received);
    EXPECT_EQ(log[2].timeUs, 2000);
}

TEST(TestHooks, DelayedReplyComesLateAndWhatFollowsWaitsBehindIt) {
    SimOptions o = instant();
    o.delayReplies = {{2, 1100}};
    ReceiverModel model(o, SignalPlan{});
    EXPECT_EQ(talk(model, "\r", 0), "\r\n>");
    EXPECT_EQ(talk(model, "Y\r", 1000), "");
    EXPECT_EQ(talk(model, "Y\r", 2000), "") << "the answer after a late one overtook it";
    EXPECT_EQ(model.collect(1100999), "");
    EXPECT_EQ(model.collect(1101000), "%\r\n>%\r\n>");

    SimOptions a = instant(true);
    a.reportIntervalMs = 100;
    ReceiverModel ar3000(a, SignalPlan{});
    ar3000.delayNextReply(500);
    EXPECT_EQ(talk(ar3000, "T145.5N", 0), "");
    EXPECT_EQ(ar3000.collect(499999), "") << "a report overtook the late echo";
    EXPECT_EQ(ar3000.collect(500000), "T145.5N\r\n%\r\n");
}

TEST(TestHooks, MutedReceiverNeitherAnswersNorReports) {
    SimOptions o = instant(true);
    o.mute = true;
    ReceiverModel model(o, SignalPlan{});
    EXPECT_EQ(talk(model, "T145.5N", 0), "");
    EXPECT_EQ(model.collect(10000000), "");
    EXPECT_EQ(model.state().frequencyHz, 145500000u); // it still obeys
    model.setMuted(false);
    EXPECT_EQ(model.collect(10200000), "%\r\n");

    SimOptions a = instant();
    a.mute = true;
    ReceiverModel ar3000a(a, SignalPlan{});
    EXPECT_EQ(talk(ar3000a, "\rY\r"), "");
}

// ---------------------------------------------------------------- transcript

TEST(Transcript, EscapesControlAndEightBitBytes) {
    EXPECT_EQ(escapeBytes(std::string("Y\r\n>\"\\\x00\x7f\xfe", 9)),
              "Y\\r\\n>\\\"\\\\\\x00\\x7F\\xFE");
    EXPECT_EQ(formatTranscriptLine({1234567, TranscriptKind::Received, "145.5\r"}),
              "      1234.567 RX   \"145.5\\r\"");
    EXPECT_EQ(formatTranscriptLine({5, TranscriptKind::Withheld, ">"}),
              "         0.005 DROP \">\"");
}

// ---------------------------------------------------------------- command line

TEST(CommandLine, ReadsEveryOption) {
    SimOptions o;
    std::string error;
    const std::vector<std::string> args = {"--ar3000",     "--baud",
                                           "4800",         "--latency",
                                           "25",           "--plan",
                                           "p.txt",        "--link",
                                           "/tmp/l",       "--log",
                                           "x.log",        "--no-pacing",
                                           "--drop-reply", "3",
                                           "--drop-reply", "7",
                                           "--mute",       "--report-interval",
                                           "50",           "--delay-reply",
                                           "4:1100"};
    ASSERT_EQ(parseCommandLine(args, &o, &error), CommandLineResult::Run) << error;
    EXPECT_TRUE(o.ar3000);
    EXPECT_EQ(o.baud, 4800);
    EXPECT_EQ(o.latencyMs, 25);
    EXPECT_EQ(o.planFile, "p.txt");
    EXPECT_EQ(o.linkPath, "/tmp/l");
    EXPECT_EQ(o.logPath, "x.log");
    EXPECT_FALSE(o.pacing);
    EXPECT_EQ(o.dropReplies, (std::vector<long>{3, 7}));
    EXPECT_TRUE(o.mute);
    EXPECT_EQ(o.reportIntervalMs, 50);
    EXPECT_EQ(o.delayReplies, (std::vector<std::pair<long, int>>{{4, 1100}}));
}

TEST(CommandLine, RefusesBadValuesAndUnknownOptions) {
    const std::vector<std::vector<std::string>> bad = {
        {"--baud", "2400"},         {"--baud"},
        {"--latency", "-1"},        {"--latency", "x"},
        {"--drop-reply", "0"},      {"--frobnicate"},
        {"--report-interval", "5"}, {"--plan"},
        {"--delay-reply", "3"},     {"--delay-reply", "0:100"},
        {"--delay-reply", "3:0"},   {"--delay-reply", "3:x"},
    };
    for (const auto& args : bad) {
        SimOptions o;
        std::string error;
        EXPECT_EQ(parseCommandLine(args, &o, &error), CommandLineResult::Error) << args[0];
        EXPECT_FALSE(error.empty());
    }
    SimOptions o;
    std::string error;
    EXPECT_EQ(parseCommandLine({"--help"}, &o, &error), CommandLineResult::ShowHelp);
    EXPECT_NE(helpText().find("NFM 5000"), std::string::npos);
    EXPECT_EQ(helpText().find('@'), std::string::npos);
}

// ---------------------------------------------------------------- pseudo-terminal

// Opens the simulator's device as a program would and reads until `end`
// arrives (or a generous safety limit passes, so a broken simulator fails
// the test instead of hanging it).
class PtyClient {
public:
    explicit PtyClient(const std::string& path) {
        fd_ = ::open(path.c_str(), O_RDWR | O_NOCTTY);
        if (fd_ < 0)
            return;
        termios t{};
        tcgetattr(fd_, &t);
        cfmakeraw(&t);
        tcsetattr(fd_, TCSANOW, &t);
    }
    ~PtyClient() {
        if (fd_ >= 0)
            ::close(fd_);
    }
    bool ok() const { return fd_ >= 0; }
    void write(std::string_view bytes) {
        ASSERT_EQ(::write(fd_, bytes.data(), bytes.size()), ssize_t(bytes.size()));
    }
    // Reads byte by byte so that nothing after `end` is taken.
    std::string readUntil(char end) {
        std::string got;
        for (int waits = 0; waits < 50 && (got.empty() || got.back() != end);) {
            pollfd p{fd_, POLLIN, 0};
            if (poll(&p, 1, 100) <= 0) {
                ++waits;
                continue;
            }
            char c = 0;
            if (::read(fd_, &c, 1) == 1)
                got.push_back(c);
        }
        return got;
    }

private:
    int fd_ = -1;
};

TEST(PseudoTerminal, SignalRequestRoundTrip) {
    SimOptions o;
    ReceiverSimulator sim(o);
    sim.setPlan(planFrom("145.500 NFM 6\n"));
    sim.setReceiverState({145500000, 0, false, false});
    std::string error;
    ASSERT_TRUE(sim.start(&error)) << error;
    sim.startInThread();
    PtyClient client(sim.slavePath());
    ASSERT_TRUE(client.ok());
    client.write("Y\r");
    EXPECT_EQ(client.readUntil('>'), "G\r\n>");
    client.write("433.5\r");
    EXPECT_EQ(client.readUntil('>'), "\r\n>");
    client.write("Y\r");
    EXPECT_EQ(client.readUntil('>'), "%\r\n>");
    sim.stop();
    EXPECT_EQ(sim.status().receiver.frequencyHz, 433500000u);
    EXPECT_EQ(sim.status().commands, 3);
}

TEST(PseudoTerminal, Ar3000ReportsArriveUnpromptedAfterTheEcho) {
    SimOptions o;
    o.ar3000 = true;
    o.reportIntervalMs = 20;
    ReceiverSimulator sim(o);
    sim.setPlan(planFrom("145.500 NFM 12\n"));
    std::string error;
    ASSERT_TRUE(sim.start(&error)) << error;
    sim.startInThread();
    PtyClient client(sim.slavePath());
    ASSERT_TRUE(client.ok());
    client.write("T145.5N");
    std::string got = client.readUntil('\n');
    // Reports may already have been on their way before the command.
    while (got == "%\r\n")
        got = client.readUntil('\n');
    EXPECT_EQ(got, "T145.5N\r\n");
    EXPECT_EQ(client.readUntil('\n'), "M\r\n");
}

TEST(PseudoTerminal, LinkIsMadeAndRemovedButNeverReplacesAFile) {
    char dir[] = "/tmp/kovo-sim-test-XXXXXX";
    ASSERT_NE(mkdtemp(dir), nullptr);
    const std::string link = std::string(dir) + "/receiver";
    {
        SimOptions o;
        o.linkPath = link;
        ReceiverSimulator sim(o);
        std::string error;
        ASSERT_TRUE(sim.start(&error)) << error;
        char target[256] = {};
        ASSERT_GT(readlink(link.c_str(), target, sizeof target - 1), 0);
        EXPECT_EQ(sim.slavePath(), target);
    }
    struct stat st {};
    EXPECT_NE(lstat(link.c_str(), &st), 0);

    const int fd = ::open(link.c_str(), O_CREAT | O_WRONLY, 0600);
    ASSERT_GE(fd, 0);
    ::close(fd);
    {
        SimOptions o;
        o.linkPath = link;
        ReceiverSimulator sim(o);
        std::string error;
        EXPECT_FALSE(sim.start(&error));
        EXPECT_NE(error.find("not a symbolic link"), std::string::npos);
    }
    ASSERT_EQ(lstat(link.c_str(), &st), 0);
    EXPECT_TRUE(S_ISREG(st.st_mode));
    ::unlink(link.c_str());
    ::rmdir(dir);
}

TEST(PseudoTerminal, PlanWithErrorsIsRefusedAtStart) {
    char path[] = "/tmp/kovo-sim-plan-XXXXXX";
    const int fd = mkstemp(path);
    ASSERT_GE(fd, 0);
    const std::string text = "145.5 NFM 12\n145.5 NFM loud\n";
    ASSERT_EQ(::write(fd, text.data(), text.size()), ssize_t(text.size()));
    ::close(fd);
    SimOptions o;
    o.planFile = path;
    ReceiverSimulator sim(o);
    std::string error;
    EXPECT_FALSE(sim.start(&error));
    EXPECT_NE(error.find("line 2"), std::string::npos) << error;
    ::unlink(path);
}

TEST(Program, PrintsTheDeviceAnswersAndCleansUpOnSigterm) {
    char dir[] = "/tmp/kovo-sim-prog-XXXXXX";
    ASSERT_NE(mkdtemp(dir), nullptr);
    const std::string link = std::string(dir) + "/rx";
    const std::string log = std::string(dir) + "/rx.log";
    int out[2];
    ASSERT_EQ(pipe(out), 0);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    std::vector<std::string> args = {RECEIVER_SIM_PATH, "--link", link, "--log", log,
                                     "--drop-reply",    "2"};
    std::vector<char*> argv;
    for (auto& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    pid_t pid = 0;
    ASSERT_EQ(posix_spawn(&pid, RECEIVER_SIM_PATH, &actions, nullptr, argv.data(), environ), 0);
    posix_spawn_file_actions_destroy(&actions);
    ::close(out[1]);

    std::string device;
    char c = 0;
    while (::read(out[0], &c, 1) == 1 && c != '\n')
        device.push_back(c);
    ::close(out[0]);
    ASSERT_EQ(device.rfind("/dev/", 0), 0u) << device;
    {
        PtyClient client(link);
        ASSERT_TRUE(client.ok());
        client.write("\r");
        EXPECT_EQ(client.readUntil('>'), "\r\n>");
        client.write("F\r"); // answer 2 is held back
        client.write("Y\r");
        EXPECT_EQ(client.readUntil('>'), "%\r\n>");
    }
    ASSERT_EQ(kill(pid, SIGTERM), 0);
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    struct stat st {};
    EXPECT_NE(lstat(link.c_str(), &st), 0);

    std::ifstream in(log);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_NE(text.find(" RX   \"F\\r\""), std::string::npos) << text;
    EXPECT_NE(text.find(" DROP \"\\r\\n>\""), std::string::npos) << text;
    EXPECT_NE(text.find(" TX   \"%\\r\\n>\""), std::string::npos) << text;
    ::unlink(log.c_str());
    ::rmdir(dir);
}

} // namespace
} // namespace kovo::sim

namespace kovo::sim {
namespace {

TEST(CommandLine, RigctlTakesAPortNumberOrZero) {
    for (const auto& [text, port] : {std::pair<const char*, int>{"4532", 4532}, {"0", 0}}) {
        SimOptions o;
        std::string error;
        ASSERT_EQ(parseCommandLine({"--rigctl", text}, &o, &error), CommandLineResult::Run);
        EXPECT_EQ(o.rigctlPort, port);
    }
    for (const char* bad : {"65536", "-1", "x"}) {
        SimOptions o;
        std::string error;
        EXPECT_EQ(parseCommandLine({"--rigctl", bad}, &o, &error), CommandLineResult::Error);
    }
    EXPECT_EQ(SimOptions{}.rigctlPort, -1);
}

TEST(CommandLine, RtlTcpTakesAPortAndExcludesRigctl) {
    SimOptions o;
    std::string error;
    ASSERT_EQ(parseCommandLine({"--rtl-tcp", "1234"}, &o, &error), CommandLineResult::Run);
    EXPECT_EQ(o.rtlTcpPort, 1234);
    EXPECT_EQ(o.rigctlPort, -1);
    SimOptions both;
    EXPECT_EQ(parseCommandLine({"--rtl-tcp", "0", "--rigctl", "0"}, &both, &error),
              CommandLineResult::Error);
    EXPECT_NE(helpText().find("--rtl-tcp PORT"), std::string::npos);
}

// One client of the face on a plain socket: a line out, the answer back.
class FaceClient {
public:
    explicit FaceClient(int port) {
        fd_ = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(std::uint16_t(port));
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        connected_ = ::connect(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    }
    ~FaceClient() { ::close(fd_); }
    bool connected() const { return connected_; }
    // The answer to `line`, up to its last line end.
    std::string ask(const std::string& line) {
        const std::string out = line + "\n";
        if (::write(fd_, out.data(), out.size()) != ssize_t(out.size()))
            return {};
        std::string answer;
        char buffer[512];
        while (answer.empty() || answer.back() != '\n') {
            const ssize_t got = ::read(fd_, buffer, sizeof buffer);
            if (got <= 0)
                break;
            answer.append(buffer, std::size_t(got));
        }
        return answer;
    }

private:
    int fd_ = -1;
    bool connected_ = false;
};

TEST(RigctlFace, TunesAndReadsTheSignalOfItsPlan) {
    std::vector<std::string> problems;
    RigctlFace face(SignalPlan::parse("145.175000 NFM 10\n", &problems));
    std::string error;
    ASSERT_TRUE(face.start(0, &error)) << error;
    FaceClient client(face.port());
    ASSERT_TRUE(client.connected());
    EXPECT_EQ(client.ask("F 145175000"), "RPRT 0\n");
    EXPECT_EQ(client.ask("l STRENGTH"), "10\n");
    EXPECT_EQ(client.ask("F 145200000"), "RPRT 0\n");
    EXPECT_EQ(client.ask("l STRENGTH"), "-54\n");
    EXPECT_EQ(face.state().frequencyHz, 145200000u);
    EXPECT_EQ(client.ask("F 99"), "RPRT -1\n");
}

TEST(RigctlFace, AMutedFaceDropsItsClientsLikeASwitchedOffRadio) {
    RigctlFace face(SignalPlan{});
    std::string error;
    ASSERT_TRUE(face.start(0, &error)) << error;
    FaceClient client(face.port());
    ASSERT_EQ(client.ask("f"), "145000000\n");
    face.setMuted(true);
    EXPECT_EQ(client.ask("f"), "");
}

} // namespace
} // namespace kovo::sim
