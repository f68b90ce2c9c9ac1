// The front panel's cost per tuning change: the refresh of every visible
// panel after the tuned frequency moved one step, as a scan does on every
// signal report, including the repaint of what changed.
#include "QtBenchmarkMain.h"
#include "fakes/ViewFakes.h"
#include "ui/PanelStack.h"

#include <benchmark/benchmark.h>

#include <QApplication>

using namespace kovo;

namespace {

struct Bench : kovo::test::ViewRig {
    Bench() {
        settings.showControl2 = 1;
        settings.elm = 1;
        doc.controlParams.ctcssSwitch = 1;
        // A database of channels, every fifth with a Japanese comment.
        for (int i = 0; i < 2000; ++i) {
            const int row = addChannel(140'000'000 + std::uint32_t(i) * 20'000);
            CFrequencyData& ch = *doc.channels[std::size_t(row)];
            ch.bankMask = 1 << (i % 20 + 1);
            ch.bankNumber = i % 250;
            ch.mode = i % 6;
            ch.step = 7 + i % 5;
            if (i % 5 == 0)
                ch.comment = "\x83\x65\x83\x58\x83\x67 channel"; // Japanese text in code page 932
        }
        view->refreshAll();
        view->stack().show();
        QApplication::processEvents();
    }

    // One memory-scan step: the next channel into the main record.
    void step(int& row) {
        row = (row + 1) % doc.channelCount;
        doc.tuning().recallChannel(row);
        view->refreshPanels();
    }
};

void BM_RefreshAfterTuningChange(benchmark::State& state) {
    Bench b;
    int row = 0;
    for (auto _ : state)
        b.step(row);
    QApplication::processEvents();
}
BENCHMARK(BM_RefreshAfterTuningChange);

// The same with the repaint of the changed fields that follows on screen.
void BM_RefreshAndRepaint(benchmark::State& state) {
    Bench b;
    int row = 0;
    for (auto _ : state) {
        b.step(row);
        b.view->stack().repaint();
    }
}
BENCHMARK(BM_RefreshAndRepaint);

// A refresh when nothing changed (the report of a stop on the same channel).
void BM_RefreshUnchanged(benchmark::State& state) {
    Bench b;
    for (auto _ : state)
        b.view->refreshPanels();
}
BENCHMARK(BM_RefreshUnchanged);

} // namespace

int main(int argc, char** argv) {
    return kovo::bench::runQtBenchmarks(argc, argv);
}
