// A row's pictures as row state, and the row codec writing them: a cover swap
// keeps the tag's size and the picture left alone byte for byte.
#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "editor/model/row_codec.h"
#include "editor/model/row_model.h"
#include "id3v2/id3v2.h"
#include "tests/helpers/mp3_files.h"

using rows::TRowModel;
using testing_mp3::Bytes;
using testing_mp3::Png;
using testing_mp3::PngPicture;

namespace {

std::shared_ptr<const std::vector<uint8_t>> Shared(size_t size, uint8_t fill) {
    return std::make_shared<const std::vector<uint8_t>>(Png(size, fill));
}

// The shown pictures as "stored number, * for new bytes, type".
std::string Shown(const TRowModel& model) {
    std::string text;
    for (const rows::RowPicture& p : model.ShownPictures(0)) {
        text += std::to_string(p.stored) + (p.bytes ? "*" : "") + ":" +
                std::to_string(p.info.PictureType) + " ";
    }
    return text;
}

}  // namespace

TEST(RowPictures, EditsRevertsSavesAndCopiesOfTheShownList) {
    const struct {
        const char* name;
        std::function<void(TRowModel&)> act;
        bool unsaved;
        std::string shown;
    } cases[] = {
        {"a front cover replaces the first in its place",
         [](TRowModel& m) { m.AddPicture(0, Shared(40, 1), 3); }, true, "1*:3 2:4 "},
        {"a new type comes last", [](TRowModel& m) { m.AddPicture(0, Shared(40, 1), 8); }, true,
         "1:3 2:4 0*:8 "},
        {"undone",
         [](TRowModel& m) {
             const rows::TRowEdits before = m.Edits(0);
             m.AddPicture(0, Shared(40, 1), 4);
             m.RestoreEdits(0, before);
         },
         false, "1:3 2:4 "},
        {"not undone into a file saved since",
         [](TRowModel& m) {
             const rows::TRowEdits before = m.Edits(0);
             m.RemovePicture(0, 0);
             m.MarkSaved(0);
             m.RestoreEdits(0, before);
         },
         false, "1:4 "},
        {"kept over a load of a file whose tag was removed",
         [](TRowModel& m) {
             m.AddPicture(0, Shared(40, 1), 3);
             const rows::Pictures kept = m.ShownPictures(0);
             m.LoadPictures(0, {});
             m.SetPictures(0, kept);
         },
         true, "0*:3 "},
        {"saved: the file holds them in the shown order",
         [](TRowModel& m) {
             m.RemovePicture(0, 0);
             m.AddPicture(0, Shared(40, 1), 8);
             m.MarkSaved(0);
         },
         false, "1:4 2:8 "},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TRowModel model;
        TPictureInfo front;  // and a back cover, as loaded from a file
        front.Readable = true;
        TPictureInfo back = front;
        back.PictureType = 4;
        model.LoadPictures(0, {front, back});
        c.act(model);
        EXPECT_EQ(model.Unsaved(0), c.unsaved);
        EXPECT_EQ(model.ChangedFields(0), 0u);
        EXPECT_EQ(Shown(model), c.shown);
    }
}

TEST(RowPictures, ACoverSwapKeepsTheTagSizeAndThePictureLeftAlone) {
    testing_mp3::TempDir dir;
    const std::string path = dir.File("a.mp3");
    // 4 MB of audio: up to 40 KB freed stays as padding.
    testing_mp3::WriteMp3(
        path,
        testing_mp3::Tag(4, {PngPicture(4, 3, Png(30000, 3)), PngPicture(4, 4, Png(2000, 4))}),
        10000);
    const size_t size = testing_mp3::ReadFile(path).size();
    Tid3v2tag tag;
    TRowModel model;
    model.LoadPictures(0, row_codec::ReadV2(tag, path).Pictures);
    const Bytes back = tag.Frames.Data(2);
    model.AddPicture(0, Shared(10000, 9), 3);
    ASSERT_EQ(row_codec::WriteV2(tag, path, model, 0), 0);
    EXPECT_EQ(testing_mp3::ReadFile(path).size(), size);
    ASSERT_TRUE(id3v2::Succeeded(tag.LoadFromFile(path, 0)));
    EXPECT_EQ(tag.Frames.Data(2), back);
    EXPECT_EQ(row_codec::FreedRoomBound(100 * 1024 * 1024), 1024u * 1024);
}
