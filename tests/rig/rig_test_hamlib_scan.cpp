#include <gmock/gmock.h>

#include <QCoreApplication>

#include <QProcess>
#include <QTcpServer>
#include <QTcpSocket>
#include <clocale>
#include <set>

#include "RigctlFace.h"
#include "fakes/QtReceiverRig.h"

namespace kovo::test {
namespace {

constexpr std::uint32_t kFirstHz = 145000000;
constexpr std::uint32_t kSpacingHz = 25000;
constexpr int kChannels = 12;
constexpr int kBank = 1;
constexpr int kLongWaitMs = 20000;

// The receiver core on the real port, driving a radio through Hamlib.
class HamlibScanTest : public testing::Test {
protected:
    void makeRig(int model, const std::string& port) {
        rig_ = std::make_unique<QtReceiverRig>(std::string(), false);
        rig_->settings.useHamlib = 1;
        rig_->settings.hamlibModel = model;
        rig_->settings.hamlibPort = port;
        rig_->settings.hamlibSettle = 0;
        rig_->core.createControl();
    }

    // A free port number on the loopback interface.
    static quint16 freePort() {
        QTcpServer probe;
        probe.listen(QHostAddress::LocalHost);
        return probe.serverPort();
    }

    // rigctld with Hamlib's dummy rig on `port`; false when it is not installed.
    static bool startRigctld(QProcess& rigctld, quint16 port) {
        rigctld.start("rigctld", {"-m", "1", "-T", "127.0.0.1", "-t", QString::number(port)});
        return rigctld.waitForStarted(5000);
    }

    // Opens the radio and starts a logged memory scan of a bank of channels.
    void startMemoryScan() {
        ASSERT_EQ(rig_->openAndWait(), std::optional<bool>(true));
        EXPECT_THAT(rig_->notifier.messages, testing::IsEmpty());
        CKovo5Doc& doc = rig_->doc;
        rig_->addScanChannels(kFirstHz, kSpacingHz, kChannels, kBank);
        doc.controlParams.direction = 1;
        doc.controlParams.delaySeconds = 1;
        doc.parameters().toggleSwitch(SwitchKind::Logging);
        rig_->core.setOperatingMode(0);
    }

    // Scans a bank of channels and waits for the first stop.
    void scanUntilAStop() {
        startMemoryScan();
        if (HasFatalFailure())
            return;
        CKovo5Doc& doc = rig_->doc;
        // The dummy rig's squelch opens on every other reading.
        ASSERT_TRUE(waitFor(
            [&] { return doc.logCount >= 1 && rig_->core.engine().mainContext().hold == 1; },
            kLongWaitMs));
        const std::uint32_t logged = doc.logEntry(0).frequency;
        EXPECT_GE(logged, kFirstHz);
        EXPECT_LT(logged, kFirstHz + kChannels * kSpacingHz);
        EXPECT_EQ(doc.mainRecord.frequency, logged);
    }

