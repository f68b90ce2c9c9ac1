#include "app/QtCommPort.h"
#include "link/LineSetting.h"

#include <QTest>
#include <gtest/gtest.h>

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <vector>

namespace kovo {
namespace {

using Line = LineSetting;

TEST(LineSettingsTest, ParsesTheClassicFormat) {
    EXPECT_EQ(Line::parse("9600,N,8,2"), (Line{9600, Line::Parity::None, 8, Line::StopBits::Two}));
    EXPECT_EQ(Line::parse(" 19200 , e , 7 , 1.5 "),
              (Line{19200, Line::Parity::Even, 7, Line::StopBits::OneAndHalf}));
    EXPECT_EQ(Line::parse("4800,N,8,2", Line::FlowControl::RtsCts)->text(), "4800,N,8,2 RTS/CTS");
    for (const char* bad : {"", "9600", "9600,N,8", "9600,N,8,2,1", "x,N,8,2", "-1,N,8,2",
                            "9600,Q,8,2", "9600,NN,8,2", "9600,N,9,2", "9600,N,8,3", "9600,N,8,"}) {
        EXPECT_FALSE(Line::parse(bad)) << bad;
    }
}

// The master side of a pseudo-terminal pair; the port opens the slave path.
class PseudoTerminal {
public:
    PseudoTerminal() {
        master_ = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
        if (master_ >= 0 && grantpt(master_) == 0 && unlockpt(master_) == 0)
            slavePath_ = ptsname(master_);
    }
    ~PseudoTerminal() { closeMaster(); }
    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;

    bool ok() const { return !slavePath_.empty(); }
    const std::string& slavePath() const { return slavePath_; }
    int fd() const { return master_; }

    void write(const std::string& bytes) const {
        ASSERT_EQ(::write(master_, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    }
    // Writes as much as the line takes now; returns the count.
    size_t writeSome(const std::string& bytes) const {
        const ssize_t n = ::write(master_, bytes.data(), bytes.size());
        return n > 0 ? static_cast<size_t>(n) : 0;
    }
    std::string readAvailable() const {
        std::string out;
        char buf[256];
        ssize_t n;
        while ((n = ::read(master_, buf, sizeof buf)) > 0)
            out.append(buf, static_cast<size_t>(n));
        return out;
    }
    void closeMaster() {
        if (master_ >= 0)
            ::close(master_);
        master_ = -1;
    }

private:
    int master_ = -1;
    std::string slavePath_;
};

class QtCommPortTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(pty_.ok());
        port_.setPort(PortDescription::parse(pty_.slavePath()));
        port_.setLine(*Line::parse("9600,N,8,2", Line::FlowControl::RtsCts));
        port_.setEventHandler([this](int code) {
            events_.push_back(code);
            if (code == CommEventReceive && readOnEvent_)
                reads_.push_back(port_.input());
        });
    }

    void openPort() {
        port_.setPortOpen(true);
        ASSERT_TRUE(port_.portOpen()) << port_.lastError();
    }

    // Lets queued events through without waiting for anything new.
    static void drainEvents() {
        for (int i = 0; i < 5; ++i)
            QCoreApplication::processEvents();
    }

    int count(int code) const {
        return static_cast<int>(std::count(events_.begin(), events_.end(), code));
    }

