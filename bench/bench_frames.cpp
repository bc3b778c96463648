// Frame views: decoding every frame of a version-4 tag of 200 frames of all
// kinds into views (what a panel of the tag's frames shows), against reading
// the rows of a page of 40 files through the row codec, with and without
// three added columns. The page build of the window is BM_BuildPageV2FromFiles
// of bench_editor, run beside this one for the ratio.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

#include "bench/bench_folder.h"
#include "editor/frames/added_columns.h"
#include "editor/frames/frame_view.h"
#include "editor/model/row_codec.h"
#include "id3v2/id3v2.h"

namespace {

using Bytes = std::vector<uint8_t>;

Bytes Frame(const std::string& id, const std::string& data) {
    const auto size = static_cast<uint32_t>(data.size());
    Bytes frame(id.begin(), id.end());
    for (const int shift : {21, 14, 7, 0}) {
        frame.push_back(static_cast<uint8_t>((size >> shift) & 0x7F));
    }
    frame.insert(frame.end(), {0, 0});
    frame.insert(frame.end(), data.begin(), data.end());
    return frame;
}

// 200 frames: texts in UTF-8 with two values, user texts, comments, lyrics,
// URLs, private frames and ratings, in turn.
void WriteTag(const std::string& path, int frames) {
    using namespace std::string_literals;
    const Bytes kinds[] = {
        Frame("TPE1",
              "\x03"s
              "Alice Weather\0Bob Office"s),
        Frame("TXXX",
              "\x03"s
              "MusicBrainz Album Id\0"
              "0f2a3e7c-1111-2222-3333-444455556666"s),
        Frame("COMM",
              "\x00"s
              "engnote\0A comment of some length, as taggers write."s),
        Frame("USLT",
              "\x00"s
              "eng\0"s +
                  std::string(2000, 'l')),
        Frame("WOAR", "http://example.org/artist"),
        Frame("PRIV", "owner\0"s + std::string(200, '\x01')),
        Frame("POPM", "me@example.org\0\xC4\0\0\0\x05"s),
        Frame("TPOS",
              "\x00"s
              "1/2"),
    };
    Bytes body;
    for (int i = 0; i < frames; ++i) {
        const Bytes& frame = kinds[i % std::size(kinds)];
        body.insert(body.end(), frame.begin(), frame.end());
    }
    body.resize(body.size() + 1024, 0);
    const auto size = static_cast<uint32_t>(body.size());
    Bytes file = {'I', 'D', '3', 4, 0, 0};
    for (const int shift : {21, 14, 7, 0}) {
        file.push_back(static_cast<uint8_t>((size >> shift) & 0x7F));
    }
    file.insert(file.end(), body.begin(), body.end());
    for (int i = 0; i < 100; ++i) {
        file.insert(file.end(), {0xFF, 0xFB, 0x90, 0xC4});
        file.resize(file.size() + 413, 0);
    }
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(file.data()),
               static_cast<std::streamsize>(file.size()));
}

void BM_ViewFrames200(benchmark::State& state) {
    BenchFolder folder;
    const std::string path = folder.Path() + "/a.mp3";
    WriteTag(path, 200);
    Tid3v2tag tag;
    tag.LoadForListing(path);
    for (auto _ : state) {
        benchmark::DoNotOptimize(frames::ViewFrames(tag));
    }
    state.counters["frames"] = tag.Frames.FrameCount();
}

// The rows of a page of 40 files read by the row codec, with state.range(0)
// added columns.
void BM_ReadRowsV2(benchmark::State& state) {
    BenchFolder folder;
    for (int i = 0; i < 40; ++i) {
        WriteTag(folder.Path() + "/song" + std::to_string(i) + ".mp3", 12);
    }
    const std::vector<frames::TAddedColumn>& standard = frames::StandardColumns();
    const std::vector<frames::TAddedColumn> columns(standard.begin(),
                                                    standard.begin() + state.range(0));
    Tid3v2tag tag;
    for (auto _ : state) {
        for (int i = 0; i < 40; ++i) {
            benchmark::DoNotOptimize(row_codec::FromV2(
                row_codec::ReadV2(tag, folder.Path() + "/song" + std::to_string(i) + ".mp3",
                                  code_page::TCodePage(), columns)));
        }
    }
}

}  // namespace

BENCHMARK(BM_ViewFrames200)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ReadRowsV2)->Arg(0)->Arg(3)->Unit(benchmark::kMicrosecond);
BENCHMARK_MAIN();
