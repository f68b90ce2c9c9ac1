// Document files that are not what they seem, saves that were killed, and two
// programs on one document.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

#include "DataTestSupport.h"
#include "DocumentFixtures.h"
#include "data/DocumentLock.h"
#include "data/FileIo.h"

namespace kovo {
namespace {

class FileSafety : public ::testing::Test, public test::DocumentFixture {
protected:
    bool exists(const std::string& name) const {
        return std::filesystem::exists(std::filesystem::symlink_status(dir.file(name)));
    }
    test::TempDir dir;
};

// A process id that certainly ran and has ended.
long endedProcess() {
    const pid_t child = ::fork();
    if (child == 0)
        ::_exit(0);
    ::waitpid(child, nullptr, 0);
    return child;
}

TEST_F(FileSafety, WhatIsNoDocumentFileIsRefusedAtOnceWithAMessage) {
    const std::string huge = dir.file("huge.kv5");
    const std::string justOver = dir.file("over.kv5");
    const std::string fifo = dir.file("fifo.kv5");
    for (const auto& [path, size] :
         {std::pair{huge, off_t(1) << 40}, std::pair{justOver, off_t(kMaxDocumentFileSize) + 1}}) {
        test::writeFileBytes(path, {});
        ASSERT_EQ(::truncate(path.c_str(), size), 0) << "a sparse file of that size";
    }
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0); // no writer: a blocking open never returns
    const struct {
        std::string path;
        int error;
        std::string message;
    } cases[] = {
        {huge, EFBIG, huge + " is too large to be a document file."},
        {justOver, EFBIG, justOver + " is too large to be a document file."},
        {fifo, ENOTSUP, fifo + " is not a regular file (a pipe or a device, for example)."},
        {"/dev/zero", ENOTSUP,
         "/dev/zero is not a regular file (a pipe or a device, for example)."},
        {dir.path(), EISDIR, "ﾄﾞｷｭﾒﾝﾄを開くことに失敗しました。"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        std::vector<std::uint8_t> bytes;
        int error = 0;
        EXPECT_FALSE(readWholeFile(c.path, bytes, error));
        EXPECT_EQ(error, c.error);
        EXPECT_LT(bytes.capacity(), std::size_t(1) << 20) << "nothing reserved for it";
        test::fillChannels(*doc, 2);
        const FileResult opened = doc->openDocument(c.path);
        EXPECT_FALSE(opened.ok);
        EXPECT_EQ(opened.message, c.message);
        EXPECT_EQ(doc->channelCount, 2) << "the document stays as it was";
    }
}

TEST_F(FileSafety, TemporariesOfEndedSavesGoAtTheNextSaveOrOpenAndNoOthers) {
    const std::string own = std::to_string(::getpid());
    const std::string ended = std::to_string(endedProcess());
    const struct {
        std::string name;
        bool removed;
    } entries[] = {
        {"doc.kv5.tmp-" + ended + "-0", true},
        {"doc.kv5.tmp-" + ended + "-17", true},
        {"doc.kv5.tmp-" + own + "-3", false}, // a save of this very program
        {"doc.kv5.tmp-1-0", false},           // a process that runs
        {"doc.kv5.tmp-" + ended + "-x", false},
        {"doc.kv5.tmp-" + ended, false},
        {"doc.kv5.tmp-" + ended + "-1.bak", false},
        {"other.kv5.tmp-" + ended + "-0", false}, // another document's
        {"xdoc.kv5.tmp-" + ended + "-0", false},
    };
    for (const char* action : {"save", "open"}) {
        SCOPED_TRACE(action);
        for (const auto& entry : entries)
            test::writeFileBytes(dir.file(entry.name), {1, 2, 3});
        const std::string path = dir.file("doc.kv5");
        if (std::string(action) == "save")
            ASSERT_TRUE(doc->saveDocument(path).ok);
        else
            ASSERT_TRUE(doc->openDocument(path).ok);
        for (const auto& entry : entries)
            EXPECT_EQ(exists(entry.name), !entry.removed) << entry.name;
    }
    // A directory or a link of that name is no temporary of ours.
    const std::string asDirectory = "doc.kv5.tmp-" + ended + "-5";
    std::filesystem::create_directory(dir.file(asDirectory));
    std::filesystem::create_symlink(dir.file("other.kv5.tmp-" + ended + "-0"),
                                    dir.file("doc.kv5.tmp-" + ended + "-6"));
    EXPECT_EQ(removeStaleTemporaries(dir.file("doc.kv5")), 0);
    EXPECT_TRUE(exists(asDirectory));
    EXPECT_TRUE(exists("other.kv5.tmp-" + ended + "-0"));
}

TEST_F(FileSafety, ASaveThroughALinkClearsTheTemporariesBesideTheFileItNames) {
    test::TempDir elsewhere;
    const std::string ended = std::to_string(endedProcess());
    const std::string real = elsewhere.file("real.kv5");
    ASSERT_TRUE(doc->saveDocument(real).ok);
    std::filesystem::create_symlink(real, dir.file("link.kv5"));
    test::writeFileBytes(real + ".tmp-" + ended + "-0", {1});
    ASSERT_TRUE(doc->saveDocument(dir.file("link.kv5")).ok);
    EXPECT_FALSE(std::filesystem::exists(real + ".tmp-" + ended + "-0"));
}

TEST_F(FileSafety, TheLockNamesItsHolderOutlivesSavesAndGoesWithIt) {
    const std::string path = dir.file("shared.kv5");
    ASSERT_TRUE(doc->saveDocument(path).ok);
    DocumentLock first = DocumentLock::acquire(path);
    ASSERT_EQ(first.state(), DocumentLock::State::Held);
    EXPECT_EQ(DocumentLock::lockFileOf(path), dir.file(".shared.kv5.lock"));

    doc->setModified();
    ASSERT_TRUE(doc->saveDocument(path).ok); // replaces the document file
    DocumentLock second = DocumentLock::acquire(path);
    EXPECT_EQ(second.state(), DocumentLock::State::HeldElsewhere);
    EXPECT_EQ(second.holder().pid, long(::getpid()));
    EXPECT_FALSE(second.holder().user.empty());
    EXPECT_EQ(second.holder().describe().rfind("process " + std::to_string(::getpid()) + " of ", 0),
              0u);

    first.release();
    EXPECT_FALSE(exists(".shared.kv5.lock")) << "the lock file goes with the lock";
    second = DocumentLock::acquire(path);
    EXPECT_EQ(second.state(), DocumentLock::State::Held);
    DocumentLock moved = std::move(second);
    EXPECT_EQ(DocumentLock::acquire(path).state(), DocumentLock::State::HeldElsewhere)
        << "a moved lock is still held";
}

TEST_F(FileSafety, ALockFileNobodyHoldsIsTakenOverAndALinkInItsPlaceIsNotFollowed) {
    const std::string path = dir.file("doc.kv5");
    test::writeFileBytes(dir.file(".doc.kv5.lock"), test::bytesOf("99999\nghost\ngone\n"));
    DocumentLock taken = DocumentLock::acquire(path);
    EXPECT_EQ(taken.state(), DocumentLock::State::Held) << "its holder ended long ago";
    EXPECT_EQ(DocumentLock::acquire(path).holder().pid, long(::getpid()));
    taken.release();

    test::writeFileBytes(dir.file("victim"), test::bytesOf("keep"));
    std::filesystem::create_symlink(dir.file("victim"), dir.file(".doc.kv5.lock"));
    EXPECT_EQ(DocumentLock::acquire(path).state(), DocumentLock::State::Unavailable);
    EXPECT_EQ(test::readFileBytes(dir.file("victim")), test::bytesOf("keep"));
}

} // namespace
} // namespace kovo
