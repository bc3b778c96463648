// Pictures we write read back with the same type, MIME type, description and
// bytes in TagLib and mutagen, in both versions; pictures that TagLib, mutagen
// and eyeD3 write read back the same in ours.
#include <gtest/gtest.h>
#include <taglib/attachedpictureframe.h>
#include <taglib/id3v2tag.h>
#include <taglib/mpegfile.h>

#include <algorithm>
#include <functional>
#include <ostream>
#include <string>
#include <tuple>
#include <vector>

#include "id3v2/id3v2.h"
#include "tests/helpers/mp3_files.h"
#include "tests/helpers/mutagen_reader.h"

namespace {

using testing_mp3::Bytes;
using testing_mp3::Concat;
using testing_mp3::ToBytes;

struct Picture {
    int type;
    std::string mime;
    std::string description;  // UTF-8
    Bytes data;
    bool operator==(const Picture&) const = default;
};

void PrintTo(const Picture& p, std::ostream* out) {
    *out << p.type << " " << p.mime << " \"" << p.description << "\" (" << p.data.size()
         << " bytes)";
}

// An image of `size` bytes: its kind's first bytes, then bytes with runs of
// 0xFF before zeros and 0xE0.., which unsynchronisation has to protect.
Bytes Image(const Bytes& signature, size_t size) {
    Bytes image = signature;
    for (size_t i = image.size(); i < size; ++i) {
        image.push_back(i % 61 == 0 ? 0xFF : static_cast<uint8_t>((i * 131 + i / 977) % 256));
    }
    return image;
}

// One picture of each kind, descriptions in Latin-1 and beyond; the first is
// larger than the reader's 64 KB ring. In order of type, as the test sorts
// what it reads back: mutagen writes frames in an order of its own.
std::vector<Picture> Pictures() {
    return {
        {3, "image/jpeg", "", Image({0xFF, 0xD8, 0xFF, 0xE0}, 150 * 1024)},
        {4, "image/png", "Rückseite", Image({0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A}, 3000)},
        {6, "image/bmp", "media",
         Image({'B', 'M', 0, 0, 0, 0, 0, 0, 0, 0, 0x36, 0, 0, 0, 40, 0, 0, 0}, 500)},
        {8, "image/gif", "Обложка группы", Image(ToBytes("GIF89a"), 2000)},
        {20, "image/webp", "標誌 ÿ", Image(ToBytes("RIFF1234WEBP"), 1000)},
    };
}

// --- Writers: each puts Pictures() into a fresh file's tag of `version` ---

// Added to a version 4 tag, so that a version 3 save re-encodes UTF-8 descriptions.
void WriteOurs(const std::string& path, int version) {
    Tid3v2tag tag;
    tag.MajorVersion = 4;
    for (const Picture& p : Pictures()) {
        // No MIME type given: ours names it from the bytes.
        const TPicture picture = {
            {.MimeType = "", .PictureType = uint8_t(p.type), .Description = p.description}, p.data};
        ASSERT_EQ(tag.AddPicture(picture), id3v2::kPictureDone);
    }
    ASSERT_EQ(tag.SaveToFile(path, static_cast<uint8_t>(version), 0, 0), 0);
}

void WriteTagLib(const std::string& path, int version) {
    TagLib::MPEG::File file(path.c_str(), false);
    TagLib::ID3v2::Tag* tag = file.ID3v2Tag(true);
    for (const Picture& p : Pictures()) {
        auto* frame = new TagLib::ID3v2::AttachedPictureFrame();
        frame->setTextEncoding(version == 3 ? TagLib::String::UTF16 : TagLib::String::UTF8);
        frame->setMimeType(p.mime);
        frame->setType(static_cast<TagLib::ID3v2::AttachedPictureFrame::Type>(p.type));
        frame->setDescription(TagLib::String(p.description, TagLib::String::UTF8));
        frame->setPicture(TagLib::ByteVector(reinterpret_cast<const char*>(p.data.data()),
                                             static_cast<unsigned>(p.data.size())));
        tag->addFrame(frame);
    }
    ASSERT_TRUE(file.save(TagLib::MPEG::File::ID3v2, TagLib::File::StripOthers,
                          version == 3 ? TagLib::ID3v2::v3 : TagLib::ID3v2::v4));
}

// The Python writers take each picture's bytes from a file beside the MP3.
void WriteWithScript(const std::string& writer, const std::string& path, int version) {
    std::vector<std::string> arguments = {writer, path, std::to_string(version)};
    int n = 0;
    for (const Picture& p : Pictures()) {
        const std::string image = path + ".image" + std::to_string(n++);
        testing_mp3::WriteFile(image, p.data);
        arguments.insert(arguments.end(), {std::to_string(p.type), p.mime, p.description, image});
    }
    ASSERT_EQ(testing_mp3::RunHelperScript("picture_writers.py", arguments), 0) << writer;
}

// --- Readers: the pictures of a file's tag, in order ---

std::vector<Picture> ReadOurs(const std::string& path) {
    Tid3v2tag tag;
    EXPECT_EQ(tag.LoadFromFile(path, 0), 0);
    std::vector<Picture> pictures;
    for (uint32_t n = 1; n <= tag.ListPictures().size(); ++n) {
        TPicture picture;
        EXPECT_EQ(tag.GetPicture(n, picture), id3v2::kPictureDone);
        EXPECT_TRUE(tag.MajorVersion == 4 || picture.Encoding <= 1);  // version 3 encodings
        pictures.push_back(
            {picture.PictureType, picture.MimeType, picture.Description, picture.Data});
    }
    return pictures;
}

std::vector<Picture> ReadTagLib(const std::string& path) {
    TagLib::MPEG::File file(path.c_str(), false);
    std::vector<Picture> pictures;
    if (TagLib::ID3v2::Tag* tag = file.ID3v2Tag()) {
        for (const TagLib::ID3v2::Frame* frame : tag->frameList("APIC")) {
            const auto* apic = dynamic_cast<const TagLib::ID3v2::AttachedPictureFrame*>(frame);
            const TagLib::ByteVector data = apic->picture();
            pictures.push_back({apic->type(), apic->mimeType().to8Bit(true),
                                apic->description().to8Bit(true), Bytes(data.begin(), data.end())});
        }
    }
    return pictures;
}

std::vector<Picture> ReadMutagen(const std::string& path) {
    std::vector<Picture> pictures;
    for (const testing_mp3::MutagenFrame& frame : testing_mp3::ReadWithMutagen(path).frames) {
        if (frame.id == "APIC") {
            EXPECT_EQ(frame.status, "parsed");
            const std::string data = frame.Field("data");
            pictures.push_back({std::stoi(frame.Field("type")), frame.Field("mime"),
                                frame.Field("desc"), Bytes(data.begin(), data.end())});
        }
    }
    return pictures;
}

// Why a Python peer cannot run, or "".
std::string PythonPeerMissing(const std::string& writer) {
    if (const std::string missing = testing_mp3::MutagenMissing(); !missing.empty()) {
        return missing;
    }
    return testing_mp3::RunHelperScript("picture_writers.py", {"--check", writer}) == 0
               ? ""
               : writer + " is missing (Debian package python3-" + writer + ")";
}

using Writer = std::function<void(const std::string& path, int version)>;
using Reader = std::function<std::vector<Picture>(const std::string& path)>;

class InteropPictures : public ::testing::TestWithParam<int> {};

TEST_P(InteropPictures, ReadBackWithTheSameTypeMimeDescriptionAndBytes) {
    const auto script = [](const char* writer) -> Writer {
        return [writer](const std::string& path, int v) { WriteWithScript(writer, path, v); };
    };
    const std::string mutagen = PythonPeerMissing("mutagen");
    // Who writes, how, who reads, why a peer cannot run.
    const std::tuple<const char*, Writer, Reader, std::string> exchanges[] = {
        {"ours for ours", WriteOurs, ReadOurs, ""},
        {"ours for TagLib", WriteOurs, ReadTagLib, ""},
        {"ours for mutagen", WriteOurs, ReadMutagen, mutagen},
        {"TagLib", WriteTagLib, ReadOurs, ""},
        {"mutagen", script("mutagen"), ReadOurs, mutagen},
        {"eyed3", script("eyed3"), ReadOurs, PythonPeerMissing("eyed3")},
    };
    std::string skipped;
    for (const auto& [writer, write, read, missing] : exchanges) {
        if (!missing.empty()) {
            skipped += missing + "; ";
            continue;
        }
        SCOPED_TRACE(std::string("written by ") + writer);
        testing_mp3::TempDir dir;
        const std::string path = dir.File("pictures.mp3");
        testing_mp3::WriteMp3(path, {}, 20);
        write(path, GetParam());
        std::vector<Picture> pictures = read(path);
        std::ranges::sort(pictures, {}, &Picture::type);
        EXPECT_EQ(pictures, Pictures());
    }
    if (!skipped.empty()) {
        GTEST_SKIP() << skipped;
    }
}

INSTANTIATE_TEST_SUITE_P(Versions, InteropPictures, ::testing::Values(3, 4),
                         [](const auto& info) { return "v2_" + std::to_string(info.param); });

}  // namespace
