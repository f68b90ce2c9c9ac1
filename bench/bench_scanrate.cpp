// Memory-scan rate and processor load of the receiver core on the real serial
// port, against the receiver simulator at 9,600 and 4,800 bit/s, with and
// without receiver latency, and through ser2net on 127.0.0.1.
//
// The simulator runs as its own process (the receiver-sim program), so its
// processor time is not counted. It is looked for beside this program's build
// tree (../tools/receiver-sim/receiver-sim) or at $KOVO_RECEIVER_SIM.
//
// Counters of each run:
//   channels_per_s    channels the memory scan stepped through per second
//   wire_limit_per_s  the most the line allows: for every step, the bytes both
//                     ways at 11 bits a character, the 7 ms pause before each
//                     signal request and the simulator's latency before each
//                     answer, taken from the simulator's transcript
//   of_limit          channels_per_s / wire_limit_per_s
//   of_limit_median   the median over the steps of each step's limit over its
//                     time: what the program costs when the machine is not
//                     busy with other work (a step the scheduler delayed
//                     counts once, not by its length)
//   of_local          (through ser2net) channels_per_s over that of the same
//                     run on the local pseudo-terminal earlier in this program
//   cpu_percent       processor time of this process over wall time
//   bytes_per_step    characters on the line per channel, both ways
//
// Run: build/bench/bench_scanrate [--benchmark_filter=...]
// (all of it, in order: the local runs first, then ser2net against them)
// $KOVO_SCANRATE_TRANSCRIPT=FILE keeps the simulator's transcript of the last run.
#define QT_NO_KEYWORDS

#include <benchmark/benchmark.h>

#include <QCoreApplication>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "fakes/QtReceiverRig.h"
#include "fakes/Ser2net.h"
#include "fakes/SimTranscript.h"
#include "link/ReceiverLink.h"
#include "link/TimerIds.h"

extern char** environ;

