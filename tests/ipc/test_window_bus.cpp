#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDBusConnection>
#include <QElapsedTimer>
#include <QThread>

#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <atomic>
#include <functional>
#include <memory>

#include "PeerWindow.h"
#include "data/AppSettings.h"
#include "data/CKovo5Doc.h"
#include "data/Clock.h"
#include "fakes/IpcFakes.h"
#include "ipc/Blocks.h"
#include "ipc/Codes.h"
#include "ipc/ExternalLink.h"
#include "ipc/ProgramWindow.h"
#include "ipc/SharedMemory.h"
#include "ipc/WindowBus.h"

namespace kovo::ipc::test {
namespace {

using namespace kovo::test;

class WindowBusTest : public ::testing::Test {
protected:
    WindowBusTest()
        : own_(
              QDBusConnection::sessionBus(), {Message::KovoControl},
              [](Message, std::uint32_t code, std::uint32_t) { return std::int32_t(code) + 1; },
              [] { return QStringLiteral("Frequency.kv5 - KOVO3000"); }) {}
    void SetUp() override {
        ASSERT_TRUE(QDBusConnection::sessionBus().isConnected()) << "run under dbus-run-session";
        ASSERT_TRUE(own_.open());
    }
    WindowBus own_;
};

TEST_F(WindowBusTest, AWindowOwnsItsHandleNameAndShowsTitleAndMessages) {
    PeerWindow peer(QStringLiteral("p1"));
    EXPECT_NE(own_.ownWindow(), kNoWindow);
    EXPECT_LE(own_.ownWindow(), kMaxWindowHandle);
    EXPECT_EQ(own_.otherWindows(), QList<WindowHandle>{peer.handle()})
        << "its own name is left out";
    EXPECT_EQ(own_.titleOf(peer.handle()), QStringLiteral("peer"));
    EXPECT_EQ(own_.handlesOf(peer.handle()), (QStringList{"KovoStatus", "BROMControl"}));
    EXPECT_EQ(WindowBus::handleOfService(WindowBus::serviceName(42)), 42u);
    for (const char* bad : {"org.fennelworks.Window.h0", "org.fennelworks.Window.h2147483648",
                            "org.fennelworks.Window.h012", "org.fennelworks.Window.hx"})
        EXPECT_FALSE(WindowBus::handleOfService(QString::fromLatin1(bad))) << bad;
}

TEST_F(WindowBusTest, SendReturnsTheHandlersResultAndZeroForWhatIsNotHandled) {
    PeerWindow peer(QStringLiteral("p1"), 7);
    EXPECT_EQ(own_.send(peer.handle(), Message::KovoStatus, 100, 145'000'000), 7);
    EXPECT_EQ(peer.lastValue, 145'000'000u);
    EXPECT_EQ(own_.send(peer.handle(), Message::KovoAnswer, 201, 1), 0);
    EXPECT_EQ(own_.send(12345, Message::KovoStatus, 1, 1), 0) << "nobody there";
    EXPECT_EQ(own_.send(own_.ownWindow(), Message::KovoControl, 4, 0), 5)
        << "itself, without the bus";
}

TEST_F(WindowBusTest, APeerThatDoesNotAnswerCostsOneTimeoutThenIsLeftOut) {
    own_.setReplyTimeout(300);
    PeerWindow quick1(QStringLiteral("q1")), quick2(QStringLiteral("q2"));
    PeerWindow hung(QStringLiteral("h"), 1, 1500);
    QElapsedTimer t;
    t.start();
    own_.broadcast(Message::KovoStatus, 254, 0);
    EXPECT_GE(t.elapsed(), 250);
    EXPECT_LT(t.elapsed(), 1400) << "never longer than the timeout per peer";
    EXPECT_EQ(quick1.calls + quick2.calls, 2);
    t.restart();
    own_.broadcast(Message::KovoStatus, 254, 0);
    EXPECT_LT(t.elapsed(), 250);
    EXPECT_EQ(quick1.calls + quick2.calls, 4);
}

// Runs the event loop until `done` holds or `ms` have passed.
bool processUntil(const std::function<bool()>& done, int ms = 5000) {
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < ms) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(1);
    }
    return done();
}

