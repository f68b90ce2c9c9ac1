#include "history/HistoryQuery.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

namespace kovo::history {
namespace {

constexpr std::int64_t kDay = 86400;
constexpr std::int64_t kHour = 3600;
// 2024-03-01 00:00:00 UTC
constexpr std::int64_t kMarch1 = 1709251200;

using Hz = std::optional<std::int64_t>;
HitFilter where(Hz low, Hz high, std::string text = {}, Hz from = {}, Hz to = {}) {
    HitFilter filter;
    filter.lowHz = low;
    filter.highHz = high;
    filter.text = std::move(text);
    filter.fromUtc = from;
    filter.toUtc = to;
    return filter;
}

const UtcOffsetAt kUtc = [](std::int64_t) { return std::int64_t{0}; };
const UtcOffsetAt kPlusTwo = [](std::int64_t) { return 2 * kHour; };

class HistoryQueryTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ =
            std::filesystem::temp_directory_path() /
            ("kovo-query-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
             "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(folder_);
        StoreError error;
        store_ = HistoryDatabase::open((folder_ / "history.sqlite").string(), error);
        ASSERT_TRUE(store_) << error.message;
    }
    void TearDown() override {
        store_.reset();
        std::filesystem::remove_all(folder_);
    }
    void hit(std::int64_t start, std::int64_t end, std::int64_t hz, const std::string& comment = "",
             const char* recording = nullptr) {
        Statement insert = store_->prepare(
            "INSERT INTO hit_rows(start_utc, end_utc, frequency_hz, mode, max_signal, comment) "
            "VALUES(?1, ?2, ?3, 'NFM', 5, ?4)");
        insert.bind(1, start).bind(2, end).bind(3, hz).bind(4, comment);
        ASSERT_EQ(insert.step(), 101 /* SQLITE_DONE */);
        if (recording) {
            Statement r = store_->prepare("INSERT INTO recordings VALUES(?1, ?2, ?3)");
            r.bind(1, hz).bind(2, start).bind(3, std::string_view(recording));
            ASSERT_EQ(r.step(), 101);
        }
    }
    std::vector<std::int64_t> starts(const HitFilter& filter) const {
        std::vector<std::int64_t> out;
        HistoryQuery(*store_).forEach(filter, [&](const HitRow& row) {
            out.push_back(row.startUtc);
            return true;
        });
        return out;
    }
    std::filesystem::path folder_;
    std::unique_ptr<HistoryDatabase> store_;
};

TEST_F(HistoryQueryTest, PagesRunNewestFirstAndMeetWithoutGapOrRepeatOnEqualTimes) {
    for (int i = 0; i < 7; ++i)
        hit(1000 + (i / 3) * 10, 1005 + (i / 3) * 10, 145000000 + i);
    hit(2000, 2004, 118100000, "ATC", "/rec/a.flac");
    HistoryQuery query(*store_);
    std::vector<HitRow> all;
    std::optional<HitCursor> cursor;
    for (int guard = 0; guard < 10; ++guard) {
        const auto rows = query.page({}, cursor, 3);
        all.insert(all.end(), rows.begin(), rows.end());
        if (rows.size() < 3)
            break;
        cursor = HitCursor{rows.back().startUtc, rows.back().id};
    }
    ASSERT_EQ(all.size(), 8u);
    EXPECT_EQ(all.front().recording, "/rec/a.flac");
    EXPECT_EQ(all.front().durationSeconds(), 4);
    EXPECT_FALSE(all.back().recording);
    for (std::size_t i = 1; i < all.size(); ++i) {
        EXPECT_TRUE(all[i - 1].startUtc > all[i].startUtc ||
                    (all[i - 1].startUtc == all[i].startUtc && all[i - 1].id > all[i].id))
            << i;
    }
    EXPECT_EQ(query.count({}), 8);
}

TEST_F(HistoryQueryTest, FiltersByFrequencyRangeTextAndDates) {
    hit(100, 101, 145500000, "Tower");
    hit(200, 201, 145500000, "100% duty");
    hit(300, 301, 146000000, "tower east");
    hit(400, 401, 150000000, "Ground");
    struct Case {
        const char* name;
        HitFilter filter;
        std::vector<std::int64_t> expected;
    };
    const std::vector<Case> cases{
        {"one frequency", where(145500000, 145500000), {200, 100}},
        {"range", where(145500000, 146000000), {300, 200, 100}},
        {"from only", where(146000000, std::nullopt), {400, 300}},
        {"text in any case", where(Hz{}, Hz{}, "TOWER"), {300, 100}},
        {"percent is literal", where(Hz{}, Hz{}, "0%"), {200}},
        {"underscore is literal", where(Hz{}, Hz{}, "_"), {}},
        {"dates half open", where(Hz{}, Hz{}, "", 200, 400), {300, 200}},
        {"all together", where(145000000, 147000000, "tower", 150, 1000), {300}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(starts(c.filter), c.expected) << c.name;
        EXPECT_EQ(HistoryQuery(*store_).count(c.filter),
                  static_cast<std::int64_t>(c.expected.size()))
            << c.name;
    }
}

TEST_F(HistoryQueryTest, DaysFollowLocalMidnightAndSplitAirtimeOverHoursAndDays) {
    // +2 h: 21:30 UTC on the 1st is 23:30 local; the hit runs to 00:30 local
    // on the 2nd, so each local day gets half an hour.
    hit(kMarch1 + 21 * kHour + 1800, kMarch1 + 22 * kHour + 1800, 145500000);
    // 23:00 UTC on the 1st is 01:00 local on the 2nd.
    hit(kMarch1 + 23 * kHour, kMarch1 + 23 * kHour + 60, 145500000);
    hit(kMarch1 + 23 * kHour, kMarch1 + 23 * kHour + 60, 118000000); // another frequency
    const HitFilter filter = where(145500000, 145500000);
    const auto days = HistoryQuery(*store_).activityByDay(filter, kMarch1 - 2 * kHour,
                                                          kMarch1 - 2 * kHour + 3 * kDay, kPlusTwo);
    ASSERT_EQ(days.size(), 3u);
    EXPECT_EQ(days[0].dayStartUtc, kMarch1 - 2 * kHour);
    EXPECT_EQ(days[0].hits, 1);
    EXPECT_EQ(days[0].airtimeSeconds, 1800);
    EXPECT_EQ(days[0].airtimeByHour[23], 1800);
    EXPECT_EQ(days[1].hits, 1);
    EXPECT_EQ(days[1].airtimeSeconds, 1800 + 60);
    EXPECT_EQ(days[1].airtimeByHour[0], 1800);
    EXPECT_EQ(days[1].airtimeByHour[1], 60);
    EXPECT_EQ(days[2].hits, 0);
    EXPECT_EQ(days[2].airtimeSeconds, 0);
}

TEST_F(HistoryQueryTest, ADayWithAChangeOfClocksHasItsOwnLength) {
    // Clocks go forward from +1 h to +2 h at 01:00 UTC on the 2nd: that day
    // is 23 hours long and the next starts at 22:00 UTC.
    const std::int64_t change = kMarch1 + kDay + kHour;
    const UtcOffsetAt offset = [change](std::int64_t utc) {
        return utc < change ? kHour : 2 * kHour;
    };
    hit(change + 30 * 60, change + 31 * 60, 145500000); // 03:30 local
    const auto days = HistoryQuery(*store_).activityByDay({}, kMarch1, kMarch1 + 3 * kDay, offset);
    ASSERT_GE(days.size(), 3u);
    EXPECT_EQ(days[1].dayStartUtc, kMarch1 + kDay - kHour);
    EXPECT_EQ(days[2].dayStartUtc, kMarch1 + 2 * kDay - 2 * kHour);
    EXPECT_EQ(days[1].airtimeByHour[3], 60);
    EXPECT_EQ(localDayStart(change + 5 * kHour, offset), kMarch1 + kDay - kHour);
}

TEST_F(HistoryQueryTest, BusiestByAirtimeMarksOnlyFrequenciesFirstHeardThisWeek) {
    const std::int64_t now = kMarch1 + 30 * kDay;
    hit(now - 20 * kDay, now - 20 * kDay + 10, 145500000); // heard long ago
    hit(now - kDay, now - kDay + 100, 145500000);
    hit(now - 2 * kDay, now - 2 * kDay + 300, 118100000); // first heard this week
    hit(now - 3 * kDay, now - 3 * kDay + 50, 150000000);
    HitFilter lastWeek;
    lastWeek.fromUtc = now - 7 * kDay;
    const auto busy = HistoryQuery(*store_).busiest(lastWeek, 2, now);
    ASSERT_EQ(busy.size(), 2u);
    EXPECT_EQ(busy[0].frequencyHz, 118100000);
    EXPECT_EQ(busy[0].airtimeSeconds, 300);
    EXPECT_TRUE(busy[0].isNew);
    EXPECT_EQ(busy[1].frequencyHz, 145500000);
    EXPECT_EQ(busy[1].airtimeSeconds, 100); // only what falls in the filter
    EXPECT_FALSE(busy[1].isNew);            // but first heard before the week
}

TEST_F(HistoryQueryTest, CsvQuotesCommentsAndKeepsEveryRow) {
    hit(kMarch1, kMarch1 + 12, 145500000, "Tower, \"east\"", "/rec/a b.flac");
    hit(kMarch1 + 60, kMarch1 + 61, 118100000, "Ground");
    std::ostringstream csv;
    writeHitsCsv(HistoryQuery(*store_), {}, csv, kPlusTwo);
    EXPECT_EQ(csv.str(),
              "time_local,start_utc,end_utc,frequency_mhz,mode,duration_s,max_signal,comment,"
              "recording\r\n"
              "2024-03-01 02:01:00,1709251260,1709251261,118.100000,NFM,1,5,Ground,\r\n"
              "2024-03-01 02:00:00,1709251200,1709251212,145.500000,NFM,12,5,"
              "\"Tower, \"\"east\"\"\",/rec/a b.flac\r\n");
}

// A comment a spreadsheet would run as a formula is written as text, quoted
// as any other cell when it needs to be.
TEST_F(HistoryQueryTest, CsvWritesCommentsThatReadAsFormulasAsText) {
    hit(kMarch1, kMarch1 + 1, 145500000, "=cmd|' /C calc'!A0");
    hit(kMarch1 + 60, kMarch1 + 61, 145500000, "+SUM(A1, A2)");
    hit(kMarch1 + 120, kMarch1 + 121, 145500000, "-5 dB, east");
    std::ostringstream csv;
    writeHitsCsv(HistoryQuery(*store_), {}, csv, kPlusTwo);
    EXPECT_EQ(csv.str().substr(csv.str().find("\r\n") + 2),
              "2024-03-01 02:02:00,1709251320,1709251321,145.500000,NFM,1,5,\"'-5 dB, east\",\r\n"
              "2024-03-01 02:01:00,1709251260,1709251261,145.500000,NFM,1,5,\"'+SUM(A1, A2)\",\r\n"
              "2024-03-01 02:00:00,1709251200,1709251201,145.500000,NFM,1,5,'=cmd|' /C "
              "calc'!A0,\r\n");
}

// A page further down and the busiest list over a span must each go straight
// to their rows by an index: walking the whole table for every page made
// reading a million hits take minutes.
TEST_F(HistoryQueryTest, PagesAndBusiestSearchAnIndexInsteadOfScanningTheTable) {
    const HitCursor after{kMarch1, 7};
    struct Case {
        const char* what;
        std::string sql;
        const char* search;
    };
    const Case cases[] = {
        {"next page", HistoryQuery::pageStatement({}, after),
         "USING INDEX hit_rows_by_start (start_utc<?)"},
        {"next page of a text", HistoryQuery::pageStatement(where({}, {}, "tower"), after),
         "USING INDEX hit_rows_by_start (start_utc<?)"},
        {"next page of a frequency",
         HistoryQuery::pageStatement(where(145500000, 145500000), after),
         "USING INDEX hit_rows_by_frequency (frequency_hz=? AND start_utc<?)"},
        {"busiest since a date", HistoryQuery::busiestStatement(where({}, {}, "", kMarch1)),
         "USING INDEX hit_rows_by_start (start_utc>?)"},
    };
    for (const Case& c : cases) {
        Statement plan = store_->prepare("EXPLAIN QUERY PLAN " + c.sql);
        ASSERT_TRUE(plan.valid()) << c.what;
        std::string steps;
        while (plan.step() == 100 /* SQLITE_ROW */)
            steps += plan.text(3) + "\n";
        EXPECT_NE(steps.find(c.search), std::string::npos) << c.what << ":\n" << steps;
        EXPECT_EQ(steps.find("SCAN "), std::string::npos) << c.what << ":\n" << steps;
    }
}

TEST(MegahertzTextTest, ReadsAFrequencyOrARangeInEitherOrder) {
    struct Case {
        const char* text;
        bool ok;
        std::int64_t low, high;
    };
    for (const Case& c :
         {Case{"145.5", true, 145500000, 145500000},
          Case{" 118.1 - 137 ", true, 118100000, 137000000},
          Case{"146-145", true, 145000000, 146000000}, Case{"0.1", true, 100000, 100000},
          Case{"", false, 0, 0}, Case{"abc", false, 0, 0}, Case{"145.5-", false, 0, 0},
          Case{"-5", false, 0, 0}}) {
        std::optional<std::int64_t> low, high;
        EXPECT_EQ(parseMegahertzRange(c.text, low, high), c.ok) << c.text;
        if (c.ok) {
            EXPECT_EQ(low, c.low) << c.text;
            EXPECT_EQ(high, c.high) << c.text;
        }
    }
    EXPECT_EQ(formatLocalTime(0, kUtc), "1970-01-01 00:00:00");
    EXPECT_EQ(formatLocalTime(951782400 + 3661, kUtc), "2000-02-29 01:01:01");
}

} // namespace
} // namespace kovo::history