namespace {

using namespace kovo;
using namespace kovo::test;

constexpr int kChannels = 100;
constexpr std::uint32_t kFirstHz = 145000000;
constexpr std::uint32_t kSpacingHz = 25000; // 100 channels span 2.475 MHz: no settling
constexpr int kBank = 1;
constexpr int kWarmUpMs = 1000;
constexpr std::size_t kWarmUpSteps = 5;

std::string simulatorPath() {
    if (const char* path = std::getenv("KOVO_RECEIVER_SIM"))
        return path;
    char self[4096];
    const ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
    if (n <= 0)
        return "receiver-sim";
    self[n] = '\0';
    std::string dir(self);
    dir.erase(dir.rfind('/'));
    return dir + "/../tools/receiver-sim/receiver-sim";
}

// The receiver-sim program with a plan where nothing is on the air, writing
// its transcript.
class SimulatorProcess {
public:
    SimulatorProcess(int baud, int latencyMs, std::string* error) {
        char dirTemplate[] = "/tmp/kovo-scanrate-XXXXXX";
        if (!mkdtemp(dirTemplate)) {
            *error = "mkdtemp failed";
            return;
        }
        dir_ = dirTemplate;
        const std::string plan = dir_ + "/quiet.plan";
        std::ofstream(plan) << "# nothing on the air\n";
        transcript_ = dir_ + "/transcript.txt";

        int out[2];
        if (pipe(out) != 0) {
            *error = "pipe failed";
            return;
        }
        const std::string program = simulatorPath();
        const std::string latency = std::to_string(latencyMs);
        const std::string bitsPerSecond = std::to_string(baud);
        std::vector<std::string> args{program,  "--baud", bitsPerSecond, "--latency", latency,
                                      "--plan", plan,     "--log",       transcript_};
        std::vector<char*> argv;
        for (auto& a : args)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
        posix_spawn_file_actions_addclose(&actions, out[0]);
        const int rc = posix_spawn(&pid_, program.c_str(), &actions, nullptr, argv.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        close(out[1]);
        if (rc != 0) {
            pid_ = -1;
            close(out[0]);
            *error = "cannot start " + program;
            return;
        }
        devicePath_ = readLine(out[0], 5000);
        close(out[0]);
        if (devicePath_.empty())
            *error = program + " printed no device path";
    }
    ~SimulatorProcess() {
        if (pid_ > 0) {
            kill(pid_, SIGTERM);
            waitpid(pid_, nullptr, 0);
        }
        // $KOVO_SCANRATE_TRANSCRIPT keeps the last run's transcript for a closer look.
        if (const char* keep = std::getenv("KOVO_SCANRATE_TRANSCRIPT"))
            std::rename(transcript_.c_str(), keep);
        std::remove(transcript_.c_str());
        std::remove((dir_ + "/quiet.plan").c_str());
        rmdir(dir_.c_str());
    }
    SimulatorProcess(const SimulatorProcess&) = delete;
    SimulatorProcess& operator=(const SimulatorProcess&) = delete;

    const std::string& devicePath() const { return devicePath_; }
    const std::string& transcriptPath() const { return transcript_; }

private:
    static std::string readLine(int fd, int timeoutMs) {
        std::string line;
        pollfd p{fd, POLLIN, 0};
        while (poll(&p, 1, timeoutMs) > 0) {
            char c;
            if (read(fd, &c, 1) != 1 || c == '\n')
                break;
            line += c;
        }
        return line;
    }

    pid_t pid_ = -1;
    std::string dir_;
    std::string transcript_;
    std::string devicePath_;
};

double processCpuMs() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1000.0 +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1000.0;
}

bool isFrequencyCommand(const TranscriptLine& line) {
    return line.kind == "RX" && !line.bytes.empty() && line.bytes[0] >= '0' && line.bytes[0] <= '9';
}

struct ScanFigures {
    std::size_t steps = 0;
    double medianOfLimit = 0; // median over the steps of limit / time taken
    double measuredMs = 0;    // simulator time from the first to the last step counted
    double wireLimitMs = 0;   // the least those steps could take
    double bytes = 0;
};

// Steps are counted from one frequency command to the next, after the first
// few; the limit counts every byte that went over the line in a step.
ScanFigures figuresFrom(const std::vector<TranscriptLine>& lines, int baud, int latencyMs) {
    const double characterMs = 11 * 1000.0 / baud;
    // A frequency command equal to the one before is a resend, not a step.
    std::vector<std::size_t> starts;
    for (std::size_t i = 0; i < lines.size(); ++i)
        if (isFrequencyCommand(lines[i]) &&
            (starts.empty() || lines[starts.back()].bytes != lines[i].bytes))
            starts.push_back(i);
    ScanFigures f;
    if (starts.size() < kWarmUpSteps + 2)
        return f;
    std::vector<double> ofLimit;
    for (std::size_t s = kWarmUpSteps; s + 1 < starts.size(); ++s) {
        double stepLimitMs = 0;
        // From the end of one frequency command to the end of the next.
        for (std::size_t i = starts[s] + 1; i <= starts[s + 1]; ++i) {
            const TranscriptLine& line = lines[i];
            f.bytes += double(line.bytes.size());
            stepLimitMs += characterMs * double(line.bytes.size());
            if (line.kind == "RX" && line.bytes == "Y\r")
                stepLimitMs += kPollDelayMs;
            if (line.kind == "TX")
                stepLimitMs += latencyMs;
        }
        f.wireLimitMs += stepLimitMs;
        ofLimit.push_back(stepLimitMs / (lines[starts[s + 1]].ms - lines[starts[s]].ms));
        ++f.steps;
    }
    std::nth_element(ofLimit.begin(), ofLimit.begin() + std::ptrdiff_t(ofLimit.size() / 2),
                     ofLimit.end());
    f.medianOfLimit = ofLimit[ofLimit.size() / 2];
    f.measuredMs = lines[starts.back()].ms - lines[starts[kWarmUpSteps]].ms;
    return f;
}

// How the program reaches the simulator's pseudo-terminal.
enum class Route { Local, Ser2netTcp, Ser2netRfc2217 };

struct ScanRun {
    int baud = 9600;
    int latencyMs = 0;
    int seconds = 10;
    Route route = Route::Local;
    bool ser2netImmediate = false; // ser2net with chardelay off
};

// channels_per_s of the local runs so far, by speed and latency, for the
// ser2net runs to compare with.
std::map<std::pair<int, int>, double>& localRates() {
    static std::map<std::pair<int, int>, double> rates;
    return rates;
}

int speedIndexOf(int baud) {
    for (std::size_t i = 0; i < kCommSpeedTable.size(); ++i)
        if (kCommSpeedTable[i] == baud)
            return int(i);
    return QtReceiverRig::kSpeed9600;
}

void runMemoryScan(benchmark::State& state, const ScanRun& run) {
    const int seconds = run.seconds;
    const int latencyMs = run.latencyMs;
    const Route route = run.route;
    std::string error;
    SimulatorProcess sim(run.baud, latencyMs, &error);
    if (!error.empty()) {
        state.SkipWithError(error.c_str());
        return;
    }
    std::unique_ptr<Ser2net> server;
    std::string device = sim.devicePath();
    if (route != Route::Local) {
        char dirTemplate[] = "/tmp/kovo-ser2net-XXXXXX";
        if (!Ser2net::installed() || !mkdtemp(dirTemplate)) {
            state.SkipWithError("ser2net is not installed");
            return;
        }
        server = std::make_unique<Ser2net>(QString::fromLatin1(dirTemplate), device,
                                           route == Route::Ser2netTcp ? Ser2net::Mode::Raw
                                                                      : Ser2net::Mode::Rfc2217,
                                           run.ser2netImmediate);
        if (!server->start()) {
            state.SkipWithError("ser2net did not start");
            return;
        }
        device = server->address();
    }
    QtReceiverRig rig(device, false);
    rig.settings.commSpeed = speedIndexOf(run.baud);
    rig.addScanChannels(kFirstHz, kSpacingHz, kChannels, kBank);
    rig.doc.controlParams.direction = 1;
    const auto probe = rig.openAndWait();
    if (!probe || !*probe) {
        state.SkipWithError("the probe found no receiver");
        return;
    }
    rig.core.setOperatingMode(0);
    runEventLoopFor(kWarmUpMs);

    double cpuMs = 0;
    double wallMs = 0;
    for (auto _ : state) {
        const double cpuBefore = processCpuMs();
        const auto wallBefore = std::chrono::steady_clock::now();
        runEventLoopFor(seconds * 1000);
        wallMs =
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - wallBefore)
                .count();
        cpuMs = processCpuMs() - cpuBefore;
        state.SetIterationTime(wallMs / 1000);
    }
    rig.core.closePort();

