#include "ui/ControlPanel2Presenter.h"

#include "data/CKovo5Doc.h"
#include "scan/ReceiverOperations.h"
#include "ui/ControlPanel2.h"
#include "ui/ImageKey.h"
#include "ui/PanelSlider.h"
#include "ui/ViewInterfaces.h"

namespace kovo {

void ControlPanel2Presenter::refreshAll() {
    const CControlParams& cp = ports_.doc.controlParams;
    ControlPanel2& p = ports_.panel;
    p.showIfBandwidth(ports_.doc.mainRecord.ifBandwidth);
    for (int m = 0; m < 6; ++m)
        p.modeScanKey(m).setState(cp.modeEnabled[std::size_t(m)] == 1);
    p.modeScanKey(ControlPanel2::kMsmKey).setState(cp.modeFilter == 1);
    p.delaySlider().showValue(cp.delaySeconds);
    showPauseTime();
}

void ControlPanel2Presenter::showIfBandwidth(int ifBandwidth) {
    ports_.panel.showIfBandwidth(ifBandwidth);
}

void ControlPanel2Presenter::showPauseTime() {
    ports_.panel.pauseSlider().showValue(ports_.doc.controlParams.pauseSeconds());
}

void ControlPanel2Presenter::onModeScanKey(int index) {
    using Switch = ReceiverOperations::PanelSwitch;
    ReceiverOperations& ops = ports_.core.operations();
    ControlPanel2& p = ports_.panel;
    if (index == ControlPanel2::kMsmKey) {
        p.modeScanKey(index).setState(ops.toggle(Switch::ModeFilter));
    } else if (index >= 0 && index < 6) {
        p.modeScanKey(index).setState(ops.toggle(Switch::ModeEnabled, index));
    }
}

void ControlPanel2Presenter::onDelayMoved(int seconds) {
    ports_.core.operations().setDelaySeconds(seconds);
}

void ControlPanel2Presenter::onPauseMoved(int seconds) {
    ports_.core.operations().setPauseSeconds(seconds);
}

} // namespace kovo
