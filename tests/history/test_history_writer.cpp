#include "data/AppSettings.h"
#include "data/CKovo5Doc.h"
#include "data/Clock.h"
#include "history/HistoryWriter.h"
#include "history/HitTracker.h"
#include "history/LogImport.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <sys/wait.h>
#include <unistd.h>

namespace kovo::history {
namespace {

class HistoryWriterTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = std::filesystem::temp_directory_path() /
                  ("kovo-writer-" + std::to_string(::getpid()) + "-" +
                   ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(folder_);
    }
    void TearDown() override { std::filesystem::remove_all(folder_); }

    std::string file() const { return (folder_ / "history.sqlite").string(); }
    HistoryWriter::Options options() const {
        HistoryWriter::Options o;
        o.path = file();
        o.now = [this] { return now_; };
        o.retryAfter = std::chrono::milliseconds(0);
        o.busyTimeoutMs = 10;
        o.retentionDays = 0; // the hits of these tests are from long ago
        return o;
    }
    std::unique_ptr<HistoryWriter> writer(HistoryWriter::Options o) {
        return std::make_unique<HistoryWriter>(
            std::move(o), [this](const std::string& m) { messages_.push_back(m); });
    }
    // The rows of `hits`, one text per row, by start time.
    std::vector<std::string> rows() const {
        StoreError error;
        auto db = HistoryDatabase::open(file(), error);
        EXPECT_TRUE(db) << error.message;
        std::vector<std::string> out;
        if (!db)
            return out;
        Statement q =
            db->prepare("SELECT start_utc, end_utc, frequency_hz, mode, max_signal, comment, "
                        "coalesce(recording, '-'), imported FROM hits ORDER BY start_utc, id");
        while (q.step() == SQLITE_ROW) {
            std::string line;
            for (int c = 0; c < 8; ++c)
                line += (c ? " " : "") + q.text(c);
            out.push_back(line);
        }
        return out;
    }

    // The start of the hit whose recording is `path`; 0 when no hit names it.
    std::int64_t startOfHitRecordedIn(const std::string& path) const {
        StoreError error;
        auto db = HistoryDatabase::open(file(), error);
        Statement q = db->prepare("SELECT start_utc FROM hits WHERE recording = ?1");
        q.bind(1, std::string_view(path));
        return q.step() == SQLITE_ROW ? q.integer(0) : 0;
    }

