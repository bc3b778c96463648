// Tests of attached pictures: image kinds from their bytes, the APIC fields in
// every encoding, several pictures per tag with unique descriptions, and
// frames that cannot be read or were not touched kept byte for byte.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <tuple>
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
    const Bytes bmp = Concat({ToBytes("BM"), Bytes(12, 0), {40, 0, 0, 0}});
    const std::pair<Bytes, std::string> rows[] = {
        {kJpeg, "image/jpeg"},
        {kPng, "image/png"},
        {ToBytes("GIF87a"), "image/gif"},
        {ToBytes("RIFF1234WEBPVP8 "), "image/webp"},
        {bmp, "image/bmp"},
        {Concat({ToBytes("BM"), Bytes(12, 0), {41, 0, 0, 0}}), ""},  // no bitmap header size
        {ToBytes("RIFF1234WAVEfmt "), ""},
        {Bytes(kPng.begin(), kPng.begin() + 7), ""},  // cut off
        {{}, ""},
    };
    for (const auto& [bytes, mime] : rows) {
        EXPECT_EQ(ImageMimeType(bytes), mime) << ::testing::PrintToString(bytes);
    }
    EXPECT_EQ(PictureTypeName(3), "Front cover");
    EXPECT_EQ(PictureTypeName(20), "Publisher/Studio logotype");
    EXPECT_EQ(PictureTypeName(21), "");
}

