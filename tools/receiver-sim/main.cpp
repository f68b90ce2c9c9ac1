// receiver-sim: a simulated AR3000 / AR3000A receiver on a pseudo-terminal.
#include "CommandLine.h"
#include "ReceiverSimulator.h"
#include "SignalPlan.h"

#include <csignal>
#include <cstdio>
#include <string>
#include <vector>

namespace {

kovo::sim::ReceiverSimulator* runningSimulator = nullptr;

void onStopSignal(int) {
    if (runningSimulator)
        runningSimulator->requestStopFromSignal();
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
