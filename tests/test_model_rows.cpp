// The row model and the row codec as plain code, without a window or a
// QApplication: what a row holds through loads, edits, saves and reverts, and
// a row written into either tag kind and read back.
#include <gtest/gtest.h>

#include <functional>

#include "editor/model/row_codec.h"
#include "editor/model/row_model.h"
#include "id3v2/id3v2.h"
#include "id3v2/result_codes.h"
#include "tests/helpers/mp3_files.h"

using bulk::Column;
using rows::TRowModel;

namespace {

rows::Values Loaded() {
    return {"Title", "Artist", "Album", "2001", "Comment", "3", "Rock"};
}

struct ModelCase {
    const char* name;
    int kind;
    unsigned unshown;
    std::function<void(TRowModel&)> act;
    unsigned changed;
    Column field;
    unsigned marks;
};

}  // namespace

TEST(RowModel, FollowsEditsSavesRevertsAndMarksByKind) {
    const ModelCase cases[] = {
        {"a value typed back", 2, 0,
         [](TRowModel& m) {
             m.SetField(0, Column::Title, "x");
             m.SetField(0, Column::Title, "Title");
         },
         0, Column::Title, 0},
        {"an edit", 2, 0, [](TRowModel& m) { m.SetField(0, Column::Album, "B"); },
         rows::FieldBit(Column::Album), Column::Album, 0},
        {"kept as stored until edited", 2, kV2Comment, [](TRowModel&) {}, 0, Column::Comment,
         rows::kKeepsStored},
        {"edited stored value", 2, kV2Comment,
         [](TRowModel& m) { m.SetField(0, Column::Comment, "new"); },
         rows::FieldBit(Column::Comment), Column::Comment, 0},
        {"Cyrillic in a record", 1, 0, [](TRowModel& m) { m.SetField(0, Column::Title, "Кино"); },
         rows::FieldBit(Column::Title), Column::Title, rows::kNotStorable},
        {"Cyrillic in ID3v2", 1, 0,
         [](TRowModel& m) {
             m.SetField(0, Column::Title, "Кино");
             m.SetKind(2);
         },
         rows::FieldBit(Column::Title), Column::Title, 0},
        {"year out of range", 2, 0, [](TRowModel& m) { m.SetField(0, Column::Year, "-12345"); },
         rows::FieldBit(Column::Year), Column::Year, rows::kOutOfRange},
        {"track over a record's", 1, 0, [](TRowModel& m) { m.SetField(0, Column::Track, "300"); },
         rows::FieldBit(Column::Track), Column::Track, rows::kOutOfRange},
        {"a name not decoded", 2, 0,
         [](TRowModel& m) { m.SetField(0, Column::Title, "a\uFFFD", true); },
         rows::FieldBit(Column::Title), Column::Title, rows::kNameNotDecoded},
        {"saved", 2, 0,
         [](TRowModel& m) {
             m.SetField(0, Column::Title, "new");
             m.MarkSaved(0);
         },
         0, Column::Title, 0},
        {"reverted", 2, 0,
         [](TRowModel& m) {
             m.SetField(0, Column::Genre, "Pop");
             m.RevertRow(0);
         },
         0, Column::Genre, 0},
        {"copied to the other kind", 2, 0, [](TRowModel& m) { m.ForgetLoaded(0); }, 0x7F,
         Column::Title, 0},
    };
    for (const ModelCase& c : cases) {
        TRowModel model;
        model.SetKind(c.kind);
        model.LoadRow(0, Loaded(), c.unshown, true);
        c.act(model);
        EXPECT_EQ(model.ChangedFields(0), c.changed) << c.name;
        EXPECT_EQ(model.Unsaved(0), c.changed != 0) << c.name;
        EXPECT_EQ(model.Marks(0, c.field), c.marks) << c.name;
        EXPECT_EQ(model.UnsavedRows(40), c.changed != 0 ? std::vector<int>{0} : std::vector<int>{})
            << c.name;
    }
}

TEST(RowCodec, WritesAChangedRowIntoEitherKindAndReportsFailuresAsResultWords) {
    testing_mp3::TempDir dir;
    Tid3v2tag tag;
    for (const int kind : {1, 2}) {
        const std::string path = dir.File("song" + std::to_string(kind) + ".mp3");
        testing_mp3::WriteMp3(path);
        TRowModel model;
        model.SetKind(kind);
        model.LoadRow(0, {}, 0, true);
        const rows::Values values = Loaded();
        for (int f = 0; f < rows::kFieldCount; ++f) {
            model.SetField(0, static_cast<Column>(f), values[static_cast<size_t>(f)]);
        }
        const uint16_t written = kind == 1 ? row_codec::WriteV1(path, model, 0)
                                           : row_codec::WriteV2(tag, path, model, 0);
        ASSERT_EQ(written, 0) << kind;
        const row_codec::TLoadedRow row =
            kind == 1 ? row_codec::ReadV1(path) : row_codec::FromV2(row_codec::ReadV2(tag, path));
        EXPECT_EQ(row.values, values) << kind;
        EXPECT_FALSE(row.untagged) << kind;
        // A file gone before the write: a result word, never an exception.
        const uint16_t gone = kind == 1 ? row_codec::WriteV1(dir.File("gone.mp3"), model, 0)
                                        : row_codec::WriteV2(tag, dir.File("gone.mp3"), model, 0);
        EXPECT_EQ(id3v2::ErrorCode(gone), id3v2::kCannotOpen) << kind;
    }
}
