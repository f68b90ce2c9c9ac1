// Figures for a radio driven through Hamlib over loopback, against the
// receiver simulator's Hamlib face (quiet channels; in this process, then as
// `receiver-sim --rigctl` apart) and against `rigctld -m 1`:
// the channels per second of a memory scan through the program, beside the
// round-trip limit of the same link (a client making nothing but the same
// calls per channel), the program's CPU while it scans, and the time from the
// simulated radio going silent to NO RECEIVER and from its return to scanning.
//
//   build/bench/bench_hamlib [seconds]
#include <hamlib/rig.h>

#include <QCoreApplication>
#include <QProcess>
#include <QTcpServer>
#include <QTemporaryFile>

#include <chrono>
#include <cstdio>
#include <functional>
#include <sys/resource.h>

#include "RigctlFace.h"
#include "fakes/QtReceiverRig.h"

using namespace kovo;
using SteadyClock = std::chrono::steady_clock;

namespace {

double cpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// The same calls the worker makes per quiet channel (squelch read from the
// strength), and nothing else.
double clientLimit(const std::string& port, double seconds) {
    rig_set_debug(RIG_DEBUG_NONE);
    RIG* rig = rig_init(2);
    rig_set_conf(rig, rig_token_lookup(rig, "rig_pathname"), port.c_str());
    if (rig_open(rig) != RIG_OK)
        return 0;
    int channels = 0;
    const auto end = SteadyClock::now() + std::chrono::duration<double>(seconds);
    while (SteadyClock::now() < end) {
        rig_set_freq(rig, RIG_VFO_CURR, 145000000.0 + (channels % 100) * 25000.0);
        value_t value;
        rig_get_level(rig, RIG_VFO_CURR, RIG_LEVEL_STRENGTH, &value);
        ++channels;
    }
    rig_close(rig);
    rig_cleanup(rig);
    return channels / seconds;
}

struct ScanningProgram {
    explicit ScanningProgram(const std::string& address) {
        rig.settings.useHamlib = 1;
        rig.settings.hamlibModel = 2;
        rig.settings.hamlibPort = address;
        rig.settings.hamlibSettle = 0;
        rig.settings.hamlibUseDcd = 0;
        rig.settings.hamlibThreshold = 0; // S9: the dummy rig's noise stays below it
        rig.core.createControl();
    }
    bool start() {
        if (rig.openAndWait() != std::optional<bool>(true))
            return false;
        rig.addScanChannels(145000000, 25000, 100, 1);
        rig.doc.controlParams.direction = 1;
        rig.doc.controlParams.delaySeconds = 0;
        rig.doc.controlParams.pause = 0;
        rig.core.setOperatingMode(0);
        test::runEventLoopFor(500);
        return true;
    }
    // Channels counted as the scan moves on from each: every move is seen,
    // however quickly they follow one another.
    double channelsPerSecond(double seconds) {
        int channels = 0;
        const Subscription counting =
            rig.core.movesOn().subscribe([&channels](const ScanMovedOn&) { ++channels; });
        const auto start = SteadyClock::now();
        test::runEventLoopFor(int(seconds * 1000));
        return channels / std::chrono::duration<double>(SteadyClock::now() - start).count();
    }
    // CPU of the whole process (the worker thread too).
    double cpuPercent(double seconds) {
        const double before = cpuSeconds();
        const auto start = SteadyClock::now();
        test::runEventLoopFor(int(seconds * 1000));
        const double wall = std::chrono::duration<double>(SteadyClock::now() - start).count();
        return 100.0 * (cpuSeconds() - before) / wall;
    }
    bool linkIs(LinkStatus status) const {
        return !rig.observer.statuses.empty() && rig.observer.statuses.back() == status;
    }

