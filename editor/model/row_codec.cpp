// Reading a row from either tag kind and writing a row's changed values back:
// which frame holds which value in each version, the comment's language, the
// record's fields, and failures of both kinds as result words.
#include "editor/model/row_codec.h"

#include <algorithm>
#include <filesystem>
#include <iterator>
#include <limits>

#include "editor/frames/added_columns.h"
#include "editor/frames/frame_encoding.h"
#include "editor/model/page_logic.h"
#include "editor/model/record_fit.h"
#include "editor/model/save_logic.h"
#include "editor/model/tag_edits.h"
#include "editor/model/tag_values.h"
#include "id3v1/genres.h"
#include "id3v1/id3v1.h"
#include "id3v2/frames/text_frames.h"
#include "id3v2/id3v2.h"
#include "id3v2/result_codes.h"
#include "platform/attributes.h"
#include "platform/file.h"

namespace row_codec {

namespace {

using bulk::Column;

// The frame's text is stored in ISO-8859-1 (encoding byte 0), read as is.
bool Latin1Frame(const TFrameIndex& frames, std::string_view id) {
    for (uint32_t i = 1; i <= frames.FrameCount(); ++i) {
        if (frames.Id(i) == id) {
            const std::vector<uint8_t>& data = frames.Data(i);
            return !frames.IsCompressed(i) && !frames.IsEncrypted(i) && !data.empty() &&
                   data[0] == 0;
        }
    }
    return false;
}

// A text read from a Latin-1 frame as UTF-8 holds the frame's bytes one
// character each; read again with the legacy code page. True when it reads
// otherwise than in ISO-8859-1.
bool ReadWithPage(std::string& text, const code_page::TCodePage& page) {
    const std::string bytes = QString::fromStdString(text).toLatin1().toStdString();
    if (!page.ReadsDifferently(bytes)) {
        return false;
    }
    text = page.Decode(bytes).toStdString();
    return true;
}

// Version 4 keeps the year in the timestamp TDRC; shown when there is no TYER.
void ReadTimestampYear(Tid3v2tag& tag, Tv2TAGInfo& info) {
    std::string timestamp;
    const uint8_t result = tag.GetTextUtf8("TDRC", timestamp);
    bool whole = true;
    info.Year = tag_values::YearOfTimestamp(timestamp, whole);
    if (!whole || !id3v2::TextReadInFull(result)) {
        info.Unshown |= kV2Year;
    }
}

// Whether row k's field is to be written: changed (edited, or chosen to be
// stored in Unicode), and not a stored value kept because it could not be
// shown in full. Untouched text read with a legacy code page keeps its bytes.
bool ToWrite(const rows::TRowModel& rows, int k, Column field) {
    return (rows.ChangedFields(k) & rows::FieldBit(field)) != 0 &&
           !rows.Marked(k, field, rows::kKeepsStored);
}

// The values of a frame read whole; empty ones at the end are padding zeros.
std::vector<std::string> SplitAtZeros(const std::string& text) {
    std::vector<std::string> values;
    size_t from = 0;
    for (size_t zero; (zero = text.find('\0', from)) != std::string::npos; from = zero + 1) {
        values.push_back(text.substr(from, zero - from));
    }
    values.push_back(text.substr(from));
    while (values.size() > 1 && values.back().empty()) {
        values.pop_back();
    }
    return values;
}

std::string Utf8(const rows::TRowModel& rows, int k, Column field) {
    return rows.Shown(k, field).toStdString();
}

// The tag's size without padding, near enough to judge the room a save frees:
// headers and data of the frames as they stand in memory.
uint64_t FramesSize(const Tid3v2tag& tag) {
    uint64_t size = tag.ExtendedHeaderSize;
    for (uint32_t i = 1; i <= tag.Frames.FrameCount(); ++i) {
        size += 10 + tag.Frames.DataSize(i);
    }
    return size;
}

}  // namespace

uint64_t FreedRoomBound(uint64_t fileSize) {
    return std::min<uint64_t>(fileSize / 100, 1024 * 1024);
}

Tv2TAGInfo ReadV2(Tid3v2tag& tag, const std::string& path, const code_page::TCodePage& page,
                  const std::vector<frames::TAddedColumn>& columns) {
    Tv2TAGInfo info;
    // The load tells a missing file by kCannotOpen; only then is existence asked,
    // since that code also covers a file that exists but cannot be opened.
    // The row lists its pictures without their bytes; a save loads the tag whole.
    const uint16_t loaded = tag.LoadForListing(path);
    info.Loaded = loaded;
    if (!id3v2::Succeeded(loaded)) {
        info.NotFound =
            id3v2::ErrorCode(loaded) == id3v2::kCannotOpen && !platform::FileExists(path);
        return info;
    }
    const struct {
        const char* id;
        std::string* text;
        unsigned field;
    } frames[] = {{"TIT2", &info.Title, kV2Title}, {"TPE1", &info.Artist, kV2Artist},
                  {"TALB", &info.Album, kV2Album}, {"TYER", &info.Year, kV2Year},
                  {"TCON", &info.Genre, kV2Genre}, {"TRCK", &info.Track, kV2Track}};
    for (const auto& frame : frames) {
        // Every value of a genre, artist or album: the row shows them all. A
        // title shows its first and keeps the frame as stored unless edited.
        const bool every = (frame.field & (kV2Genre | kV2Artist | kV2Album)) != 0;
        const uint8_t result = every ? tag.GetTextValuesUtf8(frame.id, *frame.text)
                                     : tag.GetTextUtf8(frame.id, *frame.text);
        if (!id3v2::TextReadInFull(result)) {
            info.Unshown |= frame.field;
        }
        if (!page.IsLatin1() && Latin1Frame(tag.Frames, frame.id) &&
            ReadWithPage(*frame.text, page)) {
            info.Legacy |= frame.field;
        }
        if (frame.field == kV2Year && result == id3v2::kTextNoFrame) {
            ReadTimestampYear(tag, info);
        }
        if (every && frame.field != kV2Genre) {
            *frame.text = frames::JoinValues(SplitAtZeros(*frame.text));
        }
    }
    // A year that is not a whole number, or a track that is not one with or
    // without a total ("3/12"), cannot live in a numeric field.
    if (!info.Year.empty() && !page_logic::WholeNumber(info.Year)) {
        info.Unshown |= kV2Year;
    }
    if (!tag_values::TrackValid(info.Track, std::numeric_limits<int>::max())) {
        info.Unshown |= kV2Track;
    }
    COMM comment;
    if (!id3v2::TextReadInFull(tag.GetCommentUtf8(comment, "", "None"))) {
        info.Unshown |= kV2Comment;
    }
    if (!page.IsLatin1() && comment.Encoding == 0 && ReadWithPage(comment.Text, page)) {
        info.Legacy |= kV2Comment;
    }
    info.Comment = comment.Text;
    info.Pictures = tag.ListPictures();
    info.Added = frames::ColumnTexts(tag, columns);
    info.NoTag = false;
    info.Version = tag.MajorVersion;
    return info;
}

TLoadedRow FromV2(const Tv2TAGInfo& info) {
    TLoadedRow row;
    // As stored: UTF-8 in every script; a number outside the field's range is
    // shown and marked, not clamped; a text that is no number is kept.
    row.values = {QString::fromStdString(info.Title),
                  QString::fromStdString(info.Artist),
                  QString::fromStdString(info.Album),
                  QString::fromStdString(info.Year),
                  QString::fromStdString(info.Comment),
                  QString::fromStdString(info.Track),
                  QString::fromStdString(ShownGenre(info.Genre))};
    row.unshown = info.Unshown;
    row.untagged = info.NoTag;
    row.notFound = info.NotFound;
    row.pictures = info.Pictures;
    row.legacy = info.Legacy;
    row.version = info.NoTag ? 0 : info.Version;
    for (const auto& [key, text] : info.Added) {
        row.added[key] = QString::fromStdString(text);
    }
    // A tag that stands in the file but did not load cannot be edited here.
    if (!info.NotFound && !id3v2::Succeeded(info.Loaded) && !id3v2::FoundNoTag(info.Loaded)) {
        row.problem = save_logic::FailureReason(info.Loaded);
    }
    return row;
}

int VersionToWrite(int stored, int target, const TV2Versions& versions) {
    // Version 2.2 is never written: such a tag is saved in the chosen version.
    const int wanted = target != 0                                              ? target
                       : stored == 2 || (versions.convertOthers && stored != 0) ? versions.newTags
                                                                                : 0;
    return wanted == stored ? 0 : wanted;
}

int VersionWritten(int stored, int target, const TV2Versions& versions) {
    if (stored == 0) {
        return versions.newTags;
    }
    const int converted = VersionToWrite(stored, target, versions);
    return converted != 0 ? converted : stored;
}

uint16_t LoadToWrite(Tid3v2tag& tag, const std::string& path, int targetVersion,
                     const TV2Versions& versions, const rows::FrameChanges& frameChanges) {
    tag.KeepModificationTime = versions.keepModificationTime ? 1 : 0;
    // The file's own tag first, so the file keeps its other frames and its
    // version; never frames of the file loaded before.
    const uint16_t loaded = tag.LoadFromFile(path, 0);
    if (!id3v2::Succeeded(loaded)) {
        // A tag whose header did not load still stands there: a fresh tag in
        // front of it would leave it as junk before the audio.
        if (!id3v2::FoundNoTag(loaded) || id3v2::BeginsWithTagMarker(path)) {
            return loaded;
        }
        tag.StartFreshTag();
        tag.MajorVersion = static_cast<uint8_t>(versions.newTags);
    }
    // Frame changes name frames of the tag as loaded, before any conversion
    // maps them; the conversion then brings the new data to its version too.
    if (!tag_edits::ApplyFrameChanges(tag.Frames, frameChanges)) {
        return id3v2::ResultWord(id3v2::kWriteFailed);
    }
    if (id3v2::Succeeded(loaded)) {
        if (const int version = VersionToWrite(tag.MajorVersion, targetVersion, versions);
            version != 0) {
            // Frames with no equivalent in that version are kept as they are;
            // the convert command names them before.
            tag.ConvertToVersion(static_cast<uint8_t>(version));
        }
    }
    return 0;
}

bool SetChangedValues(Tid3v2tag& tag, const rows::TRowModel& rows, int k) {
    if (!tag_edits::WriteAddedColumns(tag, rows, k)) {
        return false;
    }
    // Only the values the user changed are set; every other frame stays as stored.
    const struct {
        Column field;
        const char* id;
        std::string text;
    } texts[] = {
        // UTF-8: a Latin-1 text is written as today, any other in Unicode.
        {Column::Title, "TIT2", Utf8(rows, k, Column::Title)},
        {Column::Artist, "TPE1", Utf8(rows, k, Column::Artist)},
        {Column::Album, "TALB", Utf8(rows, k, Column::Album)},
        {Column::Track, "TRCK", tag_values::TrackText(Utf8(rows, k, Column::Track))},
        {Column::Genre, "TCON", tag_values::GenreText(Utf8(rows, k, Column::Genre))},
    };
    for (const auto& text : texts) {
        if (!ToWrite(rows, k, text.field)) {
            continue;
        }
        // Several values of a field go into the frame as the version stores
        // them; a single value as it always was.
        if (text.field != Column::Track && text.field != Column::Genre &&
            frames::SplitValues(text.text).size() > 1) {
            tag_edits::SetTextValues(tag, text.id, {}, text.text);
        } else {
            tag.SetTextUtf8(text.id, text.text);
        }
    }
    if (ToWrite(rows, k, Column::Year)) {
        // The year frame of the tag's version; the other one goes, so the two never disagree.
        tag.SetTextUtf8(tag_values::YearFrame(tag.MajorVersion),
                        tag_values::YearText(Utf8(rows, k, Column::Year)));
        tag.SetTextUtf8(tag_values::OtherYearFrame(tag.MajorVersion), "");
    }
    if (ToWrite(rows, k, Column::Comment)) {
        // The comment replaced keeps its language.
        COMM stored;
        tag.GetCommentUtf8(stored, "", "None");
        COMM comment;
        comment.Language = tag_values::CommentLanguage(stored.Language);
        comment.Text = Utf8(rows, k, Column::Comment);
        tag.SetCommentUtf8(comment, "", "None");
    }
    return true;
}

uint16_t SaveKeepingRoom(Tid3v2tag& tag, const std::string& path) {
    // Room freed up to the bound stays as padding (the tag keeps its size, the
    // audio stays where it is); the tag's own padding setting is back afterwards.
    const uint32_t limit = tag.PaddingLimit;
    std::error_code error;
    const uint64_t fileSize = std::filesystem::file_size(path, error);
    const uint64_t frames = FramesSize(tag);
    if (!error && tag.TagSize > 0 && frames <= tag.TagSize &&
        tag.TagSize - frames <= FreedRoomBound(fileSize) && tag.PaddingBlock > 0) {
        tag.PaddingLimit = tag.PaddingBlock - 1;
    }
    const uint16_t saved = tag.SaveToFile(path, 255, -1, 255);
    tag.PaddingLimit = limit;
    return id3v2::Succeeded(saved) ? 0 : saved;
}

uint16_t WriteV2(Tid3v2tag& tag, const std::string& path, const rows::TRowModel& rows, int k,
                 const TV2Versions& versions) {
    if (const uint16_t loaded =
            LoadToWrite(tag, path, rows.TargetVersion(k), versions, rows.FrameChangesOf(k));
        loaded != 0) {
        return loaded;
    }
    if (!SetChangedValues(tag, rows, k) ||
        (rows.PicturesChanged(k) && tag_edits::WritePictures(tag, rows, k) != 0)) {
        // Refused before anything was written: the file stays as it was.
        return id3v2::ResultWord(id3v2::kWriteFailed);
    }
    // The last picture or frame of a tag that held nothing else: the tag goes.
    if ((rows.PicturesChanged(k) || !rows.FrameChangesOf(k).empty()) &&
        tag.Frames.FrameCount() == 0) {
        const uint16_t removed = tag.RemoveFromFile(path);
        return id3v2::Succeeded(removed) || id3v2::FoundNoTag(removed) ? 0 : removed;
    }
    return SaveKeepingRoom(tag, path);
}

}  // namespace row_codec
