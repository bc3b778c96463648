// The rows of the page as data, apart from the widgets that show them: for
// each row the values as loaded and as now shown, why a value is marked, and
// whether the row's file had a tag of the kind shown, and its pictures. The
// window changes it only through LoadRow, SetField, the picture edits,
// RevertRow and MarkSaved (ForgetLoaded for a copy to the other kind) and
// paints its widgets from what it answers.
#pragma once

#include <QString>
#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "editor/model/bulk_logic.h"
#include "editor/model/code_page.h"
#include "id3v2/pictures.h"

namespace rows {

constexpr int kRowCount = 40;
constexpr int kFieldCount = 7;
// A row's seven values in column order (bulk::Column).
using Values = std::array<QString, kFieldCount>;

// Why a value is marked; a field's marks are bits of these.
enum Mark : unsigned {
    kKeepsStored = 1,      // a stored ID3v2 value not shown in full: kept unless edited
    kNotStorable = 2,      // an ID3v1 record cannot hold the value
    kOutOfRange = 4,       // a year or track outside its range
    kNameNotDecoded = 8,   // made from a file or folder name that was not UTF-8
    kLegacyCodePage = 16,  // stored bytes read with a legacy code page, not Unicode yet
    kToUnicode = 32,       // legacy text the user chose to store in Unicode: a change
};

// The bit of a field in a set of changed fields (TV2Field's order).
constexpr unsigned FieldBit(bulk::Column field) {
    return 1u << static_cast<unsigned>(field);
}
// The bit beside the fields' in a set of changed fields: the row's ID3v2 tag
// is to be saved in another version than it has.
constexpr unsigned kVersionChanged = 1u << kFieldCount;
// The bit of a set of changed fields for changes of the tag's other frames.
constexpr unsigned kFramesChanged = 1u << (kFieldCount + 1);
// The bit of a set of changed fields for values of added columns.
constexpr unsigned kAddedColumnsChanged = 1u << (kFieldCount + 2);

// A change of one frame of a row's ID3v2 tag beyond what the fields and
// pictures hold: a frame of the tag as loaded given new data or removed, or
// a frame added at the end.
struct TFrameChange {
    uint32_t stored = 0;  // its place in the tag's frame table as loaded; 0 for a frame added
    std::string id;
    // The frame's new data (plain, for the tag's version); none for a stored
    // frame removed. Shared, so an undo step copies no data.
    std::shared_ptr<const std::vector<uint8_t>> data;
    bool operator==(const TFrameChange&) const = default;
};
// Changes of stored frames come in no particular order, at most one each;
// added frames in the order they are to stand.
using FrameChanges = std::vector<TFrameChange>;
// The values of added columns by column key (frames::TAddedColumn::key).
using AddedValues = std::map<std::string, QString>;

// A picture a row shows. One loaded from the file stays there until a save
// (no bytes here); one the user gave carries its bytes, shared, so copying a
// row's pictures copies no image data.
struct RowPicture {
    TPictureInfo info;
    uint32_t stored = 0;  // its number in the file's tag as loaded; 0 for one the user added
    std::shared_ptr<const std::vector<uint8_t>> bytes;  // new bytes; none while as stored
    // The same picture: from the same place of the file, with the same new bytes.
    bool operator==(const RowPicture& other) const {
        return stored == other.stored && bytes == other.bytes;
    }
};
// A row's pictures in the order the file will hold them after a save: the
// loaded ones in their places, then those added.
using Pictures = std::vector<RowPicture>;
// What the user's edits decide of a row: the values shown, the marks that
// follow from how a value was set rather than from the value itself, and the
// album before the folder box, the ID3v2 version the tag is to be converted
// to. An undo step keeps one before and one after.
struct TRowEdits {
    Values shown;
    std::array<unsigned, kFieldCount> editMarks{};  // kKeepsStored, kNameNotDecoded, kToUnicode
    std::optional<QString> albumBeforeFolder;
    int targetVersion = 0;
    // The pictures shown, and which load or save of the file they refer to:
    // they are given back only while the file holds the pictures they name.
    Pictures pictures;
    uint64_t picturesLoad = 0;
    // Frame changes, given back only while the file holds the tag they refer to.
    FrameChanges frames;
    uint64_t framesLoad = 0;
    AddedValues added;  // the values added columns show
    bool operator==(const TRowEdits&) const = default;
};

class TRowModel {
  public:
    // The tag kind the rows edit (1 ID3v1.1, 2 ID3v2): it decides which
    // values a row can store. Every row's marks follow at once.
    void SetKind(int kind);
    int Kind() const { return kind_; }

