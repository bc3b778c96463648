// Tests of attached pictures: image kinds from their bytes, the APIC fields in
// every encoding, several pictures per tag with unique descriptions, and
// frames that cannot be read or were not touched kept byte for byte.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "id3v2/id3v2.h"
#include "id3v2/internal.h"
#include "tests/helpers/mp3_files.h"

namespace {

using namespace id3v2;
using namespace std::string_literals;
using testing_mp3::Bytes;
using testing_mp3::Concat;
using testing_mp3::ToBytes;

const Bytes kJpeg = {0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x10, 'J', 'F', 'I', 'F', 0xFF};
const Bytes kPng = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A, 0, 0, 0, 0x0D};

// APIC data: encoding, MIME type, type, description bytes with terminator, image.
Bytes Apic(uint8_t encoding, const std::string& mime, uint8_t type, const Bytes& description,
           const Bytes& image = kJpeg) {
    return Concat({{encoding}, ToBytes(mime), {0, type}, description, image});
}

TEST(ImageMimeType, TellsTheKindFromTheFirstBytesOnly) {
    const Bytes bmpHeader = {'B', 'M', 0x36, 0, 0, 0, 0, 0, 0, 0, 0x36, 0, 0, 0, 40, 0, 0, 0};
    const struct {
        Bytes bytes;
        std::string mime;
    } rows[] = {
        {kJpeg, "image/jpeg"},
        {kPng, "image/png"},
        {Concat({ToBytes("GIF87a"), {1, 0}}), "image/gif"},
        {ToBytes("GIF89a"), "image/gif"},
        {Concat({ToBytes("RIFF"), {4, 0, 0, 0}, ToBytes("WEBPVP8 ")}), "image/webp"},
        {bmpHeader, "image/bmp"},
        {Concat({ToBytes("BM"), Bytes(12, 0), {41, 0, 0, 0}}), ""},  // no bitmap header size
        {ToBytes("BM text that happens to begin so"), ""},
        {Concat({ToBytes("RIFF"), {4, 0, 0, 0}, ToBytes("WAVEfmt ")}), ""},
        {Bytes(kPng.begin(), kPng.begin() + 7), ""},  // cut off
        {{0xFF, 0xD8}, ""},
        {ToBytes("GIF88a"), ""},
        {{}, ""},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(ImageMimeType(row.bytes), row.mime) << ::testing::PrintToString(row.bytes);
    }
    EXPECT_EQ(PictureTypeName(0), "Other");
    EXPECT_EQ(PictureTypeName(1), "32x32 pixels file icon");
    EXPECT_EQ(PictureTypeName(3), "Front cover");
    EXPECT_EQ(PictureTypeName(17), "A bright coloured fish");
    EXPECT_EQ(PictureTypeName(20), "Publisher/Studio logotype");
    EXPECT_EQ(PictureTypeName(21), "");
}

