#include "scan/ReceiverOperations.h"

#include "link/ReceiverDescription.h"
#include "link/ReceiverFeatures.h"

#include "data/CKovo5Doc.h"
#include "data/Cp932.h"
#include "data/ValueTables.h"
#include "scan/BandScope.h"
#include "scan/DatabaseHold.h"
#include "scan/OperatingModes.h"
#include "scan/ScanState.h"
#include "scan/ScanSteps.h"
#include "scan/TuningRules.h"
#include "scan/ViewSink.h"

#include <algorithm>

namespace kovo {

namespace {

constexpr int kAntennaCount = 4;
constexpr int kFirstSynchronousAm = 6;

bool inTable(int index, std::size_t size) {
    return index >= 0 && std::size_t(index) < size;
}

} // namespace

ReceiverOperations::ReceiverOperations(Seams seams) : s_(std::move(seams)) {}

// ---- operating mode ----------------------------------------------------------

void ReceiverOperations::setOperatingMode(OperatingMode mode) {
    s_.applyOperatingMode(mode);
}

OperatingMode ReceiverOperations::operatingMode() const {
    return s_.doc.controlParams.mode();
}

bool ReceiverOperations::takesTypedFrequency() const {
    const CControlParams& cp = s_.doc.controlParams;
    return kovo::takesTypedFrequency(cp.mode(), cp.manualTuning == 1);
}

bool ReceiverOperations::takesKeypadFrequency() const {
    const OperatingMode mode = operatingMode();
    return showsBandScope(mode) || mode == OperatingMode::Vfo;
}

// ---- tuning ------------------------------------------------------------------

const ReceiverDescription& ReceiverOperations::receiver() const {
    return s_.receiver ? s_.receiver() : receiverDescriptionFor(s_.settings);
}

bool ReceiverOperations::canTune(std::uint32_t hz) const {
    return tuningRange().contains(hz);
}

FrequencyRange ReceiverOperations::tuningRange() const {
    const ReceiverDescription& description = receiver();
    FrequencyRange range{description.lowestHz, description.highestHz};
    if (s_.features) {
        range.lowestHz = std::max(range.lowestHz, s_.features->lowestHz);
        range.highestHz = std::min(range.highestHz, s_.features->highestHz);
    }
    return range;
}

bool ReceiverOperations::tuneExactly(std::uint32_t hz) {
    if (!canTune(hz))
        return false;
    s_.doc.mainRecord.frequency = hz;
    lookUpTunedChannel(s_.doc);
    s_.view.refreshPanels();
    return true;
}

bool ReceiverOperations::tuneInVfo(std::uint32_t hz) {
    if (!canTune(hz))
        return false;
    if (operatingMode() != OperatingMode::Vfo)
        setOperatingMode(OperatingMode::Vfo);
    tuneTo(hz);
    return true;
}

void ReceiverOperations::tuneTo(std::int64_t hz) {
    CKovo5Doc& d = s_.doc;
    d.mainRecord.frequency = limitFrequency(hz);
    d.tuning().normaliseFrequency();
    d.mainRecord.frequency = limitFrequency(d.mainRecord.frequency);
    lookUpTunedChannel(d);
    s_.view.refreshPanels();
}

void ReceiverOperations::tuneBySteps(int steps, bool subStep) {
    const CKovo5Doc& d = s_.doc;
    const std::uint32_t size =
        subStep ? subStepHz(d.controlParams.subStep, d.mainRecord.step) : stepHz(d.mainRecord.step);
    // Worked out in 64 bits: a step below 0 Hz stops at the lowest frequency
    // instead of wrapping round to the highest.
    tuneTo(std::int64_t(d.mainRecord.frequency) + std::int64_t(steps) * size);
}

bool ReceiverOperations::tuneToTyped(std::string_view text, std::uint64_t unitHz) {
    const auto hz = parseDecimalHz(text, unitHz);
    if (!hz)
        return false;
    tuneTo(*hz);
    return true;
}

// ---- the tuned record --------------------------------------------------------

void ReceiverOperations::selectReceiverMode(int key) {
    const CFrequencyData& r = s_.doc.mainRecord;
    const int mode = modeForKey(key, r.mode, s_.settings.optSam == 1);
    s_.doc.tuning().setTunedMode(mode, defaultIfBandwidth(mode, r.ifBandwidth, s_.settings));
}

bool ReceiverOperations::offersMode(int mode) const {
    return inTable(mode, ModeNameTable.size()) &&
           (mode < kFirstSynchronousAm || s_.settings.optSam == 1);
}

bool ReceiverOperations::setReceiverMode(int mode, std::optional<int> ifBandwidth) {
    if (!inTable(mode, ModeNameTable.size()))
        return false;
    const bool known = ifBandwidth && inTable(*ifBandwidth, IfBandwidthNameTable.size());
    s_.doc.tuning().setTunedMode(
        mode, known ? *ifBandwidth
                    : defaultIfBandwidth(mode, s_.doc.mainRecord.ifBandwidth, s_.settings));
    s_.view.refreshPanels();
    return true;
}

bool ReceiverOperations::setIfBandwidth(int ifBandwidth) {
    if (!inTable(ifBandwidth, IfBandwidthNameTable.size()))
        return false;
    s_.doc.tuning().setTunedMode(s_.doc.mainRecord.mode, ifBandwidth);
    s_.view.refreshPanels();
    return true;
}

bool ReceiverOperations::setAntenna(int antenna) {
    if (!inTable(antenna, kAntennaCount))
        return false;
    s_.doc.tuning().setTunedAntenna(antenna);
    s_.view.refreshPanels();
    return true;
}

bool ReceiverOperations::replaceTunedRecord(const CFrequencyData& r) {
    const bool valid = canTune(r.frequency) && inTable(r.step, StepNameTable.size()) &&
                       inTable(r.mode, ModeNameTable.size()) &&
                       inTable(r.ifBandwidth, IfBandwidthNameTable.size()) &&
                       inTable(r.attenuator, AttNameTable.size()) &&
                       inTable(r.antenna, kAntennaCount) && inTable(r.ctcss, CtcssNameTable.size());
    if (!valid)
        return false;
    s_.doc.tuning().setTunedRecord(r);
    s_.view.refreshPanels();
    return true;
}

void ReceiverOperations::chooseStep(int stepIndex) {
    CKovo5Doc& d = s_.doc;
    d.tuning().setTunedStep(stepIndex);
    switch (d.controlParams.mode()) {
    case OperatingMode::ActiveBandScope:
        s_.scope.recomputeFromStep();
        s_.view.resetScope();
        s_.scope.restartSweep();
        break;
    case OperatingMode::StaticBandScope:
        s_.scope.recomputeFromStep();
        s_.view.resetScope();
        s_.view.showStaticScope();
        break;
    case OperatingMode::Vfo:
        d.tuning().normaliseFrequency();
        s_.view.refreshPanels();
        break;
    default:
        break;
    }
}

bool ReceiverOperations::chooseAttenuator(int attenuator) {
    CKovo5Doc& d = s_.doc;
    if (d.controlParams.mode() == OperatingMode::MemoryScan)
        return false;
    d.tuning().setTunedAttenuator(attenuator);
    // Some receivers hear of an attenuator change only with the next command.
    if (receiver().attenuatorSentAtOnce && s_.sendNext)
        s_.sendNext();
    s_.view.refreshPanels();
    return true;
}

void ReceiverOperations::setTone(int tone) {
    s_.doc.tuning().setTone(s_.state.activeRecord(), tone);
}

void ReceiverOperations::setTElm(int value) {
    s_.doc.tuning().setTElm(s_.state.activeRecord(), value);
}

// ---- scan timing -------------------------------------------------------------

void ReceiverOperations::setDelaySeconds(int seconds) {
    s_.doc.parameters().setDelaySeconds(seconds);
}

void ReceiverOperations::setPauseSeconds(int seconds) {
    s_.doc.parameters().setPauseSeconds(seconds);
}

void ReceiverOperations::setSubStep(int subStep) {
    s_.doc.parameters().setSubStep(subStep);
}

// ---- the panels' switches ------------------------------------------------------

int ReceiverOperations::toggle(PanelSwitch which, int index) {
    using Flip = int (*)(StoredParameters&, int);
    struct Row {
        PanelSwitch which;
        Flip flip;
    };
    static constexpr Row kSwitches[] = {
        {PanelSwitch::Monitor, [](StoredParameters& p, int) { return p.toggleMonitor(); }},
        {PanelSwitch::Pause,
         [](StoredParameters& p, int) { return p.toggleSwitch(SwitchKind::Pause); }},
        {PanelSwitch::VoiceSquelch,
         [](StoredParameters& p, int) { return p.toggleSwitch(SwitchKind::VoiceSquelch); }},
        {PanelSwitch::Logging,
         [](StoredParameters& p, int) { return p.toggleSwitch(SwitchKind::Logging); }},
        {PanelSwitch::AutoStore, [](StoredParameters& p, int) { return p.toggleAutoStore(); }},
        {PanelSwitch::AutoMode, [](StoredParameters& p, int) { return p.toggleAutoMode(); }},
        {PanelSwitch::StepAdjust, [](StoredParameters& p, int) { return p.toggleStepAdjust(); }},
        {PanelSwitch::ModeFilter, [](StoredParameters& p, int) { return p.toggleModeFilter(); }},
        {PanelSwitch::ModeEnabled,
         [](StoredParameters& p, int i) { return p.toggleModeEnabled(i); }},
    };
    for (const Row& row : kSwitches)
        if (row.which == which)
            return row.flip(s_.doc.parameters(), index);
    return -1;
}

// ---- banks ---------------------------------------------------------------------

bool ReceiverOperations::chooseLinkSet(int k) {
    if (!s_.doc.banks().setCurrentLinkSet(k))
        return false;
    if (operatingMode() == OperatingMode::MemoryScan)
        setOperatingMode(OperatingMode::MemoryScan);
    return true;
}

void ReceiverOperations::setLinkFlags(std::uint32_t bits) {
    s_.doc.banks().setLinkFlags(bits); // recounts the channels each bank reaches
}

void ReceiverOperations::setSearchBanksInUse(std::uint32_t bits) {
    s_.doc.ranges().setSearchBanksInUse(bits);
}

// ---- storing -----------------------------------------------------------------

ReceiverOperations::StoreOutcome
ReceiverOperations::storeTunedFrequency(const std::function<bool()>& confirmOverwrite) {
    CKovo5Doc& d = s_.doc;
    if (d.controlParams.mode() == OperatingMode::MemoryScan)
        return {StoreResult::NotInThisMode};
    const std::uint32_t f = d.mainRecord.frequency;
    if (d.channelTable().findChannel(f) >= 0 && !(confirmOverwrite && confirmOverwrite()))
        return {StoreResult::Declined};
    const int row = d.channelTable().storeChannel(f);
    if (row < 0)
        return {StoreResult::TableFull};
    s_.view.selectChannelRow(row);
    return {StoreResult::Stored, row};
}

ReceiverOperations::StoreOutcome
ReceiverOperations::storeHeardFrequency(std::uint32_t hz, std::string_view modeLabel,
                                        std::string_view comment,
                                        const std::function<bool()>& confirmOverwrite) {
    CKovo5Doc& d = s_.doc;
    if (d.controlParams.mode() == OperatingMode::MemoryScan)
        return {StoreResult::NotInThisMode};
    if (d.channelTable().findChannel(hz) >= 0 && !(confirmOverwrite && confirmOverwrite()))
        return {StoreResult::Declined};
    const int row = d.channelTable().storeChannel(hz);
    if (row < 0)
        return {StoreResult::TableFull};
    CFrequencyData& channel = *d.channels[static_cast<std::size_t>(row)];
    const auto* named = std::find(ModeNameTable.begin(), ModeNameTable.end(), modeLabel);
    const int mode = static_cast<int>(named - ModeNameTable.begin());
    if (named != ModeNameTable.end() && offersMode(mode)) {
        channel.mode = mode;
        channel.ifBandwidth = defaultIfBandwidth(mode, channel.ifBandwidth, s_.settings);
    }
    if (!comment.empty())
        (void)d.channelTable().setChannelComments({row}, utf8ToCp932(comment));
    s_.view.selectChannelRow(row);
    return {StoreResult::Stored, row};
}

ReceiverOperations::StoreOutcome ReceiverOperations::passTunedFrequency() {
    CKovo5Doc& d = s_.doc;
    const std::uint32_t f = d.mainRecord.frequency;
    int row = d.channelTable().findChannel(f);
    if (row < 0) {
        row = d.channelTable().storeChannel(f);
        if (row < 0)
            return {StoreResult::TableFull};
    }
    d.channelTable().makePassChannel(row);
    s_.view.selectChannelRow(row);
    s_.applyOperatingMode(d.controlParams.mode());
    return {StoreResult::Stored, row};
}

// ---- direction, tone search, band scope -----------------------------------

void ReceiverOperations::setDirection(int direction) {
    s_.doc.controlParams.direction = direction == 1 ? 1 : 0;
}

bool ReceiverOperations::stepOnce(int direction, const std::function<void()>& tuneVfo) {
    setDirection(direction);
    const OperatingMode mode = operatingMode();
    if (showsBandScope(mode))
        return false;
    if (mode != OperatingMode::Vfo) {
        if (s_.stepScan)
            s_.stepScan(mode);
    } else if (tuneVfo) {
        tuneVfo();
    } else {
        tuneBySteps(direction == 1 ? 1 : -1, false);
    }
    return true;
}

void ReceiverOperations::togglePriority() {
    if (s_.togglePriority)
        s_.togglePriority();
}

bool ReceiverOperations::toggleToneSearch() {
    s_.state.toneSearch = !s_.state.toneSearch;
    const bool on = s_.state.toneSearch;
    if (on)
        s_.doc.mainRecord.ctcss = 0;
    return on;
}

void ReceiverOperations::resumeScopeSweep() {
    s_.doc.controlParams.manualTuning = 0;
}

void ReceiverOperations::tuneFromScope(std::uint32_t hz, std::optional<int> holdAtPoint) {
    if (holdAtPoint) {
        s_.scope.tuneToPoint(*holdAtPoint);
        s_.doc.controlParams.manualTuning = 1;
    }
    s_.doc.mainRecord.frequency = nearestReceiverFrequency(hz);
    lookUpTunedChannel(s_.doc);
}

void ReceiverOperations::chooseScopeSpan(int row) {
    const OperatingMode mode = operatingMode();
    if (showsBandScope(mode))
        s_.scope.spanChosen(row, mode == OperatingMode::ActiveBandScope);
}

// ---- the database panel ----------------------------------------------------

void ReceiverOperations::channelChosenByHand(int row) {
    if (s_.modes)
        s_.modes->channelChosenByHand(row);
}

void ReceiverOperations::logEntryChosenByHand(int r) {
    if (s_.modes)
        s_.modes->logEntryChosenByHand(r);
}

void ReceiverOperations::searchBankChosenByHand(int k) {
    if (s_.modes)
        s_.modes->searchBankChosenByHand(k);
}

void ReceiverOperations::holdDatabase() {
    if (s_.hold)
        s_.hold->set();
}

void ReceiverOperations::holdDatabaseUntilCleared() {
    if (s_.hold)
        s_.hold->setUntilCleared();
}

void ReceiverOperations::releaseDatabaseHold() {
    if (s_.hold)
        s_.hold->clear();
}

bool ReceiverOperations::databaseHeld() const {
    return s_.hold && s_.hold->isSet();
}

} // namespace kovo
