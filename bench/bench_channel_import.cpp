// Importing a 5,000-line CHIRP channel list into an empty document: reading
// the CSV, planning against the table and storing every channel. The rows
// stand in location order, their frequencies in no order, as a handheld's
// memories do. The document is made outside the timing.
#include <benchmark/benchmark.h>

#include <array>
#include <cstdio>
#include <memory>
#include <string>

#include "data/CKovo5Doc.h"
#include "data/ChannelCsv.h"
#include "data/ChannelImport.h"
#include "data/CsvReader.h"

namespace {

using namespace kovo;

std::string chirpList(int rows) {
    std::string text = "Location,Name,Frequency,Duplex,Offset,Tone,rToneFreq,cToneFreq,DtcsCode,"
                       "DtcsPolarity,Mode,TStep,Skip,Comment,URCALL,RPT1CALL,RPT2CALL,DVCODE\r\n";
    constexpr std::array<const char*, 4> modes{"FM", "AM", "NFM", "USB"};
    for (int i = 0; i < rows; ++i) {
        // Distinct frequencies out of order: slot 29 i modulo 5000 of a
        // 12.5 kHz grid from 30 MHz (29 and 5000 share no factor).
        const std::uint32_t slot = static_cast<std::uint32_t>(i) * 29u % 5000u;
        const std::uint32_t hz = 30'000'000u + 12'500u * slot;
        char line[200];
        std::snprintf(
            line, sizeof line,
            "%d,CH%04d,%u.%06u,,0.000000,%s,88.5,%s,023,NN,%s,12.50,,Imported row %d,,,,\r\n", i, i,
            hz / 1'000'000u, hz % 1'000'000u, i % 3 == 0 ? "TSQL" : "",
            i % 3 == 0 ? "127.3" : "88.5", modes[static_cast<std::size_t>(i % 4)], i);
        text += line;
    }
    return text;
}

void BM_ImportChirpList(benchmark::State& state) {
    const std::string text = chirpList(static_cast<int>(state.range(0)));
    AppSettings settings;
    ManualClock clock{1015459500000};
    int stored = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto doc = std::make_unique<CKovo5Doc>(settings, clock);
        state.ResumeTiming();
        CsvTable table;
        if (!readCsv(text, table).ok())
            state.SkipWithError("the list was refused");
        const ImportPlan plan =
            planImport(table, guessColumns(table), *doc, importDefaultsOf(*doc));
        stored = applyImport(*doc, plan, 1).stored;
        state.PauseTiming();
        doc.reset();
        state.ResumeTiming();
    }
    state.counters["stored"] = stored;
    state.counters["bytes"] = static_cast<double>(text.size());
}
BENCHMARK(BM_ImportChirpList)->Arg(5000)->Unit(benchmark::kMillisecond);

// The share of the figure before the channel table: reading and planning.
void BM_ReadAndPlanChirpList(benchmark::State& state) {
    const std::string text = chirpList(static_cast<int>(state.range(0)));
    AppSettings settings;
    ManualClock clock{1015459500000};
    const CKovo5Doc doc(settings, clock);
    for (auto _ : state) {
        CsvTable table;
        if (!readCsv(text, table).ok())
            state.SkipWithError("the list was refused");
        const ImportPlan plan = planImport(table, guessColumns(table), doc, importDefaultsOf(doc));
        benchmark::DoNotOptimize(plan.channels.data());
    }
}
BENCHMARK(BM_ReadAndPlanChirpList)->Arg(5000)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
