#pragma once
#include "data/AppSettings.h"
#include "data/OperatingMode.h"
#include "link/ReceiverFeatures.h"
#include "scan/BandScope.h"
#include "scan/ReceiverOperations.h"
#include "scan/ScanState.h"

// What the front panel needs from the rest of the program. The application
// plugs in its settings store, the scan engine and the main window; tests
// plug in recorders.
namespace kovo {

class DatabaseCore;

// The settings the panels change. Each call stores the value in the
// application's settings and writes it to the settings store at once.
class SettingsWriter {
public:
    virtual ~SettingsWriter() = default;
    virtual const AppSettings& settings() const = 0;
    virtual void setPosition(int x, int y) = 0;
    virtual void setShowTitle(int shown) = 0;
    virtual void setShowControls(int control1, int control2) = 0;
    virtual void setShowDataBase(int shown) = 0;
    virtual void setAfGain(int gain) = 0;
};

// Settings kept in memory only (the program without a store, and tests).
class MemorySettingsWriter final : public SettingsWriter {
public:
    explicit MemorySettingsWriter(AppSettings& settings) : s_(settings) {}
    const AppSettings& settings() const override { return s_; }
    void setPosition(int x, int y) override {
        s_.positionX = x;
        s_.positionY = y;
    }
    void setShowTitle(int shown) override { s_.showTitle = shown; }
    void setShowControls(int c1, int c2) override {
        s_.showControl1 = c1;
        s_.showControl2 = c2;
    }
    void setShowDataBase(int shown) override { s_.showDataBase = shown; }
    void setAfGain(int gain) override { s_.afGain = gain; }

private:
    AppSettings& s_;
};

// Operations of the receiver core that panel keys start. Each changes the
// document and then tells the view through its sink methods.
class CoreCommands {
public:
    virtual ~CoreCommands() = default;
    // Switches the operating mode with everything that goes with it,
    // including re-entering the current mode.
    virtual void setOperatingMode(OperatingMode mode) = 0;
    // Requests the next receiver command (an AR3000 hears of an attenuator
    // change only this way).
    virtual void sendNext() = 0;
    // The band scope's window and sweep, for drawing.
    virtual const BandScope& bandScope() const = 0;
    // Tuning, storing and the tuned record's settings, shared with every
    // other front end.
    virtual ReceiverOperations& operations() = 0;
    // What the database panel asks of the core (hold, hand-picked rows);
    // none when the panels run without a core.
    virtual DatabaseCore* databaseCore() { return nullptr; }
    // What the scan knows while it runs; none before a core is attached.
    virtual const ScanState* scanState() const = 0;
    // What the receiver on the line can do; none before a core is attached.
    virtual const ReceiverFeatures* receiverFeatures() const { return nullptr; }

    // The record the receiver is tuned to; the main record while no core is
    // attached.
    const CFrequencyData& activeRecord(const CKovo5Doc& doc) const {
        const ScanState* state = scanState();
        return state ? state->activeRecord() : doc.mainRecord;
    }
    bool toneSearch() const {
        const ScanState* state = scanState();
        return state && state->toneSearch;
    }
};

// The main window around the panel stack.
class FrameHost {
public:
    virtual ~FrameHost() = default;
    // Shows or hides the title strip (menu bar and window frame).
    virtual void showTitleStrip(bool shown) = 0;
    // The stack's height changed; the window follows it.
    virtual void stackResized(int height) = 0;
    // Keeps the window above other windows.
    virtual void setStayOnTop(bool onTop) = 0;
    // Moves the window's top-left corner (screen coordinates).
    virtual void moveFrame(int x, int y) = 0;
    // Hands a drag of the bare front panel to the window system, which moves
    // the window itself (the only way on Wayland). False when the window
    // system cannot: the panel then moves the window with moveFrame.
    virtual bool startSystemMove() = 0;
    // A menu command the view does not handle itself (file, configuration,
    // help, exit), by its command number.
    virtual void runCommand(int commandId) = 0;
    // The Overwrite question of +MEM; true to overwrite the stored channel.
    virtual bool confirmOverwrite() = 0;
};

// The database panel's list, as far as the core and the panel keys move it.
class DatabaseListSink {
public:
    virtual ~DatabaseListSink() = default;
    virtual void selectChannelRow(int row) = 0;
    virtual void bringChannelRowIntoView(int row) = 0;
    virtual void selectNewestLogEntry() = 0;
    virtual void selectLogCaretRow() = 0;
    // Bank-link set k was chosen from the menu.
    virtual void chooseLinkSet(int set) = 0;
};

} // namespace kovo