    test::QtReceiverRig rig{std::string(), false};
};

// `commands` counts the calls the radio answers, where the peer tells them.
void report(const char* peer, const std::string& address, double seconds,
            const std::function<long()>& commands = {}) {
    const double limit = clientLimit(address, seconds);
    ScanningProgram program(address);
    if (!program.start()) {
        std::printf("%s: the program did not reach it\n", peer);
        return;
    }
    const long commandsBefore = commands ? commands() : 0;
    const double rate = program.channelsPerSecond(seconds);
    const long commandsDuring = commands ? commands() - commandsBefore : 0;
    const double cpu = program.cpuPercent(seconds);
    std::printf("%s over loopback, %.1f s each\n", peer, seconds);
    std::printf("  client limit (set_freq + get_level STRENGTH): %8.1f channels/s\n", limit);
    std::printf("  memory scan through the program:              %8.1f channels/s (%.2f of it)\n",
                rate, limit > 0 ? rate / limit : 0.0);
    std::printf("  program CPU while scanning:                   %8.1f %% of a core\n", cpu);
    if (commands && rate > 0)
        std::printf("  radio calls per channel:                      %8.2f\n",
                    double(commandsDuring) / (rate * seconds));
}

// Silence and return of the simulator's face while the program scans it.
void reportLoss(sim::RigctlFace& face, const std::string& address) {
    ScanningProgram program(address);
    if (!program.start())
        return;
    auto since = SteadyClock::now();
    face.setMuted(true);
    test::waitFor([&] { return program.linkIs(LinkStatus::Lost); }, 30000);
    const double toLost = std::chrono::duration<double>(SteadyClock::now() - since).count();
    since = SteadyClock::now();
    const long commands = face.commands();
    face.setMuted(false);
    test::waitFor(
        [&] { return program.linkIs(LinkStatus::Polling) && face.commands() > commands + 4; },
        30000);
    const double toScanning = std::chrono::duration<double>(SteadyClock::now() - since).count();
    std::printf("simulator's Hamlib face goes silent: NO RECEIVER after %.3f s; back: scanning "
                "after %.3f s\n",
                toLost, toScanning);
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const double seconds = argc > 1 ? std::atof(argv[1]) : 5.0;

    sim::RigctlFace face{sim::SignalPlan{}};
    std::string error;
    if (!face.start(0, &error)) {
        std::fprintf(stderr, "simulator face: %s\n", error.c_str());
        return 1;
    }
    const std::string faceAddress = "127.0.0.1:" + std::to_string(face.port());
    report("simulator's Hamlib face (in this process)", faceAddress, seconds,
           [&face] { return face.commands(); });
    reportLoss(face, faceAddress);

#ifdef RECEIVER_SIM_PROGRAM
    // The same face in a process of its own, so that the CPU figure is the
    // program's alone; a plan with no signal keeps every channel quiet.
    QTemporaryFile quietPlan;
    if (quietPlan.open()) {
        quietPlan.write("# no signals\n");
        quietPlan.flush();
        QProcess simulator;
        simulator.start(QStringLiteral(RECEIVER_SIM_PROGRAM),
                        {"--rigctl", "0", "--plan", quietPlan.fileName()});
        if (simulator.waitForReadyRead(5000)) {
            const std::string address = simulator.readLine().trimmed().toStdString();
            report("simulator's Hamlib face (receiver-sim --rigctl)", address, seconds);
        } else {
            std::fprintf(stderr, "receiver-sim did not start\n");
        }
        simulator.terminate();
        simulator.waitForFinished(5000);
    }
#endif

    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost);
    const quint16 port = probe.serverPort();
    probe.close();
    QProcess rigctld;
    rigctld.start("rigctld", {"-m", "1", "-T", "127.0.0.1", "-t", QString::number(port)});
    if (!rigctld.waitForStarted(5000)) {
        std::fprintf(stderr, "rigctld is not installed\n");
        return 1;
    }
    test::runEventLoopFor(500);
    report("rigctld -m 1", "127.0.0.1:" + std::to_string(port), seconds);
    rigctld.terminate();
    rigctld.waitForFinished(5000);
    return 0;
}