    const ScanFigures f = figuresFrom(readTranscript(sim.transcriptPath()), run.baud, latencyMs);
    if (f.steps == 0 || f.measuredMs <= 0) {
        state.SkipWithError("the scan did not step");
        return;
    }
    const double rate = double(f.steps) * 1000 / f.measuredMs;
    const double limit = double(f.steps) * 1000 / f.wireLimitMs;
    state.counters["channels_per_s"] = rate;
    state.counters["wire_limit_per_s"] = limit;
    state.counters["of_limit"] = rate / limit;
    state.counters["of_limit_median"] = f.medianOfLimit;
    const auto local = localRates().find({run.baud, latencyMs});
    if (route == Route::Local)
        localRates()[{run.baud, latencyMs}] = rate;
    else if (local != localRates().end())
        state.counters["of_local"] = rate / local->second;
    state.counters["ms_per_step"] = f.measuredMs / double(f.steps);
    state.counters["limit_ms_per_step"] = f.wireLimitMs / double(f.steps);
    state.counters["bytes_per_step"] = f.bytes / double(f.steps);
    state.counters["cpu_percent"] = 100 * cpuMs / wallMs;
}

// A memory scan over 100 quiet channels at range(0) bit/s for range(2)
// seconds, with the simulator answering after range(1) ms.
void BM_MemoryScan(benchmark::State& state) {
    ScanRun run;
    run.baud = int(state.range(0));
    run.latencyMs = int(state.range(1));
    run.seconds = int(state.range(2));
    runMemoryScan(state, run);
}

// The same at 9,600 bit/s with ser2net on 127.0.0.1 serving the simulator's
// line: range(0) 0 raw TCP, 1 Telnet COM-port control; range(1) 1 with
// ser2net's chardelay off. of_local compares with BM_MemoryScan/9600/0/10.
void BM_MemoryScanThroughSer2net(benchmark::State& state) {
    ScanRun run;
    run.route = state.range(0) == 0 ? Route::Ser2netTcp : Route::Ser2netRfc2217;
    run.ser2netImmediate = state.range(1) != 0;
    runMemoryScan(state, run);
}

BENCHMARK(BM_MemoryScan)
    ->ArgNames({"baud", "latency_ms", "seconds"})
    ->Args({9600, 0, 10})
    ->Args({9600, 5, 10})
    ->Args({4800, 0, 10})
    ->Args({4800, 5, 10})
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kSecond);

BENCHMARK(BM_MemoryScanThroughSer2net)
    ->ArgNames({"rfc2217", "chardelay_off"})
    ->Args({0, 0})
    ->Args({0, 1})
    ->Args({1, 0})
    ->Args({1, 1})
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kSecond);

// A longer run for a steadier figure; last, so that a full run shows the
// table above first.
BENCHMARK(BM_MemoryScan)
    ->ArgNames({"baud", "latency_ms", "seconds"})
    ->Args({9600, 0, 60})
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kSecond);

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
