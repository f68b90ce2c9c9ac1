#pragma once
#include "HistoryDatabase.h"

#include <array>
#include <cstdint>
#include <functional>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

namespace kovo::history {

// Which hits to show: a frequency or a range (inclusive, Hz), text found in
// the comment (any case of ASCII letters), and a span of start times
// [fromUtc, toUtc). Empty parts let every hit through.
struct HitFilter {
    std::optional<std::int64_t> lowHz;
    std::optional<std::int64_t> highHz;
    std::string text;
    std::optional<std::int64_t> fromUtc;
    std::optional<std::int64_t> toUtc;
};

// One transmission as the store keeps it.
struct HitRow {
    std::int64_t id = 0;
    std::int64_t startUtc = 0;
    std::int64_t endUtc = 0;
    std::int64_t frequencyHz = 0;
    std::string mode;
    std::int64_t maxSignal = 0;
    std::string comment;
    std::optional<std::string> recording;
    std::int64_t durationSeconds() const { return endUtc > startUtc ? endUtc - startUtc : 0; }
};

// Where the next page starts: after this hit in newest-first order.
struct HitCursor {
    std::int64_t startUtc = 0;
    std::int64_t id = 0;
};

// Seconds east of UTC of the local time at a UTC instant.
using UtcOffsetAt = std::function<std::int64_t(std::int64_t utc)>;
// The offset of this process's time zone (TZ), daylight saving included.
std::int64_t localUtcOffset(std::int64_t utc);

// One local calendar day of the filtered hits: how many began that day, the
// seconds on air, and the seconds on air in each local hour. A transmission
// that runs over midnight or over an hour counts its airtime where it fell.
struct DayActivity {
    std::int64_t dayStartUtc = 0; // local midnight, as UTC
    std::int64_t hits = 0;
    std::int64_t airtimeSeconds = 0;
    std::array<std::int64_t, 24> airtimeByHour{};
};

// A frequency among the busiest: total airtime and hits in the filter's span,
// and whether it was first heard (ever, in the whole store) in the last week.
struct BusyFrequency {
    std::int64_t frequencyHz = 0;
    std::int64_t airtimeSeconds = 0;
    std::int64_t hits = 0;
    std::int64_t firstHeardUtc = 0;
    bool isNew = false;
};

// Reads the hit history on the connection it is given; never writes. Every
// query is bounded by the filter and an index, so the first page of a store
// with millions of hits comes at once.
class HistoryQuery {
public:
    explicit HistoryQuery(const HistoryDatabase& store) : store_(store) {}

    // Up to `limit` hits newest first, after `after` when given.
    std::vector<HitRow> page(const HitFilter& filter, std::optional<HitCursor> after,
                             int limit) const;
    // Every filtered hit, newest first, handed to `row` a page at a time so
    // that no more than a page is held; stops when `row` returns false.
    void forEach(const HitFilter& filter, const std::function<bool(const HitRow&)>& row) const;
    std::int64_t count(const HitFilter& filter) const;
    // The highest row id in the store (0 when empty): it changes whenever a
    // hit is added, at no cost whatever the filter.
    std::int64_t newestId() const;

    // The local days from the day of `fromUtc` to the day before `toUtc`'s
    // end, each with its activity (days without hits included, with zeros).
    // The filter's own date span is narrowed to [fromUtc, toUtc).
    std::vector<DayActivity> activityByDay(const HitFilter& filter, std::int64_t fromUtc,
                                           std::int64_t toUtc, const UtcOffsetAt& offset) const;

    // The `limit` frequencies with the most airtime among the filtered hits;
    // "new" when first heard at or after `nowUtc` less seven days.
    std::vector<BusyFrequency> busiest(const HitFilter& filter, int limit,
                                       std::int64_t nowUtc) const;

    // The SQL that page() and busiest() run, with `?` for every value, so
    // that their plans can be checked.
    static std::string pageStatement(const HitFilter& filter, std::optional<HitCursor> after);
    static std::string busiestStatement(const HitFilter& filter);

    // The last error of the connection, for a failed query.
    StoreError lastError() const { return store_.lastError("The hit history cannot be read"); }

private:
    const HistoryDatabase& store_;
};

// The start of the local day that holds `utc`, as UTC.
std::int64_t localDayStart(std::int64_t utc, const UtcOffsetAt& offset);

// "YYYY-MM-DD HH:MM:SS" in local time (by `offset`).
std::string formatLocalTime(std::int64_t utc, const UtcOffsetAt& offset);
// Hertz as megahertz with six decimals: "145.500000".
std::string formatMegahertz(std::int64_t hz);
// Megahertz as typed ("145.5", "145.5-146"): a frequency or an inclusive
// range in hertz; false for anything else.
bool parseMegahertzRange(std::string_view text, std::optional<std::int64_t>& lowHz,
                         std::optional<std::int64_t>& highHz);

// The filtered hits as CSV (RFC 4180, UTF-8, a header line), streamed.
void writeHitsCsv(const HistoryQuery& query, const HitFilter& filter, std::ostream& out,
                  const UtcOffsetAt& offset);

} // namespace kovo::history
