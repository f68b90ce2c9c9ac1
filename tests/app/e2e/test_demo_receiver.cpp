// The program against real peers on wall-clock time: the demo's simulator on
// its pseudo-terminal and the simulator's Hamlib face behind Hamlib's
// network client. (The demo with settings that name a Hamlib radio is run as
// the whole program among the program tests.)
#include "../test_shell_fakes.h"
#include "app/AppSettingsLoader.h"
#include "app/AppSettingsWriter.h"
#include "app/DemoReceiver.h"
#include "app/HamlibTransport.h"
#include "app/MainWindow.h"
#include "app/Program.h"
#include "app/QSettingsStore.h"
#include "app/QtCommPort.h"
#include "data/CKovo5Doc.h"
#include "data/Clock.h"
#include "link/ReceiverDescription.h"
#include "scan/ReceiverCore.h"

#include "FaceRadio.h"

#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace kovo {
namespace {

constexpr std::uint32_t kFaceSignalHz = 145787500; // the last demo channel
constexpr int kFaceLevel = 10;
constexpr int kLongWaitMs = 30000;

// The program in demo mode, put together as the composition does.
class DemoReceiverTest : public testing::Test {
protected:
    void SetUp() override {
        store_ = std::make_unique<QSettingsStore>(dir_.filePath("KOVO3000.ini"));
        settings_ = loadAppSettings(*store_);
        doc_ = std::make_unique<CKovo5Doc>(settings_, clock_);
        demo_ = std::make_unique<DemoReceiver>(settings_);
        std::string error;
        ASSERT_TRUE(demo_->start(&error)) << error;

        ShellOptions options;
        options.showSplash = false;
        options.dataDirectory = dir_.filePath("data");
        options.portOverride = demo_->devicePath();
        options.portReceiver = &demo_->receiver();
        options.replaceLastDocument = &DemoReceiver::fillDocument;
        ProgramSeams seams;
        seams.notifier = &notifier_;
        seams.dialogs = &dialogs_;
        program_ =
            std::make_unique<Program>(settings_, *store_, *doc_, clock_, options, std::move(seams));
        onStop_ = program_->core().scanStops().subscribe(
            [this](const ScanStop& stop) { stops_.push_back(stop); });
        ASSERT_TRUE(program_->start());
        program_->openLastDocument();
    }
    void TearDown() override {
        onStop_ = {};
        program_.reset();
    }
    const ReceiverLink& link() { return program_->core().link(); }
    PortTransport* transport() {
        return static_cast<QtCommPort&>(program_->commPort()).transport();
    }

    QTemporaryDir dir_;
    std::unique_ptr<QSettingsStore> store_;
    AppSettings settings_;
    SystemClock clock_;
    std::unique_ptr<CKovo5Doc> doc_;
    std::unique_ptr<DemoReceiver> demo_;
    test::ScriptedNotifier notifier_;
    test::ScriptedDialogs dialogs_;
    std::unique_ptr<Program> program_;
    std::vector<ScanStop> stops_;
    Subscription onStop_;
};

// A Hamlib radio chosen while the demo runs takes the whole path: the link
// speaks to the radio through Hamlib, the features are the radio's, and the
// scan stops where the radio hears a signal, at the level it reports.
TEST_F(DemoReceiverTest, AReceiverKindChosenAtRunTimeTakesTheWholePathWithIt) {
    test::FaceRadio face(kFaceSignalHz, kFaceLevel);
    std::string error;
    const std::string address = face.start(&error);
    ASSERT_FALSE(address.empty()) << error;
    ASSERT_TRUE(QTest::qWaitFor([&] { return !stops_.empty(); }, kLongWaitMs));

    program_->settingsWriter().setHamlib(1, 2, address, 0);
    program_->window().applyPortSettings(true);
    stops_.clear();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !stops_.empty(); }, kLongWaitMs))
        << "no stop; messages: " << (notifier_.messages.empty() ? "" : notifier_.messages[0]);
    EXPECT_TRUE(link().receiver().reachedThroughHamlib);
    EXPECT_NE(dynamic_cast<HamlibTransport*>(transport()), nullptr);
    EXPECT_NE(link().features().whyMissing(ReceiverFeature::VoiceSquelch).find("Hamlib model 2"),
              std::string::npos);
    EXPECT_GT(face.commands(), 0);
    EXPECT_EQ(stops_.front().frequency, kFaceSignalHz);
    EXPECT_EQ(stops_.front().level, kFaceLevel);
    EXPECT_EQ(face.tunedHz(), kFaceSignalHz);
    program_.reset(); // the radio goes before the face
}

} // namespace
} // namespace kovo
