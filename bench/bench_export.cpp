// Formatting a full database for the text export: 5,000 channels with 40-byte
// comments, and a full log of 5,000 entries. Only the line building is timed,
// not the file.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <ctime>
#include <memory>

#include "data/CKovo5Doc.h"
#include "data/Export.h"

namespace {

using namespace kovo;

struct FullDatabase {
    AppSettings settings;
    ManualClock clock{1015459500000};
    CKovo5Doc doc{settings, clock};

    FullDatabase() {
        ::setenv("TZ", "JST-9", 1);
        ::tzset();
        for (auto& bank : doc.memoryBanks)
            bank.linkFlags[0] = 1;
        for (int i = 0; i < kMaxChannels; ++i) {
            auto ch = std::make_unique<CFrequencyData>();
            ch->frequency = 100000000u + 12500u * static_cast<std::uint32_t>(i);
            ch->bankMask = 1 << (i % 22);
            ch->bankNumber = i / 22;
            ch->step = i % 14;
            ch->mode = i % 9;
            ch->ifBandwidth = i % 7;
            ch->attenuator = i % 4;
            ch->ctcss = i % 52;
            ch->tElm = i % 3;
            ch->heard = 1;
            ch->signal = i % 16;
            ch->maxSignal = 15;
            ch->heardTime = 1015459500 + 37 * i;
            ch->comment = std::string(40, static_cast<char>('A' + i % 26));
            doc.channels[static_cast<std::size_t>(i)] = std::move(ch);
        }
        doc.channelCount = kMaxChannels;
        for (int i = 0; i < kLogSlots + 100; ++i) {
            doc.mainRecord.frequency = 430000000u + 25000u * static_cast<std::uint32_t>(i % 300);
            doc.mainRecord.comment = std::string(40, 'L');
            clock.advance(61000);
            doc.log().openLogEntry(doc.mainRecord, i % 16);
        }
    }
};

FullDatabase& database() {
    static FullDatabase db;
    return db;
}

void BM_MemoryExportLines(benchmark::State& state) {
    const bool csv = state.range(0) != 0;
    const CKovo5Doc& doc = database().doc;
    std::size_t bytes = 0;
    for (auto _ : state) {
        const std::string text = formatMemoryExport(doc, csv);
        bytes = text.size();
        benchmark::DoNotOptimize(text.data());
    }
    state.counters["bytes"] = static_cast<double>(bytes);
    state.SetItemsProcessed(state.iterations() * kMaxChannels);
}
BENCHMARK(BM_MemoryExportLines)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_LogExportLines(benchmark::State& state) {
    const bool csv = state.range(0) != 0;
    const CKovo5Doc& doc = database().doc;
    for (auto _ : state) {
        const std::string text = formatLogExport(doc, csv);
        benchmark::DoNotOptimize(text.data());
    }
    state.SetItemsProcessed(state.iterations() * kLogSlots);
}
BENCHMARK(BM_LogExportLines)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
