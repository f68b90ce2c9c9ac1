#pragma once

namespace kovo {

class CKovo5Doc;
class ControlPanel2;
class CoreCommands;

// Control panel 2: the IF bandwidth lamp, the delay and pause sliders and the
// mode-scan keys. (Its keypad belongs to the frequency entry.)
class ControlPanel2Presenter {
public:
    struct Ports {
        ControlPanel2& panel;
        CKovo5Doc& doc;
        CoreCommands& core;
    };

    explicit ControlPanel2Presenter(Ports ports) : ports_(ports) {}

    // ---- refresh ----
    void refreshAll();
    void showIfBandwidth(int ifBandwidth);
    // The pause time that applies now (it differs with auto-store).
    void showPauseTime();

    // ---- what the user does ----
    void onModeScanKey(int index);
    void onDelayMoved(int seconds);
    void onPauseMoved(int seconds);

private:
    Ports ports_;
};

} // namespace kovo
