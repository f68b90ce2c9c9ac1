#pragma once
#include "app/DocumentController.h"
#include "app/SplashScreen.h"
#include "data/Notifier.h"
#include "link/CommPort.h"
#include "link/TimerService.h"

#include <QMainWindow>
#include <QPointer>
#include <functional>
#include <memory>

class QMenu;

namespace kovo {

struct AppSettings;
class AppSettingsWriter;
class CKovo5Doc;
class Clock;
class CommandChooser;
class PollingLoop;
class ReceiverLink;
class RecentFileList;
class SettingsStore;
class TimerRouter;

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
};

// What the frame talks to outside itself. Anything left empty is the real
// thing: serial port, window timers, message boxes and file dialogs.
struct FrameSeams {
    std::unique_ptr<CommPort> port;
    std::unique_ptr<TimerService> timers;
    std::function<std::unique_ptr<TimerService>()> makeSplashTimers;
    Notifier* notifier = nullptr;
    FileDialogs* dialogs = nullptr;
};

// Messages and questions as modal message boxes over the main window.
class MessageBoxNotifier final : public Notifier {
public:
    explicit MessageBoxNotifier(QWidget* parent) : parent_(parent) {}
    void showMessage(const std::string& text) override;
    bool askYesNo(const std::string& text) override;
    Answer askYesNoCancel(const std::string& text) override;

private:
    QWidget* parent_;
};

// The program's one top-level window. With the title strip shown it has a
// caption and the main menu, an 8-pixel gap and the front panel under it;
// without, it is a borderless window that is only the front panel.
class MainWindow : public QMainWindow {
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
    };
    static constexpr int frameWidth = 555;
    static constexpr int titleGap = 8;

    MainWindow(AppSettings& settings, SettingsStore& store, CKovo5Doc& document,
               const Clock& clock, ShellOptions options, FrameSeams seams = {});
    ~MainWindow() override;

    // The start of the program after the settings and the document exist:
    // processes the command line (a new document, or the file named on it),
    // starts the view, sizes and shows the window. False when the file named
    // on the command line cannot be opened: the program then ends.
    bool start();

    // Carries out a menu command; false for a number the frame does not know.
    bool runCommand(int command);

    // Sizes the window for the title strip setting and places the front panel.
    void showTitleStrip();

    DocumentController& documents() { return *documents_; }
    AppSettingsWriter& settingsWriter() { return *writer_; }
    CommPort& commPort() { return *port_; }
    TimerService& timers() { return *timers_; }
    ReceiverLink& link() { return *link_; }
    PollingLoop& pollingLoop() { return *loop_; }
    Notifier& notifier() { return *notifier_; }
    QWidget* panelArea() const { return panelArea_; }
    SplashScreen* splash() const { return splash_; }
    // Height of the title strip: the menu bar.
    int titleHeight() const;
    // Height of the front panel below the title strip.
    int stackHeight() const;

protected:
    void moveEvent(QMoveEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void createLink(const Clock& clock);
    void createDocumentCommands();
    void createMenus();
    QAction* addCommand(QMenu* menu, const QString& text, int command,
                        const QKeySequence& shortcut = {});
    void rebuildRecentFiles();
    void openLastDocument();
    void applyWindowFlags();
    void showHelp();
    void updateTitle();

    AppSettings& settings_;
    ShellOptions options_;
    std::unique_ptr<AppSettingsWriter> writer_;
    std::unique_ptr<RecentFileList> recentFiles_;
    std::unique_ptr<MessageBoxNotifier> messageBoxes_;
    std::unique_ptr<QtFileDialogs> fileDialogs_;
    Notifier* notifier_;
    FileDialogs* dialogs_;
    CKovo5Doc& doc_;
    Kovo5DocumentFile documentFile_;
    std::unique_ptr<CommPort> port_;
    std::unique_ptr<TimerService> timers_;
    std::function<std::unique_ptr<TimerService>()> makeSplashTimers_;
    std::unique_ptr<TimerRouter> router_;
    std::unique_ptr<ReceiverLink> link_;
    std::unique_ptr<CommandChooser> chooser_;
    std::unique_ptr<PollingLoop> loop_;
    std::unique_ptr<DocumentController> documents_;
    QPointer<SplashScreen> splash_;
    QWidget* panelArea_ = nullptr;
    QMenu* fileMenu_ = nullptr;
    QAction* recentSeparator_ = nullptr;
    QList<QAction*> recentActions_;
};

} // namespace kovo
