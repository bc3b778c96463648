// Wall and CPU time per unit of each benchmark of one run, kept by name for
// the ratios a benchmark program prints after the Google Benchmark table.
#pragma once

#include <benchmark/benchmark.h>
#include <time.h>

#include <chrono>
#include <cstddef>
#include <cstdio>
#include <map>
#include <string>

namespace bench_ratios {

inline double ProcessCpuSeconds() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// CPU time includes the kernel's, so system calls count; it is the steadier
// figure on a busy machine.
struct PerUnit {
    double wall = 0;
    double cpu = 0;
};

class RunTimes {
  public:
    // Runs the benchmark's loop over `body` and keeps its times per unit
    // (a file, a listing) under `name`.
    template <typename Body>
    void Measure(benchmark::State& state, const std::string& name, size_t unitsPerIteration,
                 Body body) {
        const auto start = std::chrono::steady_clock::now();
        const double cpuStart = ProcessCpuSeconds();
        for (auto _ : state) {
            body();
        }
        const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
        const double units = static_cast<double>(state.iterations() * unitsPerIteration);
        const PerUnit times{elapsed.count() / units, (ProcessCpuSeconds() - cpuStart) / units};
        perUnit_[name] = times;
        state.counters["wall_ns_per_unit"] = times.wall * 1e9;
        state.counters["cpu_ns_per_unit"] = times.cpu * 1e9;
    }

    // Prints the ratio of a's times to b's, when both ran.
    void PrintRatio(const char* label, const char* a, const char* b) const {
        const auto x = perUnit_.find(a);
        const auto y = perUnit_.find(b);
        if (x == perUnit_.end() || y == perUnit_.end()) {
            return;
        }
        std::printf("  %-34s wall %7.3f   cpu %7.3f\n", label, x->second.wall / y->second.wall,
                    x->second.cpu / y->second.cpu);
    }

  private:
    std::map<std::string, PerUnit> perUnit_;
};

}  // namespace bench_ratios
