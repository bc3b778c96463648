// set: field values written into each file whose values they change; the
// row's seven values and the added columns through the row codec as the
// window writes them, other text frames beside them in the same save.
#include <QString>

#include "cli/commands.h"
#include "cli/file_list.h"
#include "cli/tag_io.h"
#include "id3v2/id3v2.h"

namespace cli {

namespace {

using Kind = TFieldTarget::Kind;

// The value the tag holds now for a text frame that no column stands for;
// nothing when none.
std::optional<std::string> StoredValue(Tid3v2tag& tag, const std::string& id) {
    std::string joined;
    const uint8_t result = tag.GetTextValuesUtf8(id, joined);
    if (result == id3v2::kTextNoFrame) {
        return std::nullopt;
    }
    // A value not read in full never equals a new one: it is written.
    return id3v2::TextReadInFull(result) ? joined : std::string(1, '\0');
}

// The text frames among the assignments whose value differs from the one stored.
std::vector<const TAssignment*> ChangedFrames(Tid3v2tag& tag, const TOptions& options) {
    std::vector<const TAssignment*> changed;
    for (const TAssignment& assignment : options.assignments) {
        if (assignment.target.kind == Kind::TextFrame &&
            StoredValue(tag, assignment.target.added.v3Id).value_or("") != assignment.value) {
            changed.push_back(&assignment);
        }
    }
    return changed;
}

// The added columns the assignments name, read with the row.
std::vector<frames::TAddedColumn> AddedColumns(const TOptions& options) {
    std::vector<frames::TAddedColumn> columns;
    for (const TAssignment& assignment : options.assignments) {
        if (assignment.target.kind == Kind::AddedColumn) {
            columns.push_back(assignment.target.added);
        }
    }
    return columns;
}

// Sets the row's values and added columns among the assignments; true when any changed.
bool SetRowValues(rows::TRowModel& rows, const TOptions& options) {
    for (const TAssignment& assignment : options.assignments) {
        const QString value = QString::fromStdString(assignment.value);
        if (assignment.target.kind == Kind::RowValue) {
            rows.SetField(kRow, assignment.target.column, value);
        } else if (assignment.target.kind == Kind::AddedColumn) {
            rows.SetAddedValue(kRow, assignment.target.added.key, value);
        }
    }
    return rows.ChangedFields(kRow) != 0;
}

// "" when the frame was set, else why not.
std::string SetFrame(Tid3v2tag& tag, const TAssignment& assignment) {
    const uint8_t result = tag.SetTextUtf8(assignment.target.added.v3Id, assignment.value);
    return result == id3v2::kTextDone || result == id3v2::kTextFrameDeleted
               ? ""
               : "the " + assignment.field + " frame cannot be set";
}

void SetV2(const std::string& path, const TOptions& options, TReport& report) {
    Tid3v2tag tag;
    rows::TRowModel rows;
    if (const std::string problem = LoadV2Row(tag, path, rows, AddedColumns(options));
        !problem.empty()) {
        report.Fail(path, problem);
        return;
    }
    const bool rowChanged = SetRowValues(rows, options);
    const std::vector<const TAssignment*> changedFrames = ChangedFrames(tag, options);
    if ((!rowChanged && changedFrames.empty()) || !Writable(path, report)) {
        return;
    }
    row_codec::TV2Versions versions = SaveVersions(options);
    // A tag that is written anyway is written in the version asked for.
    versions.convertOthers = options.version != 0;
    if (const uint16_t loaded = row_codec::LoadToWrite(tag, path, 0, versions); loaded != 0) {
        report.Fail(path, LoadFailure(loaded, path));
        return;
    }
    if (!row_codec::SetChangedValues(tag, rows, kRow)) {
        report.Fail(path, "a value cannot be stored; nothing was written");
        return;
    }
    for (const TAssignment* assignment : changedFrames) {
        if (const std::string problem = SetFrame(tag, *assignment); !problem.empty()) {
            report.Fail(path, problem + "; nothing was written");
            return;
        }
    }
    if (const uint16_t saved = row_codec::SaveKeepingRoom(tag, path); saved != 0) {
        report.Fail(path, SaveFailure(saved, path));
    }
}

void SetV1(const std::string& path, const TOptions& options, TReport& report) {
    rows::TRowModel rows;
    if (const std::string problem = LoadV1Row(path, rows); !problem.empty()) {
        report.Fail(path, problem);
        return;
    }
    if (!SetRowValues(rows, options) || !Writable(path, report)) {
        return;
    }
    if (const uint16_t saved = row_codec::WriteV1(path, rows, kRow, options.keepModificationTime);
        saved != 0) {
        report.Fail(path, SaveFailure(saved, path));
    }
}

}  // namespace

void SetFileValues(const std::string& path, const TOptions& options, TReport& report) {
    (options.v1 ? SetV1 : SetV2)(path, options, report);
}

int RunSet(const TOptions& options, std::ostream&, TReport& report) {
    ForEachReadableFile(options.files, report,
                        [&](const std::string& path) { SetFileValues(path, options, report); });
    return report.ExitCode();
}

}  // namespace cli
