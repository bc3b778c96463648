// A row's edits set into a tag loaded to be saved: its pictures, its frame
// changes, and its added columns' values, each frame in the form the tag's
// version stores.
#include "editor/model/tag_edits.h"

#include <optional>
#include <utility>

#include "editor/frames/added_columns.h"
#include "editor/frames/frame_encoding.h"
#include "editor/frames/frame_view.h"
#include "id3v2/frames/text_frames.h"
#include "id3v2/id3v2.h"
#include "id3v2/result_codes.h"

namespace tag_edits {

namespace {

// The first frame `id` of the tag; for a user text frame the first with the
// description. 0 when there is none.
uint32_t FindFrame(const Tid3v2tag& tag, const std::string& id, const std::string& description) {
    for (uint32_t i = 1; i <= tag.Frames.FrameCount(); ++i) {
        if (tag.Frames.Id(i) == id &&
            (id != "TXXX" ||
             frames::ViewFrame(tag.Frames, i, tag.MajorVersion).description == description)) {
            return i;
        }
    }
    return 0;
}

}  // namespace

// Brings the tag's pictures to those row k shows: new bytes replace a stored
// picture in its place, pictures no longer shown go, added ones come last.
// A stored picture the row shows unchanged is not touched. 0 when done.
uint8_t WritePictures(Tid3v2tag& tag, const rows::TRowModel& rows, int k) {
    const rows::Pictures& shown = rows.ShownPictures(k);
    const auto picture = [](const rows::RowPicture& from) {
        TPicture to;
        to.PictureType = from.info.PictureType;
        to.Description = from.info.Description;
        to.Data = *from.bytes;
        return to;
    };
    for (const rows::RowPicture& p : shown) {
        if (p.stored != 0 && p.bytes) {
            if (const uint8_t result = tag.ReplacePicture(p.stored, picture(p)); result != 0) {
                return result;
            }
        }
    }
    // From the last, so that the numbers of those still to go stay valid.
    const rows::Pictures& loaded = rows.LoadedPictures(k);
    for (auto p = loaded.rbegin(); p != loaded.rend(); ++p) {
        const uint32_t number = p->stored;
        if (std::none_of(shown.begin(), shown.end(),
                         [number](const rows::RowPicture& s) { return s.stored == number; })) {
            if (const uint8_t result = tag.RemovePicture(number); result != 0) {
                return result;
            }
        }
    }
    for (const rows::RowPicture& p : shown) {
        if (p.stored == 0) {
            if (const uint8_t result = tag.AddPicture(picture(p)); result != 0) {
                return result;
            }
        }
    }
    return 0;
}

// Applies row k's frame changes to the tag as loaded: new data in place,
// removed frames, added frames at the end. Refused, with nothing written,
// when a changed frame no longer stands where the row read it (the file
// changed since) or is encrypted. True when applied.
bool ApplyFrameChanges(TFrameIndex& frames, const rows::FrameChanges& changes) {
    std::vector<uint32_t> removed;
    for (const rows::TFrameChange& change : changes) {
        if (change.stored == 0) {
            continue;
        }
        if (change.stored > frames.FrameCount() || frames.Id(change.stored) != change.id ||
            id3v2::text_frames::IsEncrypted(frames, change.stored)) {
            return false;
        }
        if (change.data) {
            id3v2::text_frames::ReplaceData(frames, change.stored, *change.data);
        } else {
            removed.push_back(change.stored);
        }
    }
    // From the last, so the places of those still to go stay valid.
    std::sort(removed.rbegin(), removed.rend());
    for (const uint32_t stored : removed) {
        frames.DeleteFrame(stored);
    }
    for (const rows::TFrameChange& change : changes) {
        if (change.stored == 0 && change.data) {
            const uint32_t i = frames.AddFrame(change.id);
            if (i == 0) {
                return false;
            }
            id3v2::text_frames::ReplaceData(frames, i, *change.data);
        }
    }
    return true;
}

// Sets the text frame `id` (a TXXX by its description) to the values of a
// field's text, separated by frames::kValueSeparator; empty text removes it.
// False when the text cannot be a value of the frame.
bool SetTextValues(Tid3v2tag& tag, const std::string& id, const std::string& description,
                   const std::string& text) {
    const uint32_t found = FindFrame(tag, id, description);
    if (text.empty()) {
        if (found != 0) {
            tag.Frames.DeleteFrame(found);
        }
        return true;
    }
    frames::TFrameView view;
    view.id = id;
    view.kind = frames::FrameType(id).kind;
    view.values = frames::SplitValues(text);
    view.description = description;
    frames::TEncodedFrame encoded = frames::EncodeFrame(view, tag.MajorVersion);
    if (!encoded.problem.empty()) {
        return false;
    }
    const uint32_t i = found != 0 ? found : tag.Frames.AddFrame(id);
    if (i == 0 || id3v2::text_frames::IsEncrypted(tag.Frames, i)) {
        return false;
    }
    id3v2::text_frames::ReplaceData(tag.Frames, i, std::move(encoded.data));
    return true;
}

// Sets the values of row k's changed added columns into the tag's frames of
// its version. False, before anything of them is written, when a value
// cannot be stored.
bool WriteAddedColumns(Tid3v2tag& tag, const rows::TRowModel& rows, int k) {
    std::vector<std::pair<frames::TAddedColumn, std::string>> toWrite;
    for (const std::string& key : rows.ChangedAddedColumns(k)) {
        const std::optional<frames::TAddedColumn> column = frames::ColumnOfKey(key);
        const std::string text = rows.AddedShown(k, key).toStdString();
        if (!column || !frames::ValuesProblem(column->FrameId(tag.MajorVersion), text).empty()) {
            return false;
        }
        toWrite.emplace_back(*column, text);
    }
    for (const auto& [column, text] : toWrite) {
        if (!SetTextValues(tag, column.FrameId(tag.MajorVersion), column.description, text)) {
            return false;
        }
    }
    return true;
}

}  // namespace tag_edits
