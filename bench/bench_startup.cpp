// Start-up of the program with a full database named on the command line:
// from building the program to its first painted front panel.
//
//   bench_startup                              run the benchmark (offscreen)
//   bench_startup --write-full-database FILE   write the database it uses
//
// bench/startup_memory.sh and bench/scan_cpu.sh measure the whole process.
#include "QtBenchmarkMain.h"
#include "app/AppSettingsLoader.h"
#include "app/Program.h"
#include "app/QSettingsStore.h"
#include "data/CKovo5Doc.h"
#include "data/Clock.h"
#include "ui/CKovo5View.h"
#include "ui/DisplayPanel.h"
#include "ui/PanelStack.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>

namespace {

using namespace kovo;

// 5,000 channels spread over the 20 banks and 5,000 log entries, with comments.
bool writeFullDatabase(const std::string& path) {
    AppSettings settings;
    ManualClock clock(1'000'000'000'000);
    CKovo5Doc doc(settings, clock);
    for (int i = 0; i < kMaxChannels; ++i) {
        const std::uint32_t f = 100'000'000u + std::uint32_t(i) * 25'000u;
        const int row = doc.channelTable().storeChannel(f, false, 1, i % 16);
        if (row < 0)
            return false;
        CFrequencyData& ch = *doc.channels[std::size_t(row)];
        ch.bankMask = 1 << (1 + i % 20);
        char comment[40];
        std::snprintf(comment, sizeof comment, "Channel %04d test comment", i);
        ch.comment = comment;
    }
    doc.mainRecord.comment = "Log entry comment";
    for (int i = 0; i < kLogSlots; ++i) {
        doc.mainRecord.frequency = 100'000'000u + std::uint32_t(i % kMaxChannels) * 25'000u;
        clock.advance(60'000);
        doc.log().openLogEntry(doc.mainRecord, i % 16);
    }
    return doc.saveDocument(path).ok;
}

// Sets a flag at the first paint of a widget.
class FirstPaint : public QObject {
public:
    bool painted = false;
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint)
            painted = true;
        return false;
    }
};

void BM_StartupToFirstPaint(benchmark::State& state) {
    QTemporaryDir dir;
    const QString file = dir.filePath("full.kv5");
    if (!writeFullDatabase(file.toStdString())) {
        state.SkipWithError("cannot write the database");
        return;
    }
    for (auto _ : state) {
        QSettingsStore store(dir.filePath("KOVO3000.ini"));
        AppSettings settings = loadAppSettings(store);
        SystemClock clock;
        CKovo5Doc doc(settings, clock);
        ShellOptions options;
        options.startupFile = file;
        options.dataDirectory = dir.filePath("data");
        options.portOverride = dir.filePath("no-such-device").toStdString();
        Program program(settings, store, doc, clock, options);
        FirstPaint paint;
        if (!program.start()) {
            state.SkipWithError("start failed");
            return;
        }
        program.view().stack().display().installEventFilter(&paint);
        while (!paint.painted)
            QApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
        if (doc.channelCount != kMaxChannels || doc.logCount != kLogSlots)
            state.SkipWithError("database not read");
    }
}
BENCHMARK(BM_StartupToFirstPaint)->Unit(benchmark::kMillisecond)->Iterations(10);

} // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "--write-full-database") == 0)
        return writeFullDatabase(argv[2]) ? 0 : 1;
    return kovo::bench::runQtBenchmarks(argc, argv);
}
