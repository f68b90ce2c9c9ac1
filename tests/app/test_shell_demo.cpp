#include "app/AppSettingsLoader.h"
#include "app/DemoReceiver.h"
#include "app/Program.h"
#include "app/QSettingsStore.h"
#include "data/CKovo5Doc.h"
#include "data/Clock.h"
#include "data/DocumentRules.h"
#include "data/ValueTables.h"
#include "scan/ReceiverCore.h"
#include "test_shell_fakes.h"

#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace kovo {
namespace {

TEST(DemoDocument, HoldsADozenChannelsOfTheSimulatorInTwoLinkedBanks) {
    AppSettings settings;
    ManualClock clock(1'000'000'000);
    CKovo5Doc doc(settings, clock);
    DemoReceiver::fillDocument(doc);

    ASSERT_EQ(doc.channelCount, 12);
    EXPECT_EQ(doc.channels[0]->frequency, 118100000u);
    EXPECT_EQ(doc.channels[11]->frequency, 145787500u);
    for (int i = 0; i < doc.channelCount; ++i) {
        const CFrequencyData& ch = *doc.channels[std::size_t(i)];
        EXPECT_TRUE(isReachableChannel(doc, doc.banks().linkMask(), ch)) << ch.frequency;
        EXPECT_EQ(ch.mode, ch.frequency < 140000000 ? 2 : 0) << "AM air band, NFM 2 m";
    }
    EXPECT_EQ(countReachableChannels(doc), 12);
    EXPECT_EQ(doc.controlParams.operatingMode, 0) << "memory scan";
    EXPECT_FALSE(doc.isModified()) << "nothing to save until the user changes something";
}

TEST(DemoDocument, StopLineNamesFrequencyModeLevelAndComment) {
    EXPECT_EQ(DemoReceiver::describe({145600000, 0, 15, "2m amateur 145.600"}),
              "stop  145.600000 MHz  NFM  level 15  2m amateur 145.600");
}

// The whole program against the simulator: real serial port on the pty, real
// timers, the demo document in memory scan. It must stop on a channel.
TEST(DemoMode, ScansTheSimulatorAndStopsOnAChannel) {
    QTemporaryDir dir;
    QSettingsStore store(dir.filePath("KOVO3000.ini"));
    AppSettings settings = loadAppSettings(store);
    SystemClock clock;
    CKovo5Doc doc(settings, clock);

    DemoReceiver receiver(settings);
    std::string error;
    ASSERT_TRUE(receiver.start(&error)) << error;

    ShellOptions options;
    options.showSplash = false;
    options.dataDirectory = dir.filePath("data");
    options.portOverride = receiver.devicePath();
    options.replaceLastDocument = &DemoReceiver::fillDocument;
    test::ScriptedNotifier notifier;
    test::ScriptedDialogs dialogs;
    ProgramSeams seams;
    seams.notifier = &notifier;
    seams.dialogs = &dialogs;
    Program program(settings, store, doc, clock, options, std::move(seams));
    std::vector<ScanStop> stops;
    const Subscription onStop =
        program.core().scanStops().subscribe([&](const ScanStop& stop) { stops.push_back(stop); });
    ASSERT_TRUE(program.start());
    program.openLastDocument();

    ASSERT_TRUE(QTest::qWaitFor([&] { return !stops.empty(); }, 30000))
        << "no stop; messages: " << (notifier.messages.empty() ? "" : notifier.messages[0]);
    EXPECT_TRUE(notifier.messages.empty()) << notifier.messages[0];
    const ScanStop& stop = stops.front();
    EXPECT_GE(doc.channelTable().findChannel(stop.frequency), 0) << "a stored demo channel";
    EXPECT_GT(stop.level, 0);
    EXPECT_FALSE(stop.comment.empty());
    EXPECT_FALSE(store.readString("Hardware Setting", "Com1Device").has_value())
        << "the simulator's terminal is never stored";
}

} // namespace
} // namespace kovo
