#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDBusConnection>
#include <QElapsedTimer>
#include <QThread>

#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <atomic>
#include <memory>

#include "ipc/Blocks.h"
#include "ipc/SharedMemory.h"
#include "ipc/WindowBus.h"

namespace kovo::ipc::test {
namespace {

// A window of another program: its own bus connection, answering on its
// own thread, with a handler that may take its time.
class PeerWindow {
public:
    explicit PeerWindow(const QString& name, std::int32_t answer = 1, int delayMs = 0,
                        QString title = QStringLiteral("peer"))
        : connection_(QDBusConnection::connectToBus(QDBusConnection::SessionBus, name)) {
        bus_ = std::make_unique<WindowBus>(
            connection_, QList<Message>{Message::KovoStatus, Message::BromControl},
            [this, answer, delayMs](Message, std::uint32_t code, std::uint32_t value) {
                if (delayMs)
                    QThread::msleep(delayMs);
                lastCode = code;
                lastValue = value;
                ++calls;
                return answer;
            },
            [title] { return title; });
        EXPECT_TRUE(bus_->open());
        bus_->moveToThread(&thread_);
        thread_.start();
    }
    ~PeerWindow() {
        thread_.quit();
        thread_.wait();
        bus_.reset();
        QDBusConnection::disconnectFromBus(connection_.name());
    }
    WindowHandle handle() const { return bus_->ownWindow(); }
    std::atomic<std::uint32_t> lastCode{0}, lastValue{0};
    std::atomic<int> calls{0};

private:
    QDBusConnection connection_;
    QThread thread_;
    std::unique_ptr<WindowBus> bus_;
};

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
