// Benchmark of the version conversion: 40 files with a version 4 tag (texts,
// a timestamp, a 100 KB picture, padding), each loaded, converted to version
// 3 and saved, against the same 40 loaded and saved keeping their version.
// Prints the ratio of one run after the Google Benchmark table.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "bench/bench_folder.h"
#include "id3v2/id3v2.h"

namespace {

using Bytes = std::vector<uint8_t>;
using Clock = std::chrono::steady_clock;

constexpr int kFiles = 40;
constexpr size_t kAudioSize = 1u << 20;

void WriteAll(const std::string& path, const Bytes& bytes) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0 || ::write(fd, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size()) ||
        ::close(fd) != 0) {
        std::abort();
    }
}

// A version 4 tag as a tagger of today leaves it, followed by silent audio.
Bytes TaggedFile(const std::string& path) {
    WriteAll(path, Bytes(kAudioSize, 0));
    Tid3v2tag tag;
    tag.SetTextUtf8("TIT2", "A title of some length \xC3\xA9");
    tag.SetTextUtf8("TPE1", "An artist");
    tag.SetTextUtf8("TALB", "An album");
    tag.SetTextUtf8("TRCK", "3/12");
    tag.SetTextUtf8("TDRC", "2004-05-06T07:08");
    tag.SetTextUtf8("TDOR", "1999");
    const uint32_t picture = tag.Frames.AddFrame("APIC");
    Bytes& data = tag.Frames.Data(picture);
    const std::string head = std::string(1, '\0') + "image/png" + '\0' + '\3' + "cover" + '\0';
    data.assign(head.begin(), head.end());
    data.resize(data.size() + 100 * 1024, 0x5A);
    if (!id3v2::Succeeded(tag.SaveToFile(path, 4, 0, 0))) {
        std::abort();
    }
    Bytes bytes(kAudioSize * 2);
    const int fd = ::open(path.c_str(), O_RDONLY);
    const ssize_t got = ::pread(fd, bytes.data(), bytes.size(), 0);
    ::close(fd);
    bytes.resize(static_cast<size_t>(got));
    return bytes;
}

struct Files {
    Files() {
        for (int i = 0; i < kFiles; ++i) {
            paths.push_back(folder.Path() + "/song" + std::to_string(i) + ".mp3");
            originals.push_back(TaggedFile(paths.back()));
        }
    }
    BenchFolder folder;
    std::vector<std::string> paths;
    std::vector<Bytes> originals;
};

Files& TheFiles() {
    static Files files;
    return files;
}

std::map<std::string, double> seconds;

// Every iteration puts the 40 files back untimed and saves them timed.
void SaveAll(benchmark::State& state, const char* name, bool convert) {
    Files& files = TheFiles();
    double total = 0;
    for (auto _ : state) {
        for (int i = 0; i < kFiles; ++i) {
            WriteAll(files.paths[i], files.originals[i]);
        }
        const auto start = Clock::now();
        for (const std::string& path : files.paths) {
            Tid3v2tag tag;
            if (tag.LoadFromFile(path, 0) != 0) {
                std::abort();
            }
            if (convert) {
                tag.ConvertToVersion(3);
            }
            if (!id3v2::Succeeded(tag.SaveToFile("=", 255, -1, 255))) {
                std::abort();
            }
        }
        const std::chrono::duration<double> elapsed = Clock::now() - start;
        state.SetIterationTime(elapsed.count());
        total += elapsed.count();
    }
    seconds[name] = total / static_cast<double>(state.iterations());
}

void BM_ConvertTo23AndSave(benchmark::State& state) {
    SaveAll(state, "convert", true);
}
void BM_SaveKeepingVersion(benchmark::State& state) {
    SaveAll(state, "keep", false);
}

BENCHMARK(BM_ConvertTo23AndSave)->UseManualTime()->Iterations(20)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaveKeepingVersion)->UseManualTime()->Iterations(20)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    if (seconds.count("convert") && seconds.count("keep")) {
        std::printf("convert to 2.3 and save / save keeping the version: %.2fx\n",
                    seconds["convert"] / seconds["keep"]);
    }
    return 0;
}
