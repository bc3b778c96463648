// Listing a folder tree of 50,000 MP3 files in 500 folders: the library's
// walk, the walk sorted in the window's order, and the time until the first
// page's 40 files are known, against bare recursive walks (nftw and the
// standard library's directory iterator).
// Prints the ratios of one run after the Google Benchmark table.
#include <benchmark/benchmark.h>
#include <ftw.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "bench/bench_folder.h"
#include "editor/model/file_order.h"
#include "platform/listing.h"

namespace {

constexpr int kTopFolders = 50;
constexpr int kSubfoldersEach = 9;  // 50 + 450 folders
constexpr int kFilesPerFolder = 100;
constexpr size_t kPageRows = 40;

// The tree: Artist N/ with its files and Album M/ below it, each with its files.
class Tree {
  public:
    static Tree& Get() {
        static Tree tree;
        return tree;
    }
    const std::string& Path() const { return folder_.Path(); }

  private:
    Tree() {
        for (int artist = 0; artist < kTopFolders; ++artist) {
            const std::string top = folder_.Path() + "/Artist " + std::to_string(artist);
            Fill(top);
            for (int album = 0; album < kSubfoldersEach; ++album) {
                Fill(top + "/Album " + std::to_string(album));
            }
        }
    }
    static void Fill(const std::string& folder) {
        std::filesystem::create_directories(folder);
        for (int i = 0; i < kFilesPerFolder; ++i) {
            std::ofstream(folder + "/" + std::to_string(i) + " - Song.mp3");
        }
    }
    BenchFolder folder_;
};

// Wall and CPU seconds per iteration of each benchmark, for the ratios.
struct PerIteration {
    double wall = 0;
    double cpu = 0;
};
std::map<std::string, PerIteration> perIteration;

double ProcessCpuSeconds() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

template <typename Body>
void Measure(benchmark::State& state, const std::string& name, Body body) {
    const std::string& top = Tree::Get().Path();
    size_t files = 0;
    const auto start = std::chrono::steady_clock::now();
    const double cpuStart = ProcessCpuSeconds();
    for (auto _ : state) {
        files = body(top);
    }
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
    const auto iterations = static_cast<double>(state.iterations());
    perIteration[name] = {elapsed.count() / iterations,
                          (ProcessCpuSeconds() - cpuStart) / iterations};
    state.counters["files"] = static_cast<double>(files);
}

// The bare walk: every file's path, links not followed.
std::vector<std::string>* walked = nullptr;
int CollectFile(const char* path, const struct stat*, int type, FTW*) {
    if (type == FTW_F) {
        walked->emplace_back(path);
    }
    return 0;
}

void BM_BareRecursiveWalk(benchmark::State& state) {
    Measure(state, "nftw", [](const std::string& top) {
        std::vector<std::string> paths;
        walked = &paths;
        ::nftw(top.c_str(), CollectFile, 16, FTW_PHYS);
        benchmark::DoNotOptimize(paths.data());
        return paths.size();
    });
}

// The bare walk of the standard library: every file's path, links not followed.
void BM_BareDirectoryIterator(benchmark::State& state) {
    Measure(state, "iterator", [](const std::string& top) {
        std::vector<std::string> paths;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(top)) {
            if (entry.is_regular_file()) {
                paths.push_back(entry.path().native());
            }
        }
        benchmark::DoNotOptimize(paths.data());
        return paths.size();
    });
}

void BM_ListTree(benchmark::State& state) {
    Measure(state, "listing", [](const std::string& top) {
        const platform::TreeListing listing = platform::ListMp3Tree(top);
        benchmark::DoNotOptimize(listing.files.data());
        return listing.files.size();
    });
}

// The window's listing: the whole tree, then its relative paths in file-manager order.
void BM_ListTreeSorted(benchmark::State& state) {
    Measure(state, "listing+sort", [](const std::string& top) {
        const std::vector<std::string> sorted =
            file_order::SortedLikeFileManager(platform::ListMp3Tree(top).files);
        benchmark::DoNotOptimize(sorted.data());
        return sorted.size();
    });
}

// Until the first batch of a page's rows arrives; the walk then stops.
void BM_FirstPageOfTree(benchmark::State& state) {
    Measure(state, "first page", [](const std::string& top) {
        const platform::TreeListing listing = platform::ListMp3Tree(
            top, kPageRows,
            [](std::span<const std::string>) { return platform::ListingStep::Stop; });
        return listing.files.size();
    });
}

BENCHMARK(BM_BareRecursiveWalk)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BareDirectoryIterator)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ListTree)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ListTreeSorted)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FirstPageOfTree)->Unit(benchmark::kMicrosecond);

void PrintRatio(const char* label, const char* a, const char* b) {
    const auto x = perIteration.find(a);
    const auto y = perIteration.find(b);
    if (x == perIteration.end() || y == perIteration.end()) {
        return;
    }
    std::printf("  %-34s wall %7.3f   cpu %7.3f\n", label, x->second.wall / y->second.wall,
                x->second.cpu / y->second.cpu);
}

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    Tree::Get();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::printf("\nRatios of this run (goal: listing with subfolders / bare walk at most 3):\n");
    PrintRatio("listing / nftw", "listing", "nftw");
    PrintRatio("listing sorted / nftw", "listing+sort", "nftw");
    PrintRatio("listing / directory iterator", "listing", "iterator");
    PrintRatio("listing sorted / directory iterator", "listing+sort", "iterator");
    PrintRatio("first 40 files / whole listing", "first page", "listing");
    return 0;
}
