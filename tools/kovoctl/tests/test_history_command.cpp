#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>

#include "HistoryCommand.h"
#include "history/HistoryDatabase.h"

namespace {

// 2024-03-01 00:00:00 UTC
constexpr std::int64_t kMarch1 = 1709251200;

std::string captured(std::FILE* file) {
    std::fflush(file);
    std::rewind(file);
    std::string text;
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, file)) > 0;)
        text.append(buffer, n);
    return text;
}

// A history store under a scratch XDG_DATA_HOME, with the zone set to UTC so
// that local dates are fixed.
class HistoryCommandTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = std::filesystem::temp_directory_path() /
                  ("kovoctl-history-" +
                   std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        std::filesystem::remove_all(folder_);
        ::setenv("XDG_DATA_HOME", folder_.c_str(), 1);
        ::setenv("TZ", "UTC", 1);
        ::tzset();
    }
    void TearDown() override { std::filesystem::remove_all(folder_); }
    void makeStore() {
        kovo::history::StoreError error;
        auto store =
            kovo::history::HistoryDatabase::open(kovo::history::defaultHistoryPath(), error);
        ASSERT_TRUE(store) << error.message;
        ASSERT_TRUE(store
                        ->exec("INSERT INTO hit_rows(start_utc, end_utc, frequency_hz, mode, "
                               "max_signal, comment) VALUES"
                               "(1709251200, 1709251210, 145500000, 'NFM', 7, 'Tower \"A\"'),"
                               "(1709337600, 1709337605, 145500000, 'NFM', 3, ''),"
                               "(1709424000, 1709424001, 118100000, 'AM', 9, 'ATC');"
                               "INSERT INTO recordings VALUES(145500000, 1709251200, '/r/a.flac');")
                        .ok());
    }
    struct Run {
        int status;
        std::string out, err;
    };
    Run run(const std::vector<std::string>& args) {
        std::FILE* out = std::tmpfile();
        std::FILE* err = std::tmpfile();
        const int status = kovoctl::historyCommand(args, out, err);
        Run result{status, captured(out), captured(err)};
        std::fclose(out);
        std::fclose(err);
        return result;
    }
    std::filesystem::path folder_;
};

TEST_F(HistoryCommandTest, PrintsTheFilteredHitsAsJsonCsvOrTable) {
    makeStore();
    const Run json = run({"history", "--freq", "145.5", "--json"});
    ASSERT_EQ(json.status, 0) << json.err;
    EXPECT_EQ(json.out,
              "[\n  {\"start_utc\":1709337600,\"end_utc\":1709337605,\"frequency_hz\":145500000,"
              "\"mode\":\"NFM\",\"max_signal\":3,\"comment\":\"\",\"recording\":null},\n"
              "  {\"start_utc\":1709251200,\"end_utc\":1709251210,\"frequency_hz\":145500000,"
              "\"mode\":\"NFM\",\"max_signal\":7,\"comment\":\"Tower \\\"A\\\"\",\"recording\":"
              "\"/r/a.flac\"}\n]\n");
    const Run csv = run({"history", "--from", "2024-03-02", "--to", "2024-03-02", "--csv"});
    ASSERT_EQ(csv.status, 0) << csv.err;
    EXPECT_EQ(csv.out, "time_local,start_utc,end_utc,frequency_mhz,mode,duration_s,max_signal,"
                       "comment,recording\r\n"
                       "2024-03-02 00:00:00,1709337600,1709337605,145.500000,NFM,5,3,,\r\n");
    const Run table = run({"history", "--freq", "118-119"});
    ASSERT_EQ(table.status, 0) << table.err;
    EXPECT_NE(table.out.find("2024-03-03 00:00:00      118.100000  AM           1       9  ATC"),
              std::string::npos)
        << table.out;
    EXPECT_EQ(table.out.find("145.5"), std::string::npos);
    EXPECT_EQ(run({"history", "--json", "--freq", "99"}).out, "[]\n");
}

TEST_F(HistoryCommandTest, RefusesBadOptionsAndAMissingStore) {
    struct Case {
        std::vector<std::string> args;
        int status;
        const char* says;
    };
    for (const Case& c : {Case{{"history", "--freq", "abc"}, 2, "not a frequency"},
                          Case{{"history", "--from", "2024-13-01"}, 2, "not a date"},
                          Case{{"history", "--to"}, 2, "needs a value"},
                          Case{{"history", "--bogus", "1"}, 2, "unknown option"},
                          Case{{"history"}, 1, "no hit history"}}) {
        const Run r = run(c.args);
        EXPECT_EQ(r.status, c.status) << c.says;
        EXPECT_NE(r.err.find(c.says), std::string::npos) << r.err;
    }
    EXPECT_FALSE(std::filesystem::exists(kovo::history::defaultHistoryPath()));
}

TEST_F(HistoryCommandTest, DatesAreLocalDaysOrIsoTimesWithAZone) {
    struct Case {
        const char* text;
        bool endOfDay;
        std::optional<std::int64_t> utc;
    };
    for (const Case& c :
         {Case{"2024-03-01", false, kMarch1}, Case{"2024-03-01", true, kMarch1 + 86400},
          Case{"2024-03-01T01:02", false, kMarch1 + 3720},
          Case{"2024-03-01T01:02:03Z", false, kMarch1 + 3723},
          Case{"2024-03-01T02:00:00+02:00", false, kMarch1},
          Case{"2024-03-01 00:00-01:30", false, kMarch1 + 5400},
          Case{"2024-3-1", false, std::nullopt}, Case{"2024-03-01T25:00", false, std::nullopt},
          Case{"2024-03-01x", false, std::nullopt}})
        EXPECT_EQ(kovoctl::parseHistoryDate(c.text, c.endOfDay), c.utc) << c.text;
}

} // namespace
