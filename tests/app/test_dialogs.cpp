#include "app/AppSettingsLoader.h"
#include "app/AppSettingsWriter.h"
#include "app/QSettingsStore.h"
#include "app/RigctlService.h"
#include "app/dialogs/AfGainRangeDialog.h"
#include "app/dialogs/BandWidthDialog.h"
#include "app/dialogs/CheckBoxDialogs.h"
#include "app/dialogs/ComPortDialog.h"
#include "app/dialogs/ConfirmDialogs.h"
#include "app/dialogs/CwPitchDialog.h"
#include "app/dialogs/RigctlDialog.h"
#include "app/dialogs/StepDialog.h"
#include "fakes/FakeDatabaseHost.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

#include <optional>

namespace kovo {
namespace {

// The button of `dialog` with this exact caption.
QAbstractButton* button(QWidget& dialog, const QString& caption) {
    for (QAbstractButton* b : dialog.findChildren<QAbstractButton*>()) {
        if (b->text() == caption)
            return b;
    }
    ADD_FAILURE() << "no button " << caption.toStdString();
    return nullptr;
}

bool isChecked(QWidget& dialog, const QString& caption) {
    QAbstractButton* b = button(dialog, caption);
    return b && b->isChecked();
}

void click(QWidget& dialog, const QString& caption) {
    if (QAbstractButton* b = button(dialog, caption))
        b->click();
}

class DialogTest : public ::testing::Test {
protected:
    // The store seen at the next start: proves what was written.
    AppSettings reloaded() const {
        QSettingsStore fresh(dir_.filePath("KOVO3000.ini"));
        return loadAppSettings(fresh);
    }
    // Reads the options straight from the store, since they are not loaded at start.
    std::optional<int> stored(const char* name) const {
        QSettingsStore fresh(dir_.filePath("KOVO3000.ini"));
        return fresh.readInt("Soft Setting", name);
    }

