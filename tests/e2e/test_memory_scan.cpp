#include <gmock/gmock.h>

#include <algorithm>

#include "E2eFixture.h"

namespace kovo::test {
namespace {

// A dozen channels 25 kHz apart from 145.000 MHz in bank 1; the eighth
// (145.175 MHz) carries a signal at level 10 ("K").
constexpr int kChannels = 12;
constexpr std::uint32_t kFirstHz = 145000000;
constexpr std::uint32_t kSpacingHz = 25000;
constexpr int kActiveRow = 7;
constexpr std::uint32_t kActiveHz = kFirstHz + kActiveRow * kSpacingHz;
constexpr int kActiveLevel = 10;
constexpr const char* kActivePlan = "145.175000 NFM 10\n";
constexpr int kBank = 1;

class MemoryScanTest : public E2eTest {
protected:
    // Builds the database, switches logging on, opens the port and starts
    // the memory scan upwards with a one-second delay.
    void startScan(bool ar3000) {
        sim::SimOptions options;
        options.ar3000 = ar3000;
        options.reportIntervalMs = kAr3000ReportIntervalMs;
        startReceiver(options, kActivePlan);
        CKovo5Doc& doc = rig_->doc;
        rig_->addScanChannels(kFirstHz, kSpacingHz, kChannels, kBank);
        ASSERT_EQ(rig_->core.scanState().reachableCount(), kChannels);
        doc.controlParams.direction = 1;
        doc.controlParams.delaySeconds = 1;
        doc.controlParams.pause = 0;
        doc.parameters().toggleSwitch(
            SwitchKind::Logging); // logging on: the next stop opens a log entry
        ASSERT_EQ(doc.controlParams.logging, 1);

        connectReceiver();
        if (!ar3000)
            expectShortAnswersTakenAtOnce();
        if (HasFatalFailure())
            return;
        rig_->core.setOperatingMode(0);
    }

    // The frequency in a tuning command: "145.175\r" (AR3000A) or
    // "T145.175N" (AR3000); 0 when the command carries none.
    static std::uint32_t frequencyIn(const std::string& command) {
        const auto start = command.find_first_of("0123456789");
        if (start == std::string::npos)
            return 0;
        const auto end = command.find_first_not_of("0123456789.", start);
        const std::string text = command.substr(start, end - start);
        const auto point = text.find('.');
        if (point == std::string::npos || text.find('.', point + 1) != std::string::npos ||
            text.size() - point - 1 > 6)
            return 0;
        std::string fraction = text.substr(point + 1);
        fraction.resize(6, '0');
        return std::uint32_t(std::stoul(text.substr(0, point)) * 1000000 + std::stoul(fraction));
    }

    // The frequencies the receiver was told, in order, from its transcript;
    // a command resent right after itself counts once.
    std::vector<std::uint32_t> tunedFrequencies() const {
        std::vector<std::uint32_t> out;
        std::string previous;
        for (const auto& command : linesOf("RX")) {
            const std::uint32_t hz = frequencyIn(command);
            if (hz && command != previous)
                out.push_back(hz);
            previous = command;
        }
        return out;
    }

    bool holding() const { return rig_->core.engine().mainContext().hold == 1; }
    std::uint32_t wanted() const { return rig_->doc.mainRecord.frequency; }

    // Simulator time of the last report with a signal, and of the command
    // that tuned `hz` after it.
    struct StopTimes {
        double lastSignalMs = -1;
        double nextTuningMs = -1;
        int closedReportsBetween = 0;
    };
    StopTimes stopTimes(std::uint32_t nextHz) const {
        StopTimes t;
        const auto lines = transcript();
        for (const auto& line : lines) {
            if (line.kind == "TX" && !line.bytes.empty() && line.bytes[0] == 'A' + kActiveLevel) {
                t.lastSignalMs = line.ms;
                t.closedReportsBetween = 0;
            } else if (t.lastSignalMs >= 0 && line.kind == "TX" && line.bytes[0] == '%') {
                ++t.closedReportsBetween;
            } else if (t.lastSignalMs >= 0 && line.kind == "RX" &&
                       frequencyIn(line.bytes) == nextHz) {
                t.nextTuningMs = line.ms;
                break;
            }
        }
        return t;
    }

