#pragma once
#include "link/ReceiverFeatures.h"
#include "scan/ReceiverOperations.h"
#include "scan/TuningRules.h"

#include <Qt>

#include <functional>

namespace kovo {

class CKovo5Doc;
class ControlPanel1;
class ControlPanel2Presenter;
class CoreCommands;
class DisplayPresenter;
class FrameHost;
class Notifier;
class SettingsWriter;

// Control panel 1: the switch keys, the receiver-mode and operating-mode
// keys, the step and attenuator lists, and the direction pad with the tuning
// knob (the mouse wheel over the frequency window or the pad).
class ControlPanel1Presenter {
public:
    struct Ports {
        ControlPanel1& panel;
        CKovo5Doc& doc;
        SettingsWriter& settings;
        Notifier& notifier;
        CoreCommands& core;
        FrameHost& frame;
        // A 1 MHz step shows its frequency at once.
        DisplayPresenter& display;
        // A mode key changes the IF bandwidth; auto-store the pause time.
        ControlPanel2Presenter& control2;
    };

    explicit ControlPanel1Presenter(Ports ports) : ports_(ports) {}

    // ---- refresh ----
    void refreshAll();
    // The mode key and the lists, from the record the panels show.
    void refreshFromReceiver();
    void showOperatingModeKey(int mode);
    void showPriorityScan(bool on);
    // Disables, with the reason as tooltip, what the receiver lacks.
    void offerFeatures();

    // ---- what the user does ----
    void onKey(int key);
    // Mode key `keyMode` (0 NFM .. 5 CW).
    void selectMode(int keyMode);
    void onStepChosen(int row);
    void onAttenuatorChosen(int row);
    void onPadPressed(int x, Qt::MouseButton button);
    void onPadMoved(int x, Qt::MouseButtons buttons);
    void onPadReleased();
    // Notches of the tuning knob (negative: down), each a main step, or a
    // sub-step with Ctrl.
    void onKnob(int notches, bool subStep);

private:
    ReceiverOperations& ops() const;
    void showModeKey(int mode);
    ReceiverFeatures features() const;
    bool keyUsable(int key) const;
    void showStepList(int stepIndex);
    void showAttenuatorList(int attenuator);
    void setPadImage(int image);
    void padStep(int direction, const std::function<void()>& tuneVfo);
    void vfoDrag(int pixels, bool subStep);
    void showStoreOutcome(ReceiverOperations::StoreOutcome outcome);

    Ports ports_;
    // Last values shown, so that a refresh touches only what changed.
    int litMode_ = -1;
    int shownStep_ = -1;
    int shownAttenuator_ = -1;
    // Direction pad drag.
    bool dragging_ = false;
    int lastX_ = -1;
    DragAccumulator dragAccumulator_;
};

} // namespace kovo
