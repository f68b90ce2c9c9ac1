#include "app/AppSettingsLoader.h"
#include "app/AppSettingsWriter.h"
#include "app/QSettingsStore.h"
#include "app/RecentFileList.h"

#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace kovo {
namespace {

class SettingsTest : public ::testing::Test {
protected:
    QString iniPath() const { return dir_.filePath("KOVO3000.ini"); }

    // A fresh store on the same file, as at the next start of the program.
    std::unique_ptr<QSettingsStore> reopen() const {
        return std::make_unique<QSettingsStore>(iniPath());
    }

    AppSettings restart() const { return loadAppSettings(*reopen()); }

    void writeRaw(const QString& group, const QString& key, const QVariant& value) const {
        QSettings raw(iniPath(), QSettings::IniFormat);
        raw.beginGroup(group);
        raw.setValue(key, value);
    }

    QStringList rawKeys(const QString& group) const {
        QSettings raw(iniPath(), QSettings::IniFormat);
        raw.beginGroup(group);
        return raw.childKeys();
    }

    QTemporaryDir dir_;
};

TEST_F(SettingsTest, FirstStartWithEmptyStoreGivesDefaults) {
    const AppSettings s = restart();
    EXPECT_EQ(s.positionX, 40);
    EXPECT_EQ(s.positionY, 20);
    EXPECT_EQ(s.showTitle, 1);
    EXPECT_EQ(s.showControl1, 1);
    EXPECT_EQ(s.showControl2, 0);
    EXPECT_EQ(s.showDataBase, 0);
    EXPECT_EQ(s.topMost, 1);
    EXPECT_EQ(s.afGain, 2);
    EXPECT_EQ(s.afGainRange, 0);
    EXPECT_EQ(s.cwPitch, 4);
    EXPECT_EQ(s.nfmBandWidth, 1);
    EXPECT_EQ(s.wfmBandWidth, 1);
    EXPECT_EQ(s.amBandWidth, 0);
    EXPECT_EQ(s.portNum, 1);
    EXPECT_EQ(s.commSpeed, 0);
    EXPECT_EQ(s.device, 1);
    EXPECT_EQ(s.comDevice[0], "/dev/ttyS0");
    EXPECT_EQ(s.comDevice[3], "/dev/ttyS3");
    EXPECT_EQ(s.lastFile, "Frequency.kv5");
    EXPECT_FALSE(QFile::exists(iniPath())) << "loading must not write";
}

TEST_F(SettingsTest, PositionsAboveTheScreenLimitLoadAsDefaults) {
    writeRaw("Soft Setting", "PositionX", 1601);
    writeRaw("Soft Setting", "PositionY", 1300);
    EXPECT_EQ(restart().positionX, 40);
    EXPECT_EQ(restart().positionY, 1300);

    writeRaw("Soft Setting", "PositionX", 1600);
    writeRaw("Soft Setting", "PositionY", 1301);
    EXPECT_EQ(restart().positionX, 1600);
    EXPECT_EQ(restart().positionY, 20);

    writeRaw("Soft Setting", "PositionX", -300);
    writeRaw("Soft Setting", "PositionY", -5);
    EXPECT_EQ(restart().positionX, -300);
    EXPECT_EQ(restart().positionY, -5);
}

TEST_F(SettingsTest, UnreadableValuesTakeDefaults) {
    writeRaw("Soft Setting", "CwPitch", "loud");
    writeRaw("Soft Setting", "AFGain", "99999999999");
    writeRaw("Hardware Setting", "Com2Device", "");
    const AppSettings s = restart();
    EXPECT_EQ(s.cwPitch, 4);
    EXPECT_EQ(s.afGain, 2);
    EXPECT_EQ(s.comDevice[1], "/dev/ttyS1");
}

TEST_F(SettingsTest, EveryWriteIsOnDiskAtOnceAndReloads) {
    AppSettings settings = restart();
    auto store = reopen();
    AppSettingsWriter writer(settings, *store);

    writer.setBandWidths(2, 0, 1);
    EXPECT_EQ(settings.wfmBandWidth, 0);
    // Read back through a separate store while the writer's one is still open.
    AppSettings next = restart();
    EXPECT_EQ(next.nfmBandWidth, 2);
    EXPECT_EQ(next.wfmBandWidth, 0);
    EXPECT_EQ(next.amBandWidth, 1);

    writer.setPosition(1200, -10);
    writer.setShowTitle(0);
    writer.setShowControls(0, 1);
    writer.setShowDataBase(1);
    writer.setPort(2, 1);
    writer.setDevice(0);
    writer.setAfGain(7);
    writer.setCwPitch(6);
    writer.setTopMost(0);
    writer.setPowerControl(1);
    writer.setMbMultiSelect(1);
    writer.setComDevice(2, "/dev/ttyUSB0");
    writer.setComDevice(5, "/dev/never");

    next = restart();
    EXPECT_EQ(next.positionX, 1200);
    EXPECT_EQ(next.positionY, -10);
    EXPECT_EQ(next.showTitle, 0);
    EXPECT_EQ(next.showControl1, 0);
    EXPECT_EQ(next.showControl2, 1);
    EXPECT_EQ(next.showDataBase, 1);
    EXPECT_EQ(next.portNum, 2);
    EXPECT_EQ(next.commSpeed, 1);
    EXPECT_EQ(next.device, 0);
    EXPECT_EQ(next.afGain, 7);
    EXPECT_EQ(next.cwPitch, 6);
    EXPECT_EQ(next.topMost, 0);
    EXPECT_EQ(next.powerControl, 1);
    EXPECT_EQ(next.mbMultiSelect, 1);
    EXPECT_EQ(next.comDevice[1], "/dev/ttyUSB0");
    EXPECT_EQ(next.comDevice[2], "/dev/ttyS2");
}

// A settings file that cannot be written is told once, not at every write,
// and not at all while writes succeed.
TEST_F(SettingsTest, ASettingsFileThatCannotBeWrittenIsReportedOnce) {
    AppSettings settings;
    QSettingsStore fine(iniPath());
    AppSettingsWriter good(settings, fine);
    int reports = 0;
    good.setWriteFailureReporter([&reports] { ++reports; });
    good.setPosition(10, 20);
    good.setComDevice(1, "/dev/ttyUSB0");
    EXPECT_EQ(reports, 0);

    QFile blocker(dir_.filePath("not-a-folder"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    QSettingsStore broken(dir_.filePath("not-a-folder/KOVO3000.ini"));
    AppSettingsWriter writer(settings, broken);
    writer.setWriteFailureReporter([&reports] { ++reports; });
    writer.setPosition(30, 40);
    EXPECT_EQ(reports, 1);
    EXPECT_EQ(settings.positionX, 30) << "the setting holds for this run";
    writer.setAfGain(7);
    writer.setComDevice(2, "/dev/ttyACM0");
    EXPECT_EQ(reports, 1);
}

TEST_F(SettingsTest, OptionsAndToolWindowsAreZeroAfterEveryRestart) {
    AppSettings settings = restart();
    auto store = reopen();
    AppSettingsWriter writer(settings, *store);
    writer.setOptions({1, 1, 1, 1, 1, 1});
    writer.setDtmf(1);
    writer.setElm(1);
    EXPECT_EQ(ReceiverOptions::from(settings), (ReceiverOptions{1, 1, 1, 1, 1, 1}));
    EXPECT_EQ(store->readInt("Soft Setting", "OptFilter"), 1) << "written when changed";
    EXPECT_EQ(store->readInt("Soft Setting", "ELM"), 1);

    const AppSettings next = restart();
    EXPECT_EQ(ReceiverOptions::from(next), ReceiverOptions{});
    EXPECT_EQ(next.dtmf, 0);
    EXPECT_EQ(next.elm, 0);
}

TEST_F(SettingsTest, ValueNamesMatchWithoutRegardToCase) {
    writeRaw("Soft Setting", "AFGainRange", 1);
    writeRaw("soft setting", "cwpitch", 2);
    AppSettings settings = restart();
    EXPECT_EQ(settings.afGainRange, 1);

    // Writing under another spelling replaces the stored key instead of adding a twin.
    auto store = reopen();
    AppSettingsWriter writer(settings, *store);
    writer.setAfGainRange(0);
    EXPECT_EQ(rawKeys("Soft Setting").filter("gainrange", Qt::CaseInsensitive),
              QStringList{"AFGainRange"});
    EXPECT_EQ(restart().afGainRange, 0);
}

TEST_F(SettingsTest, AfGainRangeIsWrittenAsAfGainRangeAndReadBack) {
    AppSettings settings = restart();
    auto store = reopen();
    AppSettingsWriter(settings, *store).setAfGainRange(1);
    EXPECT_EQ(rawKeys("Soft Setting"), QStringList{"AfGainRange"});
    EXPECT_EQ(store->readInt("Soft Setting", "AFGainRange"), 1);
    EXPECT_EQ(restart().afGainRange, 1);
}

TEST_F(SettingsTest, WritingHealsTwinsLeftByHandEditing) {
    writeRaw("Soft Setting", "cwpitch", 1);
    writeRaw("Soft Setting", "CWPITCH", 2);
    writeRaw("Soft Setting", "CwPitch", 3);
    EXPECT_EQ(restart().cwPitch, 3) << "the exact spelling wins";
    AppSettings settings = restart();
    auto store = reopen();
    AppSettingsWriter(settings, *store).setCwPitch(5);
    EXPECT_EQ(rawKeys("Soft Setting"), QStringList{"CwPitch"});
    EXPECT_EQ(restart().cwPitch, 5);
}

TEST_F(SettingsTest, DefaultStoreLivesUnderTheUserConfigFolder) {
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, dir_.path());
    QSettingsStore store;
    EXPECT_EQ(store.fileName(), dir_.filePath("Fennelworks/KOVO3000.ini"));
    store.writeInt("Hardware Setting", "PortNum", 3);
    QSettings raw(dir_.filePath("Fennelworks/KOVO3000.ini"), QSettings::IniFormat);
    EXPECT_EQ(raw.value("Hardware Setting/PortNum").toInt(), 3);
}

TEST_F(SettingsTest, RecentFilesKeepFiveNewestFirstWithoutDuplicates) {
    AppSettings settings = restart();
    auto store = reopen();
    RecentFileList recent(settings, *store);
    recent.load();
    EXPECT_TRUE(recent.files().empty());
    for (const char* f : {"/a.kv5", "/b.kv5", "/c,d.kv5", "/e.kv5", "/f.kv5", "/g.kv5"})
        recent.add(f);
    recent.add("/c,d.kv5");
    const std::vector<std::string> expected{"/c,d.kv5", "/g.kv5", "/f.kv5", "/e.kv5", "/b.kv5"};
    EXPECT_EQ(recent.files(), expected);
    EXPECT_EQ(settings.lastFile, "/c,d.kv5");

    EXPECT_EQ(restart().lastFile, "/c,d.kv5");
    AppSettings again = restart();
    auto secondStore = reopen();
    RecentFileList reloaded(again, *secondStore);
    reloaded.load();
    EXPECT_EQ(reloaded.files(), expected);

    recent.remove("/g.kv5");
    recent.remove("/not-listed.kv5");
    auto thirdStore = reopen();
    RecentFileList afterRemove(again, *thirdStore);
    afterRemove.load();
    EXPECT_EQ(afterRemove.files(),
              (std::vector<std::string>{"/c,d.kv5", "/f.kv5", "/e.kv5", "/b.kv5"}));
    EXPECT_FALSE(reopen()->readString("Recent File List", "File5").has_value());
}

} // namespace
} // namespace kovo

