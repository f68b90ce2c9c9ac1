#include "ui/database/DatabaseLines.h"

#include "data/CKovo5Doc.h"
#include "data/Cp932.h"
#include "data/DatabaseEdits.h"
#include "data/LocalTime.h"
#include "data/UiText.h"
#include "data/ValueTables.h"

#include <cstdio>
#include <string>

namespace kovo::dblines {
namespace {

constexpr std::uint32_t kMega = 1'000'000;
// The black diamond that stands in place of the priority channel's number.
constexpr const char* kPriorityMark = "\u25C6";
constexpr const char* kNeverHeard = "  -   - -- -- -- -- -- --";

std::size_t at(int i) {
    return static_cast<std::size_t>(i);
}

int mhz(std::uint32_t f) {
    return static_cast<int>(f / kMega);
}
int remainderHz(std::uint32_t f) {
    return static_cast<int>(f % kMega);
}

// A table label (ASCII) as a NUL-terminated string for printf.
std::string label(std::string_view text) {
    return std::string(text);
}

const char* useMark(bool on) {
    return on ? "\u25CB" : "  ";
}

QString withText(const char* formatted, const std::string& cp932) {
    QString s = QString::fromUtf8(formatted);
    if (!cp932.empty())
        s += QString::fromStdString(cp932ToUtf8(cp932));
    return s;
}

// "yy-mm-dd hh:mm:ss" with the year modulo 100.
std::string dateTime(std::int32_t seconds) {
    const LocalTime t = toLocalTime(seconds);
    char buf[40];
    std::snprintf(buf, sizeof buf, "%02d-%2d-%2d %02d:%02d:%02d", t.year % 100, t.month, t.day,
                  t.hour, t.minute, t.second);
    return buf;
}

std::string timeOfDay(std::int32_t seconds) {
    const LocalTime t = toLocalTime(seconds);
    char buf[24];
    std::snprintf(buf, sizeof buf, "%02d:%02d:%02d", t.hour, t.minute, t.second);
    return buf;
}

std::string signalField(const CFrequencyData& ch) {
    if (ch.heard == 0)
        return kNeverHeard;
    char buf[64];
    std::snprintf(buf, sizeof buf, "%3s %3s %s", label(signalLabel(ch.signal)).c_str(),
                  label(signalLabel(ch.maxSignal)).c_str(), dateTime(ch.heardTime).c_str());
    return buf;
}

QString bankLine(const CKovo5Doc& doc, int b) {
    const CMemoryBank& bank = doc.memoryBanks[at(b)];
    const int set = doc.controlParams.currentLinkSet;
    const bool used = set >= 0 && set < kLinkSetCount && bank.linkFlags[at(set)] != 0;
    const int count = doc.channelTable().channelCountPerBank()[at(b)];
    char buf[64];
    if (b == 0) {
        std::snprintf(buf, sizeof buf, " 0 %s  %4d Other", useMark(used), count);
        return QString::fromUtf8(buf);
    }
    if (b == kPassBank) {
        std::snprintf(buf, sizeof buf, "21 %s  %4d Pass Channel", useMark(used), count);
        return QString::fromUtf8(buf);
    }
    std::snprintf(buf, sizeof buf, "%2d %s  %4d ", b, useMark(used), count);
    return withText(buf, bank.name);
}

// Search banks and auto-mode ranges share one layout.
template <typename Range> QString settingsRangeLine(const Range& r, int row) {
    char buf[128];
    std::snprintf(buf, sizeof buf, "%2d %s %4d.%06d-%4d.%06d %7s %-3s %4s ", row + 1,
                  useMark(r.inUse != 0), mhz(r.startFrequency), remainderHz(r.startFrequency),
                  mhz(r.stopFrequency), remainderHz(r.stopFrequency),
                  uiText("StepNames", label(stepName(r.step)).c_str()).c_str(),
                  label(modeName(r.mode)).c_str(), label(attName(r.attenuator)).c_str());
    return withText(buf, r.comment);
}

QString passRangeLine(const CPassBank& r, int row) {
    char buf[96];
    std::snprintf(buf, sizeof buf, "%2d %s %4d.%06d-%4d.%06d  ", row + 1, useMark(r.inUse != 0),
                  mhz(r.lowFrequency), remainderHz(r.lowFrequency), mhz(r.highFrequency),
                  remainderHz(r.highFrequency));
    return withText(buf, r.comment);
}

QString searchStringLine(const std::string& text, int row) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%2d    ", row + 1);
    return withText(buf, text);
}

} // namespace

