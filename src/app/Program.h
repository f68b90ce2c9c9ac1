#pragma once
#include "app/DocumentController.h"
#include "app/SplashScreen.h"
#include "data/Notices.h"
#include "data/Notifier.h"
#include "data/SoftSetting.h"
#include "link/CommPort.h"
#include "link/LinkNotices.h"
#include "link/TimerService.h"
#include "scan/ProgramNotices.h"
#include "scan/ScanStop.h"
#include "ui/ReceiverCoreCommands.h"
#include "ui/database/DatabaseSeams.h"

#include <QPointer>
#include <QString>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace kovo {

struct AppSettings;
class AppSettingsWriter;
class CKovo5Doc;
class CKovo5View;
class Clock;
class DeleteDataHost;
class FrameMessageBoxes;
class MainWindow;
class ReceiverCore;
class RecentFileList;
class RigctlService;
struct ReceiverDescription;
class SettingsStore;

// How the program was started.
struct ShellOptions {
    // A document named on the command line (absolute, or resolved by the caller).
    QString startupFile;
    bool showSplash = true;
    // Relative document names (the default "Frequency.kv5") live here.
    QString dataDirectory;
    // A device opened in place of the configured port for this run only
    // (the simulator's terminal in demo mode); never stored. The receiver on
    // it is `portReceiver`, or the AR model "Device" names, whatever
    // "UseHamlib" says; a receiver kind chosen in the COM Port dialog later
    // replaces both with the configured receiver.
    std::string portOverride;
    const ReceiverDescription* portReceiver = nullptr;
    // Called instead of opening the last document when the start-up timer
    // fires (demo mode fills the document itself); empty: open the last file.
    std::function<void(CKovo5Doc&)> replaceLastDocument;
    // Serves the Hamlib network protocol on this TCP port for this run only,
    // whatever the settings say.
    std::optional<int> rigctlPort;
    // A demonstration: the recent files and the last document stay as stored,
    // and the untitled demo document is never saved without asking.
    bool demo = false;
};

// What the program talks to outside itself. Anything left empty is the real
// thing: serial port, window timers, message boxes and file dialogs.
struct ProgramSeams {
    std::unique_ptr<CommPort> port;
    std::unique_ptr<TimerService> timers;
    std::function<std::unique_ptr<TimerService>()> makeSplashTimers;
    // The timers that tell when the window has stopped moving.
    std::unique_ptr<TimerService> windowTimers;
    Notifier* notifier = nullptr;
    FileDialogs* dialogs = nullptr;
    // Who says whether a VFO peer is running; none: nobody is.
    PeerPresence* peers = nullptr;
    // The companion recorder as the database panel reaches it; without one
    // the recorder counts as not linked.
    DatabaseHost* recorder = nullptr;
};

// The program put together once the settings and the document exist: the
// settings writer, the serial port, the timers, the receiver core, the front
// panel, the document commands, the database panel's host, the Hamlib network
// server and the window. It owns them, wires them to each other, and passes
// what the receiver link reports on to the front panel and to other programs.
class Program final {
public:
    Program(AppSettings& settings, SettingsStore& store, CKovo5Doc& document, const Clock& clock,
            ShellOptions options, ProgramSeams seams = {});
    ~Program();
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    // The start of the program: processes the command line (a new document,
    // or the file named on it), starts the view, sizes and shows the window.
    // A file named on the command line that cannot be opened is reported as
    // File Open reports it, and the program goes on with a new document
    // (false then); the last document is not opened in its place.
    bool start();

    // What the start-up timer does five seconds after start: open the last
    // document (or fill the demo document) and bring the receiver link up.
    void openLastDocument();

    // Ends the program the way closing its window does (the peers hear the
    // window go), with `exitCode` for the process. The document must be
    // saved already: nothing is asked.
    void closeForShutdown(int exitCode);
    // The exit code asked for by closeForShutdown, if it was.
    std::optional<int> shutdownExitCode() const { return shutdownExitCode_; }

    MainWindow& window() { return *window_; }
    DocumentController& documents() { return *documents_; }
    AppSettingsWriter& settingsWriter() { return *writer_; }
    CommPort& commPort() { return *port_; }
    TimerService& timers() { return *timers_; }
    Notifier& notifier() { return *notifier_; }
    ReceiverCore& core() { return *core_; }
    CKovo5View& view() { return *view_; }
    RigctlService& rigctl() { return *rigctl_; }
    SplashScreen* splash() const { return splash_; }
    // The program's life as other programs hear of it.
    Notices<ProgramNotice>& notices() { return notices_; }

private:
    class PanelSettings;

    // What the receiver link reports.
    void onLinkNotice(const LinkNotice& notice);

    void applySoftSetting(const SoftSettingChange& change);
    void createCore(const Clock& clock);
    void createDocumentCommands();
    void startView();
    // Stored settings, or the port named on the command line for this run.
    void startRigctl();

    AppSettings& settings_;
    CKovo5Doc& doc_;
    SettingsStore& store_;
    ShellOptions options_;
    PeerPresence* peers_;
    Notices<ProgramNotice> notices_;
    DatabaseHost* recorder_;
    std::unique_ptr<AppSettingsWriter> writer_;
    std::unique_ptr<PanelSettings> panelSettings_;
    std::unique_ptr<RecentFileList> recentFiles_;
    Kovo5DocumentFile documentFile_;
    std::unique_ptr<MainWindow> window_;
    std::unique_ptr<FrameMessageBoxes> messageBoxes_;
    std::unique_ptr<QtFileDialogs> fileDialogs_;
    Notifier* notifier_;
    FileDialogs* dialogs_;
    std::unique_ptr<CommPort> port_;
    std::unique_ptr<TimerService> timers_;
    std::function<std::unique_ptr<TimerService>()> makeSplashTimers_;
    // Declared in the order they are made: each goes before what it uses,
    // so each goes after what uses it. The core comes before the view, which
    // attaches to it and leaves it first.
    std::unique_ptr<ReceiverCore> core_;
    std::unique_ptr<ReceiverCoreCommands> coreForPanels_;
    std::unique_ptr<DeleteDataHost> databaseHost_;
    std::unique_ptr<CKovo5View> view_;
    Subscription viewAttachment_;
    std::unique_ptr<RigctlService> rigctl_;
    std::unique_ptr<DocumentController> documents_;
    QPointer<SplashScreen> splash_;
    bool started_ = false;
    bool startupFileFailed_ = false;
    std::optional<int> shutdownExitCode_;

    Subscription softSettingSubscription_;
    Subscription linkSubscription_;
};

} // namespace kovo
