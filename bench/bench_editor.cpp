// Window benchmarks: listing a folder of 10,000 MP3 files against a bare
// readdir loop, and building a page of 40 rows in ID3v2 mode from the files
// against the same page from a fixed tag source (the cost of the widgets alone),
// with Latin-1 tags and with Unicode tags (UTF-16 text of other scripts).
#include <benchmark/benchmark.h>
#include <dirent.h>
#include <stdlib.h>

#include <QString>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "bench/bench_application.h"
#include "bench/bench_dialogs.h"
#include "bench/bench_folder.h"
#include "bench/bench_ratios.h"
#include "editor/dialogs/dialogs.h"
#include "editor/startup/application.h"
#include "editor/window/form1.h"
#include "id3v2/id3v2.h"
#include "platform/media_device.h"

namespace {

// A text as frame data: ISO-8859-1 when it can be, else UTF-16 with byte order mark.
std::vector<uint8_t> TextData(const std::string& text) {
    const QString unicode = QString::fromStdString(text);
    if (unicode.toLatin1() == QByteArray::fromStdString(text)) {
        std::vector<uint8_t> data = {0};
        data.insert(data.end(), text.begin(), text.end());
        return data;
    }
    std::vector<uint8_t> data = {1, 0xFF, 0xFE};
    for (const QChar c : unicode) {
        data.insert(data.end(),
                    {static_cast<uint8_t>(c.unicode()), static_cast<uint8_t>(c.unicode() >> 8)});
    }
    return data;
}

// A version-3 frame: header and data.
std::vector<uint8_t> Frame(const std::string& id, const std::vector<uint8_t>& data) {
    const uint32_t size = static_cast<uint32_t>(data.size());
    std::vector<uint8_t> frame(id.begin(), id.end());
    for (int shift : {24, 16, 8, 0}) {
        frame.push_back(static_cast<uint8_t>(size >> shift));
    }
    frame.insert(frame.end(), {0, 0});
    frame.insert(frame.end(), data.begin(), data.end());
    return frame;
}

// A comment frame with an empty description in the text's encoding.
std::vector<uint8_t> CommentFrame(const std::string& text) {
    const std::vector<uint8_t> textData = TextData(text);
    const bool utf16 = textData[0] == 1;
    // Sized up front, which also keeps g++ 12 from a false array-bounds warning.
    std::vector<uint8_t> data(utf16 ? 8 : 5, 0);
    data[0] = textData[0];
    data[1] = 'E';
    data[2] = 'N';
    data[3] = 'G';
    if (utf16) {
        data[4] = 0xFF;  // the empty description's byte order mark; then its terminator
        data[5] = 0xFE;
    }
    data.insert(data.end(), textData.begin() + 1, textData.end());
    return Frame("COMM", data);
}

// The values of file `index`, in UTF-8.
Tv2TAGInfo Values(const std::string& index, bool unicode) {
    Tv2TAGInfo info;
    info.Title = (unicode ? "Заголовок " : "Title ") + index;
    info.Artist = (unicode ? "アーティスト " : "Artist ") + index;
    info.Album = unicode ? "Альбом" : "Album";
    info.Year = "2001";
    info.Comment = unicode ? "Σχόλιο" : "A comment";
    info.Track = index;
    info.Genre = "Jazz";
    info.NoTag = false;
    return info;
}

// An ID3v2.3 tag with the seven values a row shows, 1 KB of padding, and
// 100 frames of silent audio.
void WriteTaggedMp3(const std::string& path, int index, bool unicode) {
    std::vector<uint8_t> body;
    const Tv2TAGInfo values = Values(std::to_string(index), unicode);
    for (const auto& frame :
         {Frame("TIT2", TextData(values.Title)), Frame("TPE1", TextData(values.Artist)),
          Frame("TALB", TextData(values.Album)), Frame("TYER", TextData(values.Year)),
          Frame("TRCK", TextData(values.Track)), Frame("TCON", TextData(values.Genre)),
          CommentFrame(values.Comment)}) {
        body.insert(body.end(), frame.begin(), frame.end());
    }
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

bench_ratios::RunTimes runTimes;

struct Window {
    Tid3v2tag tag;
    // Questions are answered No (none should come).
    AnsweringDialogs dialogs{TDialogs::Answer::No};
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
    runTimes.Measure(state, throughWindow ? "window" : "readdir", 1, [&] {
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
    });
    state.counters["files"] = kFiles;
}

void BM_ListFolderInWindow(benchmark::State& state) {
    ListTenThousand(state, true);
}
void BM_ListFolderBareReaddir(benchmark::State& state) {
    ListTenThousand(state, false);
}

void BuildPage(benchmark::State& state, bool fromFiles, bool unicode) {
    BenchFolder folder;
    for (int i = 0; i < 40; ++i) {
        WriteTaggedMp3(folder.Path() + "/song" + std::to_string(i) + ".mp3", i, unicode);
    }
    Window window;
    window.form.SelectFolder(QString::fromStdString(folder.Path()));
    window.form.SpeedButton7Click();
    if (!fromFiles) {
        // The same values the files hold, without touching them.
        window.form.SetV2RowSource([unicode](const std::string& path) {
            const size_t first = path.rfind("song") + 4;
            return Values(path.substr(first, path.size() - first - 4), unicode);
        });
    }
    for (auto _ : state) {
        window.form.Button2Click();
    }
    state.counters["rows"] = window.form.RowsInScope();
}

void BM_BuildPageV2FromFiles(benchmark::State& state) {
    BuildPage(state, true, false);
}
void BM_BuildPageV2FixedSource(benchmark::State& state) {
    BuildPage(state, false, false);
}
void BM_BuildPageV2UnicodeFromFiles(benchmark::State& state) {
    BuildPage(state, true, true);
}
void BM_BuildPageV2UnicodeFixedSource(benchmark::State& state) {
    BuildPage(state, false, true);
}

}  // namespace

BENCHMARK(BM_ListFolderInWindow)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ListFolderBareReaddir)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BuildPageV2FromFiles)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BuildPageV2FixedSource)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BuildPageV2UnicodeFromFiles)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BuildPageV2UnicodeFixedSource)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    const int result = RunBenchmarksInApplication(argc, argv);
    std::printf("\nRatios of this run (goal: listing in the window at most 3x readdir):\n");
    runTimes.PrintRatio("listing 10,000 files, window / readdir", "window", "readdir");
    return result;
}
