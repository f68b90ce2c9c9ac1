#include "HistoryCommand.h"

#include "history/HistoryQuery.h"

#include <nlohmann/json.hpp>

#include <cstdio>
#include <ctime>
#include <filesystem>
#include <ostream>
#include <streambuf>

namespace kovoctl {

namespace {

using kovo::history::HitFilter;
using kovo::history::HitRow;

enum class Form { Table, Csv, Json };

// An output stream's buffer that writes to a C file.
class FileBuffer : public std::streambuf {
public:
    explicit FileBuffer(std::FILE* file) : file_(file) {}

protected:
    int_type overflow(int_type c) override {
        if (traits_type::eq_int_type(c, traits_type::eof()))
            return traits_type::not_eof(c);
        return std::fputc(c, file_) == EOF ? traits_type::eof() : c;
    }
    std::streamsize xsputn(const char* text, std::streamsize size) override {
        return static_cast<std::streamsize>(
            std::fwrite(text, 1, static_cast<std::size_t>(size), file_));
    }

private:
    std::FILE* file_;
};

int usage(std::FILE* err, const std::string& message) {
    std::fprintf(err, "kovoctl: history: %s\n", message.c_str());
    return 2;
}

// Local civil time to UTC, the zone's rules (daylight saving) included.
std::int64_t localToUtc(int year, int month, int day, int hour, int minute, int second) {
    std::tm local{};
    local.tm_year = year - 1900;
    local.tm_mon = month - 1;
    local.tm_mday = day;
    local.tm_hour = hour;
    local.tm_min = minute;
    local.tm_sec = second;
    local.tm_isdst = -1;
    return static_cast<std::int64_t>(std::mktime(&local));
}

std::int64_t civilToUtc(int year, int month, int day, int hour, int minute, int second) {
    std::tm utc{};
    utc.tm_year = year - 1900;
    utc.tm_mon = month - 1;
    utc.tm_mday = day;
    utc.tm_hour = hour;
    utc.tm_min = minute;
    utc.tm_sec = second;
    return static_cast<std::int64_t>(timegm(&utc));
}

void printTable(const kovo::history::HistoryQuery& query, const HitFilter& filter, std::FILE* out) {
    std::fprintf(out, "%-19s  %14s  %-4s  %8s  %6s  %-24s  %s\n", "Time", "MHz", "Mode", "Duration",
                 "Signal", "Comment", "Recording");
    query.forEach(filter, [&](const HitRow& hit) {
        std::fprintf(
            out, "%-19s  %14s  %-4s  %8lld  %6lld  %-24s  %s\n",
            kovo::history::formatLocalTime(hit.startUtc, kovo::history::localUtcOffset).c_str(),
            kovo::history::formatMegahertz(hit.frequencyHz).c_str(), hit.mode.c_str(),
            static_cast<long long>(hit.durationSeconds()), static_cast<long long>(hit.maxSignal),
            hit.comment.c_str(), hit.recording.value_or("-").c_str());
        return !std::ferror(out);
    });
}

void printJson(const kovo::history::HistoryQuery& query, const HitFilter& filter, std::FILE* out) {
    std::fputs("[", out);
    bool first = true;
    query.forEach(filter, [&](const HitRow& hit) {
        nlohmann::ordered_json row{{"start_utc", hit.startUtc},
                                   {"end_utc", hit.endUtc},
                                   {"frequency_hz", hit.frequencyHz},
                                   {"mode", hit.mode},
                                   {"max_signal", hit.maxSignal},
                                   {"comment", hit.comment},
                                   {"recording", nullptr}};
        if (hit.recording)
            row["recording"] = *hit.recording;
        const std::string text =
            row.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace);
        std::fprintf(out, "%s\n  %s", first ? "" : ",", text.c_str());
        first = false;
        return !std::ferror(out);
    });
    std::fputs(first ? "]\n" : "\n]\n", out);
}

} // namespace

