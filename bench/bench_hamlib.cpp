// Figures for a radio driven through Hamlib, against `rigctld -m 1` over
// loopback: the channels per second of a memory scan through the program,
// beside the round-trip limit of the same link (a client making nothing but
// the same calls per channel), and the program's CPU while it scans.
//
//   build/bench/bench_hamlib [seconds]
#include <hamlib/rig.h>

#include <QCoreApplication>
#include <QProcess>
#include <QTcpServer>

#include <chrono>
#include <cstdio>
#include <sys/resource.h>

#include "QtReceiverRig.h"

using namespace kovo;
using SteadyClock = std::chrono::steady_clock;

namespace {

double cpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// The same calls the worker makes per channel, and nothing else.
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
        dcd_t dcd;
        rig_get_dcd(rig, RIG_VFO_CURR, &dcd);
        ++channels;
    }
    rig_close(rig);
    rig_cleanup(rig);
    return channels / seconds;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const double seconds = argc > 1 ? std::atof(argv[1]) : 5.0;
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
    e2e::runEventLoopFor(500);
    const std::string address = "127.0.0.1:" + std::to_string(port);

    const double limit = clientLimit(address, seconds);

    e2e::QtReceiverRig rig(std::string(), false);
    rig.settings.useHamlib = 1;
    rig.settings.hamlibModel = 2;
    rig.settings.hamlibPort = address;
    rig.settings.hamlibSettle = 0;
    rig.core.createControl();
    if (rig.openAndWait() != std::optional<bool>(true)) {
        std::fprintf(stderr, "the program did not reach rigctld\n");
        return 1;
    }
    rig.addScanChannels(145000000, 25000, 100, 1);
    rig.doc.controlParams.direction = 1;
    rig.doc.controlParams.delaySeconds = 0;
    rig.doc.controlParams.pause = 0;
    rig.core.setOperatingMode(0);
    e2e::runEventLoopFor(500);
    // Every new channel the scan reaches, counted as the frequency moves on.
    int channels = 0;
    std::uint32_t last = rig.doc.mainRecord.frequency;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        if (rig.doc.mainRecord.frequency != last) {
            last = rig.doc.mainRecord.frequency;
            ++channels;
        }
    });
    watch.start(1);
    const double cpuBefore = cpuSeconds();
    const auto start = SteadyClock::now();
    e2e::runEventLoopFor(int(seconds * 1000));
    const double wall = std::chrono::duration<double>(SteadyClock::now() - start).count();
    const double cpu = cpuSeconds() - cpuBefore;
    const double rate = double(channels) / wall;

    std::printf("rigctld -m 1 over loopback, %.1f s each\n", seconds);
    std::printf("  client limit (set_freq + STRENGTH + DCD): %.1f channels/s\n", limit);
    std::printf("  memory scan through the program:          %.1f channels/s (%.2f of the limit)\n",
                rate, limit > 0 ? rate / limit : 0.0);
    std::printf(
        "  program CPU while scanning:               %.1f %% of a core (with a 1 ms watch)\n",
        100.0 * cpu / wall);
    rigctld.terminate();
    rigctld.waitForFinished(5000);
    return 0;
}
