#include "HistoryQuery.h"

#include "data/SpreadsheetCells.h"
#include "data/TypedFrequency.h"

#include <sqlite3.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <limits>
#include <ostream>

namespace kovo::history {

namespace {

constexpr std::int64_t kDay = 86400;
constexpr std::int64_t kHour = 3600;
constexpr std::int64_t kWeek = 7 * kDay;
constexpr int kStreamPage = 2000;
constexpr std::int64_t kSlot = 900;

// A WHERE clause for a filter and the values it binds, in order.
struct FilterSql {
    std::string where;
    std::vector<std::int64_t> numbers;
    std::optional<std::string> pattern; // bound after the numbers

    void add(const std::string& clause) { where += (where.empty() ? " WHERE " : " AND ") + clause; }
    int bindAll(Statement& statement) const {
        int index = 1;
        for (const std::int64_t value : numbers)
            statement.bind(index++, value);
        if (pattern)
            statement.bind(index++, *pattern);
        return index;
    }
};

std::string likePattern(const std::string& text) {
    std::string pattern = "%";
    for (const char c : text) {
        if (c == '%' || c == '_' || c == '\\')
            pattern += '\\';
        pattern += c;
    }
    return pattern + "%";
}

FilterSql filterSql(const HitFilter& filter) {
    FilterSql sql;
    if (filter.lowHz && filter.highHz && *filter.lowHz == *filter.highHz) {
        sql.add("frequency_hz = ?");
        sql.numbers.push_back(*filter.lowHz);
    } else {
        if (filter.lowHz) {
            sql.add("frequency_hz >= ?");
            sql.numbers.push_back(*filter.lowHz);
        }
        if (filter.highHz) {
            sql.add("frequency_hz <= ?");
            sql.numbers.push_back(*filter.highHz);
        }
    }
    if (filter.fromUtc) {
        sql.add("start_utc >= ?");
        sql.numbers.push_back(*filter.fromUtc);
    }
    if (filter.toUtc) {
        sql.add("start_utc < ?");
        sql.numbers.push_back(*filter.toUtc);
    }
    if (!filter.text.empty()) {
        sql.add("comment LIKE ? ESCAPE '\\'");
        sql.pattern = likePattern(filter.text);
    }
    return sql;
}

HitRow readRow(const Statement& rows) {
    HitRow row;
    row.id = rows.integer(0);
    row.startUtc = rows.integer(1);
    row.endUtc = rows.integer(2);
    row.frequencyHz = rows.integer(3);
    row.mode = rows.text(4);
    row.maxSignal = rows.integer(5);
    row.comment = rows.text(6);
    if (!rows.isNull(7))
        row.recording = rows.text(7);
    return row;
}

std::int64_t floorDiv(std::int64_t a, std::int64_t b) {
    return a >= 0 ? a / b : -((-a + b - 1) / b);
}

// Clocks change on a quarter hour, so one look-up per quarter hour of hits
// is enough; rows come in time order and mostly hit the last slot asked.
class OffsetCache {
public:
    explicit OffsetCache(const UtcOffsetAt& offset) : offset_(offset) {}
    std::int64_t at(std::int64_t utc) {
        const std::int64_t slot = floorDiv(utc, kSlot);
        if (slot != slot_) {
            slot_ = slot;
            value_ = offset_(slot * kSlot);
        }
        return value_;
    }

private:
    const UtcOffsetAt& offset_;
    std::int64_t slot_ = std::numeric_limits<std::int64_t>::min();
    std::int64_t value_ = 0;
};

// Stored text as one CSV cell: guarded so that a spreadsheet does not run it
// as a formula, and quoted when it holds a separator, a quote or a line end.
void csvField(std::ostream& out, std::string_view stored) {
    const std::string text = guardedCell(stored, mayReadAsFormula);
    if (text.find_first_of(",\"\r\n") == std::string::npos) {
        out << text;
        return;
    }
    out << '"';
    for (const char c : text) {
        if (c == '"')
            out << '"';
        out << c;
    }
    out << '"';
}

FilterSql pageFilter(const HitFilter& filter, std::optional<HitCursor> after) {
    FilterSql sql = filterSql(filter);
    if (after) {
        // The first term bounds the index range; the rest breaks ties.
        sql.add("start_utc <= ? AND (start_utc < ? OR id < ?)");
        sql.numbers.insert(sql.numbers.end(), {after->startUtc, after->startUtc, after->id});
    }
    return sql;
}

std::string pageSql(const FilterSql& sql) {
    return "SELECT id, start_utc, end_utc, frequency_hz, mode, max_signal, comment, recording "
           "FROM hits" +
           sql.where + " ORDER BY start_utc DESC, id DESC LIMIT ?";
}

std::string busiestSql(const HitFilter& filter, const FilterSql& sql) {
    // Over a span of dates the hits are found by time and grouped afterwards;
    // SQLite would otherwise walk the frequency index through every hit ever
    // stored to save the grouping.
    const char* groupBy = filter.fromUtc ? " GROUP BY +frequency_hz" : " GROUP BY frequency_hz";
    return "SELECT frequency_hz, SUM(MAX(end_utc - start_utc, 0)) AS airtime, COUNT(*) FROM "
           "hit_rows" +
           sql.where + groupBy + " ORDER BY airtime DESC, frequency_hz LIMIT ?";
}

} // namespace

std::string HistoryQuery::pageStatement(const HitFilter& filter, std::optional<HitCursor> after) {
    return pageSql(pageFilter(filter, after));
}

std::string HistoryQuery::busiestStatement(const HitFilter& filter) {
    return busiestSql(filter, filterSql(filter));
}

std::int64_t localUtcOffset(std::int64_t utc) {
    const std::time_t t = static_cast<std::time_t>(utc);
    std::tm local{};
    localtime_r(&t, &local);
    return local.tm_gmtoff;
}

std::int64_t localDayStart(std::int64_t utc, const UtcOffsetAt& offset) {
    const std::int64_t off = offset(utc);
    const std::int64_t midnightLocal = floorDiv(utc + off, kDay) * kDay;
    // The offset at midnight may differ from the offset now (a change of
    // clocks that day): take midnight's own.
    return midnightLocal - offset(midnightLocal - off);
}

std::vector<HitRow> HistoryQuery::page(const HitFilter& filter, std::optional<HitCursor> after,
                                       int limit) const {
    FilterSql sql = pageFilter(filter, after);
    Statement rows = store_.prepare(pageSql(sql));
    const int next = sql.bindAll(rows);
    rows.bind(next, static_cast<std::int64_t>(std::max(limit, 0)));
    std::vector<HitRow> out;
    out.reserve(static_cast<std::size_t>(std::max(limit, 0)));
    while (rows.step() == SQLITE_ROW)
        out.push_back(readRow(rows));
    return out;
}

void HistoryQuery::forEach(const HitFilter& filter,
                           const std::function<bool(const HitRow&)>& row) const {
    std::optional<HitCursor> cursor;
    for (;;) {
        const std::vector<HitRow> rows = page(filter, cursor, kStreamPage);
        for (const HitRow& hit : rows)
            if (!row(hit))
                return;
        if (rows.size() < static_cast<std::size_t>(kStreamPage))
            return;
        cursor = HitCursor{rows.back().startUtc, rows.back().id};
    }
}

std::int64_t HistoryQuery::count(const HitFilter& filter) const {
    const FilterSql sql = filterSql(filter);
    Statement rows = store_.prepare("SELECT COUNT(*) FROM hit_rows" + sql.where);
    sql.bindAll(rows);
    return rows.step() == SQLITE_ROW ? rows.integer(0) : 0;
}

std::int64_t HistoryQuery::newestId() const {
    Statement rows = store_.prepare("SELECT MAX(id) FROM hit_rows");
    return rows.step() == SQLITE_ROW ? rows.integer(0) : 0;
}

std::vector<DayActivity> HistoryQuery::activityByDay(const HitFilter& filter, std::int64_t fromUtc,
                                                     std::int64_t toUtc,
                                                     const UtcOffsetAt& offset) const {
    std::vector<DayActivity> days;
    if (toUtc <= fromUtc)
        return days;
    OffsetCache offsets(offset);
    const UtcOffsetAt cached = [&offsets](std::int64_t utc) { return offsets.at(utc); };
    for (std::int64_t day = localDayStart(fromUtc, cached); day < toUtc;) {
        days.push_back(DayActivity{day});
        // Noon of the day plus a day lands in the next day whatever the clocks do.
        day = localDayStart(day + kDay + kDay / 2, cached);
    }
    HitFilter span = filter;
    span.fromUtc = std::max(filter.fromUtc.value_or(fromUtc), fromUtc);
    span.toUtc = std::min(filter.toUtc.value_or(toUtc), toUtc);
    const FilterSql sql = filterSql(span);
    Statement rows = store_.prepare("SELECT start_utc, end_utc FROM hit_rows" + sql.where +
                                    " ORDER BY start_utc");
    sql.bindAll(rows);
    auto dayOf = [&days](std::int64_t utc) -> DayActivity* {
        const auto after = std::upper_bound(
            days.begin(), days.end(), utc,
            [](std::int64_t t, const DayActivity& day) { return t < day.dayStartUtc; });
        return after == days.begin() ? nullptr : &*(after - 1);
    };
    while (rows.step() == SQLITE_ROW) {
        const std::int64_t start = rows.integer(0);
        const std::int64_t end = std::min(std::max(rows.integer(1), start), toUtc);
        if (DayActivity* day = dayOf(start))
            ++day->hits;
        // Airtime goes to each local hour it falls in, up to the span's end.
        for (std::int64_t t = start; t < end;) {
            const std::int64_t local = t + offsets.at(t);
            const std::int64_t piece =
                std::min(t + floorDiv(local, kHour) * kHour + kHour - local, end) - t;
            if (DayActivity* day = dayOf(t)) {
                const std::int64_t sinceMidnight =
                    local - (day->dayStartUtc + offsets.at(day->dayStartUtc));
                const auto hour = static_cast<std::size_t>(
                    std::clamp<std::int64_t>(floorDiv(sinceMidnight, kHour), 0, 23));
                day->airtimeSeconds += piece;
                day->airtimeByHour[hour] += piece;
            }
            t += piece;
        }
    }
    return days;
}

std::vector<BusyFrequency> HistoryQuery::busiest(const HitFilter& filter, int limit,
                                                 std::int64_t nowUtc) const {
    const FilterSql sql = filterSql(filter);
    Statement rows = store_.prepare(busiestSql(filter, sql));
    rows.bind(sql.bindAll(rows), static_cast<std::int64_t>(std::max(limit, 0)));
    std::vector<BusyFrequency> out;
    while (rows.step() == SQLITE_ROW)
        out.push_back({rows.integer(0), rows.integer(1), rows.integer(2)});
    Statement first = store_.prepare("SELECT MIN(start_utc) FROM hit_rows WHERE frequency_hz = ?1");
    for (BusyFrequency& busy : out) {
        first.reset();
        first.bind(1, busy.frequencyHz);
        if (first.step() == SQLITE_ROW)
            busy.firstHeardUtc = first.integer(0);
        busy.isNew = busy.firstHeardUtc >= nowUtc - kWeek;
    }
    return out;
}

std::string formatLocalTime(std::int64_t utc, const UtcOffsetAt& offset) {
    const std::int64_t local = utc + offset(utc);
    const std::int64_t days = floorDiv(local, kDay);
    const std::int64_t seconds = local - days * kDay;
    // Civil date from a day count (days since 1970-01-01).
    const std::int64_t z = days + 719468;
    const std::int64_t era = floorDiv(z, 146097);
    const std::int64_t doe = z - era * 146097;
    const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const std::int64_t mp = (5 * doy + 2) / 153;
    const std::int64_t d = doy - (153 * mp + 2) / 5 + 1;
    const std::int64_t m = mp < 10 ? mp + 3 : mp - 9;
    const std::int64_t y = yoe + era * 400 + (m <= 2 ? 1 : 0);
    char text[128];
    std::snprintf(text, sizeof text, "%04lld-%02lld-%02lld %02lld:%02lld:%02lld",
                  static_cast<long long>(y), static_cast<long long>(m), static_cast<long long>(d),
                  static_cast<long long>(seconds / kHour),
                  static_cast<long long>(seconds % kHour / 60),
                  static_cast<long long>(seconds % 60));
    return text;
}

std::string formatMegahertz(std::int64_t hz) {
    char text[32];
    std::snprintf(text, sizeof text, "%lld.%06lld", static_cast<long long>(hz / 1000000),
                  static_cast<long long>(hz % 1000000));
    return text;
}

namespace {

std::optional<std::int64_t> megahertzToHz(std::string_view text) {
    if (const auto hz = parseTypedMegahertz(text, kAnyFrequency))
        return *hz;
    return std::nullopt;
}

} // namespace

bool parseMegahertzRange(std::string_view text, std::optional<std::int64_t>& lowHz,
                         std::optional<std::int64_t>& highHz) {
    const std::size_t dash = text.find('-');
    const auto low = megahertzToHz(text.substr(0, dash));
    const auto high = dash == std::string_view::npos ? low : megahertzToHz(text.substr(dash + 1));
    if (!low || !high)
        return false;
    lowHz = std::min(*low, *high);
    highHz = std::max(*low, *high);
    return true;
}

void writeHitsCsv(const HistoryQuery& query, const HitFilter& filter, std::ostream& out,
                  const UtcOffsetAt& offset) {
    out << "time_local,start_utc,end_utc,frequency_mhz,mode,duration_s,max_signal,comment,"
           "recording\r\n";
    query.forEach(filter, [&](const HitRow& hit) {
        out << formatLocalTime(hit.startUtc, offset) << ',' << hit.startUtc << ',' << hit.endUtc
            << ',' << formatMegahertz(hit.frequencyHz) << ',';
        csvField(out, hit.mode);
        out << ',' << hit.durationSeconds() << ',' << hit.maxSignal << ',';
        csvField(out, hit.comment);
        out << ',';
        csvField(out, hit.recording.value_or(""));
        out << "\r\n";
        return static_cast<bool>(out);
    });
}

} // namespace kovo::history
