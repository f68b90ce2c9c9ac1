// The operations that change the document while the program runs: the channel
// table, the tuning record, the priority channel, the log ring, the auto-mode
// range clipboard, the link sets and the switches.
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <memory>

#include "CKovo5Doc.h"
#include "DatabaseEdits.h"
#include "DocumentRules.h"
#include "LocalTime.h"
#include "ValueTables.h"

namespace kovo {
namespace {

constexpr std::int32_t kAm = 2;
constexpr std::int32_t kLastPlainMode = 5;
constexpr std::int32_t kIfBandwidthCount = 7;
constexpr std::int32_t kDecoderModes = 5;
constexpr std::uint32_t kFrequencyGrid = 50;

// Comment prefixes of a new channel, code page 932: "* 自動記録 " (stored
// automatically) and "* 追加     " (added by hand).
constexpr const char* kAutoStoredFormat =
    "* \x8E\xA9\x93\xAE\x8B\x4C\x98\x5E %02d-%2d-%2d %02d:%02d:%02d *";
constexpr const char* kAddedFormat = "* \x92\xC7\x89\xC1     %02d-%2d-%2d %02d:%02d:%02d *";

// The switches that simply invert a 0/1 parameter, by toggleSwitch kind.
constexpr std::array<std::int32_t CControlParams::*, 6> kParamSwitches{
    &CControlParams::pause, &CControlParams::voiceSquelch, &CControlParams::logging,
    &CControlParams::afc,   &CControlParams::noiseBlanker, &CControlParams::ctcssSwitch};

std::int32_t inverted(std::int32_t value) {
    return value == 0 ? 1 : 0;
}

// a mod n in 0..n-1 for any a.
std::int32_t wrap(std::int64_t a, std::int32_t n) {
    return static_cast<std::int32_t>(((a % n) + n) % n);
}

std::size_t at(int i) {
    return static_cast<std::size_t>(i);
}

std::int32_t plainMode(std::int32_t mode, const AppSettings& settings) {
    return mode > kLastPlainMode && settings.optSam == 0 ? kAm : mode;
}

std::int32_t filteredIfBandwidth(std::int32_t ifBandwidth, const AppSettings& settings) {
    return ifBandwidth == 0 && settings.optFilter == 0 ? 1 : ifBandwidth;
}

// s × ⌊f / s⌋ + offset, kept within 32 bits (a point above the range falls
// back one step).
std::uint32_t gridPoint(std::uint32_t f, std::uint32_t s, std::uint32_t offset) {
    std::uint64_t point = std::uint64_t(s) * (f / s) + offset;
    while (point > UINT32_MAX)
        point -= s;
    return static_cast<std::uint32_t>(point);
}

// The rows of `rows` that lie in 0..limit-1, ascending, each once.
std::vector<int> rowsBelow(const std::vector<int>& rows, int limit) {
    std::vector<int> within;
    within.reserve(rows.size());
    for (int row : rows)
        if (row >= 0 && row < limit)
            within.push_back(row);
    std::sort(within.begin(), within.end());
    within.erase(std::unique(within.begin(), within.end()), within.end());
    return within;
}

// Where an index into the channel table ends up after a row is inserted,
// removed or moved.
int afterInsert(int index, int row) {
    return index >= row ? index + 1 : index;
}
int afterRemove(int index, int row) {
    return index > row ? index - 1 : index;
}
int afterMove(int index, int from, int to) {
    if (index == from)
        return to;
    if (from < to && index > from && index <= to)
        return index - 1;
    if (to < from && index >= to && index < from)
        return index + 1;
    return index;
}

std::string newChannelComment(bool autoStored, std::int64_t now) {
    const LocalTime t = toLocalTime(now);
    char text[64];
    std::snprintf(text, sizeof text, autoStored ? kAutoStoredFormat : kAddedFormat, t.year % 100,
                  t.month, t.day, t.hour, t.minute, t.second);
    return text;
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

// ---- channel table ----

int CKovo5Doc::findChannel(std::uint32_t f) {
    const auto first = channels.begin();
    const auto last = first + std::clamp(channelCount, 0, kMaxChannels);
    const auto it = std::lower_bound(first, last, f, [](const auto& channel, std::uint32_t value) {
        return channel->frequency < value;
    });
    insertPosition = static_cast<int>(it - first);
    return it != last && (*it)->frequency == f ? insertPosition : -1;
}

void CKovo5Doc::takeChannelInfo(int i) {
    if (i < 0 || i >= channelCount)
        return;
    const CFrequencyData& ch = *channels[at(i)];
    mainRecord.bankMask = ch.bankMask;
    mainRecord.comment = ch.comment;
    mainRecord.bankNumber = ch.bankNumber;
}

void CKovo5Doc::clearChannelInfo() {
    mainRecord.bankMask = 1;
    mainRecord.comment.clear();
    mainRecord.bankNumber = 0;
}

void CKovo5Doc::recallChannel(int i) {
    if (i < 0 || i >= channelCount)
        return;
    copyByCopyRule(*channels[at(i)], mainRecord, settings(), controlParams);
}

int CKovo5Doc::storeChannel(std::uint32_t f, bool autoStored, int heard, std::int32_t s) {
    // The row comes from a fresh look-up so that the table stays sorted and
    // never holds a frequency twice, whatever the caller looked up before.
    int row = findChannel(f);
    const bool isNew = row < 0;
    if (isNew) {
        if (channelCount >= kMaxChannels)
            return -1;
        row = insertPosition;
        std::move_backward(channels.begin() + row, channels.begin() + channelCount,
                           channels.begin() + channelCount + 1);
        channels[at(row)] = std::make_unique<CFrequencyData>();
        // The priority channel and the scan position keep naming the same
        // channels.
        const bool priorityMoves = channelCount > 0 && priorityIndex >= row;
        if (channelCount > 0)
            priorityIndex = afterInsert(priorityIndex, row);
        ++channelCount;
        if (priorityMoves)
            copyToPriorityRecord(priorityIndex); // its copy is taken afresh
    }

    CFrequencyData& ch = *channels[at(row)];
    ch.frequency = f;
    ch.antenna = mainRecord.antenna;
    ch.attenuator = mainRecord.attenuator;
    ch.ifBandwidth = mainRecord.ifBandwidth;
    ch.mode = mainRecord.mode;
    ch.step = mainRecord.step;
    ch.ctcss = mainRecord.ctcss;
    ch.tElm = mainRecord.tElm;
    if (isNew) {
        const std::int64_t now = clock().nowSeconds();
        ch.bankMask = 1;
        ch.bankNumber = 0;
        if (autoStored)
            ch.ctcss = 0;
        ch.comment = newChannelComment(autoStored, now);
        ch.priority = 0;
        ch.heard = static_cast<std::uint8_t>(heard);
        ch.signal = s;
        ch.maxSignal = s;
        ch.heardTime = static_cast<std::int32_t>(now);
        countChannelsPerBank();
    }
    setModified();
    using Kind = DocumentChange::Kind;
    notify(isNew ? Kind::ChannelInserted : Kind::ChannelChanged, row);
    return row;
}

bool CKovo5Doc::moveChannel(int from, int to) {
    if (from < 0 || from >= channelCount || to < 0 || to >= channelCount)
        return false;
    if (from == to)
        return true;
    auto taken = std::move(channels[at(from)]);
    if (from < to)
        std::move(channels.begin() + from + 1, channels.begin() + to + 1, channels.begin() + from);
    else
        std::move_backward(channels.begin() + to, channels.begin() + from,
                           channels.begin() + from + 1);
    channels[at(to)] = std::move(taken);
    priorityIndex = afterMove(priorityIndex, from, to);
    setModified();
    notify(DocumentChange::Kind::ChannelMoved, from, to);
    return true;
}

int CKovo5Doc::setChannelFrequency(int i, std::uint32_t f) {
    if (i < 0 || i >= channelCount)
        return -1;
    const int existing = findChannel(f);
    if (existing >= 0 && existing != i)
        return -1;
    // insertPosition counts the channels below f, the edited one included
    // when its old frequency is below f.
    const int to = channels[at(i)]->frequency < f ? insertPosition - 1 : insertPosition;
    channels[at(i)]->frequency = f;
    static_cast<void>(moveChannel(i, to)); // both rows lie in the table
    setModified();
    notify(DocumentChange::Kind::ChannelChanged, to);
    return to;
}

int CKovo5Doc::deleteChannels(const std::vector<int>& chosen) {
    const std::vector<int> rows = rowsBelow(chosen, channelCount);
    bool priorityMoved = false;
    for (auto it = rows.rbegin(); it != rows.rend(); ++it) {
        const int row = *it;
        priorityMoved = priorityMoved || row <= priorityIndex;
        if (channels[at(row)]->priority != 0) {
            // The priority mark passes to the channel in row 0.
            priorityIndex = 0;
            channels[0]->priority = 1;
            copyToPriorityRecord(0);
            notify(DocumentChange::Kind::ChannelChanged, 0);
        }
        std::move(channels.begin() + row + 1, channels.begin() + channelCount,
                  channels.begin() + row);
        --channelCount;
        channels[at(channelCount)].reset();
        priorityIndex = afterRemove(priorityIndex, row);
        notify(DocumentChange::Kind::ChannelRemoved, row);
    }
    if (channelCount == 0) {
        priorityIndex = 0;
    } else {
        priorityIndex = std::min(priorityIndex, channelCount - 1);
        // The priority channel now stands in another row (or another channel
        // took its place): its copy is taken afresh.
        if (priorityMoved)
            copyToPriorityRecord(priorityIndex);
    }
    if (!rows.empty()) {
        countChannelsPerBank();
        setModified();
    }
    if (channelCount == 0)
        return -1;
    int first = 0;
    if (!rows.empty())
        first = rows.front();
    else if (!chosen.empty())
        first = *std::min_element(chosen.begin(), chosen.end());
    return std::clamp(first, 0, channelCount - 1);
}

void CKovo5Doc::makePassChannel(int i) {
    if (i < 0 || i >= channelCount)
        return;
    channels[at(i)]->bankMask = 1 << kPassBank;
    countChannelsPerBank();
    setModified();
    notify(DocumentChange::Kind::ChannelChanged, i);
}

int CKovo5Doc::recordReport(int i, std::int32_t s) {
    if (i < 0 || i >= channelCount)
        return 0;
    CFrequencyData& ch = *channels[at(i)];
    int changed = 0;
    ch.heard = 1;
    if (ch.signal != s) {
        ch.signal = s;
        if (s > ch.maxSignal)
            ch.maxSignal = s;
        changed = 1;
    }
    const auto now = static_cast<std::int32_t>(clock().nowSeconds());
    if (ch.heardTime != now) {
        ch.heardTime = now;
        changed = 1;
    }
    if (changed) {
        setModified();
        notify(DocumentChange::Kind::ChannelChanged, i);
    }
    return changed;
}

// ---- priority channel ----

void CKovo5Doc::choosePriorityChannel(int r) {
    if (r < 0 || r >= channelCount)
        return;
    for (int i = 0; i < channelCount; ++i) {
        const std::int32_t mark = i == r ? 1 : 0;
        if (channels[at(i)]->priority == mark)
            continue;
        channels[at(i)]->priority = mark;
        notify(DocumentChange::Kind::ChannelChanged, i);
    }
    priorityIndex = r;
    copyToPriorityRecord(priorityIndex);
    setModified();
}

void CKovo5Doc::copyToPriorityRecord(int i) {
    if (i < 0 || i >= channelCount)
        return;
    copyIntoPriorityRecord(*channels[at(i)], *this, settings());
}

// ---- counts and masks ----

void CKovo5Doc::countChannelsPerBank() {
    channelCountPerBank.fill(0);
    for (int i = 0; i < channelCount; ++i) {
        const auto mask = static_cast<std::uint32_t>(channels[at(i)]->bankMask);
        for (int b = 0; b < kBankCount; ++b)
            if (mask & (1u << b))
                ++channelCountPerBank[at(b)];
    }
}

std::uint32_t CKovo5Doc::linkMask() const {
    return linkMaskOf(*this);
}

void CKovo5Doc::recountDerivedValues() {
    // Bank numbers are not stored in the file: a document read or started
    // numbers its channels afresh.
    edits::numberChannelsWithinBanks(*this);
    countChannelsPerBank();
}

// ---- tuning record ----

void CKovo5Doc::normaliseFrequency() {
    std::uint32_t f = mainRecord.frequency / kFrequencyGrid * kFrequencyGrid;
    CControlParams& p = controlParams;
    if (p.autoMode == 1) {
        for (int k = kRangeCount - 1; k >= 0; --k) {
            const CAutoBank& range = autoRanges[at(k)];
            if (range.inUse != 1 || f < range.startFrequency || f > range.stopFrequency)
                continue;
            mainRecord.antenna = range.antenna;
            mainRecord.attenuator = range.attenuator;
            mainRecord.ifBandwidth = range.ifBandwidth;
            mainRecord.mode = plainMode(range.mode, settings());
            mainRecord.step = range.step;
            const std::uint32_t s = stepHz(range.step);
            if (s != 0) {
                p.tuningOffset = static_cast<std::int32_t>(range.startFrequency % s);
                f = gridPoint(f, s, static_cast<std::uint32_t>(p.tuningOffset));
            } else {
                p.tuningOffset = 0;
            }
            mainRecord.frequency = f;
            return;
        }
    }
    const std::uint32_t s = stepHz(mainRecord.step);
    if (s == 0) {
        p.tuningOffset = 0;
    } else if (p.stepAdjust == 1) {
        p.tuningOffset = 0;
        f = f / s * s;
    } else {
        p.tuningOffset = static_cast<std::int32_t>(f % s);
    }
    mainRecord.frequency = f;
}

void CKovo5Doc::loadSearchBank(int k) {
    if (k < 0 || k >= kRangeCount)
        return;
    const CSearchBank& bank = searchBanks[at(k)];
    mainRecord.antenna = bank.antenna;
    mainRecord.attenuator = bank.attenuator;
    // The midpoint is taken in 64 bits: two edges above 2.147 GHz would
    // overflow a 32-bit sum.
    mainRecord.frequency =
        static_cast<std::uint32_t>((std::uint64_t(bank.startFrequency) + bank.stopFrequency) / 2);
    mainRecord.ifBandwidth = filteredIfBandwidth(bank.ifBandwidth, settings());
    mainRecord.mode = plainMode(bank.mode, settings());
    mainRecord.step = bank.step;
    mainRecord.heard = 0;
    mainRecord.signal = 0;
    mainRecord.maxSignal = 0;
    mainRecord.bankNumber = 0;
    const std::uint32_t s = stepHz(bank.step);
    controlParams.tuningOffset = s == 0 ? 0 : static_cast<std::int32_t>(mainRecord.frequency % s);
}

void CKovo5Doc::recallLogEntry(int r) {
    if (r < 0 || r >= logCount)
        return;
    const CLogData& entry = logEntry(r);
    const int i = findChannel(entry.frequency);
    if (i >= 0) {
        recallChannel(i);
        return;
    }
    mainRecord.frequency = entry.frequency;
    mainRecord.comment = entry.comment;
    mainRecord.heardTime = entry.lastHeard;
    mainRecord.ctcss = 0;
    mainRecord.tElm = 0;
}

int CKovo5Doc::stepIfBandwidth(bool up) {
    const std::int64_t current = mainRecord.ifBandwidth;
    std::int32_t i = wrap(current + (up ? 1 : kIfBandwidthCount - 1), kIfBandwidthCount);
    if (i == 0 && settings().optFilter == 0)
        i = up ? 1 : kIfBandwidthCount - 1;
    mainRecord.ifBandwidth = i;
    setModified();
    return i;
}

// ---- log ring ----

int CKovo5Doc::openLogEntry(const CFrequencyData& source, std::int32_t s) {
    int replaced = 0;
    int slot;
    if (logCount < kLogSlots) {
        slot = (logStart + logCount) % kLogSlots;
        ++logCount;
    } else {
        slot = logStart;
        logStart = (logStart + 1) % kLogSlots;
        replaced = 1;
    }
    const auto now = static_cast<std::int32_t>(clock().nowSeconds());
    CLogData& entry = logRing[at(slot)];
    entry.frequency = source.frequency;
    entry.comment = source.comment;
    entry.firstHeard = now;
    entry.lastHeard = now;
    entry.maxSignal = s;
    setModified();
    changes_.notify({DocumentChange::Kind::LogAppended, logCount - 1, -1, replaced == 1});
    if (onLogEntryOpened)
        onLogEntryOpened(source.frequency, now, source.comment);
    return replaced;
}

int CKovo5Doc::updateNewestLogEntry(std::int32_t s) {
    if (logCount <= 0)
        return -1;
    CLogData& newest = logEntry(logCount - 1);
    const auto now = static_cast<std::int32_t>(clock().nowSeconds());
    if (newest.lastHeard == now && newest.maxSignal >= s)
        return -1;
    newest.lastHeard = now;
    if (s > newest.maxSignal)
        newest.maxSignal = s;
    setModified();
    notify(DocumentChange::Kind::LogUpdated, logCount - 1);
    return logCount - 1;
}

void CKovo5Doc::clearLog() {
    if (logCount != 0)
        setModified();
    logCount = 0;
    logStart = 0;
    logAnalysis.sampleCount = 0;
    notify(DocumentChange::Kind::LogCleared);
}

bool CKovo5Doc::analyseLog(int row) {
    if (row < 0 || row >= logCount)
        return false;
    const CLogData& analysed = logEntry(row);
    LogAnalysis result;
    result.frequency = analysed.frequency;
    result.comment = analysed.comment;
    for (int r = 0; r < logCount; ++r) {
        const CLogData& entry = logEntry(r);
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
    logAnalysis = std::move(result);
    return true;
}

// ---- auto-mode range clipboard ----

void CKovo5Doc::cutAutoRanges(const std::vector<int>& chosen) {
    const std::vector<int> rows = rowsBelow(chosen, kRangeCount);
    for (int n = static_cast<int>(rows.size()) - 1; n >= 0; --n) {
        const int row = rows[at(n)];
        autoRangeClipboard[at(n)] = autoRanges[at(row)];
        std::move(autoRanges.begin() + row + 1, autoRanges.end(), autoRanges.begin() + row);
        autoRanges.back().setNewDocumentValues(settings().nfmBandWidth);
    }
    autoRangeClipboardCount = static_cast<int>(rows.size());
    if (!rows.empty()) {
        setModified();
        notify(DocumentChange::Kind::RangesChanged);
    }
}

void CKovo5Doc::pasteAutoRanges(const std::vector<int>& chosen) {
    const int count = std::clamp(autoRangeClipboardCount, 0, kRangeCount);
    const std::vector<int> rows = rowsBelow(chosen, kRangeCount);
    if (count == 0 || rows.empty())
        return;
    const int p = rows.front() + 1;
    bool pasted = false;
    for (int j = 0; j < count && p + j < kRangeCount; ++j) {
        const int row = p + j;
        std::move_backward(autoRanges.begin() + row, autoRanges.end() - 1, autoRanges.end());
        autoRanges[at(row)] = autoRangeClipboard[at(j)];
        pasted = true;
    }
    if (pasted) {
        setModified();
        notify(DocumentChange::Kind::RangesChanged);
    }
}

// ---- bank-link sets, search banks, switches ----

void CKovo5Doc::setLinkFlags(std::uint32_t bits) {
    const int set = controlParams.currentLinkSet;
    if (set < 0 || set >= kLinkSetCount)
        return;
    for (int b = 0; b < kBankCount; ++b)
        memoryBanks[at(b)].linkFlags[at(set)] = static_cast<std::uint8_t>((bits >> b) & 1u);
    countChannelsPerBank();
    setModified();
    notify(DocumentChange::Kind::LinkSetsChanged);
}

void CKovo5Doc::setSearchBanksInUse(std::uint32_t bits) {
    for (int k = 0; k < kRangeCount; ++k)
        searchBanks[at(k)].inUse = static_cast<std::uint8_t>((bits >> k) & 1u);
    notify(DocumentChange::Kind::RangesChanged);
}

bool CKovo5Doc::setCurrentLinkSet(int k) {
    if (k < 0 || k >= kLinkSetCount)
        return false;
    controlParams.currentLinkSet = k;
    setModified();
    notify(DocumentChange::Kind::BanksChanged);
    return true;
}

int CKovo5Doc::toggleModeEnabled(int m) {
    if (m < 0 || m >= CControlParams::kModes)
        return -1;
    std::int32_t& flag = controlParams.modeEnabled[at(m)];
    flag = inverted(flag);
    setModified();
    notify(DocumentChange::Kind::ParametersChanged);
    return flag;
}

int CKovo5Doc::toggleModeFilter() {
    controlParams.modeFilter = inverted(controlParams.modeFilter);
    setModified();
    notify(DocumentChange::Kind::ParametersChanged);
    return controlParams.modeFilter;
}

int CKovo5Doc::toggleAutoMode() {
    controlParams.autoMode = inverted(controlParams.autoMode);
    setModified();
    return controlParams.autoMode;
}

int CKovo5Doc::toggleStepAdjust() {
    controlParams.stepAdjust = inverted(controlParams.stepAdjust);
    setModified();
    return controlParams.stepAdjust;
}

int CKovo5Doc::togglePriorityScan() {
    controlParams.priorityScan = inverted(controlParams.priorityScan);
    setModified();
    return controlParams.priorityScan;
}

int CKovo5Doc::toggleMonitor() {
    controlParams.fgSwitch = controlParams.fgSwitch == 1 ? 0 : 1;
    setModified();
    return controlParams.fgSwitch;
}

int CKovo5Doc::toggleAutoStore() {
    controlParams.autoStore = controlParams.autoStore == 1 ? 0 : 1;
    setModified();
    return controlParams.autoStore;
}

int CKovo5Doc::toggleSwitch(SwitchKind kind) {
    const int index = static_cast<int>(kind);
    if (index < 0 || kind > SwitchKind::Elm)
        return -1;
    setModified();
    if (index < static_cast<int>(kParamSwitches.size())) {
        std::int32_t& value = controlParams.*kParamSwitches[at(index)];
        value = inverted(value);
        notify(DocumentChange::Kind::ParametersChanged);
        return value;
    }
    if (kind == SwitchKind::DecoderMode) {
        controlParams.decoderMode =
            wrap(std::int64_t(controlParams.decoderMode) + 1, kDecoderModes);
        return controlParams.decoderMode;
    }
    const bool dtmf = kind == SwitchKind::Dtmf;
    const int value = inverted(dtmf ? settings().dtmf : settings().elm);
    changeSoftSetting(dtmf ? SoftSetting::Dtmf : SoftSetting::Elm, value);
    return value;
}

} // namespace kovo
