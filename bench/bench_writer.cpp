// Benchmarks of the tag writer on a 32 MB file: a save whose tag outgrows its
// padding (also flushing every 4 MB) against the floor of moving the same bytes
// with 16 KB pread/pwrite and against TagLib; the bytes a second save writes; inserting a tag into
// an untagged file. Prints the ratios of one run after the Google Benchmark table.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <stdlib.h>
#include <taglib/id3v2tag.h>
#include <taglib/mpegfile.h>
#include <taglib/privateframe.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "bench/bench_folder.h"
#include "id3v2/id3v2.h"
#include "id3v2/write/staged_output.h"

namespace {

using Bytes = std::vector<uint8_t>;
using Clock = std::chrono::steady_clock;

constexpr size_t kAudioSize = 32u << 20;
constexpr size_t kGrowth = 12000;  // more than any padding the first save leaves

void WriteAll(const std::string& path, const Bytes& bytes) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    size_t done = 0;
    while (fd >= 0 && done < bytes.size()) {
        const ssize_t put = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (put <= 0) {
            break;
        }
        done += static_cast<size_t>(put);
    }
    // Start every measured run with the file's pages clean in the cache.
    if (fd < 0 || done != bytes.size() || ::fsync(fd) != 0 || ::close(fd) != 0) {
        std::abort();
    }
}

Bytes ReadAll(const std::string& path) {
    Bytes bytes(std::filesystem::file_size(path));
    const int fd = ::open(path.c_str(), O_RDONLY);
    if (fd < 0 ||
        ::pread(fd, bytes.data(), bytes.size(), 0) != static_cast<ssize_t>(bytes.size())) {
        std::abort();
    }
    ::close(fd);
    return bytes;
}

Bytes SilentAudio(size_t size) {
    Bytes audio(size, 0);
    for (size_t i = 0; i + 4 <= size; i += 417) {
        audio[i] = 0xFF;
        audio[i + 1] = 0xFB;
        audio[i + 2] = 0x90;
        audio[i + 3] = 0xC4;
    }
    return audio;
}

void AddTextFrames(Tid3v2tag& tag) {
    tag.SetText("TIT2", "A title of some length");
    tag.SetText("TPE1", "An artist");
    tag.SetText("TALB", "An album");
    tag.SetText("TRCK", "3/12");
}

// The files of the run, in a temporary folder removed at exit.
class Files {
  public:
    static Files& Get() {
        static Files files;
        return files;
    }

    std::string path;
    Bytes untagged;
    Bytes tagged;         // a tag saved by us with the default padding
    uint32_t oldTagSize;  // its size
    uint32_t grownTagSize;
    uint32_t insertedTagSize;

  private:
    Files() {
        path = folder_.Path() + "/song.mp3";
        untagged = SilentAudio(kAudioSize);
        WriteAll(path, untagged);
        Tid3v2tag tag;
        AddTextFrames(tag);
        if (tag.SaveToFile(path, 3, 0, 0) != 0) {
            std::abort();
        }
        insertedTagSize = tag.TagSize;
        oldTagSize = tag.TagSize;
        tagged = ReadAll(path);
        Grow(tag);
        if (tag.SaveToFile("=", 255, -1, 255) != 0) {
            std::abort();
        }
        grownTagSize = tag.TagSize;
    }
    BenchFolder folder_;

  public:
    // The change every grow benchmark makes: one private frame of kGrowth bytes.
    static void Grow(Tid3v2tag& tag) {
        const uint32_t i = tag.Frames.AddFrame("PRIV");
        tag.Frames.Data(i).assign(kGrowth, 0x42);
    }
};

// Seconds per iteration of each benchmark in this run, for the ratios at the end.
std::map<std::string, double> seconds;
uint64_t secondSaveBytes = 0;
uint32_t secondSaveTagSize = 0;

// Runs `reset` untimed, `body` timed and `after` untimed in every iteration.
template <typename Reset, typename Body, typename After = void (*)()>
void Measure(
    benchmark::State& state, const std::string& name, Reset reset, Body body, After after = [] {}) {
    double total = 0;
    for (auto _ : state) {
        reset();
        const auto start = Clock::now();
        body();
        const std::chrono::duration<double> elapsed = Clock::now() - start;
        state.SetIterationTime(elapsed.count());
        total += elapsed.count();
        after();
    }
    seconds[name] = total / static_cast<double>(state.iterations());
}

// The floor: moves `count` bytes from `from` to `to` inside the file with 16 KB
// pread/pwrite chunks, last chunk first (the target lies above the source).
void MoveBytes(const std::string& path, off_t from, off_t to, size_t count) {
    const int fd = ::open(path.c_str(), O_RDWR);
    std::vector<uint8_t> chunk(16384);
    for (size_t left = count; left > 0;) {
        const size_t piece = std::min(left, chunk.size());
        left -= piece;
        if (::pread(fd, chunk.data(), piece, from + static_cast<off_t>(left)) !=
                static_cast<ssize_t>(piece) ||
            ::pwrite(fd, chunk.data(), piece, to + static_cast<off_t>(left)) !=
                static_cast<ssize_t>(piece)) {
            std::abort();
        }
    }
    ::close(fd);
}

