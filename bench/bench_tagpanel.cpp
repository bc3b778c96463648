// The tag panel: filling it for the focused row of a tag of 200 frames (and
// of 10,000, which must stay usable) of every kind the panel shows (texts of
// two values, user texts, comments, lyrics of 2000 characters, URLs, private
// frames, ratings), against building the same page of 40 rows in ID3v2 mode,
// in one run for the ratio.
#include <benchmark/benchmark.h>

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QString>
#include <QTreeWidget>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "bench/bench_application.h"
#include "bench/bench_dialogs.h"
#include "bench/bench_folder.h"
#include "editor/window/form1.h"
#include "editor/window/row_view.h"
#include "id3v2/frames/text_frames.h"
#include "id3v2/id3v2.h"
#include "platform/media_device.h"

namespace {

using namespace std::string_literals;

// An MP3 of silent frames whose version-4 tag holds `frames` frames in turn of each kind.
void WriteMp3(const std::string& path, int frames) {
    std::vector<char> audio;
    for (int i = 0; i < 100; ++i) {
        audio.insert(audio.end(), {'\xFF', '\xFB', '\x90', '\xC4'});
        audio.resize(audio.size() + 413, 0);
    }
    std::ofstream(path, std::ios::binary)
        .write(audio.data(), static_cast<std::streamsize>(audio.size()));
    const std::pair<std::string, std::string> kinds[] = {
        {"TPE1",
         "\x03"s
         "Alice Weather\0Bob Office"s},
        {"TXXX",
         "\x03"s
         "CATALOGNUMBER\0XY-123"s},
        {"COMM",
         "\x00"s
         "engnote\0A comment of some length, as taggers write."s},
        {"USLT",
         "\x00"s
         "eng\0"s +
             std::string(2000, 'l')},
        {"WOAR", "http://example.org/artist"},
        {"PRIV", "owner\0"s + std::string(200, '\x01')},
        {"POPM", "me@example.org\0\xC4\0\0\0\x05"s},
        {"TPOS",
         "\x00"s
         "1/2"},
    };
    Tid3v2tag tag;
    tag.StartFreshTag();
    tag.MajorVersion = 4;
    for (int i = 0; i < frames; ++i) {
        const auto& [id, data] = kinds[static_cast<size_t>(i) % std::size(kinds)];
        const uint32_t added = tag.Frames.AddFrame(id);
        id3v2::text_frames::ReplaceData(tag.Frames, added, {data.begin(), data.end()});
    }
    tag.SaveToFile(path, 4, 0, 0);
}

struct Window {
    Tid3v2tag tag;
    AnsweringDialogs dialogs{TDialogs::Answer::No};
    std::unique_ptr<platform::MediaDevice> media = platform::CreateMpg123Device("dummy");
    TForm1 form{tag, dialogs, *media};
};

// A page of 40 files, the first with `frames` frames, in ID3v2 mode, row 0 focused.
struct Page {
    BenchFolder folder;
    Window window;
    explicit Page(int frames) {
        for (int i = 0; i < 40; ++i) {
            WriteMp3(folder.Path() + "/song" + std::to_string(100 + i) + ".mp3",
                     i == 0 ? frames : 12);
        }
        window.form.show();
        window.form.SelectFolder(QString::fromStdString(folder.Path()));
        window.form.SpeedButton7Click();
        window.form.Rows().TitleEdit(0)->setFocus();
        QApplication::processEvents();
    }
    QAction* PanelCommand() {
        for (QAction* action : window.form.findChild<QMenu*>("CommandMenu")->actions()) {
            if (action->text() == QStringLiteral("Tag Panel")) {
                return action;
            }
        }
        return nullptr;
    }
};

// Opening the panel on a row of state.range(0) frames.
void BM_FillTagPanel(benchmark::State& state) {
    Page page(static_cast<int>(state.range(0)));
    QAction* panel = page.PanelCommand();
    panel->trigger();
    for (auto _ : state) {
        // Closed and opened again: the opening fills it for the focused row.
        panel->trigger();
        panel->trigger();
    }
    state.counters["frames"] =
        page.window.form.findChild<QTreeWidget*>("TagPanelFrames")->topLevelItemCount();
}

void BM_BuildPage40Rows(benchmark::State& state) {
    Page page(200);
    for (auto _ : state) {
        page.window.form.Button2Click();
    }
    state.counters["rows"] = page.window.form.RowsInScope();
}

}  // namespace

BENCHMARK(BM_FillTagPanel)->Arg(200)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BuildPage40Rows)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    return RunBenchmarksInApplication(argc, argv);
}
