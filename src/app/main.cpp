// kovo3000 [FILE]            start, reading FILE (or a new document)
// kovo3000 --demo [FILE]     the same against a built-in receiver simulator
// kovo3000 --screenshot DIR  write the window and each panel as PNG files to DIR
// kovo3000 --rigctl-port N   serve the Hamlib network protocol on TCP port N for this run
#include "app/Composition.h"
#include "app/DialogColours.h"
#include "app/Language.h"
#include "app/MainWindow.h"
#include "app/Program.h"
#include "app/QSettingsStore.h"
#include "app/Screenshot.h"
#include "app/WebRemoteService.h"
#include "ipc/ProgramWindow.h"
#include "rig/ClosingRigs.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDBusConnection>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QSocketNotifier>
#include <QTimer>

#include <chrono>
#include <functional>
#include <string>

#include <clocale>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

#ifndef KOVO_VERSION
#define KOVO_VERSION "0.1"
#endif

namespace {

bool hasArgument(int argc, char** argv, const char* name) {
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], name) == 0)
            return true;
    return false;
}

bool hasDisplay() {
    return !qEnvironmentVariableIsEmpty("DISPLAY") ||
           !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}

// The offscreen platform must be chosen before the application object exists.
void choosePlatform(bool demo, bool screenshot) {
    if (!qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        return;
    if (screenshot) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    } else if (demo && !hasDisplay()) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        std::fprintf(
            stderr,
            "kovo3000: no display (DISPLAY and WAYLAND_DISPLAY are unset); running on the "
            "offscreen platform. Channels the scan stops on are listed here; Ctrl+C ends.\n");
    }
}

// Ctrl+C and kill end the program through the event loop: the handler only
// writes a byte to a pipe, and a socket notifier on the other end acts.
int signalPipe[2] = {-1, -1};

void onTerminationSignal(int) {
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = ::write(signalPipe[1], &byte, 1);
}

void onTerminationSignals(QApplication& app, std::function<void()> action) {
    if (::pipe2(signalPipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    auto* notifier = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, &app);
    QObject::connect(notifier, &QSocketNotifier::activated, &app, [action = std::move(action)] {
        char byte = 0;
        while (::read(signalPipe[0], &byte, 1) == 1) {
        }
        action();
    });
    struct sigaction handler {};
    handler.sa_handler = onTerminationSignal;
    sigemptyset(&handler.sa_mask);
    handler.sa_flags = SA_RESTART;
    sigaction(SIGINT, &handler, nullptr);
    sigaction(SIGTERM, &handler, nullptr);
}

// Starts the web remote as stored, or with `portText` (from --web-port) for
// this run, printing its link; false when that port is not a port number.
bool startWebRemote(kovo::WebRemoteService& webRemote, kovo::SettingsStore& store,
                    const QString& portText) {
    kovo::WebRemoteSettings settings = kovo::WebRemoteSettings::load(store);
    if (!portText.isNull()) {
        bool ok = false;
        const int port = portText.toInt(&ok);
        if (!ok || port < 1 || port > 65535) {
            std::fprintf(stderr, "kovo3000: --web-port takes a TCP port number from 1 to 65535\n");
            return false;
        }
        settings = {true, port, false};
    }
    if (const auto error = webRemote.apply(settings))
        std::fprintf(stderr, "kovo3000: the web remote cannot listen: %s\n", qPrintable(*error));
    else if (!portText.isNull())
        std::printf("Web remote: %s\n", qPrintable(webRemote.link()));
    std::fflush(stdout);
    return true;
}

// A second plain start (no file, nothing asked for this run only) brings the
// running program's window to the front rather than opening a second window
// on the same documents and receiver. Each session bus has its own program.
bool handedOverToRunningProgram() {
    constexpr int kTimeoutMs = 2000;
    const QDBusConnection session = QDBusConnection::sessionBus();
    if (!session.isConnected())
        return false;
    kovo::ipc::WindowBus bus(session, {}, {}, {});
    bus.setReplyTimeout(kTimeoutMs);
    const auto program = kovo::ipc::findProgramWindow(bus);
    return program && kovo::ipc::activateProgram(session, *program, kTimeoutMs);
}

// A radio driven through Hamlib closes on a thread of its own, possibly inside
// a call that blocks for seconds; the program ends only once it has closed, or
// after a bounded wait, so that no worker runs while the process tears down.
struct RadiosClosedAtExit {
    RadiosClosedAtExit() = default;
    RadiosClosedAtExit(const RadiosClosedAtExit&) = delete;
    RadiosClosedAtExit& operator=(const RadiosClosedAtExit&) = delete;
    ~RadiosClosedAtExit() {
        if (!kovo::rig::waitForClosedRigs(std::chrono::seconds(5)))
            std::fprintf(stderr, "kovo3000: the radio did not close within 5 seconds\n");
    }
};

} // namespace

// With KOVO_STARTUP_TIMING set, prints the milliseconds from the start of
// main to the first pass of the event loop (the window shown and idle), and
// with the value "quit" ends the program there; the start-up benchmark
// reads it.
void reportStartupTime(const QElapsedTimer& sinceStart) {
    if (qEnvironmentVariableIsEmpty("KOVO_STARTUP_TIMING"))
        return;
    QTimer::singleShot(0, [sinceStart] {
        std::fprintf(stderr, "kovo3000: started in %.3f ms\n",
                     double(sinceStart.nsecsElapsed()) / 1e6);
        if (qgetenv("KOVO_STARTUP_TIMING") == "quit")
            QCoreApplication::exit(0);
    });
}

