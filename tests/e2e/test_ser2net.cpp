#include <gmock/gmock.h>

#include "E2eFixture.h"
#include "fakes/Ser2net.h"
#include "net/TcpTransport.h"

namespace kovo::test {
namespace {

constexpr const char* kDeviceLostMessage =
    "受信機との接続が切れました。接続が戻ると自動的に再開します。";

// A dozen channels 25 kHz apart from 145.000 MHz in bank 1; the eighth carries
// a signal at level 10.
constexpr int kChannels = 12;
constexpr std::uint32_t kFirstHz = 145000000;
constexpr std::uint32_t kSpacingHz = 25000;
constexpr std::uint32_t kActiveHz = kFirstHz + 7 * kSpacingHz;
constexpr int kActiveLevel = 10;

// The receiver simulator's pseudo-terminal served by the real ser2net, and the
// program's port opening the server: raw TCP or Telnet COM-port control.
class Ser2netTest : public E2eTest, public ::testing::WithParamInterface<Ser2net::Mode> {
protected:
    void SetUp() override {
        if (!Ser2net::installed())
            GTEST_SKIP() << "ser2net is not installed (build.sh installs it)";
    }

    void startThroughSer2net(const std::string& plan = "") {
        startSimulator({}, plan);
        ASSERT_TRUE(sim_);
        server_ = std::make_unique<Ser2net>(dir_.path(), sim_->slavePath(), GetParam());
        ASSERT_TRUE(server_->start()) << "ser2net did not start";
        rig_ = std::make_unique<QtReceiverRig>(server_->address(), false);
    }

    void TearDown() override {
        rig_.reset();
        server_.reset();
        E2eTest::TearDown();
    }

    std::unique_ptr<Ser2net> server_;
};

TEST_P(Ser2netTest, ProbeFindsTheReceiverAndMemoryScanStopsOnTheActiveChannel) {
    startThroughSer2net("145.175000 NFM 10\n");
    CKovo5Doc& doc = rig_->doc;
    rig_->addScanChannels(kFirstHz, kSpacingHz, kChannels, 1);
    doc.controlParams.direction = 1;
    doc.controlParams.pause = 0;
    doc.parameters().toggleSwitch(SwitchKind::Logging); // logging on
    connectReceiver();
    if (GetParam() == Ser2net::Mode::Rfc2217) {
        // The far port was set to the receiver's line by the program.
        auto* tcp = qobject_cast<TcpTransport*>(rig_->port.transport());
        ASSERT_NE(tcp, nullptr);
        ASSERT_TRUE(waitFor([&] { return tcp->farLine().control != 0; }, kLongWaitMs));
        EXPECT_EQ(tcp->farLine().bitsPerSecond, 9600u);
        EXPECT_EQ(tcp->farLine().dataBits, 8);
        EXPECT_EQ(tcp->farLine().parity, 1);   // none
        EXPECT_EQ(tcp->farLine().stopBits, 2); // two
        EXPECT_EQ(tcp->farLine().control, 3);  // RTS/CTS
    }
    rig_->core.setOperatingMode(0);
    ASSERT_TRUE(
        waitFor([&] { return doc.logCount >= 1 && rig_->core.engine().mainContext().hold == 1; },
                kLongWaitMs))
        << "the scan never stopped";
    EXPECT_EQ(doc.mainRecord.frequency, kActiveHz);
    EXPECT_EQ(tunedHz(), kActiveHz);
    EXPECT_EQ(doc.logEntry(0).maxSignal, kActiveLevel);
    EXPECT_THAT(linesOf("RX"), ::testing::Not(::testing::Contains(
                                   ::testing::HasSubstr(std::string(1, char(0xFF))))))
        << "Telnet commands reached the receiver";
    EXPECT_TRUE(rig_->notifier.messages.empty());
}

TEST_P(Ser2netTest, AKilledAndRestartedServerIsALostDeviceThatComesBack) {
    startThroughSer2net();
    connectReceiver();
    ASSERT_TRUE(waitFor([&] { return sim_->status().answers >= 12; }, kLongWaitMs));

    const quint16 port = server_->port();
    server_->stop();
    ASSERT_TRUE(waitFor([&] { return !rig_->notifier.messages.empty(); }, kLongWaitMs));
    EXPECT_EQ(rig_->core.link().status(), LinkStatus::Lost);
    runEventLoopFor(4000); // a reconnect attempt finds nobody, quietly

    ASSERT_TRUE(server_->start(port));
    const long answers = sim_->status().answers;
    ASSERT_TRUE(waitFor([&] { return sim_->status().answers >= answers + 12; }, kLongWaitMs))
        << "polling did not resume";
    EXPECT_EQ(rig_->core.link().status(), LinkStatus::Polling);
    EXPECT_EQ(tunedHz(), 145000000u) << "the tuning was sent again";
    EXPECT_THAT(rig_->notifier.messages, ::testing::ElementsAre(kDeviceLostMessage));
}

TEST_P(Ser2netTest, AHostThatDoesNotAnswerCostsTheWindowNothing) {
    startSimulator({});
    // Nothing listens on this port: the probe fails with the reason, and no
    // call into the port waits for the network.
    server_ = std::make_unique<Ser2net>(dir_.path(), sim_->slavePath(), GetParam());
    rig_ = std::make_unique<QtReceiverRig>(server_->address(), false);
    const auto before = std::chrono::steady_clock::now();
    rig_->open();
    const auto blocked = std::chrono::steady_clock::now() - before;
    EXPECT_LT(blocked, std::chrono::milliseconds(100));
    ASSERT_TRUE(waitFor([&] { return rig_->probeResult.has_value(); }, kLongWaitMs));
    EXPECT_FALSE(*rig_->probeResult);
    ASSERT_EQ(rig_->notifier.messages.size(), 1u);
    EXPECT_THAT(rig_->notifier.messages[0], ::testing::HasSubstr("127.0.0.1"));
}

INSTANTIATE_TEST_SUITE_P(Modes, Ser2netTest,
                         ::testing::Values(Ser2net::Mode::Raw, Ser2net::Mode::Rfc2217),
                         [](const auto& testInfo) {
                             return testInfo.param == Ser2net::Mode::Raw ? "Tcp" : "Rfc2217";
                         });

} // namespace
} // namespace kovo::test