TEST(Pictures, ListsTheFieldsInEveryEncodingAndKeepsWhatItCannotRead) {
    const struct {
        const char* name;
        Bytes data;
        bool readable;
        uint8_t encoding;
        std::string mime;
        uint8_t type;
        std::string description;
        size_t size;
    } rows[] = {
        {"latin1", Apic(0, "image/jpeg", 3, ToBytes("Caf\xE9\0"s)), true, 0, "image/jpeg", 3,
         "Café", kJpeg.size()},
        {"utf16 le bom", Apic(1, "image/png", 4, {0xFF, 0xFE, 0x1F, 0x04, 'a', 0, 0, 0}), true, 1,
         "image/png", 4, "Пa", kJpeg.size()},
        {"utf16 be bom", Apic(1, "image/png", 8, {0xFE, 0xFF, 0x04, 0x1F, 0, 0}), true, 1,
         "image/png", 8, "П", kJpeg.size()},
        {"utf16 be", Apic(2, "image/png", 10, {0x04, 0x1F, 0, 0}), true, 2, "image/png", 10, "П",
         kJpeg.size()},
        {"utf8", Apic(3, "image/png", 0, Concat({ToBytes("Обл"), {0}})), true, 3, "image/png", 0,
         "Обл", kJpeg.size()},
        {"unknown mime and type kept", Apic(0, "image/jpg", 200, {0}), true, 0, "image/jpg", 200,
         "", kJpeg.size()},
        {"no image", Apic(0, "", 3, {0}, {}), true, 0, "", 3, "", 0},
        {"utf16 terminator on unit boundary only", Apic(1, "-->", 3, {0xFF, 0xFE, 0, 'a', 0, 0}),
         true, 1, "-->", 3, "\xE6\x84\x80", kJpeg.size()},
        {"empty", {}, false, 0, "", 3, "", 0},
        // Unreadable: the size is that of the data.
        {"encoding 4", Apic(4, "image/jpeg", 3, {0}), false, 0, "", 3, "", 0},
        {"mime without terminator", Concat({{0}, ToBytes("image/jpeg")}), false, 0, "", 3, "", 0},
        {"no type byte", Concat({{0}, ToBytes("image/jpeg"), {0}}), false, 0, "", 3, "", 0},
        {"description without terminator", Concat({{0}, ToBytes("i"), {0, 3}, ToBytes("abc")}),
         false, 0, "", 3, "", 0},
        {"utf16 terminator cut to one byte",
         Concat({{1}, ToBytes("i"), {0, 3, 0xFF, 0xFE, 'a', 0, 0}}), false, 0, "", 3, "", 0},
    };
    for (const auto& row : rows) {
        Tid3v2tag tag;
        tag.Frames.Data(tag.Frames.AddFrame("APIC")) = row.data;
        const std::vector<TPictureInfo> list = tag.ListPictures();
        ASSERT_EQ(list.size(), 1u) << row.name;
        const TPictureInfo& info = list[0];
        EXPECT_EQ(info.Readable, row.readable) << row.name;
        EXPECT_EQ(info.Encoding, row.encoding) << row.name;
        EXPECT_EQ(info.MimeType, row.mime) << row.name;
        EXPECT_EQ(info.PictureType, row.type) << row.name;
        EXPECT_EQ(info.Description, row.description) << row.name;
        EXPECT_EQ(info.Size, row.readable ? row.size : row.data.size()) << row.name;
        TPicture picture;
        EXPECT_EQ(tag.GetPicture(1, picture), row.readable ? kPictureDone : kPictureUnreadable);
        EXPECT_EQ(picture.Data.size(), row.readable ? row.size : 0) << row.name;
        EXPECT_EQ(tag.Frames.Data(1), row.data) << row.name;  // reading changes nothing
    }
}

// What AddPicture wrote: the frame data, as a whole.
Bytes Written(uint8_t version, const std::string& description, const Bytes& image = kPng) {
    Tid3v2tag tag;
    tag.MajorVersion = version;
    TPicture picture;
    picture.PictureType = 4;
    picture.Description = description;
    picture.Data = image;
    EXPECT_EQ(tag.AddPicture(picture), kPictureDone);
    return tag.Frames.Data(1);
}

TEST(Pictures, WriteTheDescriptionLikeTextFramesAndTheMimeTypeOfTheBytes) {
    const Bytes latin1 = Concat({{0}, ToBytes("image/png"), {0, 4}, ToBytes("Caf\xE9"), {0}, kPng});
    EXPECT_EQ(Written(3, "Café"), latin1);
    EXPECT_EQ(Written(4, "Café"), latin1);
    EXPECT_EQ(
        Written(3, "Пa"),
        Concat({{1}, ToBytes("image/png"), {0, 4, 0xFF, 0xFE, 0x1F, 0x04, 'a', 0, 0, 0}, kPng}));
    EXPECT_EQ(Written(4, "Пa"),
              Concat({{3}, ToBytes("image/png"), {0, 4}, ToBytes("Пa"), {0}, kPng}));
    EXPECT_EQ(Written(3, "", kJpeg), Concat({{0}, ToBytes("image/jpeg"), {0, 4, 0}, kJpeg}));
}

