#include "scan/OperatingModes.h"

namespace kovo {

OperatingModes::OperatingModes(CKovo5Doc& doc, ScanSteps& steps, BandScope& scope, ViewSink& view)
    : doc_(doc), state_(steps.state()), steps_(steps), scope_(scope), view_(view) {}

namespace {
using enum OperatingMode;
}

void OperatingModes::setOperatingMode(int stored) {
    if (isKnownOperatingMode(stored))
        setOperatingMode(static_cast<OperatingMode>(stored));
}

void OperatingModes::setOperatingMode(OperatingMode mode) {
    if (!isKnownOperatingMode(toStored(mode)))
        return;
    // The mode the program starts in is no change of the document.
    doc_.parameters().setOperatingMode(mode, documentLoaded_);
    // Tone search belongs to VFO.
    if (mode != Vfo)
        state_.toneSearch = false;
    CControlParams& params = doc_.controlParams;
    view_.showOperatingMode(mode);

    switch (mode) {
    case MemoryScan:
        params.manualTuning = 0;
        steps_.memoryScanStep();
        return;
    case ProgramSearch:
        params.manualTuning = 0;
        if (!steps_.startProgramSearch()) {
            // Nothing to search: the receiver stays under manual control.
            doc_.parameters().setOperatingMode(Vfo, documentLoaded_);
            view_.showOperatingMode(Vfo);
        }
        return;
    case OneMegahertzScan:
        params.manualTuning = 0;
        steps_.setOneMegahertzWindow();
        steps_.oneMegahertzStep();
        return;
    case ActiveBandScope:
        scope_.enter(true);
        params.manualTuning = 0;
        view_.refreshDisplay();
        return;
    case StaticBandScope:
        params.manualTuning = 0;
        scope_.enter(false);
        return;
    case Vfo:
        params.manualTuning = 0;
        return;
    }
}

void OperatingModes::channelChosenByHand(int row) {
    if (doc_.controlParams.mode() == ProgramSearch)
        return;
    doc_.tuning().recallChannel(row);
    tunedByHand();
}

void OperatingModes::logEntryChosenByHand(int r) {
    if (doc_.controlParams.mode() == ProgramSearch)
        return;
    doc_.tuning().recallLogEntry(r);
    tunedByHand();
}

void OperatingModes::searchBankChosenByHand(int k) {
    if (!showsBandScope(doc_.controlParams.mode()))
        return;
    doc_.tuning().loadSearchBank(k);
    tunedByHand();
}

void OperatingModes::tunedByHand() {
    doc_.controlParams.manualTuning = 1;
    view_.refreshPanels();
    const OperatingMode mode = doc_.controlParams.mode();
    if (scansAroundTunedFrequency(mode))
        setOperatingMode(mode);
}

} // namespace kovo
