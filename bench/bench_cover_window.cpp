// Covers in the window: a page of 40 files that each hold a 500 KB cover
// against the same page without covers, and a cover swap (500 KB -> 300 KB ->
// 500 KB) in a 32 MB file through the window's save, which keeps the freed
// room as padding, against the library's default save, which moves the audio.
#include <benchmark/benchmark.h>

#include <QString>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "bench/bench_application.h"
#include "bench/bench_dialogs.h"
#include "bench/bench_folder.h"
#include "editor/model/row_codec.h"
#include "editor/window/form1.h"
#include "id3v2/id3v2.h"
#include "platform/media_device.h"

namespace {

// JPEG markers, then bytes that no decoder is asked to read: the page only lists them.
std::vector<uint8_t> Cover(size_t size, uint8_t seed) {
    std::vector<uint8_t> bytes(size);
    uint32_t state = seed;
    for (uint8_t& byte : bytes) {
        state = state * 1103515245u + 12345u;
        byte = static_cast<uint8_t>(state >> 16);
    }
    const uint8_t start[] = {0xFF, 0xD8, 0xFF, 0xE0};
    std::copy(std::begin(start), std::end(start), bytes.begin());
    return bytes;
}

// An MP3 of `audioBytes` silent frames with a tag of title, artist, album and,
// when coverBytes is not 0, a front cover of that size.
void WriteMp3(const std::string& path, size_t audioBytes, size_t coverBytes, int i) {
    std::vector<uint8_t> audio;
    audio.reserve(audioBytes + 417);
    while (audio.size() < audioBytes) {
        const uint8_t header[4] = {0xFF, 0xFB, 0x90, 0xC4};
        audio.insert(audio.end(), header, header + 4);
        audio.resize(audio.size() + 413, 0);
    }
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(audio.data()),
               static_cast<std::streamsize>(audio.size()));
    Tid3v2tag tag;
    tag.SetTextUtf8("TIT2", "Title " + std::to_string(i));
    tag.SetTextUtf8("TPE1", "Artist");
    tag.SetTextUtf8("TALB", "Album");
    if (coverBytes != 0) {
        TPicture cover;
        cover.Data = Cover(coverBytes, static_cast<uint8_t>(i));
        tag.AddPicture(cover);
    }
    tag.SaveToFile(path, 3, 0, 0);
}

struct Window {
    Tid3v2tag tag;
    AnsweringDialogs dialogs{TDialogs::Answer::No};
    std::unique_ptr<platform::MediaDevice> media = platform::CreateMpg123Device("dummy");
    TForm1 form{tag, dialogs, *media};
};

void BuildPage(benchmark::State& state, size_t coverBytes) {
    BenchFolder folder;
    for (int i = 0; i < 40; ++i) {
        WriteMp3(folder.Path() + "/song" + std::to_string(i) + ".mp3", 100 * 417, coverBytes, i);
    }
    Window window;
    window.form.SelectFolder(QString::fromStdString(folder.Path()));
    window.form.SpeedButton7Click();
    for (auto _ : state) {
        window.form.Button2Click();
    }
    state.counters["rows"] = window.form.RowsInScope();
}

void BM_PageWithCovers(benchmark::State& state) {
    BuildPage(state, 500 * 1024);
}
void BM_PageWithoutCovers(benchmark::State& state) {
    BuildPage(state, 0);
}

constexpr size_t kAudio = 32 * 1024 * 1024;

// One cover swap and back through the row codec, as Save Row writes it.
void BM_CoverSwapWindowSave(benchmark::State& state) {
    BenchFolder folder;
    const std::string path = folder.Path() + "/big.mp3";
    WriteMp3(path, kAudio, 500 * 1024, 1);
    const auto small = std::make_shared<const std::vector<uint8_t>>(Cover(300 * 1024, 2));
    const auto large = std::make_shared<const std::vector<uint8_t>>(Cover(500 * 1024, 3));
    Tid3v2tag tag;
    rows::TRowModel model;
    model.SetKind(2);
    const auto swap = [&](const std::shared_ptr<const std::vector<uint8_t>>& bytes) {
        const row_codec::TLoadedRow row = row_codec::FromV2(row_codec::ReadV2(tag, path));
        model.LoadRow(0, row.values, row.unshown, row.untagged);
        model.LoadPictures(0, row.pictures);
        model.AddPicture(0, bytes, id3v2::kPictureFrontCover);
        if (row_codec::WriteV2(tag, path, model, 0) != 0) {
            state.SkipWithError("save failed");
        }
    };
    for (auto _ : state) {
        swap(small);
        swap(large);
    }
}

// The same swap saved with the library's padding defaults.
void BM_CoverSwapLibraryDefault(benchmark::State& state) {
    BenchFolder folder;
    const std::string path = folder.Path() + "/big.mp3";
    WriteMp3(path, kAudio, 500 * 1024, 1);
    Tid3v2tag tag;
    const auto swap = [&](size_t size, uint8_t seed) {
        tag.LoadFromFile(path, 0);
        TPicture cover;
        cover.Data = Cover(size, seed);
        tag.ReplacePicture(1, cover);
        if (!id3v2::Succeeded(tag.SaveToFile(path, 255, -1, 255))) {
            state.SkipWithError("save failed");
        }
    };
    for (auto _ : state) {
        swap(300 * 1024, 2);
        swap(500 * 1024, 3);
    }
}

}  // namespace

BENCHMARK(BM_PageWithCovers)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PageWithoutCovers)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CoverSwapWindowSave)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CoverSwapLibraryDefault)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    return RunBenchmarksInApplication(argc, argv);
}
