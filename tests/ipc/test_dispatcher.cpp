#include <gtest/gtest.h>

#include "fakes/IpcFakes.h"
#include "ipc/Codes.h"
#include "ipc/ControlDispatcher.h"
#include "ipc/PeerLinks.h"

namespace kovo::ipc::test {
namespace {

using namespace kovo::test;

class DispatcherTest : public ::testing::Test {
protected:
    RecordingSender sender;
    FakeMemory memory;
    FakeTarget target;
    PeerLinks peers{sender, memory};
    ControlDispatcher dispatcher{target, peers, memory};

    std::int32_t control(std::uint32_t code, std::uint32_t value) {
        return dispatcher.handle(Message::KovoControl, code, value);
    }
    std::int32_t recorderSays(std::uint32_t code, std::uint32_t value) {
        return dispatcher.handle(Message::BromAnswer, code, value);
    }
    void linkRecorder() { peers.recorder = 900; }
    void putState(const StateBlock& b, std::uint32_t reserved = 0xDEADBEEF) {
        memory.create("MemKovoControl");
        std::array<std::uint8_t, kStateBlockSize> bytes{};
        b.encode(bytes);
        putU32(bytes, 0, reserved);
        std::copy(bytes.begin(), bytes.end(), memory.objects["MemKovoControl"].begin());
    }
};

struct ValueCase {
    std::uint32_t code, value;
    std::int32_t result;
    int CFrequencyData::*field; // nullptr: nothing of the record
    int expected;
};

class ValueCommands : public DispatcherTest, public ::testing::WithParamInterface<ValueCase> {};

TEST_P(ValueCommands, AcceptOnlyTheirRangeAndChangeNothingElse) {
    const ValueCase c = GetParam();
    target.record.mode = 2;
    target.record.step = 5;
    target.record.ifBandwidth = 2;
    target.record.attenuator = 1;
    target.record.antenna = 1;
    const CFrequencyData before = target.record;
    EXPECT_EQ(control(c.code, c.value), c.result);
    if (c.field) {
        EXPECT_EQ(target.record.*c.field, c.result ? c.expected : before.*c.field);
    }
    if (c.result == kRefused) {
        EXPECT_TRUE(target.calls.empty());
    }
}

// An attenuator the program will not change (memory scan) is refused, not
// reported as set.
TEST_F(DispatcherTest, AnAttenuatorTheProgramKeepsIsRefused) {
    target.attenuatorLocked = true;
    target.record.attenuator = 1;
    EXPECT_EQ(control(4, 3), kRefused);
    EXPECT_EQ(target.record.attenuator, 1);
}

INSTANTIATE_TEST_SUITE_P(
    Table, ValueCommands,
    ::testing::Values(ValueCase{1, 8, 2, &CFrequencyData::mode, 8},
                      ValueCase{1, 9, 0, &CFrequencyData::mode, 0},
                      ValueCase{2, 0, 2, &CFrequencyData::step, 1},
                      ValueCase{2, 13, 2, &CFrequencyData::step, 13},
                      ValueCase{2, 14, 0, &CFrequencyData::step, 0},
                      ValueCase{3, 6, 2, &CFrequencyData::ifBandwidth, 6},
                      ValueCase{3, 7, 0, &CFrequencyData::ifBandwidth, 0},
                      ValueCase{4, 3, 2, &CFrequencyData::attenuator, 3},
                      ValueCase{4, 4, 0, &CFrequencyData::attenuator, 0},
                      ValueCase{5, 3, 2, &CFrequencyData::antenna, 3},
                      ValueCase{5, 0xFFFFFFFF, 0, &CFrequencyData::antenna, 0},
                      ValueCase{6, 255, 2, nullptr, 0}, ValueCase{7, 256, 0, nullptr, 0},
                      ValueCase{8, 11, 0, nullptr, 0}, ValueCase{9, 180, 2, nullptr, 0},
                      ValueCase{9, 181, 0, nullptr, 0}, ValueCase{10, 6, 0, nullptr, 0},
                      ValueCase{15, 20, 0, nullptr, 0}, ValueCase{16, 20, 0, nullptr, 0},
                      ValueCase{11, 123456, 2, nullptr, 0}, ValueCase{14, 1, 2, nullptr, 0},
                      ValueCase{999, 1, 2, nullptr, 0},
                      ValueCase{0xFFFFFFFF, 0xFFFFFFFF, 2, nullptr, 0}),
    [](const auto& testInfo) {
        return "code" + std::to_string(testInfo.param.code) + "_value" +
               std::to_string(testInfo.param.value);
    });

TEST_F(DispatcherTest, FrequencyLimitsAreTheCommandsAndTheReceivers) {
    target.lowestHz = 0;
    target.highestHz = 0xFFFFFFFF;
    EXPECT_EQ(control(0, 9'999), kRefused);
    EXPECT_EQ(control(0, 2'600'000'001u), kRefused);
    EXPECT_EQ(target.record.frequency, 0u);
    EXPECT_EQ(control(0, 2'600'000'000u), kDone);
    EXPECT_EQ(target.record.frequency, 2'600'000'000u);
    EXPECT_EQ(target.calls, (std::vector<std::string>{"tune"}));
}

// A frequency the receiver cannot tune answers 0, as a refusal, whether
// alone or in a state block, and changes nothing.
TEST_F(DispatcherTest, TheReceiversRangeDecidesTuningAndStateBlocks) {
    const struct {
        std::uint32_t hz;
        std::int32_t result;
    } cases[] = {{99'999, kRefused},
                 {100'000, kDone},
                 {2'040'000'000, kDone},
                 {2'040'000'001, kRefused},
                 {2'500'000'000u, kRefused}};
    for (const auto& c : cases) {
        target.record = {};
        target.record.frequency = 145'000'000;
        target.record.mode = 2;
        EXPECT_EQ(control(0, c.hz), c.result) << c.hz;
        EXPECT_EQ(target.record.frequency, c.result ? c.hz : 145'000'000u) << c.hz;
        StateBlock b;
        b.frequency = c.hz;
        b.mode = 4;
        putState(b);
        target.record.frequency = 145'000'000;
        EXPECT_EQ(control(151, 288), c.result) << c.hz;
        EXPECT_EQ(target.record.mode, c.result ? 4 : 2) << "the whole block or nothing";
        EXPECT_EQ(target.record.frequency, c.result ? c.hz : 145'000'000u) << c.hz;
    }
}

// Changes of the tuned record are asked of the program, never written here.
TEST_F(DispatcherTest, TuningChangesGoToTheProgramsOperations) {
    for (const auto& [code, value] :
         {std::pair{0u, 145'000'000u}, {1u, 3u}, {2u, 0u}, {3u, 6u}, {4u, 1u}, {5u, 2u}, {10u, 5u}})
        ASSERT_EQ(control(code, value), kDone) << code;
    EXPECT_EQ(target.calls,
              (std::vector<std::string>{"tune", "receiver mode 3", "step 1", "bandwidth 6",
                                        "attenuator 1", "antenna 2", "mode 5"}));
}

TEST_F(DispatcherTest, ModesAndLinkSetsGoToTheProgram) {
    EXPECT_EQ(control(10, 5), kDone);
    EXPECT_EQ(control(15, 19), kDone);
    EXPECT_EQ(control(16, 3), kDone);
    EXPECT_EQ(target.calls,
              (std::vector<std::string>{"mode 5", "link set 19", "link set 3", "mode 0"}));
    EXPECT_EQ(control(12, 0x3), kDone);
    EXPECT_EQ(target.linkBits, 0x3u);
    EXPECT_EQ(control(13, 0xFFFFFFFF), kDone);
    EXPECT_EQ(target.searchBits, 0xFFFFFFFFu) << "the target keeps only the low bits";
}

TEST_F(DispatcherTest, QueriesGoToTheStatusClientAndAForgetfulOneIsDropped) {
    target.record.frequency = 145'000'000;
    target.record.antenna = 2;
    EXPECT_EQ(control(100, 0), kDone);
    EXPECT_EQ(sender.sent.back(), (Sent{kNoWindow, Message::KovoStatus, 100, 145'000'000}));
    EXPECT_EQ(control(254, 500), kDone);
    sender.answers[500] = 0;
    EXPECT_EQ(control(105, 0), kDone);
    EXPECT_EQ(sender.sent.back(), (Sent{500, Message::KovoStatus, 105, 2}));
    EXPECT_EQ(peers.statusClient, kNoWindow);
    control(101, 0);
    EXPECT_EQ(sender.sent.back().to, kNoWindow) << "broadcast once the client is forgotten";
}

TEST_F(DispatcherTest, ClientsAnnouncedAreGreetedFromTheOwnWindow) {
    EXPECT_EQ(control(255, 600), kDone);
    EXPECT_EQ(sender.sent.back(), (Sent{600, Message::KovoStatus, 254, 77}));
    EXPECT_EQ(control(253, 601), kDone);
    EXPECT_EQ(sender.sent.back(), (Sent{601, Message::KovoAnswer, 252, 77}));
    EXPECT_EQ(control(252, 0), kDone);
    EXPECT_EQ(peers.answerClient, kNoWindow);
}

// Who is forgotten when: a client that answers 0, a window that leaves.
struct ForgetCase {
    const char* name;
    std::uint32_t announce; // 253 answer client, 255 status client
    Message message;
    std::int32_t answer;
    bool forgotten;
};

class ClientsForgotten : public DispatcherTest, public ::testing::WithParamInterface<ForgetCase> {
protected:
    WindowHandle client() const {
        return GetParam().announce == 253 ? peers.answerClient : peers.statusClient;
    }
};

TEST_P(ClientsForgotten, WhenTheyAnswerZeroAndOnlyThen) {
    const ForgetCase c = GetParam();
    sender.answers[600] = c.answer;
    control(c.announce, 600);
    EXPECT_EQ(sender.sent.back().message, c.message);
    EXPECT_EQ(client(), c.forgotten ? kNoWindow : 600u);
    if (c.forgotten) {
        c.announce == 253 ? peers.announceViewReady() : peers.sendStatus(100, 1);
        EXPECT_EQ(sender.sent.back().to, kNoWindow) << "broadcast again";
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, ClientsForgotten,
    ::testing::Values(ForgetCase{"AnswerZero", 253, Message::KovoAnswer, 0, true},
                      ForgetCase{"AnswerOne", 253, Message::KovoAnswer, 1, false},
                      ForgetCase{"StatusZero", 255, Message::KovoStatus, 0, true},
                      ForgetCase{"StatusOne", 255, Message::KovoStatus, 1, false}),
    [](const auto& testInfo) { return std::string(testInfo.param.name); });

TEST_F(DispatcherTest, ALateZeroFromAReplacedClientForgetsNobody) {
    sender.holdReplies = true;
    sender.answers[600] = 0;
    control(253, 600);
    control(255, 600);
    control(252, 700);
    control(254, 701);
    sender.deliverReplies();
    EXPECT_EQ(peers.answerClient, 700u);
    EXPECT_EQ(peers.statusClient, 701u);
}

TEST_F(DispatcherTest, AWindowThatLeavesIsForgottenInEveryRoleItHad) {
    peers.statusClient = 5;
    peers.answerClient = 5;
    linkRecorder();
    peers.recordPending = true;
    peers.windowLeft(900);
    EXPECT_FALSE(peers.recorderLinked());
    EXPECT_FALSE(peers.recordPending) << "nobody is left to end the record";
    peers.windowLeft(5);
    EXPECT_EQ(peers.statusClient, kNoWindow);
    EXPECT_EQ(peers.answerClient, kNoWindow);
}

TEST_F(DispatcherTest, AShutdownThenTheWindowClosingSaysGoodbyeToTheStatusClientOnce) {
    linkRecorder();
    control(1000, 0);
    peers.announceClosing();
    EXPECT_EQ(sender.sent, (std::vector<Sent>{{kNoWindow, Message::KovoStatus, 254, 0},
                                              {900, Message::BromControl, 3, 0}}));
}

struct NameCase {
    std::uint32_t code;
    const char* memory;
    std::int32_t result;
};

class NameCommands : public DispatcherTest, public ::testing::WithParamInterface<NameCase> {};

TEST_P(NameCommands, FillSlotsOnlyWhenTheMemoryIsThereAndBigEnough) {
    const NameCase c = GetParam();
    EXPECT_EQ(control(c.code, 0), kRefused) << "missing";
    memory.create(c.memory, kMappingSize - 1);
    EXPECT_EQ(control(c.code, 0), kRefused) << "too small";
    memory.create(c.memory, kMappingSize);
    EXPECT_EQ(control(c.code, 0), c.result);
    const auto& bytes = memory.objects[c.memory];
    EXPECT_EQ(bytes[std::size_t(c.result)], 0xEE) << "nothing past the slots";
    EXPECT_EQ(bytes[kNameSlotSize - 1], 0);
}

INSTANTIATE_TEST_SUITE_P(Table, NameCommands,
                         ::testing::Values(NameCase{112, "MemKovoName", 1760},
                                           NameCase{113, "MemKovoName", 1600},
                                           NameCase{115, "MemKovoControl", 1600}),
                         [](const auto& testInfo) {
                             return "code" + std::to_string(testInfo.param.code);
                         });

TEST_F(DispatcherTest, ALongNameArrivesCutTo79Bytes) {
    target.banks[1] = std::string(100, 'x');
    memory.create("MemKovoName");
    ASSERT_EQ(control(112, 0), 1760);
    const auto& bytes = memory.objects["MemKovoName"];
    EXPECT_EQ(std::string(bytes.begin() + 80, bytes.begin() + 159), std::string(79, 'x'));
    EXPECT_EQ(bytes[159], 0);
    EXPECT_EQ(std::string(bytes.begin() + 160, bytes.begin() + 164), "bank");
}

TEST_F(DispatcherTest, StateBlockGoesOutAndComesBack) {
    target.record.frequency = 433'000'000;
    target.record.step = 3;
    target.record.mode = 1;
    target.record.ctcss = 12;
    target.record.comment = std::string(300, 'c');
    memory.create("MemKovoControl");
    ASSERT_EQ(control(150, 0), 288);
    const auto& bytes = memory.objects["MemKovoControl"];
    EXPECT_EQ(getU32(bytes, 4), 433'000'000u);
    EXPECT_EQ(getU32(bytes, 284), 12u);
    EXPECT_EQ(bytes[28 + 254], 'c');
    EXPECT_EQ(bytes[28 + 255], 0) << "comment cut to 255 bytes and its zero";
    EXPECT_EQ(bytes[288], 0xEE);

    target.record = {};
    target.record.bankMask = 6;
    target.record.priority = 1;
    ASSERT_EQ(control(151, 288), kDone);
    EXPECT_EQ(target.record.frequency, 433'000'000u);
    EXPECT_EQ(target.record.mode, 1);
    EXPECT_EQ(target.record.comment.size(), 255u);
    EXPECT_EQ(target.record.bankMask, 1);
    EXPECT_EQ(target.record.priority, 0);
}

TEST_F(DispatcherTest, StateBlocksWithAnyReservedWordApplyAlike) {
    StateBlock b;
    b.frequency = 145'000'000;
    b.step = 10;
    b.comment = "abc";
    for (std::uint32_t reserved : {0u, 0xFFFFFFFFu, 0x12345678u}) {
        putState(b, reserved);
        target.record = {};
        EXPECT_EQ(control(151, 288), kDone);
        EXPECT_EQ(target.record.frequency, 145'000'000u);
        EXPECT_EQ(target.record.comment, "abc");
    }
}

TEST_F(DispatcherTest, AStateBlockWithAValueOutsideItsTableChangesNothing) {
    struct Bad {
        int StateBlock::*field;
        int value;
    };
    for (const Bad bad : {Bad{&StateBlock::mode, 9}, Bad{&StateBlock::step, -1},
                          Bad{&StateBlock::ifBandwidth, 7}, Bad{&StateBlock::attenuator, 4},
                          Bad{&StateBlock::antenna, 4}, Bad{&StateBlock::ctcss, 52}}) {
        StateBlock b;
        b.frequency = 145'000'000;
        b.*bad.field = bad.value;
        putState(b);
        target.record.frequency = 7;
        EXPECT_EQ(control(151, 288), kRefused);
        EXPECT_EQ(target.record.frequency, 7u);
    }
    StateBlock farOut;
    farOut.frequency = 9'999;
    putState(farOut);
    EXPECT_EQ(control(151, 288), kRefused);
    EXPECT_EQ(control(151, 289), kRefused) << "more than a block";
    memory.objects.clear();
    EXPECT_EQ(control(151, 288), kRefused) << "no memory";
}

TEST_F(DispatcherTest, APartialBlockUpdatesOnlyTheBytesItCovers) {
    target.record.frequency = 145'000'000;
    target.record.step = 4;
    memory.create("MemKovoControl");
    ASSERT_EQ(control(150, 0), 288); // the program's block is now complete
    putU32(memory.objects["MemKovoControl"], 4, 430'000'000);
    target.record.frequency = 1;
    ASSERT_EQ(control(151, 8), kDone);
    EXPECT_EQ(target.record.frequency, 430'000'000u);
    EXPECT_EQ(target.record.step, 4);
}

TEST_F(DispatcherTest, ApplyingAStateEndsAPendingRecordFirst) {
    linkRecorder();
    peers.recordPending = true;
    StateBlock b;
    b.frequency = 145'000'000;
    putState(b);
    ASSERT_EQ(control(151, 288), kDone);
    EXPECT_EQ(sender.sent, (std::vector<Sent>{{900, Message::BromControl, 11, 77}}));
    EXPECT_FALSE(peers.recordPending);
}

TEST_F(DispatcherTest, StepWhileTheSquelchIsOpenHandsTheRecordToTheRecorder) {
    memory.create("MemBromControl");
    target.record.frequency = 145'000'000;
    target.record.comment = std::string(70, 'k');
    control(2, 5);
    EXPECT_TRUE(sender.sent.empty()) << "squelch closed";
    target.squelch = true;
    control(2, 5);
    EXPECT_TRUE(sender.sent.empty()) << "no recorder linked";
    linkRecorder();
    control(2, 5);
    EXPECT_EQ(sender.sent, (std::vector<Sent>{{900, Message::BromControl, 10, 77}}));
    EXPECT_TRUE(peers.recordPending);
    const auto& bytes = memory.objects["MemBromControl"];
    EXPECT_EQ(getU32(bytes, 4), 145'000'000u);
    EXPECT_EQ(getU32(bytes, 8), 1'700'000'000u);
    EXPECT_EQ(bytes[0], 0xEE);
    EXPECT_EQ(bytes[12], 0xEE) << "bytes 12 to 19 are not written";
    EXPECT_EQ(bytes[20 + 62], 'k');
    EXPECT_EQ(bytes[20 + 63], 0);
    EXPECT_EQ(bytes[20 + 64], 0xEE);
}

TEST_F(DispatcherTest, ShutdownSavesThenLeavesWithOneAndStaysWhenSavingFails) {
    target.saveSucceeds = false;
    EXPECT_EQ(control(1000, 0), kRefused);
    EXPECT_EQ(target.exitCode, -1);
    EXPECT_TRUE(sender.sent.empty());
    target.saveSucceeds = true;
    control(1000, 0);
    EXPECT_EQ(target.exitCode, 1);
    EXPECT_EQ(sender.sent.back(), (Sent{kNoWindow, Message::KovoStatus, 254, 0}));
}

struct RecorderCase {
    std::uint32_t code, value;
    std::int32_t result;
    WindowHandle recorderAfter;
};

class RecorderAnswers : public DispatcherTest,
                        public ::testing::WithParamInterface<RecorderCase> {};

TEST_P(RecorderAnswers, FollowTheTable) {
    const RecorderCase c = GetParam();
    peers.recorder = 5;
    EXPECT_EQ(recorderSays(c.code, c.value), c.result);
    EXPECT_EQ(peers.recorder, c.recorderAfter);
}

INSTANTIATE_TEST_SUITE_P(
    Table, RecorderAnswers,
    ::testing::Values(RecorderCase{0, 900, 1, 900}, RecorderCase{2, 901, 1, 901},
                      RecorderCase{1, 902, 1, 902}, RecorderCase{3, 0, 1, 0},
                      RecorderCase{10, 7, 1, 5}, RecorderCase{13, 7, 1, 5},
                      RecorderCase{14, 7, 7, 5}, RecorderCase{16, 0xFFFFFFFF, -1, 5},
                      RecorderCase{4, 7, 0, 5}, RecorderCase{9, 7, 0, 5}, RecorderCase{18, 7, 0, 5},
                      RecorderCase{0xFFFFFFFF, 7, 0, 5}),
    [](const auto& testInfo) { return "code" + std::to_string(testInfo.param.code); });

TEST_F(DispatcherTest, ARecorderThatLinksIsAcknowledgedAndOneThatLeavesHearsNothingMore) {
    recorderSays(0, 900);
    EXPECT_EQ(sender.sent, (std::vector<Sent>{{900, Message::BromControl, 1, 77}}));
    recorderSays(3, 0);
    sender.sent.clear();
    peers.squelchChanged(true);
    peers.squelchChanged(false);
    EXPECT_TRUE(sender.sent.empty());
    recorderSays(1, 900);
    peers.squelchChanged(true);
    peers.squelchChanged(false);
    EXPECT_EQ(sender.sent, (std::vector<Sent>{{900, Message::BromControl, 18, 77},
                                              {900, Message::BromControl, 19, 77}}));
}

TEST_F(DispatcherTest, Code17WritesTheRecordAndMarksItPending) {
    memory.create("MemBromControl");
    target.record.frequency = 88'000'000;
    EXPECT_EQ(recorderSays(17, 42), 42);
    EXPECT_TRUE(peers.recordPending);
    EXPECT_EQ(getU32(memory.objects["MemBromControl"], 4), 88'000'000u);
    EXPECT_TRUE(sender.sent.empty());
}

TEST_F(DispatcherTest, MessagesThisWindowDoesNotHandleAnswerZero) {
    EXPECT_EQ(dispatcher.handle(Message::KovoStatus, 100, 1), 0);
    EXPECT_EQ(dispatcher.handle(Message::BromControl, 0, 1), 0);
    EXPECT_EQ(dispatcher.handle(Message::KovoConfig, 1, 3), kDone);
}

TEST_F(DispatcherTest, AnnouncementsGoOutInOrderAndBroadcastWithoutPeers) {
    peers.announceProgram();
    peers.announceViewReady();
    peers.announceClosing();
    EXPECT_EQ(sender.sent, (std::vector<Sent>{{kNoWindow, Message::KovoStatus, 255, 77},
                                              {kNoWindow, Message::KovoAnswer, 253, 77},
                                              {kNoWindow, Message::BromControl, 0, 77},
                                              {kNoWindow, Message::KovoAnswer, 201, 77},
                                              {kNoWindow, Message::KovoStatus, 254, 0},
                                              {kNoWindow, Message::BromControl, 3, 0}}));
}

TEST_F(DispatcherTest, ScanMovingOnEndsARecordOnce) {
    linkRecorder();
    peers.recordOver();
    EXPECT_TRUE(sender.sent.empty());
    peers.recordPending = true;
    peers.recordOver();
    peers.recordOver();
    EXPECT_EQ(sender.sent, (std::vector<Sent>{{900, Message::BromControl, 11, 77}}));
}

TEST_F(DispatcherTest, EveryHitIsHandedOnceEvenAfterItsLogEntryHandedTheSameRecord) {
    linkRecorder();
    memory.create("MemBromControl");
    const Sent recordWritten{900, Message::BromControl, 10, 77};
    peers.handToRecorder(145'000'000, 1000, "a"); // the stop's log entry
    peers.handHitToRecorder(145'000'000, 1000, "a");
    EXPECT_EQ(sender.sent, (std::vector<Sent>{recordWritten}));
    peers.recordOver();
    // The same frequency again, a later transmission: a record of its own.
    peers.handHitToRecorder(145'000'000, 1000, "a");
    peers.handHitToRecorder(145'000'000, 1030, "a");
    EXPECT_EQ(
        sender.sent,
        (std::vector<Sent>{
            recordWritten, {900, Message::BromControl, 11, 77}, recordWritten, recordWritten}));
    EXPECT_EQ(getU32(memory.objects["MemBromControl"], 8), 1030u);
}

TEST_F(DispatcherTest, PlaybackWithoutAudioIsANegativeAnswer) {
    linkRecorder();
    memory.create("MemBromControl");
    std::vector<bool> hadAudio;
    const auto answered = [&hadAudio](bool hasAudio) { hadAudio.push_back(hasAudio); };
    sender.answers[900] = -1;
    peers.startPlayback(145'000'000, 1000, " ", answered);
    EXPECT_EQ(hadAudio, std::vector<bool>{false});
    EXPECT_EQ(sender.sent.back(), (Sent{900, Message::BromControl, 12, 77}));
    EXPECT_EQ(getU32(memory.objects["MemBromControl"], 8), 1000u);
    sender.answers[900] = 1;
    peers.startPlayback(145'000'000, 1000, " ", answered);
    EXPECT_EQ(hadAudio, (std::vector<bool>{false, true}));
    peers.stopPlayback();
    EXPECT_EQ(sender.sent.back(), (Sent{900, Message::BromControl, 13, 77}));
}

} // namespace
} // namespace kovo::ipc::test