TEST(Pictures, SeveralPicturesNeverShareADescription) {
    Tid3v2tag tag;
    const auto add = [&tag](uint8_t type, const std::string& description) {
        TPicture picture;
        picture.PictureType = type;
        picture.Description = description;
        picture.Data = kJpeg;
        return tag.AddPicture(picture);
    };
    const auto descriptions = [&tag] {
        std::vector<std::string> all;
        for (const TPictureInfo& info : tag.ListPictures()) {
            all.push_back(info.Description);
        }
        return all;
    };
    // A picture another writer left with a description that a suffix would give.
    tag.Frames.Data(tag.Frames.AddFrame("APIC")) = Apic(0, "image/jpeg", 3, ToBytes("(2)\0"s));
    EXPECT_EQ(add(3, ""), kPictureDone);
    EXPECT_EQ(add(4, ""), kPictureDone);
    EXPECT_EQ(add(10, "Band"), kPictureDone);
    EXPECT_EQ(add(10, "Band"), kPictureDone);
    EXPECT_EQ(add(10, "Группа"), kPictureDone);
    EXPECT_EQ(add(8, "Группа"), kPictureDone);
    EXPECT_EQ(descriptions(), (std::vector<std::string>{"(2)", "", "(3)", "Band", "Band (2)",
                                                        "Группа", "Группа (2)"}));
    TPicture replacement;
    replacement.Description = "Band";
    replacement.Data = kPng;
    EXPECT_EQ(tag.ReplacePicture(4, replacement), kPictureDone);  // its own description
    EXPECT_EQ(tag.ReplacePicture(2, replacement), kPictureDone);
    EXPECT_EQ(descriptions(), (std::vector<std::string>{"(2)", "Band (3)", "(3)", "Band",
                                                        "Band (2)", "Группа", "Группа (2)"}));
    TPicture got;
    EXPECT_EQ(tag.GetPicture(2, got), kPictureDone);
    EXPECT_EQ(got.PictureType, kPictureFrontCover);
    EXPECT_EQ(got.MimeType, "image/png");
    EXPECT_EQ(got.Data, kPng);

    EXPECT_EQ(tag.RemovePicture(1), kPictureDone);
    EXPECT_EQ(tag.RemovePicture(7), kPictureNoSuch);
    EXPECT_EQ(tag.ReplacePicture(7, replacement), kPictureNoSuch);
    EXPECT_EQ(tag.GetPicture(0, got), kPictureNoSuch);
    EXPECT_EQ(descriptions().front(), "Band (3)");
    tag.SetTextUtf8("TIT2", "Title");
    EXPECT_EQ(tag.RemoveAllPictures(), 6u);
    EXPECT_TRUE(tag.ListPictures().empty());
    EXPECT_EQ(tag.Frames.FrameCount(), 1u);
}

TEST(Pictures, AWriteRefusesWhatItCannotStoreAndChangesNothing) {
    const struct {
        const char* name;
        uint8_t type;
        std::string description;
        std::string mime;
        Bytes image;
        uint8_t result;
        std::string written;  // the MIME type written when done
    } rows[] = {
        {"jpeg named jpg", 3, "", "image/jpg", kJpeg, kPictureDone, "image/jpeg"},
        {"png named jpeg", 3, "", "image/jpeg", kPng, kPictureDone, "image/png"},
        {"unknown kind with a type", 3, "", "image/tiff", ToBytes("II*\0"s), kPictureDone,
         "image/tiff"},
        {"unknown kind", 3, "", "", ToBytes("II*\0"s), kPictureUnknownImage, ""},
        {"no bytes", 3, "", "image/png", {}, kPictureUnknownImage, ""},
        {"type 21", 21, "", "", kJpeg, kPictureBadType, ""},
        {"broken utf8", 3, "\xC3", "", kJpeg, kPictureInvalidText, ""},
        {"zero character", 3, "a\0b"s, "", kJpeg, kPictureInvalidText, ""},
        {"mime with a control character", 3, "", "image/\x01", ToBytes("II*"), kPictureInvalidText,
         ""},
    };
    for (const auto& row : rows) {
        Tid3v2tag tag;
        TPicture picture;
        picture.PictureType = row.type;
        picture.Description = row.description;
        picture.MimeType = row.mime;
        picture.Data = row.image;
        EXPECT_EQ(tag.AddPicture(picture), row.result) << row.name;
        tag.Frames.Data(tag.Frames.AddFrame("APIC")) = Apic(0, "image/jpg", 3, {0});
        EXPECT_EQ(tag.ReplacePicture(tag.ListPictures().size(), picture), row.result) << row.name;
        const std::vector<TPictureInfo> list = tag.ListPictures();
        ASSERT_EQ(list.size(), row.result == kPictureDone ? 2u : 1u) << row.name;
        EXPECT_EQ(list.back().MimeType, row.result == kPictureDone ? row.written : "image/jpg")
            << row.name;
    }
}

