#include "LogRing.h"

#include <algorithm>
#include <ctime>

namespace kovo {
namespace {

std::size_t at(int i) {
    return static_cast<std::size_t>(i);
}

struct HourAndWeekday {
    int hour;
    int weekday;
};
HourAndWeekday hourAndWeekday(std::int32_t seconds) {
    const std::time_t t = seconds;
    std::tm parts{};
    if (localtime_r(&t, &parts) == nullptr)
        return {0, 4}; // 1970-01-01 00:00 was a Thursday
    return {parts.tm_hour, parts.tm_wday};
}

} // namespace

LogAnalysis analyseLogAt(const DocumentContents& contents, int row) {
    const CLogData& analysed = contents.logEntry(row);
    LogAnalysis result;
    result.frequency = analysed.frequency;
    result.comment = analysed.comment;
    for (int r = 0; r < contents.logCount; ++r) {
        const CLogData& entry = contents.logEntry(r);
        if (entry.frequency != analysed.frequency)
            continue;
        ++result.sampleCount;
        for (std::int32_t seconds : {entry.firstHeard, entry.lastHeard}) {
            const HourAndWeekday t = hourAndWeekday(seconds);
            ++result.hourCounts[at(t.hour)];
            ++result.weekdayCounts[at(t.weekday)];
        }
    }
    result.largestHourCount = *std::max_element(result.hourCounts.begin(), result.hourCounts.end());
    result.largestWeekdayCount =
        *std::max_element(result.weekdayCounts.begin(), result.weekdayCounts.end());
    return result;
}

int LogRing::openLogEntry(const CFrequencyData& source, std::int32_t s) {
    DocumentContents& c = contents();
    int replaced = 0;
    int slot;
    if (c.logCount < kLogSlots) {
        slot = (c.logStart + c.logCount) % kLogSlots;
        ++c.logCount;
    } else {
        slot = c.logStart;
        c.logStart = (c.logStart + 1) % kLogSlots;
        replaced = 1;
    }
    const auto now = static_cast<std::int32_t>(clock().nowSeconds());
    CLogData& entry = c.logRing[at(slot)];
    entry.frequency = source.frequency;
    entry.comment = source.comment;
    entry.firstHeard = now;
    entry.lastHeard = now;
    entry.maxSignal = s;
    markModified();
    notify({DocumentChange::Kind::LogAppended, c.logCount - 1, -1, replaced == 1});
    return replaced;
}

int LogRing::updateNewestLogEntry(std::int32_t s) {
    DocumentContents& c = contents();
    if (c.logCount <= 0)
        return -1;
    CLogData& newest = c.logEntry(c.logCount - 1);
    const auto now = static_cast<std::int32_t>(clock().nowSeconds());
    if (newest.lastHeard == now && newest.maxSignal >= s)
        return -1;
    newest.lastHeard = now;
    if (s > newest.maxSignal)
        newest.maxSignal = s;
    markModified();
    notify(DocumentChange::Kind::LogUpdated, c.logCount - 1);
    return c.logCount - 1;
}

void LogRing::clearLog() {
    DocumentContents& c = contents();
    if (c.logCount != 0)
        markModified();
    c.logCount = 0;
    c.logStart = 0;
    analysis_.sampleCount = 0;
    notify(DocumentChange::Kind::LogCleared);
}

bool LogRing::analyseLog(int row) {
    if (row < 0 || row >= contents().logCount)
        return false;
    analysis_ = analyseLogAt(contents(), row);
    return true;
}

} // namespace kovo
