// remove, convert and copy: whole tags removed, converted to another ID3v2
// version, or their values copied into the other kind.
#include <QString>

#include "cli/commands.h"
#include "cli/file_list.h"
#include "cli/tag_io.h"
#include "id3v1/id3v1.h"
#include "id3v2/id3v2.h"

namespace cli {

namespace {

using bulk::Column;

void RemoveV2(const std::string& path, const TOptions& options, TReport& report) {
    if (!id3v2::BeginsWithTagMarker(path)) {
        return;
    }
    if (const std::string problem = WriteProblem(path); !problem.empty()) {
        report.Fail(path, problem);
        return;
    }
    Tid3v2tag tag;
    tag.KeepModificationTime = options.keepModificationTime ? 1 : 0;
    const uint16_t removed = tag.RemoveFromFile(path);
    if (!id3v2::Succeeded(removed) && !id3v2::FoundNoTag(removed)) {
        report.Fail(path, SaveFailure(removed, path));
    }
}

void RemoveV1(const std::string& path, const TOptions& options, TReport& report) {
    try {
        if (ReadV1Tag(path).NoTag) {
            return;
        }
        if (const std::string problem = WriteProblem(path); !problem.empty()) {
            report.Fail(path, problem);
            return;
        }
        RemoveV1Tag(path, options.keepModificationTime);
    } catch (const platform::IoError& error) {
        report.Fail(path, error.what());
    }
}

void Convert(const std::string& path, const TOptions& options, TReport& report) {
    Tid3v2tag tag;
    tag.KeepModificationTime = options.keepModificationTime ? 1 : 0;
    const uint16_t loaded = tag.LoadFromFile(path, 0);
    if (id3v2::FoundNoTag(loaded) && !id3v2::BeginsWithTagMarker(path)) {
        return;
    }
    if (!id3v2::Succeeded(loaded)) {
        report.Fail(path, LoadFailure(loaded, path));
        return;
    }
    if (tag.MajorVersion == options.version) {
        return;
    }
    if (const std::string problem = WriteProblem(path); !problem.empty()) {
        report.Fail(path, problem);
        return;
    }
    const TVersionConversion conversion =
        tag.ConvertToVersion(static_cast<uint8_t>(options.version));
    if (const uint16_t saved = row_codec::SaveKeepingRoom(tag, path); saved != 0) {
        report.Fail(path, SaveFailure(saved, path));
        return;
    }
    if (!conversion.Unmapped.empty()) {
        std::string ids;
        for (const std::string& id : conversion.Unmapped) {
            ids += (ids.empty() ? "" : ", ") + id;
        }
        report.Note(path, "converted; kept as they were, with no equivalent: " + ids);
    }
}

// The record into which the tag's values go. What a record cannot hold is
// written as far as it fits, as the window writes it.
void CopyToV1(const std::string& path, const TOptions& options, TReport& report) {
    Tid3v2tag tag;
    rows::TRowModel source;
    rows::TRowModel target;
    std::string problem = LoadV2Row(tag, path, source);
    if (problem.empty()) {
        problem = LoadV1Row(path, target);
    }
    if (!problem.empty()) {
        report.Fail(path, problem);
        return;
    }
    if (source.Untagged(kRow)) {
        return;
    }
    for (int f = 0; f < rows::kFieldCount; ++f) {
        const auto column = static_cast<Column>(f);
        target.SetField(kRow, column, source.Shown(kRow, column));
    }
    if (target.ChangedFields(kRow) == 0) {
        return;
    }
    if (problem = WriteProblem(path); !problem.empty()) {
        report.Fail(path, problem);
        return;
    }
    if (const uint16_t saved = row_codec::WriteV1(path, target, kRow, options.keepModificationTime);
        saved != 0) {
        report.Fail(path, SaveFailure(saved, path));
    }
}

// The tag into which the record's values go: only values the record holds,
// and never the cut form of a longer value the tag holds ("A long title th"
// leaves "A long title that goes on" as it is), so no text is lost.
void CopyToV2(const std::string& path, const TOptions& options, TReport& report) {
    Tid3v2tag tag;
    rows::TRowModel source;
    rows::TRowModel target;
    std::string problem = LoadV1Row(path, source);
    if (problem.empty()) {
        problem = LoadV2Row(tag, path, target);
    }
    if (!problem.empty()) {
        report.Fail(path, problem);
        return;
    }
    if (source.Untagged(kRow)) {
        return;
    }
    for (int f = 0; f < rows::kFieldCount; ++f) {
        const auto column = static_cast<Column>(f);
        const QString& value = source.Shown(kRow, column);
        if (!value.isEmpty() && !target.Shown(kRow, column).startsWith(value)) {
            target.SetField(kRow, column, value);
        }
    }
    if (target.ChangedFields(kRow) == 0) {
        return;
    }
    if (problem = WriteProblem(path); !problem.empty()) {
        report.Fail(path, problem);
        return;
    }
    row_codec::TV2Versions versions;
    versions.newTags = options.version != 0 ? options.version : versions.newTags;
    versions.keepModificationTime = options.keepModificationTime;
    if (const uint16_t saved = row_codec::WriteV2(tag, path, target, kRow, versions); saved != 0) {
        report.Fail(path, SaveFailure(saved, path));
    }
}

}  // namespace

int RunRemove(const TOptions& options, std::ostream&, TReport& report) {
    ForEachReadableFile(options.files, report, [&](const std::string& path) {
        (options.v1 ? RemoveV1 : RemoveV2)(path, options, report);
    });
    return report.ExitCode();
}

int RunConvert(const TOptions& options, std::ostream&, TReport& report) {
    ForEachReadableFile(options.files, report,
                        [&](const std::string& path) { Convert(path, options, report); });
    return report.ExitCode();
}

int RunCopy(const TOptions& options, std::ostream&, TReport& report) {
    ForEachReadableFile(options.files, report, [&](const std::string& path) {
        (options.v1 ? CopyToV1 : CopyToV2)(path, options, report);
    });
    return report.ExitCode();
}

}  // namespace cli
