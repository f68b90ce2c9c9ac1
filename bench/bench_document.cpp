// Opening and saving a full database: 5,000 channels with 40-byte comments and
// a full log of 5,000 entries.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "data/CKovo5Doc.h"

namespace {

struct FullDatabase {
    kovo::AppSettings settings;
    kovo::ManualClock clock{1015459500000};
    std::unique_ptr<kovo::CKovo5Doc> doc = std::make_unique<kovo::CKovo5Doc>(settings, clock);

    FullDatabase() {
        for (int i = 0; i < kovo::kMaxChannels; ++i) {
            auto channel = std::make_unique<kovo::CFrequencyData>();
            channel->frequency = 100000000u + 12500u * static_cast<std::uint32_t>(i);
            channel->bankMask = 1 << (i % 21);
            channel->step = 8;
            channel->heardTime = 1015459500 + i;
            channel->comment = std::string(40, static_cast<char>('a' + i % 26));
            doc->channels[static_cast<std::size_t>(i)] = std::move(channel);
        }
        doc->channelCount = kovo::kMaxChannels;
        doc->channels[17]->priority = 1;
        for (int r = 0; r < kovo::kLogSlots; ++r) {
            auto& entry = doc->logRing[static_cast<std::size_t>(r)];
            entry.frequency = 100000000u + 12500u * static_cast<std::uint32_t>(r);
            entry.firstHeard = 1015459500 + r;
            entry.lastHeard = entry.firstHeard + 30;
            entry.maxSignal = r % 16;
            entry.comment = std::string(40, 'L');
        }
        doc->logCount = kovo::kLogSlots;
    }
};

std::string scratchPath(const char* name) {
    return (std::filesystem::temp_directory_path() / name).string();
}

void BM_OpenFullDatabase(benchmark::State& state) {
    FullDatabase full;
    const std::string path = scratchPath("kovo-bench-open.kv5");
    if (!full.doc->saveDocument(path).ok) {
        state.SkipWithError("cannot write the benchmark file");
        return;
    }
    auto target = std::make_unique<kovo::CKovo5Doc>(full.settings, full.clock);
    for (auto _ : state) {
        const auto result = target->openDocument(path);
        benchmark::DoNotOptimize(result.ok);
    }
    state.counters["bytes"] = static_cast<double>(std::filesystem::file_size(path));
    std::filesystem::remove(path);
}
BENCHMARK(BM_OpenFullDatabase)->Unit(benchmark::kMillisecond);

void BM_SaveFullDatabase(benchmark::State& state) {
    FullDatabase full;
    const std::string path = scratchPath("kovo-bench-save.kv5");
    for (auto _ : state) {
        const auto result = full.doc->saveDocument(path);
        benchmark::DoNotOptimize(result.ok);
    }
    std::filesystem::remove(path);
}
BENCHMARK(BM_SaveFullDatabase)->Unit(benchmark::kMillisecond);

// The two halves without the disk: encoding and decoding in memory.
void BM_EncodeFullDatabase(benchmark::State& state) {
    FullDatabase full;
    for (auto _ : state)
        benchmark::DoNotOptimize(full.doc->toBytes());
}
BENCHMARK(BM_EncodeFullDatabase)->Unit(benchmark::kMillisecond);

void BM_DecodeFullDatabase(benchmark::State& state) {
    FullDatabase full;
    const auto bytes = full.doc->toBytes();
    auto target = std::make_unique<kovo::CKovo5Doc>(full.settings, full.clock);
    for (auto _ : state)
        benchmark::DoNotOptimize(target->readBytes(bytes, "full.kv5", false).ok);
}
BENCHMARK(BM_DecodeFullDatabase)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
