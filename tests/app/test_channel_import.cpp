// File ▸ "Import channels…": the preview dialog and the command around it.
#include "app/Language.h"
#include "app/dialogs/ChannelImportDialog.h"
#include "data/CKovo5Doc.h"
#include "data/Clock.h"
#include "fakes/Recorders.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <fstream>

namespace kovo {
namespace {

struct ImportFixture {
    AppSettings settings;
    ManualClock clock{1'015'459'500'000};
    CKovo5Doc doc{settings, clock};
    test::RecordingNotifier notifier;
    QTemporaryDir dir;

    QString write(const std::string& text) {
        const QString path = dir.filePath(QStringLiteral("list.csv"));
        std::ofstream(path.toStdString(), std::ios::binary) << text;
        return path;
    }
    // Runs the command on `text`; `confirm` sees the dialog and answers.
    bool import(const std::string& text, const std::function<bool(ChannelImportDialog&)>& confirm) {
        const QString path = write(text);
        ChannelImportCommand command(doc, notifier, {[path] { return path; }, confirm}, nullptr);
        return command.run();
    }
};

CsvTable tableOf(const std::string& text) {
    CsvTable table;
    EXPECT_TRUE(readCsv(text, table).ok());
    return table;
}

TEST(ChannelImportDialog, OtherColumnsAreMappedWithALivePreview) {
    ImportFixture f;
    const CsvTable table = tableOf("Channel,kHz,Label,Mode\n1,7074,FT8,USB\n2,x,bad,USB\n");
    ChannelImportDialog dialog(table, f.doc);
    EXPECT_EQ(dialog.frequencyColumnBox()->currentText(), QStringLiteral("kHz"));
    EXPECT_EQ(dialog.unitBox()->currentText(), QStringLiteral("kHz"));
    EXPECT_EQ(dialog.commentColumnBox()->currentText(), QStringLiteral("Label"));
    ASSERT_EQ(dialog.preview()->rowCount(), 2);
    EXPECT_EQ(dialog.preview()->item(0, 1)->text(), QStringLiteral("7.074000"));
    EXPECT_EQ(dialog.preview()->item(1, 5)->text(),
              QStringLiteral("left out: frequency empty or not a number"));
    EXPECT_TRUE(dialog.importButton()->isEnabled());

    // Another unit changes the preview at once.
    dialog.unitBox()->setCurrentText(QStringLiteral("Hz"));
    EXPECT_EQ(dialog.preview()->item(0, 5)->text(),
              QStringLiteral("left out: frequency outside the receiver's range"));
    EXPECT_FALSE(dialog.importButton()->isEnabled());
    dialog.frequencyColumnBox()->setCurrentIndex(0); // (none)
    EXPECT_FALSE(dialog.importButton()->isEnabled());
    EXPECT_EQ(dialog.preview()->rowCount(), 0);
    for (QWidget* w : dialog.findChildren<QComboBox*>())
        EXPECT_FALSE(w->accessibleName().isEmpty());
}

TEST(ChannelImportCommand, ConfirmedChannelsAreStoredAndTheDocumentNotSaved) {
    ImportFixture f;
    const std::string chirp = "Location,Name,Frequency,Mode,TStep,Skip\n0,A,145.5,FM,12.50,\n"
                              "1,B,430.0,DV,12.50,\n";
    // Cancelled in the preview: nothing changes.
    EXPECT_FALSE(f.import(chirp, [](ChannelImportDialog&) { return false; }));
    EXPECT_EQ(f.doc.channelCount, 0);
    EXPECT_FALSE(f.doc.isModified());

    EXPECT_TRUE(f.import(chirp, [](ChannelImportDialog& d) {
        EXPECT_FALSE(d.frequencyColumnBox()->isEnabled()); // CHIRP's columns are known
        d.bankBox()->setCurrentIndex(7);
        return true;
    }));
    ASSERT_EQ(f.doc.channelCount, 1);
    EXPECT_EQ(f.doc.channels[0]->bankMask, 1 << 7);
    EXPECT_TRUE(f.doc.isModified());
    ASSERT_EQ(f.notifier.messages.size(), 1u);
    EXPECT_NE(f.notifier.messages[0].find("1 imported, 0 already stored"), std::string::npos);
}

// Every bank is named as the bank menus name it; the preview's texts go
// through the catalogue like the value tables elsewhere.
TEST(ChannelImportDialog, BanksAreNamedAndStepsReadInEnglish) {
    ImportFixture f;
    f.doc.memoryBanks[3].name = "Repeaters";
    const CsvTable table = tableOf("Location,Name,Frequency,Mode,TStep\n0,A,145.5,FM,6.25\n");
    ASSERT_TRUE(installEnglish(*QCoreApplication::instance()));
    ChannelImportDialog dialog(table, f.doc);
    removeEnglish(*QCoreApplication::instance());
    QComboBox* banks = dialog.bankBox();
    ASSERT_EQ(banks->count(), kBankCount);
    EXPECT_EQ(banks->currentText(), QStringLiteral("00 : Other"));
    EXPECT_EQ(banks->itemText(3), QStringLiteral("03 : Repeaters"));
    EXPECT_EQ(banks->itemText(kPassBank), QStringLiteral("21 : Pass Channel"));
    EXPECT_EQ(dialog.preview()->item(0, 3)->text(), QStringLiteral("6.25kHz"));
}

// Importing the same list into another bank leaves the stored channels as
// they are, and says so in the preview and in the summary.
TEST(ChannelImportCommand, ChannelsAlreadyStoredAreLeftAsTheyAreAndTheUserIsTold) {
    ImportFixture f;
    const std::string list = "Location,Name,Frequency,Mode\n0,A,145.5,FM\n1,B,118.1,AM\n";
    ASSERT_TRUE(f.import(list, [](ChannelImportDialog& d) {
        d.bankBox()->setCurrentIndex(3);
        return true;
    }));
    QString shown;
    EXPECT_FALSE(f.import(list, [&shown](ChannelImportDialog& d) {
        d.bankBox()->setCurrentIndex(4);
        shown = d.preview()->item(0, 5)->text();
        return true;
    }));
    EXPECT_EQ(shown, QStringLiteral("already stored: left as it is"));
    ASSERT_EQ(f.notifier.messages.size(), 2u);
    EXPECT_NE(f.notifier.messages[1].find("0 imported, 2 already stored, 0 left out.\n2 already "
                                          "stored: the document holds a channel at these "
                                          "frequencies; those channels were left as they are"),
              std::string::npos)
        << f.notifier.messages[1];
    for (int i = 0; i < f.doc.channelCount; ++i)
        EXPECT_EQ(f.doc.channels[static_cast<std::size_t>(i)]->bankMask, 1 << 3);
}

TEST(ChannelImportCommand, ARefusedFileIsToldAndNothingIsShown) {
    ImportFixture f;
    bool shown = false;
    EXPECT_FALSE(f.import("Frequency,Name\n145.0,\"never closed\n",
                          [&shown](ChannelImportDialog&) { return shown = true; }));
    EXPECT_FALSE(shown);
    ASSERT_EQ(f.notifier.messages.size(), 1u);
    EXPECT_NE(f.notifier.messages[0].find("line 2: a quote is opened and never closed"),
              std::string::npos);
    EXPECT_EQ(f.doc.channelCount, 0);
}

} // namespace
} // namespace kovo