    std::filesystem::path folder_;
    std::int64_t now_ = 1'700'000'000;
    std::vector<std::string> messages_;
};

// Hits from begin to end, the highest report kept; a second transmission on
// one frequency is a second row; a hit in progress is on file already.
TEST_F(HistoryWriterTest, EveryHitIsOneRowWithItsHighestSignalAndItsTexts) {
    auto w = writer(options());
    HitTracker tracker(*w);
    tracker.began(false, 145'500'000, 0, 6, "\x83\x65\x83\x58\x83\x67", 100); // "テスト"
    tracker.heard(false, 11, 101);
    tracker.heard(false, 4, 102);
    tracker.ended(false, 105);
    tracker.began(false, 145'500'000, 2, 3, std::string_view("ATC\0junk", 8), 200);
    tracker.began(true, 430'000'000, 99, 9, "", 201); // priority, a mode outside the table
    w->flush();
    EXPECT_EQ(rows(), (std::vector<std::string>{"100 105 145500000 NFM 11 テスト - 0",
                                                "200 200 145500000 AM 3 ATC - 0",
                                                "201 201 430000000  9  - 0"}));
    EXPECT_TRUE(tracker.inProgress(false));
    tracker.heard(false, 8, 203);
    tracker.endAll(); // the program closes later: the hits end when last heard
    w->recordingKept(145'500'000, 200, "/rec/a.flac");
    w->flush();
    EXPECT_EQ(rows()[1], "200 203 145500000 AM 8 ATC /rec/a.flac 0");
    EXPECT_EQ(rows()[2], "201 201 430000000  9  - 0");
    EXPECT_TRUE(messages_.empty());
}

// The recorder names its file by the second it was handed the hit, which
// may be a little after (or before) the second the hit began: the file goes
// to the nearest hit on its frequency that has no file yet.
TEST_F(HistoryWriterTest, ARecordingJoinsTheNearestHitWithoutOneWithinTwoSeconds) {
    struct Case {
        std::int64_t recorderStart;
        std::int64_t joinedHit; // 0: none
    };
    const Case cases[] = {{200, 200}, {201, 200}, {202, 200}, {199, 200},
                          {203, 0},   {228, 230}, {215, 0}};
    for (const Case& c : cases) {
        std::filesystem::remove_all(folder_);
        auto w = writer(options());
        HitTracker tracker(*w);
        tracker.began(false, 145'500'000, 0, 5, "", 200);
        tracker.began(false, 145'500'000, 0, 5, "", 230);
        tracker.began(true, 118'100'000, 0, 5, "", c.recorderStart); // another frequency
        tracker.endAll();
        w->recordingKept(145'500'000, c.recorderStart, "/a");
        w->flush();
        EXPECT_EQ(startOfHitRecordedIn("/a"), c.joinedHit) << "recorder start " << c.recorderStart;
    }
}

// A hit that has its recording is not taken by the next file: that one goes
// to the hit nearby that has none.
TEST_F(HistoryWriterTest, ARecordedHitLeavesTheNextFileToItsNeighbour) {
    auto w = writer(options());
    HitTracker tracker(*w);
    tracker.began(false, 145'500'000, 0, 5, "", 300);
    tracker.began(false, 145'500'000, 0, 5, "", 302);
    tracker.endAll();
    w->recordingKept(145'500'000, 300, "/first");
    w->recordingKept(145'500'000, 301, "/second"); // a second late for the hit at 302
    w->flush();
    EXPECT_EQ(startOfHitRecordedIn("/first"), 300);
    EXPECT_EQ(startOfHitRecordedIn("/second"), 302);
}

TEST_F(HistoryWriterTest, AStoreThatCannotBeOpenedPausesWithOneMessageAndResumes) {
    std::filesystem::create_directories(folder_);
    const auto blocked = folder_ / "not-a-folder";
    std::ofstream(blocked) << "x";
    HistoryWriter::Options o = options();
    o.path = (blocked / "history.sqlite").string();
    auto w = writer(o);
    HitTracker tracker(*w);
    for (int i = 0; i < 5; ++i) {
        tracker.began(false, 145'000'000, 0, 5, "", 100 + i);
        tracker.ended(false, 100 + i);
    }
    w->flush();
    EXPECT_TRUE(w->paused());
    ASSERT_EQ(messages_.size(), 1u);
    EXPECT_NE(messages_[0].find(o.path), std::string::npos) << messages_[0];

    std::filesystem::remove(blocked);
    std::filesystem::create_directories(blocked);
    tracker.began(false, 146'000'000, 0, 5, "", 300);
    tracker.ended(false, 301);
    w->flush();
    EXPECT_FALSE(w->paused());
    EXPECT_EQ(messages_.size(), 1u);
    StoreError error;
    auto db = HistoryDatabase::open(o.path, error);
    Statement q = db->prepare("SELECT count(*), min(start_utc) FROM hits");
    ASSERT_EQ(q.step(), SQLITE_ROW);
    EXPECT_EQ(q.integer(0), 1) << "hits of the pause are dropped";
    EXPECT_EQ(q.integer(1), 300);
}

TEST_F(HistoryWriterTest, ALockedStorePausesOnceAndTheHitsAfterTheLockAreWritten) {
    auto w = writer(options());
    HitTracker tracker(*w);
    w->flush();
    StoreError error;
    auto other = HistoryDatabase::open(file(), error);
    ASSERT_TRUE(other->exec("BEGIN IMMEDIATE").ok());
    for (int i = 0; i < 3; ++i) {
        tracker.began(false, 145'000'000, 0, 5, "", 100 + i);
        w->flush();
    }
    EXPECT_TRUE(w->paused());
    EXPECT_EQ(messages_.size(), 1u);
    ASSERT_TRUE(other->exec("COMMIT").ok());
    tracker.began(false, 147'000'000, 1, 5, "", 400);
    w->flush();
    EXPECT_FALSE(w->paused());
    EXPECT_EQ(rows(), (std::vector<std::string>{"400 400 147000000 WFM 5  - 0"}));
}

TEST_F(HistoryWriterTest, TheLogIsImportedOnceInTheStoresLife) {
    ManualClock clock{0};
    AppSettings settings;
    CKovo5Doc doc{settings, clock};
    doc.mainRecord.mode = 1;
    ASSERT_EQ(doc.channelTable().storeChannel(145'000'000), 0);
    doc.logCount = 2;
    doc.logEntry(0) = CLogData{145'000'000, 50, 60, 7, "ch"};
    doc.logEntry(1) = CLogData{146'000'000, 70, 65, 3, ""}; // last before first: end = start
    for (int run = 0; run < 2; ++run) {
        auto w = writer(options());
        w->importOnce(logRows(doc));
        w->importOnce(logRows(doc));
    }
    EXPECT_EQ(rows(), (std::vector<std::string>{"50 60 145000000 WFM 7 ch - 1",
                                                "70 70 146000000  3  - 1"}));
}

TEST_F(HistoryWriterTest, RowsOlderThanTheRetentionGoInSmallBatches) {
    {
        auto w = writer(options());
        HitTracker tracker(*w);
        const std::int64_t day = 86400;
        for (std::int64_t age : {500 * day, 401 * day, 400 * day - 1, 3 * day, 0L}) {
            tracker.began(false, 145'000'000, 0, 1, "", now_ - age);
            tracker.ended(false, now_ - age);
            w->recordingKept(145'000'000, now_ - age, "/r");
        }
    }
    HistoryWriter::Options o = options();
    o.retentionDays = 400;
    o.retentionBatch = 1;
    auto w = writer(o);
    w->flush();
    const auto kept = rows();
    ASSERT_EQ(kept.size(), 3u);
    EXPECT_EQ(kept[0].substr(0, 10), std::to_string(now_ - 400 * 86400 + 1));
    StoreError error;
    auto db = HistoryDatabase::open(file(), error);
    Statement q = db->prepare("SELECT count(*) FROM recordings");
    ASSERT_EQ(q.step(), SQLITE_ROW);
    EXPECT_EQ(q.integer(0), 3);
}

// A writer killed in the middle of its work leaves a sound file that opens
// again and holds every hit but the last moments'.
TEST_F(HistoryWriterTest, AKilledWriterLeavesAFileThatPassesTheIntegrityCheck) {
    { auto w = writer(options()); } // the file and its schema exist
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        HistoryWriter w(options(), {});
        HitTracker tracker(w);
        for (std::int64_t i = 0;; ++i) {
            tracker.began(false, 145'000'000 + std::uint32_t(i % 1000) * 12500, int(i % 6),
                          int(i % 16), "comment", 1000 + i);
            tracker.ended(false, 1000 + i);
            if (i == 2000) {
                w.flush();
                [[maybe_unused]] const auto n = ::write(ready[1], "r", 1);
            }
        }
    }
    char byte = 0;
    ASSERT_EQ(::read(ready[0], &byte, 1), 1);
    ::kill(child, SIGKILL);
    int status = 0;
    ::waitpid(child, &status, 0);
    ::close(ready[0]);
    ::close(ready[1]);
    ASSERT_TRUE(WIFSIGNALED(status));

    StoreError error;
    auto db = HistoryDatabase::open(file(), error);
    ASSERT_TRUE(db) << error.message;
    Statement check = db->prepare("PRAGMA integrity_check");
    ASSERT_EQ(check.step(), SQLITE_ROW);
    EXPECT_EQ(check.text(0), "ok");
    Statement count = db->prepare("SELECT count(*) FROM hits");
    ASSERT_EQ(count.step(), SQLITE_ROW);
    EXPECT_GT(count.integer(0), 2000);
}

} // namespace
} // namespace kovo::history