TEST_F(WindowBusTest, APeerThatLetACallTimeOutIsSentNothingForAWhile) {
    own_.setReplyTimeout(300);
    PeerWindow hung(QStringLiteral("h"), 1, 1500);
    EXPECT_EQ(own_.send(hung.handle(), Message::KovoStatus, 1, 0), 0);
    QElapsedTimer t;
    t.start();
    EXPECT_EQ(own_.send(hung.handle(), Message::KovoStatus, 2, 0), 0);
    EXPECT_LT(t.elapsed(), 250) << "a direct send leaves it out as a broadcast does";
    EXPECT_TRUE(own_.quiet(hung.handle()));
}

TEST_F(WindowBusTest, PostingNeverWaitsAndTheAnswerFollows) {
    own_.setReplyTimeout(300);
    PeerWindow slow(QStringLiteral("s"), 7, 200), hung(QStringLiteral("h"), 1, 1500);
    std::vector<std::pair<WindowHandle, std::int32_t>> answers;
    auto answerFrom = [&answers](WindowHandle w) {
        return [&answers, w](std::int32_t r) { answers.emplace_back(w, r); };
    };
    QElapsedTimer t;
    t.start();
    own_.post(slow.handle(), Message::KovoStatus, 100, 1, answerFrom(slow.handle()));
    own_.post(hung.handle(), Message::KovoStatus, 100, 1, answerFrom(hung.handle()));
    own_.post(own_.ownWindow(), Message::KovoControl, 4, 0, answerFrom(own_.ownWindow()));
    EXPECT_LT(t.elapsed(), 100);
    EXPECT_TRUE(answers.empty()) << "never inside the call that posts";
    ASSERT_TRUE(processUntil([&] { return answers.size() == 3; }));
    using Answers = std::vector<std::pair<WindowHandle, std::int32_t>>;
    EXPECT_EQ(answers, (Answers{{own_.ownWindow(), 5}, {slow.handle(), 7}, {hung.handle(), 0}}));
    // Silent now: the next post answers 0 without reaching it.
    own_.post(hung.handle(), Message::KovoStatus, 101, 1, answerFrom(hung.handle()));
    ASSERT_TRUE(processUntil([&] { return answers.size() == 4; }, 200));
    EXPECT_EQ(answers.back(), std::make_pair(hung.handle(), 0));
}

TEST_F(WindowBusTest, TitlesAreKnownWithoutAskingWhenTheyAreWanted) {
    PeerWindow before(QStringLiteral("b"), 1, 0, QStringLiteral("PERN5000"));
    WindowBus learner(
        QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("learner")), {},
        [](Message, std::uint32_t, std::uint32_t) { return 0; },
        [] { return QStringLiteral("learner"); });
    learner.setReplyTimeout(300); // this thread's other window cannot answer meanwhile
    ASSERT_TRUE(learner.open(true));
    EXPECT_EQ(learner.knownWindowTitled(QStringLiteral("PERN5000")), before.handle())
        << "a window that was there, at once";
    EXPECT_FALSE(own_.knownWindowTitled(QStringLiteral("PERN5000"))) << "only when asked for";

    auto later = std::make_unique<PeerWindow>(QStringLiteral("l"), 1, 0, QStringLiteral("later"));
    const WindowHandle handle = later->handle();
    EXPECT_TRUE(
        processUntil([&] { return learner.knownWindowTitled(QStringLiteral("later")) == handle; }));
    later.reset();
    EXPECT_TRUE(processUntil([&] { return !learner.knownWindowTitled(QStringLiteral("later")); }))
        << "gone with its window";
}

// The program's side of the bus, with its peers and commands.
class ExternalLinkTest : public ::testing::Test {
protected:
    ExternalLinkTest()
        : link_(
              QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("program")),
              [] { return QStringLiteral("Frequency.kv5 - KOVO3000"); },
              std::make_unique<FakeMemory>()) {}
    void SetUp() override {
        link_.attach(target_);
        ASSERT_TRUE(link_.open());
        link_.bus().setReplyTimeout(300);
    }
    FakeTarget target_;
    ExternalLink link_;
};

