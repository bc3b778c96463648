// Save All Rows of a page of 40 ID3v2 files whose tags fit their padding,
// against the work it cannot avoid: a library load and save of each changed
// file plus one page build. Measured with every row changed and with one row
// changed (the 39 untouched files cost nothing); prints the ratios.
#include <benchmark/benchmark.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <QApplication>
#include <QLineEdit>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "bench/bench_dialogs.h"
#include "bench/bench_folder.h"
#include "editor/dialogs/dialogs.h"
#include "editor/model/page_logic.h"
#include "editor/window/form1.h"
#include "id3v2/frames/layout.h"
#include "id3v2/id3v2.h"
#include "platform/media_device.h"

namespace {

constexpr int kFiles = page_logic::kRowsPerPage;
constexpr size_t kAudioFrames = 200;
constexpr uint32_t kPadding = 4096;

class SilentDevice : public platform::MediaDevice {
  public:
    void Open(const std::string&) override {}
    void Play() override {}
    void Stop() override {}
    int64_t Length() override { return 0; }
    void Seek(int64_t) override {}
    int64_t Position() override { return 0; }
    void Close() override {}
};

std::vector<uint8_t> TextFrame(const std::string& id, const std::string& text) {
    std::vector<uint8_t> frame(id.begin(), id.end());
    frame.resize(10);
    id3v2::WriteBigEndian32(frame.data() + 4, static_cast<uint32_t>(text.size() + 1));
    frame.push_back(0);
    frame.insert(frame.end(), text.begin(), text.end());
    return frame;
}

// A version-3 tag with the row's seven values and room to spare, then silent audio.
void WriteFile(const std::string& path, int i) {
    std::vector<uint8_t> body;
    const std::vector<std::pair<std::string, std::string>> frames = {
        {"TIT2", "Title " + std::to_string(i)},
        {"TPE1", "Artist"},
        {"TALB", "Album"},
        {"TYER", "2001"},
        {"TRCK", "1"},
        {"TCON", "Rock"}};
    for (const auto& [id, text] : frames) {
        const auto frame = TextFrame(id, text);
        body.insert(body.end(), frame.begin(), frame.end());
    }
    body.resize(body.size() + kPadding, 0);
    std::vector<uint8_t> file = {'I', 'D', '3', 3, 0, 0, 0, 0, 0, 0};
    id3v2::WriteSyncsafe32(file.data() + 6, static_cast<uint32_t>(body.size()));
    file.reserve(file.size() + body.size() + kAudioFrames * 417);
    file.insert(file.end(), body.begin(), body.end());
    for (size_t f = 0; f < kAudioFrames; ++f) {
        const uint8_t header[4] = {0xFF, 0xFB, 0x90, 0xC4};
        file.insert(file.end(), header, header + 4);
        file.resize(file.size() + 417 - 4, 0);
    }
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(file.data()),
               static_cast<std::streamsize>(file.size()));
}

struct Page {
    BenchFolder files;
    std::string folder = files.Path();
    Tid3v2tag tag;
    // The saves below meet no read-only file; any question would get Yes.
    AnsweringDialogs dialogs{TDialogs::Answer::Yes};
    SilentDevice device;
    std::unique_ptr<TForm1> form;

    Page() {
        for (int i = 0; i < kFiles; ++i) {
            WriteFile(folder + "/" + std::to_string(100 + i) + ".mp3", i);
        }
        form = std::make_unique<TForm1>(tag, dialogs, device);
        form->SelectFolder(QString::fromStdString(folder));
        form->SpeedButton7Click();  // ID3v2 mode
    }
    ~Page() { form.reset(); }
};

Page* page = nullptr;

// Alternates the titles between two texts of the same length, so every save
// changes the tag and every tag keeps fitting its padding.
QString TitleFor(int64_t iteration, int k) {
    return QString("%1 title %2").arg(iteration % 2 == 0 ? "Even" : "Odd_").arg(k);
}

// The first `rows` rows get a new title.
void EditTitles(int64_t iteration, int rows) {
    for (int k = 0; k < rows; ++k) {
        page->form->Rows().TitleEdit(k)->setText(TitleFor(iteration, k));
    }
}

// What a save of the first `rows` rows cannot avoid: loading and saving each
// file with its changed value, and rebuilding the page.
void LoadsSavesAndPageBuild(Tid3v2tag& tag, int64_t iteration, int rows) {
    for (int k = 0; k < rows; ++k) {
        const std::string path = page->form->FilePath(k);
        tag.LoadFromFile(path, 0);
        tag.SetText("TIT2", TitleFor(iteration, k).toStdString());
        benchmark::DoNotOptimize(tag.SaveToFile(path, 255, -1, 255));
    }
    page->form->Button2Click();
}

void SaveAllRows(benchmark::State& state, int rows) {
    int64_t iteration = 0;
    for (auto _ : state) {
        state.PauseTiming();
        EditTitles(iteration++, rows);
        state.ResumeTiming();
        page->form->SpeedButton2Click();
    }
}

void LoadsSaves(benchmark::State& state, int rows) {
    int64_t iteration = 0;
    Tid3v2tag tag;
    for (auto _ : state) {
        LoadsSavesAndPageBuild(tag, iteration++, rows);
    }
}

void BM_SaveAllRows(benchmark::State& state) {
    SaveAllRows(state, kFiles);
}
void BM_LoadsSavesAndPageBuild(benchmark::State& state) {
    LoadsSaves(state, kFiles);
}
void BM_SaveAllRowsOneChanged(benchmark::State& state) {
    SaveAllRows(state, 1);
}
void BM_OneLoadSaveAndPageBuild(benchmark::State& state) {
    LoadsSaves(state, 1);
}

BENCHMARK(BM_SaveAllRows)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadsSavesAndPageBuild)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaveAllRowsOneChanged)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OneLoadSaveAndPageBuild)->Unit(benchmark::kMillisecond);

double CpuSeconds() {
    timespec now{};
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// The machine may be shared: the two kinds of work alternate round by round,
// so a change of load hits both, and the medians of the process CPU time give
// the ratio.
void PrintInterleavedRatio(int rounds, int rows) {
    Tid3v2tag tag;
    std::vector<double> save;
    std::vector<double> floor;
    for (int round = 0; round < rounds; ++round) {
        EditTitles(round, rows);
        double start = CpuSeconds();
        page->form->SpeedButton2Click();
        save.push_back(CpuSeconds() - start);
        start = CpuSeconds();
        LoadsSavesAndPageBuild(tag, round + 1, rows);
        floor.push_back(CpuSeconds() - start);
    }
    std::printf(
        "Save All Rows with %d of %d rows changed %.2f ms, %d loads and saves + page build "
        "%.2f ms (CPU medians of %d interleaved rounds): %.2fx\n",
        rows, kFiles, Median(save) * 1e3, rows, Median(floor) * 1e3, rounds,
        Median(save) / Median(floor));
}

}  // namespace

int main(int argc, char** argv) {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    Page shared;
    page = &shared;
    benchmark::RunSpecifiedBenchmarks();
    PrintInterleavedRatio(200, kFiles);
    PrintInterleavedRatio(200, 1);
    benchmark::Shutdown();
    return 0;
}
