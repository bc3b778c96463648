// Renaming a folder's files by pattern against bare rename(2) calls, and the
// cost of one preview of a page of 40 rows, computed on each key: the plan
// alone and the dialog's whole update, table included, in both directions.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <QComboBox>
#include <cstdio>
#include <string>
#include <vector>

#include "bench/bench_application.h"
#include "bench/bench_folder.h"
#include "editor/naming/naming_dialogs.h"
#include "editor/naming/naming_preview.h"
#include "editor/naming/pattern.h"
#include "editor/naming/rename_batch.h"
#include "platform/state_folder.h"

namespace {

struct Row {
    std::string name;
    naming::Values values;
};

// `count` empty files named "<n> old.mp3" with the tags a rename pattern reads.
std::vector<Row> MakeFolder(const BenchFolder& folder, int count) {
    std::vector<Row> rows;
    for (int i = 1; i <= count; ++i) {
        Row row;
        row.name = std::to_string(i) + " old.mp3";
        row.values = {{naming::Field::Track, QString::number(i)},
                      {naming::Field::Artist, QStringLiteral("Some Artist")},
                      {naming::Field::Title, QStringLiteral("Title: number %1?").arg(i)}};
        ::close(::open((folder.Path() + "/" + row.name).c_str(), O_CREAT | O_WRONLY, 0644));
        rows.push_back(row);
    }
    return rows;
}

// The plan a rename dialog shows: pattern, names, rules, the folder's listing.
naming::Plan Preview(const std::string& folder, const QString& patternText,
                     const std::vector<Row>& rows) {
    const naming::Compiled compiled = naming::Compile(patternText, naming::Direction::Format);
    std::vector<naming::RowInput> inputs;
    inputs.reserve(rows.size());
    for (const Row& row : rows) {
        inputs.push_back({row.name, {}, row.values});
    }
    return naming::FormatRows(*compiled.pattern, inputs, platform::ListFolder(folder, ""));
}

// Each iteration renames all files, alternating between two patterns.
void BM_RenameFolderByPattern(benchmark::State& state) {
    BenchFolder folder;
    std::vector<Row> rows = MakeFolder(folder, static_cast<int>(state.range(0)));
    const QString patterns[] = {QStringLiteral("%{track:4} - %{artist} - %{title}"),
                                QStringLiteral("%{artist} - %{track:4} - %{title}")};
    int turn = 0;
    for (auto _ : state) {
        const naming::Plan plan = Preview(folder.Path(), patterns[turn++ % 2], rows);
        const naming::BatchResult result = naming::RunPlan(folder.Path(), plan);
        if (!result.succeeded) {
            state.SkipWithError(result.message.toStdString().c_str());
            break;
        }
        for (size_t i = 0; i < rows.size(); ++i) {
            rows[i].name = plan[i].newName;
        }
    }
}

// The same number of rename(2) calls, alternating between two sets of names.
void BM_RenameFolderBareCalls(benchmark::State& state) {
    BenchFolder folder;
    const std::vector<Row> rows = MakeFolder(folder, static_cast<int>(state.range(0)));
    std::vector<std::string> names[2];
    for (const Row& row : rows) {
        names[0].push_back(folder.Path() + "/" + row.name);
        names[1].push_back(folder.Path() + "/renamed " + row.name);
    }
    int turn = 0;
    for (auto _ : state) {
        const std::vector<std::string>& from = names[turn % 2];
        const std::vector<std::string>& to = names[++turn % 2];
        for (size_t i = 0; i < from.size(); ++i) {
            benchmark::DoNotOptimize(std::rename(from[i].c_str(), to[i].c_str()));
        }
    }
}

void BM_PreviewOfOnePage(benchmark::State& state) {
    BenchFolder folder;
    const std::vector<Row> rows = MakeFolder(folder, 40);
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            Preview(folder.Path(), QStringLiteral("%{track:2} - %{artist} - %{title}"), rows));
    }
}

// One key typed into a dialog's pattern box: the preview of 40 rows and its
// table, as the user sees it; two patterns alternate so each key changes it.
void DialogPreview(benchmark::State& state, naming::Direction direction,
                   const QString (&patterns)[2]) {
    BenchFolder folder;
    std::vector<naming::RowInput> inputs;
    for (const Row& row : MakeFolder(folder, 40)) {
        inputs.push_back(
            {row.name, {QStringLiteral("Artist"), QStringLiteral("Album")}, row.values});
    }
    const std::vector<std::string> entries = platform::ListFolder(folder.Path(), "");
    TNamingDialog dialog(nullptr, direction, {}, [&](const QString& pattern, bool underscores) {
        return direction == naming::Direction::Parse
                   ? naming::ParsePreview(pattern, inputs, underscores)
                   : naming::FormatPreview(pattern, inputs, entries);
    });
    auto* box = dialog.findChild<QComboBox*>(QStringLiteral("PatternBox"));
    int turn = 0;
    for (auto _ : state) {
        box->setEditText(patterns[turn++ % 2]);
    }
}

void BM_DialogPreviewNamesFromTags(benchmark::State& state) {
    const QString patterns[2] = {QStringLiteral("%{track:2} - %{artist} - %{title}"),
                                 QStringLiteral("%{track:2} - %{artist} - %{title}x")};
    DialogPreview(state, naming::Direction::Format, patterns);
}

void BM_DialogPreviewTagsFromNames(benchmark::State& state) {
    const QString patterns[2] = {QStringLiteral("%{track} %{title}"),
                                 QStringLiteral("%{track} %{title}.mp3")};
    DialogPreview(state, naming::Direction::Parse, patterns);
}

}  // namespace

BENCHMARK(BM_RenameFolderByPattern)->Arg(1000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RenameFolderBareCalls)->Arg(1000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PreviewOfOnePage)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DialogPreviewNamesFromTags)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DialogPreviewTagsFromNames)->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv) {
    return RunBenchmarksInApplication(argc, argv);
}
