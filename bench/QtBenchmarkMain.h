#pragma once
// Runs the registered benchmarks inside a QApplication, on the offscreen
// platform unless another one is asked for.
#include <QApplication>
#include <benchmark/benchmark.h>

namespace kovo::bench {

inline int runQtBenchmarks(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

} // namespace kovo::bench