    PseudoTerminal pty_;
    QtCommPort port_;
    std::vector<int> events_;
    std::vector<std::string> reads_;
    bool readOnEvent_ = true;
};

TEST_F(QtCommPortTest, OpensTheDescribedDeviceAndSaysWhyItCannot) {
    const struct {
        const char* description;
        const char* errorPart;
    } cannotOpen[] = {
        {"/dev/kovo-no-such-device", "/dev/kovo-no-such-device"},
        {"tcp://nohostport", "HOST:PORT"},
        {"", "no device"},
    };
    for (const auto& c : cannotOpen) {
        port_.setPort(PortDescription::parse(c.description));
        port_.setPortOpen(true);
        EXPECT_FALSE(port_.portOpen()) << c.description;
        EXPECT_NE(port_.lastError().find(c.errorPart), std::string::npos) << port_.lastError();
    }
    port_.setDevicePathOverride(pty_.slavePath());
    EXPECT_EQ(port_.description().path, pty_.slavePath()) << "the override wins";
    openPort();
    EXPECT_EQ(port_.lastError(), "");
}

TEST_F(QtCommPortTest, OpensWithEightDataBitsNoParityTwoStopBitsAndRtsCts) {
    openPort();
    termios tio{};
    ASSERT_EQ(tcgetattr(pty_.fd(), &tio), 0);
    EXPECT_EQ(cfgetospeed(&tio), B9600);
    EXPECT_EQ(tio.c_cflag & CSIZE, tcflag_t(CS8));
    EXPECT_FALSE(tio.c_cflag & PARENB);
    EXPECT_TRUE(tio.c_cflag & CSTOPB);
    EXPECT_TRUE(tio.c_cflag & CRTSCTS);

    port_.setLine(*Line::parse("4800,N,8,2"));
    ASSERT_EQ(tcgetattr(pty_.fd(), &tio), 0);
    EXPECT_FALSE(tio.c_cflag & CRTSCTS);
    EXPECT_EQ(cfgetospeed(&tio), B4800);
}

TEST_F(QtCommPortTest, ImpossibleLineRefusesToOpen) {
    Line nine;
    nine.dataBits = 9;
    port_.setLine(nine);
    port_.setPortOpen(true);
    EXPECT_FALSE(port_.portOpen());
    EXPECT_FALSE(port_.lastError().empty());
}

TEST_F(QtCommPortTest, ReceiveEventTakesEverythingAndALoneLastByteIsStillReported) {
    openPort();
    port_.setRThreshold(2);
    pty_.write(std::string("12\0>", 4));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !reads_.empty(); }, 5000));
    EXPECT_EQ(reads_.front(), std::string("12\0>", 4)) << "NUL bytes are passed on";
    EXPECT_EQ(port_.inBufferCount(), 0);
    EXPECT_EQ(port_.input(), "");

    // A prompt that arrives on its own must not wait for a byte that never
    // comes, or every command would stall until the reply timeout.
    reads_.clear();
    pty_.write(">");
    ASSERT_TRUE(QTest::qWaitFor([&] { return !reads_.empty(); }, 5000));
    EXPECT_EQ(reads_.front(), ">");
}

// With an event character the port may hold a reply back until it is whole;
// the line feed may come as a carriage return, and no byte may edit, swallow
// or hold back another (the terminal's editing characters included).
TEST_F(QtCommPortTest, AnEventCharacterHandsAReplyOnWhole) {
    const std::string editingBytes("x\x7f\x15\x04\x17\x16\x12\x03\0y", 10);
    const struct {
        const char* what;
        std::string farEndWrites;
        std::string heldUntil; // "" when nothing is held back
        std::string read;
    } steps[] = {
        {"a reply waits for its prompt", "%\r\n", ">", "%\r\r>"},
        {"XOFF comes at once", "\x13", "", "\x13"},
        {"editing characters are plain bytes", editingBytes, ">", editingBytes + ">"},
        {"a bare prompt", ">", "", ">"},
    };
    openPort();
    port_.setRThreshold(2);
    port_.setEventCharacter('>');
    for (const auto& step : steps) {
        reads_.clear();
        pty_.write(step.farEndWrites);
        if (!step.heldUntil.empty()) {
            QTest::qWait(100);
            EXPECT_TRUE(reads_.empty()) << step.what;
            pty_.write(step.heldUntil);
        }
        ASSERT_TRUE(QTest::qWaitFor([&] { return !reads_.empty(); }, 5000)) << step.what;
        drainEvents();
        std::string all;
        for (const std::string& r : reads_)
            all += r;
        EXPECT_EQ(all, step.read) << step.what;
    }

    // Kept across openings; switched off, it hands on what was held.
    port_.setPortOpen(false);
    openPort();
    reads_.clear();
    pty_.write("A\r\n");
    QTest::qWait(100);
    EXPECT_TRUE(reads_.empty()) << "held after reopening";
    port_.setEventCharacter('\0');
    ASSERT_TRUE(QTest::qWaitFor([&] { return !reads_.empty(); }, 5000));
    EXPECT_EQ(reads_.front(), "A\r\r");
    reads_.clear();
    pty_.write("B");
    ASSERT_TRUE(QTest::qWaitFor([&] { return !reads_.empty(); }, 5000));
    EXPECT_EQ(reads_.front(), "B");

    // A device that goes away while a reply is held is still noticed.
    port_.setEventCharacter('>');
    pty_.write("C");
    pty_.closeMaster();
    ASSERT_TRUE(QTest::qWaitFor([&] { return count(CommEventDeviceLost) == 1; }, 5000));
    EXPECT_FALSE(port_.portOpen());
}

