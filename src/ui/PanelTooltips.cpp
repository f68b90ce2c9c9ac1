#include "ui/PanelTooltips.h"

#include "ui/PanelBase.h"

#include <QCoreApplication>
#include <QVariant>
#include <QWidget>

namespace kovo {
namespace {

struct Tip {
    const char* panel;   // class of the panel, without its namespace
    const char* control; // accessible name of the control when the panel is built
    const char* text;    // English; translated through the "Tooltips" context
};

// clang-format off
constexpr Tip kTips[] = {
    // Display panel
    {"DisplayPanel", "Frequency", QT_TRANSLATE_NOOP("Tooltips", "Frequency in MHz — type a frequency and press Enter to tune it (band scope and VFO modes)")},
    {"DisplayPanel", "Bank", QT_TRANSLATE_NOOP("Tooltips", "Bank of the tuned channel (the search bank while searching)")},
    {"DisplayPanel", "Name", QT_TRANSLATE_NOOP("Tooltips", "Name of the bank or search bank")},
    {"DisplayPanel", "Channel", QT_TRANSLATE_NOOP("Tooltips", "Number of the channel within its bank")},
    {"DisplayPanel", "Comment", QT_TRANSLATE_NOOP("Tooltips", "Comment of the tuned channel")},
    {"DisplayPanel", "Operating mode", QT_TRANSLATE_NOOP("Tooltips", "Operating mode: memory scan, search, 1 MHz scan, band scope or VFO")},
    {"DisplayPanel", "Title strip", QT_TRANSLATE_NOOP("Tooltips", "T — show or hide the title bar")},
    {"DisplayPanel", "Control panel 1", QT_TRANSLATE_NOOP("Tooltips", "1 — show or hide control panel 1")},
    {"DisplayPanel", "Control panel 2", QT_TRANSLATE_NOOP("Tooltips", "2 — show or hide control panel 2")},
    {"DisplayPanel", "Database", QT_TRANSLATE_NOOP("Tooltips", "D — show or hide the database panel")},
    {"DisplayPanel", "Signal", QT_TRANSLATE_NOOP("Tooltips", "Signal meter — the receiver's signal level while the squelch is open")},
    {"DisplayPanel", "AF gain", QT_TRANSLATE_NOOP("Tooltips", "AF gain — stored with the settings")},
    // Control panel 1
    {"ControlPanel1", "MONI", QT_TRANSLATE_NOOP("Tooltips", "MONI — hold the squelch open")},
    {"ControlPanel1", "PAUSE", QT_TRANSLATE_NOOP("Tooltips", "PAUSE — a stop on a signal lasts at most the pause time")},
    {"ControlPanel1", "VCS", QT_TRANSLATE_NOOP("Tooltips", "VCS — voice squelch: stop only on signals that carry a voice (AR3000A)")},
    {"ControlPanel1", "LOG", QT_TRANSLATE_NOOP("Tooltips", "LOG — write the signals found into the log")},
    {"ControlPanel1", "AS-M", QT_TRANSLATE_NOOP("Tooltips", "AS-M — store a signal found on a new frequency as a channel")},
    {"ControlPanel1", "NFM", QT_TRANSLATE_NOOP("Tooltips", "NFM — narrow FM")},
    {"ControlPanel1", "WFM", QT_TRANSLATE_NOOP("Tooltips", "WFM — wide FM")},
    {"ControlPanel1", "AM", QT_TRANSLATE_NOOP("Tooltips", "AM — amplitude modulation; pressed again it cycles the synchronous AM variants SAM, SAL, SAH when the receiver has them")},
    {"ControlPanel1", "LSB", QT_TRANSLATE_NOOP("Tooltips", "LSB — lower sideband")},
    {"ControlPanel1", "USB", QT_TRANSLATE_NOOP("Tooltips", "USB — upper sideband")},
    {"ControlPanel1", "CW", QT_TRANSLATE_NOOP("Tooltips", "CW — Morse telegraphy")},
    {"ControlPanel1", "MS", QT_TRANSLATE_NOOP("Tooltips", "MS — memory scan through the channels of the linked banks")},
    {"ControlPanel1", "PS", QT_TRANSLATE_NOOP("Tooltips", "PS — program search through the chosen search bank")},
    {"ControlPanel1", "1MHz", QT_TRANSLATE_NOOP("Tooltips", "1MHz — scan the 1 MHz around the tuned frequency")},
    {"ControlPanel1", "SCOPE", QT_TRANSLATE_NOOP("Tooltips", "SCOPE — active band scope: sweep around the tuned frequency")},
    {"ControlPanel1", "STATIC", QT_TRANSLATE_NOOP("Tooltips", "STATIC — static band scope: sweep a fixed span")},
    {"ControlPanel1", "VFO", QT_TRANSLATE_NOOP("Tooltips", "VFO — tune by hand with the keypad, the typed frequency or the direction pad")},
    {"ControlPanel1", "AUTO", QT_TRANSLATE_NOOP("Tooltips", "AUTO — the auto-mode ranges choose mode, step and the other settings by frequency")},
    {"ControlPanel1", "ADJ", QT_TRANSLATE_NOOP("Tooltips", "ADJ — tuned frequencies snap to the step grid")},
    {"ControlPanel1", "+MEM", QT_TRANSLATE_NOOP("Tooltips", "+MEM — store the tuned frequency as a memory channel")},
    {"ControlPanel1", "+PASS", QT_TRANSLATE_NOOP("Tooltips", "+PASS — store the tuned frequency as a pass channel, skipped by the scan")},
    {"ControlPanel1", "PRI", QT_TRANSLATE_NOOP("Tooltips", "PRI — watch the priority channel now and then while scanning")},
    {"ControlPanel1", "Step", QT_TRANSLATE_NOOP("Tooltips", "STEP — tuning step")},
    {"ControlPanel1", "Attenuator", QT_TRANSLATE_NOOP("Tooltips", "ATT — attenuator (not in memory scan)")},
    {"ControlPanel1", "Direction pad", QT_TRANSLATE_NOOP("Tooltips", "Direction pad — drag left or right to tune down or up; in VFO mode the left button moves by the step, the right button by the sub-step")},
    // Control panel 2
    {"ControlPanel2", "IF band width", QT_TRANSLATE_NOOP("Tooltips", "IF band width of the receiver's filter in use")},
    {"ControlPanel2", "NFM", QT_TRANSLATE_NOOP("Tooltips", "Mode scan: NFM channels are visited while MSM is on")},
    {"ControlPanel2", "WFM", QT_TRANSLATE_NOOP("Tooltips", "Mode scan: WFM channels are visited while MSM is on")},
    {"ControlPanel2", "AM", QT_TRANSLATE_NOOP("Tooltips", "Mode scan: AM channels are visited while MSM is on")},
    {"ControlPanel2", "LSB", QT_TRANSLATE_NOOP("Tooltips", "Mode scan: LSB channels are visited while MSM is on")},
    {"ControlPanel2", "USB", QT_TRANSLATE_NOOP("Tooltips", "Mode scan: USB channels are visited while MSM is on")},
    {"ControlPanel2", "CW", QT_TRANSLATE_NOOP("Tooltips", "Mode scan: CW channels are visited while MSM is on")},
    {"ControlPanel2", "MSM", QT_TRANSLATE_NOOP("Tooltips", "MSM — mode scan: the memory scan visits only the lit modes")},
    {"ControlPanel2", "0", QT_TRANSLATE_NOOP("Tooltips", "Keypad 0 — frequency entry (band scope and VFO modes)")},
    {"ControlPanel2", "1", QT_TRANSLATE_NOOP("Tooltips", "Keypad 1 — frequency entry (band scope and VFO modes)")},
    {"ControlPanel2", "2", QT_TRANSLATE_NOOP("Tooltips", "Keypad 2 — frequency entry (band scope and VFO modes)")},
    {"ControlPanel2", "3", QT_TRANSLATE_NOOP("Tooltips", "Keypad 3 — frequency entry (band scope and VFO modes)")},
    {"ControlPanel2", "4", QT_TRANSLATE_NOOP("Tooltips", "Keypad 4 — frequency entry (band scope and VFO modes)")},
    {"ControlPanel2", "5", QT_TRANSLATE_NOOP("Tooltips", "Keypad 5 — frequency entry (band scope and VFO modes)")},
    {"ControlPanel2", "6", QT_TRANSLATE_NOOP("Tooltips", "Keypad 6 — frequency entry (band scope and VFO modes)")},
    {"ControlPanel2", "7", QT_TRANSLATE_NOOP("Tooltips", "Keypad 7 — frequency entry (band scope and VFO modes)")},
    {"ControlPanel2", "8", QT_TRANSLATE_NOOP("Tooltips", "Keypad 8 — frequency entry (band scope and VFO modes)")},
    {"ControlPanel2", "9", QT_TRANSLATE_NOOP("Tooltips", "Keypad 9 — frequency entry (band scope and VFO modes)")},
    {"ControlPanel2", ".", QT_TRANSLATE_NOOP("Tooltips", "Decimal point — frequency entry")},
    {"ControlPanel2", "CE", QT_TRANSLATE_NOOP("Tooltips", "CE — clear the frequency being entered")},
    {"ControlPanel2", "ENT", QT_TRANSLATE_NOOP("Tooltips", "ENT — tune the entered frequency in MHz")},
    {"ControlPanel2", "kHz", QT_TRANSLATE_NOOP("Tooltips", "kHz — tune the entered frequency in kHz")},
    {"ControlPanel2", "Delay time", QT_TRANSLATE_NOOP("Tooltips", "DELAY TIME — seconds the scan waits after a signal ends")},
    {"ControlPanel2", "Pause time", QT_TRANSLATE_NOOP("Tooltips", "PAUSE TIME — longest stop on a signal in seconds (one value with AS-M on, one with it off)")},
    // Tone and decoder strips
    {"CtcssPanel", "CTCSS", QT_TRANSLATE_NOOP("Tooltips", "CTCSS tone of the tuned record")},
    {"CtcssPanel", "CTCSS tone", QT_TRANSLATE_NOOP("Tooltips", "CTCSS tone squelch: OFF or the tone the squelch opens on")},
    {"CtcssPanel", "CTCSS SCAN", QT_TRANSLATE_NOOP("Tooltips", "CTCSS SCAN — search the tone of the received signal (VFO mode)")},
    {"TElmPanel", "T-ELIM.", QT_TRANSLATE_NOOP("Tooltips", "T-ELIM. — tone eliminator: OFF or the value that removes a steady tone")},
    {"DecoderPanel", "DTMF", QT_TRANSLATE_NOOP("Tooltips", "DTMF — the tones decoded from the signal")},
    {"DecoderPanel", "CLR", QT_TRANSLATE_NOOP("Tooltips", "CLR — clear the decoded tones")},
    // Band scope
    {"BandScopePanel", "Band scope", QT_TRANSLATE_NOOP("Tooltips", "Band scope — signal level across the span; click to tune there, right-click to centre the span there")},
    {"BandScopePanel", "Span", QT_TRANSLATE_NOOP("Tooltips", "Span — width of the band the scope sweeps")},
    {"BandScopePanel", "RESTART", QT_TRANSLATE_NOOP("Tooltips", "RESTART — start the sweep again")},
    // Database panel
    {"DatabasePanel", "Memory Channels", QT_TRANSLATE_NOOP("Tooltips", "MEM — the memory channels")},
    {"DatabasePanel", "Memory Backup", QT_TRANSLATE_NOOP("Tooltips", "BANK — the memory banks and the link set that chooses which banks the scan visits")},
    {"DatabasePanel", "Scanning Conditions", QT_TRANSLATE_NOOP("Tooltips", "SRCH — the search banks: ranges for program search")},
    {"DatabasePanel", "Scan Block (PASS) Conditions", QT_TRANSLATE_NOOP("Tooltips", "PASS — ranges the search skips")},
    {"DatabasePanel", "Auto Mode Conditions", QT_TRANSLATE_NOOP("Tooltips", "AUTO — ranges whose mode and step AUTO applies")},
    {"DatabasePanel", "Selection/Input Conditions", QT_TRANSLATE_NOOP("Tooltips", "STR — the search texts offered in the search box")},
    {"DatabasePanel", "Log", QT_TRANSLATE_NOOP("Tooltips", "LOG — the signals written into the log")},
    {"DatabasePanel", "Search backward", QT_TRANSLATE_NOOP("Tooltips", "Find the search text in an earlier row")},
    {"DatabasePanel", "Search forward", QT_TRANSLATE_NOOP("Tooltips", "Find the search text in a later row")},
    {"DatabasePanel", "Search text", QT_TRANSLATE_NOOP("Tooltips", "Text to find in the list (frequency or comment)")},
    {"DatabasePanel", "Bank link set", QT_TRANSLATE_NOOP("Tooltips", "Bank link set in use — type to rename it")},
    {"DatabasePanel", "Columns", QT_TRANSLATE_NOOP("Tooltips", "Columns of the list")},
    {"DatabasePanel", "Memory channel list", QT_TRANSLATE_NOOP("Tooltips", "Memory channels — double-click to tune a channel, F2 to edit, right-click for more")},
    {"DatabasePanel", "Memory bank list", QT_TRANSLATE_NOOP("Tooltips", "Memory banks — F2 to rename a bank, right-click for the bank commands")},
    {"DatabasePanel", "Search bank list", QT_TRANSLATE_NOOP("Tooltips", "Search banks — F2 to edit a range; in band scope modes a double-click sweeps that bank")},
    {"DatabasePanel", "Pass range list", QT_TRANSLATE_NOOP("Tooltips", "Pass ranges — frequencies the search skips; F2 to edit")},
    {"DatabasePanel", "Auto mode range list", QT_TRANSLATE_NOOP("Tooltips", "Auto-mode ranges — mode and step applied by frequency while AUTO is on; F2 to edit")},
    {"DatabasePanel", "Search string list", QT_TRANSLATE_NOOP("Tooltips", "Search texts — F2 to edit")},
    {"DatabasePanel", "Log list", QT_TRANSLATE_NOOP("Tooltips", "Log — double-click to tune an entry, right-click for more")},
    {"DatabasePanel", "Statistics", QT_TRANSLATE_NOOP("Tooltips", "Statistics of the channels heard")},
};
// clang-format on

constexpr const char* kOrdinaryProperty = "kovoOrdinaryTooltip";
constexpr const char* kReasonProperty = "kovoWhyUnavailable";

QString shortClassName(const QObject& object) {
    const QString name = QString::fromLatin1(object.metaObject()->className());
    return name.mid(name.lastIndexOf(QLatin1Char(':')) + 1);
}

const PanelBase* panelOf(const QWidget& control) {
    for (const QWidget* w = control.parentWidget(); w; w = w->parentWidget())
        if (const auto* panel = qobject_cast<const PanelBase*>(w))
            return panel;
    return nullptr;
}

const char* tipFor(const QString& panel, const QString& control) {
    for (const Tip& tip : kTips)
        if (panel == QLatin1String(tip.panel) && control == QLatin1String(tip.control))
            return tip.text;
    return nullptr;
}

void compose(QWidget& control) {
    const QString ordinary = control.property(kOrdinaryProperty).toString();
    const QString why = control.property(kReasonProperty).toString();
    if (why.isEmpty())
        control.setToolTip(ordinary);
    else if (ordinary.isEmpty())
        control.setToolTip(why);
    else
        control.setToolTip(ordinary + QLatin1Char('\n') + why);
}

} // namespace

void applyPanelTooltips(QWidget& panel) {
    const QString panelName = shortClassName(panel);
    for (QWidget* control : panel.findChildren<QWidget*>()) {
        if (panelOf(*control) != &panel)
            continue;
        const char* text = tipFor(panelName, control->accessibleName());
        if (!text)
            continue;
        control->setProperty(kOrdinaryProperty, QCoreApplication::translate("Tooltips", text));
        compose(*control);
    }
}

void showWhyUnavailable(QWidget& control, const QString& why) {
    control.setProperty(kReasonProperty, why);
    compose(control);
}

QString ordinaryTooltip(const QWidget& control) {
    return control.property(kOrdinaryProperty).toString();
}

} // namespace kovo
