// Window benchmarks: listing a folder of 10,000 MP3 files against a bare
// readdir loop, and building a page of 40 rows in ID3v2 mode from the files
// against the same page from a fixed tag source (the cost of the widgets alone).
#include <benchmark/benchmark.h>
#include <dirent.h>
#include <stdlib.h>

#include <QString>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "bench/bench_folder.h"
#include "editor/application.h"
#include "editor/dialogs.h"
#include "editor/form1.h"
#include "id3v2/id3v2.h"
#include "platform/media_device.h"

namespace {

std::vector<uint8_t> TextFrame(const std::string& id, const std::string& text) {
    const uint32_t size = static_cast<uint32_t>(text.size() + 1);
    std::vector<uint8_t> frame(id.begin(), id.end());
    for (int shift : {24, 16, 8, 0}) {
        frame.push_back(static_cast<uint8_t>(size >> shift));
    }
    frame.insert(frame.end(), {0, 0, 0});
    frame.insert(frame.end(), text.begin(), text.end());
    return frame;
}

// An ID3v2.3 tag with the seven values a row shows, 1 KB of padding, and
// 100 frames of silent audio.
void WriteTaggedMp3(const std::string& path, int index) {
    std::vector<uint8_t> body;
    const std::string n = std::to_string(index);
    for (const auto& frame : {TextFrame("TIT2", "Title " + n), TextFrame("TPE1", "Artist " + n),
                              TextFrame("TALB", "Album"), TextFrame("TYER", "2001"),
                              TextFrame("TRCK", n), TextFrame("TCON", "Jazz")}) {
        body.insert(body.end(), frame.begin(), frame.end());
    }
    const std::string comment = std::string("\0ENG\0", 5) + "A comment";
    std::vector<uint8_t> comm = {'C', 'O', 'M', 'M', 0, 0, 0, static_cast<uint8_t>(comment.size()),
                                 0,   0};
    comm.insert(comm.end(), comment.begin(), comment.end());
    body.insert(body.end(), comm.begin(), comm.end());
    body.resize(body.size() + 1024, 0);
    const uint32_t size = static_cast<uint32_t>(body.size());
    std::vector<uint8_t> file = {'I',
                                 'D',
                                 '3',
                                 3,
                                 0,
                                 0,
                                 static_cast<uint8_t>((size >> 21) & 0x7F),
                                 static_cast<uint8_t>((size >> 14) & 0x7F),
                                 static_cast<uint8_t>((size >> 7) & 0x7F),
                                 static_cast<uint8_t>(size & 0x7F)};
    file.insert(file.end(), body.begin(), body.end());
    for (int i = 0; i < 100; ++i) {
        const uint8_t header[4] = {0xFF, 0xFB, 0x90, 0xC4};
        file.insert(file.end(), header, header + 4);
        file.resize(file.size() + 413, 0);
    }
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(file.data()),
               static_cast<std::streamsize>(file.size()));
}

// A main window with its seams; questions are answered No (none should come).
class QuietDialogs : public TDialogs {
  public:
    void Message(QWidget*, const QString&) override {}
    Answer ConfirmYesNo(QWidget*, const QString&) override { return Answer::No; }
    Answer ConfirmYesNoCancel(QWidget*, const QString&) override { return Answer::No; }
    void Error(QWidget*, const QString&) override {}
    int ShowModal(QDialog*) override { return 0; }
};

struct Window {
    Tid3v2tag tag;
    QuietDialogs dialogs;
    std::unique_ptr<platform::MediaDevice> media = platform::CreateMpg123Device("dummy");
    TForm1 form{tag, dialogs, *media};
};

void ListTenThousand(benchmark::State& state, bool throughWindow) {
    BenchFolder folder;
    constexpr int kFiles = 10000;
    for (int i = 0; i < kFiles; ++i) {
        std::ofstream(folder.Path() + "/song" + std::to_string(i) + ".mp3");
    }
    Window window;
    window.form.SelectFolder(QString::fromStdString(folder.Path()));
    for (auto _ : state) {
        if (throughWindow) {
            window.form.ShellTreeView1Change();
        } else {
            std::vector<std::string> names;
            DIR* dir = ::opendir(folder.Path().c_str());
            while (const dirent* entry = ::readdir(dir)) {
                names.emplace_back(entry->d_name);
            }
            ::closedir(dir);
            benchmark::DoNotOptimize(names.data());
        }
    }
    state.counters["files"] = kFiles;
}

void BM_ListFolderInWindow(benchmark::State& state) {
    ListTenThousand(state, true);
}
void BM_ListFolderBareReaddir(benchmark::State& state) {
    ListTenThousand(state, false);
}

void BuildPage(benchmark::State& state, bool fromFiles) {
    BenchFolder folder;
    for (int i = 0; i < 40; ++i) {
        WriteTaggedMp3(folder.Path() + "/song" + std::to_string(i) + ".mp3", i);
    }
    Window window;
    window.form.SelectFolder(QString::fromStdString(folder.Path()));
    window.form.SpeedButton7Click();
    if (!fromFiles) {
        // The same values the files hold, without touching them.
        window.form.SetV2RowSource([](const std::string& path) {
            Tv2TAGInfo info;
            const size_t first = path.rfind("song") + 4;
            const std::string n = path.substr(first, path.size() - first - 4);
            info.Title = "Title " + n;
            info.Artist = "Artist " + n;
            info.Album = "Album";
            info.Year = "2001";
            info.Comment = "A comment";
            info.Track = n;
            info.Genre = "Jazz";
            info.NoTag = false;
            return info;
        });
    }
    for (auto _ : state) {
        window.form.Button2Click();
    }
    state.counters["rows"] = window.form.RowsInScope();
}

void BM_BuildPageV2FromFiles(benchmark::State& state) {
    BuildPage(state, true);
}
void BM_BuildPageV2FixedSource(benchmark::State& state) {
    BuildPage(state, false);
}

}  // namespace

BENCHMARK(BM_ListFolderInWindow)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ListFolderBareReaddir)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BuildPageV2FromFiles)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BuildPageV2FixedSource)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    TApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
