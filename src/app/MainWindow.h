#pragma once
#include "app/DialogColours.h"
#include "app/DocumentController.h"
#include "app/FrameMessageBoxes.h"
#include "app/MainMenus.h"
#include "app/WindowPositionKeeper.h"
#include "ui/ViewInterfaces.h"

#include <QMainWindow>
#include <QPointer>
#include <functional>
#include <map>
#include <memory>

class QMenu;

namespace kovo {

struct AppSettings;
class AppSettingsWriter;
class CKovo5Doc;
class CKovo5View;
struct HistoryActions;
class ReceiverCore;
class RigctlService;
class WebRemoteService;
class SettingsStore;

// The program's one top-level window. With the title strip shown it has a
// caption and the main menu, an 8-pixel gap and the front panel under it;
// without, it is a borderless window that is only the front panel. It builds
// none of the parts its menus act on: it is handed them once they exist.
class MainWindow : public QMainWindow, private FrameHost {
    Q_OBJECT
public:
    // Command numbers of the main menu.
    enum Command : int {
        CommandNew = 57600,
        CommandOpen = 57601,
        CommandSave = 57603,
        CommandSaveAs = 57604,
        CommandRecentFirst = 57616,
        CommandExit = 57665,
        CommandHelpContents = 57667,
        CommandAbout = 57664,
        CommandExportMemory = 32946,
        CommandExportLog = 32967,
        CommandComPort = 32787,
        CommandDisplayPreference = 32885,
        CommandSubStep = 32882,
        CommandCwPitch = 32883,
        CommandDefaultBandWidth = 32884,
        CommandAfGainRange = 32886,
        CommandPowerControl = 32887,
        CommandOptions = 32888,
        CommandRigctl = 33100,         // this program's own: the Hamlib network server
        CommandHistory = 33101,        // this program's own: the hit history window
        CommandImportChannels = 33102, // this program's own: channels from a CSV file
        CommandExportChirp = 33103,    // this program's own: channels as CHIRP's CSV
        CommandWebRemote = 33104,      // this program's own: the web remote
        CommandLanguageSystem = 33105, // this program's own: the desktop's language
        CommandLanguageJapanese = 33106,
        CommandLanguageEnglish = 33107,
    };
    static constexpr int frameWidth = 555;
    static constexpr int titleGap = 8;

    // What the menu commands and the window's events act on. Every part
    // outlives the window's use of it.
    struct Parts {
        CKovo5Doc& doc;
        DocumentController& documents;
        CKovo5View& view;
        ReceiverCore& core;
        RigctlService& rigctl;
        Notifier& notifier;
    };

    // The settings writer keeps the window's position and the configuration
    // dialogs' choices; the store holds the Hamlib server's settings. The
    // timers tell when the window has stopped moving.
    MainWindow(AppSettingsWriter& writer, SettingsStore& store,
               std::unique_ptr<TimerService> moveTimers);
    ~MainWindow() override;

    // What the front panel asks of the window; the view is built with it
    // before the window is handed its parts.
    FrameHost& frameHost() { return *this; }

    // Takes the front panel in under the title strip and connects the menus
    // to the parts. Once, right after the parts are built.
    void attach(Parts parts);
    // The web remote the "Web remote…" command configures; without one the
    // command says so.
    void setWebRemote(WebRemoteService* webRemote) { webRemote_ = webRemote; }

    // Moves the window to its stored position and shows it.
    void showAtStoredPosition();

    // The window is being moved to x, y (by a drag of the bare front panel);
    // the position is stored once the moves stop.
    void keepPosition(int x, int y) { positionKeeper_.moved(x, y); }

    // Carries out a menu command; false for a number the frame does not know.
    bool runMenuCommand(int command);
    // The port settings have been stored: the port is reopened on them. A
    // receiver kind chosen anew replaces a stand-in receiver (the demo's)
    // with the configured one, whole: its device, its commands, its
    // features and its signal.
    void applyPortSettings(bool receiverKindChanged);

    QWidget* panelArea() const { return panelArea_; }
    // Height of the title strip: the menu bar.
    int titleHeight() const;
    // Height of the front panel below the title strip.
    int stackHeight() const { return stackHeight_; }

protected:
    void moveEvent(QMoveEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    // FrameHost: what the front panel asks of the window.
    void showTitleStrip(bool shown) override;
    void stackResized(int height) override;
    void setStayOnTop(bool onTop) override;
    void moveFrame(int x, int y) override;
    bool startSystemMove() override;
    void runCommand(int commandId) override;
    bool confirmOverwrite() override;

    void createCommands();
    void configurePort();
    void rebuildRecentFiles();
    void applyFrame();
    void showHelp();
    // File ▸ Export ▸ channels as CHIRP's CSV, every channel of the table.
    void exportChirp();
    void updateTitle();
    // The Hamlib network server's dialog.
    void configureRigctl();
    void configureWebRemote();
    // Configurations ▸ Language: one checked choice, stored for the next start.
    void chooseLanguage(int command);
    // The History window, opened on its own connection to the history store
    // the first time and raised after that.
    void showHistory();
    HistoryActions historyActions();

    const AppSettings& settings_;
    AppSettingsWriter& writer_;
    SettingsStore& store_;
    WindowPositionKeeper positionKeeper_;
    // The parts, from attach on.
    CKovo5Doc* doc_ = nullptr;
    DocumentController* documents_ = nullptr;
    CKovo5View* view_ = nullptr;
    ReceiverCore* core_ = nullptr;
    RigctlService* rigctl_ = nullptr;
    WebRemoteService* webRemote_ = nullptr;
    Notifier* notifier_ = nullptr;
    QWidget* panelArea_ = nullptr;
    QPointer<QWidget> history_;
    QPointer<QWidget> help_;
    MainMenus menus_{*this, [this](int command) { runMenuCommand(command); }};
    std::map<int, std::function<void()>> commands_;
    int stackHeight_ = 0;
    bool stayOnTop_ = false;
};

} // namespace kovo
