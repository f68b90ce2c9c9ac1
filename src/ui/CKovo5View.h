#pragma once
#include "link/LinkObserver.h"
#include "scan/ViewSink.h"
#include "ui/PanelFonts.h"
#include "ui/PanelStack.h"
#include "ui/PanelStackLayout.h"
#include "ui/ViewInterfaces.h"

#include <QObject>
#include <QPointer>

#include <memory>

namespace kovo {

class BandScopePresenter;
class CKovo5Doc;
class ControlPanel1Presenter;
class ControlPanel2Presenter;
class DatabasePanel;
class DisplayMenuPresenter;
class DisplayPresenter;
class KeypadPresenter;
class Notifier;
class PanelStack;
class StripPanelsPresenter;
struct CFrequencyData;

// The front panel: owns the panel stack, decides which strips are shown and
// hands each panel to its presenter, which refreshes it from the document and
// turns what the user does on it into document changes and core commands.
// Nothing here talks to the receiver.
class CKovo5View : public QObject, public ViewSink {
    Q_OBJECT
public:
    struct Ports {
        CKovo5Doc& doc;
        SettingsWriter& settings;
        Notifier& notifier;
        CoreCommands& core;
        FrameHost& frame;
    };

    explicit CKovo5View(Ports ports, QObject* parent = nullptr);
    ~CKovo5View() override;

    // The stack widget; the main window adopts it (it becomes its child).
    PanelStack& stack() const { return *stack_; }
    const PanelFonts& fonts() const { return fonts_; }
    CKovo5Doc& doc() const { return ports_.doc; }
    void setDatabaseList(DatabaseListSink* list) { databaseList_ = list; }
    DatabasePanel& databasePanel() const { return *databasePanel_; }

    // ---- layout ----
    StackInputs stackInputs() const;
    void layout(bool moveOnly);
    // Inverts "ShowTitle" (0), "ShowControl1" (1), "ShowControl2" (2) or
    // "ShowDataBase" (3) and lays the stack out again.
    void togglePanel(int i);
    // Applies "ShowTitle" to the frame and lays the stack out again.
    void showTitleStrip();

    // ---- refresh ----
    // Everything from the document (after start-up, New and Open).
    void refreshAll();
    // The record the panels show: the priority record during a priority check.
    const CFrequencyData& activeRecord() const;
    // The meter: a report's squelch state and level; returns the clamped level.
    int showSignal(bool signalPresent, int level);
    // The link's status: while no receiver answers, the frequency window
    // says so and the meter is dimmed.
    void showLinkStatus(LinkStatus status);
    // The receiver is the built-in simulator for this run: the display says so.
    void showDemoMode(bool on);

    // ---- the panels' presenters ----
    DisplayPresenter& display() const { return *display_; }
    DisplayMenuPresenter& displayMenu() const { return *displayMenu_; }
    KeypadPresenter& keypad() const { return *keypad_; }

    // ---- ViewSink ----
    void refreshPanels() override;
    void refreshDisplay() override;
    void showOperatingMode(OperatingMode mode) override;
    void showPriorityScan(bool on) override;
    void selectChannelRow(int row) override;
    void bringChannelRowIntoView(int row) override;
    void selectNewestLogEntry() override;
    void selectLogCaretRow() override;
    void resetScope() override;
    void showStaticScope() override;
    void plotScopePoint(bool signalPresent, int level) override;
    void moveScopeCursor(int sweepIndex) override;

private:
    void makePresenters();
    void connectPanels();
    void connectDisplay();
    void connectControls();
    void connectStripsAndScope();
    void chooseLinkSet(int set);

    Ports ports_;
    PanelFonts fonts_;
    // Deleted with the view unless the main window that adopted it went first.
    QPointer<PanelStack> stack_;
    DatabaseListSink* databaseList_ = nullptr;
    DatabasePanel* databasePanel_ = nullptr; // owned by the stack
    // Whether the last layout made room for the band scope.
    bool laidOutWithBandScope_ = false;

    std::unique_ptr<DisplayPresenter> display_;
    std::unique_ptr<DisplayMenuPresenter> displayMenu_;
    std::unique_ptr<ControlPanel2Presenter> control2_;
    std::unique_ptr<ControlPanel1Presenter> control1_;
    std::unique_ptr<KeypadPresenter> keypad_;
    std::unique_ptr<StripPanelsPresenter> strips_;
    std::unique_ptr<BandScopePresenter> scope_;
};

} // namespace kovo
