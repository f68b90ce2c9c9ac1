#include "ui/StripPanelsPresenter.h"

#include "data/CKovo5Doc.h"
#include "data/ValueTables.h"
#include "scan/ReceiverOperations.h"
#include "ui/ImageKey.h"
#include "ui/PanelArt.h"
#include "ui/PanelEdit.h"
#include "ui/PanelSlider.h"
#include "ui/PanelTooltips.h"
#include "ui/StripPanels.h"
#include "ui/ViewInterfaces.h"

#include <cstdio>

namespace kovo {

void StripPanelsPresenter::refreshAll() {
    CtcssPanel& c = ports_.ctcss;
    c.slider().showValue(ports_.doc.mainRecord.ctcss);
    c.scanKey().setState(ports_.core.toneSearch());
    refreshCtcssLabel(true, true);
    ports_.tElm.slider().showValue(ports_.doc.mainRecord.tElm);
    refreshTElmLabel(true, true);
    offerFeatures();
}

void StripPanelsPresenter::offerFeatures() {
    const ReceiverFeatures* f = ports_.core.receiverFeatures();
    const auto offer = [f](QWidget& widget, ReceiverFeature feature) {
        widget.setEnabled(!f || f->has(feature));
        showWhyUnavailable(widget, f ? QString::fromStdString(f->whyMissing(feature)) : QString());
    };
    offer(ports_.ctcss.scanKey(), ReceiverFeature::ToneSearch);
    offer(ports_.tElm.slider(), ReceiverFeature::ToneEliminator);
}

void StripPanelsPresenter::refreshLabels() {
    refreshCtcssLabel(true);
    refreshTElmLabel(true);
}

void StripPanelsPresenter::refreshCtcssLabel(bool moveSlider, bool force) {
    const int tone = ports_.core.activeRecord(ports_.doc).ctcss;
    if (tone == shownCtcss_ && !force)
        return;
    shownCtcss_ = tone;
    const std::string_view name = ctcssName(tone);
    CtcssPanel& p = ports_.ctcss;
    p.field().showText(QString::fromLatin1(name.data(), int(name.size())));
    if (moveSlider)
        p.slider().showValue(tone);
}

void StripPanelsPresenter::refreshTElmLabel(bool moveSlider, bool force) {
    const int value = ports_.core.activeRecord(ports_.doc).tElm;
    if (value == shownTElm_ && !force)
        return;
    shownTElm_ = value;
    char buf[24];
    if (value == 0)
        std::snprintf(buf, sizeof buf, "  OFF");
    else
        std::snprintf(buf, sizeof buf, "  %3d", value);
    TElmPanel& p = ports_.tElm;
    p.field().showText(QString::fromLatin1(buf));
    if (moveSlider)
        p.slider().showValue(value);
}

void StripPanelsPresenter::showOperatingMode(OperatingMode mode) {
    CtcssPanel& c = ports_.ctcss;
    c.slider().setVisible(mode != OperatingMode::MemoryScan);
    // Tone search belongs to VFO; the core ends it in every other mode.
    c.scanKey().setVisible(mode == OperatingMode::Vfo);
    if (mode != OperatingMode::Vfo)
        c.scanKey().setState(0);
    ports_.tElm.slider().setVisible(mode != OperatingMode::MemoryScan);
}

void StripPanelsPresenter::onToneMoved(int tone) {
    ports_.core.operations().setTone(tone);
    refreshCtcssLabel(false);
}

void StripPanelsPresenter::onToneSearchKey() {
    const bool on = ports_.core.operations().toggleToneSearch();
    CtcssPanel& p = ports_.ctcss;
    p.scanKey().setState(on);
    if (!on)
        refreshCtcssLabel(true, true);
    else
        p.field().setFieldColour(art::kAmber);
}

void StripPanelsPresenter::onTElmMoved(int value) {
    ports_.core.operations().setTElm(value);
    refreshTElmLabel(false);
}

} // namespace kovo
