#include "TuningRecord.h"

#include "DocumentRules.h"
#include "ValueTables.h"

namespace kovo {
namespace {

constexpr std::int32_t kAm = 2;
constexpr std::int32_t kLastPlainMode = 5;
constexpr std::int32_t kIfBandwidthCount = 7;
constexpr std::uint32_t kFrequencyGrid = 50;

std::size_t at(int i) {
    return static_cast<std::size_t>(i);
}

// a mod n in 0..n-1 for any a.
std::int32_t wrap(std::int64_t a, std::int32_t n) {
    return static_cast<std::int32_t>(((a % n) + n) % n);
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

} // namespace

void TuningRecord::setTunedMode(int mode, int ifBandwidth) {
    contents().mainRecord.mode = mode;
    contents().mainRecord.ifBandwidth = ifBandwidth;
    markModified();
}

void TuningRecord::setTunedStep(int step) {
    contents().mainRecord.step = step;
    markModified();
}

void TuningRecord::setTunedAttenuator(int attenuator) {
    contents().mainRecord.attenuator = attenuator;
    markModified();
}

void TuningRecord::setTunedAntenna(int antenna) {
    contents().mainRecord.antenna = antenna;
    markModified();
}

void TuningRecord::setTunedRecord(const CFrequencyData& record) {
    contents().mainRecord = record;
    markModified();
}

void TuningRecord::setTone(CFrequencyData& record, int tone) {
    record.ctcss = tone;
    markModified();
}

void TuningRecord::setTElm(CFrequencyData& record, int value) {
    record.tElm = value;
    markModified();
}

int TuningRecord::stepIfBandwidth(bool up) {
    CFrequencyData& tuned = contents().mainRecord;
    const std::int64_t current = tuned.ifBandwidth;
    std::int32_t i = wrap(current + (up ? 1 : kIfBandwidthCount - 1), kIfBandwidthCount);
    if (i == 0 && settings().optFilter == 0)
        i = up ? 1 : kIfBandwidthCount - 1;
    tuned.ifBandwidth = i;
    markModified();
    return i;
}

void TuningRecord::takeChannelInfo(int i) {
    DocumentContents& c = contents();
    if (i < 0 || i >= c.channelCount)
        return;
    const CFrequencyData& ch = *c.channels[at(i)];
    c.mainRecord.bankMask = ch.bankMask;
    c.mainRecord.comment = ch.comment;
    c.mainRecord.bankNumber = ch.bankNumber;
}

void TuningRecord::clearChannelInfo() {
    CFrequencyData& tuned = contents().mainRecord;
    tuned.bankMask = 1;
    tuned.comment.clear();
    tuned.bankNumber = 0;
}

void TuningRecord::recallChannel(int i) {
    DocumentContents& c = contents();
    if (i < 0 || i >= c.channelCount)
        return;
    copyByCopyRule(*c.channels[at(i)], c.mainRecord, settings(), c.controlParams);
}

void TuningRecord::recallLogEntry(int r) {
    DocumentContents& c = contents();
    if (r < 0 || r >= c.logCount)
        return;
    const CLogData& entry = c.logEntry(r);
    const int i = table_.findChannel(entry.frequency);
    if (i >= 0) {
        recallChannel(i);
        return;
    }
    c.mainRecord.frequency = entry.frequency;
    c.mainRecord.comment = entry.comment;
    c.mainRecord.heardTime = entry.lastHeard;
    c.mainRecord.ctcss = 0;
    c.mainRecord.tElm = 0;
}

void TuningRecord::loadSearchBank(int k) {
    if (k < 0 || k >= kRangeCount)
        return;
    DocumentContents& c = contents();
    const CSearchBank& bank = c.searchBanks[at(k)];
    CFrequencyData& tuned = c.mainRecord;
    tuned.antenna = bank.antenna;
    tuned.attenuator = bank.attenuator;
    // The midpoint is taken in 64 bits: two edges above 2.147 GHz would
    // overflow a 32-bit sum.
    tuned.frequency =
        static_cast<std::uint32_t>((std::uint64_t(bank.startFrequency) + bank.stopFrequency) / 2);
    tuned.ifBandwidth = filteredIfBandwidth(bank.ifBandwidth, settings());
    tuned.mode = plainMode(bank.mode, settings());
    tuned.step = bank.step;
    tuned.heard = 0;
    tuned.signal = 0;
    tuned.maxSignal = 0;
    tuned.bankNumber = 0;
    const std::uint32_t s = stepHz(bank.step);
    c.controlParams.tuningOffset = s == 0 ? 0 : static_cast<std::int32_t>(tuned.frequency % s);
}

void TuningRecord::normaliseFrequency() {
    DocumentContents& c = contents();
    CFrequencyData& tuned = c.mainRecord;
    std::uint32_t f = tuned.frequency / kFrequencyGrid * kFrequencyGrid;
    CControlParams& p = c.controlParams;
    if (p.autoMode == 1) {
        for (int k = kRangeCount - 1; k >= 0; --k) {
            const CAutoBank& range = c.autoRanges[at(k)];
            if (range.inUse != 1 || f < range.startFrequency || f > range.stopFrequency)
                continue;
            tuned.antenna = range.antenna;
            tuned.attenuator = range.attenuator;
            tuned.ifBandwidth = range.ifBandwidth;
            tuned.mode = plainMode(range.mode, settings());
            tuned.step = range.step;
            const std::uint32_t s = stepHz(range.step);
            if (s != 0) {
                p.tuningOffset = static_cast<std::int32_t>(range.startFrequency % s);
                f = gridPoint(f, s, static_cast<std::uint32_t>(p.tuningOffset));
            } else {
                p.tuningOffset = 0;
            }
            tuned.frequency = f;
            return;
        }
    }
    const std::uint32_t s = stepHz(tuned.step);
    if (s == 0) {
        p.tuningOffset = 0;
    } else if (p.stepAdjust == 1) {
        p.tuningOffset = 0;
        f = f / s * s;
    } else {
        p.tuningOffset = static_cast<std::int32_t>(f % s);
    }
    tuned.frequency = f;
}

} // namespace kovo
