// tagvora-cli's commands called as functions, against the library work they
// cannot avoid: `show --json` of 10,000 files, with and without the audio
// properties, against bare loads of the same files (the tag, and the tag and
// record), and `set` of one field on 1,000
// files of which 10 change against the saves of those 10 alone and against
// the loads of all 1,000 with those saves.
#include <benchmark/benchmark.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "bench/bench_folder.h"
#include "cli/commands.h"
#include "id3v1/id3v1.h"
#include "id3v2/id3v2.h"

namespace {

// A tagged MP3 file: title, artist, album, track, a comment and 20 KB of audio.
void WriteTaggedFile(const std::string& path, const std::string& title) {
    Tid3v2tag tag;
    tag.StartFreshTag();
    tag.SetTextUtf8("TIT2", title);
    tag.SetTextUtf8("TPE1", "Some Artist");
    tag.SetTextUtf8("TALB", "Some Album");
    tag.SetTextUtf8("TRCK", "7/12");
    COMM comment;
    comment.Language = "eng";
    comment.Text = "A comment";
    tag.SetCommentUtf8(comment, "", "eng");
    std::string frame(417, '\0');
    frame[0] = '\xFF', frame[1] = '\xFB', frame[2] = '\x90', frame[3] = '\xC4';
    std::ofstream out(path, std::ios::binary);
    for (int i = 0; i < 50; ++i) {
        out << frame;
    }
    out.close();
    tag.SaveToFile(path, 3, 0, 0);
}

std::vector<std::string> MakeFiles(const BenchFolder& folder, int count) {
    std::vector<std::string> files;
    for (int i = 0; i < count; ++i) {
        files.push_back(folder.Path() + "/" + std::to_string(i) + ".mp3");
        WriteTaggedFile(files.back(), "Title " + std::to_string(i));
    }
    return files;
}

// Arguments: the number of files, and 1 to read the audio properties.
void BM_ShowJson(benchmark::State& state) {
    BenchFolder folder;
    cli::TOptions options;
    options.command = cli::Command::Show;
    options.json = true;
    options.audio = state.range(1) != 0;
    options.files = MakeFiles(folder, static_cast<int>(state.range(0)));
    for (auto _ : state) {
        std::ostringstream out;
        std::ostringstream errors;
        cli::TReport report(errors);
        benchmark::DoNotOptimize(cli::RunShow(options, out, report));
    }
}

// What show cannot do without: each file's tag loaded.
void BM_BareLoads(benchmark::State& state) {
    BenchFolder folder;
    const std::vector<std::string> files = MakeFiles(folder, static_cast<int>(state.range(0)));
    for (auto _ : state) {
        for (const std::string& file : files) {
            Tid3v2tag tag;
            benchmark::DoNotOptimize(tag.LoadFromFile(file, 0));
        }
    }
}

// What show of both kinds cannot do without: the tag loaded and the record
// read, each of which opens the file.
void BM_BareLoadsBothKinds(benchmark::State& state) {
    BenchFolder folder;
    const std::vector<std::string> files = MakeFiles(folder, static_cast<int>(state.range(0)));
    for (auto _ : state) {
        for (const std::string& file : files) {
            Tid3v2tag tag;
            benchmark::DoNotOptimize(tag.LoadFromFile(file, 0));
            benchmark::DoNotOptimize(ReadV1Tag(file));
        }
    }
}

// Every 100th file holds another title, so setting "Title" changes 1 in 100.
std::vector<std::string> MakeSetFolder(const BenchFolder& folder, int count) {
    std::vector<std::string> files;
    for (int i = 0; i < count; ++i) {
        files.push_back(folder.Path() + "/" + std::to_string(i) + ".mp3");
        WriteTaggedFile(files.back(), i % 100 == 0 ? "Other" : "Title");
    }
    return files;
}

// The files that a set of "Title" changed get their other title back,
// outside the measurement.
void RestoreChangedFiles(benchmark::State& state, const std::vector<std::string>& files) {
    state.PauseTiming();
    for (size_t i = 0; i < files.size(); i += 100) {
        WriteTaggedFile(files[i], "Other");
    }
    state.ResumeTiming();
}

void BM_SetOneField(benchmark::State& state) {
    BenchFolder folder;
    cli::TOptions options;
    options.command = cli::Command::Set;
    options.files = MakeSetFolder(folder, static_cast<int>(state.range(0)));
    cli::TAssignment title;
    title.field = "title";
    title.target.column = bulk::Column::Title;
    title.value = "Title";
    options.assignments = {title};
    for (auto _ : state) {
        std::ostringstream out;
        std::ostringstream errors;
        cli::TReport report(errors);
        benchmark::DoNotOptimize(cli::RunSet(options, out, report));
        RestoreChangedFiles(state, options.files);
    }
}

// The saves of the files that change, alone: load, set, save.
void BM_ChangedSavesAlone(benchmark::State& state) {
    BenchFolder folder;
    const std::vector<std::string> files = MakeSetFolder(folder, static_cast<int>(state.range(0)));
    for (auto _ : state) {
        for (size_t i = 0; i < files.size(); i += 100) {
            Tid3v2tag tag;
            tag.LoadFromFile(files[i], 0);
            tag.SetTextUtf8("TIT2", "Title");
            benchmark::DoNotOptimize(tag.SaveToFile(files[i], 255, -1, 255));
        }
        RestoreChangedFiles(state, files);
    }
}

// What set cannot do without: every file's tag loaded to learn whether the
// value changes, and the saves of those it changes.
void BM_LoadsAndChangedSaves(benchmark::State& state) {
    BenchFolder folder;
    const std::vector<std::string> files = MakeSetFolder(folder, static_cast<int>(state.range(0)));
    for (auto _ : state) {
        for (size_t i = 0; i < files.size(); ++i) {
            Tid3v2tag tag;
            tag.LoadFromFile(files[i], 0);
            if (i % 100 == 0) {
                tag.SetTextUtf8("TIT2", "Title");
                benchmark::DoNotOptimize(tag.SaveToFile(files[i], 255, -1, 255));
            }
        }
        RestoreChangedFiles(state, files);
    }
}

BENCHMARK(BM_ShowJson)
    ->Args({10000, 0})
    ->Args({10000, 1})
    ->ArgNames({"files", "audio"})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BareLoads)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BareLoadsBothKinds)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SetOneField)->Arg(1000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ChangedSavesAlone)->Arg(1000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadsAndChangedSaves)->Arg(1000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