QString channelLine(const CFrequencyData& ch, int row) {
    const int bank = edits::firstBankOf(ch.bankMask);
    char bankField[24];
    std::snprintf(bankField, sizeof bankField, "%s%4d", std::string(bankGlyphUtf8(bank)).c_str(),
                  static_cast<int>(ch.bankNumber));
    char number[16];
    if (ch.priority != 0)
        std::snprintf(number, sizeof number, " %s ", kPriorityMark);
    else
        std::snprintf(number, sizeof number, "%4d", row + 1);
    char buf[160];
    std::snprintf(buf, sizeof buf, "%s%s %4d.%06d %-3s %s ", number, bankField, mhz(ch.frequency),
                  remainderHz(ch.frequency), label(modeName(ch.mode)).c_str(),
                  signalField(ch).c_str());
    return withText(buf, ch.comment);
}

QString logLine(const CKovo5Doc& doc, int row) {
    const CLogData& e = doc.logEntry(row);
    char buf[128];
    std::snprintf(buf, sizeof buf, "%5d.%06d %3s %s - %s ", mhz(e.frequency),
                  remainderHz(e.frequency), label(signalLabel(e.maxSignal)).c_str(),
                  dateTime(e.firstHeard).c_str(), timeOfDay(e.lastHeard).c_str());
    return withText(buf, e.comment);
}

int rowCount(const CKovo5Doc& doc, int view) {
    switch (view) {
    case ChannelView:
        return doc.channelCount;
    case BankView:
        return kBankCount;
    case SearchBankView:
    case PassRangeView:
    case AutoRangeView:
        return kRangeCount;
    case SearchStringView:
        return kSearchStringCount;
    case LogView:
        return doc.logCount;
    default:
        return 0;
    }
}

QString line(const CKovo5Doc& doc, int view, int row) {
    if (row < 0 || row >= rowCount(doc, view))
        return {};
    switch (view) {
    case ChannelView:
        return channelLine(*doc.channels[at(row)], row);
    case BankView:
        return bankLine(doc, row);
    case SearchBankView:
        return settingsRangeLine(doc.searchBanks[at(row)], row);
    case PassRangeView:
        return passRangeLine(doc.passRanges[at(row)], row);
    case AutoRangeView:
        return settingsRangeLine(doc.autoRanges[at(row)], row);
    case SearchStringView:
        return searchStringLine(doc.searchStrings[at(row)], row);
    case LogView:
        return logLine(doc, row);
    default:
        return {};
    }
}

QString header(const CKovo5Doc& doc, int view) {
    static const char* const kHeaders[] = {
        " No. Bk Ch  Frequency  Mod Sig Max   Date     Time    Comment",
        "No Use  ChBk   Bank Name",
        "No Use   Start       Stop        Step Mod    ATT   Comment",
        "No Use   Start       Stop       Comment",
        "No Use   Start       Stop        Step Mod    ATT   Comment",
        "No   Strings",
        "  Frequency  Sig   Date          Time            Comment",
    };
    if (view >= 0 && view < kListViewCount)
        return QString::fromLatin1(kHeaders[view]);
    if (view != ChartView)
        return {};
    const LogAnalysis& a = doc.log().logAnalysis();
    char buf[96];
    std::snprintf(buf, sizeof buf, " Statistics  Frequency:%ld.%06ld  Sample:%d  ",
                  long(a.frequency / kMega), long(a.frequency % kMega), a.sampleCount);
    return withText(buf, a.comment);
}

} // namespace kovo::dblines
