// Benchmarks of the zlib glue and CRC-32 against zlib's own routines on the same
// bytes; prints each pair's time ratio after the Google Benchmark table.
#include <benchmark/benchmark.h>
#include <zlib.h>

#include <cstdio>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "id3v2/frames/compression.h"
#include "id3v2/frames/crc32.h"
#include "id3v2/id3v2.h"

namespace {

using Bytes = std::vector<uint8_t>;

Bytes RandomBytes(size_t size) {
    std::mt19937 gen(1);
    Bytes bytes(size);
    for (uint8_t& b : bytes) {
        b = static_cast<uint8_t>(gen());
    }
    return bytes;
}

// Frame-like content: words and numbers that deflate to about a quarter.
Bytes TextLike(size_t size) {
    static const char* const kWords[] = {"the ",  "song ", "lyrics ", "chorus\n", "verse ",
                                         "1999 ", "love ", "night ",  "rock ",    "and "};
    std::mt19937 gen(2);
    Bytes bytes;
    while (bytes.size() < size) {
        const std::string word = kWords[gen() % std::size(kWords)];
        bytes.insert(bytes.end(), word.begin(), word.end());
        if (gen() % 5 == 0) {
            const std::string number = std::to_string(gen() % 10000) + " ";
            bytes.insert(bytes.end(), number.begin(), number.end());
        }
    }
    bytes.resize(size);
    return bytes;
}

const Bytes& CrcInput() {
    static const Bytes bytes = RandomBytes(16 << 20);
    return bytes;
}

const Bytes& Frame() {
    static const Bytes bytes = TextLike(1 << 20);
    return bytes;
}

const Bytes& CompressedFrame() {
    static const Bytes bytes = CompressBuffer(Frame().data(), Frame().size(), 2);
    return bytes;
}

void Crc32_UpdateCrc32(benchmark::State& state) {
    for (auto _ : state) {
        uint32_t crc = 0xFFFFFFFF;
        UpdateCrc32(CrcInput().data(), CrcInput().size(), crc);
        benchmark::DoNotOptimize(crc);
    }
    state.SetBytesProcessed(state.iterations() * CrcInput().size());
}

void Crc32_Zlib(benchmark::State& state) {
    for (auto _ : state) {
        uLong crc = crc32(0, CrcInput().data(), static_cast<uInt>(CrcInput().size()));
        benchmark::DoNotOptimize(crc);
    }
    state.SetBytesProcessed(state.iterations() * CrcInput().size());
}

// Times one frame operation on a fresh copy of `data` held in the state `held`;
// the copy is not timed.
template <typename Operation>
void TimeFrameOperation(benchmark::State& state, const Bytes& data, uint8_t held,
                        Operation operation) {
    Tid3v2tag tag;
    const uint32_t i = tag.Frames.AddFrame("TXXX");
    for (auto _ : state) {
        state.PauseTiming();
        tag.Frames.Data(i) = data;
        tag.Frames.SetState(i, 2, held);
        state.ResumeTiming();
        benchmark::DoNotOptimize(operation(tag.Frames, i));
    }
}

void Compress_CompressFrame(benchmark::State& state) {
    TimeFrameOperation(state, Frame(), 0,
                       [](TFrameIndex& frames, uint32_t i) { return frames.CompressFrame(i, 2); });
}

void Compress_Zlib(benchmark::State& state) {
    for (auto _ : state) {
        Bytes out(compressBound(Frame().size()));
        uLongf outSize = out.size();
        compress2(out.data(), &outSize, Frame().data(), Frame().size(), Z_DEFAULT_COMPRESSION);
        benchmark::DoNotOptimize(out.data());
    }
}

void Decompress_DecompressFrame(benchmark::State& state) {
    TimeFrameOperation(state, CompressedFrame(), 0x08,
                       [](TFrameIndex& frames, uint32_t i) { return frames.DecompressFrame(i); });
}

// zlib is told the exact output size: the floor for any inflate of this frame.
void Decompress_Zlib(benchmark::State& state) {
    for (auto _ : state) {
        Bytes out(Frame().size());
        uLongf outSize = out.size();
        uncompress(out.data(), &outSize, CompressedFrame().data(), CompressedFrame().size());
        benchmark::DoNotOptimize(out.data());
    }
}

BENCHMARK(Crc32_UpdateCrc32)->Unit(benchmark::kMillisecond);
BENCHMARK(Crc32_Zlib)->Unit(benchmark::kMillisecond);
BENCHMARK(Compress_CompressFrame)->Unit(benchmark::kMillisecond);
BENCHMARK(Compress_Zlib)->Unit(benchmark::kMillisecond);
BENCHMARK(Decompress_DecompressFrame)->Unit(benchmark::kMillisecond);
BENCHMARK(Decompress_Zlib)->Unit(benchmark::kMillisecond);

// Keeps the CPU time of every run besides printing the usual table; CPU time
// is steadier than wall time on a shared machine.
class RecordingReporter : public benchmark::ConsoleReporter {
  public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            times[run.benchmark_name()] = run.GetAdjustedCPUTime();
        }
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, double> times;
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    RecordingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const std::pair<const char*, const char*> pairs[] = {
        {"Crc32_UpdateCrc32", "Crc32_Zlib"},
        {"Compress_CompressFrame", "Compress_Zlib"},
        {"Decompress_DecompressFrame", "Decompress_Zlib"}};
    std::printf("\nRatio to zlib (CPU time, lower is better):\n");
    for (const auto& [ours, zlib] : pairs) {
        if (reporter.times.count(ours) && reporter.times.count(zlib)) {
            std::printf("  %-28s %.2fx\n", ours, reporter.times[ours] / reporter.times[zlib]);
        }
    }
    benchmark::Shutdown();
    return 0;
}
