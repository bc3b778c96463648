// The audio reader against libmpg123 on the same files: ours reads the first
// 64 KB and the last bytes; mpg123_scan reads the whole file for an exact
// length; mpg123 without the scan reads the start and estimates. Files: a VBR
// stream with a Xing header, a CBR stream with an Info header (30 s each), and
// 10 MB streams without a header (VBR and CBR), all made by lame at start.
// Prints the ratios of one run after the Google Benchmark table.
#include <benchmark/benchmark.h>
#include <mpg123.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "audio/audio_properties.h"
#include "bench/bench_folder.h"
#include "bench/bench_ratios.h"

namespace {

constexpr int kRate = 44100;
constexpr int kSeconds = 30;
constexpr size_t kLargeBytes = 10 * 1024 * 1024;

void WriteLittleEndian(std::ofstream& out, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) {
        out.put(static_cast<char>(value >> (8 * i)));
    }
}

// Stereo 16-bit noise whose loudness changes every tenth of a second.
void WriteWave(const std::string& path) {
    const uint32_t samples = kRate * kSeconds * 2;
    std::ofstream out(path, std::ios::binary);
    out << "RIFF";
    WriteLittleEndian(out, 36 + samples * 2, 4);
    out << "WAVEfmt ";
    for (const auto& [value, bytes] : std::vector<std::pair<uint32_t, int>>{
             {16, 4}, {1, 2}, {2, 2}, {kRate, 4}, {kRate * 4, 4}, {4, 2}, {16, 2}}) {
        WriteLittleEndian(out, value, bytes);
    }
    out << "data";
    WriteLittleEndian(out, samples * 2, 4);
    uint32_t random = 12345;
    for (uint32_t i = 0; i < samples; ++i) {
        random = random * 1103515245 + 12345;
        const int shift = (4 - static_cast<int>(i / (kRate / 5) % 5)) * 3;
        WriteLittleEndian(out, static_cast<uint16_t>(static_cast<int16_t>(random >> 16) >> shift),
                          2);
    }
}

std::string Encode(const BenchFolder& folder, const std::string& name, const std::string& args) {
    const std::string wave = folder.Path() + "/in.wav";
    const std::string mp3 = folder.Path() + "/" + name + ".mp3";
    const std::string command = "lame --quiet " + args + " " + wave + " " + mp3;
    if (std::system(command.c_str()) != 0) {
        throw std::runtime_error("lame failed (Debian package lame): " + command);
    }
    return mp3;
}

// A stream repeated until it is `size` bytes: a long file without a header.
std::string Repeat(const std::string& path, const std::string& name, size_t size) {
    std::ifstream in(path, std::ios::binary);
    const std::vector<char> stream((std::istreambuf_iterator<char>(in)),
                                   std::istreambuf_iterator<char>());
    const std::string large = path.substr(0, path.rfind('/') + 1) + name + ".mp3";
    std::ofstream out(large, std::ios::binary);
    for (size_t written = 0; written < size; written += stream.size()) {
        out.write(stream.data(), static_cast<std::streamsize>(stream.size()));
    }
    return large;
}

struct Files {
    BenchFolder folder;
    std::map<std::string, std::string> paths;

    Files() {
        WriteWave(folder.Path() + "/in.wav");
        paths["vbr"] = Encode(folder, "vbr", "-V2");
        paths["cbr"] = Encode(folder, "cbr", "-b 128");
        paths["vbr_10mb"] = Repeat(Encode(folder, "vbr_bare", "-V2 -t"), "vbr_10mb", kLargeBytes);
        paths["cbr_10mb"] =
            Repeat(Encode(folder, "cbr_bare", "-b 128 -t"), "cbr_10mb", kLargeBytes);
    }
    static const Files& Get() {
        static const Files files;
        return files;
    }
};

using Decoder = std::unique_ptr<mpg123_handle, void (*)(mpg123_handle*)>;

// What the window would show from mpg123: the length in milliseconds and the
// frame info (its bitrate is folded into the result so that nothing is left unused).
int64_t Mpg123Properties(mpg123_handle* decoder, const std::string& path, bool scan,
                         int64_t* lengthMs = nullptr) {
    mpg123_frameinfo info{};
    long rate = 0;
    int channels = 0, encoding = 0;
    if (mpg123_open(decoder, path.c_str()) != MPG123_OK ||
        mpg123_getformat(decoder, &rate, &channels, &encoding) != MPG123_OK ||
        (scan && mpg123_scan(decoder) != MPG123_OK) || mpg123_info(decoder, &info) != MPG123_OK) {
        throw std::runtime_error("mpg123 cannot read " + path);
    }
    const int64_t length = mpg123_length(decoder) * 1000 / rate;
    mpg123_close(decoder);
    if (lengthMs != nullptr) {
        *lengthMs = length;
    }
    return length + info.bitrate;
}

// Each benchmark's time per file in this run, for the ratios printed after the table.
bench_ratios::RunTimes times;

void Register(const std::string& file) {
    const std::string path = Files::Get().paths.at(file);
    benchmark::RegisterBenchmark(("ours/" + file).c_str(), [=](benchmark::State& state) {
        times.Measure(state, "ours/" + file, 1, [&] {
            benchmark::DoNotOptimize(audio::ReadAudioProperties(path).durationMs);
        });
    })->Unit(benchmark::kMicrosecond);
    for (const bool scan : {true, false}) {
        const std::string name = (scan ? "mpg123_scan/" : "mpg123_noscan/") + file;
        benchmark::RegisterBenchmark(name.c_str(), [=](benchmark::State& state) {
            const Decoder decoder(mpg123_new(nullptr, nullptr), mpg123_delete);
            times.Measure(state, name, 1, [&] {
                benchmark::DoNotOptimize(Mpg123Properties(decoder.get(), path, scan));
            });
        })->Unit(benchmark::kMicrosecond);
    }
}

}  // namespace

int main(int argc, char** argv) {
    mpg123_init();
    benchmark::Initialize(&argc, argv);
    const std::vector<std::string> files = {"vbr", "cbr", "vbr_10mb", "cbr_10mb"};
    for (const std::string& file : files) {
        Register(file);
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::printf("\nRatios of this run (time per file):\n");
    for (const std::string& file : files) {
        const std::string ours = "ours/" + file;
        times.PrintRatio(("mpg123 open+scan+length+info / ours, " + file).c_str(),
                         ("mpg123_scan/" + file).c_str(), ours.c_str());
        times.PrintRatio(("mpg123 without scan / ours, " + file).c_str(),
                         ("mpg123_noscan/" + file).c_str(), ours.c_str());
    }
    std::printf("\nLengths in ms (ours, mpg123 with the scan, mpg123 without):\n");
    const Decoder decoder(mpg123_new(nullptr, nullptr), mpg123_delete);
    for (const std::string& file : files) {
        const std::string& path = Files::Get().paths.at(file);
        int64_t scanned = 0, estimated = 0;
        Mpg123Properties(decoder.get(), path, true, &scanned);
        Mpg123Properties(decoder.get(), path, false, &estimated);
        std::printf("  %-9s %8lld %8lld %8lld\n", file.c_str(),
                    static_cast<long long>(audio::ReadAudioProperties(path).durationMs),
                    static_cast<long long>(scanned), static_cast<long long>(estimated));
    }
    return 0;
}
