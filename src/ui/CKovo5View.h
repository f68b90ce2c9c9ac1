#pragma once
#include "scan/ReceiverOperations.h"
#include "scan/TuningRules.h"
#include "scan/ViewSink.h"
#include "ui/PanelFonts.h"
#include "ui/PanelStack.h"
#include "ui/PanelStackLayout.h"
#include "ui/ReceiverPresence.h"
#include "ui/ViewInterfaces.h"

#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QString>

#include <functional>
#include <memory>
#include <string>

class QMenu;

namespace kovo {

class CKovo5Doc;
class DatabasePanel;
class Notifier;
class PanelEdit;
class PanelStack;
struct CFrequencyData;

// The front panel's controller: owns the panel stack, decides which strips
// are shown, refreshes the panels from the document and turns what the user
// does on them into document changes and core commands. It never talks to
// the receiver.
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
    // reads kNoReceiverText and the meter is dimmed.
    void showLinkStatus(LinkStatus status);
    bool receiverAbsent() const { return presence_.absent(); }
    static constexpr const char* kNoReceiverText = "NO RECEIVER";

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

    // ---- actions, as the panels call them ----
    void onControl1Key(int key);
    void selectMode(int keyMode);
    void onStepChosen(int row);
    void onAttenuatorChosen(int row);
    void onPadPressed(int x, Qt::MouseButton button);
    void onPadMoved(int x, Qt::MouseButtons buttons);
    void onPadReleased();
    // The mouse wheel over the frequency window or the pad, and Up/Down in
    // the frequency field: notches of a tuning knob (negative: down), each a
    // main step, or a sub-step with Ctrl.
    void onKnob(int notches, bool subStep);
    void onModeScanKey(int index);
    void onKeypad(int pad);
    const std::string& entryText() const { return entryText_; }
    // "2040.000000": the longest entry the frequency window shows.
    static constexpr std::size_t kMaxKeypadEntry = 11;
    void onDelayMoved(int seconds);
    void onPauseMoved(int seconds);
    void onToneMoved(int tone);
    void onToneSearchKey();
    void onTElmMoved(int value);
    void onSpanChosen(int row);
    void onScopePointer(int x);
    void onScopeClick(int x, Qt::MouseButton button);
    // Enter (true) or Escape in a panel field; false when the key keeps its
    // ordinary meaning.
    bool onFieldKey(PanelEdit& field, bool enter);
    void onGainMoved(int value);
    // A menu command of the display panel's menu (32771.. range).
    void runMenuCommand(int commandId);
    // The display panel's right-button menu, filled for the current state.
    std::unique_ptr<QMenu> buildContextMenu();

    // The window drag while the title strip is hidden.
    void onSurfacePressed(QPoint pressPoint, QPoint globalPos);
    void onSurfaceDragged(QPoint globalPos);
    void onSurfaceReleased();

private:
    void connectPanels();
    // Display panel.
    void refreshDisplayAll();
    void refreshText();
    void setToggleImages();
    // Control panel 1.
    void refreshControl1All();
    void refreshControl1FromReceiver();
    void showModeKey(int mode);
    void showStepList(int stepIndex);
    void showAttenuatorList(int attenuator);
    void showOperatingModeKey(int mode);
    void setPadImage(int image);
    // Control panel 2.
    void refreshControl2All();
    int pauseTimeThatApplies() const;
    // Strips.
    void refreshCtcssAll();
    void refreshCtcssLabel(bool moveSlider, bool force = false);
    void refreshTElmAll();
    void refreshTElmLabel(bool moveSlider, bool force = false);
    void onStripsOperatingMode(OperatingMode mode);
    // Tuning.
    ReceiverOperations& ops() const;
    void vfoDrag(int pixels, bool subStep);
    void padStep(int direction, const std::function<void()>& tuneVfo);
    void showStoreOutcome(ReceiverOperations::StoreOutcome outcome);

    Ports ports_;
    PanelFonts fonts_;
    // Deleted with the view unless the main window that adopted it went first.
    QPointer<PanelStack> stack_;
    DatabaseListSink* databaseList_ = nullptr;
    DatabasePanel* databasePanel_ = nullptr; // owned by the stack

    // Last values shown, so that a refresh touches only what changed.
    int litMode_ = -1;
    int litOperatingMode_ = -1;
    int shownStep_ = -1;
    int shownAttenuator_ = -1;
    int shownCtcss_ = -1;
    int shownTElm_ = -1;
    // Whether the last layout made room for the band scope.
    bool laidOutWithBandScope_ = false;
    std::string shownComment_;
    QString shownCommentText_;
    std::string shownName_;
    QString shownNameText_;

    ReceiverPresence presence_;
    // Direction pad drag.
    bool dragging_ = false;
    int lastX_ = -1;
    DragAccumulator dragAccumulator_;
    // Keypad entry.
    std::string entryText_;
    // Window drag.
    bool movingWindow_ = false;
    QPoint pressPoint_;
};

} // namespace kovo
