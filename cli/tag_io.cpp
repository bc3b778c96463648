// Rows loaded through the row codec, and failures in plain words.
#include "cli/tag_io.h"

#include "editor/model/save_logic.h"
#include "id3v2/id3v2.h"

namespace cli {

namespace {

void LoadRow(const row_codec::TLoadedRow& row, rows::TRowModel& rows) {
    rows.LoadRow(kRow, row.values, row.unshown, row.untagged, row.problem);
    rows.NoteStoredForm(kRow, row.legacy, row.version);
    rows.LoadPictures(kRow, row.pictures);
    rows.LoadAddedValues(kRow, row.added);
}

}  // namespace

std::string LoadV2Row(Tid3v2tag& tag, const std::string& path, rows::TRowModel& rows,
                      const std::vector<frames::TAddedColumn>& columns) {
    rows.SetKind(2);
    const row_codec::TLoadedRow row =
        row_codec::FromV2(row_codec::ReadV2(tag, path, code_page::TCodePage(), columns));
    LoadRow(row, rows);
    return row.problem.toStdString();
}

std::string LoadV1Row(const std::string& path, rows::TRowModel& rows) {
    rows.SetKind(1);
    const row_codec::TLoadedRow row = row_codec::ReadV1(path);
    LoadRow(row, rows);
    return row.problem.toStdString();
}

row_codec::TV2Versions SaveVersions(const TOptions& options) {
    row_codec::TV2Versions versions;
    versions.newTags = options.version != 0 ? options.version : versions.newTags;
    versions.keepModificationTime = options.keepModificationTime;
    return versions;
}

std::string LoadFailure(uint16_t result, const std::string& path) {
    return save_logic::FailureReason(result, id3v2::LastErrorNumber(), path).toStdString();
}

std::string SaveFailure(uint16_t result, const std::string& path) {
    const int error = id3v2::LastErrorNumber() != 0 ? id3v2::LastErrorNumber()
                                                    : save_logic::LikelyError(path, result);
    return save_logic::FailureReason(result, error, path).toStdString() +
           "; the file was left as it was";
}

}  // namespace cli
