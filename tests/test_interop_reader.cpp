// Tags written by TagLib load in our reader with the same frames as TagLib and
// mutagen find: identifiers, order and data bytes, for version 2.3 and 2.4 tags
// larger than the read ring.
#include <gtest/gtest.h>
#include <taglib/attachedpictureframe.h>
#include <taglib/commentsframe.h>
#include <taglib/id3v2tag.h>
#include <taglib/mpegfile.h>
#include <taglib/textidentificationframe.h>

#include <string>
#include <utility>
#include <vector>

#include "id3v2/id3v2.h"
#include "id3v2/internal.h"
#include "tests/helpers/mp3_files.h"
#include "tests/helpers/mutagen_reader.h"
#include "tests/helpers/taglib_frames.h"

using namespace testing_mp3;

namespace {

struct FileFrame {
    std::string id;
    Bytes data;
};

// The frames of a plain (not unsynchronised, no extended header) tag, walked
// by the sizes in their headers; stops at padding.
std::vector<FileFrame> WalkFrames(const Bytes& file, uint8_t version) {
    std::vector<FileFrame> frames;
    const size_t end = 10 + id3v2::ReadSyncsafe32(file.data() + 6);
    size_t at = 10;
    while (at + 10 <= end && file[at] != 0) {
        const uint8_t* header = file.data() + at;
        const uint32_t size =
            version == 4 ? id3v2::ReadSyncsafe32(header + 4) : id3v2::ReadBigEndian32(header + 4);
        frames.push_back({std::string(header, header + 4), Bytes(header + 10, header + 10 + size)});
        at += 10 + size;
    }
    return frames;
}

void AddText(TagLib::ID3v2::Tag& tag, const char* id, const TagLib::String& text,
             TagLib::String::Type encoding) {
    auto* frame = new TagLib::ID3v2::TextIdentificationFrame(TagLib::ByteVector(id), encoding);
    frame->setText(text);
    tag.addFrame(frame);  // the tag owns its frames
}

// Writes a tag with TagLib: Latin-1, UTF-16 and UTF-8 text, a comment and a
// picture of about 200 KB.
void WriteWithTagLib(const std::string& path, TagLib::ID3v2::Version version) {
    TagLib::MPEG::File file(path.c_str(), false);
    ASSERT_TRUE(file.isValid());
    TagLib::ID3v2::Tag& tag = *file.ID3v2Tag(true);
    AddText(tag, "TIT2", "Caf\xE9 latin", TagLib::String::Latin1);
    AddText(tag, "TPE1", TagLib::String(L"K\u00F6ln \u0416 utf16"), TagLib::String::UTF16);
    AddText(tag, "TALB", TagLib::String(L"\u00C5lbum \u4E2D utf8"), TagLib::String::UTF8);
    AddText(tag, "TRCK", "7/12", TagLib::String::Latin1);

    auto* comment = new TagLib::ID3v2::CommentsFrame(TagLib::String::UTF16);
    comment->setLanguage("eng");
    comment->setDescription("desc");
    comment->setText("A comment");
    tag.addFrame(comment);

    testing_mp3::AddPicture(tag, testing_mp3::PictureBytes());

    AddText(tag, "TCON", "Jazz", TagLib::String::Latin1);
    ASSERT_TRUE(file.save(TagLib::MPEG::File::ID3v2, TagLib::File::StripOthers, version));
}

std::vector<std::string> TagLibFrameIds(const std::string& path) {
    TagLib::MPEG::File file(path.c_str(), false);
    std::vector<std::string> ids;
    for (const TagLib::ID3v2::Frame* frame : file.ID3v2Tag()->frameList()) {
        const TagLib::ByteVector id = frame->frameID();
        ids.emplace_back(id.data(), id.size());
    }
    return ids;
}

class InteropReader : public ::testing::TestWithParam<int> {};

}  // namespace

