#include "ui/ControlPanel1Presenter.h"

#include "data/CKovo5Doc.h"
#include "data/Notifier.h"
#include "link/ReceiverDescription.h"
#include "ui/ControlPanel1.h"
#include "ui/ControlPanel2Presenter.h"
#include "ui/DirectionPad.h"
#include "ui/DisplayPresenter.h"
#include "ui/PanelList.h"
#include "ui/ViewInterfaces.h"

#include <array>
#include <cstdlib>

namespace kovo {

ReceiverOperations& ControlPanel1Presenter::ops() const {
    return ports_.core.operations();
}

// ---- refresh --------------------------------------------------------------

void ControlPanel1Presenter::refreshAll() {
    const CKovo5Doc& d = ports_.doc;
    const CControlParams& cp = d.controlParams;
    ControlPanel1& p = ports_.panel;
    dragging_ = false;
    lastX_ = -1;
    for (int k = 0; k < ControlPanel1::KeyCount; ++k)
        p.setKey(k, 0);
    p.setKey(ControlPanel1::Pause, cp.pause);
    p.setKey(ControlPanel1::Vcs, cp.voiceSquelch);
    p.setKey(ControlPanel1::Log, cp.logging);
    p.setKey(ControlPanel1::Pri, cp.priorityScan);
    p.setKey(ControlPanel1::Moni, cp.fgSwitch == 1);
    p.setKey(ControlPanel1::AsM, cp.autoStore);
    litMode_ = -1;
    showModeKey(d.mainRecord.mode);
    showOperatingModeKey(toStored(cp.mode()));
    p.setKey(ControlPanel1::Auto, cp.autoMode);
    p.setKey(ControlPanel1::Adj, cp.stepAdjust);
    shownStep_ = shownAttenuator_ = -1;
    showStepList(d.mainRecord.step);
    showAttenuatorList(d.mainRecord.attenuator);
    const OperatingMode mode = cp.mode();
    const bool directionShown =
        mode != OperatingMode::StaticBandScope && mode != OperatingMode::Vfo;
    setPadImage(directionShown ? 1 + (cp.direction == 1 ? 1 : 0) : 0);
    offerFeatures();
}

namespace {

// The keys of the features a receiver may lack.
struct KeyFeature {
    int key;
    ReceiverFeature feature;
};
constexpr std::array<KeyFeature, 7> kKeyFeatures{{
    {ControlPanel1::Nfm, ReceiverFeature::NarrowFm},
    {ControlPanel1::Wfm, ReceiverFeature::WideFm},
    {ControlPanel1::Am, ReceiverFeature::Am},
    {ControlPanel1::Lsb, ReceiverFeature::Lsb},
    {ControlPanel1::Usb, ReceiverFeature::Usb},
    {ControlPanel1::Cw, ReceiverFeature::Cw},
    {ControlPanel1::Vcs, ReceiverFeature::VoiceSquelch},
}};

QString why(const ReceiverFeatures& f, ReceiverFeature feature) {
    return QString::fromStdString(f.whyMissing(feature));
}

} // namespace

ReceiverFeatures ControlPanel1Presenter::features() const {
    if (const ReceiverFeatures* f = ports_.core.receiverFeatures())
        return *f;
    return ReceiverFeatures::of(receiverDescriptionFor(ports_.settings.settings()));
}

bool ControlPanel1Presenter::keyUsable(int key) const {
    for (const KeyFeature& k : kKeyFeatures)
        if (k.key == key)
            return features().has(k.feature);
    return true;
}

void ControlPanel1Presenter::offerFeatures() {
    ControlPanel1& p = ports_.panel;
    const ReceiverFeatures f = features();
    for (const KeyFeature& k : kKeyFeatures)
        p.offerKey(k.key, f.has(k.feature), why(f, k.feature));
    p.showVoiceSquelchKey(f.shown(ReceiverFeature::VoiceSquelch));
    p.offerAttenuator(f.has(ReceiverFeature::Attenuator), why(f, ReceiverFeature::Attenuator));
}

void ControlPanel1Presenter::refreshFromReceiver() {
    const CFrequencyData& r = ports_.core.activeRecord(ports_.doc);
    if (r.mode != litMode_)
        showModeKey(r.mode);
    showStepList(r.step);
    showAttenuatorList(r.attenuator);
}

void ControlPanel1Presenter::showModeKey(int mode) {
    ControlPanel1& p = ports_.panel;
    if (litMode_ >= 0)
        p.setKey(ControlPanel1::Nfm + modeKeyOf(litMode_), 0);
    if (mode >= 0 && mode <= 8) {
        const int key = modeKeyOf(mode);
        p.setKey(ControlPanel1::Nfm + key, key == 2 ? amKeyImage(mode) : 1);
    }
    litMode_ = mode;
}

void ControlPanel1Presenter::showStepList(int stepIndex) {
    if (stepIndex == shownStep_)
        return;
    shownStep_ = stepIndex;
    // The list offers 50 Hz to 100 kHz; a 1 Hz step shows the first row, and
    // the 1 MHz and 10 MHz steps, which have no row, show none rather than a
    // step that is not in use.
    int row = -1;
    if (stepIndex == 0)
        row = 0;
    else if (stepIndex >= 1 && stepIndex <= 13)
        row = stepIndex - 1;
    ports_.panel.stepList().showRow(row);
}

void ControlPanel1Presenter::showAttenuatorList(int attenuator) {
    if (attenuator == shownAttenuator_)
        return;
    shownAttenuator_ = attenuator;
    ports_.panel.attList().showRow(attenuator == 1 ? 1 : 0);
}

void ControlPanel1Presenter::showOperatingModeKey(int mode) {
    for (int m = 0; m < 6; ++m)
        ports_.panel.setKey(ControlPanel1::Ms + m, m == mode ? 1 : 0);
}

void ControlPanel1Presenter::showPriorityScan(bool on) {
    ports_.panel.setKey(ControlPanel1::Pri, on ? 1 : 0);
}

void ControlPanel1Presenter::setPadImage(int image) {
    ports_.panel.pad().setImage(image);
}

// ---- keys and lists -------------------------------------------------------

void ControlPanel1Presenter::onKey(int key) {
    if (!keyUsable(key))
        return;
    using Switch = ReceiverOperations::PanelSwitch;
    ControlPanel1& p = ports_.panel;
    switch (key) {
    case ControlPanel1::Moni:
        p.setKey(key, ops().toggle(Switch::Monitor));
        break;
    case ControlPanel1::Pause:
        p.setKey(key, ops().toggle(Switch::Pause));
        break;
    case ControlPanel1::Vcs:
        p.setKey(key, ops().toggle(Switch::VoiceSquelch));
        break;
    case ControlPanel1::Log:
        p.setKey(key, ops().toggle(Switch::Logging));
        break;
    case ControlPanel1::AsM:
        p.setKey(key, ops().toggle(Switch::AutoStore));
        ports_.control2.showPauseTime();
        break;
    case ControlPanel1::Nfm:
    case ControlPanel1::Wfm:
    case ControlPanel1::Am:
    case ControlPanel1::Lsb:
    case ControlPanel1::Usb:
    case ControlPanel1::Cw:
        selectMode(key - ControlPanel1::Nfm);
        break;
    case ControlPanel1::Ms:
    case ControlPanel1::Ps:
    case ControlPanel1::OneMhz:
    case ControlPanel1::Scope:
    case ControlPanel1::Static:
    case ControlPanel1::Vfo:
        ops().setOperatingMode(static_cast<OperatingMode>(key - ControlPanel1::Ms));
        break;
    case ControlPanel1::Auto:
        p.setKey(key, ops().toggle(Switch::AutoMode));
        break;
    case ControlPanel1::Adj:
        p.setKey(key, ops().toggle(Switch::StepAdjust));
        break;
    case ControlPanel1::PlusMem:
        showStoreOutcome(
            ops().storeTunedFrequency([this] { return ports_.frame.confirmOverwrite(); }));
        break;
    case ControlPanel1::PlusPass:
        showStoreOutcome(ops().passTunedFrequency());
        break;
    case ControlPanel1::Pri:
        ops().togglePriority();
        break;
    default:
        break;
    }
}

void ControlPanel1Presenter::selectMode(int keyMode) {
    ops().selectReceiverMode(keyMode);
    refreshFromReceiver();
    ports_.control2.showIfBandwidth(ports_.doc.mainRecord.ifBandwidth);
}

void ControlPanel1Presenter::showStoreOutcome(ReceiverOperations::StoreOutcome outcome) {
    if (outcome.result == ReceiverOperations::StoreResult::TableFull)
        ports_.notifier.showMessage(uiText("ChannelTable", CKovo5Doc::kChannelTableFullMessage));
}

void ControlPanel1Presenter::onStepChosen(int row) {
    const OperatingMode mode = ops().operatingMode();
    // In VFO auto mode may choose another step: the list is shown afresh.
    shownStep_ = mode == OperatingMode::Vfo ? -1 : row + 1;
    ops().chooseStep(row + 1);
    if (showsBandScope(mode))
        refreshFromReceiver();
}

void ControlPanel1Presenter::onAttenuatorChosen(int row) {
    shownAttenuator_ = row;
    if (!ops().chooseAttenuator(row)) {
        shownAttenuator_ = -1;
        showAttenuatorList(ports_.doc.mainRecord.attenuator);
    }
}

// ---- direction pad and knob -----------------------------------------------

void ControlPanel1Presenter::onPadPressed(int x, Qt::MouseButton) {
    dragging_ = true;
    lastX_ = x;
}

void ControlPanel1Presenter::onPadMoved(int x, Qt::MouseButtons buttons) {
    if (!dragging_ || !(buttons & (Qt::LeftButton | Qt::RightButton)))
        return;
    const int dx = x - lastX_;
    padStep(dx > 0 ? 1 : 0, [&] { vfoDrag(dx, !(buttons & Qt::LeftButton)); });
    lastX_ = x;
}

// One move of the pad or the knob in a direction (1 up, 0 down): the scans
// take one step, VFO tunes as `tuneVfo` says, the band scopes only take the
// direction.
void ControlPanel1Presenter::padStep(int direction, const std::function<void()>& tuneVfo) {
    (void)ops().stepOnce(direction, tuneVfo);
    const CControlParams& cp = ports_.doc.controlParams;
    if (cp.mode() != OperatingMode::StaticBandScope)
        setPadImage(1 + cp.direction);
    if (cp.mode() == OperatingMode::OneMegahertzScan)
        ports_.display.refreshText();
}

void ControlPanel1Presenter::onPadReleased() {
    if (!dragging_)
        return;
    dragging_ = false;
    const CControlParams& cp = ports_.doc.controlParams;
    const bool directionShown = cp.mode() <= OperatingMode::ActiveBandScope;
    setPadImage(directionShown ? 1 + (cp.direction == 1 ? 1 : 0) : 0);
}

void ControlPanel1Presenter::vfoDrag(int pixels, bool subStep) {
    const int steps = dragAccumulator_.add(pixels);
    if (steps != 0)
        ops().tuneBySteps(steps, subStep);
}

void ControlPanel1Presenter::onKnob(int notches, bool subStep) {
    // Like a drag of the pad by one step per notch, each in turn, so that
    // the scans step as often as the knob clicks.
    const int direction = notches > 0 ? 1 : 0;
    for (int i = 0; i < std::abs(notches); ++i)
        padStep(direction, [&] { ops().tuneBySteps(direction == 1 ? 1 : -1, subStep); });
}

} // namespace kovo