    // Row k filled from its file: values as loaded, the fields whose stored
    // value could not be shown in full (FieldBit), no tag of the kind shown,
    // and why the file could not be read (empty when it could).
    void LoadRow(int k, const Values& values, unsigned unshownFields, bool untagged,
                 const QString& problem = {});
    // A value typed or set by a command; a value made from a name that was not
    // UTF-8 is marked so. Returns true when the shown value changed.
    bool SetField(int k, bulk::Column field, const QString& text, bool nameNotDecoded = false);
    // Every value back to the one loaded or last saved.
    void RevertRow(int k);
    // The row's file now holds what the row shows, in a tag of the kind shown.
    void MarkSaved(int k);
    // Every value counts as changed until saved: a copy into the other kind.
    void ForgetLoaded(int k);
    // A copy into the other kind found nothing of the old kind to copy in
    // row k's file: the row shows what the file holds of the new kind. Until
    // the row is loaded again.
    void NoteNothingCopied(int k) { rows_[Index(k)].nothingCopied = true; }
    bool NothingCopied(int k) const { return rows_[Index(k)].nothingCopied; }

    const QString& Shown(int k, bulk::Column field) const { return Field(k, field).shown; }
    const QString& Loaded(int k, bulk::Column field) const { return Field(k, field).loaded; }
    unsigned Marks(int k, bulk::Column field) const { return Field(k, field).marks; }
    bool Marked(int k, bulk::Column field, Mark mark) const {
        return (Marks(k, field) & mark) != 0;
    }
    // Fields whose shown value differs from the loaded one or that are to be
    // stored in Unicode (FieldBit), and kVersionChanged while the row's tag
    // waits to be saved in another version.
    unsigned ChangedFields(int k) const;
    bool Unsaved(int k) const { return ChangedFields(k) != 0 || PicturesChanged(k); }
    // While the rows edit ID3v2: the fields (FieldBit) that show, unedited and
    // in full, text the file holds in a legacy code page. A save leaves them
    // as stored unless StoreInUnicode chose them.
    unsigned LegacyFields(int k) const;
    // These of the row's LegacyFields become changes: a save stores the text
    // they show in Unicode.
    void StoreInUnicode(int k, unsigned fields);
    bool Untagged(int k) const { return rows_[Index(k)].untagged; }
    const QString& Problem(int k) const { return rows_[Index(k)].problem; }
    // The rows among the first `count` that a save must write.
    std::vector<int> UnsavedRows(int count) const;

    // The album a row showed before the folder box set it, given back when
    // the box is unticked; none after a load or once given back.
    void KeepAlbumBeforeFolder(int k, const QString& album);
    const QString* AlbumBeforeFolder(int k) const;
    void ForgetAlbumBeforeFolder(int k) { rows_[Index(k)].albumBeforeFolder.reset(); }

    // Row k's pictures as its file holds them (after LoadRow, which clears them).
    void LoadPictures(int k, const std::vector<TPictureInfo>& infos);
    const Pictures& ShownPictures(int k) const { return rows_[Index(k)].shownPictures; }
    const Pictures& LoadedPictures(int k) const { return rows_[Index(k)].loadedPictures; }
    // Shows these pictures, a copy taken of ShownPictures before the file was
    // loaded again: one of the file only while the file still holds it in its
    // place, one the user gave as a new picture when the file lost its place.
    void SetPictures(int k, Pictures pictures);
    // A new picture of the type with its own description: it takes the place
    // of the row's first picture of that type, else it comes last. Returns its index.
    size_t AddPicture(int k, std::shared_ptr<const std::vector<uint8_t>> bytes, uint8_t type,
                      std::string description = {});
    void RemovePicture(int k, size_t index);
    void RemoveAllPictures(int k);
    // The row shows a readable picture of the type: a new one would replace it.
    bool HasPicture(int k, uint8_t type) const;
    bool HasFrontCover(int k) const { return HasPicture(k, id3v2::kPictureFrontCover); }
    bool PicturesChanged(int k) const;

