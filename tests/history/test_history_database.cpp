#include "history/HistoryDatabase.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <filesystem>
#include <fstream>

namespace kovo::history {
namespace {

class HistoryDatabaseTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ =
            std::filesystem::temp_directory_path() /
            ("kovo-history-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
             "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(folder_);
    }
    void TearDown() override { std::filesystem::remove_all(folder_); }
    std::string file() const { return (folder_ / "sub" / "history.sqlite").string(); }
    std::filesystem::path folder_;
};

TEST(HistoryPathTest, FollowsXdgDataHomeElseHome) {
    struct Case {
        const char* xdg;
        const char* home;
        const char* expected;
    };
    for (const Case& c :
         {Case{"/x/data", "/home/u", "/x/data/Fennelworks/KOVO3000/history.sqlite"},
          Case{"", "/home/u", "/home/u/.local/share/Fennelworks/KOVO3000/history.sqlite"},
          Case{nullptr, "/home/u", "/home/u/.local/share/Fennelworks/KOVO3000/history.sqlite"}})
        EXPECT_EQ(historyPath(c.xdg, c.home), c.expected) << (c.xdg ? c.xdg : "null");
}

TEST_F(HistoryDatabaseTest, CreatesTheFileInWalModeWithAHitsViewThatJoinsRecordings) {
    StoreError error;
    auto store = HistoryDatabase::open(file(), error);
    ASSERT_TRUE(store) << error.message;
    Statement mode = store->prepare("PRAGMA journal_mode");
    ASSERT_EQ(mode.step(), SQLITE_ROW);
    EXPECT_EQ(mode.text(0), "wal");
    ASSERT_TRUE(store
                    ->exec("INSERT INTO hit_rows(start_utc, end_utc, frequency_hz, mode, "
                           "max_signal, comment) VALUES(100, 104, 145500000, 'NFM', 7, 'ATC');"
                           "INSERT INTO hit_rows(start_utc, end_utc, frequency_hz, mode, "
                           "max_signal) VALUES(200, 200, 145500000, 'NFM', 3);"
                           "INSERT INTO recordings VALUES(145500000, 100, '/r/a.flac');")
                    .ok());
    Statement rows = store->prepare("SELECT start_utc, recording FROM hits ORDER BY start_utc");
    ASSERT_EQ(rows.step(), SQLITE_ROW);
    EXPECT_EQ(rows.text(1), "/r/a.flac");
    ASSERT_EQ(rows.step(), SQLITE_ROW);
    EXPECT_EQ(rows.integer(0), 200);
    EXPECT_TRUE(rows.isNull(1));
    EXPECT_EQ(store->meta("schema_version"), "1");
}

TEST_F(HistoryDatabaseTest, ReopeningKeepsRowsAndMeta) {
    StoreError error;
    {
        auto store = HistoryDatabase::open(file(), error);
        ASSERT_TRUE(store);
        ASSERT_TRUE(store->setMeta("log_imported", "1").ok());
    }
    auto store = HistoryDatabase::open(file(), error);
    ASSERT_TRUE(store) << error.message;
    EXPECT_EQ(store->meta("log_imported"), "1");
    EXPECT_EQ(store->meta("absent"), std::nullopt);
}

TEST_F(HistoryDatabaseTest, AFileThatIsNotADatabaseIsRefusedWithAMessage) {
    std::filesystem::create_directories(std::filesystem::path(file()).parent_path());
    std::ofstream(file()) << std::string(4096, 'x');
    StoreError error;
    EXPECT_FALSE(HistoryDatabase::open(file(), error));
    EXPECT_NE(error.message.find("cannot be used"), std::string::npos) << error.message;
    EXPECT_NE(error.message.find(file()), std::string::npos);
}

} // namespace
} // namespace kovo::history
