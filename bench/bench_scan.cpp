// Signal reports per second the receiver core handles in memory: a fake
// serial port that answers at once, fake timers on a manual clock, a memory
// scan over 5,000 channels.
#include <benchmark/benchmark.h>

#include <memory>

#include "fakes/FakeCommPort.h"
#include "fakes/FakeTimerService.h"
#include "fakes/Recorders.h"
#include "link/TimerIds.h"
#include "scan/ReceiverCore.h"

namespace {

using namespace kovo;

struct Bench {
    ManualClock clock{1015495500LL * 1000};
    test::FakeTimerService timers{clock};
    test::FakeCommPort port;
    test::RecordingNotifier notifier;
    AppSettings settings;
    CKovo5Doc doc{settings, clock};
    test::RecordingLinkObserver observer;
    test::RecordingViewSink view;
    ReceiverCore core{ReceiverCore::Seams{port, timers, clock, notifier, settings, doc}};
    Subscription viewAttachment = core.attachView(view);
    Subscription observerSubscription = test::relayLinkNotices(core.linkNotices(), observer);

    explicit Bench(int operatingMode) {
        view.keepCalls = false;
        for (int i = 0; i < kMaxChannels; ++i) {
            auto channel = std::make_unique<CFrequencyData>();
            channel->frequency = 100000000u + std::uint32_t(i) * 10000u;
            channel->bankMask = 2;
            channel->step = 7;
            channel->ifBandwidth = 1;
            doc.channels[std::size_t(i)] = std::move(channel);
        }
        doc.channelCount = kMaxChannels;
        doc.banks().setLinkFlags(2);
        doc.controlParams.direction = 1;
        port.onOutput = [this](const std::string& text) {
            if (text == "\r")
                port.receive(">");
        };
        core.openPort(1, 0);
        timers.advance(3000);
        port.onOutput = nullptr;
        core.setOperatingMode(operatingMode);
    }

    // Answers whatever is in flight; returns true when that was a signal report.
    bool step(const std::string& report) {
        if (!core.link().awaitingReply()) {
            timers.advance(kPollDelayMs);
            return false;
        }
        if (port.written.back() == "Y\r") {
            port.receive(report);
            return true;
        }
        port.receive("\r\n>");
        return false;
    }
};

void runReports(benchmark::State& state, int operatingMode, const std::string& report) {
    Bench bench(operatingMode);
    std::int64_t reports = 0;
    for (auto _ : state) {
        while (!bench.step(report)) {
        }
        ++reports;
        if (bench.port.written.size() > 4096)
            bench.port.written.erase(bench.port.written.begin(), bench.port.written.end() - 1);
    }
    state.counters["reports/s"] = benchmark::Counter(double(reports), benchmark::Counter::kIsRate);
}

// Squelch closed on every channel: every report moves the scan on.
void BM_MemoryScanNoSignal(benchmark::State& state) {
    runReports(state, 0, "%\r\n>");
}
BENCHMARK(BM_MemoryScanNoSignal);

// A steady carrier: every report looks the channel up, records it and
// restarts the delay timer.
void BM_MemoryScanHeldOnSignal(benchmark::State& state) {
    runReports(state, 0, "G\r\n>");
}
BENCHMARK(BM_MemoryScanHeldOnSignal);

} // namespace

BENCHMARK_MAIN();
