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

// A picture to write; `mime` counts only for bytes of no known kind.
TPicture Picture(uint8_t type, const std::string& description, const Bytes& data,
                 const std::string& mime = "") {
    return {{.MimeType = mime, .PictureType = type, .Description = description}, data};
}

TEST(ImageMimeType, TellsTheKindFromTheFirstBytesOnly) {
    const std::pair<Bytes, std::string> rows[] = {
        {kJpeg, "image/jpeg"},
        {kPng, "image/png"},
        {ToBytes("GIF87a"), "image/gif"},
        {ToBytes("RIFF1234WEBPVP8 "), "image/webp"},
        {Concat({ToBytes("BM"), Bytes(12, 0), {40, 0, 0, 0}}), "image/bmp"},
        {Concat({ToBytes("BM"), Bytes(12, 0), {41, 0, 0, 0}}), ""},  // no bitmap header size
        {ToBytes("RIFF1234WAVEfmt "), ""},
        {Bytes(kPng.begin(), kPng.begin() + 7), ""},  // cut off
        {{}, ""},
    };
    for (const auto& [bytes, mime] : rows) {
        EXPECT_EQ(ImageMimeType(bytes), mime) << ::testing::PrintToString(bytes);
    }
    EXPECT_EQ(PictureTypeName(20), "Publisher/Studio logotype");
    EXPECT_EQ(PictureTypeName(21), "");
}