namespace kovo {
namespace {

TEST_F(SettingsTest, TheHamlibRadioIsStoredUnderTheNamesScriptsWriteAndReloads) {
    AppSettings first = restart();
    EXPECT_EQ(first.useHamlib, 0);
    EXPECT_EQ(first.hamlibSpeed, 0);
    EXPECT_EQ(first.hamlibPort, "");

    writeRaw("Hardware Setting", "UseHamlib", 1);
    writeRaw("Hardware Setting", "HamlibModel", 2);
    writeRaw("Hardware Setting", "HamlibPort", "radio.local:4532");
    writeRaw("Hardware Setting", "HamlibSpeed", 38400);
    AppSettings scripted = restart();
    EXPECT_EQ(scripted.useHamlib, 1);
    EXPECT_EQ(scripted.hamlibModel, 2);
    EXPECT_EQ(scripted.hamlibPort, "radio.local:4532");
    EXPECT_EQ(scripted.hamlibSpeed, 38400);

    auto store = reopen();
    AppSettingsWriter writer(scripted, *store);
    writer.setHamlib(0, 1035, "/dev/ttyUSB0", 0);
    AppSettings next = restart();
    EXPECT_EQ(next.useHamlib, 0);
    EXPECT_EQ(next.hamlibModel, 1035);
    EXPECT_EQ(next.hamlibPort, "/dev/ttyUSB0");
    EXPECT_EQ(next.hamlibSpeed, 0);
}

} // namespace
} // namespace kovo
