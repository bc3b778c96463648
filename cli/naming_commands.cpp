// from-names and rename: the window's pattern language between file names and
// tags. Both print what they would do; only --apply changes files. A rename
// runs each folder's renames as one batch: all of them, or none.
#include <QString>
#include <QStringList>

#include <algorithm>
#include <filesystem>

#include "cli/commands.h"
#include "cli/file_list.h"
#include "cli/json.h"
#include "cli/tag_io.h"
#include "editor/naming/naming_preview.h"
#include "editor/naming/rename_batch.h"
#include "id3v2/id3v2.h"

namespace cli {

namespace {

using bulk::Column;
using naming::Field;

constexpr std::pair<Field, Column> kFieldColumns[] = {
    {Field::Title, Column::Title}, {Field::Artist, Column::Artist},   {Field::Album, Column::Album},
    {Field::Year, Column::Year},   {Field::Comment, Column::Comment}, {Field::Track, Column::Track},
    {Field::Genre, Column::Genre}};

naming::Pattern Compiled(const TOptions& options, naming::Direction direction) {
    // The arguments were checked: the pattern compiles.
    return *naming::Compile(QString::fromStdString(options.pattern), direction).pattern;
}

// The names of the folders above the file, outermost first.
QStringList FoldersOf(const std::string& path) {
    std::error_code error;
    const std::filesystem::path folder = std::filesystem::absolute(FolderOf(path), error);
    QStringList folders;
    for (const auto& part : folder.lexically_normal()) {
        if (!part.empty() && part != "/") {
            folders << QString::fromStdString(part.string());
        }
    }
    return folders;
}

// "%{title}": how a pattern names the field.
std::string FieldToken(Field field) {
    for (const naming::FieldHelp& help : naming::FieldList(naming::Direction::Parse)) {
        if (help.field == field) {
            return help.token.toStdString();
        }
    }
    return {};
}

// The assignments `set` makes of the values a name gave.
std::vector<TAssignment> Assignments(const naming::Values& values) {
    std::vector<TAssignment> assignments;
    for (const auto& [field, column] : kFieldColumns) {
        if (const auto value = values.find(field); value != values.end()) {
            TAssignment assignment;
            assignment.field = FieldToken(field);
            assignment.target.column = column;
            assignment.value = value->second.toStdString();
            assignments.push_back(std::move(assignment));
        }
    }
    return assignments;
}

std::string Describe(const naming::Values& values) {
    std::string text;
    for (const auto& [field, value] : values) {
        if (field != Field::Ignore) {
            text += text.empty() ? "" : " ";
            text += FieldToken(field) + "=" + PrintableText(value.toStdString());
        }
    }
    return text;
}

// A file's values as the rename pattern reads them: those of its ID3v2 tag,
// or of its ID3v1 record when it has no tag.
std::string ReadValues(const std::string& path, naming::Values& values) {
    Tid3v2tag tag;
    rows::TRowModel rows;
    std::string problem = LoadV2Row(tag, path, rows);
    if (problem.empty() && rows.Untagged(kRow)) {
        problem = LoadV1Row(path, rows);
    }
    for (const auto& [field, column] : kFieldColumns) {
        values[field] = rows.Shown(kRow, column);
    }
    return problem;
}

// The files of the list by folder, each folder in the order first met.
std::vector<std::pair<std::string, std::vector<std::string>>> ByFolder(
    const std::vector<std::string>& files) {
    std::vector<std::pair<std::string, std::vector<std::string>>> folders;
    for (const std::string& path : files) {
        const std::string folder = FolderOf(path);
        auto it = std::find_if(folders.begin(), folders.end(),
                               [&](const auto& entry) { return entry.first == folder; });
        if (it == folders.end()) {
            it = folders.insert(folders.end(), {folder, {}});
        }
        it->second.push_back(path);
    }
    return folders;
}

std::string InFolder(const std::string& folder, const std::string& name) {
    return folder == "." ? name : folder + "/" + name;
}

void ReportBatch(const std::string& folder, const naming::BatchResult& result, std::ostream& out,
                 TReport& report) {
    for (const naming::FileResult& file : result.files) {
        const std::string path = InFolder(folder, file.oldName);
        switch (file.outcome) {
            case naming::Outcome::Renamed:
                out << PrintableText(path) << " -> " << PrintableText(file.newName) << '\n';
                break;
            case naming::Outcome::Unchanged:
            case naming::Outcome::Refused:
                break;
            default:
                report.Fail(path, file.detail.isEmpty() ? result.message.toStdString()
                                                        : file.detail.toStdString());
                break;
        }
    }
}

void RenameFolder(const naming::Pattern& pattern, const std::string& folder,
                  const std::vector<std::string>& paths, const TOptions& options, std::ostream& out,
                  TReport& report) {
    std::vector<naming::RowInput> inputs;
    for (const std::string& path : paths) {
        naming::RowInput input;
        input.fileName = NameOf(path);
        std::string problem = ReadProblem(path);
        if (problem.empty()) {
            problem = ReadValues(path, input.values);
        }
        if (!problem.empty()) {
            report.Fail(path, problem);
            continue;
        }
        inputs.push_back(std::move(input));
    }
    const naming::Plan plan = naming::FormatRows(pattern, inputs, FolderEntries(folder));
    for (const naming::PlanRow& row : plan) {
        const std::string path = InFolder(folder, row.oldName);
        if (!row.reason.isEmpty()) {
            report.Fail(path, row.reason.toStdString());
        } else if (!options.apply && row.Renames()) {
            out << PrintableText(path) << " -> " << PrintableText(row.newName) << '\n';
        }
    }
    if (options.apply &&
        std::any_of(plan.begin(), plan.end(), [](const auto& row) { return row.Renames(); })) {
        ReportBatch(folder, naming::RunPlan(folder, plan), out, report);
    }
}

}  // namespace

int RunFromNames(const TOptions& options, std::ostream& out, TReport& report) {
    const naming::Pattern pattern = Compiled(options, naming::Direction::Parse);
    ForEachReadableFile(options.files, report, [&](const std::string& path) {
        naming::RowInput input;
        input.fileName = NameOf(path);
        input.folders = FoldersOf(path);
        const auto values = naming::ParseRows(pattern, {input}, false).front();
        if (!values) {
            report.Fail(path, "the name does not match the pattern");
            return;
        }
        TOptions set = options;
        set.assignments = Assignments(*values);
        for (const TAssignment& assignment : set.assignments) {
            if (const std::string problem = AssignmentProblem(assignment, false);
                !problem.empty()) {
                report.Fail(path, problem + "; nothing was written");
                return;
            }
        }
        out << PrintableText(path) << ": " << Describe(*values) << '\n';
        if (options.apply) {
            SetFileValues(path, set, report);
        }
    });
    return report.ExitCode();
}

int RunRename(const TOptions& options, std::ostream& out, TReport& report) {
    const naming::Pattern pattern = Compiled(options, naming::Direction::Format);
    for (const auto& [folder, paths] : ByFolder(options.files)) {
        if (InterruptAsked()) {
            report.Fail("tagvora-cli", "interrupted; the folders left were not renamed");
            break;
        }
        RenameFolder(pattern, folder, paths, options, out, report);
    }
    return report.ExitCode();
}

}  // namespace cli