TEST(Pictures, ListTheFieldsInEveryEncodingAndKeepWhatTheyCannotRead) {
    // Encoding, MIME type, type, description bytes as stored, description as read.
    const std::tuple<uint8_t, std::string, uint8_t, Bytes, std::string> readable[] = {
        {0, "image/jpeg", 3, ToBytes("Caf\xE9\0"s), "Café"},
        {1, "image/png", 4, {0xFF, 0xFE, 0x1F, 0x04, 'a', 0, 0, 0}, "Пa"},
        {1, "image/png", 8, {0xFE, 0xFF, 0x04, 0x1F, 0, 0}, "П"},
        {2, "image/png", 10, {0x04, 0x1F, 0, 0}, "П"},
        {3, "image/png", 0, ToBytes("Обл\0"s), "Обл"},
        {0, "image/jpg", 200, {0}, ""},                          // kept as they are
        {1, "", 3, {0xFF, 0xFE, 0, 'a', 0, 0}, "\xE6\x84\x80"},  // whole units
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
    for (const auto& [encoding, mime, type, stored, description] : readable) {
        TPicture p;
        EXPECT_EQ(listed(Apic(encoding, mime, type, stored), p), kPictureDone);
        EXPECT_EQ(
            std::tie(p.Readable, p.Encoding, p.MimeType, p.PictureType, p.Description, p.Data),
            std::make_tuple(true, encoding, mime, type, description, kJpeg));
    }
    for (const Bytes& data : unreadable) {
        TPicture p;
        EXPECT_EQ(listed(data, p), kPictureUnreadable);
        EXPECT_EQ(std::tie(p.Readable, p.Size), std::make_tuple(false, data.size()));
    }
}

TEST(Pictures, SeveralPicturesNeverShareADescription) {
    Tid3v2tag tag;
    // Another writer's picture holds a description that a suffix would give.
    tag.Frames.Data(tag.Frames.AddFrame("APIC")) = Apic(0, "image/jpeg", 3, ToBytes("(2)\0"s));
    uint8_t type = 3;
    for (const char* description : {"", "", "Band", "Band", "Группа", "Группа"}) {
        EXPECT_EQ(tag.AddPicture(Picture(type++, description, kJpeg)), kPictureDone);
    }
    const TPicture band = Picture(type, "Band", kPng);
    EXPECT_EQ(tag.ReplacePicture(4, band), kPictureDone);  // its own description
    EXPECT_EQ(tag.ReplacePicture(2, band), kPictureDone);
    EXPECT_EQ(tag.ReplacePicture(8, band), kPictureNoSuch);
    std::vector<std::string> descriptions;
    for (const TPictureInfo& info : tag.ListPictures()) {
        descriptions.push_back(info.Description);
    }
    EXPECT_EQ(descriptions, (std::vector<std::string>{"(2)", "Band (3)", "(3)", "Band", "Band (2)",
                                                      "Группа", "Группа (2)"}));
    TPicture got;
    EXPECT_EQ(tag.GetPicture(2, got), kPictureDone);
    EXPECT_EQ(std::tie(got.PictureType, got.MimeType, got.Data), std::tie(type, "image/png", kPng));
    EXPECT_EQ(tag.RemovePicture(1), kPictureDone);
    EXPECT_EQ(tag.RemovePicture(7), kPictureNoSuch);
    EXPECT_EQ(tag.ListPictures().front().Description, "Band (3)");
    tag.SetTextUtf8("TIT2", "Title");
    EXPECT_EQ(tag.RemoveAllPictures(), 6u);
    EXPECT_EQ(tag.Frames.FrameCount(), 1u);
}

// A write stores the description like text frames and the MIME type of the
// bytes, or refuses what it cannot store and changes nothing.
TEST(Pictures, WriteTheDescriptionLikeTextFramesAndTheMimeTypeOfTheBytes) {
    const Bytes before = Apic(0, "image/jpg", 3, ToBytes("old\0"s));
    const Bytes latin1 = Apic(0, "image/png", 4, ToBytes("Caf\xE9\0"s), kPng);
    const Bytes tiff = ToBytes("II*");
    // Tag version, type, description, MIME type given, image, result, frame data when done.
    const std::tuple<uint8_t, uint8_t, std::string, std::string, Bytes, uint8_t, Bytes> rows[] = {
        {3, 4, "Café", "", kPng, kPictureDone, latin1},
        {4, 4, "Café", "", kPng, kPictureDone, latin1},
        {3, 4, "Пa", "", kPng, kPictureDone,
         Apic(1, "image/png", 4, {0xFF, 0xFE, 0x1F, 0x04, 'a', 0, 0, 0}, kPng)},
        {4, 4, "Пa", "", kPng, kPictureDone, Apic(3, "image/png", 4, ToBytes("Пa\0"s), kPng)},
        {3, 4, "", "", kJpeg, kPictureDone, Apic(0, "image/jpeg", 4, {0})},
        {3, 3, "", "image/jpg", kJpeg, kPictureDone, Apic(0, "image/jpeg", 3, {0})},
        {3, 3, "", "image/tiff", tiff, kPictureDone, Apic(0, "image/tiff", 3, {0}, tiff)},
        {3, 3, "", "", tiff, kPictureUnknownImage, {}},
        {3, 3, "", "image/png", {}, kPictureUnknownImage, {}},
        {3, 21, "", "", kJpeg, kPictureBadType, {}},
        {3, 3, "\xC3", "", kJpeg, kPictureInvalidText, {}},
        {3, 3, "a\0b"s, "", kJpeg, kPictureInvalidText, {}},
        {3, 3, "", "image/\x01", tiff, kPictureInvalidText, {}},
    };
    for (const auto& [version, type, description, mime, image, result, written] : rows) {
        const TPicture picture = Picture(type, description, image, mime);
        for (const bool replace : {false, true}) {
            Tid3v2tag tag;
            tag.MajorVersion = version;
            tag.Frames.Data(tag.Frames.AddFrame("APIC")) = before;
            EXPECT_EQ(replace ? tag.ReplacePicture(1, picture) : tag.AddPicture(picture), result);
            const bool done = result == kPictureDone;
            EXPECT_EQ(tag.Frames.FrameCount(), done && !replace ? 2u : 1u);
            EXPECT_EQ(tag.Frames.Data(tag.Frames.FrameCount()), done ? written : before)
                << int{version} << " " << description << " " << mime << " replace " << replace;
        }
    }
}

TEST(Pictures, UntouchedAndUnreadableFramesSurviveASaveByteForByte) {
    using testing_mp3::Frame;
    const Bytes apic = Apic(0, "image/jpeg", 3, {0});
    const Bytes compressedV3 = Concat({{0, 0, 0, static_cast<uint8_t>(apic.size())},
                                       CompressBuffer(apic.data(), apic.size(), 3)});
    const Bytes largeImage = Concat({kJpeg, Bytes(100000, 0xD9)});
    for (const uint8_t version : {3, 4}) {
        const std::vector<Bytes> frames = {
            Frame(version, "APIC", Apic(0, "image/jpg", 99, ToBytes("x\0"s))),
            Frame(version, "APIC", Concat({{0}, ToBytes("image/png")})),
            Frame(version, "APIC", Apic(1, "", 3, {0xFF, 0xFE, 'a'})),
            Frame(version, "APIC", Apic(7, "image/jpeg", 3, {0})),
            version == 3 ? Frame(3, "APIC", compressedV3, 0, kV3Compression)
                         : Frame(4, "APIC", Concat({{0x80}, apic}), 0, kFormatEncryption),
            Frame(version, "APIC", Apic(0, "image/jpeg", 4, {0}, largeImage)),
            Frame(version, "TIT2", testing_mp3::Latin1Text("Old")),
        };
        testing_mp3::TempDir dir;
        const std::string path = dir.File("a.mp3");
        testing_mp3::WriteMp3(path, testing_mp3::Tag(version, frames, 64));
        // A listing load lists the large picture but leaves its image in the
        // file; it can neither give the bytes nor save the tag without them.
        Tid3v2tag listed;
        ASSERT_EQ(listed.LoadForListing(path), 0);
        TPicture large;
        EXPECT_EQ(listed.GetPicture(6, large), kPictureUnreadable);
        EXPECT_EQ(std::tie(large.Readable, large.Size), std::make_tuple(true, largeImage.size()));
        EXPECT_EQ(listed.SaveToFile(path, version, 0, 0), ResultWord(kLastLoadFailed));
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
