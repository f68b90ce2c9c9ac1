#pragma once
#include "data/OperatingMode.h"

#include <Qt>

#include <functional>

namespace kovo {

class BandScopePanel;
class CKovo5Doc;
class CoreCommands;

// The band scope's display: span list, texts, bars, cursor, static map and
// the mouse over the plot. The window and the sweep are the core's BandScope.
class BandScopePresenter {
public:
    struct Ports {
        BandScopePanel& panel;
        CKovo5Doc& doc;
        CoreCommands& core;
        // Rewrites every panel from the document (after a click tunes).
        std::function<void()> refreshPanels;
    };

    explicit BandScopePresenter(Ports ports) : ports_(std::move(ports)) {}

    // ---- what the core shows ----
    void reset();
    void showStatic();
    void plotPoint(bool signalPresent, int level);
    void moveCursor(int sweepIndex);
    void showOperatingMode(OperatingMode mode);

    // ---- what the user does ----
    void onSpanChosen(int row);
    void onRestartClicked();
    // The pointer over the plot (x < 0: it left).
    void onPointer(int x);
    void onClick(int x, Qt::MouseButton button);

private:
    Ports ports_;
};

} // namespace kovo
