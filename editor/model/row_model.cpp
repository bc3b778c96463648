// The page's row data: loading, editing, saving and reverting rows, and the
// marks that follow from a value and the tag kind.
#include "editor/model/row_model.h"

#include <algorithm>
#include <stdexcept>
#include <string_view>

#include "editor/model/record_fit.h"
#include "editor/model/tag_values.h"

namespace rows {

namespace {

void SetMark(unsigned& marks, unsigned mark, bool on) {
    marks = on ? marks | mark : marks & ~mark;
}

}  // namespace

size_t TRowModel::Index(int k) {
    if (k < 0 || k >= kRowCount) {
        throw std::out_of_range("row outside the page");
    }
    return static_cast<size_t>(k);
}

const TRowModel::FieldState& TRowModel::Field(int k, bulk::Column field) const {
    return rows_[Index(k)].fields[static_cast<size_t>(field)];
}

TRowModel::FieldState& TRowModel::Field(int k, bulk::Column field) {
    return rows_[Index(k)].fields[static_cast<size_t>(field)];
}

void TRowModel::SetKind(int kind) {
    kind_ = kind;
    for (int k = 0; k < kRowCount; ++k) {
        for (int f = 0; f < kFieldCount; ++f) {
            CheckValue(k, static_cast<bulk::Column>(f));
        }
    }
}

void TRowModel::CheckValue(int k, bulk::Column field) {
    FieldState& state = Field(k, field);
    const bool kept = (state.marks & kKeepsStored) != 0;
    if (field == bulk::Column::Year || field == bulk::Column::Track) {
        // A stored value that could not be shown in full is kept, not written.
        const std::string text = state.shown.toStdString();
        const int maximum = kind_ == 1 ? tag_values::kMaxRecordTrack : tag_values::kMaxTrack;
        const bool valid = field == bulk::Column::Year ? tag_values::YearValid(text)
                                                       : tag_values::TrackValid(text, maximum);
        SetMark(state.marks, kOutOfRange, !valid && !kept);
        // A record holds the track of "n/total" only: saving asks before it drops the total.
        SetMark(state.marks, kNotStorable,
                valid && kind_ == 1 && !record_fit::Fits(field, state.shown));
        return;
    }
    // A record's own bytes, read with a legacy code page, stay as they are
    // unless edited, whatever page records are written in.
    SetMark(state.marks, kNotStorable,
            kind_ == 1 && (state.marks & kLegacyCodePage) == 0 &&
                !record_fit::Fits(field, state.shown, recordPage_));
}

void TRowModel::LoadRow(int k, const Values& values, unsigned unshownFields, bool untagged,
                        const QString& problem) {
    Row& row = rows_[Index(k)];
    row = Row{};
    row.framesLoad = ++pictureLoads_;
    row.untagged = untagged;
    row.problem = problem;
    for (int f = 0; f < kFieldCount; ++f) {
        const auto field = static_cast<bulk::Column>(f);
        FieldState& state = row.fields[static_cast<size_t>(f)];
        state.loaded = state.shown = values[static_cast<size_t>(f)];
        SetMark(state.marks, kKeepsStored, (unshownFields & FieldBit(field)) != 0);
        CheckValue(k, field);
    }
}

bool TRowModel::SetField(int k, bulk::Column field, const QString& text, bool nameNotDecoded) {
    FieldState& state = Field(k, field);
    const bool changed = state.shown != text;
    state.shown = text;
    if (changed || nameNotDecoded) {
        // The user's value replaces the stored one, whatever it held.
        SetMark(state.marks, kKeepsStored, false);
        SetMark(state.marks, kNameNotDecoded, nameNotDecoded);
        SetMark(state.marks, kLegacyCodePage, ShowsLegacyText(k, field));
    }
    CheckValue(k, field);
    return changed;
}

void TRowModel::RevertRow(int k) {
    Row& row = rows_[Index(k)];
    row.shownPictures = row.loadedPictures;
    for (int f = 0; f < kFieldCount; ++f) {
        FieldState& state = row.fields[static_cast<size_t>(f)];
        state.shown = state.loaded;
        SetMark(state.marks, kNameNotDecoded | kToUnicode, false);
        SetMark(state.marks, kLegacyCodePage,
                (row.legacyFields & FieldBit(static_cast<bulk::Column>(f))) != 0);
        CheckValue(k, static_cast<bulk::Column>(f));
    }
    row.targetVersion = 0;
    row.frameChanges.clear();
    row.addedShown = row.addedLoaded;
}

void TRowModel::MarkSaved(int k) {
    Row& row = rows_[Index(k)];
    const unsigned changed = ChangedFields(k);
    row.loadedKnown = true;
    row.untagged = false;
    row.version = row.targetVersion != 0 ? row.targetVersion : row.version;
    row.targetVersion = 0;
    row.legacyFields = 0;
    for (int f = 0; f < kFieldCount; ++f) {
        const auto field = static_cast<bulk::Column>(f);
        FieldState& state = row.fields[static_cast<size_t>(f)];
        state.loaded = state.shown;
        // Both kinds keep the bytes of the fields they did not write; an ID3v2
        // save stores the written ones in Unicode, a record in its page.
        const bool written = (changed & FieldBit(field)) != 0;
        bool legacy = !written && (state.marks & kLegacyCodePage) != 0;
        if (kind_ == 1 && written) {
            legacy = recordPage_.ReadsDifferently(state.shown.toStdString());
        }
        SetMark(state.marks, kLegacyCodePage, legacy);
        SetMark(state.marks, kToUnicode, false);
        row.legacyFields |= legacy ? FieldBit(field) : 0;
    }
    // The file now holds every shown picture, in the shown order.
    for (size_t i = 0; i < row.shownPictures.size(); ++i) {
        row.shownPictures[i].stored = static_cast<uint32_t>(i + 1);
        row.shownPictures[i].bytes.reset();
    }
    row.loadedPictures = row.shownPictures;
    row.picturesLoad = ++pictureLoads_;
    // The file holds the changed frames now, in places a new load tells.
    row.frameChanges.clear();
    row.framesLoad = ++pictureLoads_;
    row.addedLoaded = row.addedShown;
}

void TRowModel::ForgetLoaded(int k) {
    rows_[Index(k)].loadedKnown = false;
}

unsigned TRowModel::ChangedFields(int k) const {
    const Row& row = rows_[Index(k)];
    unsigned changed = 0;
    for (int f = 0; f < kFieldCount; ++f) {
        const FieldState& state = row.fields[static_cast<size_t>(f)];
        if (!row.loadedKnown || state.shown != state.loaded || (state.marks & kToUnicode) != 0) {
            changed |= FieldBit(static_cast<bulk::Column>(f));
        }
    }
    if (row.targetVersion != 0 && row.targetVersion != row.version) {
        changed |= kVersionChanged;
    }
    if (!row.frameChanges.empty()) {
        changed |= kFramesChanged;
    }
    if (!ChangedAddedColumns(k).empty()) {
        changed |= kAddedColumnsChanged;
    }
    return changed;
}

unsigned TRowModel::LegacyFields(int k) const {
    unsigned fields = 0;
    for (int f = 0; f < kFieldCount && kind_ == 2; ++f) {
        const unsigned marks = rows_[Index(k)].fields[static_cast<size_t>(f)].marks;
        if ((marks & (kLegacyCodePage | kKeepsStored | kToUnicode)) == kLegacyCodePage) {
            fields |= FieldBit(static_cast<bulk::Column>(f));
        }
    }
    return fields;
}

void TRowModel::StoreInUnicode(int k, unsigned fields) {
    const unsigned legacy = LegacyFields(k);
    for (int f = 0; f < kFieldCount; ++f) {
        if ((fields & legacy & FieldBit(static_cast<bulk::Column>(f))) != 0) {
            rows_[Index(k)].fields[static_cast<size_t>(f)].marks |= kToUnicode;
        }
    }
}

bool TRowModel::ShowsLegacyText(int k, bulk::Column field) const {
    const FieldState& state = Field(k, field);
    return (rows_[Index(k)].legacyFields & FieldBit(field)) != 0 && state.shown == state.loaded;
}

void TRowModel::NoteStoredForm(int k, unsigned legacyFields, int version) {
    Row& row = rows_[Index(k)];
    row.legacyFields = legacyFields;
    row.version = version;
    for (int f = 0; f < kFieldCount; ++f) {
        const auto field = static_cast<bulk::Column>(f);
        SetMark(row.fields[static_cast<size_t>(f)].marks, kLegacyCodePage,
                (legacyFields & FieldBit(field)) != 0);
        CheckValue(k, field);
    }
}

void TRowModel::SetTargetVersion(int k, int version) {
    Row& row = rows_[Index(k)];
    row.targetVersion = version == row.version ? 0 : version;
}

void TRowModel::SetRecordPage(const code_page::TCodePage& page) {
    if (page.Name() == recordPage_.Name()) {
        return;
    }
    recordPage_ = page;
    SetKind(kind_);
}

std::vector<int> TRowModel::UnsavedRows(int count) const {
    std::vector<int> unsaved;
    for (int k = 0; k < count && k < kRowCount; ++k) {
        if (Unsaved(k)) {
            unsaved.push_back(k);
        }
    }
    return unsaved;
}

void TRowModel::KeepAlbumBeforeFolder(int k, const QString& album) {
    rows_[Index(k)].albumBeforeFolder = album;
}

const QString* TRowModel::AlbumBeforeFolder(int k) const {
    const std::optional<QString>& album = rows_[Index(k)].albumBeforeFolder;
    return album ? &*album : nullptr;
}

TRowEdits TRowModel::Edits(int k) const {
    const Row& row = rows_[Index(k)];
    TRowEdits edits;
    for (size_t f = 0; f < kFieldCount; ++f) {
        edits.shown[f] = row.fields[f].shown;
        edits.editMarks[f] = row.fields[f].marks & (kKeepsStored | kNameNotDecoded | kToUnicode);
    }
    edits.albumBeforeFolder = row.albumBeforeFolder;
    edits.targetVersion = row.targetVersion;
    edits.pictures = row.shownPictures;
    edits.picturesLoad = row.picturesLoad;
    edits.frames = row.frameChanges;
    edits.framesLoad = row.framesLoad;
    edits.added = row.addedShown;
    return edits;
}

void TRowModel::RestoreEdits(int k, const TRowEdits& edits) {
    Row& row = rows_[Index(k)];
    for (size_t f = 0; f < kFieldCount; ++f) {
        FieldState& state = row.fields[f];
        state.shown = edits.shown[f];
        // A value kept as stored is kept only while the file still holds what
        // was loaded: after a save the file holds what was saved instead.
        SetMark(state.marks, kKeepsStored,
                (edits.editMarks[f] & kKeepsStored) != 0 && state.shown == state.loaded);
        SetMark(state.marks, kNameNotDecoded, (edits.editMarks[f] & kNameNotDecoded) != 0);
        // Legacy text is what the file holds only while it shows as loaded.
        const bool legacy = ShowsLegacyText(k, static_cast<bulk::Column>(f));
        SetMark(state.marks, kLegacyCodePage, legacy);
        SetMark(state.marks, kToUnicode, legacy && (edits.editMarks[f] & kToUnicode) != 0);
        CheckValue(k, static_cast<bulk::Column>(f));
    }
    row.albumBeforeFolder = edits.albumBeforeFolder;
    // After a save the tag has the version it was converted to: no wish is left.
    SetTargetVersion(k, edits.targetVersion);
    if (edits.picturesLoad == row.picturesLoad) {
        row.shownPictures = edits.pictures;
    }
    // Changes of another load's tag would name frames the file no longer holds there.
    row.frameChanges = edits.framesLoad == row.framesLoad ? edits.frames : FrameChanges{};
    row.addedShown = edits.added;
}

}  // namespace rows