    QTemporaryDir dir_;
    QSettingsStore store_{dir_.filePath("KOVO3000.ini")};
    AppSettings settings_;
    AppSettingsWriter writer_{settings_, store_};
};

TEST_F(DialogTest, DialogsUseTheProgramColoursAndCaptions) {
    CwPitchDialog dialog(writer_);
    EXPECT_EQ(dialog.windowTitle(), "  CW PITCH");
    EXPECT_EQ(dialog.palette().color(QPalette::Window), QColor(0, 64, 0));
    EXPECT_EQ(button(dialog, "400Hz")->palette().color(QPalette::WindowText), QColor(255, 255, 0));
    EXPECT_TRUE(static_cast<QPushButton*>(button(dialog, "OK"))->isDefault());
    EXPECT_EQ(dialog.minimumSize(), dialog.maximumSize()) << "fixed size";
}

TEST_F(DialogTest, ComPortStoresPortSpeedAndReceiverOnOkOnly) {
    writer_.setPort(1, 0);
    {
        ComPortDialog dialog(writer_, {});
        EXPECT_EQ(dialog.windowTitle(), " COM Port settings");
        EXPECT_TRUE(isChecked(dialog, "COM1"));
        EXPECT_TRUE(isChecked(dialog, "4800bps"));
        EXPECT_TRUE(isChecked(dialog, "AR3000A"));
        click(dialog, "COM2");
        click(dialog, "9600bps");
        click(dialog, "AR3000");
        dialog.reject();
    }
    EXPECT_EQ(settings_.portNum, 1);
    EXPECT_EQ(reloaded().device, 1);

    ComPortDialog dialog(writer_, {});
    click(dialog, "COM2");
    click(dialog, "9600bps");
    click(dialog, "AR3000");
    dialog.accept();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    const AppSettings next = reloaded();
    EXPECT_EQ(next.portNum, 2);
    EXPECT_EQ(next.commSpeed, 1);
    EXPECT_EQ(next.device, 0);
    EXPECT_EQ(settings_.portNum, 2);
}

TEST_F(DialogTest, ComPortWithSpeedFromTheStoreShowsNoSpeedAndKeepsIt) {
    writer_.setPort(3, 2);
    ComPortDialog dialog(writer_, {});
    EXPECT_FALSE(isChecked(dialog, "4800bps"));
    EXPECT_FALSE(isChecked(dialog, "9600bps"));
    EXPECT_TRUE(isChecked(dialog, "COM3"));
    dialog.accept();
    EXPECT_EQ(reloaded().commSpeed, 2) << "no selection keeps the old speed, never -1";
    EXPECT_EQ(reloaded().portNum, 3);
}

TEST_F(DialogTest, ComPortEditsTheDeviceOfEachPort) {
    writer_.setComDevice(1, "/dev/ttyUSB0");
    ComPortDialog dialog(writer_, {"/dev/ttyS0", "/dev/ttyACM0"});
    auto* device = dialog.findChild<QComboBox*>("comDevice");
    ASSERT_NE(device, nullptr);
    EXPECT_EQ(device->currentText(), "/dev/ttyUSB0");
    EXPECT_GE(device->findText("/dev/ttyACM0"), 0) << "devices found on the machine are offered";

    click(dialog, "COM2");
    EXPECT_EQ(device->currentText(), "/dev/ttyS1");
    device->setEditText("/dev/ttyACM0");
    click(dialog, "COM1");
    EXPECT_EQ(device->currentText(), "/dev/ttyUSB0");
    device->setEditText("  ");
    click(dialog, "COM2");
    EXPECT_EQ(device->currentText(), "/dev/ttyACM0") << "the edit for COM2 is kept while choosing";
    EXPECT_EQ(settings_.comDevice[1], "/dev/ttyS1") << "nothing stored before OK";

    dialog.accept();
    const AppSettings next = reloaded();
    EXPECT_EQ(next.portNum, 2);
    EXPECT_EQ(next.comDevice[0], "/dev/ttyUSB0") << "an emptied field keeps the old device";
    EXPECT_EQ(next.comDevice[1], "/dev/ttyACM0");
}

TEST_F(DialogTest, ComPortShowsAndKeepsANetworkDevice) {
    ComPortDialog dialog(writer_, {});
    auto* device = dialog.findChild<QComboBox*>("comDevice");
    ASSERT_NE(device, nullptr);
    device->setEditText("rfc2217://antenna-site:2001");
    dialog.accept();
    EXPECT_EQ(reloaded().comDevice[0], "rfc2217://antenna-site:2001");
}

TEST_F(DialogTest, HamlibServerIsOffOnLocalhostByDefaultAndStoredOnOk) {
    const RigctlSettings defaults = RigctlSettings::load(store_);
    EXPECT_EQ(defaults, (RigctlSettings{false, 4532, "127.0.0.1"}));
    std::optional<RigctlSettings> stored;
    RigctlDialog dialog(defaults, [&](const RigctlSettings& s) {
        s.store(store_);
        stored = s;
    });
    dialog.findChild<QCheckBox*>()->setChecked(true);
    dialog.findChild<QSpinBox*>("rigctlPort")->setValue(4600);
    dialog.findChild<QLineEdit*>("rigctlAddress")->setText("not an address");
    dialog.reject();
    EXPECT_FALSE(stored) << "nothing stored on Cancel";
    RigctlDialog again(defaults, [&](const RigctlSettings& s) {
        s.store(store_);
        stored = s;
    });
    again.findChild<QCheckBox*>()->setChecked(true);
    again.findChild<QSpinBox*>("rigctlPort")->setValue(4600);
    again.findChild<QLineEdit*>("rigctlAddress")->setText("not an address");
    again.accept();
    QSettingsStore fresh(dir_.filePath("KOVO3000.ini"));
    EXPECT_EQ(RigctlSettings::load(fresh), (RigctlSettings{true, 4600, "127.0.0.1"}))
        << "an address that is none keeps the old one";
    fresh.writeInt("Soft Setting", "RigctlPort", 70000);
    EXPECT_EQ(RigctlSettings::load(fresh).port, 4532) << "a damaged store falls back";
}

TEST_F(DialogTest, HamlibServerOkWithoutAChangeStoresNothing) {
    const RigctlSettings running{true, 4700, "0.0.0.0"};
    int stores = 0;
    RigctlDialog unchanged(running, [&](const RigctlSettings&) { ++stores; });
    unchanged.findChild<QLineEdit*>("rigctlAddress")->setText(" 0.0.0.0 ");
    unchanged.accept();
    EXPECT_EQ(stores, 0);
    RigctlDialog changed(running, [&](const RigctlSettings& s) {
        ++stores;
        EXPECT_FALSE(s.enabled);
    });
    changed.findChild<QCheckBox*>()->setChecked(false);
    changed.accept();
    EXPECT_EQ(stores, 1);
}

TEST_F(DialogTest, StepShowsAndStoresTheSubStep) {
    std::optional<int> storedStep;
    auto store = [&](int value) { storedStep = value; };

    StepDialog mainTimesTen(16, store);
    EXPECT_TRUE(isChecked(mainTimesTen, "Main X 10"));
    click(mainTimesTen, "50Hz");
    mainTimesTen.reject();
    EXPECT_FALSE(storedStep);

    StepDialog again(16, store);
    click(again, "50Hz");
    again.accept();
    EXPECT_EQ(storedStep, 1);

    StepDialog zero(0, store);
    EXPECT_TRUE(isChecked(zero, "50Hz"));
    zero.accept();
    EXPECT_EQ(storedStep, 1);

    storedStep.reset();
    StepDialog outOfRange(40, store);
    for (QAbstractButton* b : outOfRange.findChildren<QAbstractButton*>())
        EXPECT_FALSE(b->isChecked()) << b->text().toStdString();
    outOfRange.accept();
    EXPECT_FALSE(storedStep) << "no selection leaves the sub-step alone";

    StepDialog tenMHz(3, store);
    click(tenMHz, "10MHz");
    tenMHz.accept();
    EXPECT_EQ(storedStep, 15);
}

TEST_F(DialogTest, CwPitchStoresOnOkAndKeepsOldWithoutSelection) {
    CwPitchDialog cancelled(writer_);
    EXPECT_TRUE(isChecked(cancelled, "800Hz"));
    click(cancelled, "1100Hz");
    cancelled.reject();
    EXPECT_EQ(settings_.cwPitch, 4);

    CwPitchDialog dialog(writer_);
    click(dialog, "1100Hz");
    dialog.accept();
    EXPECT_EQ(reloaded().cwPitch, 7);

    writer_.setCwPitch(12);
    CwPitchDialog unselected(writer_);
    unselected.accept();
    EXPECT_EQ(reloaded().cwPitch, 12);
}

TEST_F(DialogTest, DefaultBandWidthKeepsItsThreeGroupsApart) {
    BandWidthDialog cancelled(writer_);
    click(cancelled, "30kHz");
    cancelled.reject();
    EXPECT_EQ(reloaded().nfmBandWidth, 1);

    writer_.setBandWidths(1, 1, 5);
    BandWidthDialog dialog(writer_);
    EXPECT_TRUE(isChecked(dialog, "220kHz"));
    click(dialog, "30kHz");
    click(dialog, "110kHz");
    EXPECT_TRUE(isChecked(dialog, "30kHz")) << "choosing WFM must not clear NFM";
    dialog.accept();
    const AppSettings next = reloaded();
    EXPECT_EQ(next.nfmBandWidth, 2);
    EXPECT_EQ(next.wfmBandWidth, 0);
    EXPECT_EQ(next.amBandWidth, 5) << "AM had no selection";
}

TEST_F(DialogTest, DisplayPreferenceAndPowerControlStoreTheirCheckBox) {
    DisplayPreferenceDialog cancelled(writer_);
    EXPECT_TRUE(isChecked(cancelled, "Autoscroll OFF "));
    click(cancelled, "Autoscroll OFF ");
    cancelled.reject();
    EXPECT_EQ(settings_.topMost, 1);

    DisplayPreferenceDialog display(writer_);
    click(display, "Autoscroll OFF ");
    display.accept();
    EXPECT_EQ(reloaded().topMost, 0);

    PowerControlDialog power(writer_);
    EXPECT_EQ(power.windowTitle(), " Power control");
    click(power, "Power control");
    power.accept();
    EXPECT_EQ(reloaded().powerControl, 1);
}

TEST_F(DialogTest, AfGainRangeStoresUnderItsWrittenName) {
    AfGainRangeDialog cancelled(writer_);
    click(cancelled, "Large");
    cancelled.reject();
    EXPECT_EQ(settings_.afGainRange, 0);

    AfGainRangeDialog dialog(writer_);
    EXPECT_TRUE(isChecked(dialog, "Small"));
    click(dialog, "Large");
    dialog.accept();
    EXPECT_EQ(reloaded().afGainRange, 1);
}

TEST_F(DialogTest, OptionsStoreAllSixOnOk) {
    OptionsDialog cancelled(writer_);
    click(cancelled, "AFC");
    cancelled.reject();
    EXPECT_FALSE(stored("OptAfc"));

    OptionsDialog dialog(writer_);
    click(dialog, "AM Sync. Det.");
    click(dialog, "500Hz Filter");
    dialog.accept();
    EXPECT_EQ(settings_.optSam, 1);
    EXPECT_EQ(settings_.optFilter, 1);
    EXPECT_EQ(stored("OptSam"), 1);
    EXPECT_EQ(stored("OptFilter"), 1);
    for (const char* name : {"OptNb", "OptAfc", "OptCtcss", "OptDecoder"})
        EXPECT_EQ(stored(name), 0) << name;

    OptionsDialog reopened(writer_);
    EXPECT_TRUE(isChecked(reopened, "AM Sync. Det."));
    EXPECT_FALSE(isChecked(reopened, "Noise Blanker "));
}

TEST_F(DialogTest, ConfirmationsCarryTheirTextsAndAnswer) {
    DeleteDataDialog deleting(DeleteDataDialog::deleteSelectedQuestion(12));
    EXPECT_EQ(deleting.windowTitle(), "  Delete DATA");
    auto* question = deleting.findChild<QLabel*>("question");
    ASSERT_NE(question, nullptr);
    EXPECT_EQ(question->text(), QStringLiteral("選択された 12 個のデータを削除します"));
    EXPECT_GE(question->width(), question->sizeHint().width()) << "the question is not cut off";
    click(deleting, "Cancel");
    EXPECT_EQ(deleting.result(), QDialog::Rejected);

    DeleteDataDialog clearing(DeleteDataDialog::clearLogQuestion());
    click(clearing, "OK");
    EXPECT_EQ(clearing.result(), QDialog::Accepted);

    OverwriteDialog overwrite;
    EXPECT_EQ(overwrite.windowTitle(), " Owerwrite");
    auto* text = overwrite.findChild<QLabel*>();
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text->text(), "This Frequensy is exist. Owerwrite ?");
    EXPECT_GE(text->width(), text->sizeHint().width());
    EXPECT_TRUE(static_cast<QPushButton*>(button(overwrite, "Owerwrite"))->isDefault());
    click(overwrite, "Owerwrite");
    EXPECT_EQ(overwrite.result(), QDialog::Accepted);
}

// The database panel's questions go to dialog 364; the recorder's part to
// the recorder link, which counts as not linked while there is none.
TEST_F(DialogTest, DeleteDataHostAsksWithDialog364AndForwardsTheRecorder) {
    DeleteDataHost host(nullptr);
    for (const char* answer : {"OK", "Cancel"}) {
        QString question;
        QTimer::singleShot(0, [&question, answer] {
            auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            if (!dialog)
                return;
            question = dialog->findChild<QLabel*>("question")->text();
            click(*dialog, answer);
        });
        EXPECT_EQ(host.confirmDeleteData("ログデータを消去します よろしいですか？"),
                  std::string(answer) == "OK");
        EXPECT_EQ(question, QStringLiteral("ログデータを消去します よろしいですか？"));
    }
    // Asking opens the same dialog without waiting in a loop of its own: the
    // answer arrives when the user closes it.
    for (const char* answer : {"OK", "Cancel"}) {
        std::vector<bool> answers;
        host.askDeleteData("選択された 1 個のデータを削除します",
                           [&](bool ok) { answers.push_back(ok); });
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr) << "the question is showing";
        EXPECT_TRUE(answers.empty()) << "no answer before the user gives one";
        click(*dialog, answer);
        EXPECT_EQ(answers, std::vector<bool>{std::string(answer) == "OK"});
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_EQ(QApplication::activeModalWidget(), nullptr) << "the dialog is gone";
    }
    EXPECT_FALSE(host.recorderLinked());
    EXPECT_TRUE(host.startPlayback(1, 2, " ")) << "no recorder: no \"no audio\" box";