TEST(Pictures, ListTheFieldsInEveryEncodingAndKeepWhatTheyCannotRead) {
    const struct {
        Bytes data;
        uint8_t encoding;
        std::string mime;
        uint8_t type;
        std::string description;
    } readable[] = {
        {Apic(0, "image/jpeg", 3, ToBytes("Caf\xE9\0"s)), 0, "image/jpeg", 3, "Café"},
        {Apic(1, "image/png", 4, {0xFF, 0xFE, 0x1F, 0x04, 'a', 0, 0, 0}), 1, "image/png", 4, "Пa"},
        {Apic(1, "image/png", 8, {0xFE, 0xFF, 0x04, 0x1F, 0, 0}), 1, "image/png", 8, "П"},
        {Apic(2, "image/png", 10, {0x04, 0x1F, 0, 0}), 2, "image/png", 10, "П"},
        {Apic(3, "image/png", 0, ToBytes("Обл\0"s)), 3, "image/png", 0, "Обл"},
        {Apic(0, "image/jpg", 200, {0}), 0, "image/jpg", 200, ""},               // kept as they are
        {Apic(1, "", 3, {0xFF, 0xFE, 0, 'a', 0, 0}), 1, "", 3, "\xE6\x84\x80"},  // whole units
    };
    const Bytes unreadable[] = {
        {},
        Apic(4, "image/jpeg", 3, {0}),
        Concat({{0}, ToBytes("image/jpeg")}),
        Concat({{0}, ToBytes("image/jpeg"), {0}}),
        Concat({{0}, ToBytes("i"), {0, 3}, ToBytes("abc")}),
        Concat({{1}, ToBytes("i"), {0, 3, 0xFF, 0xFE, 'a', 0, 0}}),  // half a terminator
    };
    const auto listed = [](const Bytes& data, TPicture& picture) {
        Tid3v2tag tag;
        tag.Frames.Data(tag.Frames.AddFrame("APIC")) = data;
        const std::vector<TPictureInfo> list = tag.ListPictures();
        const uint8_t result = tag.GetPicture(1, picture);
        EXPECT_EQ(tag.Frames.Data(1), data);  // reading changes nothing
        EXPECT_EQ(list.size(), 1u);
        EXPECT_EQ(list.at(0).Size, picture.Size);
        return result;
    };
    for (const auto& row : readable) {
        TPicture p;
        EXPECT_EQ(listed(row.data, p), kPictureDone);
        EXPECT_EQ(std::tie(p.Readable, p.Encoding, p.MimeType, p.PictureType, p.Description),
                  std::make_tuple(true, row.encoding, row.mime, row.type, row.description));
        EXPECT_EQ(p.Data, kJpeg);
    }
    for (const Bytes& data : unreadable) {
        TPicture p;
        EXPECT_EQ(listed(data, p), kPictureUnreadable);
        EXPECT_FALSE(p.Readable);
        EXPECT_EQ(p.Size, data.size());
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
    // Another writer's picture holds a description that a suffix would give.
    tag.Frames.Data(tag.Frames.AddFrame("APIC")) = Apic(0, "image/jpeg", 3, ToBytes("(2)\0"s));
    TPicture picture;
    picture.Data = kJpeg;
    for (const char* description : {"", "", "Band", "Band", "Группа", "Группа"}) {
        picture.Description = description;
        EXPECT_EQ(tag.AddPicture(picture), kPictureDone);
        picture.PictureType++;
    }
    picture.Description = "Band";
    picture.Data = kPng;
    EXPECT_EQ(tag.ReplacePicture(4, picture), kPictureDone);  // its own description
    EXPECT_EQ(tag.ReplacePicture(2, picture), kPictureDone);
    EXPECT_EQ(tag.ReplacePicture(8, picture), kPictureNoSuch);
    std::vector<std::string> descriptions;
    for (const TPictureInfo& info : tag.ListPictures()) {
        descriptions.push_back(info.Description);
    }
    EXPECT_EQ(descriptions, (std::vector<std::string>{"(2)", "Band (3)", "(3)", "Band", "Band (2)",
                                                      "Группа", "Группа (2)"}));
    TPicture got;
    EXPECT_EQ(tag.GetPicture(2, got), kPictureDone);
    EXPECT_EQ(std::tie(got.PictureType, got.MimeType, got.Data),
              std::tie(picture.PictureType, "image/png", kPng));
    EXPECT_EQ(tag.RemovePicture(1), kPictureDone);
    EXPECT_EQ(tag.RemovePicture(7), kPictureNoSuch);
    EXPECT_EQ(tag.ListPictures().front().Description, "Band (3)");
    tag.SetTextUtf8("TIT2", "Title");
    EXPECT_EQ(tag.RemoveAllPictures(), 6u);
    EXPECT_EQ(tag.Frames.FrameCount(), 1u);
}

TEST(Pictures, AWriteRefusesWhatItCannotStoreAndChangesNothing) {
    const struct {
        uint8_t type;
        std::string description;
        std::string mime;
        Bytes image;
        uint8_t result;
        std::string written;  // the MIME type written when done
    } rows[] = {
        {3, "", "image/jpg", kJpeg, kPictureDone, "image/jpeg"},
        {3, "", "image/tiff", ToBytes("II*"), kPictureDone, "image/tiff"},  // unknown kind
        {3, "", "", ToBytes("II*"), kPictureUnknownImage, ""},
        {3, "", "image/png", {}, kPictureUnknownImage, ""},
        {21, "", "", kJpeg, kPictureBadType, ""},
        {3, "\xC3", "", kJpeg, kPictureInvalidText, ""},
        {3, "a\0b"s, "", kJpeg, kPictureInvalidText, ""},
        {3, "", "image/\x01", ToBytes("II*"), kPictureInvalidText, ""},
    };
    for (const auto& row : rows) {
        Tid3v2tag tag;
        tag.Frames.Data(tag.Frames.AddFrame("APIC")) = Apic(0, "image/jpg", 3, {0});
        TPicture picture;
        picture.PictureType = row.type;
        picture.Description = row.description;
        picture.MimeType = row.mime;
        picture.Data = row.image;
        EXPECT_EQ(tag.ReplacePicture(1, picture), row.result) << row.mime;
        EXPECT_EQ(tag.AddPicture(picture), row.result) << row.mime;
        const std::vector<TPictureInfo> list = tag.ListPictures();
        const std::string mime = row.result == kPictureDone ? row.written : "image/jpg";
        EXPECT_EQ(list.front().MimeType, mime);
        EXPECT_EQ(list.back().MimeType, mime);
    }
}

TEST(Pictures, UntouchedAndUnreadableFramesSurviveASaveByteForByte) {
    using testing_mp3::Frame;
    const Bytes apic = Apic(0, "image/jpeg", 3, {0});
    const Bytes compressedV3 = Concat({{0, 0, 0, static_cast<uint8_t>(apic.size())},
                                       CompressBuffer(apic.data(), apic.size(), 3)});
    for (const uint8_t version : {3, 4}) {
        std::vector<Bytes> frames = {
            Frame(version, "APIC", Apic(0, "image/jpg", 99, ToBytes("x\0"s))),
            Frame(version, "APIC", Concat({{0}, ToBytes("image/png")})),
            Frame(version, "APIC", Apic(1, "", 3, {0xFF, 0xFE, 'a'})),
            Frame(version, "APIC", Apic(7, "image/jpeg", 3, {0})),
            version == 3 ? Frame(3, "APIC", compressedV3, 0, kV3Compression)
                         : Frame(4, "APIC", Concat({{0x80}, apic}), 0, kFormatEncryption),
            Frame(version, "TIT2", testing_mp3::Latin1Text("Old")),
        };
        testing_mp3::TempDir dir;
        const std::string path = dir.File("a.mp3");
        testing_mp3::WriteMp3(path, testing_mp3::Tag(version, frames, 64));
        Tid3v2tag tag;
        ASSERT_EQ(tag.LoadFromFile(path, 0), 0);
        TPicture picture;
        for (uint32_t n = 1; n <= tag.ListPictures().size(); ++n) {
            tag.GetPicture(n, picture);  // reading leaves every frame as it was
        }
        tag.SetTextUtf8("TIT2", "New title");
        ASSERT_TRUE(Succeeded(tag.SaveToFile(path, version, 0, 0)));
        const Bytes file = testing_mp3::ReadFile(path);
        for (size_t k = 0; k + 1 < frames.size(); ++k) {
            EXPECT_NE(std::search(file.begin(), file.end(), frames[k].begin(), frames[k].end()),
                      file.end())
                << "version " << int{version} << " picture " << k + 1;
        }
    }
}

}  // namespace
