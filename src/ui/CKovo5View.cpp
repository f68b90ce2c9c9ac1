#include "ui/CKovo5View.h"

#include "data/CKovo5Doc.h"
#include "ui/BandScopePanel.h"
#include "ui/BandScopePresenter.h"
#include "ui/ControlPanel1.h"
#include "ui/ControlPanel1Presenter.h"
#include "ui/ControlPanel2.h"
#include "ui/ControlPanel2Presenter.h"
#include "ui/DirectionPad.h"
#include "ui/DisplayMenuPresenter.h"
#include "ui/DisplayPanel.h"
#include "ui/DisplayPresenter.h"
#include "ui/KeypadPresenter.h"
#include "ui/PanelEdit.h"
#include "ui/PanelStack.h"
#include "ui/PanelTooltips.h"
#include "ui/SignalMeter.h"
#include "ui/StripPanels.h"
#include "ui/StripPanelsPresenter.h"
#include "ui/database/DatabasePanel.h"

namespace kovo {

CKovo5View::CKovo5View(Ports ports, QObject* parent)
    : QObject(parent), ports_(ports), fonts_(PanelFonts::create()) {
    stack_ = new PanelStack(fonts_);
    databasePanel_ =
        new DatabasePanel({ports_.doc, ports_.settings.settings(), ports_.notifier}, fonts_);
    databasePanel_->setCore(ports_.core.databaseCore());
    stack_->setDataBasePanel(databasePanel_);
    databaseList_ = databasePanel_;
    for (PanelBase* panel : stack_->findChildren<PanelBase*>())
        applyPanelTooltips(*panel);
    makePresenters();
    connectPanels();
    layout(false);
    refreshAll();
}

CKovo5View::~CKovo5View() {
    delete stack_.data();
}

void CKovo5View::makePresenters() {
    CKovo5Doc& doc = ports_.doc;
    CoreCommands& core = ports_.core;
    const auto refresh = [this] { refreshPanels(); };
    display_ = std::make_unique<DisplayPresenter>(DisplayPresenter::Ports{
        stack_->display(), doc, ports_.settings, core, ports_.frame, refresh});
    displayMenu_ = std::make_unique<DisplayMenuPresenter>(DisplayMenuPresenter::Ports{
        doc, ports_.settings, core, ports_.frame, [this](int i) { togglePanel(i); },
        [this](int set) { chooseLinkSet(set); }});
    control2_ = std::make_unique<ControlPanel2Presenter>(
        ControlPanel2Presenter::Ports{stack_->control2(), doc, core});
    control1_ = std::make_unique<ControlPanel1Presenter>(
        ControlPanel1Presenter::Ports{stack_->control1(), doc, ports_.settings, ports_.notifier,
                                      core, ports_.frame, *display_, *control2_});
    keypad_ = std::make_unique<KeypadPresenter>(KeypadPresenter::Ports{
        stack_->display().field(DisplayPanel::FrequencyField), core, *display_});
    strips_ = std::make_unique<StripPanelsPresenter>(
        StripPanelsPresenter::Ports{stack_->ctcss(), stack_->tElm(), doc, core});
    scope_ = std::make_unique<BandScopePresenter>(
        BandScopePresenter::Ports{stack_->bandScope(), doc, core, refresh});
}

// ---- layout ---------------------------------------------------------------

StackInputs CKovo5View::stackInputs() const {
    const AppSettings& s = ports_.settings.settings();
    const CControlParams& cp = ports_.doc.controlParams;
    StackInputs in;
    in.showTitle = s.showTitle != 0;
    in.topMost = s.topMost != 0;
    in.showControl1 = s.showControl1 == 1;
    in.showControl2 = s.showControl2 == 1;
    in.showDataBase = s.showDataBase == 1;
    in.ctcssSwitch = cp.ctcssSwitch == 1;
    in.dtmf = s.dtmf == 1;
    in.elm = s.elm == 1;
    in.bandScope = cp.bandScopeShown == 1;
    return in;
}

void CKovo5View::layout(bool moveOnly) {
    const StackInputs inputs = stackInputs();
    if (!moveOnly)
        laidOutWithBandScope_ = inputs.bandScope;
    const StackPlacement& placed = stack_->apply(inputs, moveOnly);
    if (!moveOnly) {
        ports_.frame.setStayOnTop(placed.stayOnTop);
        ports_.frame.stackResized(placed.totalHeight);
    }
}

void CKovo5View::togglePanel(int i) {
    const AppSettings& s = ports_.settings.settings();
    switch (i) {
    case 0:
        ports_.settings.setShowTitle(s.showTitle ? 0 : 1);
        break;
    case 1:
        ports_.settings.setShowControls(s.showControl1 ? 0 : 1, s.showControl2);
        break;
    case 2:
        ports_.settings.setShowControls(s.showControl1, s.showControl2 ? 0 : 1);
        break;
    case 3:
        ports_.settings.setShowDataBase(s.showDataBase ? 0 : 1);
        break;
    default:
        return;
    }
    display_->showToggles();
    showTitleStrip();
}

void CKovo5View::showTitleStrip() {
    const AppSettings& s = ports_.settings.settings();
    stack_->display().setToggle(0, s.showTitle != 0);
    ports_.frame.showTitleStrip(s.showTitle != 0);
    ports_.settings.setShowTitle(s.showTitle);
    layout(false);
}

// ---- refresh --------------------------------------------------------------

const CFrequencyData& CKovo5View::activeRecord() const {
    return ports_.core.activeRecord(ports_.doc);
}

void CKovo5View::refreshAll() {
    const CControlParams& cp = ports_.doc.controlParams;
    display_->refreshAll();
    control1_->refreshAll();
    control2_->refreshAll();
    strips_->refreshAll();
    databasePanel_->refreshAll();
    showOperatingMode(cp.mode());
    layout(false);
}

void CKovo5View::refreshPanels() {
    display_->refreshText();
    control1_->refreshFromReceiver();
    control2_->showIfBandwidth(activeRecord().ifBandwidth);
    strips_->refreshLabels();
}

void CKovo5View::refreshDisplay() {
    display_->refreshText();
}

int CKovo5View::showSignal(bool signalPresent, int level) {
    return stack_->display().meter().set(signalPresent, level);
}

void CKovo5View::showLinkStatus(LinkStatus status) {
    display_->showLinkStatus(status);
    // A receiver just found may be one that told what it lacks.
    if (status == LinkStatus::Polling) {
        control1_->offerFeatures();
        strips_->offerFeatures();
    }
}

void CKovo5View::showDemoMode(bool on) {
    stack_->display().showDemoMark(on);
}

// ---- operating mode and core notices --------------------------------------

void CKovo5View::showOperatingMode(OperatingMode mode) {
    const int number = toStored(mode);
    if (!isKnownOperatingMode(number))
        return;
    control1_->showOperatingModeKey(number);
    display_->showOperatingMode(mode);
    scope_->showOperatingMode(mode);
    if (stackInputs().bandScope != laidOutWithBandScope_)
        layout(false);
    strips_->showOperatingMode(mode);
}

void CKovo5View::showPriorityScan(bool on) {
    control1_->showPriorityScan(on);
}

void CKovo5View::selectChannelRow(int row) {
    if (databaseList_)
        databaseList_->selectChannelRow(row);
}

void CKovo5View::bringChannelRowIntoView(int row) {
    if (databaseList_)
        databaseList_->bringChannelRowIntoView(row);
}

void CKovo5View::selectNewestLogEntry() {
    if (databaseList_)
        databaseList_->selectNewestLogEntry();
}

void CKovo5View::selectLogCaretRow() {
    if (databaseList_)
        databaseList_->selectLogCaretRow();
}

void CKovo5View::resetScope() {
    scope_->reset();
}

void CKovo5View::showStaticScope() {
    scope_->showStatic();
}

void CKovo5View::plotScopePoint(bool signalPresent, int level) {
    scope_->plotPoint(signalPresent, level);
}

void CKovo5View::moveScopeCursor(int sweepIndex) {
    scope_->moveCursor(sweepIndex);
}

// ---- wiring ---------------------------------------------------------------

void CKovo5View::chooseLinkSet(int set) {
    if (databaseList_)
        databaseList_->chooseLinkSet(set);
    else
        (void)ports_.core.operations().chooseLinkSet(set);
}

void CKovo5View::connectPanels() {
    connectDisplay();
    connectControls();
    connectStripsAndScope();
    connect(stack_.data(), &PanelStack::heightChanged, this,
            [this](int h) { ports_.frame.stackResized(h); });
}

void CKovo5View::connectDisplay() {
    DisplayPanel& d = stack_->display();
    DisplayPresenter* p = display_.get();
    connect(&d, &DisplayPanel::toggleClicked, this, &CKovo5View::togglePanel);
    connect(&d, &DisplayPanel::gainMoved, this, [p](int value) { p->onGainMoved(value); });
    connect(&d, &DisplayPanel::surfaceDoubleClicked, this, [this] {
        ports_.settings.setShowTitle(ports_.settings.settings().showTitle ? 0 : 1);
        showTitleStrip();
    });
    connect(&d, &DisplayPanel::surfacePressed, this,
            [p](QPoint press, QPoint global) { p->onSurfacePressed(press, global); });
    connect(&d, &DisplayPanel::surfaceDragged, this,
            [p](QPoint global) { p->onSurfaceDragged(global); });
    connect(&d, &DisplayPanel::surfaceReleased, this, [p] { p->onSurfaceReleased(); });
    connect(&d, &DisplayPanel::contextMenuWanted, this,
            [menu = displayMenu_.get()](QPoint at) { menu->popUp(at); });
    // Enter and Escape in every panel field tune or rewrite the fields.
    const auto fieldKey = [p](PanelEdit& field, bool enter) { return p->onFieldKey(field, enter); };
    for (int f = 0; f < DisplayPanel::FieldCount; ++f)
        d.field(DisplayPanel::Field(f)).setKeyHandler(fieldKey);
    stack_->ctcss().field().setKeyHandler(fieldKey);
    stack_->tElm().field().setKeyHandler(fieldKey);
    stack_->decoder().field().setKeyHandler(fieldKey);
    // The wheel over the frequency window and Up/Down in it turn the knob.
    ControlPanel1Presenter* c1 = control1_.get();
    d.field(DisplayPanel::FrequencyField).setStepHandler([c1](int steps, bool subStep) {
        c1->onKnob(steps, subStep);
        return true;
    });
    connect(&d, &DisplayPanel::knobTurned, this,
            [c1](int notches, bool subStep) { c1->onKnob(notches, subStep); });
}

void CKovo5View::connectControls() {
    ControlPanel1& c1 = stack_->control1();
    ControlPanel1Presenter* p1 = control1_.get();
    connect(&c1, &ControlPanel1::keyClicked, this, [p1](int key) { p1->onKey(key); });
    connect(&c1, &ControlPanel1::stepChosen, this, [p1](int row) { p1->onStepChosen(row); });
    connect(&c1, &ControlPanel1::attenuatorChosen, this,
            [p1](int row) { p1->onAttenuatorChosen(row); });
    connect(&c1.pad(), &DirectionPad::pressed, this,
            [p1](int x, Qt::MouseButton button) { p1->onPadPressed(x, button); });
    connect(&c1.pad(), &DirectionPad::moved, this,
            [p1](int x, Qt::MouseButtons buttons) { p1->onPadMoved(x, buttons); });
    connect(&c1.pad(), &DirectionPad::released, this, [p1] { p1->onPadReleased(); });
    connect(&c1.pad(), &DirectionPad::knobTurned, this,
            [p1](int notches, bool subStep) { p1->onKnob(notches, subStep); });

    ControlPanel2& c2 = stack_->control2();
    ControlPanel2Presenter* p2 = control2_.get();
    connect(&c2, &ControlPanel2::modeScanClicked, this,
            [p2](int index) { p2->onModeScanKey(index); });
    connect(&c2, &ControlPanel2::delayMoved, this, [p2](int s) { p2->onDelayMoved(s); });
    connect(&c2, &ControlPanel2::pauseMoved, this, [p2](int s) { p2->onPauseMoved(s); });
    connect(&c2, &ControlPanel2::padClicked, this,
            [keypad = keypad_.get()](int pad) { keypad->onKey(pad); });
}

void CKovo5View::connectStripsAndScope() {
    StripPanelsPresenter* strips = strips_.get();
    connect(&stack_->ctcss(), &CtcssPanel::toneMoved, this,
            [strips](int tone) { strips->onToneMoved(tone); });
    connect(&stack_->ctcss(), &CtcssPanel::scanClicked, this,
            [strips] { strips->onToneSearchKey(); });
    connect(&stack_->tElm(), &TElmPanel::valueMoved, this,
            [strips](int value) { strips->onTElmMoved(value); });

    BandScopePanel& b = stack_->bandScope();
    BandScopePresenter* scope = scope_.get();
    connect(&b, &BandScopePanel::spanChosen, this, [scope](int row) { scope->onSpanChosen(row); });
    connect(&b, &BandScopePanel::restartClicked, this, [scope] { scope->onRestartClicked(); });
    connect(&b, &BandScopePanel::pointerMoved, this, [scope](int x) { scope->onPointer(x); });
    connect(&b, &BandScopePanel::plotClicked, this,
            [scope](int x, Qt::MouseButton button) { scope->onClick(x, button); });
}

} // namespace kovo