TEST_P(InteropReader, LoadsWhatTagLibWrote) {
    const int version = GetParam();
    TempDir dir;
    const std::string path = dir.File("taglib.mp3");
    WriteMp3(path, {}, 20);
    WriteWithTagLib(path, version == 3 ? TagLib::ID3v2::v3 : TagLib::ID3v2::v4);

    const Bytes file = ReadFile(path);
    ASSERT_EQ(file[3], version);
    const uint32_t body = id3v2::ReadSyncsafe32(file.data() + 6);
    ASSERT_GT(body, id3v2::kRingSize);
    const std::vector<FileFrame> expected = WalkFrames(file, static_cast<uint8_t>(version));
    const std::vector<std::string> taglibIds = TagLibFrameIds(path);
    ASSERT_EQ(expected.size(), taglibIds.size());

    Tid3v2tag tag;
    ASSERT_EQ(tag.LoadFromFile(path, 0), 0);
    EXPECT_EQ(tag.MajorVersion, version);
    EXPECT_EQ(tag.TagSize, body);
    ASSERT_EQ(tag.Frames.FrameCount(), expected.size());
    size_t framesEnd = 10;
    for (uint32_t i = 1; i <= tag.Frames.FrameCount(); ++i) {
        EXPECT_EQ(tag.Frames.Id(i), taglibIds[i - 1]);
        EXPECT_EQ(tag.Frames.Id(i), expected[i - 1].id);
        EXPECT_EQ(tag.Frames.Data(i), expected[i - 1].data) << expected[i - 1].id;
        EXPECT_EQ(tag.Frames.FrameOffset(i), framesEnd);
        framesEnd += 10 + expected[i - 1].data.size();
    }
    EXPECT_EQ(tag.PaddingSize, 10 + body - framesEnd);

    // The picture's bytes end the APIC frame's data.
    const Bytes picture = testing_mp3::PictureBytes();
    for (uint32_t i = 1; i <= tag.Frames.FrameCount(); ++i) {
        if (tag.Frames.Id(i) == "APIC") {
            const Bytes& data = tag.Frames.Data(i);
            ASSERT_GT(data.size(), picture.size());
            EXPECT_TRUE(std::equal(picture.begin(), picture.end(), data.end() - picture.size()));
        }
    }
    // Latin-1 text is stored as written: encoding byte 0 and the bytes. The
    // other text frames keep their encodings (version 2.3 has no UTF-8, so
    // TagLib writes UTF-16 there).
    const std::vector<std::string> ids = {"TIT2", "TPE1", "TALB", "TRCK", "COMM", "APIC", "TCON"};
    ASSERT_EQ(taglibIds, ids);
    EXPECT_EQ(tag.Frames.Data(1), Concat({{0}, ToBytes("Caf\xE9 latin")}));
    EXPECT_EQ(tag.Frames.Data(2)[0], 1);
    EXPECT_EQ(tag.Frames.Data(3)[0], version == 4 ? 3 : 1);
    EXPECT_EQ(tag.Frames.Data(5)[0], 1);
}

// mutagen, a second reader, finds the same frames in TagLib's tag as our reader.
TEST_P(InteropReader, MutagenReadsTheSameFrames) {
    if (const std::string missing = MutagenMissing(); !missing.empty()) {
        GTEST_SKIP() << missing;
    }
    TempDir dir;
    const std::string path = dir.File("taglib.mp3");
    WriteMp3(path, {}, 20);
    WriteWithTagLib(path, GetParam() == 3 ? TagLib::ID3v2::v3 : TagLib::ID3v2::v4);

    Tid3v2tag tag;
    ASSERT_EQ(tag.LoadFromFile(path, 0), 0);
    const MutagenTag theirs = ReadWithMutagen(path);
    ASSERT_TRUE(theirs.found) << theirs.error;
    EXPECT_EQ(theirs.version, GetParam());
    EXPECT_EQ(theirs.padding, tag.PaddingSize);
    ASSERT_EQ(theirs.Ids(), TagLibFrameIds(path));
    ASSERT_EQ(theirs.frames.size(), tag.Frames.FrameCount());
    for (uint32_t i = 1; i <= tag.Frames.FrameCount(); ++i) {
        EXPECT_EQ(theirs.frames[i - 1].id, tag.Frames.Id(i));
        EXPECT_EQ(theirs.frames[i - 1].data, tag.Frames.Data(i)) << tag.Frames.Id(i);
    }
}

INSTANTIATE_TEST_SUITE_P(Versions, InteropReader, ::testing::Values(3, 4),
                         [](const ::testing::TestParamInfo<int>& info) {
                             return "v2_" + std::to_string(info.param);
                         });