    // --- the tag's frames beyond the fields and pictures (ID3v2 rows) ---
    // Stored frame `stored`, whose identifier is `id`, gets new data, or with
    // no data is removed; a change of it made before is replaced. Added
    // frames at the end of the tag. False, and nothing changes, for a picture
    // (the pictures are edited as pictures), an identifier that is not four
    // characters A-Z, 0-9, or while the rows edit ID3v1 records.
    bool ChangeFrame(int k, uint32_t stored, const std::string& id,
                     std::shared_ptr<const std::vector<uint8_t>> data);
    bool AddFrame(int k, const std::string& id, std::shared_ptr<const std::vector<uint8_t>> data);
    // Every frame change of the row at once, as a panel edits them: an added
    // frame changed again, a change taken back. Changes refused by
    // ChangeFrame and AddFrame are left out.
    void SetFrameChanges(int k, const FrameChanges& changes);
    const FrameChanges& FrameChangesOf(int k) const { return rows_[Index(k)].frameChanges; }

    // --- values of added columns (ID3v2 rows) ---
    // Row k's values of added columns as its file holds them (after LoadRow,
    // which clears them); a column the row does not hold shows empty.
    void LoadAddedValues(int k, const AddedValues& values);
    // Returns true when the shown value changed; a record holds no added
    // column, so while the rows edit ID3v1 nothing changes.
    bool SetAddedValue(int k, const std::string& key, const QString& text);
    QString AddedShown(int k, const std::string& key) const;
    QString AddedLoaded(int k, const std::string& key) const;
    // The keys of the added columns whose shown value differs from the loaded one.
    std::vector<std::string> ChangedAddedColumns(int k) const;

    // Row k's edits, and the row brought back to them: the values loaded stay,
    // so a row given back values other than its file's counts as unsaved.
    TRowEdits Edits(int k) const;
    void RestoreEdits(int k, const TRowEdits& edits);

    // --- preferences: code pages and ID3v2 versions ---
    // How a loaded row's file stores it, told after LoadRow: the fields read
    // with a legacy code page (FieldBit) and the ID3v2 version of its tag (0
    // for none or an ID3v1 row).
    void NoteStoredForm(int k, unsigned legacyFields, int version);
    int StoredVersion(int k) const { return rows_[Index(k)].version; }
    // The version of the file's ID3v2 tag, learnt apart from a load: a row
    // copied from a record is saved into that tag.
    void NoteStoredVersion(int k, int version) { rows_[Index(k)].version = version; }
    // The row's tag is to be saved in this ID3v2 version (3 or 4): the row is
    // unsaved until then; its own version clears the wish.
    void SetTargetVersion(int k, int version);
    // The version a save is to write; 0 for the tag's own.
    int TargetVersion(int k) const { return rows_[Index(k)].targetVersion; }
    // The code page ID3v1 records are written in: what a record can hold, and
    // whether a saved text is stored in a legacy code page.
    void SetRecordPage(const code_page::TCodePage& page);
    const code_page::TCodePage& RecordPage() const { return recordPage_; }

  private:
    struct FieldState {
        QString loaded;
        QString shown;
        unsigned marks = 0;
    };
    struct Row {
        std::array<FieldState, kFieldCount> fields;
        bool loadedKnown = true;
        bool untagged = false;
        bool nothingCopied = false;
        QString problem;
        std::optional<QString> albumBeforeFolder;
        Pictures loadedPictures;
        Pictures shownPictures;
        uint64_t picturesLoad = 0;  // which load or save gave loadedPictures
        FrameChanges frameChanges;
        uint64_t framesLoad = 0;  // which load or save gave the tag frameChanges refer to
        AddedValues addedLoaded;
        AddedValues addedShown;
        unsigned legacyFields = 0;
        int version = 0;
        int targetVersion = 0;
    };

    static size_t Index(int k);
    const FieldState& Field(int k, bulk::Column field) const;
    FieldState& Field(int k, bulk::Column field);
    // The marks that follow from the value and the kind.
    void CheckValue(int k, bulk::Column field);
    // The field shows, as loaded, text its file holds in a legacy code page.
    bool ShowsLegacyText(int k, bulk::Column field) const;

    int kind_ = 1;
    // Loads and saves counted for pictures and frame changes; never reused, so
    // an old number never matches.
    uint64_t pictureLoads_ = 0;
    std::array<Row, kRowCount> rows_;
    code_page::TCodePage recordPage_;
};

}  // namespace rows
