#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "LinkFixture.h"
#include "link/TimerIds.h"

namespace kovo::test {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

class ReceiverLinkTest : public ::testing::Test, public LinkParts {
protected:
    RecordingReplyClient client;
    void SetUp() override {
        link.setClient(&client);
        link.setObserver(&observer);
        client.link = &link;
    }
};

// ---- creation and probe ----

TEST_F(ReceiverLinkTest, CreationSetsThePortUpClosed) {
    link.createControl();
    EXPECT_THAT(port.calls, ElementsAre("RThreshold=0", "SThreshold=0", "InBufferSize=4096",
                                        "OutBufferSize=1024", "OutBufferCount=0", "InBufferCount=0",
                                        "NullDiscard=0", "Line=4800,N,8,2 RTS/CTS"));
    EXPECT_FALSE(port.open);
}

TEST_F(ReceiverLinkTest, OpenSetsThePortUpInOrderThenProbes) {
    ASSERT_TRUE(connect(2, 1));
    EXPECT_THAT(port.calls,
                ElementsAre("Line=9600,N,8,2 RTS/CTS", "InBufferSize=16384", "OutBufferSize=256",
                            "OutBufferCount=0", "InBufferCount=0", "NullDiscard=0", "RThreshold=0",
                            "Port=/dev/ttyS1", "PortOpen=1", "InBufferCount=0",
                            "Line=9600,N,8,2 RTS/CTS", "RThreshold=2"));
    EXPECT_THAT(port.written, ElementsAre("\r", "\r"));
    EXPECT_EQ(client.nextRequests, 1);
    EXPECT_EQ(link.status(), LinkStatus::Polling);
    EXPECT_THAT(observer.statuses, ElementsAre(LinkStatus::Probing, LinkStatus::Polling));
}

TEST_F(ReceiverLinkTest, SpeedIndexPicksTheLineSettings) {
    using L = LineSetting;
    const struct {
        int speedIndex;
        int bitsPerSecond;
    } cases[] = {{0, 4800}, {1, 9600}, {2, 19200}, {9, 4800} /* only a damaged store holds 9 */};
    for (const auto& c : cases) {
        connect(1, c.speedIndex);
        EXPECT_EQ(port.line, (L{c.bitsPerSecond, L::Parity::None, 8, L::StopBits::Two,
                                L::FlowControl::RtsCts}))
            << c.speedIndex;
    }
}

TEST_F(ReceiverLinkTest, EachOpeningOpensTheDeviceTextOfItsComPort) {
    settings.comDevice[2] = "rfc2217://antenna-site:2001";
    connect(3, 1);
    EXPECT_EQ(port.description.kind, PortDescription::Kind::Rfc2217);
    EXPECT_EQ(port.description.host, "antenna-site");
    EXPECT_EQ(port.description.port, 2001);
    settings.comDevice[2] = "/dev/ttyUSB0";
    connect(3, 1);
    EXPECT_EQ(port.description.path, "/dev/ttyUSB0");
    connect(7, 1);
    EXPECT_EQ(port.description.kind, PortDescription::Kind::Invalid);
}

TEST_F(ReceiverLinkTest, ProbeDrainsUntilTheSecondBoundaryPlusTwoThenAsksAgain) {
    bool done = false;
    link.openPort(1, 0, [&](bool) { done = true; });
    EXPECT_THAT(port.written, ElementsAre("\r"));
    timers.advance(1699); // 11.999 s
    EXPECT_THAT(port.written, ElementsAre("\r"));
    timers.advance(1); // 12.000 s
    EXPECT_THAT(port.written, ElementsAre("\r", "\r"));
    EXPECT_FALSE(done);
}

TEST_F(ReceiverLinkTest, PromptOnlyDuringTheDrainFailsWithTheMessage) {
    bool result = true;
    int calls = 0;
    link.openPort(1, 0, [&](bool ok) {
        result = ok;
        ++calls;
    });
    port.receive(">");           // answer to the first carriage return, thrown away
    link.writeCommand("145.\r"); // nothing goes out while probing
    timers.advance(2699);        // 12.999 s: window still open
    EXPECT_EQ(calls, 0);
    timers.advance(20);
    EXPECT_EQ(calls, 1);
    EXPECT_FALSE(result);
    EXPECT_FALSE(port.open);
    EXPECT_THAT(notifier.messages,
                ElementsAre("受信機が接続されていないか、COMポートの設定が違います。"));
    EXPECT_THAT(port.written, ElementsAre("\r", "\r"));
    EXPECT_EQ(client.nextRequests, 0);
    EXPECT_EQ(link.status(), LinkStatus::Closed);
}

TEST_F(ReceiverLinkTest, PromptLateInTheAnswerWindowSucceeds) {
    bool result = false;
    link.openPort(1, 0, [&](bool ok) { result = ok; });
    timers.advance(2500); // 12.8 s
    port.receive("\r\n>");
    timers.advance(20);
    EXPECT_TRUE(result);
    EXPECT_EQ(client.nextRequests, 1);
}

TEST_F(ReceiverLinkTest, Ar3000SecondProbeIsNotDiscardedOnSuccess) {
    settings.device = 0;
    ASSERT_TRUE(connect());
    EXPECT_THAT(port.written, ElementsAre("\r", "\r"));
    const auto firstOpen = std::find(port.calls.begin(), port.calls.end(), "PortOpen=1");
    EXPECT_EQ(std::count(firstOpen, port.calls.end(), "OutBufferCount=0"), 0)
        << "clearing the output buffer drops the second probe before it reaches the line";
}

// Only a receiver that answers, and whose replies end at a character that
// is not a line end, lets the port hold a reply back until it is whole; a
// probe reads every byte as it comes.
TEST_F(ReceiverLinkTest, ThePortHoldsRepliesBackOnlyWhilePollingAReceiverThatAnswers) {
    const struct {
        int device;
        char whilePolling;
    } cases[] = {{1, '>'}, {0, '\0'}, {1, '>'}};
    for (const auto& c : cases) {
        settings.device = c.device;
        ASSERT_TRUE(connect());
        EXPECT_EQ(port.eventCharacter, c.whilePolling) << c.device;
        link.openPort(1, 0, {});
        EXPECT_EQ(port.eventCharacter, '\0') << "probing, device " << c.device;
    }
    EXPECT_EQ(kHamlibDescription.eventCharacter(), '>');
}

TEST_F(ReceiverLinkTest, Ar3000NeedsNoAnswer) {
    settings.device = 0;
    EXPECT_TRUE(connect());
    EXPECT_THAT(notifier.messages, IsEmpty());
}

TEST_F(ReceiverLinkTest, PortThatCannotOpenFailsAtOnceWithOnlyThePortsOwnReport) {
    port.devicePresent = false;
    int calls = 0;
    bool result = true;
    link.openPort(3, 1, [&](bool ok) {
        result = ok;
        ++calls;
    });
    EXPECT_EQ(calls, 1);
    EXPECT_FALSE(result);
    EXPECT_THAT(notifier.messages, IsEmpty());
    EXPECT_THAT(port.written, IsEmpty());

    port.openError = "/dev/ttyS2: Permission denied";
    link.openPort(3, 1);
    EXPECT_THAT(notifier.messages, ElementsAre("/dev/ttyS2: Permission denied"));
}

TEST_F(ReceiverLinkTest, ReceivedTextDuringTheProbeIsNotHandedOn) {
    link.openPort(1, 0);
    port.rThreshold = 1; // even if a port raised events while probing
    port.receive("G\r\n>");
    EXPECT_THAT(client.reports, IsEmpty());
    EXPECT_EQ(client.nextRequests, 0);
}

TEST_F(ReceiverLinkTest, NewOpenReplacesARunningProbe) {
    std::vector<bool> results;
    link.openPort(1, 0, [&](bool ok) { results.push_back(ok); });
    connect();
    EXPECT_EQ(results, std::vector<bool>{false});
    EXPECT_EQ(link.status(), LinkStatus::Polling);
}

// ---- reply cutting and classification ----

TEST_F(ReceiverLinkTest, Ar3000aRepliesEndAtThePrompt) {
    ASSERT_TRUE(connect());
    link.writeCommand("Y\r");
    port.receive("%\r\n>");
    link.writeCommand("Y\r");
    port.receive("G\r");
    port.receive("\n>");
    link.writeCommand("Y\r");
    port.receive("Z>");
    EXPECT_THAT(client.reports, ElementsAre("%", "G", "Z"));
}

TEST_F(ReceiverLinkTest, EmptyAndLowerCaseRepliesJustAdvanceTheLoop) {
    ASSERT_TRUE(connect());
    link.writeCommand("145.\r");
    port.receive("\r\n>");
    link.writeCommand("N\r");
    port.receive("x7>");
    EXPECT_THAT(client.reports, IsEmpty());
    EXPECT_EQ(client.nextRequests, 3);
}

TEST_F(ReceiverLinkTest, UnaskedAr3000aReplyIsIgnored) {
    ASSERT_TRUE(connect());
    port.receive("G>");
    EXPECT_THAT(client.reports, IsEmpty());
    EXPECT_EQ(client.nextRequests, 1);
}

TEST_F(ReceiverLinkTest, TextAfterANewCommandInTheSameDeliveryIsDropped) {
    ASSERT_TRUE(connect());
    client.commandOnNext = "Y\r";
    link.writeCommand("145.\r");
    port.receive(">G>H>");
    EXPECT_THAT(client.reports, IsEmpty());
    EXPECT_EQ(port.written.back(), "Y\r");
    port.receive("K>");
    EXPECT_THAT(client.reports, ElementsAre("K"));
    EXPECT_TRUE(link.partialReply().empty());
}

TEST_F(ReceiverLinkTest, Ar3000RepliesEndAtLineEndsAndDropThePrompt) {
    settings.device = 0;
    ASSERT_TRUE(connect());
    port.receive("B>");
    EXPECT_THAT(client.reports, IsEmpty());
    EXPECT_EQ(link.partialReply(), "B");
    port.receive("\r\nC\n");
    EXPECT_THAT(client.reports, ElementsAre("B", "C"));
}

TEST_F(ReceiverLinkTest, Ar3000EchoIsSwallowed) {
    settings.device = 0;
    ASSERT_TRUE(connect());
    link.writeCommand("T145.N");
    link.armEcho();
    port.receive("%\r");
    EXPECT_EQ(link.echoesToSwallow(), 2);
    port.receive("B\r");
    EXPECT_EQ(link.echoesToSwallow(), 0);
    EXPECT_THAT(client.reports, IsEmpty());
    port.receive("B\r");
    EXPECT_THAT(client.reports, ElementsAre("B"));
}

TEST_F(ReceiverLinkTest, Ar3000EchoStartingWithAEndsTheSwallowing) {
    settings.device = 0;
    ASSERT_TRUE(connect());
    link.armEcho();
    port.receive("12\r"); // no information, swallows nothing
    EXPECT_EQ(link.echoesToSwallow(), 1);
    port.receive("A\r");
    EXPECT_EQ(link.echoesToSwallow(), 0);
    port.receive("C\r");
    EXPECT_THAT(client.reports, ElementsAre("C"));
}

TEST_F(ReceiverLinkTest, FlowControlCharactersShowOneMessageEach) {
    ASSERT_TRUE(connect());
    link.writeCommand("Y\r");
    port.receive(std::string("\x13G") + "\x11>");
    EXPECT_THAT(client.reports, ElementsAre("G"));
    EXPECT_THAT(notifier.messages, ElementsAre("X On"));
    port.receive(std::string(1000, '\x13'));
    port.receive(std::string(1000, '\x13'));
    EXPECT_THAT(notifier.messages, ElementsAre("X On", "X Off"));
}

TEST_F(ReceiverLinkTest, TextArrivingWhileAReplyIsHandledIsCutOnItsOwn) {
    ASSERT_TRUE(connect());
    // The handler of the first report runs the event loop (a message box), in
    // which the next delivery arrives and answers a new command.
    bool nested = false;
    client.commandOnNext = "Y\r";
    link.writeCommand("Y\r");
    struct NestingClient final : ReplyClient {
        ReceiverLink* link = nullptr;
        FakeCommPort* port = nullptr;
        bool* nested = nullptr;
        std::vector<std::string> reports;
        void sendNext() override { link->writeCommand("Y\r"); }
        void onSignalReport(std::string_view reply) override {
            reports.emplace_back(reply);
            sendNext();
            if (!*nested) {
                *nested = true;
                port->receive("H\r\n>");
            }
        }
    } nesting;
    nesting.link = &link;
    nesting.port = &port;
    nesting.nested = &nested;
    link.setClient(&nesting);
    port.receive("G\r\n>J>");
    EXPECT_THAT(nesting.reports, ElementsAre("G", "H"));
    EXPECT_TRUE(link.awaitingReply());
}

// ---- port events ----

TEST_F(ReceiverLinkTest, BreakCyclesThePortAndAsksForTheNextCommand) {
    ASSERT_TRUE(connect());
    port.calls.clear();
    port.fire(CommEventBreak);
    EXPECT_THAT(port.calls, ElementsAre("PortOpen=0", "PortOpen=1"));
    EXPECT_EQ(client.nextRequests, 2);
}

TEST_F(ReceiverLinkTest, OverrunDiscardsWithoutNextCommandOverflowAsksForOne) {
    ASSERT_TRUE(connect());
    port.pending = "G";
    port.fire(CommEventOverrun);
    EXPECT_TRUE(port.pending.empty());
    EXPECT_EQ(client.nextRequests, 1);
    port.pending = "G";
    port.fire(CommEventRxOverflow);
    EXPECT_TRUE(port.pending.empty());
    EXPECT_EQ(client.nextRequests, 2);
    port.fire(4242);
    EXPECT_EQ(client.nextRequests, 2);
}

// ---- one command in flight ----

TEST_F(ReceiverLinkTest, CommandWithoutReplyIsSentAgainEverySecond) {
    ASSERT_TRUE(connect());
    port.written.clear();
    link.writeCommand("145.\r");
    timers.advance(999);
    EXPECT_THAT(port.written, ElementsAre("145.\r"));
    timers.advance(1);
    EXPECT_THAT(port.written, ElementsAre("145.\r", "145.\r"));
    timers.advance(1000);
    EXPECT_EQ(port.written.size(), 3u);
    port.receive("\r\n>");
    EXPECT_FALSE(link.awaitingReply());
    timers.advance(5000);
    EXPECT_EQ(port.written.size(), 3u);
}

TEST_F(ReceiverLinkTest, Ar3000ResendThrowsAwayTheHalfOfALostLine) {
    settings.device = 0;
    ASSERT_TRUE(connect());
    link.writeCommand("G\r");
    // Part of the lost line has been cut into the line buffer already.
    port.receive("GX");
    EXPECT_EQ(link.partialReply(), "GX");
    timers.advance(1000);
    EXPECT_EQ(port.written.back(), "G\r");
    EXPECT_EQ(link.partialReply(), "") << "a stale half line would prefix the next one";
}

// An AR3000A answers every copy of a resent command, in order. Whatever the
// timing, the first answer is taken, the next command waits until the other
// copies are answered (or, if the first copy was lost, a short guard ends),
// and no answer is credited to a command it does not answer.
struct LateAnswerCase {
    int firstAnswerMs; // when the answer to the first "Y\r" arrives
    bool firstAnswerLost;
    int copiesWritten; // copies of "Y\r" on the line by then
};

class LateAnswerTest : public ReceiverLinkTest,
                       public ::testing::WithParamInterface<LateAnswerCase> {};

TEST_P(LateAnswerTest, EachAnswerIsCreditedToTheCommandItAnswers) {
    const LateAnswerCase c = GetParam();
    ASSERT_TRUE(connect());
    port.written.clear();
    link.writeCommand("Y\r");
    client.commandOnNext = "145.\r";
    timers.advance(c.firstAnswerMs);
    ASSERT_EQ(port.written, std::vector<std::string>(std::size_t(c.copiesWritten), "Y\r"));
    // The answer to the first copy: a signal report. Unless it was lost, the
    // answers to the later copies follow at once, in one delivery or several.
    port.receive("G\r\n>");
    ASSERT_THAT(client.reports, ElementsAre("G"));
    int answersStillDue = c.copiesWritten - 1 - (c.firstAnswerLost ? 1 : 0);
    while (answersStillDue-- > 0) {
        EXPECT_EQ(port.written.back(), "Y\r") << "the next command went out before all answers";
        timers.advance(5);
        port.receive("K\r\n>"); // a stale answer: not a report, not an answer to "145."
    }
    timers.advance(c.firstAnswerLost ? kStaleReplyGuardMs : 0);
    EXPECT_EQ(port.written.back(), "145.\r");
    EXPECT_THAT(client.reports, ElementsAre("G"));
    EXPECT_TRUE(link.awaitingReply()) << "a stale answer was taken for the answer to 145.";
    port.receive("\r\n>"); // its own answer asks for the next command
    EXPECT_EQ(std::count(port.written.begin(), port.written.end(), "145.\r"), 2);
}

INSTANTIATE_TEST_SUITE_P(
    Timings, LateAnswerTest,
    ::testing::Values(LateAnswerCase{900, false, 1}, LateAnswerCase{1100, false, 2},
                      LateAnswerCase{1900, false, 2}, LateAnswerCase{2100, false, 3},
                      LateAnswerCase{1100, true, 2}, LateAnswerCase{2100, true, 3}));

TEST_F(ReceiverLinkTest, LateAnswerArrivingInPiecesKeepsTheGuardUp) {
    ASSERT_TRUE(connect());
    client.commandOnNext = "145.\r";
    link.writeCommand("Y\r");
    timers.advance(1000);               // resent
    port.receive("%\r\n>");             // the first copy's answer
    port.receive("%\r");                // the second's, still coming in
    timers.advance(kStaleReplyGuardMs); // the guard waits for its end
    EXPECT_EQ(port.written.back(), "Y\r");
    port.receive("\n>");
    EXPECT_EQ(port.written.back(), "145.\r");
    EXPECT_TRUE(link.awaitingReply());
}

// Closing or reopening the port in the middle of a reply leaves nothing of
// it for the new line, and no echo to swallow.
TEST_F(ReceiverLinkTest, ReopeningForgetsAHalfReceivedReplyAndTheEchoCount) {
    for (const int device : {1, 0}) {
        settings.device = device;
        ASSERT_TRUE(connect());
        link.writeCommand("Y\r");
        link.armEcho();
        port.receive("GX");
        link.closePort();
        EXPECT_EQ(link.partialReply(), "");
        EXPECT_EQ(link.echoesToSwallow(), 0);
        port.receive("GX");
        ASSERT_TRUE(connect());
        EXPECT_EQ(link.partialReply(), "") << "device " << device;
        EXPECT_EQ(link.echoesToSwallow(), 0);
    }
}

TEST_F(ReceiverLinkTest, EverySuccessfulProbeTellsThatAReceiverWasFound) {
    int found = 0;
    link.setReceiverFoundHandler([&] { ++found; });
    ASSERT_TRUE(connect());
    ASSERT_TRUE(connect(2, 1)); // another port, as after the COM Port dialog
    settings.device = 0;
    ASSERT_TRUE(connect()); // another receiver kind
    EXPECT_EQ(found, 3);
}

TEST_F(ReceiverLinkTest, ResentAr3000TuningCommandSwallowsItsEchoAgain) {
    settings.device = 0;
    ASSERT_TRUE(connect());
    link.writeCommand("T145.N");
    link.armEcho();
    ReceiverLinkTestAccess::forgetEcho(link);
    timers.advance(1000);
    EXPECT_EQ(port.written.back(), "T145.N");
    EXPECT_EQ(link.echoesToSwallow(), 1);
}

// Every copy of a resent AR3000 tuning command is echoed, and the echoes
// may come on either side of reports: none of them is a signal at level "T".
TEST_F(ReceiverLinkTest, Ar3000EchoesOfEveryCopyAreNeverReports) {
    const std::vector<std::vector<std::string>> orders = {
        {"T145.075N", "T145.075N", "%", "T145.075N", "%"},
        {"%", "T145.075N", "T145.075N", "T145.075N", "%"},
        {"T145.075N", "%", "%", "T145.075N", "%", "T145.075N"},
    };
    settings.device = 0;
    for (const auto& order : orders) {
        ASSERT_TRUE(connect());
        client.reports.clear();
        link.writeCommand("T145.075N");
        link.armEcho();
        timers.advance(2000); // two resends: three copies on the line
        for (const std::string& line : order)
            port.receive(line + "\r\n");
        EXPECT_THAT(client.reports, ::testing::Each("%")) << ::testing::PrintToString(order);
        EXPECT_FALSE(client.reports.empty());
    }
}

TEST_F(ReceiverLinkTest, NothingIsWrittenOnAClosedPort) {
    link.writeCommand("145.\r");
    EXPECT_THAT(port.written, IsEmpty());
    timers.advance(5000);
    EXPECT_THAT(port.written, IsEmpty());
}

// ---- device lost ----

TEST_F(ReceiverLinkTest, LostDeviceIsReportedOnceAndPollingResumesWhenItReturns) {
    ASSERT_TRUE(connect(2, 1));
    int recovered = 0;
    link.setReceiverFoundHandler([&] { ++recovered; });
    link.writeCommand("Y\r");
    port.loseDevice();
    EXPECT_EQ(link.status(), LinkStatus::Lost);
    ASSERT_EQ(notifier.messages.size(), 1u);
    EXPECT_EQ(notifier.messages[0], "受信機との接続が切れました。接続が戻ると自動的に再開します。");
    port.written.clear();
    port.openError = "/dev/ttyS1: No such file or directory";
    timers.advance(30000); // retries find no device, quietly
    EXPECT_EQ(notifier.messages.size(), 1u);
    EXPECT_THAT(notifier.withdrawn, IsEmpty()) << "the news holds while the receiver is away";
    EXPECT_THAT(port.written, IsEmpty());
    EXPECT_EQ(client.nextRequests, 1);

    port.devicePresent = true;
    port.onOutput = [this](const std::string& text) {
        if (text == "\r")
            port.receive(">");
    };
    timers.advance(3000 + 3000);
    EXPECT_EQ(link.status(), LinkStatus::Polling);
    EXPECT_EQ(recovered, 1);
    EXPECT_EQ(client.nextRequests, 2);
    EXPECT_EQ(port.description.path, "/dev/ttyS1");
    EXPECT_EQ(port.line.text(), "9600,N,8,2 RTS/CTS");
    EXPECT_EQ(notifier.messages.size(), 1u);
    EXPECT_EQ(notifier.withdrawn, std::vector<std::string>{notifier.messages[0]})
        << "the receiver answers again: the news that it was lost is taken back";

    port.loseDevice(); // a second loss is reported again
    EXPECT_EQ(notifier.messages.size(), 2u);
}

TEST_F(ReceiverLinkTest, ReceiverSilentAfterReopeningKeepsRetryingQuietly) {
    ASSERT_TRUE(connect());
    port.loseDevice();
    port.devicePresent = true; // the adapter is back but the receiver is off
    port.written.clear();
    timers.advance(20000);
    EXPECT_EQ(notifier.messages.size(), 1u);
    EXPECT_NE(link.status(), LinkStatus::Polling);
    EXPECT_EQ(client.nextRequests, 1);
    EXPECT_GE(port.written.size(), 6u); // probes went out
}

TEST_F(ReceiverLinkTest, OpeningByHandStopsTheRetries) {
    ASSERT_TRUE(connect());
    port.loseDevice();
    port.devicePresent = true;
    ASSERT_TRUE(connect(3, 1));
    EXPECT_FALSE(timers.isTimerActive(TimerReconnect));
    link.closePort();
    EXPECT_EQ(link.status(), LinkStatus::Closed);
    timers.advance(10000);
    EXPECT_FALSE(port.open);
}

// ---- bad input ----

TEST_F(ReceiverLinkTest, RandomBytesNeverStopTheLoop) {
    for (int device : {0, 1}) {
        settings.device = device;
        ASSERT_TRUE(connect());
        client.commandOnNext = "Y\r";
        std::mt19937 random(1234 + device);
        for (int round = 0; round < 2000; ++round) {
            std::string noise(random() % 64, '\0');
            for (char& c : noise)
                c = char(random() & 0xff);
            port.receive(noise);
            EXPECT_LE(link.partialReply().size(), ReceiverLink::kMaxReplyLength);
            if (round % 100 == 0)
                timers.advance(1000);
        }
        client.commandOnNext.clear();
        client.reports.clear();
        port.receive(">\r"); // ends whatever the noise left
        link.writeCommand("Y\r");
        port.receive("K\r>");
        ASSERT_FALSE(client.reports.empty());
        EXPECT_EQ(client.reports.back(), "K");
    }
}

TEST_F(ReceiverLinkTest, TenMegabyteBurstIsDroppedAndPollingGoesOn) {
    ASSERT_TRUE(connect());
    client.commandOnNext = "Y\r";
    link.writeCommand("Y\r");
    port.receive(std::string(10 * 1024 * 1024, '>'));
    EXPECT_EQ(client.nextRequests, 2); // treated as a lost reply: one new command
    EXPECT_EQ(port.written.back(), "Y\r");
    port.receive(std::string(10 * 1024 * 1024, 'G'));
    EXPECT_TRUE(link.partialReply().empty());
    port.receive("J>");
    EXPECT_THAT(client.reports, ElementsAre("J"));
}

TEST_F(ReceiverLinkTest, PromptFloodInSmallDeliveriesKeepsOneCommandInFlight) {
    ASSERT_TRUE(connect());
    client.commandOnNext = "Y\r";
    link.writeCommand("Y\r");
    const std::string chunk(4096, '>');
    for (int i = 0; i < 2560; ++i) // 10 MB
        port.receive(chunk);
    // One command per delivery at most: the rest of each delivery predates it.
    EXPECT_EQ(port.written.size(), 2u + 1u + 2560u);
}

TEST_F(ReceiverLinkTest, OverlongLineIsBoundedAndCountsAsEmptyReply) {
    ASSERT_TRUE(connect());
    link.writeCommand("Y\r");
    port.receive(std::string(1000, 'G'));
    EXPECT_EQ(link.partialReply().size(), ReceiverLink::kMaxReplyLength);
    port.receive("\r\n>");
    EXPECT_THAT(client.reports, IsEmpty());
    EXPECT_EQ(client.nextRequests, 2);
    EXPECT_TRUE(link.partialReply().empty());
}

} // namespace
} // namespace kovo::test
