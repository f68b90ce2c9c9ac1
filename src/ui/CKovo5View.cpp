#include "ui/CKovo5View.h"

#include "data/CKovo5Doc.h"
#include "data/Cp932.h"
#include "data/ValueTables.h"
#include "ui/BandScopePanel.h"
#include "ui/ControlPanel1.h"
#include "ui/ControlPanel2.h"
#include "ui/DirectionPad.h"
#include "ui/DisplayPanel.h"
#include "ui/ImageKey.h"
#include "ui/PanelEdit.h"
#include "ui/PanelList.h"
#include "ui/PanelSlider.h"
#include "ui/PanelStack.h"
#include "ui/PixmapIndicator.h"
#include "ui/ScopePlot.h"
#include "ui/SignalMeter.h"
#include "ui/StripPanels.h"
#include "ui/database/DatabasePanel.h"

#include <cstdio>

namespace kovo {
namespace {

QString fromCp932(const std::string& bytes) {
    return QString::fromStdString(cp932ToUtf8(bytes));
}

QString fourDigits(int value) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%4d", value);
    return QString::fromLatin1(buf);
}

QString label(std::string_view text) {
    return QString::fromLatin1(text.data(), int(text.size()));
}

} // namespace

CKovo5View::CKovo5View(Ports ports, QObject* parent)
    : QObject(parent), ports_(ports), fonts_(PanelFonts::create()) {
    stack_ = new PanelStack(fonts_);
    databasePanel_ =
        new DatabasePanel({ports_.doc, ports_.settings.settings(), ports_.notifier}, fonts_);
    databasePanel_->setCore(ports_.core.databaseCore());
    stack_->setDataBasePanel(databasePanel_);
    databaseList_ = databasePanel_;
    connectPanels();
    layout(false);
    refreshAll();
}

CKovo5View::~CKovo5View() {
    delete stack_.data();
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
    setToggleImages();
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
    return ports_.doc.activeRecord();
}

void CKovo5View::refreshAll() {
    const CControlParams& cp = ports_.doc.controlParams;
    refreshDisplayAll();
    refreshControl1All();
    refreshControl2All();
    refreshCtcssAll();
    refreshTElmAll();
    databasePanel_->refreshAll();
    showOperatingMode(cp.mode());
    layout(false);
}

void CKovo5View::refreshPanels() {
    refreshText();
    refreshControl1FromReceiver();
    stack_->control2().showIfBandwidth(activeRecord().ifBandwidth);
    refreshCtcssLabel(true);
    refreshTElmLabel(true);
}

void CKovo5View::refreshDisplay() {
    refreshText();
}

int CKovo5View::showSignal(bool signalPresent, int level) {
    return stack_->display().meter().set(signalPresent, level);
}

void CKovo5View::showLinkStatus(LinkStatus status) {
    const bool wasAbsent = presence_.absent();
    const bool absent = presence_.update(status);
    if (absent == wasAbsent)
        return;
    stack_->display().meter().setDimmed(absent);
    refreshText();
}

// ---- display panel --------------------------------------------------------

void CKovo5View::setToggleImages() {
    const AppSettings& s = ports_.settings.settings();
    DisplayPanel& d = stack_->display();
    d.setToggle(0, s.showTitle != 0);
    d.setToggle(1, s.showControl1 != 0);
    d.setToggle(2, s.showControl2 != 0);
    d.setToggle(3, s.showDataBase != 0);
}

void CKovo5View::refreshDisplayAll() {
    setToggleImages();
    stack_->display().setModeIndicator(toStored(ports_.doc.controlParams.mode()));
    refreshText();
}

void CKovo5View::refreshText() {
    const CKovo5Doc& d = ports_.doc;
    const CFrequencyData& r = activeRecord();
    DisplayPanel& panel = stack_->display();
    panel.field(DisplayPanel::FrequencyField)
        .showText(QString::fromLatin1(presence_.absent() ? kNoReceiverText
                                                         : formatMegahertz(r.frequency).c_str()));

    int bank = 0;
    const std::string* name = nullptr;
    static const std::string kNone;
    static const std::string kPassChannel = "Pass Channel";
    QString channel;
    if (d.controlParams.mode() == OperatingMode::ProgramSearch) {
        bank = d.controlParams.searchBankIndex;
        if (bank >= 0 && bank < kRangeCount)
            name = &d.searchBanks[std::size_t(bank)].comment;
    } else {
        bank = bankOfMask(r.bankMask);
        if (bank == kPassBank)
            name = &kPassChannel;
        else if (bank > 0)
            name = &d.memoryBanks[std::size_t(bank)].name;
        channel = fourDigits(r.bankNumber);
    }
    if (!name)
        name = &kNone;
    if (*name != shownName_ || shownNameText_.isNull()) {
        shownName_ = *name;
        shownNameText_ = fromCp932(*name);
    }
    if (r.comment != shownComment_ || shownCommentText_.isNull()) {
        shownComment_ = r.comment;
        shownCommentText_ = fromCp932(r.comment);
    }
    panel.field(DisplayPanel::BankField).showText(fourDigits(bank));
    panel.field(DisplayPanel::NameField).showText(shownNameText_);
    panel.field(DisplayPanel::ChannelField).showText(channel);
    panel.field(DisplayPanel::CommentField).showText(shownCommentText_);
}

// ---- Control panel 1 ------------------------------------------------------

