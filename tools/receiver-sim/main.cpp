// receiver-sim: a simulated AR3000 / AR3000A receiver on a pseudo-terminal.
#include "CommandLine.h"
#include "ReceiverSimulator.h"
#include "RigctlFace.h"
#include "RtlTcpFace.h"
#include "SignalPlan.h"

#include <atomic>
#include <csignal>
#include <cstdio>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

kovo::sim::ReceiverSimulator* runningSimulator = nullptr;
volatile std::sig_atomic_t stopRequested = 0;

void onStopSignal(int) {
    stopRequested = 1;
    if (runningSimulator)
        runningSimulator->requestStopFromSignal();
}

void installStopHandlers();

// The plan of --plan, or the demo plan; false (reported) when it has errors.
bool loadPlan(const kovo::sim::SimOptions& options, kovo::sim::SignalPlan* plan) {
    using namespace kovo::sim;
    *plan = SignalPlan::demo();
    if (options.planFile.empty())
        return true;
    std::vector<std::string> problems;
    if (SignalPlan::load(options.planFile, plan, &problems) && problems.empty())
        return true;
    std::fprintf(stderr, "receiver-sim: %s: the plan has errors\n", options.planFile.c_str());
    for (const std::string& p : problems)
        std::fprintf(stderr, "  %s\n", p.c_str());
    return false;
}

// Serves a network face until a stop signal.
template <typename Face> int runFace(Face& face, int port) {
    std::string error;
    if (!face.start(port, &error)) {
        std::fprintf(stderr, "receiver-sim: %s\n", error.c_str());
        return 1;
    }
    installStopHandlers();
    std::printf("127.0.0.1:%d\n", face.port());
    std::fflush(stdout);
    while (!stopRequested)
        pause();
    return 0;
}

// The Hamlib network face.
int runRigctlFace(const kovo::sim::SimOptions& options) {
    using namespace kovo::sim;
    SignalPlan plan;
    if (!loadPlan(options, &plan))
        return 1;
    RigctlFace face(std::move(plan));
    face.setMuted(options.mute);
    return runFace(face, options.rigctlPort);
}

// The SDR face: I/Q over rtl_tcp's protocol.
int runRtlTcpFace(const kovo::sim::SimOptions& options) {
    using namespace kovo::sim;
    SignalPlan plan;
    if (!loadPlan(options, &plan))
        return 1;
    RtlTcpFace face(std::move(plan));
    return runFace(face, options.rtlTcpPort);
}

void installStopHandlers() {
    struct sigaction action {};
    action.sa_handler = onStopSignal;
    sigemptyset(&action.sa_mask);
    for (int sig : {SIGINT, SIGTERM, SIGHUP})
        sigaction(sig, &action, nullptr);
}

} // namespace

int main(int argc, char** argv) {
    using namespace kovo::sim;
    SimOptions options;
    std::string error;
    const std::vector<std::string> args(argv + 1, argv + argc);
    switch (parseCommandLine(args, &options, &error)) {
    case CommandLineResult::ShowHelp:
        std::fputs(helpText().c_str(), stdout);
        return 0;
    case CommandLineResult::ShowDemoPlan:
        std::fwrite(SignalPlan::demoText().data(), 1, SignalPlan::demoText().size(), stdout);
        return 0;
    case CommandLineResult::Error:
        std::fprintf(stderr, "receiver-sim: %s\n", error.c_str());
        return 2;
    case CommandLineResult::Run:
        break;
    }

    if (options.rigctlPort >= 0)
        return runRigctlFace(options);
    if (options.rtlTcpPort >= 0)
        return runRtlTcpFace(options);

    ReceiverSimulator simulator(options);
    if (!simulator.start(&error)) {
        std::fprintf(stderr, "receiver-sim: %s\n", error.c_str());
        return 1;
    }
    runningSimulator = &simulator;
    installStopHandlers();
    std::printf("%s\n", simulator.slavePath().c_str());
    std::fflush(stdout);
    simulator.run();
    runningSimulator = nullptr;
    return 0;
}
