// The database lists with a full database: rebuilding the channel list and
// the log list, and redrawing one channel row as a scan does on every report.
// Each step includes the repaint of the list that follows on screen.
#include "QtBenchmarkMain.h"
#include "fakes/DatabasePanelRig.h"

#include <benchmark/benchmark.h>

#include <QApplication>

using namespace kovo;

namespace {

struct Bench : kovo::test::DatabasePanelRig {
    Bench() {
        for (int i = 0; i < kMaxChannels; ++i) {
            const int row = addChannel(100'000'000 + std::uint32_t(i) * 12'500, 1 << (i % 22));
            CFrequencyData& ch = *doc.channels[std::size_t(row)];
            ch.heard = std::uint8_t(i % 2);
            ch.heardTime = 1'700'000'000 + i;
            if (i % 5 == 0)
                ch.comment = "\x83\x65\x83\x58\x83\x67 channel"; // Japanese text in code page 932
        }
        for (int i = 0; i < kLogSlots; ++i)
            addLog(100'000'000 + std::uint32_t(i) * 12'500, 1'700'000'000 + i, 1'700'000'060 + i);
        panel.refreshAll();
        QApplication::processEvents();
    }
};

void BM_RebuildChannelList5000(benchmark::State& state) {
    Bench b;
    b.show(0);
    for (auto _ : state) {
        b.panel.presenter().rebuildChannels();
        b.panel.list(0).viewport()->repaint();
    }
}
BENCHMARK(BM_RebuildChannelList5000)->Unit(benchmark::kMillisecond);

void BM_RebuildLogList5000(benchmark::State& state) {
    Bench b;
    b.show(6);
    for (auto _ : state) {
        b.panel.rebuildList(6);
        b.panel.list(6).viewport()->repaint();
    }
}
BENCHMARK(BM_RebuildLogList5000)->Unit(benchmark::kMillisecond);

void BM_RedrawOneChannelRow(benchmark::State& state) {
    Bench b;
    b.show(0);
    b.panel.selectChannel(2500);
    int signal = 0;
    for (auto _ : state) {
        b.doc.channelTable().recordReport(2500, signal = (signal + 1) % 16);
        QApplication::processEvents();
    }
}
BENCHMARK(BM_RedrawOneChannelRow)->Unit(benchmark::kMicrosecond);

// The lists' share alone: the document's notice of the row, without the repaint.
void BM_RowChangedNotification(benchmark::State& state) {
    Bench b;
    b.show(0);
    const DocumentChange changed{DocumentChange::Kind::ChannelChanged, 2500};
    for (auto _ : state)
        b.doc.changes().notify(changed);
    QApplication::processEvents();
}
BENCHMARK(BM_RowChangedNotification)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
    return kovo::bench::runQtBenchmarks(argc, argv);
}