void CKovo5View::showModeKey(int mode) {
    ControlPanel1& p = stack_->control1();
    if (litMode_ >= 0)
        p.setKey(ControlPanel1::Nfm + modeKeyOf(litMode_), 0);
    if (mode >= 0 && mode <= 8) {
        const int key = modeKeyOf(mode);
        p.setKey(ControlPanel1::Nfm + key, key == 2 ? amKeyImage(mode) : 1);
    }
    litMode_ = mode;
}

void CKovo5View::showStepList(int stepIndex) {
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
    stack_->control1().stepList().showRow(row);
}

void CKovo5View::showAttenuatorList(int attenuator) {
    if (attenuator == shownAttenuator_)
        return;
    shownAttenuator_ = attenuator;
    stack_->control1().attList().showRow(attenuator == 1 ? 1 : 0);
}

void CKovo5View::showOperatingModeKey(int mode) {
    ControlPanel1& p = stack_->control1();
    for (int m = 0; m < 6; ++m)
        p.setKey(ControlPanel1::Ms + m, m == mode ? 1 : 0);
    litOperatingMode_ = mode;
}

void CKovo5View::setPadImage(int image) {
    stack_->control1().pad().setImage(image);
}

void CKovo5View::refreshControl1All() {
    const CKovo5Doc& d = ports_.doc;
    const CControlParams& cp = d.controlParams;
    ControlPanel1& p = stack_->control1();
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
    p.showVoiceSquelchKey(!ports_.settings.settings().isAr3000());
}

void CKovo5View::refreshControl1FromReceiver() {
    const CFrequencyData& r = activeRecord();
    if (r.mode != litMode_)
        showModeKey(r.mode);
    showStepList(r.step);
    showAttenuatorList(r.attenuator);
}

// ---- Control panel 2 ------------------------------------------------------

int CKovo5View::pauseTimeThatApplies() const {
    return ports_.doc.controlParams.pauseSeconds();
}

void CKovo5View::refreshControl2All() {
    const CControlParams& cp = ports_.doc.controlParams;
    ControlPanel2& p = stack_->control2();
    p.showIfBandwidth(ports_.doc.mainRecord.ifBandwidth);
    for (int m = 0; m < 6; ++m)
        p.modeScanKey(m).setState(cp.modeEnabled[std::size_t(m)] == 1);
    p.modeScanKey(ControlPanel2::kMsmKey).setState(cp.modeFilter == 1);
    p.delaySlider().showValue(cp.delaySeconds);
    p.pauseSlider().showValue(pauseTimeThatApplies());
}

// ---- strips ---------------------------------------------------------------

void CKovo5View::refreshCtcssAll() {
    CtcssPanel& p = stack_->ctcss();
    p.slider().showValue(ports_.doc.mainRecord.ctcss);
    p.scanKey().setState(ports_.doc.toneSearch == 1);
    refreshCtcssLabel(true, true);
}

void CKovo5View::refreshCtcssLabel(bool moveSlider, bool force) {
    const int tone = activeRecord().ctcss;
    if (tone == shownCtcss_ && !force)
        return;
    shownCtcss_ = tone;
    CtcssPanel& p = stack_->ctcss();
    p.field().showText(label(ctcssName(tone)));
    if (moveSlider)
        p.slider().showValue(tone);
}

void CKovo5View::refreshTElmAll() {
    stack_->tElm().slider().showValue(ports_.doc.mainRecord.tElm);
    refreshTElmLabel(true, true);
}

void CKovo5View::refreshTElmLabel(bool moveSlider, bool force) {
    const int value = activeRecord().tElm;
    if (value == shownTElm_ && !force)
        return;
    shownTElm_ = value;
    char buf[24];
    if (value == 0)
        std::snprintf(buf, sizeof buf, "  OFF");
    else
        std::snprintf(buf, sizeof buf, "  %3d", value);
    TElmPanel& p = stack_->tElm();
    p.field().showText(QString::fromLatin1(buf));
    if (moveSlider)
        p.slider().showValue(value);
}

void CKovo5View::onStripsOperatingMode(OperatingMode mode) {
    CtcssPanel& c = stack_->ctcss();
    c.slider().setVisible(mode != OperatingMode::MemoryScan);
    // Tone search belongs to VFO; the core ends it in every other mode.
    c.scanKey().setVisible(mode == OperatingMode::Vfo);
    if (mode != OperatingMode::Vfo)
        c.scanKey().setState(0);
    stack_->tElm().slider().setVisible(mode != OperatingMode::MemoryScan);
}

// ---- operating mode and core notices --------------------------------------

void CKovo5View::showOperatingMode(OperatingMode mode) {
    const int number = toStored(mode);
    if (!isKnownOperatingMode(number))
        return;
    showOperatingModeKey(number);
    DisplayPanel& display = stack_->display();
    display.setModeIndicator(number);
    display.setFrequencyReadOnly(mode <= OperatingMode::OneMegahertzScan);
    stack_->bandScope().restartKey().setVisible(mode == OperatingMode::ActiveBandScope);
    stack_->bandScope().plot().setStaticMode(mode == OperatingMode::StaticBandScope);
    if (stackInputs().bandScope != laidOutWithBandScope_)
        layout(false);
    onStripsOperatingMode(mode);
}

void CKovo5View::showPriorityScan(bool on) {
    stack_->control1().setKey(ControlPanel1::Pri, on ? 1 : 0);
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

} // namespace kovo
