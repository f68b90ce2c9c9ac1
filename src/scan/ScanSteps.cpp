#include "scan/ScanSteps.h"

#include <algorithm>

#include "data/DocumentRules.h"
#include "data/ValueTables.h"

namespace kovo {

namespace {

constexpr int kAm = 2;
constexpr int kLastPlainMode = 5;
// A search bank whose step index is damaged searches at the new-bank step.
constexpr int kFallbackStepIndex = 10;
// Candidates skipped in one search step before it gives up on the bank: every
// pass range and every stored channel once, with room to spare.
constexpr int kMaxSkips = kRangeCount + kMaxChannels + 100;

std::int64_t floorDiv(std::int64_t a, std::int64_t b) {
    std::int64_t q = a / b;
    if ((a % b != 0) && ((a < 0) != (b < 0)))
        --q;
    return q;
}

std::int64_t floorMod(std::int64_t a, std::int64_t b) {
    return a - b * floorDiv(a, b);
}

} // namespace

void lookUpTunedChannel(CKovo5Doc& doc) {
    const int channel = doc.channelTable().findChannel(doc.mainRecord.frequency);
    if (channel >= 0)
        doc.tuning().takeChannelInfo(channel);
    else
        doc.tuning().clearChannelInfo();
}

ScanSteps::ScanSteps(CKovo5Doc& doc, ScanState& state, const AppSettings& settings, ViewSink& view)
    : doc_(doc), state_(state), settings_(settings), view_(view) {}

bool ScanSteps::goingUp() const {
    return doc_.controlParams.direction != 0;
}

// ---- memory scan ----

void ScanSteps::memoryScanStep() {
    const int n = doc_.channelCount;
    if (n <= 0)
        return;
    const int start = std::clamp(state_.scanPosition, 0, n - 1);
    const std::uint32_t linkMask = doc_.banks().linkMask();
    const bool up = doc_.controlParams.direction > 0;
    int p = start;
    bool taken = false;
    // The walk comes round to the start after n tries, so it finds a channel
    // whenever one is reachable, without counting them all at every step.
    for (int tries = 0; tries < n && !taken; ++tries) {
        p = up ? (p + 1) % n : (p + n - 1) % n;
        taken = isReachableChannel(doc_, linkMask, *doc_.channels[std::size_t(p)]);
    }
    if (!taken)
        return;

    state_.scanPosition = p;
    doc_.controlParams.p4C = p;
    doc_.controlParams.manualTuning = 1;
    doc_.tuning().recallChannel(p);
    view_.refreshPanels();
    view_.selectChannelRow(p);
}

// ---- program search ----

std::int64_t ScanSteps::searchStepHz(int bank) const {
    const std::uint32_t hz = stepHz(doc_.searchBanks[std::size_t(bank)].step);
    return hz != 0 ? hz : StepHzTable[kFallbackStepIndex];
}

std::int64_t ScanSteps::nextCandidate(std::int64_t f, std::int64_t s, bool up) const {
    if (up)
        return doc_.controlParams.tuningOffset + s * floorDiv(f + s, s);
    return s * floorDiv(f - s, s); // no offset going down
}

bool ScanSteps::skipPassRange(std::int64_t t, bool up, std::int64_t& f) const {
    const std::int64_t mainStep = stepHz(doc_.mainRecord.step);
    for (const CPassBank& range : doc_.passRanges) {
        if (range.inUse != 1 || t < range.lowFrequency || t > range.highFrequency)
            continue;
        f = up ? std::int64_t(range.highFrequency) + mainStep
               : std::int64_t(range.lowFrequency) - mainStep;
        return true;
    }
    return false;
}

bool ScanSteps::isPassChannel(std::int64_t t) {
    if (t < 0 || t > std::int64_t(UINT32_MAX))
        return false;
    const int channel = doc_.channelTable().findChannel(std::uint32_t(t));
    return channel >= 0 && (std::uint32_t(doc_.channels[std::size_t(channel)]->bankMask) &
                            kPassChannelBankBit) != 0;
}

void ScanSteps::programSearchStep() {
    const int bank = std::clamp(doc_.controlParams.searchBankIndex, 0, kRangeCount - 1);
    doc_.controlParams.searchBankIndex = bank;
    const CSearchBank& range = doc_.searchBanks[std::size_t(bank)];
    const std::int64_t s = searchStepHz(bank);
    const bool up = goingUp();

    std::int64_t f = doc_.mainRecord.frequency;
    std::int64_t t = nextCandidate(f, s, up);
    for (int skips = 0; skips < kMaxSkips; ++skips) {
        f = t;
        if (!skipPassRange(t, up, f) && !isPassChannel(t))
            break;
        t = nextCandidate(f, s, up);
    }

    if (up ? t > std::int64_t(range.stopFrequency) : t < std::int64_t(range.startFrequency)) {
        enterBank(nextInUseBank(bank, up), up);
    } else {
        doc_.mainRecord.frequency = std::uint32_t(t);
        loadBankSettings(bank);
    }
    lookUpTunedChannel(doc_);
    view_.refreshPanels();
}

int ScanSteps::nextInUseBank(int bank, bool up) const {
    for (int i = 1; i < kRangeCount; ++i) {
        const int k = up ? (bank + i) % kRangeCount : (bank - i + kRangeCount) % kRangeCount;
        if (doc_.searchBanks[std::size_t(k)].inUse == 1)
            return k;
    }
    return bank;
}

void ScanSteps::enterBank(int bank, bool up) {
    doc_.controlParams.searchBankIndex = bank;
    const CSearchBank& range = doc_.searchBanks[std::size_t(bank)];
    const std::int64_t s = searchStepHz(bank);
    const std::int64_t offset = floorMod(range.startFrequency, s);
    doc_.controlParams.tuningOffset = std::int32_t(offset);
    std::int64_t f = range.startFrequency;
    if (!up) {
        // The highest point of the grid through the start that does not pass the stop.
        f = offset + s * floorDiv(range.stopFrequency, s);
        if (f > std::int64_t(range.stopFrequency))
            f -= s;
    }
    doc_.mainRecord.frequency = std::uint32_t(std::clamp<std::int64_t>(f, 0, UINT32_MAX));
}

void ScanSteps::loadBankSettings(int bank) {
    const CSearchBank& range = doc_.searchBanks[std::size_t(bank)];
    CFrequencyData& record = doc_.mainRecord;
    record.mode = (range.mode > kLastPlainMode && settings_.optSam == 0) ? kAm : range.mode;
    record.ifBandwidth = range.ifBandwidth;
    record.attenuator = range.attenuator;
    record.antenna = range.antenna;
    record.step = range.step;
}

bool ScanSteps::startProgramSearch() {
    const std::uint32_t f = doc_.mainRecord.frequency;
    bool anyInUse = false;
    for (int k = 0; k < kRangeCount; ++k) {
        const CSearchBank& range = doc_.searchBanks[std::size_t(k)];
        if (range.inUse != 1)
            continue;
        anyInUse = true;
        if (range.startFrequency <= f && f <= range.stopFrequency) {
            doc_.controlParams.searchBankIndex = k;
            programSearchStep();
            return true;
        }
    }
    if (!anyInUse)
        return false;
    const int bank = std::clamp(doc_.controlParams.searchBankIndex, 0, kRangeCount - 1);
    enterBank(nextInUseBank(bank, goingUp()), goingUp());
    lookUpTunedChannel(doc_);
    view_.refreshPanels();
    return true;
}

// ---- 1 MHz scan ----

void ScanSteps::setOneMegahertzWindow() {
    const std::uint32_t f = doc_.mainRecord.frequency;
    lower_ = f - f % kOneMegahertz;
    // The last megahertz below 2^32 Hz ends at the largest frequency rather
    // than wrapping round to a few kilohertz.
    upper_ = lower_ + std::min(kOneMegahertz, UINT32_MAX - lower_);
}

void ScanSteps::oneMegahertzStep() {
    const std::int64_t s = stepHz(doc_.mainRecord.step);
    std::int64_t f = doc_.mainRecord.frequency;
    f += goingUp() ? s : -s;
    if (f > std::int64_t(upper_))
        f = lower_;
    else if (f < std::int64_t(lower_))
        f = upper_;
    doc_.mainRecord.frequency = std::uint32_t(f);
    lookUpTunedChannel(doc_);
    view_.refreshDisplay();
}

} // namespace kovo