    std::unique_ptr<QtReceiverRig> rig_;
};

TEST_F(HamlibScanTest, MemoryScanThroughHamlibsDummyRigStopsOnAnOpenSquelchAndLogsIt) {
    makeRig(1, "");
    scanUntilAStop();
}

// Hamlib's own rigctld with its dummy rig, reached through Hamlib's network
// client, as a radio on another machine would be.
TEST_F(HamlibScanTest, MemoryScanThroughRigctldOverTheNetworkStopsAndLogs) {
    const quint16 port = freePort();
    QProcess rigctld;
    if (!startRigctld(rigctld, port))
        GTEST_SKIP() << "rigctld is not installed";
    ASSERT_TRUE(waitFor(
        [&] {
            QTcpSocket socket;
            socket.connectToHost(QHostAddress::LocalHost, port);
            return socket.waitForConnected(200);
        },
        10000));
    makeRig(2, "127.0.0.1:" + std::to_string(port));
    scanUntilAStop();
    rig_.reset();
    rigctld.terminate();
    rigctld.waitForFinished(5000);
}

// Hamlib's dummy rig behind rigctld reads a strength of about -30 dB over S9
// on every channel. With the squelch taken from the strength, a threshold
// above that lets the scan run on through the bank and one below it stops.
TEST_F(HamlibScanTest, WithTheStrengthAsSquelchRigctldsDummyRigScansOnOrStopsByTheThreshold) {
    const quint16 port = freePort();
    QProcess rigctld;
    if (!startRigctld(rigctld, port))
        GTEST_SKIP() << "rigctld is not installed";
    runEventLoopFor(300);
    for (const int thresholdDb : {20, -60}) {
        SCOPED_TRACE(thresholdDb);
        makeRig(2, "127.0.0.1:" + std::to_string(port));
        rig_->settings.hamlibUseDcd = 0;
        rig_->settings.hamlibThreshold = thresholdDb;
        startMemoryScan();
        if (HasFatalFailure())
            return;
        CKovo5Doc& doc = rig_->doc;
        std::set<std::uint32_t> visited;
        bool held = false;
        const bool stopped = waitFor(
            [&] {
                const std::uint32_t hz = doc.mainRecord.frequency;
                if (hz >= kFirstHz && hz < kFirstHz + kChannels * kSpacingHz)
                    visited.insert(hz);
                held = held || rig_->core.engine().mainContext().hold == 1;
                return held || visited.size() == std::size_t(kChannels);
            },
            kLongWaitMs);
        if (thresholdDb > 0) {
            EXPECT_EQ(visited.size(), std::size_t(kChannels)) << "every channel in turn";
            EXPECT_FALSE(held);
            EXPECT_EQ(doc.logCount, 0);
        } else {
            EXPECT_TRUE(stopped);
            EXPECT_EQ(rig_->core.engine().mainContext().hold, 1);
        }
        rig_.reset();
    }
    rigctld.terminate();
    rigctld.waitForFinished(5000);
}

// A radio that goes away mid-scan is the lost device of the serial path: one
// message, the NO RECEIVER state, quiet retries, and scanning again once it
// is back.
TEST_F(HamlibScanTest, ARadioThatStopsAnsweringIsLostAndScanningResumesWhenItReturns) {
    const quint16 port = freePort();
    const QStringList arguments{"-m", "1", "-T", "127.0.0.1", "-t", QString::number(port)};
    auto rigctld = std::make_unique<QProcess>();
    rigctld->start("rigctld", arguments);
    if (!rigctld->waitForStarted(5000))
        GTEST_SKIP() << "rigctld is not installed";
    runEventLoopFor(300);
    makeRig(2, "127.0.0.1:" + std::to_string(port));
    scanUntilAStop();
    if (HasFatalFailure())
        return;
    rigctld->kill();
    rigctld->waitForFinished(5000);
    ASSERT_TRUE(waitFor(
        [&] {
            return !rig_->observer.statuses.empty() &&
                   rig_->observer.statuses.back() == LinkStatus::Lost;
        },
        kLongWaitMs));
    EXPECT_EQ(rig_->notifier.messages.size(), 1u);
    const int logged = rig_->doc.logCount;

    rigctld = std::make_unique<QProcess>();
    rigctld->start("rigctld", arguments);
    ASSERT_TRUE(rigctld->waitForStarted(5000));
    ASSERT_TRUE(waitFor([&] { return rig_->observer.statuses.back() == LinkStatus::Polling; },
                        kLongWaitMs));
    EXPECT_EQ(rig_->notifier.messages.size(), 1u) << "the retries are quiet";
    EXPECT_GE(rig_->doc.logCount, logged);
    rig_.reset();
    rigctld->terminate();
    rigctld->waitForFinished(5000);
}

// The simulator's Hamlib face, reached through Hamlib's network client: one
// busy channel in the bank.
class SimulatorFaceScanTest : public HamlibScanTest {
protected:
    static constexpr std::uint32_t kActiveHz = kFirstHz + 7 * kSpacingHz;

