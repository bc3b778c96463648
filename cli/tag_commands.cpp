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
    if (!Writable(path, report)) {
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
        if (!Writable(path, report)) {
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
    if (!Writable(path, report)) {
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
            ids += ids.empty() ? "" : ", ";
            ids += id;
        }
        report.Note(path, "converted; kept as they were, with no equivalent: " + ids);
    }
}

// Whether a copy sets `value` over the target's `stored` one. Into a record
// every value goes (what a record cannot hold is written as far as it fits,
// as the window writes it). Into a tag only values the record holds, and never
// the cut form of a longer value the tag holds ("A long title th" leaves "A
// long title that goes on" as it is), so no text is lost.
bool Copies(bool intoRecord, const QString& value, const QString& stored) {
    return intoRecord || (!value.isEmpty() && !stored.startsWith(value));
}

// Copies the values of one kind into the other: --to v1 the tag's into the
// record, --to v2 the record's into the tag.
void Copy(const std::string& path, const TOptions& options, TReport& report) {
    const bool intoRecord = options.v1;
    Tid3v2tag tag;
    rows::TRowModel source;
    rows::TRowModel target;
    std::string problem = intoRecord ? LoadV2Row(tag, path, source) : LoadV1Row(path, source);
    if (problem.empty()) {
        problem = intoRecord ? LoadV1Row(path, target) : LoadV2Row(tag, path, target);
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
        if (Copies(intoRecord, source.Shown(kRow, column), target.Shown(kRow, column))) {
            target.SetField(kRow, column, source.Shown(kRow, column));
        }
    }
    if (target.ChangedFields(kRow) == 0 || !Writable(path, report)) {
        return;
    }
    const uint16_t saved =
        intoRecord ? row_codec::WriteV1(path, target, kRow, options.keepModificationTime)
                   : row_codec::WriteV2(tag, path, target, kRow, SaveVersions(options));
    if (saved != 0) {
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
    ForEachReadableFile(options.files, report,
                        [&](const std::string& path) { Copy(path, options, report); });
    return report.ExitCode();
}

}  // namespace cli