    // Checks the whole stop on the active channel and the scan moving on.
    void expectStopLogAndMoveOn() {
        CKovo5Doc& doc = rig_->doc;
        ASSERT_TRUE(waitFor([&] { return doc.logCount >= 1 && holding(); }, kLongWaitMs))
            << "the scan never stopped; log entries: " << doc.logCount;

        // It stopped on the active channel, visiting every channel before it
        // in order, and logged it.
        EXPECT_EQ(wanted(), kActiveHz);
        EXPECT_EQ(tunedHz(), kActiveHz);
        ASSERT_EQ(doc.logCount, 1);
        EXPECT_EQ(doc.logEntry(0).frequency, kActiveHz);
        EXPECT_EQ(doc.logEntry(0).maxSignal, kActiveLevel);
        const CFrequencyData& channel = *doc.channels[kActiveRow];
        EXPECT_EQ(channel.heard, 1);
        EXPECT_EQ(channel.maxSignal, kActiveLevel);
        auto tuned = tunedFrequencies();
        const auto firstStep = std::find(tuned.begin(), tuned.end(), kFirstHz + kSpacingHz);
        ASSERT_NE(firstStep, tuned.end());
        std::vector<std::uint32_t> expected;
        for (int row = 1; row <= kActiveRow; ++row)
            expected.push_back(kFirstHz + std::uint32_t(row) * kSpacingHz);
        EXPECT_EQ(std::vector<std::uint32_t>(firstStep, tuned.end()), expected);
        EXPECT_TRUE(std::none_of(rig_->observer.shownSignals.begin(),
                                 rig_->observer.shownSignals.end(),
                                 [](const auto& s) { return s.first && s.second != kActiveLevel; }))
            << "a report with another level than the active channel's was taken as a signal";

        // The signal goes off the air: the scan stays for the delay, then moves on.
        sim_->setPlan(sim::SignalPlan{});
        const std::uint32_t nextHz = kActiveHz + kSpacingHz;
        ASSERT_TRUE(waitFor([&] { return wanted() == nextHz; }, kLongWaitMs));
        ASSERT_TRUE(waitFor([&] { return tunedHz() == nextHz; }, kLongWaitMs));
        const StopTimes t = stopTimes(nextHz);
        ASSERT_GE(t.lastSignalMs, 0);
        ASSERT_GE(t.nextTuningMs, 0);
        EXPECT_GE(t.nextTuningMs - t.lastSignalMs, 990.0) << "moved on before the delay ran out";
        EXPECT_GE(t.closedReportsBetween, 1) << "the stop did not hold through a closed squelch";

        // Round again: the quiet channel is passed without a stop.
        ASSERT_TRUE(waitFor(
            [&] {
                const auto all = tunedFrequencies();
                return std::count(all.begin(), all.end(), nextHz) >= 2;
            },
            kLongWaitMs));
        EXPECT_EQ(doc.logCount, 1);
    }