// Loads the file's tag, grows it past its padding and saves it.
void GrowAndSave(Tid3v2tag& tag, const std::string& path) {
    tag.LoadFromFile(path, 0);
    Files::Grow(tag);
    if (tag.SaveToFile("=", 255, -1, 255) != 0) {
        std::abort();
    }
}

void BM_GrowOurs(benchmark::State& state) {
    Files& files = Files::Get();
    Tid3v2tag tag;
    Measure(
        state, "grow_ours", [&] { WriteAll(files.path, files.tagged); },
        [&] { GrowAndSave(tag, files.path); },
        [&] {
            // A second save of the same tag: only the tag's bytes may be written.
            const uint64_t before = id3v2::StagedBytesWritten();
            if (tag.SaveToFile("=", 255, -1, 255) != 0) {
                std::abort();
            }
            secondSaveBytes = id3v2::StagedBytesWritten() - before;
            secondSaveTagSize = tag.TagSize;
        });
    state.counters["second_save_bytes"] = static_cast<double>(secondSaveBytes);
    state.counters["tag_size"] = secondSaveTagSize;
}

// The same save flushing every 4 MB of the move to the disk with its journal
// step, as a save that must survive a power failure does.
void BM_GrowOursSynced(benchmark::State& state) {
    Files& files = Files::Get();
    Tid3v2tag tag;
    tag.SyncEvery = 4u << 20;
    Measure(
        state, "grow_ours_synced", [&] { WriteAll(files.path, files.tagged); },
        [&] { GrowAndSave(tag, files.path); });
}

void BM_GrowFloor(benchmark::State& state) {
    Files& files = Files::Get();
    const size_t audio = files.tagged.size() - files.oldTagSize;
    Measure(
        state, "grow_floor", [&] { WriteAll(files.path, files.tagged); },
        [&] { MoveBytes(files.path, files.oldTagSize, files.grownTagSize, audio); });
}

void BM_GrowTagLib(benchmark::State& state) {
    Files& files = Files::Get();
    Measure(
        state, "grow_taglib", [&] { WriteAll(files.path, files.tagged); },
        [&] {
            TagLib::MPEG::File file(files.path.c_str(), false);
            auto* frame = new TagLib::ID3v2::PrivateFrame();
            frame->setData(TagLib::ByteVector(static_cast<unsigned>(kGrowth), 0x42));
            file.ID3v2Tag(true)->addFrame(frame);  // the tag owns its frames
            if (!file.save(TagLib::MPEG::File::ID3v2, TagLib::File::StripNone, TagLib::ID3v2::v3)) {
                std::abort();
            }
        });
}

void BM_InsertOurs(benchmark::State& state) {
    Files& files = Files::Get();
    Measure(
        state, "insert_ours", [&] { WriteAll(files.path, files.untagged); },
        [&] {
            Tid3v2tag tag;
            AddTextFrames(tag);
            if (tag.SaveToFile(files.path, 3, 0, 0) != 0) {
                std::abort();
            }
        });
}

void BM_InsertFloor(benchmark::State& state) {
    Files& files = Files::Get();
    Measure(
        state, "insert_floor", [&] { WriteAll(files.path, files.untagged); },
        [&] { MoveBytes(files.path, 0, files.insertedTagSize, files.untagged.size()); });
}

constexpr int kIterations = 12;

}  // namespace

BENCHMARK(BM_GrowOurs)->UseManualTime()->Iterations(kIterations)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GrowOursSynced)
    ->UseManualTime()
    ->Iterations(kIterations)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GrowFloor)->UseManualTime()->Iterations(kIterations)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GrowTagLib)->UseManualTime()->Iterations(kIterations)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_InsertOurs)->UseManualTime()->Iterations(kIterations)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_InsertFloor)->UseManualTime()->Iterations(kIterations)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    const auto ratio = [](const char* a, const char* b) {
        return seconds.count(a) && seconds.count(b) ? seconds[a] / seconds[b] : 0.0;
    };
    std::printf("\nRatios of this run (goal: grow and insert at most 1.2x the floor):\n");
    std::printf("  grow past padding, ours / floor:   %.2fx\n", ratio("grow_ours", "grow_floor"));
    std::printf("  grow past padding, flushed every 4 MB / floor: %.2fx\n",
                ratio("grow_ours_synced", "grow_floor"));
    std::printf("  grow past padding, TagLib / floor: %.2fx\n", ratio("grow_taglib", "grow_floor"));
    std::printf("  grow past padding, TagLib / ours:  %.2fx\n", ratio("grow_taglib", "grow_ours"));
    std::printf("  insert into untagged, ours / floor: %.2fx\n",
                ratio("insert_ours", "insert_floor"));
    std::printf("  second save wrote %llu bytes for a tag of %u bytes\n",
                static_cast<unsigned long long>(secondSaveBytes), secondSaveTagSize);
    return 0;
}
