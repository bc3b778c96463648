// Benchmarks of the tag reader: typical files against TagLib and the raw
// floor, peak heap on a 16 MB tag, and the cost of version-3 unsynchronisation.
// Prints the ratios of one run after the Google Benchmark table.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <malloc.h>
#include <stdlib.h>
#include <taglib/id3v2tag.h>
#include <taglib/mpegfile.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <new>
#include <random>
#include <string>
#include <vector>

#include "bench/bench_folder.h"
#include "bench/bench_ratios.h"
#include "id3v2/frames/layout.h"
#include "id3v2/id3v2.h"
#include "platform/attributes.h"

// Heap accounting for the whole program: every plain operator new records the
// requested size in a header in front of the block.
namespace heap {
size_t current = 0;
size_t peak = 0;
size_t allocations = 0;
constexpr size_t kHeader = alignof(std::max_align_t);
}  // namespace heap

void* operator new(size_t size) {
    auto* base = static_cast<unsigned char*>(std::malloc(size + heap::kHeader));
    if (base == nullptr) {
        throw std::bad_alloc();
    }
    *reinterpret_cast<size_t*>(base) = size;
    heap::current += size;
    heap::peak = std::max(heap::peak, heap::current);
    ++heap::allocations;
    return base + heap::kHeader;
}

void operator delete(void* block) noexcept {
    if (block == nullptr) {
        return;
    }
    auto* base = static_cast<unsigned char*>(block) - heap::kHeader;
    heap::current -= *reinterpret_cast<size_t*>(base);
    std::free(base);
}

void operator delete(void* block, size_t) noexcept {
    operator delete(block);
}

