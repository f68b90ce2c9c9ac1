#include "app/Composition.h"

#include "app/AppSettingsLoader.h"
#include "app/DemoReceiver.h"
#include "app/HistoryService.h"
#include "app/MainWindow.h"
#include "app/Program.h"
#include "app/RecorderHost.h"
#include "app/WebRemoteService.h"
#include "history/HistoryDatabase.h"
#include "ipc/CoreAdapter.h"
#include "ipc/ExternalLink.h"
#include "scan/ReceiverCore.h"
#include "ui/CKovo5View.h"
#include "web/audio/LiveSoundSource.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QGuiApplication>
#include <QStandardPaths>

#include <cstdio>

namespace kovo {
namespace {

void bringToFront(QWidget& window) {
    window.setWindowState(window.windowState() & ~Qt::WindowMinimized);
    window.show();
    window.raise();
    window.activateWindow();
}

} // namespace

void Composition::TerminalNotifier::showMessage(const std::string& text) {
    std::fprintf(stderr, "kovo3000: %s\n", text.c_str());
}

bool Composition::TerminalNotifier::askYesNo(const std::string& text) {
    std::fprintf(stderr, "kovo3000: %s (no)\n", text.c_str());
    return false;
}

Notifier::Answer Composition::TerminalNotifier::askYesNoCancel(const std::string& text) {
    std::fprintf(stderr, "kovo3000: %s (cancel)\n", text.c_str());
    return Answer::Cancel;
}

Composition::Composition(LaunchOptions launch)
    : launch_(std::move(launch)),
      offscreen_(QGuiApplication::platformName() == QLatin1String("offscreen")),
      settings_(loadAppSettings(store_)), document_(settings_, clock_) {}

Composition::~Composition() {
    // The window goes after the web remote; it must not keep a way to it.
    if (program_)
        program_->window().setWebRemote(nullptr);
}

bool Composition::build(std::string* error) {
    ShellOptions options;
    options.startupFile = launch_.startupFile;
    options.showSplash = launch_.showSplash;
    options.rigctlPort = launch_.rigctlPort;
    options.demo = launch_.demo;
    if (launch_.demo) {
        demo_ = std::make_unique<DemoReceiver>(settings_);
        if (!demo_->start(error)) {
            demo_.reset();
            return false;
        }
        options.portOverride = demo_->devicePath();
        options.portReceiver = &demo_->receiver();
        if (options.startupFile.isEmpty())
            options.replaceLastDocument = &DemoReceiver::fillDocument;
    }

    // Other programs reach the window through the session bus, when there is one.
    external_ = std::make_unique<ipc::ExternalLink>(QDBusConnection::sessionBus(), [this] {
        return program_ ? program_->window().windowTitle() : QString();
    });
    const bool bus = external_->open();
    ProgramSeams seams;
    if (offscreen_)
        seams.notifier = &terminal_;
    recorder_ = std::make_unique<RecorderHost>(
        *external_, [this] { return program_ ? &program_->notifier() : nullptr; });
    if (bus) {
        seams.peers = external_.get();
        seams.recorder = recorder_.get();
    }
    program_ = std::make_unique<Program>(settings_, store_, document_, clock_, std::move(options),
                                         std::move(seams));
    program_->view().showDemoMode(demo_ != nullptr);
    external_->setActivation([this] { bringToFront(program_->window()); });
    externalTarget_ = std::make_unique<ipc::CoreAdapter>(
        document_, program_->core(),
        ipc::CoreAdapter::Hooks{[this] { return saveForShutdown(); },
                                [this](int code) { endForShutdown(code); }});
    if (bus) {
        external_->attach(*externalTarget_, &program_->notifier());
        externalAttachment_ = Subscription([this] { external_->detach(); });
        ReceiverCore& core = program_->core();
        external_->followProgram(program_->notices(), core.linkNotices());
        external_->followRecorderNews(document_, core.hits(), core.movesOn());
    }
    // Every hit goes to the history store (opened on the writer's own thread).
    if (const auto historySettings = HistorySettings::load(store_); historySettings.enabled)
        history_ = std::make_unique<HistoryService>(
            historySettings, history::defaultHistoryPath(), document_, program_->core(),
            program_->notifier(), QCoreApplication::instance());
    // The web remote, off until its settings or --web-port turn it on.
    webRemote_ = std::make_unique<WebRemoteService>(document_, program_->core(), store_,
                                                    history::defaultHistoryPath());
    // One capture and encoder for every page that listens, from the input
    // the recorder records (the sound server's default when it names none).
    liveSound_ = std::make_unique<web::LiveSoundSource>(recorderSoundSource());
    webRemote_->setAudioSource(liveSound_.get());
    QObject::connect(liveSound_.get(), &web::LiveSoundSource::captureFailed, webRemote_.get(),
                     &WebRemoteService::reportAudioProblem);
    program_->window().setWebRemote(webRemote_.get());
    return true;
}

// The recorder keeps its own settings file beside the program's.
std::string Composition::recorderSoundSource() {
    const QSettingsStore recorder(
        QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
        QStringLiteral("/Fennelworks/kovo-recorder.ini"));
    return recorder.readString("Recorder", "Source").value_or("");
}

void Composition::start() {
    program_->start();
}

void Composition::printScanStops() {
    scanStopPrinter_ = program_->core().scanStops().subscribe([](const ScanStop& stop) {
        std::printf("%s\n", DemoReceiver::describe(stop).c_str());
        std::fflush(stdout);
    });
}

// A shutdown from another program saves without asking and then closes the
// window as the user would; the caller gets no answer, as from a program
// that has ended.
bool Composition::saveForShutdown() {
    QString note;
    const bool saved = program_->documents().saveWithoutAsking(&note);
    if (!note.isEmpty())
        std::fprintf(stderr, "kovo3000: %s\n", qPrintable(note));
    return saved;
}

void Composition::endForShutdown(int exitCode) {
    external_->bus().withholdReply();
    program_->closeForShutdown(exitCode);
}

} // namespace kovo
