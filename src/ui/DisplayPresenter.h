#pragma once
#include "data/OperatingMode.h"
#include "link/LinkObserver.h"
#include "ui/ReceiverPresence.h"

#include <QPoint>
#include <QString>

#include <functional>
#include <string>

namespace kovo {

class CKovo5Doc;
class CoreCommands;
class DisplayPanel;
class FrameHost;
class PanelEdit;
class SettingsWriter;

// The display panel: shows the tuned frequency, the bank, name, channel and
// comment of the record in use, the panel toggles and the operating mode, and
// handles Enter/Escape in the panel fields, the gain slider and the window
// drag while the title strip is hidden.
class DisplayPresenter {
public:
    struct Ports {
        DisplayPanel& panel;
        CKovo5Doc& doc;
        SettingsWriter& settings;
        CoreCommands& core;
        FrameHost& frame;
        // Rewrites every panel from the document (after Enter or Escape).
        std::function<void()> refreshPanels;
    };

    explicit DisplayPresenter(Ports ports) : ports_(std::move(ports)) {}

    static constexpr const char* kNoReceiverText = "NO RECEIVER";

    // ---- refresh ----
    void refreshAll();
    // The five text fields, from the record the panels show.
    void refreshText();
    // The four panel toggles, from the settings.
    void showToggles();
    void showOperatingMode(OperatingMode mode);
    // While no receiver answers, the frequency window reads kNoReceiverText
    // and the meter is dimmed.
    void showLinkStatus(LinkStatus status);
    bool receiverAbsent() const { return presence_.absent(); }

    // ---- what the user does ----
    // Enter (true) or Escape in a panel field; false when the key keeps its
    // ordinary meaning.
    bool onFieldKey(PanelEdit& field, bool enter);
    void onGainMoved(int value);
    void onSurfacePressed(QPoint pressPoint, QPoint globalPos);
    void onSurfaceDragged(QPoint globalPos);
    void onSurfaceReleased();

private:
    Ports ports_;
    ReceiverPresence presence_;
    // The last texts shown, converted from code page 932 only when changed.
    std::string shownComment_;
    QString shownCommentText_;
    std::string shownName_;
    QString shownNameText_;
    // Window drag.
    bool movingWindow_ = false;
    QPoint pressPoint_;
};

} // namespace kovo