    static constexpr int kAr3000ReportIntervalMs = 40;
};

// AR3000A: a command went out only once every copy of the command before it
// had its answer in full. A copy written again without any answer between is
// a resend of the same command.
::testing::AssertionResult everyAnswerInBeforeTheNextCommand(std::vector<TranscriptLine> lines) {
    // An answer is logged when the command is acted on, with the time it
    // starts out on the line: a late one is logged before it is sent.
    std::stable_sort(lines.begin(), lines.end(),
                     [](const TranscriptLine& a, const TranscriptLine& b) { return a.ms < b.ms; });
    constexpr double kCharacterMs = 11 * 1000.0 / 9600;
    constexpr double kRoundingMs = 0.01;
    std::string current;
    int copies = 0;
    int answers = 0;
    double answerEndMs = 0;
    for (const auto& line : lines) {
        if (line.kind == "TX") {
            ++answers;
            answerEndMs = line.ms + kCharacterMs * double(line.bytes.size());
            continue;
        }
        if (line.kind != "RX")
            continue;
        if (copies > 0 && answers == 0 && line.bytes == current) {
            ++copies;
            continue;
        }
        const double writtenMs = line.ms - kCharacterMs * double(line.bytes.size());
        if (copies > answers || writtenMs + kRoundingMs < answerEndMs)
            return ::testing::AssertionFailure()
                   << "\"" << sim::escapeBytes(line.bytes) << "\" at " << line.ms
                   << " ms went out with " << answers << " of " << copies << " answers to \""
                   << sim::escapeBytes(current) << "\" in";
        current = line.bytes;
        copies = 1;
        answers = 0;
    }
    return ::testing::AssertionSuccess();
}

// A receiver that answers late, but answers: before the one-second resend,
// just after it, and just before the second resend. The scan still visits
// every channel in order, stops only on the active one and takes no stale
// answer for the report of another channel.
struct LateAnswerCase {
    bool ar3000;
    int delayMs;
};

class LateAnswerScanTest : public MemoryScanTest,
                           public ::testing::WithParamInterface<LateAnswerCase> {};

TEST_P(LateAnswerScanTest, StopsOnlyOnTheActiveChannelWhateverTheDelay) {
    const LateAnswerCase c = GetParam();
    startScan(c.ar3000);
    if (HasFatalFailure())
        return;
    // Two late answers on the way to the active channel, once the scan runs:
    // to a signal request (AR3000A; the scan moves on at once after its
    // report) or a tuning command (AR3000), and to whatever goes out next.
    ASSERT_TRUE(waitFor([&] { return wanted() >= kFirstHz + kSpacingHz; }, kLongWaitMs));
    sim_->delayNextAnswerTo(c.ar3000 ? "T145.075N" : "Y\r", c.delayMs);
    ASSERT_TRUE(waitFor([&] { return wanted() >= kFirstHz + 3 * kSpacingHz; }, kLongWaitMs));
    sim_->delayNextReply(c.delayMs);
    expectStopLogAndMoveOn();
    if (!c.ar3000) {
        EXPECT_TRUE(everyAnswerInBeforeTheNextCommand(transcript()));
    }
    EXPECT_TRUE(rig_->notifier.messages.empty());
}

INSTANTIATE_TEST_SUITE_P(Delays, LateAnswerScanTest,
                         ::testing::Values(LateAnswerCase{false, 900}, LateAnswerCase{false, 1100},
                                           LateAnswerCase{false, 1900}, LateAnswerCase{true, 900},
                                           LateAnswerCase{true, 1100}, LateAnswerCase{true, 1900}),
                         [](const auto& testInfo) {
                             return std::string(testInfo.param.ar3000 ? "Ar3000" : "Ar3000A") +
                                    "_" + std::to_string(testInfo.param.delayMs) + "ms";
                         });

TEST_F(MemoryScanTest, Ar3000AStopsOnTheActiveChannelLogsItAndMovesOnAfterTheDelay) {
    startScan(false);
    if (IsSkipped())
        return;
    expectStopLogAndMoveOn();
    EXPECT_TRUE(oneCommandInFlight());
    EXPECT_TRUE(rig_->notifier.messages.empty());
}

TEST_F(MemoryScanTest, Ar3000TuningReachesTheReceiverAndItsReportsDriveTheScan) {
    startScan(true);
    expectStopLogAndMoveOn();
    // Every tuning command is echoed, and no echo counted as a signal: the
    // echo "T..." would read as level 19, shown as 15.
    const auto commands = linesOf("RX");
    const long tunings = std::count_if(commands.begin(), commands.end(), [](const std::string& c) {
        return c.size() > 1 && c[0] == 'T';
    });
    const auto answers = linesOf("TX");
    const long echoes = std::count_if(answers.begin(), answers.end(), [](const std::string& a) {
        return a.size() > 3 && a[0] == 'T';
    });
    EXPECT_GE(tunings, kChannels);
    EXPECT_EQ(echoes, tunings);
    EXPECT_TRUE(std::none_of(rig_->observer.shownSignals.begin(), rig_->observer.shownSignals.end(),
                             [](const auto& s) { return s.second == 15; }));
    EXPECT_TRUE(rig_->notifier.messages.empty());
}

} // namespace
} // namespace kovo::test
