// Cost of the SDR path of one channel: one second of 8-bit I/Q at 2.4 MS/s
// (the simulator's demo plan around 145.5 MHz) converted to samples, added
// to the span's spectrum, measured and demodulated to 48 kHz sound, block by
// block as the rtl_tcp client delivers them. The counter
// "percent_of_one_core" is the CPU time that second of input takes, as a
// share of one core (Google Benchmark prints it with an "s" after it).
#include <benchmark/benchmark.h>

#include <vector>

#include "IqSignalGenerator.h"
#include "sdr/IqPipeline.h"
#include "sdr/RtlTcpProtocol.h"

namespace {

using namespace kovo::sdr;

constexpr std::uint32_t kRate = 2'400'000;
constexpr std::uint64_t kCentreHz = 145'500'000;
constexpr std::size_t kBlock = 16384;

const std::vector<std::uint8_t>& oneSecondOfBytes() {
    static const std::vector<std::uint8_t> bytes = [] {
        kovo::sim::IqSignalGenerator generator(kovo::sim::SignalPlan::demo());
        generator.tune(kCentreHz, kRate);
        std::vector<std::complex<float>> samples(kRate);
        generator.generate(samples, 0);
        std::vector<std::uint8_t> out(2 * samples.size());
        kovo::sim::IqSignalGenerator::toInterleavedU8(samples, out.data());
        return out;
    }();
    return bytes;
}

void runPath(benchmark::State& state, DemodMode mode, std::uint64_t channelHz, double ifHz) {
    const auto& bytes = oneSecondOfBytes();
    PipelineSettings settings;
    settings.channelHz = channelHz;
    settings.mode = mode;
    settings.ifBandwidthHz = ifHz;
    settings.squelchIndex = 1;
    IqPipeline pipeline(settings);
    IqBlock block{1, kCentreHz, kRate, std::vector<std::complex<float>>(kBlock)};
    for (auto _ : state) {
        for (std::size_t at = 0; at + 2 * kBlock <= bytes.size(); at += 2 * kBlock) {
            convertRtlSamples({bytes.data() + at, 2 * kBlock}, block.samples.data());
            pipeline.process(block, 1);
            benchmark::DoNotOptimize(pipeline.audio().data());
        }
    }
    state.counters["percent_of_one_core"] = benchmark::Counter(
        0.01, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
    state.counters["signal_index"] = pipeline.signal().index;
}

void BM_SdrPathNfm(benchmark::State& state) {
    runPath(state, DemodMode::Nfm, 145'500'000, 12'500);
}
void BM_SdrPathAm(benchmark::State& state) {
    runPath(state, DemodMode::Am, 145'525'000, 10'000);
}
void BM_SdrPathWfm(benchmark::State& state) {
    runPath(state, DemodMode::Wfm, 145'600'000, 200'000);
}

// The conversion alone, for comparison.
void BM_SdrConvert(benchmark::State& state) {
    const auto& bytes = oneSecondOfBytes();
    std::vector<std::complex<float>> samples(kRate);
    for (auto _ : state) {
        convertRtlSamples(bytes, samples.data());
        benchmark::DoNotOptimize(samples.data());
    }
    state.counters["percent_of_one_core"] = benchmark::Counter(
        0.01, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

} // namespace

BENCHMARK(BM_SdrPathNfm)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SdrPathAm)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SdrPathWfm)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SdrConvert)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