// What a second start of the program does: find the program's window among
// others that look alike, and have it brought to the front.
TEST_F(ExternalLinkTest, AnotherStartFindsTheProgramAndHasItsWindowBroughtToTheFront) {
    std::atomic<int> activated{0};
    link_.setActivation([&activated] { ++activated; });
    PeerWindow lookalike(QStringLiteral("l"), 1, 0, QStringLiteral("Frequency.kv5 - KOVO3000"));
    PeerWindow other(QStringLiteral("o"));
    QThread programThread; // the program answers while this thread waits
    link_.bus().moveToThread(&programThread);
    programThread.start();

    WindowBus second(QDBusConnection::sessionBus(), {}, {}, {});
    const auto found = findProgramWindow(second);
    const bool answered = found && activateProgram(QDBusConnection::sessionBus(), *found, 2000);
    const bool lookalikeAnswered =
        activateProgram(QDBusConnection::sessionBus(), lookalike.handle(), 2000);
    QThread* const testThread = QThread::currentThread();
    QMetaObject::invokeMethod(
        &link_.bus(), [this, testThread] { link_.bus().moveToThread(testThread); },
        Qt::BlockingQueuedConnection);
    programThread.quit();
    programThread.wait();

    EXPECT_EQ(found, link_.bus().ownWindow()) << "the window that takes KovoControl";
    EXPECT_TRUE(answered);
    EXPECT_EQ(activated, 1);
    EXPECT_FALSE(lookalikeAnswered) << "a window without the program's interface";
}