bool Contains(const Bytes& file, const Bytes& part) {
    return std::search(file.begin(), file.end(), part.begin(), part.end()) != file.end();
}

TEST(Pictures, UntouchedAndUnreadableFramesSurviveASaveByteForByte) {
    const Bytes apic = Apic(0, "image/jpeg", 3, {0});
    const Bytes compressed = CompressBuffer(apic.data(), apic.size(), 3);
    Bytes plainSize(4);
    WriteBigEndian32(plainSize.data(), static_cast<uint32_t>(apic.size()));
    const Bytes compressedV3 = Concat({plainSize, compressed});
    for (const uint8_t version : {3, 4}) {
        const std::vector<Bytes> pictures = {
            testing_mp3::Frame(version, "APIC", Apic(0, "image/jpg", 99, ToBytes("x\0"s))),
            testing_mp3::Frame(version, "APIC", Concat({{0}, ToBytes("image/png")})),
            testing_mp3::Frame(version, "APIC", Apic(1, "", 3, {0xFF, 0xFE, 'a'})),
            testing_mp3::Frame(version, "APIC", Apic(7, "image/jpeg", 3, {0})),
            version == 3
                ? testing_mp3::Frame(3, "APIC", compressedV3, 0, kV3Compression)
                : testing_mp3::Frame(4, "APIC", Concat({{0x80}, apic}), 0, kFormatEncryption),
        };
        std::vector<Bytes> frames = pictures;
        frames.push_back(testing_mp3::Frame(version, "TIT2", testing_mp3::Latin1Text("Old")));
        testing_mp3::TempDir dir;
        const std::string path = dir.File("a.mp3");
        testing_mp3::WriteMp3(path, testing_mp3::Tag(version, frames, 64));
        Tid3v2tag tag;
        ASSERT_EQ(tag.LoadFromFile(path, 0), 0);
        ASSERT_EQ(tag.ListPictures().size(), pictures.size());
        for (uint32_t n = 1; n <= pictures.size(); ++n) {
            TPicture picture;
            tag.GetPicture(n, picture);
        }
        tag.SetTextUtf8("TIT2", "New title");
        ASSERT_TRUE(Succeeded(tag.SaveToFile(path, version, 0, 0)));
        const Bytes file = testing_mp3::ReadFile(path);
        for (const Bytes& picture : pictures) {
            EXPECT_TRUE(Contains(file, picture)) << "version " << int{version};
        }
    }
}

TEST(Pictures, AVersion4PictureSavedAsVersion3GetsItsDescriptionInUtf16) {
    testing_mp3::TempDir dir;
    const std::string path = dir.File("a.mp3");
    testing_mp3::WriteMp3(path);
    Tid3v2tag tag;
    tag.MajorVersion = 4;
    TPicture picture;
    picture.Description = "Обложка";
    picture.Data = Concat({kJpeg, Bytes(5000, 0xFF)});
    ASSERT_EQ(tag.AddPicture(picture), kPictureDone);
    ASSERT_EQ(tag.Frames.Data(1)[0], kEncodingUtf8);
    ASSERT_EQ(tag.SaveToFile(path, 3, 0, 0), 0);
    Tid3v2tag loaded;
    ASSERT_EQ(loaded.LoadFromFile(path, 0), 0);
    TPicture got;
    ASSERT_EQ(loaded.GetPicture(1, got), kPictureDone);
    EXPECT_EQ(got.Encoding, kEncodingUtf16);
    EXPECT_EQ(got.Description, picture.Description);
    EXPECT_EQ(got.Data, picture.Data);
}

}  // namespace
