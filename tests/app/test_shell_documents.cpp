#include "app/DocumentController.h"
#include "app/QSettingsStore.h"
#include "app/RecentFileList.h"
#include "data/DocumentLock.h"
#include "test_shell_fakes.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <unistd.h>

namespace kovo {
namespace {

using test::LoggingDocument;
using test::ScriptedDialogs;
using test::ScriptedNotifier;
using Answer = Notifier::Answer;

class DocumentControllerTest : public ::testing::Test {
protected:
    DocumentControllerTest()
        : store_(dir_.filePath("KOVO3000.ini")), recent_(settings_, store_),
          controller_(document_, notifier_, dialogs_, recent_, dataDir(),
                      {[this] {
                           document_.log.push_back("close port");
                           return portOpen_;
                       },
                       [this] { document_.log.push_back("open port"); },
                       [this] {
                           document_.log.push_back("view reset");
                           document_.modified |= viewMarksModified;
                       }}) {
        QDir().mkpath(dataDir());
    }

    QString dataDir() const { return dir_.filePath("data"); }
    QString makeFile(const QString& name) const {
        const QString path = QDir(dataDir()).filePath(name);
        QFile(path).open(QIODevice::WriteOnly);
        return path;
    }
    std::string native(const QString& path) const { return path.toStdString(); }
    long writesOf(const QString& path) const {
        return std::count(document_.log.begin(), document_.log.end(), "write " + native(path));
    }
    // What another program does to a file: writes something else into it.
    static void changeOnDisk(const QString& path) {
        QFile file(path);
        file.open(QIODevice::WriteOnly | QIODevice::Append);
        file.write("written by another program");
    }

