#pragma once
#include <array>
#include <cstdint>
#include <string>

#include "DocumentPart.h"

namespace kovo {

// How often one frequency of the log was heard, by hour of day and by
// weekday (Sunday = 0), local time.
struct LogAnalysis {
    std::uint32_t frequency = 0;
    std::string comment;
    std::array<int, 24> hourCounts{};
    std::array<int, 7> weekdayCounts{};
    int sampleCount = 0;
    int largestHourCount = 0;
    int largestWeekdayCount = 0;
};

// Counts every entry of the log at the frequency of entry `row`.
LogAnalysis analyseLogAt(const DocumentContents& contents, int row);

// The log: a ring of 5000 entries, the oldest replaced when it is full.
class LogRing : public DocumentPart {
public:
    using DocumentPart::DocumentPart;

    // Opens an entry for `source` (the record the receiver is tuned to); 1
    // when the oldest entry was replaced.
    int openLogEntry(const CFrequencyData& source, std::int32_t s);
    // Row of the newest entry, or -1 when nothing changed or the log is empty.
    int updateNewestLogEntry(std::int32_t s);
    void clearLog();

    // Analyses the frequency of log entry `row`; false (and the previous
    // result kept) when that row is not a log entry.
    bool analyseLog(int row);
    // The result of the last analysis; cleared with the log.
    LogAnalysis& logAnalysis() { return analysis_; }
    const LogAnalysis& logAnalysis() const { return analysis_; }

private:
    LogAnalysis analysis_;
};

} // namespace kovo
