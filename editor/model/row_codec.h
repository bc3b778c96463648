// Between a file's tag and a row: what a row shows of an ID3v2 tag or an
// ID3v1 record, and what a row's changed values set in them. Saves of both
// kinds end in a result word of the tag library, never in an exception, so a
// failure reaches the user the same way whichever kind the rows edit.
#pragma once

#include <QString>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "editor/frames/added_columns.h"
#include "editor/model/code_page.h"
#include "editor/model/row_model.h"
#include "id3v2/pictures.h"

class Tid3v2tag;
struct Tv1TAGInfo;

// A row's values as read from an ID3v2 tag; texts in UTF-8.
struct Tv2TAGInfo {
    std::string Title, Artist, Album, Year, Comment, Track, Genre;
    bool NotFound = false;
    bool NoTag = true;
    // Fields whose stored value could not be shown in full (bits of TV2Field).
    unsigned Unshown = 0;
    uint16_t Loaded = 0;                 // the result word of the tag's load
    std::vector<TPictureInfo> Pictures;  // listed, not copied
    // Fields read from Latin-1 frames with a legacy code page (bits of TV2Field).
    unsigned Legacy = 0;
    uint8_t Version = 0;                       // the tag's major version; 0 without a tag
    std::map<std::string, std::string> Added;  // values of added columns by key
};

// The seven values of a row, as bits for Tv2TAGInfo::Unshown and changed fields.
enum TV2Field : unsigned {
    kV2Title = 1,
    kV2Artist = 2,
    kV2Album = 4,
    kV2Year = 8,
    kV2Comment = 16,
    kV2Track = 32,
    kV2Genre = 64,
};

namespace row_codec {

// What a row shows of its file, with why it could not be read.
struct TLoadedRow {
    rows::Values values;
    unsigned unshown = 0;  // bits of TV2Field
    bool untagged = true;
    bool notFound = false;
    QString problem;      // empty when the file's tag of the kind read
    unsigned legacy = 0;  // fields read with a legacy code page (bits of TV2Field)
    int version = 0;      // the ID3v2 tag's major version; 0 for none or a record
    std::vector<TPictureInfo> pictures;
    rows::AddedValues added;  // for TRowModel::LoadAddedValues
};

// The most room a save keeps as padding when the tag shrinks: 1% of the file,
// at most 1 MB. A cover swap then rewrites only the tag instead of moving all
// of the audio, and no file carries more than a hundredth of itself unused.
uint64_t FreedRoomBound(uint64_t fileSize);

// How ID3v2 saves choose the version they write.
struct TV2Versions {
    int newTags = 3;             // a new tag, and a version 2.2 tag, is written in this one
    bool convertOthers = false;  // a tag of the other version is converted to newTags
    bool keepModificationTime = false;
};

// Loads the file's ID3v2 tag into `tag` for listing (Tid3v2tag::LoadForListing:
// large images stay in the file, so the tag cannot be saved before it is loaded
// whole) and reads the row's values from it; the text of Latin-1 frames is read
// with the code page. Artist and album show every value of their frame,
// joined with frames::kValueSeparator. The added columns' values are
// read too.
Tv2TAGInfo ReadV2(Tid3v2tag& tag, const std::string& path,
                  const code_page::TCodePage& page = code_page::TCodePage(),
                  const std::vector<frames::TAddedColumn>& columns = {});
// The row as the window shows ID3v2 values: numbers as stored, genre
// references by name.
TLoadedRow FromV2(const Tv2TAGInfo& info);
// The row of the file's ID3v1 record; a file that cannot be read gives an
// empty untagged row with the reason.
TLoadedRow ReadV1(const std::string& path,
                  const code_page::TCodePage& page = code_page::TCodePage());
// A text value of a record as a field shows it, its texts read with the code
// page; a file without a record holds none.
QString RecordText(const Tv1TAGInfo& record, bulk::Column column,
                   const code_page::TCodePage& page = code_page::TCodePage());
// The version a save of a tag of version `stored` writes (0: its own) for a
// row that wants `target` (0: no wish).
int VersionToWrite(int stored, int target, const TV2Versions& versions);
// The version a save of the row writes: VersionToWrite's choice, the tag's own
// version, or for a file without a tag (`stored` 0) the version of new tags.
int VersionWritten(int stored, int target, const TV2Versions& versions);

// Loads the file's own ID3v2 tag into `tag` whole, to be changed and saved:
// the frame changes (TRowModel::FrameChangesOf) are applied to the frames as
// loaded, then the tag is converted to the version a save of a row wanting
// `targetVersion` writes; a file without a tag gets a fresh one of the version
// of new tags. 0 when loaded, else the result word of the load that failed (a
// tag that stands in the file but does not load is never replaced), or of the
// refusal of frame changes that no longer fit the file's tag.
uint16_t LoadToWrite(Tid3v2tag& tag, const std::string& path, int targetVersion,
                     const TV2Versions& versions, const rows::FrameChanges& frameChanges = {});
// Sets the changed values and added columns of row k into the loaded tag,
// pictures aside; several values of a field or added column are stored
// separately in version 4 and joined with "/" in 3. False when an added
// column's value cannot be stored: nothing is to be saved then.
bool SetChangedValues(Tid3v2tag& tag, const rows::TRowModel& rows, int k);
// Saves the loaded tag into its file; a tag that shrinks by at most
// FreedRoomBound keeps its size. 0 when saved, else the save's result word.
uint16_t SaveKeepingRoom(Tid3v2tag& tag, const std::string& path);

// Sets the changed values, pictures, frames and added columns of row k into
// the file's own ID3v2 tag (loaded into `tag` first) and saves it; every
// frame the row did not change stays byte for byte, and so does every picture
// it did not change. A tag that shrinks by at most
// FreedRoomBound keeps its size. 0 when saved, else
// the result word of the load or save that failed.
// The version written follows the row's target version and `versions`;
// a field read with a legacy code page keeps its bytes unless it changed.
uint16_t WriteV2(Tid3v2tag& tag, const std::string& path, const rows::TRowModel& rows, int k,
                 const TV2Versions& versions = {});
// Writes the changed values of row k into the file's ID3v1 record, in the
// model's record page, the others kept as stored. A failure gives the result
// word an ID3v2 save gives for it.
uint16_t WriteV1(const std::string& path, const rows::TRowModel& rows, int k,
                 bool keepModificationTime = false);

}  // namespace row_codec