    test::FakeDatabaseHost recorder;
    recorder.linked = true;
    recorder.hasAudio = false;
    host.setRecorder(&recorder);
    EXPECT_TRUE(host.recorderLinked());
    EXPECT_FALSE(host.startPlayback(7, 0, " "));
    host.stopPlayback();
    host.bankNamesChanged();
    EXPECT_EQ(recorder.stops + recorder.bankNotices, 2);
}

} // namespace
} // namespace kovo

#include <QEventLoop>
#include <QListView>
#include <QRegularExpression>

namespace kovo {
namespace {

// Runs the event loop until the Hamlib test result shows; the limit only
// keeps a broken test from hanging the run.
QString hamlibTestResult(ComPortDialog& dialog) {
    auto* status = dialog.findChild<QLabel*>("hamlibStatus");
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (status->text() != QStringLiteral("Testing…"))
            loop.quit();
    });
    QTimer::singleShot(30000, &loop, &QEventLoop::quit);
    poll.start(5);
    loop.exec();
    return status->text();
}

TEST_F(DialogTest, ComPortChoosesAHamlibRadioFoundByMakerOrName) {
    writer_.setDevice(0);
    ComPortDialog dialog(writer_, {});
    auto* search = dialog.findChild<QLineEdit*>("hamlibSearch");
    auto* models = dialog.findChild<QListView*>("hamlibModels");
    ASSERT_TRUE(search && models);
    const int everyModel = models->model()->rowCount();
    EXPECT_GT(everyModel, 100);
    search->setText("aor ar8600");
    ASSERT_EQ(models->model()->rowCount(), 1);
    models->setCurrentIndex(models->model()->index(0, 0));
    dialog.findChild<QLineEdit*>("hamlibPort")->setText(" /dev/ttyUSB1 ");
    dialog.findChild<QSpinBox*>("hamlibSpeed")->setValue(9600);
    click(dialog, "Hamlib");
    dialog.accept();

    const AppSettings next = reloaded();
    EXPECT_EQ(next.useHamlib, 1);
    EXPECT_EQ(next.hamlibModel, 5013);
    EXPECT_EQ(next.hamlibPort, "/dev/ttyUSB1");
    EXPECT_EQ(next.hamlibSpeed, 9600);
    EXPECT_EQ(next.device, 0) << "the AR model is kept for when Hamlib is off";

    ComPortDialog again(writer_, {});
    EXPECT_TRUE(isChecked(again, "Hamlib"));
    click(again, "AR3000A");
    again.accept();
    EXPECT_EQ(reloaded().useHamlib, 0);
    EXPECT_EQ(reloaded().device, 1);
    EXPECT_EQ(reloaded().hamlibModel, 5013);
}

