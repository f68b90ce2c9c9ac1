// What the keys, lists, sliders, pad and fields of the panels do.
#include "ui/CKovo5View.h"

#include "data/CKovo5Doc.h"
#include "data/Notifier.h"
#include "data/ValueTables.h"
#include "scan/ScanSteps.h"
#include "ui/BandScopePanel.h"
#include "ui/ControlPanel1.h"
#include "ui/ControlPanel2.h"
#include "ui/DirectionPad.h"
#include "ui/DisplayPanel.h"
#include "ui/ImageKey.h"
#include "ui/PanelArt.h"
#include "ui/PanelEdit.h"
#include "ui/PanelList.h"
#include "ui/PanelSlider.h"
#include "ui/PanelStack.h"
#include "ui/StripPanels.h"

#include <QMenu>

#include <cstdio>
#include <cstdlib>

namespace kovo {

void CKovo5View::connectPanels() {
    DisplayPanel& d = stack_->display();
    connect(&d, &DisplayPanel::toggleClicked, this, &CKovo5View::togglePanel);
    connect(&d, &DisplayPanel::gainMoved, this, &CKovo5View::onGainMoved);
    connect(&d, &DisplayPanel::surfaceDoubleClicked, this, [this] {
        ports_.settings.setShowTitle(ports_.settings.settings().showTitle ? 0 : 1);
        showTitleStrip();
    });
    connect(&d, &DisplayPanel::surfacePressed, this, &CKovo5View::onSurfacePressed);
    connect(&d, &DisplayPanel::surfaceDragged, this, &CKovo5View::onSurfaceDragged);
    connect(&d, &DisplayPanel::surfaceReleased, this, &CKovo5View::onSurfaceReleased);
    connect(&d, &DisplayPanel::contextMenuWanted, this, [this](QPoint at) {
        if (auto menu = buildContextMenu())
            menu->exec(at);
    });
    const auto handler = [this](PanelEdit& field, bool enter) { return onFieldKey(field, enter); };
    for (int f = 0; f < DisplayPanel::FieldCount; ++f)
        d.field(DisplayPanel::Field(f)).setKeyHandler(handler);
    d.field(DisplayPanel::FrequencyField).setStepHandler([this](int steps, bool subStep) {
        onKnob(steps, subStep);
        return true;
    });
    connect(&d, &DisplayPanel::knobTurned, this, &CKovo5View::onKnob);
    stack_->ctcss().field().setKeyHandler(handler);
    stack_->tElm().field().setKeyHandler(handler);
    stack_->decoder().field().setKeyHandler(handler);

    ControlPanel1& c1 = stack_->control1();
    connect(&c1, &ControlPanel1::keyClicked, this, &CKovo5View::onControl1Key);
    connect(&c1, &ControlPanel1::stepChosen, this, &CKovo5View::onStepChosen);
    connect(&c1, &ControlPanel1::attenuatorChosen, this, &CKovo5View::onAttenuatorChosen);
    connect(&c1.pad(), &DirectionPad::pressed, this, &CKovo5View::onPadPressed);
    connect(&c1.pad(), &DirectionPad::moved, this, &CKovo5View::onPadMoved);
    connect(&c1.pad(), &DirectionPad::released, this, [this] { onPadReleased(); });
    connect(&c1.pad(), &DirectionPad::knobTurned, this, &CKovo5View::onKnob);

    ControlPanel2& c2 = stack_->control2();
    connect(&c2, &ControlPanel2::modeScanClicked, this, &CKovo5View::onModeScanKey);
    connect(&c2, &ControlPanel2::padClicked, this, &CKovo5View::onKeypad);
    connect(&c2, &ControlPanel2::delayMoved, this, &CKovo5View::onDelayMoved);
    connect(&c2, &ControlPanel2::pauseMoved, this, &CKovo5View::onPauseMoved);

    connect(&stack_->ctcss(), &CtcssPanel::toneMoved, this, &CKovo5View::onToneMoved);
    connect(&stack_->ctcss(), &CtcssPanel::scanClicked, this, &CKovo5View::onToneSearchKey);
    connect(&stack_->tElm(), &TElmPanel::valueMoved, this, &CKovo5View::onTElmMoved);

    BandScopePanel& b = stack_->bandScope();
    connect(&b, &BandScopePanel::spanChosen, this, &CKovo5View::onSpanChosen);
    connect(&b, &BandScopePanel::restartClicked, this,
            [this] { ports_.doc.controlParams.manualTuning = 0; });
    connect(&b, &BandScopePanel::pointerMoved, this, &CKovo5View::onScopePointer);
    connect(&b, &BandScopePanel::plotClicked, this, &CKovo5View::onScopeClick);

    connect(stack_.data(), &PanelStack::heightChanged, this,
            [this](int h) { ports_.frame.stackResized(h); });
}

// ---- tuning ---------------------------------------------------------------

ReceiverOperations& CKovo5View::ops() const {
    return ports_.core.operations();
}

bool CKovo5View::onFieldKey(PanelEdit& field, bool enter) {
    if (!ops().takesTypedFrequency())
        return false;
    if (enter) {
        const std::string text = field.text().toStdString();
        // An empty field only rewrites the fields; text that is not wholly a
        // frequency (a comment, "145,5x", "1e3") is refused and left to be
        // corrected rather than tuned to whatever number it starts with.
        if (!isBlank(text) && !ops().tuneToTyped(text, kMegahertz)) {
            field.flashRefusal();
            return true;
        }
    }
    // Enter and Escape both end with every field rewritten from the document.
    refreshPanels();
    return true;
}

void CKovo5View::onGainMoved(int value) {
    ports_.settings.setAfGain(value);
    ports_.doc.setModified();
}

// ---- Control panel 1 ------------------------------------------------------

void CKovo5View::onControl1Key(int key) {
    CKovo5Doc& d = ports_.doc;
    ControlPanel1& p = stack_->control1();
    switch (key) {
    case ControlPanel1::Moni:
        p.setKey(key, d.toggleMonitor());
        break;
    case ControlPanel1::Pause:
        p.setKey(key, d.toggleSwitch(SwitchKind::Pause));
        break;
    case ControlPanel1::Vcs:
        p.setKey(key, d.toggleSwitch(SwitchKind::VoiceSquelch));
        break;
    case ControlPanel1::Log:
        p.setKey(key, d.toggleSwitch(SwitchKind::Logging));
        break;
    case ControlPanel1::AsM:
        p.setKey(key, d.toggleAutoStore());
        stack_->control2().pauseSlider().showValue(pauseTimeThatApplies());
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
        p.setKey(key, d.toggleAutoMode());
        break;
    case ControlPanel1::Adj:
        p.setKey(key, d.toggleStepAdjust());
        break;
    case ControlPanel1::PlusMem:
        showStoreOutcome(
            ops().storeTunedFrequency([this] { return ports_.frame.confirmOverwrite(); }));
        break;
    case ControlPanel1::PlusPass:
        showStoreOutcome(ops().passTunedFrequency());
        break;
    case ControlPanel1::Pri:
        ports_.core.togglePriority();
        break;
    default:
        break;
    }
}

void CKovo5View::selectMode(int keyMode) {
    ops().selectReceiverMode(keyMode);
    refreshControl1FromReceiver();
    stack_->control2().showIfBandwidth(ports_.doc.mainRecord.ifBandwidth);
}

void CKovo5View::showStoreOutcome(ReceiverOperations::StoreOutcome outcome) {
    if (outcome.result == ReceiverOperations::StoreResult::TableFull)
        ports_.notifier.showMessage(CKovo5Doc::kChannelTableFullMessage);
}

void CKovo5View::onStepChosen(int row) {
    const OperatingMode mode = ops().operatingMode();
    // In VFO auto mode may choose another step: the list is shown afresh.
    shownStep_ = mode == OperatingMode::Vfo ? -1 : row + 1;
    ops().chooseStep(row + 1);
    if (showsBandScope(mode))
        refreshControl1FromReceiver();
}

void CKovo5View::onAttenuatorChosen(int row) {
    shownAttenuator_ = row;
    if (!ops().chooseAttenuator(row)) {
        shownAttenuator_ = -1;
        showAttenuatorList(ports_.doc.mainRecord.attenuator);
    }
}

// ---- direction pad --------------------------------------------------------

void CKovo5View::onPadPressed(int x, Qt::MouseButton) {
    dragging_ = true;
    lastX_ = x;
}

void CKovo5View::onPadMoved(int x, Qt::MouseButtons buttons) {
    if (!dragging_ || !(buttons & (Qt::LeftButton | Qt::RightButton)))
        return;
    const int dx = x - lastX_;
    padStep(dx > 0 ? 1 : 0, [&] { vfoDrag(dx, !(buttons & Qt::LeftButton)); });
    lastX_ = x;
}

// One move of the pad or the knob in a direction (1 up, 0 down): the scans
// take one step, VFO tunes as `tuneVfo` says, the band scopes only take the
// direction.
void CKovo5View::padStep(int direction, const std::function<void()>& tuneVfo) {
    CControlParams& cp = ports_.doc.controlParams;
    cp.direction = direction;
    if (cp.mode() != OperatingMode::StaticBandScope)
        setPadImage(1 + cp.direction);
    switch (cp.mode()) {
    case OperatingMode::MemoryScan:
        ports_.core.stepMemoryScan();
        break;
    case OperatingMode::ProgramSearch:
        ports_.core.stepSearch();
        break;
    case OperatingMode::OneMegahertzScan:
        ports_.core.stepOneMegahertzScan();
        refreshText();
        break;
    case OperatingMode::Vfo:
        tuneVfo();
        break;
    default:
        break;
    }
}

void CKovo5View::onPadReleased() {
    if (!dragging_)
        return;
    dragging_ = false;
    const CControlParams& cp = ports_.doc.controlParams;
    const bool directionShown = cp.mode() <= OperatingMode::ActiveBandScope;
    setPadImage(directionShown ? 1 + (cp.direction == 1 ? 1 : 0) : 0);
}

void CKovo5View::vfoDrag(int pixels, bool subStep) {
    const int steps = dragAccumulator_.add(pixels);
    if (steps != 0)
        ops().tuneBySteps(steps, subStep);
}

void CKovo5View::onKnob(int notches, bool subStep) {
    // Like a drag of the pad by one step per notch, each in turn, so that
    // the scans step as often as the knob clicks.
    const int direction = notches > 0 ? 1 : 0;
    for (int i = 0; i < std::abs(notches); ++i)
        padStep(direction, [&] { ops().tuneBySteps(direction == 1 ? 1 : -1, subStep); });
}

// ---- Control panel 2 ------------------------------------------------------

void CKovo5View::onModeScanKey(int index) {
    CKovo5Doc& d = ports_.doc;
    ControlPanel2& p = stack_->control2();
    if (index == ControlPanel2::kMsmKey) {
        p.modeScanKey(index).setState(d.toggleModeFilter());
    } else if (index >= 0 && index < 6) {
        p.modeScanKey(index).setState(d.toggleModeEnabled(index));
    }
}

void CKovo5View::onKeypad(int pad) {
    if (!ops().takesKeypadFrequency())
        return;
    PanelEdit& field = stack_->display().field(DisplayPanel::FrequencyField);
    switch (pad) {
    case ControlPanel2::Clear:
        entryText_.clear();
        refreshText();
        return;
    case ControlPanel2::Enter:
    case ControlPanel2::Kilohertz: {
        const std::uint64_t unit = pad == ControlPanel2::Enter ? kMegahertz : kKilohertz;
        // An empty entry is 0 Hz (the lowest frequency); a lone point is no
        // number and stays to be corrected. The entry is gone before the
        // panels show the new frequency.
        const std::string entry = entryText_.empty() ? "0" : entryText_;
        entryText_.clear();
        if (!ops().tuneToTyped(entry, unit)) {
            entryText_ = entry == "0" ? std::string() : entry;
            field.flashRefusal();
        }
        return;
    }
    default: {
        const char c = pad == ControlPanel2::Point ? '.' : char('0' + pad);
        // The entry stays a number that fits the frequency window: a second
        // point or a twelfth character is refused.
        const bool secondPoint = c == '.' && entryText_.find('.') != std::string::npos;
        if (secondPoint || entryText_.size() >= kMaxKeypadEntry) {
            field.flashRefusal();
            return;
        }
        entryText_ += c;
        char buf[32];
        std::snprintf(buf, sizeof buf, "%11s", entryText_.c_str());
        field.showText(QString::fromLatin1(buf));
        return;
    }
    }
}

void CKovo5View::onDelayMoved(int seconds) {
    ops().setDelaySeconds(seconds);
}

void CKovo5View::onPauseMoved(int seconds) {
    ops().setPauseSeconds(seconds);
}

// ---- strips ---------------------------------------------------------------

void CKovo5View::onToneMoved(int tone) {
    ops().setTone(tone);
    refreshCtcssLabel(false);
}

void CKovo5View::onToneSearchKey() {
    CKovo5Doc& d = ports_.doc;
    const int on = d.toggleToneSearch();
    CtcssPanel& p = stack_->ctcss();
    p.scanKey().setState(on);
    if (on == 0) {
        refreshCtcssLabel(true, true);
    } else {
        d.mainRecord.ctcss = 0;
        p.field().setFieldColour(art::kAmber);
    }
}

void CKovo5View::onTElmMoved(int value) {
    ops().setTElm(value);
    refreshTElmLabel(false);
}

// ---- window drag ----------------------------------------------------------

void CKovo5View::onSurfacePressed(QPoint pressPoint, QPoint) {
    if (ports_.settings.settings().showTitle != 0)
        return;
    // The window system then moves the window; the frame stores where it ends.
    if (ports_.frame.startSystemMove())
        return;
    movingWindow_ = true;
    pressPoint_ = pressPoint;
}

void CKovo5View::onSurfaceDragged(QPoint globalPos) {
    if (!movingWindow_)
        return;
    // The display panel sits at the window's top-left corner while the title
    // strip is hidden, so the corner follows the pointer less the press point.
    const QPoint corner = globalPos - pressPoint_;
    ports_.settings.setPosition(corner.x(), corner.y());
    ports_.frame.moveFrame(corner.x(), corner.y());
}

void CKovo5View::onSurfaceReleased() {
    movingWindow_ = false;
}

} // namespace kovo
