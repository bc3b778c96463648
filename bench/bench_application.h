// The main of the benchmarks that need the program's application object:
// offscreen, so no window is ever shown.
#pragma once

#include <benchmark/benchmark.h>
#include <stdlib.h>

#include "editor/startup/application.h"

inline int RunBenchmarksInApplication(int argc, char** argv) {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    TApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
