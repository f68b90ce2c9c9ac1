// kovo3000 [FILE]            start, reading FILE (or a new document)
// kovo3000 --demo [FILE]     the same against a built-in receiver simulator
// kovo3000 --screenshot DIR  write the window and each panel as PNG files to DIR
#include "app/AppSettingsLoader.h"
#include "app/MainWindow.h"
#include "app/QSettingsStore.h"
#include "data/AppSettings.h"
#include "data/CKovo5Doc.h"
#include "data/Clock.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QSocketNotifier>

#include <csignal>
#include <cstring>
#include <cstdio>
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
    return !qEnvironmentVariableIsEmpty("DISPLAY") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}

// The offscreen platform must be chosen before the application object exists.
void choosePlatform(bool demo, bool screenshot) {
    if (!qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        return;
    if (screenshot) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    } else if (demo && !hasDisplay()) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        std::fprintf(stderr,
                     "kovo3000: no display (DISPLAY and WAYLAND_DISPLAY are unset); running on the "
                     "offscreen platform. Channels the scan stops on are listed here; Ctrl+C ends.\n");
    }
}

// Dialogs of the program are dark green with yellow text; file dialogs keep
// the desktop's colours so that their lists stay readable.
void setDialogColours(QApplication& app) {
    app.setStyleSheet(QStringLiteral(
        "QDialog { background-color: rgb(0, 64, 0); }"
        "QDialog QLabel, QDialog QCheckBox, QDialog QRadioButton, QDialog QGroupBox"
        " { color: rgb(255, 255, 0); }"
        "QFileDialog { background-color: palette(window); }"
        "QFileDialog QLabel, QFileDialog QCheckBox { color: palette(window-text); }"));
}

// Ctrl+C and kill end the program through the event loop: the handler only
// writes a byte to a pipe, and a socket notifier on the other end quits.
int signalPipe[2] = {-1, -1};

void onTerminationSignal(int) {
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = ::write(signalPipe[1], &byte, 1);
}

void quitOnTerminationSignals(QApplication& app) {
    if (::pipe2(signalPipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    auto* notifier = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, &app);
    QObject::connect(notifier, &QSocketNotifier::activated, &app, [] {
        char byte = 0;
        while (::read(signalPipe[0], &byte, 1) == 1) {
        }
        QCoreApplication::quit();
    });
    struct sigaction action {};
    action.sa_handler = onTerminationSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

} // namespace

int main(int argc, char** argv) {
    const bool demo = hasArgument(argc, argv, "--demo");
    const bool screenshot = hasArgument(argc, argv, "--screenshot");
    choosePlatform(demo, screenshot);

    QApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Fennelworks"));
    QCoreApplication::setApplicationName(QStringLiteral("KOVO3000"));
    QCoreApplication::setApplicationVersion(QStringLiteral(KOVO_VERSION));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Front panel, channel database and scanner for AR3000/AR3000A receivers."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption demoOption(
        QStringLiteral("demo"), QStringLiteral("Drive a built-in receiver simulator instead of the serial port."));
    const QCommandLineOption screenshotOption(
        QStringLiteral("screenshot"), QStringLiteral("Write the window and each panel as PNG files to <dir>, then exit."),
        QStringLiteral("dir"));
    parser.addOption(demoOption);
    parser.addOption(screenshotOption);
    parser.addPositionalArgument(QStringLiteral("file"), QStringLiteral("Document (.kv5) to open."),
                                 QStringLiteral("[file]"));
    parser.process(app);
    if (parser.positionalArguments().size() > 1) {
        std::fprintf(stderr, "kovo3000: one document at most\n");
        return 2;
    }

    setDialogColours(app);
    quitOnTerminationSignals(app);

    kovo::QSettingsStore store;
    kovo::AppSettings settings = kovo::loadAppSettings(store);
    kovo::SystemClock clock;
    kovo::CKovo5Doc document(settings, clock);

    kovo::ShellOptions options;
    // A file named on the command line is taken relative to where the user is.
    if (!parser.positionalArguments().isEmpty())
        options.startupFile = QFileInfo(parser.positionalArguments().first()).absoluteFilePath();
    options.showSplash = !parser.isSet(screenshotOption);

    kovo::MainWindow window(settings, store, document, clock, options);
    if (!window.start())
        return 1;
    return app.exec();
}