namespace {

using Bytes = std::vector<uint8_t>;

Bytes Frame3(const std::string& id, const Bytes& data) {
    Bytes frame(id.begin(), id.end());
    frame.resize(10);
    id3v2::WriteBigEndian32(frame.data() + 4, static_cast<uint32_t>(data.size()));
    frame.insert(frame.end(), data.begin(), data.end());
    return frame;
}

Bytes Text(const std::string& text) {
    Bytes data{0};
    data.insert(data.end(), text.begin(), text.end());
    return data;
}

// A version-3 tag: header, body, then `audio` bytes of silent MPEG frames.
Bytes TagFile(const Bytes& body, uint8_t flags, size_t audio) {
    Bytes file = {'I', 'D', '3', 3, 0, flags, 0, 0, 0, 0};
    id3v2::WriteSyncsafe32(file.data() + 6, static_cast<uint32_t>(body.size()));
    file.insert(file.end(), body.begin(), body.end());
    for (size_t i = 0; i < audio; i += 417) {
        const uint8_t frame[4] = {0xFF, 0xFB, 0x90, 0xC4};
        file.insert(file.end(), frame, frame + 4);
        file.resize(file.size() + 413, 0);
    }
    return file;
}

Bytes Unsync(const Bytes& plain) {
    Bytes out;
    out.reserve(plain.size() + plain.size() / 64);
    for (size_t i = 0; i < plain.size(); ++i) {
        out.push_back(plain[i]);
        if (plain[i] == 0xFF && i + 1 < plain.size() && id3v2::NeedsUnsyncByte(plain[i + 1])) {
            out.push_back(0);
        }
    }
    return out;
}

Bytes RandomBytes(size_t size, uint32_t seed) {
    std::mt19937 random(seed);
    Bytes data(size);
    for (uint8_t& byte : data) {
        byte = static_cast<uint8_t>(random());
    }
    return data;
}

void WriteFile(const std::string& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

// The generated files, in a temporary folder removed at exit.
class Files {
  public:
    static Files& Get() {
        static Files files;
        return files;
    }

    std::vector<std::string> typical;
    std::string bigPadded;
    std::string plain8;
    std::string unsync8;

  private:
    Files() {
        // Typical: version 2.3, twelve frames, 4 KB padding.
        const char* ids[] = {"TIT2", "TPE1", "TALB", "TYER", "TRCK", "TCON",
                             "TPE2", "TCOM", "TPOS", "TENC", "TXXX", "COMM"};
        for (int i = 0; i < 1000; ++i) {
            Bytes body;
            for (const char* id : ids) {
                const Bytes frame = Frame3(id, Text(std::string(id) + " value of file " +
                                                    std::to_string(i) + " with some text"));
                body.insert(body.end(), frame.begin(), frame.end());
            }
            body.resize(body.size() + 4096, 0);
            typical.push_back(folder_.Path() + "/typical" + std::to_string(i) + ".mp3");
            WriteFile(typical.back(), TagFile(body, 0, 8 * 1024));
        }
        // 16 MB: a thousand small frames and the rest padding.
        Bytes body;
        for (int i = 0; i < 1000; ++i) {
            const Bytes frame = Frame3("TXXX", Text("small frame " + std::to_string(i)));
            body.insert(body.end(), frame.begin(), frame.end());
        }
        body.resize(16u << 20, 0);
        bigPadded = folder_.Path() + "/padded16.mp3";
        WriteFile(bigPadded, TagFile(body, 0, 4096));
        // 8 MB of frame data, plain and unsynchronised.
        Bytes frames;
        for (uint32_t i = 0; i < 8; ++i) {
            const Bytes frame = Frame3("APIC", RandomBytes(1u << 20, i));
            frames.insert(frames.end(), frame.begin(), frame.end());
        }
        plain8 = folder_.Path() + "/plain8.mp3";
        WriteFile(plain8, TagFile(frames, 0, 4096));
        unsync8 = folder_.Path() + "/unsync8.mp3";
        WriteFile(unsync8, TagFile(Unsync(frames), 0x80, 4096));
    }
    BenchFolder folder_;
};

bench_ratios::RunTimes runTimes;

Tid3v2tag& TagObject() {
    static Tid3v2tag tag;
    return tag;
}

// Loads a file and walks its frame table, as the window does.
size_t LoadAndWalk(const std::string& path) {
    Tid3v2tag& tag = TagObject();
    size_t sum = tag.LoadFromFile(path, 0);
    for (uint32_t i = 1; i <= tag.Frames.FrameCount(); ++i) {
        sum += tag.Frames.DataSize(i) + static_cast<uint8_t>(tag.Frames.Id(i)[0]);
    }
    return sum;
}

void BM_TypicalOurs(benchmark::State& state) {
    const auto& files = Files::Get().typical;
    runTimes.Measure(state, "ours", files.size(), [&] {
        for (const std::string& path : files) {
            benchmark::DoNotOptimize(LoadAndWalk(path));
        }
    });
}

void BM_TypicalTagLib(benchmark::State& state) {
    const auto& files = Files::Get().typical;
    runTimes.Measure(state, "taglib", files.size(), [&] {
        for (const std::string& path : files) {
            TagLib::MPEG::File file(path.c_str(), false);
            size_t sum = 0;
            if (TagLib::ID3v2::Tag* tag = file.ID3v2Tag()) {
                for (const TagLib::ID3v2::Frame* frame : tag->frameList()) {
                    sum += frame->size() + static_cast<uint8_t>(frame->frameID()[0]);
                }
            }
            benchmark::DoNotOptimize(sum);
        }
    });
}

// Open, read the ten-byte header, read the body, close.
void RawLoad(const std::string& path, Bytes& body) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    uint8_t header[10];
    if (fd < 0 || ::read(fd, header, 10) != 10) {
        std::abort();
    }
    const uint32_t size = id3v2::ReadSyncsafe32(header + 6);
    benchmark::DoNotOptimize(::read(fd, body.data(), std::min<size_t>(size, body.size())));
    ::close(fd);
}

void BM_TypicalRawFloor(benchmark::State& state) {
    const auto& files = Files::Get().typical;
    Bytes body(1u << 20);
    runTimes.Measure(state, "floor", files.size(), [&] {
        for (const std::string& path : files) {
            RawLoad(path, body);
        }
    });
}

// The floor plus the attribute query by path (stat and access), as loads made
// it before they asked their open descriptor for ReadOnlyFile.
void BM_TypicalRawFloorWithAttributes(benchmark::State& state) {
    const auto& files = Files::Get().typical;
    Bytes body(1u << 20);
    runTimes.Measure(state, "floor+attributes", files.size(), [&] {
        for (const std::string& path : files) {
            benchmark::DoNotOptimize(platform::GetFileAttributesA(path));
            RawLoad(path, body);
        }
    });
}

// Peak heap of one load of the 16 MB tag into a new tag object, beyond the
// frame table's entries and data.
void BM_PeakHeap16MB(benchmark::State& state) {
    const std::string& path = Files::Get().bigPadded;
    size_t peak = 0;
    size_t allocations = 0;
    size_t framesOwn = 0;
    uint32_t frames = 0;
    {
        Tid3v2tag tag;
        const size_t before = heap::current;
        const size_t allocationsBefore = heap::allocations;
        heap::peak = heap::current;
        if (tag.LoadFromFile(path, 0) != 0) {
            state.SkipWithError("load failed");
            return;
        }
        peak = heap::peak - before;
        allocations = heap::allocations - allocationsBefore;
        frames = tag.Frames.FrameCount();
        framesOwn = frames * sizeof(TFrameEntry);
        for (uint32_t i = 1; i <= frames; ++i) {
            framesOwn += tag.Frames.Data(i).capacity();
        }
    }
    Tid3v2tag& tag = TagObject();
    runTimes.Measure(state, "padded16", 1,
                     [&] { benchmark::DoNotOptimize(tag.LoadFromFile(path, 0)); });
    state.counters["peak_KB"] = static_cast<double>(peak) / 1024;
    state.counters["frames_KB"] = static_cast<double>(framesOwn) / 1024;
    state.counters["beyond_frames_KB"] =
        (static_cast<double>(peak) - static_cast<double>(framesOwn)) / 1024;
    state.counters["allocations"] = static_cast<double>(allocations);
    state.counters["frames"] = frames;
}

void BM_Plain8MB(benchmark::State& state) {
    const std::string& path = Files::Get().plain8;
    runTimes.Measure(state, "plain8", 1, [&] { benchmark::DoNotOptimize(LoadAndWalk(path)); });
}

void BM_Unsync8MB(benchmark::State& state) {
    const std::string& path = Files::Get().unsync8;
    runTimes.Measure(state, "unsync8", 1, [&] { benchmark::DoNotOptimize(LoadAndWalk(path)); });
}

BENCHMARK(BM_TypicalRawFloor)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TypicalRawFloorWithAttributes)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TypicalOurs)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TypicalTagLib)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PeakHeap16MB)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Plain8MB)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Unsync8MB)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    Files::Get();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::printf("\nRatios of this run (time per file; goal: ours / raw floor at most 1.5):\n");
    runTimes.PrintRatio("ours / raw floor", "ours", "floor");
    runTimes.PrintRatio("ours / floor+attributes", "ours", "floor+attributes");
    runTimes.PrintRatio("TagLib / raw floor", "taglib", "floor");
    runTimes.PrintRatio("ours / TagLib", "ours", "taglib");
    runTimes.PrintRatio("8 MB unsync / plain", "unsync8", "plain8");
    return 0;
}
