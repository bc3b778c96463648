// Listing a folder tree of 50,000 MP3 files in 500 folders: the library's
// walk, the walk sorted in the window's order, and the time until the first
// page's 40 files are known, against bare recursive walks (nftw and the
// standard library's directory iterator).
// Prints the ratios of one run after the Google Benchmark table.
#include <benchmark/benchmark.h>
#include <ftw.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "bench/bench_folder.h"
#include "bench/bench_ratios.h"
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

bench_ratios::RunTimes runTimes;

// Runs the benchmark over `body`, a listing of the tree that returns the
// number of files it found.
template <typename Body>
void Measure(benchmark::State& state, const std::string& name, Body body) {
    const std::string& top = Tree::Get().Path();
    size_t files = 0;
    runTimes.Measure(state, name, 1, [&] { files = body(top); });
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

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    Tree::Get();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::printf("\nRatios of this run (goal: listing with subfolders / bare walk at most 3):\n");
    runTimes.PrintRatio("listing / nftw", "listing", "nftw");
    runTimes.PrintRatio("listing sorted / nftw", "listing+sort", "nftw");
    runTimes.PrintRatio("listing / directory iterator", "listing", "iterator");
    runTimes.PrintRatio("listing sorted / directory iterator", "listing+sort", "iterator");
    runTimes.PrintRatio("first 40 files / whole listing", "first page", "listing");
    return 0;
}
