#pragma once
#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <cstdio>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "ReceiverSimulator.h"
#include "fakes/QtReceiverRig.h"
#include "fakes/SimTranscript.h"

namespace kovo::test {

// A simulated receiver on a pseudo-terminal, running on its own thread and
// writing a transcript, and the receiver core on the real serial port opening
// its device.
class E2eTest : public ::testing::Test {
protected:
    // Generous limits: the machine running the tests may be busy.
    static constexpr int kProbeTimeoutMs = 10000;
    static constexpr int kLongWaitMs = 15000;

    // Starts the simulator with `planText` (empty: no signal anywhere) and
    // builds the core for the same receiver kind, opening the simulator's
    // device (or the link to it, if the options name one).
    void startReceiver(sim::SimOptions options, const std::string& planText = "") {
        startSimulator(options, planText);
        if (!sim_)
            return;
        const std::string device = options.linkPath.empty() ? sim_->slavePath() : options.linkPath;
        rig_ = std::make_unique<QtReceiverRig>(device, options.ar3000);
    }

    // Starts the simulator alone (the transcript starts afresh).
    void startSimulator(sim::SimOptions options, const std::string& planText = "") {
        ASSERT_TRUE(dir_.isValid());
        options.baud = 9600;
        options.logPath = transcriptPath();
        auto sim = std::make_unique<sim::ReceiverSimulator>(options);
        std::vector<std::string> errors;
        sim->setPlan(sim::SignalPlan::parse(planText, &errors));
        ASSERT_TRUE(errors.empty()) << errors.front();
        std::string error;
        ASSERT_TRUE(sim->start(&error)) << error;
        sim->startInThread();
        sim_ = std::move(sim);
    }

    // Opens the port and expects the probe to find the receiver.
    void connectReceiver() {
        const auto result = rig_->openAndWait(kProbeTimeoutMs);
        ASSERT_TRUE(result.has_value()) << "the probe did not end";
        ASSERT_TRUE(*result) << "the probe found no receiver";
    }

    // The AR3000A acknowledges a command with the three bytes "\r\n>". A
    // serial port that raises receive events only for two or more waiting
    // bytes can leave the final ">" unreported; the link then waits for its
    // one-second resend on every tuning command. That shows as the first
    // command after the probe going out twice.
    void expectShortAnswersTakenAtOnce() {
        waitFor([&] { return linesOf("RX").size() >= 4; }, kLongWaitMs);
        const auto commands = linesOf("RX");
        ASSERT_GE(commands.size(), 4u);
        ASSERT_NE(commands[2], commands[3]) << "the answer to \"" << sim::escapeBytes(commands[2])
                                            << "\" was not taken until the command was resent";
    }

    void TearDown() override {
        // The core goes first: it must not see the simulator vanish.
        rig_.reset();
        if (sim_)
            sim_->stop();
        if (HasFailure())
            dumpTranscript();
    }

    // The start of the transcript, to see what went over the line.
    void dumpTranscript() const {
        std::ifstream in(transcriptPath());
        std::string line;
        for (int n = 0; n < kDumpedLines && std::getline(in, line); ++n)
            std::fprintf(stderr, "%s\n", line.c_str());
    }
    static constexpr int kDumpedLines = 80;

    std::string transcriptPath() const { return dir_.filePath("transcript.txt").toStdString(); }
    std::vector<TranscriptLine> transcript() const { return readTranscript(transcriptPath()); }
    // The bytes of the transcript lines of one kind, in order.
    std::vector<std::string> linesOf(const std::string& kind) const {
        std::vector<std::string> out;
        for (const auto& line : transcript())
            if (line.kind == kind)
                out.push_back(line.bytes);
        return out;
    }
    // AR3000A: every command went out only after the whole answer to the one
    // before had arrived (one command in flight), judged from the simulator's
    // times: a command is logged when its last character arrived, an answer
    // when its first character went out.
    ::testing::AssertionResult oneCommandInFlight() const {
        constexpr double kCharacterMs = 11 * 1000.0 / 9600;
        constexpr double kRoundingMs = 0.01;
        double answerEndMs = 0;
        const TranscriptLine* answer = nullptr;
        for (const auto& line : transcript()) {
            if (line.kind == "TX") {
                answerEndMs = line.ms + kCharacterMs * double(line.bytes.size());
                answer = &line;
            } else if (line.kind == "RX" && answer) {
                const double writtenMs = line.ms - kCharacterMs * double(line.bytes.size());
                if (writtenMs + kRoundingMs < answerEndMs)
                    return ::testing::AssertionFailure()
                           << "command \"" << sim::escapeBytes(line.bytes) << "\" at " << line.ms
                           << " ms went out before the answer \"" << sim::escapeBytes(answer->bytes)
                           << "\" (sent at " << answer->ms << " ms) had arrived";
            }
        }
        return ::testing::AssertionSuccess();
    }

    std::uint32_t tunedHz() const { return sim_->status().receiver.frequencyHz; }

    QTemporaryDir dir_;
    std::unique_ptr<sim::ReceiverSimulator> sim_;
    std::unique_ptr<QtReceiverRig> rig_;
};

} // namespace kovo::test