    QTemporaryDir dir_;
    AppSettings settings_;
    QSettingsStore store_;
    RecentFileList recent_;
    LoggingDocument document_;
    ScriptedNotifier notifier_;
    ScriptedDialogs dialogs_;
    bool portOpen_ = false;
    bool viewMarksModified = false; // as applying the stored operating mode does
    DocumentController controller_;
};

TEST_F(DocumentControllerTest, RelativeNamesLiveInTheDataFolderNotTheWorkingDirectory) {
    QTemporaryDir cwd;
    const QString previous = QDir::currentPath();
    QDir::setCurrent(cwd.path());
    QFile(cwd.filePath("Frequency.kv5")).open(QIODevice::WriteOnly); // a decoy in cwd

    EXPECT_EQ(controller_.resolve("Frequency.kv5"), QDir(dataDir()).filePath("Frequency.kv5"));
    EXPECT_FALSE(controller_.openFile("Frequency.kv5")) << "only the data folder counts";
    ASSERT_EQ(notifier_.messages.size(), 1u);
    EXPECT_NE(notifier_.messages[0].find(native(dataDir())), std::string::npos);

    const QString inData = makeFile("Frequency.kv5");
    EXPECT_TRUE(controller_.openFile("Frequency.kv5"));
    EXPECT_EQ(controller_.path(), inData);
    EXPECT_EQ(controller_.resolve("/abs/x.kv5"), "/abs/x.kv5");
    QDir::setCurrent(previous);
}

TEST_F(DocumentControllerTest, ReadingClosesThePortFirstAndReopensItAfterwards) {
    const QString file = makeFile("a.kv5");
    ASSERT_TRUE(controller_.openFile(file));
    EXPECT_EQ(document_.log, (std::vector<std::string>{"close port", "read " + native(file),
                                                       "open port", "view reset"}));
    EXPECT_EQ(controller_.title(), "a.kv5");
    EXPECT_TRUE(notifier_.messages.empty());

    document_.log.clear();
    document_.modified = true;
    ASSERT_TRUE(controller_.fileSave());
    EXPECT_EQ(document_.log,
              (std::vector<std::string>{"close port", "write " + native(file), "open port"}));
}

TEST_F(DocumentControllerTest, AFailedReadIsReportedAndLeavesAClosedPortClosed) {
    EXPECT_FALSE(controller_.openFile(QDir(dataDir()).filePath("missing.kv5")));
    EXPECT_EQ(document_.log.back(), "read " + native(QDir(dataDir()).filePath("missing.kv5")));
    ASSERT_EQ(notifier_.messages.size(), 1u);
    EXPECT_NE(notifier_.messages[0].find("was not found."), std::string::npos);
    EXPECT_EQ(controller_.title(), "Untitled");

    // While the link runs, a failed read puts the port back as it was.
    portOpen_ = true;
    document_.log.clear();
    EXPECT_FALSE(controller_.openFile(QDir(dataDir()).filePath("missing.kv5")));
    EXPECT_EQ(document_.log.back(), "open port");
}

TEST_F(DocumentControllerTest, WhatASuccessfulReadPutRightIsShownOnce) {
    const QString file = makeFile("a.kv5");
    document_.readNotice = "a.kv5 held 2 channels with a frequency stored before; ...";
    EXPECT_TRUE(controller_.openFile(file));
    EXPECT_EQ(notifier_.messages, std::vector<std::string>{document_.readNotice});
    EXPECT_EQ(controller_.path(), file);
    EXPECT_EQ(document_.log.back(), "view reset");
}

TEST_F(DocumentControllerTest, RecentListIsNewestFirstWithoutDuplicatesAndHoldsFive) {
    std::vector<QString> files;
    for (int i = 0; i < 7; ++i)
        files.push_back(makeFile(QString("f%1.kv5").arg(i)));
    for (const QString& f : files)
        ASSERT_TRUE(controller_.openFile(f));
    ASSERT_TRUE(controller_.openFile(files[3])); // moves up, not added twice

    EXPECT_EQ(controller_.recentFiles(),
              (QStringList{files[3], files[6], files[5], files[4], files[2]}));
    EXPECT_EQ(settings_.lastFile, native(files[3]));

    // Stored at once, so the next start sees the same list.
    RecentFileList reloaded(settings_, store_);
    reloaded.load();
    ASSERT_EQ(reloaded.files().size(), 5u);
    EXPECT_EQ(reloaded.files()[0], native(files[3]));
    EXPECT_EQ(reloaded.files()[4], native(files[2]));
}

TEST_F(DocumentControllerTest, ARecentFileThatCannotBeOpenedLeavesTheList) {
    const QString keep = makeFile("keep.kv5");
    const QString gone = makeFile("gone.kv5");
    ASSERT_TRUE(controller_.openFile(keep));
    ASSERT_TRUE(controller_.openFile(gone));
    ASSERT_TRUE(controller_.fileNew());
    QFile::remove(gone);

    EXPECT_FALSE(controller_.openRecent(0));
    EXPECT_EQ(controller_.recentFiles(), QStringList{keep});
    EXPECT_EQ(notifier_.messages.size(), 1u);
    EXPECT_TRUE(controller_.openRecent(0));
    EXPECT_EQ(controller_.path(), keep);
    EXPECT_FALSE(controller_.openRecent(3));
}

TEST_F(DocumentControllerTest, OpeningTheOpenDocumentAgainReadsNothing) {
    const QString file = makeFile("a.kv5");
    ASSERT_TRUE(controller_.openFile(file));
    document_.log.clear();
    document_.modified = true;
    EXPECT_TRUE(controller_.openFile(file));
    EXPECT_TRUE(document_.log.empty());
    EXPECT_TRUE(notifier_.questions.empty());
}

TEST_F(DocumentControllerTest, ReplacingAModifiedDocumentAsksToSaveIt) {
    const QString first = makeFile("first.kv5");
    const QString second = makeFile("second.kv5");
    ASSERT_TRUE(controller_.openFile(first));

    // Cancel: nothing happens.
    document_.modified = true;
    document_.log.clear();
    notifier_.answers = {Answer::Cancel};
    EXPECT_FALSE(controller_.openFile(second));
    ASSERT_EQ(notifier_.questions.size(), 1u);
    EXPECT_EQ(notifier_.questions[0], "first.kv5 への変更を保存しますか?");
    EXPECT_TRUE(document_.log.empty());
    EXPECT_EQ(controller_.path(), first);

    // No: the changes are dropped and the other file is read.
    notifier_.answers = {Answer::No};
    EXPECT_TRUE(controller_.openFile(second));
    EXPECT_EQ(document_.log[1], "read " + native(second));

    // Yes: saved under its own name before File New.
    document_.modified = true;
    document_.log.clear();
    notifier_.answers = {Answer::Yes};
    EXPECT_TRUE(controller_.fileNew());
    EXPECT_EQ(document_.log, (std::vector<std::string>{"close port", "write " + native(second),
                                                       "open port", "new", "view reset"}));
    EXPECT_EQ(controller_.title(), "Untitled");
}

TEST_F(DocumentControllerTest, StartingTheViewOverLeavesTheFlagAsReadingLeftIt) {
    const QString file = makeFile("a.kv5");
    const struct {
        bool readMarksModified;
        bool expected;
    } cases[] = {{false, false}, {true, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.readMarksModified);
        viewMarksModified = true;
        document_.readMarksModified = c.readMarksModified;
        document_.modified = false;
        ASSERT_TRUE(controller_.fileNew());
        EXPECT_FALSE(document_.isModified()) << "File New";
        ASSERT_TRUE(controller_.openFile(file));
        EXPECT_EQ(document_.isModified(), c.expected);
        document_.modified = false;
    }
}

TEST_F(DocumentControllerTest, AFailedSaveStopsTheCommandThatAskedForIt) {
    const QString file = makeFile("a.kv5");
    ASSERT_TRUE(controller_.openFile(file));
    document_.modified = true;
    document_.failWrites = true;
    notifier_.answers = {Answer::Yes};
    EXPECT_FALSE(controller_.fileNew());
    EXPECT_EQ(notifier_.messages, std::vector<std::string>{"ﾄﾞｷｭﾒﾝﾄの保存に失敗しました。"});
    EXPECT_EQ(controller_.path(), file);
    EXPECT_TRUE(document_.isModified());
}

TEST_F(DocumentControllerTest, SavingAnUntitledDocumentAsksForANameAndAddsIt) {
    document_.modified = true;
    const QString target = QDir(dataDir()).filePath("new.kv5");
    dialogs_.replies = {QString(), target};
    EXPECT_FALSE(controller_.fileSave()) << "cancelled dialog";
    ASSERT_EQ(dialogs_.proposedSaves.size(), 1u);
    EXPECT_EQ(dialogs_.proposedSaves[0], QDir(dataDir()).filePath("Untitled.kv5"));
    EXPECT_TRUE(document_.isModified());

    EXPECT_TRUE(controller_.fileSave());
    EXPECT_EQ(controller_.path(), target);
    EXPECT_EQ(controller_.title(), "new.kv5");
    EXPECT_EQ(controller_.recentFiles(), QStringList{target});
    EXPECT_FALSE(document_.isModified());
}

TEST_F(DocumentControllerTest, SavingWithoutAskingNeverTakesThePlaceOfAnotherFile) {
    QString note;
    EXPECT_TRUE(controller_.saveWithoutAsking(&note)) << "unchanged: nothing to save";
    EXPECT_TRUE(document_.log.empty());

    makeFile("Frequency.kv5");
    makeFile("Frequency-2.kv5");
    document_.modified = true;
    EXPECT_TRUE(controller_.saveWithoutAsking(&note));
    const QString freeName = QDir(dataDir()).filePath("Frequency-3.kv5");
    const auto wrote = [this](const QString& path) {
        return std::count(document_.log.begin(), document_.log.end(), "write " + native(path));
    };
    EXPECT_EQ(wrote(freeName), 1);
    EXPECT_EQ(controller_.path(), freeName);
    EXPECT_EQ(controller_.recentFiles(), QStringList{freeName});
    EXPECT_TRUE(note.contains("Frequency-3.kv5")) << note.toStdString();

    // A document with a file of its own goes back to it.
    document_.modified = true;
    note.clear();
    EXPECT_TRUE(controller_.saveWithoutAsking(&note));
    EXPECT_EQ(wrote(freeName), 2);
    EXPECT_TRUE(note.isEmpty());
}

TEST_F(DocumentControllerTest, TheOpenDocumentIsLockedUntilAnotherTakesItsPlace) {
    const QString a = makeFile("a.kv5"), b = makeFile("b.kv5");
    const auto heldHere = [this](const QString& path) {
        return DocumentLock::acquire(native(path)).state() == DocumentLock::State::HeldElsewhere;
    };
    ASSERT_TRUE(controller_.openFile(a));
    EXPECT_TRUE(heldHere(a));
    ASSERT_TRUE(controller_.openFile(b));
    EXPECT_FALSE(heldHere(a)) << "let go when another document is opened";
    EXPECT_TRUE(heldHere(b));
    ASSERT_TRUE(controller_.fileNew());
    EXPECT_FALSE(heldHere(b)) << "and at File New";
    document_.modified = true;
    dialogs_.replies = {QDir(dataDir()).filePath("c.kv5")};
    ASSERT_TRUE(controller_.fileSaveAs());
    EXPECT_TRUE(heldHere(QDir(dataDir()).filePath("c.kv5"))) << "a saved document is held too";
}

// Another program holds the file: it opens read-only, and no way of saving
// writes over it; a save under another name makes it the document's file.
TEST_F(DocumentControllerTest, AFileAnotherProgramHoldsOpensReadOnlyAndIsNeverSavedOver) {
    const QString file = makeFile("two.kv5");
    const DocumentLock other = DocumentLock::acquire(native(file));
    ASSERT_EQ(other.state(), DocumentLock::State::Held);

    ASSERT_TRUE(controller_.openFile(file));
    EXPECT_TRUE(controller_.readOnly());
    EXPECT_EQ(controller_.title(), "two.kv5 (read-only)");
    ASSERT_EQ(notifier_.messages.size(), 1u);
    const std::string& told = notifier_.messages[0];
    EXPECT_NE(told.find(native(file) + " is open in another program (process " +
                        std::to_string(::getpid())),
              std::string::npos)
        << told;
    EXPECT_NE(told.find("read-only"), std::string::npos) << told;

    document_.modified = true;
    const struct {
        const char* name;
        std::function<bool()> save;
        bool saved;
    } saves[] = {
        {"Save, its dialog cancelled", [this] { return controller_.fileSave(); }, false},
        {"without asking", [this] { return controller_.saveWithoutAsking(); }, false},
        {"Save As onto it",
         [&] {
             dialogs_.replies = {file};
             return controller_.fileSaveAs();
         },
         false},
    };
    for (const auto& c : saves) {
        SCOPED_TRACE(c.name);
        notifier_.messages.clear();
        EXPECT_EQ(c.save(), c.saved);
        EXPECT_EQ(writesOf(file), 0);
        ASSERT_EQ(notifier_.messages.size(), 1u) << "says why";
        EXPECT_NE(notifier_.messages[0].find("is open in another program"), std::string::npos);
        EXPECT_TRUE(document_.isModified());
    }

    const QString mine = QDir(dataDir()).filePath("mine.kv5");
    dialogs_.replies = {mine};
    EXPECT_TRUE(controller_.fileSave()) << "Save offers another name";
    EXPECT_EQ(writesOf(mine), 1);
    EXPECT_FALSE(controller_.readOnly());
    EXPECT_EQ(controller_.title(), "mine.kv5");
}

TEST_F(DocumentControllerTest, AFileChangedOnDiskSinceItWasReadIsNotReplacedWithoutAsking) {
    const QString file = makeFile("a.kv5");
    ASSERT_TRUE(controller_.openFile(file));
    document_.modified = true;
    changeOnDisk(file);

    EXPECT_FALSE(controller_.saveWithoutAsking()) << "nobody to ask: left alone";
    EXPECT_EQ(writesOf(file), 0);
    ASSERT_EQ(notifier_.messages.size(), 1u);
    EXPECT_NE(notifier_.messages[0].find(native(file) + " was changed on disk"), std::string::npos);

    notifier_.answers = {Answer::No};
    EXPECT_FALSE(controller_.fileSave());
    ASSERT_EQ(notifier_.questions.size(), 1u);
    EXPECT_NE(notifier_.questions[0].find("Replace it"), std::string::npos);
    EXPECT_EQ(writesOf(file), 0);
    EXPECT_TRUE(document_.isModified());

    notifier_.answers = {Answer::Yes};
    EXPECT_TRUE(controller_.fileSave());
    EXPECT_EQ(writesOf(file), 1);

    // Its own saves are no change by somebody else.
    document_.modified = true;
    EXPECT_TRUE(controller_.fileSave());
    EXPECT_TRUE(controller_.saveWithoutAsking());
    EXPECT_EQ(notifier_.questions.size(), 2u);
}

TEST_F(DocumentControllerTest, ADemonstrationKeepsTheStoredRecentFilesAndItsExampleUnsaved) {
    const QString users = makeFile("users.kv5");
    ASSERT_TRUE(controller_.openFile(users));
    recent_.keepForThisRunOnly();
    controller_.setUntitledIsExample(true);

    const QString shown = makeFile("shown.kv5");
    ASSERT_TRUE(controller_.openFile(shown));
    EXPECT_EQ(controller_.recentFiles(), (QStringList{shown, users})) << "for this run";
    EXPECT_EQ(settings_.lastFile, native(shown)) << "so that the start-up timer keeps it";
    RecentFileList stored(settings_, store_);
    stored.load();
    EXPECT_EQ(stored.files(), std::vector<std::string>{native(users)});

    ASSERT_TRUE(controller_.fileNew());
    document_.modified = true;
    document_.log.clear();
    EXPECT_TRUE(controller_.saveWithoutAsking());
    EXPECT_TRUE(document_.log.empty()) << "the example is not saved";
    EXPECT_FALSE(QFile::exists(QDir(dataDir()).filePath("Frequency.kv5")));
}

TEST_F(DocumentControllerTest, ExportWritesTheChosenFileAndFormAndStartsWhereTheLastEnded) {
    dialogs_.replies = {"/tmp/x/list.TXT", "/tmp/y/list", QString(), "/tmp/z/memory"};
    dialogs_.exportTypes = {ExportFileType::Text, ExportFileType::Csv, ExportFileType::Text,
                            ExportFileType::All};
    controller_.exportText(0);
    document_.failWrites = true;
    controller_.exportText(1);
    controller_.exportText(1); // cancelled
    document_.failWrites = false;
    document_.exportNotice = "3 left out";
    controller_.exportText(0);
    EXPECT_EQ(document_.log, (std::vector<std::string>{"export /tmp/x/list.TXT 0 columns",
                                                       "export /tmp/y/list.csv 1 csv",
                                                       "export /tmp/z/memory.txt 0 columns"}));
    EXPECT_EQ(notifier_.messages, (std::vector<std::string>{"export failed", "3 left out"}))
        << "a written export tells what it left out";
    EXPECT_EQ(dialogs_.proposedExports,
              (std::vector<QString>{QDir(dataDir()).filePath("Frequency.txt"), "/tmp/x/Log.txt",
                                    "/tmp/y/Log.txt", "/tmp/y/Frequency.txt"}));
}

} // namespace
} // namespace kovo
