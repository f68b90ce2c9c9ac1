#pragma once
#include "app/QSettingsStore.h"
#include "data/AppSettings.h"
#include "data/CKovo5Doc.h"
#include "data/Clock.h"
#include "data/Notices.h"
#include "data/Notifier.h"

#include <QString>
#include <memory>
#include <optional>
#include <string>

namespace kovo {

class DemoReceiver;
class HistoryService;
class RecorderHost;
class WebRemoteService;
namespace web {
class LiveSoundSource;
}
class Program;
namespace ipc {
class CoreAdapter;
class ExternalLink;
} // namespace ipc

// What the command line asks for.
struct LaunchOptions {
    // A document to open, absolute.
    QString startupFile;
    // Drive the built-in receiver simulator instead of the serial port.
    bool demo = false;
    // Leave the splash screen out (screenshots).
    bool showSplash = true;
    // Serve the Hamlib network protocol on this TCP port for this run.
    std::optional<int> rigctlPort;
};

// The whole program, made in the order each part needs the ones before it:
// settings, document, the demo receiver, the link to other programs, the
// program itself (receiver core, front panel, window, network server), the
// commands other programs send, the hit history, the web remote. The members are declared in
// that order, so they go in reverse order of their making.
class Composition final {
public:
    explicit Composition(LaunchOptions launch);
    ~Composition();
    Composition(const Composition&) = delete;
    Composition& operator=(const Composition&) = delete;

    // Makes the parts after the document; false with the reason in *error
    // when the demo receiver cannot start.
    bool build(std::string* error);
    // Opens the document named on the command line and shows the window; a
    // document that cannot be opened is reported and a new one takes its place.
    void start();

    Program& program() { return *program_; }
    WebRemoteService& webRemote() { return *webRemote_; }
    SettingsStore& settingsStore() { return store_; }
    bool demo() const { return demo_ != nullptr; }
    bool offscreen() const { return offscreen_; }
    // Every stop of the main scan is written to standard output (demo mode
    // without a display).
    void printScanStops();

private:
    // Where nobody can click a message box (the offscreen platform), messages
    // go to the terminal and questions get the answer that loses nothing.
    class TerminalNotifier final : public Notifier {
    public:
        void showMessage(const std::string& text) override;
        bool askYesNo(const std::string& text) override;
        Answer askYesNoCancel(const std::string& text) override;
    };

    bool saveForShutdown();
    void endForShutdown(int exitCode);
    // The sound input named in the recorder's settings; empty: the default.
    static std::string recorderSoundSource();

    LaunchOptions launch_;
    bool offscreen_;
    QSettingsStore store_;
    AppSettings settings_;
    SystemClock clock_;
    CKovo5Doc document_;
    TerminalNotifier terminal_;
    std::unique_ptr<DemoReceiver> demo_;
    std::unique_ptr<ipc::ExternalLink> external_;
    std::unique_ptr<RecorderHost> recorder_;
    std::unique_ptr<Program> program_;
    std::unique_ptr<ipc::CoreAdapter> externalTarget_;
    // Lets the external link go of the commands' target before it goes.
    Subscription externalAttachment_;
    std::unique_ptr<HistoryService> history_;
    // Outlives the web remote, whose pages may still be listening.
    std::unique_ptr<web::LiveSoundSource> liveSound_;
    std::unique_ptr<WebRemoteService> webRemote_;
    Subscription scanStopPrinter_;
};

} // namespace kovo