TEST_F(ExternalLinkTest, ARecorderThatDoesNotAnswerHoldsNoneOfTheNoticesToIt) {
    PeerWindow stopped(QStringLiteral("r"), 1, 1500);
    link_.peers().recorder = stopped.handle();
    QElapsedTimer t;
    t.start();
    for (int i = 0; i < 5; ++i) {
        link_.squelchChanged(true);
        link_.logEntryOpened(145'000'000, 1'700'000'000, "x");
        link_.squelchChanged(false);
        link_.scanMovedOn();
    }
    EXPECT_LT(t.elapsed(), 250) << "the scan never waits for the recorder";
    EXPECT_TRUE(link_.peers().recorderLinked()) << "silence alone does not end the link";
}

TEST_F(ExternalLinkTest, AClientThatCallsBackWhenGreetedIsServedAtOnce) {
    std::atomic<int> calledBack{-1};
    const WindowHandle program = link_.bus().ownWindow();
    PeerWindow client(QStringLiteral("c"), 1, 0, QStringLiteral("client"),
                      [&calledBack, program](WindowBus& bus, std::uint32_t code, std::uint32_t) {
                          if (code != 254)
                              return;
                          bus.setReplyTimeout(2000);
                          calledBack = bus.send(program, Message::KovoControl, 101, 0);
                      });
    // The client registers with 255 and is greeted with 254 at once.
    EXPECT_EQ(link_.bus().deliver(QStringLiteral("KovoControl"), 255, client.handle()), 2);
    ASSERT_TRUE(processUntil([&] { return calledBack != -1; }));
    EXPECT_EQ(calledBack, 2) << "its call was answered while the greeting was out";
    EXPECT_EQ(link_.peers().statusClient, client.handle());
}

// The recorder hears of log entries, hits and steps of the scan through the
// notices it follows.
TEST_F(ExternalLinkTest, TheRecorderFollowsTheLogTheHitsAndTheStepsOfTheScan) {
    AppSettings settings;
    ManualClock clock{1'700'000'000'000};
    CKovo5Doc doc{settings, clock};
    Notices<HitNotice> hits;
    Notices<ScanMovedOn> movesOn;
    PeerWindow recorder(QStringLiteral("r"));
    link_.peers().recorder = recorder.handle();
    link_.followRecorderNews(doc, hits, movesOn);
    const auto heard = [&](int calls, std::uint32_t code) {
        return processUntil([&] { return recorder.calls == calls; }) && recorder.lastCode == code;
    };

    doc.mainRecord.frequency = 145'000'000;
    doc.log().openLogEntry(doc.mainRecord, 5);
    EXPECT_TRUE(heard(1, recorder::kRecordWritten)) << "a log entry is handed over";
    HitNotice began;
    began.frequency = 145'000'000;
    began.time = 1'700'000'000;
    began.comment = doc.mainRecord.comment;
    hits.notify(began);
    movesOn.notify({});
    EXPECT_TRUE(heard(2, recorder::kScanMovedOn)) << "the hit of the same record is not again";
    EXPECT_FALSE(link_.peers().recordPending);
    began.frequency = 430'000'000;
    hits.notify(began);
    EXPECT_TRUE(heard(3, recorder::kRecordWritten)) << "a hit without a log entry is handed";
    HitNotice heardAgain;
    heardAgain.kind = HitNotice::Kind::Heard;
    hits.notify(heardAgain);
    movesOn.notify({});
    EXPECT_TRUE(heard(4, recorder::kScanMovedOn));
}

TEST_F(ExternalLinkTest, PeersThatLeaveTheBusAreForgotten) {
    auto recorder = std::make_unique<PeerWindow>(QStringLiteral("r"));
    auto answer = std::make_unique<PeerWindow>(QStringLiteral("a"));
    PeerWindow status(QStringLiteral("s"));
    link_.peers().recorder = recorder->handle();
    link_.peers().answerClient = answer->handle();
    link_.peers().statusClient = status.handle();
    link_.peers().recordPending = true;
    recorder.reset();
    answer.reset();
    EXPECT_TRUE(processUntil([&] {
        return link_.peers().recorder == kNoWindow && link_.peers().answerClient == kNoWindow;
    }));
    EXPECT_FALSE(link_.peers().recordPending);
    EXPECT_EQ(link_.peers().statusClient, status.handle()) << "still there";
}

TEST_F(WindowBusTest, AFindByTitleSeesOnlyOtherWindows) {
    EXPECT_FALSE(own_.findWindow(QStringLiteral("PERN5000")));
    PeerWindow pern(QStringLiteral("pern"), 1, 0, QStringLiteral("PERN5000"));
    EXPECT_EQ(own_.findWindow(QStringLiteral("PERN5000")), pern.handle());
    EXPECT_FALSE(own_.findWindow(QStringLiteral("Frequency.kv5 - KOVO3000")));
}

// ---- shared memory ----

class ShmObject {
public:
    ShmObject(const char* name, off_t size) : name_(std::string("/") + name) {
        const int fd = ::shm_open(name_.c_str(), O_RDWR | O_CREAT | O_TRUNC, 0600);
        EXPECT_GE(fd, 0);
        EXPECT_EQ(::ftruncate(fd, size), 0);
        ::close(fd);
    }
    ~ShmObject() { ::shm_unlink(name_.c_str()); }

private:
    std::string name_;
};

TEST(PosixSharedMemoryTest, MissingAndShortObjectsAreMissingAndNothingGoesPastTheEnd) {
    PosixSharedMemory memory;
    std::vector<std::uint8_t> bytes;
    EXPECT_FALSE(memory.read("KovoTestMissing", bytes));
    EXPECT_FALSE(memory.write("KovoTestMissing", {{0, {1}}}));
    {
        ShmObject small("KovoTestSmall", 2047);
        EXPECT_FALSE(memory.read("KovoTestSmall", bytes));
        EXPECT_FALSE(memory.write("KovoTestSmall", {{0, {1}}}));
    }
    ShmObject ok("KovoTestOk", 4096);
    EXPECT_TRUE(memory.write("KovoTestOk", {{2044, {1, 2, 3, 4}}}));
    EXPECT_FALSE(memory.write("KovoTestOk", {{2045, {1, 2, 3, 4}}})) << "past the 2,048 bytes";
    ASSERT_TRUE(memory.read("KovoTestOk", bytes));
    EXPECT_EQ(bytes.size(), kMappingSize);
    EXPECT_EQ(getU32(bytes, 2044), 0x04030201u);
    EXPECT_FALSE(memory.read("../etc/passwd", bytes));
}

} // namespace
} // namespace kovo::ipc::test

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
