// kovo-recorder [--no-window] [--folder DIR] [--source NAME] [--format flac|opus] [--figures]
// Records the receiver's audio for every entry KOVO3000 logs and plays it
// back on the program's request. Without a display it runs without a window
// and writes what happens on standard output.
#include "Recorder.h"
#include "RecorderSettings.h"
#include "RecorderWindow.h"
#include "RecordingName.h"
#include "app/QSettingsStore.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QElapsedTimer>
#include <QSocketNotifier>
#include <QStandardPaths>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>

#include <csignal>
#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

namespace {

using kovo::recorder::Recorder;

int signalPipe[2] = {-1, -1};
void onSignal(int) {
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = ::write(signalPipe[1], &byte, 1);
}

bool wantsWindow(int argc, char** argv) {
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "--no-window") == 0)
            return false;
    return !qEnvironmentVariableIsEmpty("DISPLAY") ||
           !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") ||
           !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM");
}

// One line per event, prefixed by milliseconds since start, for the terminal.
void logEvents(Recorder& recorder, const QElapsedTimer& clock) {
    auto say = [&clock](const QString& text) {
        std::printf("%lld %s\n", static_cast<long long>(clock.elapsed()), qPrintable(text));
        std::fflush(stdout);
    };
    QObject::connect(&recorder, &Recorder::linkChanged, [say](bool linked) {
        say(linked ? QStringLiteral("linked") : QStringLiteral("unlinked"));
    });
    QObject::connect(&recorder, &Recorder::recordingStarted,
                     [say](const QString& n) { say(QStringLiteral("recording ") + n); });
    QObject::connect(&recorder, &Recorder::recordingFinished,
                     [say](const QString& n) { say(QStringLiteral("closed ") + n); });
    QObject::connect(&recorder, &Recorder::recordingsRemoved, [say](const QStringList& n) {
        say(QStringLiteral("removed ") + n.join(QLatin1Char(' ')));
    });
    QObject::connect(&recorder, &Recorder::playbackStarted,
                     [say](const QString& n) { say(QStringLiteral("playing ") + n); });
    QObject::connect(&recorder, &Recorder::playbackRefused, [say](std::uint32_t f, qint64 t) {
        say(QStringLiteral("no recording %1 %2").arg(f).arg(t));
    });
    QObject::connect(&recorder, &Recorder::squelchChanged, [say](bool open) {
        say(open ? QStringLiteral("squelch open") : QStringLiteral("squelch closed"));
    });
    QObject::connect(&recorder, &Recorder::diskStateChanged, [say](bool refusing) {
        say(refusing ? QStringLiteral("refusing: the disk is nearly full")
                     : QStringLiteral("recording again: disk space is back"));
    });
    QObject::connect(&recorder, &Recorder::audioChanged, [say](bool flowing) {
        say(flowing ? QStringLiteral("audio on") : QStringLiteral("audio off"));
    });
    QObject::connect(&recorder, &Recorder::message, say);
}

void printFigures(const Recorder::Figures& f, double wallSeconds) {
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    const double cpu = double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                       double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    std::vector<double> l = f.latenciesMs;
    std::sort(l.begin(), l.end());
    auto at = [&l](double q) { return l.empty() ? 0.0 : l[std::size_t(q * double(l.size() - 1))]; };
    std::printf("figures: seconds=%.1f cpu_percent=%.2f files=%d files_per_hour=%.0f "
                "latency_ms_median=%.1f latency_ms_max=%.1f kept_seconds=%.2f open_seconds=%.2f\n",
                wallSeconds, wallSeconds > 0 ? 100.0 * cpu / wallSeconds : 0.0, f.files,
                wallSeconds > 0 ? f.files * 3600.0 / wallSeconds : 0.0, at(0.5), at(1.0),
                f.keptSeconds, f.openSeconds);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char** argv) {
    const bool window = wantsWindow(argc, argv);
    std::unique_ptr<QCoreApplication> app = window ? std::make_unique<QApplication>(argc, argv)
                                                   : std::make_unique<QCoreApplication>(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Fennelworks"));
    QCoreApplication::setApplicationName(QStringLiteral("kovo-recorder"));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Records what KOVO3000 logs from the sound input and plays it back."));
    parser.addHelpOption();
    const QCommandLineOption noWindow(
        QStringLiteral("no-window"),
        QStringLiteral("Run without a window; events go to standard output."));
    const QCommandLineOption folder(QStringLiteral("folder"),
                                    QStringLiteral("Keep recordings in <dir>."),
                                    QStringLiteral("dir"));
    const QCommandLineOption source(QStringLiteral("source"),
                                    QStringLiteral("Record from the PulseAudio source <name>."),
                                    QStringLiteral("name"));
    const QCommandLineOption format(QStringLiteral("format"),
                                    QStringLiteral("flac (default) or opus."),
                                    QStringLiteral("format"));
    const QCommandLineOption figures(
        QStringLiteral("figures"), QStringLiteral("On exit, print CPU, latency and file counts."));
    parser.addOptions({noWindow, folder, source, format, figures});
    parser.process(*app);

    // Its own settings file beside the program's.
    const QString ini = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
                        QStringLiteral("/Fennelworks/kovo-recorder.ini");
    kovo::QSettingsStore store(ini);
    auto settings = kovo::recorder::RecorderSettings::load(store);
    if (parser.isSet(folder))
        settings.folder = QDir(parser.value(folder)).absolutePath().toStdString();
    if (parser.isSet(source))
        settings.source = parser.value(source).toStdString();
    if (parser.isSet(format)) {
        if (parser.value(format) != QLatin1String("flac") &&
            parser.value(format) != QLatin1String("opus")) {
            std::fprintf(stderr, "kovo-recorder: --format takes flac or opus\n");
            return 2;
        }
        settings.format = parser.value(format) == QLatin1String("opus")
                              ? kovo::recorder::FileFormat::Opus
                              : kovo::recorder::FileFormat::Flac;
    }

    QElapsedTimer clock;
    clock.start();
    Recorder recorder(settings);
    if (!window)
        logEvents(recorder, clock);
    QString error;
    if (!recorder.start(&error)) {
        std::fprintf(stderr, "kovo-recorder: %s\n", qPrintable(error));
        return 1;
    }
    if (!window) {
        std::printf("%lld ready %s\n", static_cast<long long>(clock.elapsed()),
                    recorder.folder().c_str());
        std::fflush(stdout);
    }
    std::unique_ptr<kovo::recorder::RecorderWindow> shown;
    if (window) {
        shown = std::make_unique<kovo::recorder::RecorderWindow>(recorder);
        shown->show();
    }

    if (::pipe2(signalPipe, O_CLOEXEC | O_NONBLOCK) == 0) {
        auto* notifier = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, app.get());
        QObject::connect(notifier, &QSocketNotifier::activated, app.get(),
                         [] { QCoreApplication::quit(); });
        std::signal(SIGINT, onSignal);
        std::signal(SIGTERM, onSignal);
    }
    const int status = app->exec();
    shown.reset();
    recorder.shutdown();
    if (parser.isSet(figures))
        printFigures(recorder.figures(), double(clock.elapsed()) / 1000.0);
    return status;
}