// The language is chosen once, before any window exists: English installs
// the catalogue, anything else keeps the classic texts.
void chooseLanguage(QApplication& app) {
    const kovo::QSettingsStore store;
    if (kovo::speaksEnglish(kovo::loadLanguageChoice(store), kovo::desktopMessageLocale()) &&
        !kovo::installEnglish(app))
        std::fprintf(stderr, "kovo3000: the English texts could not be loaded\n");
}

int main(int argc, char** argv) {
    QElapsedTimer sinceStart;
    sinceStart.start();
    const bool demo = hasArgument(argc, argv, "--demo");
    const bool screenshot = hasArgument(argc, argv, "--screenshot");
    choosePlatform(demo, screenshot);

    QApplication app(argc, argv);
    // Qt takes the numeric locale from the environment; Hamlib keeps a pointer
    // to that locale's name across a change of it to "C", which frees the name
    // unless it is "C" already. Qt formats numbers through QLocale, not this.
    std::setlocale(LC_NUMERIC, "C");
    QCoreApplication::setOrganizationName(QStringLiteral("Fennelworks"));
    QCoreApplication::setApplicationName(QStringLiteral("KOVO3000"));
    QCoreApplication::setApplicationVersion(QStringLiteral(KOVO_VERSION));
    chooseLanguage(app);

    kovo::DialogColours dialogColours;
    app.installEventFilter(&dialogColours);

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Front panel, channel database and scanner for AR3000/AR3000A receivers."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption demoOption(
        QStringLiteral("demo"),
        QStringLiteral("Drive a built-in receiver simulator instead of the serial port."));
    const QCommandLineOption screenshotOption(
        QStringLiteral("screenshot"),
        QStringLiteral("Write the window and each panel as PNG files to <dir>, then exit."),
        QStringLiteral("dir"));
    const QCommandLineOption rigctlOption(
        QStringLiteral("rigctl-port"),
        QStringLiteral(
            "Serve the Hamlib network protocol (rigctld) on TCP port <port> for this run."),
        QStringLiteral("port"));
    parser.addOption(demoOption);
    parser.addOption(screenshotOption);
    parser.addOption(rigctlOption);
    const QCommandLineOption webOption(
        QStringLiteral("web-port"),
        QStringLiteral("Serve the web remote on TCP port <port> of this computer for this run."),
        QStringLiteral("port"));
    parser.addOption(webOption);
    parser.addPositionalArgument(QStringLiteral("file"), QStringLiteral("Document (.kv5) to open."),
                                 QStringLiteral("[file]"));
    parser.process(app);
    if (parser.positionalArguments().size() > 1) {
        std::fprintf(stderr, "kovo3000: one document at most\n");
        return 2;
    }

    const bool plainStart = parser.positionalArguments().isEmpty() && !parser.isSet(demoOption) &&
                            !parser.isSet(screenshotOption) && !parser.isSet(rigctlOption) &&
                            !parser.isSet(webOption);
    if (plainStart && handedOverToRunningProgram()) {
        std::fprintf(
            stderr,
            "kovo3000: KOVO3000 is already running; its window was brought to the front.\n");
        return 0;
    }

    kovo::LaunchOptions launch;
    // A file named on the command line is taken relative to where the user is.
    if (!parser.positionalArguments().isEmpty())
        launch.startupFile = QFileInfo(parser.positionalArguments().first()).absoluteFilePath();
    launch.showSplash = !parser.isSet(screenshotOption);
    launch.demo = parser.isSet(demoOption);
    if (parser.isSet(rigctlOption)) {
        bool ok = false;
        const int port = parser.value(rigctlOption).toInt(&ok);
        if (!ok || port < 1 || port > 65535) {
            std::fprintf(stderr,
                         "kovo3000: --rigctl-port takes a TCP port number from 1 to 65535\n");
            return 2;
        }
        launch.rigctlPort = port;
    }

    // Declared before the program's parts, so it waits once the program has
    // closed its radio.
    const RadiosClosedAtExit radiosClosed;
    kovo::Composition composition(std::move(launch));
    std::string error;
    if (!composition.build(&error)) {
        std::fprintf(stderr, "kovo3000: the demo receiver could not start: %s\n", error.c_str());
        return 1;
    }
    composition.start();
    kovo::Program& program = composition.program();

    if (parser.isSet(screenshotOption)) {
        if (composition.demo())
            program.openLastDocument(); // the demo channels, without waiting
        QString failed;
        const QStringList files =
            kovo::Screenshot::writeAll(program, parser.value(screenshotOption), &failed);
        for (const QString& file : files)
            std::printf("%s\n", qPrintable(file));
        if (!failed.isEmpty()) {
            std::fprintf(stderr, "kovo3000: cannot write %s\n", qPrintable(failed));
            return 1;
        }
        return 0;
    }

    // The web remote: as stored, or on the port given for this run only.
    if (!startWebRemote(composition.webRemote(), composition.settingsStore(),
                        parser.value(webOption)))
        return 2;

    if (composition.demo() && composition.offscreen())
        composition.printScanStops();
    // The demo's document is only an example; elsewhere a modified document
    // is offered for saving first (the window closes only if the user agrees).
    if (composition.demo())
        onTerminationSignals(app, [] { QCoreApplication::exit(0); });
    else
        onTerminationSignals(app, [&program] { program.window().close(); });
    reportStartupTime(sinceStart);
    const int status = app.exec();
    return program.shutdownExitCode().value_or(status);
}