std::optional<std::int64_t> parseHistoryDate(const std::string& text, bool endOfDay) {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0, used = 0;
    if (std::sscanf(text.c_str(), "%4d-%2d-%2d%n", &year, &month, &day, &used) != 3 || used != 10 ||
        month < 1 || month > 12 || day < 1 || day > 31)
        return std::nullopt;
    if (text.size() == 10)
        return localToUtc(year, month, day + (endOfDay ? 1 : 0), 0, 0, 0);
    std::string rest = text.substr(10);
    if (rest.front() != 'T' && rest.front() != ' ')
        return std::nullopt;
    used = 0;
    if (std::sscanf(rest.c_str() + 1, "%2d:%2d%n", &hour, &minute, &used) != 2 || used != 5)
        return std::nullopt;
    rest = rest.substr(6);
    if (rest.size() >= 3 && rest.front() == ':') {
        if (std::sscanf(rest.c_str() + 1, "%2d%n", &second, &used) != 1 || used != 2)
            return std::nullopt;
        rest = rest.substr(3);
    }
    if (hour > 23 || minute > 59 || second > 60)
        return std::nullopt;
    if (rest.empty())
        return localToUtc(year, month, day, hour, minute, second);
    const std::int64_t civil = civilToUtc(year, month, day, hour, minute, second);
    if (rest == "Z")
        return civil;
    int zoneHours = 0, zoneMinutes = 0;
    used = 0;
    if ((rest.front() == '+' || rest.front() == '-') &&
        std::sscanf(rest.c_str() + 1, "%2d:%2d%n", &zoneHours, &zoneMinutes, &used) == 2 &&
        used == 5 && rest.size() == 6) {
        const std::int64_t east = zoneHours * 3600 + zoneMinutes * 60;
        return civil - (rest.front() == '+' ? east : -east);
    }
    return std::nullopt;
}

int historyCommand(const std::vector<std::string>& args, std::FILE* out, std::FILE* err) {
    HitFilter filter;
    Form form = Form::Table;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& option = args[i];
        if (option == "--csv" || option == "--json") {
            form = option == "--csv" ? Form::Csv : Form::Json;
            continue;
        }
        if (i + 1 >= args.size())
            return usage(err, option + " needs a value");
        const std::string& value = args[++i];
        if (option == "--from" || option == "--to") {
            const auto utc = parseHistoryDate(value, option == "--to");
            if (!utc)
                return usage(err, "\"" + value + "\" is not a date (YYYY-MM-DD or ISO 8601)");
            (option == "--from" ? filter.fromUtc : filter.toUtc) = *utc;
        } else if (option == "--freq") {
            if (!kovo::history::parseMegahertzRange(value, filter.lowHz, filter.highHz))
                return usage(err, "\"" + value + "\" is not a frequency in MHz or a range MHZ-MHZ");
        } else {
            return usage(err, "unknown option " + option);
        }
    }
    const std::string path = kovo::history::defaultHistoryPath();
    std::error_code ec;
    if (!std::filesystem::exists(path, ec)) {
        std::fprintf(err, "kovoctl: there is no hit history at %s\n", path.c_str());
        return 1;
    }
    kovo::history::StoreError error;
    const auto store = kovo::history::HistoryDatabase::open(path, error);
    if (!store) {
        std::fprintf(err, "kovoctl: %s\n", error.message.c_str());
        return 1;
    }
    const kovo::history::HistoryQuery query(*store);
    if (form == Form::Csv) {
        // Straight to the file: the store may hold millions of hits.
        FileBuffer buffer(out);
        std::ostream csv(&buffer);
        kovo::history::writeHitsCsv(query, filter, csv, kovo::history::localUtcOffset);
    } else if (form == Form::Json) {
        printJson(query, filter, out);
    } else {
        printTable(query, filter, out);
    }
    if (std::fflush(out) != 0 || std::ferror(out)) {
        std::fprintf(err, "kovoctl: cannot write the hits\n");
        return 1;
    }
    return 0;
}

} // namespace kovoctl