TEST_F(DialogTest, ComPortTestsTheHamlibConnectionWithoutBlocking) {
    writer_.setHamlib(1, 1, "", 0);
    ComPortDialog dialog(writer_, {});
    click(dialog, "Test");
    // Both readings, as Hamlib's dummy rig gives them.
    const QString result = hamlibTestResult(dialog);
    EXPECT_TRUE(
        QRegularExpression(QStringLiteral("^The radio answers\\. Squelch \\(DCD\\): "
                                          "(open|closed)\\. Strength: -?\\d+ dB over S9\\.$"))
            .match(result)
            .hasMatch())
        << result.toStdString();

    dialog.findChild<QLineEdit*>("hamlibSearch")->setText("NET rigctl");
    auto* models = dialog.findChild<QListView*>("hamlibModels");
    ASSERT_GE(models->model()->rowCount(), 1);
    models->setCurrentIndex(models->model()->index(0, 0));
    dialog.findChild<QLineEdit*>("hamlibPort")->setText("127.0.0.1:1");
    click(dialog, "Test");
    EXPECT_TRUE(hamlibTestResult(dialog).startsWith("Hamlib cannot open the radio"));
}

// The squelch of a Hamlib radio opens on its own report (DCD) or on its
// strength against a threshold: chosen here, stored on OK and shown again.
TEST_F(DialogTest, ComPortChoosesWhatOpensTheSquelchOfAHamlibRadio) {
    writer_.setHamlib(1, 1, "", 0);
    ComPortDialog dialog(writer_, {});
    auto* squelch = dialog.findChild<QComboBox*>("hamlibSquelch");
    auto* threshold = dialog.findChild<QSpinBox*>("hamlibThreshold");
    ASSERT_TRUE(squelch && threshold);
    EXPECT_FALSE(squelch->accessibleName().isEmpty());
    EXPECT_FALSE(threshold->accessibleName().isEmpty());
    EXPECT_EQ(squelch->currentIndex(), 0) << "the radio's own report by default";
    EXPECT_FALSE(threshold->isEnabled()) << "the threshold has no say then";
    squelch->setCurrentIndex(1);
    EXPECT_TRUE(threshold->isEnabled());
    threshold->setValue(-20);
    dialog.accept();
    EXPECT_FALSE(dialog.receiverKindChanged());
    EXPECT_EQ(reloaded().hamlibUseDcd, 0);
    EXPECT_EQ(reloaded().hamlibThreshold, -20);

    ComPortDialog again(writer_, {});
    EXPECT_EQ(again.findChild<QComboBox*>("hamlibSquelch")->currentIndex(), 1);
    EXPECT_EQ(again.findChild<QSpinBox*>("hamlibThreshold")->value(), -20);
    again.findChild<QComboBox*>("hamlibSquelch")->setCurrentIndex(0);
    click(again, "AR3000A");
    again.accept();
    EXPECT_TRUE(again.receiverKindChanged());
    EXPECT_EQ(reloaded().hamlibUseDcd, 1);
    EXPECT_EQ(reloaded().hamlibThreshold, -20);
}

} // namespace
} // namespace kovo
