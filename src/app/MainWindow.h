#pragma once
#include "app/DocumentController.h"
#include "app/SplashScreen.h"
#include "data/Notifier.h"
#include "link/CommPort.h"
#include "link/LinkObserver.h"
#include "link/TimerService.h"
#include "scan/ExternalControl.h"
#include "scan/ScanStop.h"
#include "ui/MessageBoxNotifier.h"
#include "ui/ReceiverCoreCommands.h"
#include "ui/ViewInterfaces.h"
#include "ui/database/DatabaseSeams.h"

#include <QMainWindow>
#include <QPointer>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>

class QMenu;

namespace kovo {

struct AppSettings;
class AppSettingsWriter;
class CKovo5Doc;
class CKovo5View;
class Clock;
class ReceiverCore;
class RecentFileList;
class RigctlService;
class SettingsStore;

// How the program was started.
struct ShellOptions {
    // A document named on the command line (absolute, or resolved by the caller).
    QString startupFile;
    bool showSplash = true;
    // Relative document names (the default "Frequency.kv5") live here.
    QString dataDirectory;
    // A device opened in place of the configured port for this run only
    // (the simulator's terminal in demo mode); never stored.
    std::string portOverride;
    // Called instead of opening the last document when the start-up timer
    // fires (demo mode fills the document itself); empty: open the last file.
    std::function<void(CKovo5Doc&)> replaceLastDocument;
    // Serves the Hamlib network protocol on this TCP port for this run only,
    // whatever the settings say.
    std::optional<int> rigctlPort;
};

// What the frame talks to outside itself. Anything left empty is the real
// thing: serial port, window timers, message boxes and file dialogs.
struct FrameSeams {
    std::unique_ptr<CommPort> port;
    std::unique_ptr<TimerService> timers;
    std::function<std::unique_ptr<TimerService>()> makeSplashTimers;
    Notifier* notifier = nullptr;
    FileDialogs* dialogs = nullptr;
    ExternalControl* externalControl = nullptr;
};

// The frame's message boxes: the front panel's, plus the Yes/No/Cancel
// question asked before a modified document is replaced or the program ends.
class FrameMessageBoxes final : public Notifier {
public:
    explicit FrameMessageBoxes(QWidget* parent) : boxes_(parent), parent_(parent) {}
    void showMessage(const std::string& text) override { boxes_.showMessage(text); }
    bool askYesNo(const std::string& text) override { return boxes_.askYesNo(text); }
    Answer askYesNoCancel(const std::string& text) override;

private:
    MessageBoxNotifier boxes_;
    QWidget* parent_;
};

// Dialogs and message boxes of the whole program are dark green with yellow
// text; file dialogs keep the desktop's colours so that their lists stay
// readable. Installed on the application.
class DialogColours final : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override;
};

// The program's one top-level window. With the title strip shown it has a
// caption and the main menu, an 8-pixel gap and the front panel under it;
// without, it is a borderless window that is only the front panel.
class MainWindow : public QMainWindow, private FrameHost, private LinkObserver {
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
        CommandRigctl = 33100, // this program's own: the Hamlib network server
    };
    static constexpr int frameWidth = 555;
    static constexpr int titleGap = 8;

    MainWindow(AppSettings& settings, SettingsStore& store, CKovo5Doc& document, const Clock& clock,
               ShellOptions options, FrameSeams seams = {});
    ~MainWindow() override;

    // The start of the program after the settings and the document exist:
    // processes the command line (a new document, or the file named on it),
    // starts the view, sizes and shows the window. False when the file named
    // on the command line cannot be opened: the program then ends.
    bool start();

    // What the start-up timer does five seconds after start: open the last
    // document (or fill the demo document) and bring the receiver link up.
    void openLastDocument();

    // Carries out a menu command; false for a number the frame does not know.
    bool runMenuCommand(int command);

    // The companion recorder as the database panel reaches it (the window
    // bus); without one the recorder counts as not linked.
    void setRecorderLink(DatabaseHost* recorder);

    // Every stop of the main scan on a signal.
    void setScanStopListener(std::function<void(const ScanStop&)> listener);

    DocumentController& documents() { return *documents_; }
    AppSettingsWriter& settingsWriter() { return *writer_; }
    CommPort& commPort() { return *port_; }
    TimerService& timers() { return *timers_; }
    Notifier& notifier() { return *notifier_; }
    ReceiverCore& core() { return *core_; }
    CKovo5View& view() { return *view_; }
    RigctlService& rigctl() { return *rigctl_; }
    QWidget* panelArea() const { return panelArea_; }
    SplashScreen* splash() const { return splash_; }
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
    class PanelSettings;

    // FrameHost: what the front panel asks of the window.
    void showTitleStrip(bool shown) override;
    void stackResized(int height) override;
    void setStayOnTop(bool onTop) override;
    void moveFrame(int x, int y) override;
    bool startSystemMove() override;
    void runCommand(int commandId) override;
    bool confirmOverwrite() override;

    // LinkObserver: what the receiver link reports.
    void refreshPanels() override;
    void showSignal(bool squelchOpen, int signalValue) override;
    void squelchChanged(bool open) override;
    void linkStatusChanged(LinkStatus status) override;

    void createCore(const Clock& clock);
    void createDocumentCommands();
    void createCommands();
    void createMenus();
    void configurePort();
    QAction* addCommand(QMenu* menu, const QString& text, int command,
                        const QKeySequence& shortcut = {});
    void rebuildRecentFiles();
    void startView();
    void applyFrame();
    void showHelp();
    void updateTitle();

    // The Hamlib network server: its dialog, and its start with the window.
    void configureRigctl();
    void startRigctl();

    AppSettings& settings_;
    CKovo5Doc& doc_;
    ShellOptions options_;
    std::unique_ptr<AppSettingsWriter> writer_;
    std::unique_ptr<PanelSettings> panelSettings_;
    ReceiverCoreCommands coreForPanels_;
    std::unique_ptr<RecentFileList> recentFiles_;
    std::unique_ptr<FrameMessageBoxes> messageBoxes_;
    std::unique_ptr<QtFileDialogs> fileDialogs_;
    Notifier* notifier_;
    FileDialogs* dialogs_;
    ExternalControl* external_;
    Kovo5DocumentFile documentFile_;
    std::unique_ptr<CommPort> port_;
    std::unique_ptr<TimerService> timers_;
    std::function<std::unique_ptr<TimerService>()> makeSplashTimers_;
    std::unique_ptr<DatabaseHost> databaseHost_;
    std::unique_ptr<CKovo5View> view_;
    std::unique_ptr<ReceiverCore> core_;
    // The Hamlib network protocol server and where its settings live.
    SettingsStore& store_;
    std::unique_ptr<RigctlService> rigctl_;
    std::unique_ptr<DocumentController> documents_;
    QPointer<SplashScreen> splash_;
    QWidget* panelArea_ = nullptr;
    QMenu* fileMenu_ = nullptr;
    QAction* recentSeparator_ = nullptr;
    QList<QAction*> recentActions_;
    std::map<int, std::function<void()>> commands_;
    int stackHeight_ = 0;
    bool stayOnTop_ = false;
    bool started_ = false;

    std::function<void(const ScanStop&)> scanStopListener_;
    Subscription scanStopSubscription_;
};

} // namespace kovo
