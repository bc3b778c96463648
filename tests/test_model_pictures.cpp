// A row's pictures as row state (edits, revert, save, a copy taken and put
// back) and the row codec writing them: only the pictures changed, read back
// by mutagen, and a cover swap that keeps the tag's size.
#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "editor/model/row_codec.h"
#include "editor/model/row_model.h"
#include "id3v2/id3v2.h"
#include "tests/helpers/mp3_files.h"
#include "tests/helpers/mutagen_reader.h"

using rows::TRowModel;
using testing_mp3::Bytes;

namespace {

// A PNG signature and header chunk, then filler: bytes the library takes for a PNG.
Bytes Png(size_t size, uint8_t fill) {
    Bytes bytes = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n', 0, 0, 0, 13, 'I', 'H', 'D', 'R'};
    bytes.resize(size, fill);
    return bytes;
}

std::shared_ptr<const std::vector<uint8_t>> Shared(size_t size, uint8_t fill) {
    return std::make_shared<const std::vector<uint8_t>>(Png(size, fill));
}

// Front cover and back cover, as loaded from a file.
void LoadTwo(TRowModel& model) {
    model.LoadRow(0, {}, 0, false);
    TPictureInfo front;
    front.Readable = true;
    front.Description = "front";
    TPictureInfo back = front;
    back.PictureType = 4;
    back.Description = "back";
    model.LoadPictures(0, {front, back});
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
        {"as loaded", [](TRowModel&) {}, false, "1:3 2:4 "},
        {"a front cover replaces the first in its place",
         [](TRowModel& m) { m.AddPicture(0, Shared(40, 1), 3); }, true, "1*:3 2:4 "},
        {"a new type comes last", [](TRowModel& m) { m.AddPicture(0, Shared(40, 1), 8); }, true,
         "1:3 2:4 0*:8 "},
        {"one removed", [](TRowModel& m) { m.RemovePicture(0, 0); }, true, "2:4 "},
        {"all removed", [](TRowModel& m) { m.RemoveAllPictures(0); }, true, ""},
        {"reverted",
         [](TRowModel& m) {
             m.RemoveAllPictures(0);
             m.RevertRow(0);
         },
         false, "1:3 2:4 "},
        {"a copy put back",
         [](TRowModel& m) {
             const rows::Pictures copy = m.ShownPictures(0);
             m.AddPicture(0, Shared(40, 1), 4);
             m.SetPictures(0, copy);
         },
         false, "1:3 2:4 "},
        {"saved: the file holds them in the shown order",
         [](TRowModel& m) {
             m.RemovePicture(0, 0);
             m.AddPicture(0, Shared(40, 1), 8);
             m.MarkSaved(0);
         },
         false, "1:4 2:8 "},
        {"a new load holds none", [](TRowModel& m) { m.LoadRow(0, {}, 0, false); }, false, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TRowModel model;
        model.SetKind(2);
        LoadTwo(model);
        c.act(model);
        EXPECT_EQ(model.Unsaved(0), c.unsaved);
        EXPECT_EQ(model.ChangedFields(0), 0u);
        EXPECT_EQ(Shown(model), c.shown);
    }
}

TEST(RowPictures, SaveWritesTheChangesPeersReadAndKeepsTheRest) {
    if (const std::string missing = testing_mp3::MutagenMissing(); !missing.empty()) {
        GTEST_SKIP() << missing;
    }
    testing_mp3::TempDir dir;
    const std::string path = dir.File("a.mp3");
    // 4 MB of audio: the bound of freed room kept is 40 KB.
    testing_mp3::WriteMp3(path, {}, 10000);
    Tid3v2tag tag;
    TPicture picture;
    picture.Data = Png(30000, 7);
    picture.PictureType = 3;
    tag.AddPicture(picture);
    picture.Data = Png(2000, 8);
    picture.PictureType = 4;
    picture.Description = "Rückseite";
    tag.AddPicture(picture);
    ASSERT_EQ(tag.SaveToFile(path, 4, 0, 0), 0);
    const size_t size = testing_mp3::ReadFile(path).size();
    const Bytes backFrame = testing_mp3::ReadWithMutagen(path).frames.at(1).data;

    TRowModel model;
    model.SetKind(2);
    const row_codec::TLoadedRow loaded = row_codec::FromV2(row_codec::ReadV2(tag, path));
    model.LoadRow(0, loaded.values, loaded.unshown, loaded.untagged);
    model.LoadPictures(0, loaded.pictures);
    // The front cover swapped for a smaller one: 20 KB freed stays as padding.
    model.AddPicture(0, Shared(10000, 9), 3);
    ASSERT_EQ(row_codec::WriteV2(tag, path, model, 0), 0);
    EXPECT_EQ(testing_mp3::ReadFile(path).size(), size);
    EXPECT_EQ(row_codec::FreedRoomBound(100 * 1024 * 1024), 1024u * 1024);

    const testing_mp3::MutagenTag read = testing_mp3::ReadWithMutagen(path);
    std::vector<const testing_mp3::MutagenFrame*> pictures;
    for (const auto& frame : read.frames) {
        if (frame.id == "APIC") {
            pictures.push_back(&frame);
        }
    }
    ASSERT_EQ(pictures.size(), 2u);
    const struct {
        std::string type, mime, description;
        Bytes data;
    } expected[] = {{"3", "image/png", "", Png(10000, 9)},
                    {"4", "image/png", "Rückseite", Png(2000, 8)}};
    for (size_t i = 0; i < 2; ++i) {
        EXPECT_EQ(pictures[i]->Field("type"), expected[i].type);
        EXPECT_EQ(pictures[i]->Field("mime"), expected[i].mime);
        EXPECT_EQ(pictures[i]->Field("desc"), expected[i].description);
        const std::string data = pictures[i]->Field("data");
        EXPECT_EQ(Bytes(data.begin(), data.end()), expected[i].data);
    }
    // The picture left alone keeps its frame byte for byte.
    EXPECT_EQ(pictures[1]->data, backFrame);
}