    void SetUp() override {
        std::vector<std::string> problems;
        face_ = std::make_unique<sim::RigctlFace>(
            sim::SignalPlan::parse("145.175000 NFM 10\n", &problems));
        ASSERT_THAT(problems, testing::IsEmpty());
        std::string error;
        ASSERT_TRUE(face_->start(0, &error)) << error;
        makeRig(2, "127.0.0.1:" + std::to_string(face_->port()));
    }
    void TearDown() override {
        rig_.reset();
        face_.reset();
    }
    bool status(LinkStatus wanted) const {
        return !rig_->observer.statuses.empty() && rig_->observer.statuses.back() == wanted;
    }

    std::unique_ptr<sim::RigctlFace> face_;
};

TEST_F(SimulatorFaceScanTest, MemoryScanStopsOnTheBusyChannelAndLogsItsLevel) {
    scanUntilAStop();
    if (HasFatalFailure())
        return;
    EXPECT_EQ(rig_->doc.logEntry(0).frequency, kActiveHz);
    EXPECT_EQ(rig_->doc.logEntry(0).maxSignal, 10);
    EXPECT_EQ(face_->state().frequencyHz, kActiveHz);
    EXPECT_EQ(rig_->doc.logCount, 1);
}

TEST_F(SimulatorFaceScanTest, ASilentRadioShowsNoReceiverOnceAndScansAgainWhenBack) {
    scanUntilAStop();
    if (HasFatalFailure())
        return;
    face_->setMuted(true);
    ASSERT_TRUE(waitFor([&] { return status(LinkStatus::Lost); }, kLongWaitMs));
    ASSERT_EQ(rig_->notifier.messages.size(), 1u);
    const long before = face_->commands();
    face_->setMuted(false);
    ASSERT_TRUE(waitFor([&] { return status(LinkStatus::Polling); }, kLongWaitMs));
    EXPECT_TRUE(waitFor([&] { return face_->commands() > before + 10; }, kLongWaitMs));
    EXPECT_EQ(rig_->notifier.messages.size(), 1u) << "the retries are quiet";
}

TEST_F(HamlibScanTest, ARadioThatDoesNotOpenShowsHamlibsReasonAndNoReceiver) {
    QTcpServer closed; // a port number nothing listens on
    ASSERT_TRUE(closed.listen(QHostAddress::LocalHost));
    const std::string port = "127.0.0.1:" + std::to_string(closed.serverPort());
    closed.close();
    makeRig(2, port);
    ASSERT_EQ(rig_->openAndWait(), std::optional<bool>(false));
    ASSERT_EQ(rig_->notifier.messages.size(), 1u);
    EXPECT_THAT(rig_->notifier.messages[0], testing::HasSubstr("Hamlib cannot open the radio"));
    ASSERT_FALSE(rig_->observer.statuses.empty());
    EXPECT_EQ(rig_->observer.statuses.back(), LinkStatus::Closed);
    EXPECT_FALSE(rig_->doc.isModified());
}

TEST_F(HamlibScanTest, AModelHamlibDoesNotKnowFailsTheOpeningWithItsNumber) {
    makeRig(987654, "");
    ASSERT_EQ(rig_->openAndWait(), std::optional<bool>(false));
    ASSERT_EQ(rig_->notifier.messages.size(), 1u);
    EXPECT_THAT(rig_->notifier.messages[0], testing::HasSubstr("987654"));
}

} // namespace
} // namespace kovo::test

// Under the sanitizers: a radio that never answers again is left to its
// worker, so what libhamlib allocated for it is still held when the tests end.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libhamlib.so\n";
}

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    // As the program does: Hamlib keeps a pointer to the numeric locale's name
    // across a change of it, which frees the name unless it is "C" already.
    std::setlocale(LC_NUMERIC, "C");
    testing::InitGoogleMock(&argc, argv);
    return RUN_ALL_TESTS();
}
