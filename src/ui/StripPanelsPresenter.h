#pragma once
#include "data/OperatingMode.h"

namespace kovo {

class CKovo5Doc;
class CoreCommands;
class CtcssPanel;
class TElmPanel;

// The CTCSS strip (tone slider, tone name, tone search key) and the T-ELM
// strip (slider and value) of the record tuned now.
class StripPanelsPresenter {
public:
    struct Ports {
        CtcssPanel& ctcss;
        TElmPanel& tElm;
        CKovo5Doc& doc;
        CoreCommands& core;
    };

    explicit StripPanelsPresenter(Ports ports) : ports_(ports) {}

    // ---- refresh ----
    void refreshAll();
    // Disables, with the reason as tooltip, the tone search and the tone
    // eliminator of a receiver that lacks them.
    void offerFeatures();
    // The tone and T-ELM labels and sliders, when their values changed.
    void refreshLabels();
    // The sliders go in memory scan; tone search belongs to VFO.
    void showOperatingMode(OperatingMode mode);

    // ---- what the user does ----
    void onToneMoved(int tone);
    void onToneSearchKey();
    void onTElmMoved(int value);

private:
    void refreshCtcssLabel(bool moveSlider, bool force = false);
    void refreshTElmLabel(bool moveSlider, bool force = false);

    Ports ports_;
    // Last values shown, so that a refresh touches only what changed.
    int shownCtcss_ = -1;
    int shownTElm_ = -1;
};

} // namespace kovo