TEST_F(QtCommPortTest, ThresholdZeroRaisesNoEventsButKeepsTheBytes) {
    openPort();
    pty_.write("abc");
    ASSERT_TRUE(QTest::qWaitFor([&] { return port_.inBufferCount() == 3; }, 5000));
    drainEvents();
    EXPECT_TRUE(events_.empty());

    // Raising the threshold over bytes already waiting still notifies.
    port_.setRThreshold(2);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !reads_.empty(); }, 5000));
    EXPECT_EQ(reads_.front(), "abc");
}

TEST_F(QtCommPortTest, InBufferCountZeroDiscardsReceivedBytes) {
    openPort();
    pty_.write("stale");
    ASSERT_TRUE(QTest::qWaitFor([&] { return port_.inBufferCount() == 5; }, 5000));
    port_.setInBufferCount(0);
    EXPECT_EQ(port_.input(), "");
    pty_.write("new");
    ASSERT_TRUE(QTest::qWaitFor([&] { return port_.inBufferCount() == 3; }, 5000));
    EXPECT_EQ(port_.input(), "new");
}

TEST_F(QtCommPortTest, OutputReachesTheLineOnlyWhileOpen) {
    port_.output("lost\r");
    openPort();
    port_.output(std::string("12.5\0\r", 6));
    std::string seen;
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            seen += pty_.readAvailable();
            return seen.size() >= 6;
        },
        5000));
    EXPECT_EQ(seen, std::string("12.5\0\r", 6));
    EXPECT_TRUE(events_.empty()) << "output raises no event of its own";
}

TEST_F(QtCommPortTest, AFloodIsBoundedByInBufferSizeAndReportedAsOverflow) {
    openPort();
    port_.setInBufferSize(1024);
    readOnEvent_ = false; // nobody reads: the buffer must not grow anyway
    port_.setRThreshold(2);
    const std::string block(4096, 'x');
    size_t sent = 0;
    int maxWaiting = 0;
    while (sent < 2 * 1024 * 1024) {
        sent += pty_.writeSome(block);
        QCoreApplication::processEvents();
        maxWaiting = std::max(maxWaiting, port_.inBufferCount());
    }
    drainEvents();
    EXPECT_LE(maxWaiting, 1024);
    EXPECT_GT(count(CommEventRxOverflow), 0);
    EXPECT_TRUE(port_.portOpen());
}

TEST_F(QtCommPortTest, VanishedDeviceClosesThePortAndIsReportedOnce) {
    openPort();
    port_.setRThreshold(2);
    pty_.closeMaster();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !events_.empty(); }, 5000));
    for (int i = 0; i < 20; ++i)
        drainEvents();
    EXPECT_EQ(events_, std::vector<int>{CommEventDeviceLost});
    EXPECT_FALSE(port_.portOpen());
    EXPECT_FALSE(port_.lastError().empty());
    port_.output("ignored\r");
}

TEST_F(QtCommPortTest, EventsQueuedBeforeCloseAreDropped) {
    openPort();
    port_.setRThreshold(1);
    pty_.write("ab");
    ASSERT_TRUE(QTest::qWaitFor([&] { return port_.inBufferCount() == 2; }, 5000));
    port_.setPortOpen(false);
    drainEvents();
    EXPECT_TRUE(events_.empty());
    EXPECT_EQ(port_.input(), "");
}

} // namespace
} // namespace kovo
