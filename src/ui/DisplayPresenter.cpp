#include "ui/DisplayPresenter.h"

#include "data/CKovo5Doc.h"
#include "data/Cp932.h"
#include "data/TypedFrequency.h"
#include "data/ValueTables.h"
#include "scan/ReceiverOperations.h"
#include "scan/TuningRules.h"
#include "ui/DisplayPanel.h"
#include "ui/PanelEdit.h"
#include "ui/SignalMeter.h"
#include "ui/ViewInterfaces.h"

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

// Megahertz without trailing zeros: "0.1", "2040", "145.0125".
QString shortMegahertz(std::uint32_t hz) {
    QString text = QString::number(hz / kMegahertz);
    if (const auto below = static_cast<std::uint32_t>(hz % kMegahertz); below != 0) {
        text += QStringLiteral(".%1").arg(below, 6, 10, QLatin1Char('0'));
        while (text.endsWith(u'0'))
            text.chop(1);
    }
    return text;
}

QString refusalReason(const TypedFrequency& typed, const FrequencyRange& range) {
    if (typed.verdict == TypedFrequency::Verdict::NotANumber)
        return QStringLiteral("Not a frequency: type megahertz, such as 145.5.");
    return QStringLiteral("The receiver cannot tune that frequency: it tunes %1 to %2 MHz.")
        .arg(shortMegahertz(range.lowestHz), shortMegahertz(range.highestHz));
}

} // namespace

// ---- refresh --------------------------------------------------------------

void DisplayPresenter::refreshAll() {
    showToggles();
    ports_.panel.setModeIndicator(toStored(ports_.doc.controlParams.mode()));
    refreshText();
}

void DisplayPresenter::showToggles() {
    const AppSettings& s = ports_.settings.settings();
    DisplayPanel& d = ports_.panel;
    d.setToggle(0, s.showTitle != 0);
    d.setToggle(1, s.showControl1 != 0);
    d.setToggle(2, s.showControl2 != 0);
    d.setToggle(3, s.showDataBase != 0);
}

void DisplayPresenter::refreshText() {
    const CKovo5Doc& d = ports_.doc;
    const CFrequencyData& r = ports_.core.activeRecord(d);
    DisplayPanel& panel = ports_.panel;
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

void DisplayPresenter::showOperatingMode(OperatingMode mode) {
    ports_.panel.setModeIndicator(toStored(mode));
    ports_.panel.setFrequencyReadOnly(mode <= OperatingMode::OneMegahertzScan);
}

void DisplayPresenter::showLinkStatus(LinkStatus status) {
    const bool wasAbsent = presence_.absent();
    const bool absent = presence_.update(status);
    if (absent == wasAbsent)
        return;
    ports_.panel.meter().setDimmed(absent);
    refreshText();
}

// ---- fields and gain ------------------------------------------------------

bool DisplayPresenter::onFieldKey(PanelEdit& field, bool enter) {
    ReceiverOperations& ops = ports_.core.operations();
    if (!ops.takesTypedFrequency())
        return false;
    // An empty field only rewrites the fields. Text that is not wholly a
    // frequency the receiver tunes ("145,5x", "1e3", "3400") is refused with
    // the reason, and the field shows the tuned frequency again: a slip of
    // the keyboard never tunes elsewhere, nor stays in the field looking
    // like the frequency in use.
    const std::string text = enter ? field.text().toStdString() : std::string();
    if (!isBlank(text)) {
        const FrequencyRange range = ops.tuningRange();
        const TypedFrequency typed = readTypedFrequency(text, range);
        if (typed)
            ops.tuneTo(typed.hz);
        else
            field.refuse(refusalReason(typed, range));
    }
    // Enter and Escape both end with every field rewritten from the document.
    ports_.refreshPanels();
    return true;
}

void DisplayPresenter::onGainMoved(int value) {
    ports_.settings.setAfGain(value);
    ports_.doc.noteAfGainMoved();
}

// ---- window drag ----------------------------------------------------------

void DisplayPresenter::onSurfacePressed(QPoint pressPoint, QPoint) {
    if (ports_.settings.settings().showTitle != 0)
        return;
    // The window system then moves the window; the frame stores where it ends.
    if (ports_.frame.startSystemMove())
        return;
    movingWindow_ = true;
    pressPoint_ = pressPoint;
}

void DisplayPresenter::onSurfaceDragged(QPoint globalPos) {
    if (!movingWindow_)
        return;
    // The display panel sits at the window's top-left corner while the title
    // strip is hidden, so the corner follows the pointer less the press point.
    const QPoint corner = globalPos - pressPoint_;
    ports_.settings.setPosition(corner.x(), corner.y());
    ports_.frame.moveFrame(corner.x(), corner.y());
}

void DisplayPresenter::onSurfaceReleased() {
    movingWindow_ = false;
}

} // namespace kovo
