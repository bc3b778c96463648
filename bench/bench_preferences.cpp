// Benchmark of the preferences' costs through the row codec: 40 rows whose
// version 4 tags are saved converted to version 3 against the same rows saved
// keeping their version, and a page of 40 files (record and Latin-1 frames)
// read with the windows-1251 code page against the same page read as Latin-1.
// Prints the ratios of one run after the Google Benchmark table.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "bench/bench_folder.h"
#include "editor/model/row_codec.h"
#include "id3v1/id3v1.h"
#include "id3v2/id3v2.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kFiles = 40;
const std::string kCp1251 = "\xC3\xF0\xF3\xEF\xEF\xE0 \xEA\xF0\xEE\xE2\xE8";

// 40 files of 1 MiB audio with a tag of that version (Latin-1 texts of
// windows-1251 bytes, a timestamp, a 100 KB picture) and a record.
struct Files {
    explicit Files(uint8_t version) {
        for (int i = 0; i < kFiles; ++i) {
            const std::string path = folder.Path() + "/song" + std::to_string(i) + ".mp3";
            std::ofstream(path, std::ios::binary).close();
            std::filesystem::resize_file(path, 1u << 20);
            Tid3v2tag tag;
            tag.MajorVersion = version;
            for (const char* id : {"TIT2", "TPE1", "TALB"}) {
                tag.SetText(id, kCp1251);
            }
            tag.SetTextUtf8("TDRC", "2004-05-06T07:08");
            const uint32_t picture = tag.Frames.AddFrame("APIC");
            const std::string head = std::string(1, '\0') + "image/png" + '\0' + '\3' + "c" + '\0';
            tag.Frames.Data(picture).assign(head.begin(), head.end());
            tag.Frames.Data(picture).resize(head.size() + 100 * 1024, 0x5A);
            TV1Values record;
            record.Title = record.Artist = record.Album = kCp1251;
            WriteV1Tag(path, record);
            if (!id3v2::Succeeded(tag.SaveToFile(path, version, 0, 0))) {
                std::abort();
            }
            paths.push_back(path);
            backups.push_back(path + ".orig");
            std::filesystem::copy_file(path, backups.back());
        }
    }
    void Restore() const {
        for (int i = 0; i < kFiles; ++i) {
            std::filesystem::copy_file(backups[i], paths[i],
                                       std::filesystem::copy_options::overwrite_existing);
        }
    }
    BenchFolder folder;
    std::vector<std::string> paths;
    std::vector<std::string> backups;
};

std::map<std::string, double> seconds;

// Times `run` over the files each iteration, after `prepare` untimed. The
// ratio takes each side's fastest iteration: the machine is shared, and the
// slower ones measure the other programs.
void Timed(benchmark::State& state, const char* name, const std::function<void()>& prepare,
           const std::function<void(const std::string&, int)>& run, const Files& files) {
    double fastest = 1e9;
    for (auto _ : state) {
        prepare();
        const auto start = Clock::now();
        for (int i = 0; i < kFiles; ++i) {
            run(files.paths[i], i);
        }
        const std::chrono::duration<double> elapsed = Clock::now() - start;
        state.SetIterationTime(elapsed.count());
        fastest = std::min(fastest, elapsed.count());
    }
    seconds[name] = fastest;
}

void SaveRows(benchmark::State& state, const char* name, int target) {
    static const Files files(4);
    rows::TRowModel model;
    model.SetKind(2);
    Timed(
        state, name,
        [&] {
            files.Restore();
            for (int k = 0; k < kFiles; ++k) {
                model.LoadRow(k, {}, 0, false);
                model.NoteStoredForm(k, 0, 4);
                model.SetField(k, bulk::Column::Comment, QStringLiteral("Saved"));
                model.SetTargetVersion(k, target);
            }
        },
        [&](const std::string& path, int k) {
            Tid3v2tag tag;
            if (row_codec::WriteV2(tag, path, model, k) != 0) {
                std::abort();
            }
        },
        files);
}

void ReadPage(benchmark::State& state, const char* name, const QString& page) {
    static const Files files(3);
    const code_page::TCodePage codePage(page);
    Tid3v2tag tag;
    Timed(
        state, name, [] {},
        [&](const std::string& path, int) {
            benchmark::DoNotOptimize(row_codec::ReadV1(path, codePage));
            benchmark::DoNotOptimize(row_codec::ReadV2(tag, path, codePage));
        },
        files);
}

void BM_SaveRowsConvertedTo23(benchmark::State& state) {
    SaveRows(state, "convert", 3);
}
void BM_SaveRowsKeepingVersion(benchmark::State& state) {
    SaveRows(state, "keep", 0);
}
void BM_ReadPageWindows1251(benchmark::State& state) {
    ReadPage(state, "legacy", QStringLiteral("windows-1251"));
}
void BM_ReadPageLatin1(benchmark::State& state) {
    ReadPage(state, "latin1", QString());
}

BENCHMARK(BM_SaveRowsConvertedTo23)->UseManualTime()->Iterations(40)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaveRowsKeepingVersion)
    ->UseManualTime()
    ->Iterations(40)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadPageWindows1251)->UseManualTime()->Iterations(200)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadPageLatin1)->UseManualTime()->Iterations(200)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::printf("save 40 rows converted to 2.3 / keeping their version: %.2fx\n",
                seconds["convert"] / seconds["keep"]);
    std::printf("read a page with windows-1251 / with Latin-1: %.2fx\n",
                seconds["legacy"] / seconds["latin1"]);
    return 0;
}
