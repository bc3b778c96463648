// Tags converted between versions 3 and 4, and version 2.2 tags loaded and
// saved as version 3, read back by mutagen and TagLib with the same values:
// dates, texts and a picture that survives byte for byte.
#include <gtest/gtest.h>
#include <taglib/attachedpictureframe.h>
#include <taglib/id3v2tag.h>
#include <taglib/mpegfile.h>

#include <algorithm>
#include <string>
#include <vector>

#include "id3v2/id3v2.h"
#include "id3v2/result_codes.h"
#include "tests/helpers/mp3_files.h"
#include "tests/helpers/mutagen_reader.h"
#include "tests/helpers/taglib_frames.h"

namespace {

using namespace testing_mp3;

// Text frames as mutagen reads them: the identifier, then the values of its
// "text" or "people" field (mutagen shows a timestamp's "T" as a space).
using ReadFrames = std::vector<std::vector<std::string>>;
using IdFrames = std::vector<std::pair<std::string, Bytes>>;

std::vector<std::string> Sorted(std::vector<std::string> list) {
    std::sort(list.begin(), list.end());
    return list;
}

Bytes Pairs(uint8_t encoding, const std::vector<std::string>& strings) {
    Bytes data{encoding};
    for (const std::string& s : strings) {
        data.insert(data.end(), s.begin(), s.end());
        data.push_back(0);
    }
    return data;
}

// The picture is opaque to the conversion: its bytes must come out as they went in.
Bytes PictureData(const std::string& format) {
    return Concat({{0}, ToBytes(format), {0, 3}, ToBytes("cover"), {0}, PictureBytes()});
}

const std::string kCyrillic = "\xD0\x93\xD1\x80\xD1\x83\xD0\xBF\xD0\xBF\xD0\xB0";  // UTF-8

struct ConversionCase {
    const char* name;
    uint8_t from;
    uint8_t to;
    IdFrames frames;  // and a picture, which every case has
    ReadFrames read;
    std::vector<std::string> unmapped;
    unsigned year;      // as TagLib reads it
    IdFrames others{};  // the other frames mutagen reads besides the picture, with their bytes
};

// clang-format off
const ConversionCase kConversions[] = {
    {"timestamp with date and time to 2.3", 4, 3,
     {{"TIT2", Concat({{3}, ToBytes(kCyrillic)})}, {"TDRC", Latin1Text("2004-05-06T07:08")},
      {"TDOR", Latin1Text("1999")}, {"USLT", Concat({{3}, ToBytes("eng"), {0}, ToBytes(kCyrillic)})}},
     {{"TIT2", kCyrillic}, {"TYER", "2004"}, {"USLT", kCyrillic}, {"TORY", "1999"},
      {"TDAT", "0605"}, {"TIME", "0708"}},
     {}, 2004},
    {"seconds and frames without equivalent stay and are named", 4, 3,
     {{"TDRC", Latin1Text("2004-05-06T07:08:09")}, {"TMOO", Latin1Text("Calm")},
      {"TDOR", Latin1Text("1999-12")}},
     {{"TDRC", "2004-05-06 07:08:09"}, {"TMOO", "Calm"}, {"TDOR", "1999-12"}, {"TYER", "2004"},
      {"TDAT", "0605"}, {"TIME", "0708"}, {"TORY", "1999"}},
     {"TDRC", "TDOR", "TMOO"}, 2004},
    // mutagen reads the date as a timestamp of its own.
    {"a date that is no timestamp stays and is named", 4, 3, {{"TDRC", Latin1Text("2004/05")}},
     {{"TDRC", "2004-05"}}, {"TDRC"}, 2004},
    {"involved people and musicians to one IPLS", 4, 3,
     {{"TIPL", Pairs(0, {"producer", "Ann"})}, {"TMCL", Pairs(3, {"guitar", kCyrillic})}},
     {{"IPLS", "producer", "Ann", "guitar", kCyrillic}}, {}, 0},
    {"year, date and time to one timestamp", 3, 4,
     {{"TYER", Latin1Text("2004")}, {"TDAT", Latin1Text("0605")}, {"TIME", Latin1Text("0708")},
      {"TORY", Latin1Text("1999")}, {"IPLS", Pairs(0, {"producer", "Ann"})}},
     {{"TDRC", "2004-05-06 07:08"}, {"TDOR", "1999"}, {"TIPL", "producer", "Ann"}}, {}, 2004},
    {"a time without date and a size stay and are named", 3, 4,
     {{"TYER", Latin1Text("2004")}, {"TIME", Latin1Text("0708")}, {"TSIZ", Latin1Text("1234")}},
     {{"TDRC", "2004"}, {"TIME", "0708"}, {"TSIZ", "1234"}}, {"TIME", "TSIZ"}, 2004},
    // As older players wrote it: three-letter frames, the picture with a
    // three-letter image format, and a frame no later version knows. It loads
    // as version-3 frames and saves as version 3 without a conversion.
    {"version 2.2 loaded and saved", 2, 3,
     {{"TT2", Latin1Text("Title")}, {"TYE", Latin1Text("1999")},
      {"COM", Concat({{0}, ToBytes("eng"), {0}, ToBytes("note")})}, {"ZZZ", ToBytes("opaque")}},
     {{"TIT2", "Title"}, {"TYER", "1999"}}, {}, 1999,
     {{"COMM", Concat({{0}, ToBytes("eng"), {0}, ToBytes("note")})}, {"XZZZ", ToBytes("opaque")}}},
};
// clang-format on

TEST(Conversion, PeersReadTheConvertedTagWithTheSameValues) {
    for (const ConversionCase& c : kConversions) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        const std::string path = dir.File("song.mp3");
        std::vector<Bytes> frames;
        for (const auto& [id, data] : c.frames) {
            frames.push_back(Frame(c.from, id, data));
        }
        frames.push_back(
            c.from == 2
                ? Frame(2, "PIC",
                        Concat({{0}, ToBytes("PNG"), {3}, ToBytes("cover"), {0}, PictureBytes()}))
                : Frame(c.from, "APIC", PictureData("image/png")));
        WriteMp3(path, Tag(c.from, frames, 64));
        Tid3v2tag tag;
        ASSERT_EQ(tag.LoadFromFile(path, 0), 0);
        if (c.from != 2) {
            const TVersionConversion result = tag.ConvertToVersion(c.to);
            EXPECT_EQ(result.Error, 0);
            EXPECT_EQ(Sorted(result.Unmapped), Sorted(c.unmapped));
        }
        ASSERT_TRUE(id3v2::Succeeded(tag.SaveToFile(path, 255, 0, 0)));

        if (MutagenMissing().empty()) {
            const MutagenTag peer = ReadWithMutagen(path);
            ASSERT_TRUE(peer.found) << peer.error;
            EXPECT_EQ(peer.version, c.to);
            std::vector<std::string> ids = {"APIC"};
            for (const std::vector<std::string>& frame : c.read) {
                ids.push_back(frame[0]);
                const MutagenFrame& got = peer.Find(frame[0]);
                EXPECT_EQ(got.fields.at(got.fields.count("text") ? "text" : "people"),
                          std::vector<std::string>(frame.begin() + 1, frame.end()));
                // Version 3 knows ISO-8859-1 and UTF-16 only.
                EXPECT_TRUE(c.to == 4 || got.Field("encoding") <= "1") << frame[0];
            }
            for (const auto& [id, data] : c.others) {
                ids.push_back(id);
                EXPECT_EQ(peer.Find(id).data, data) << id;
            }
            EXPECT_EQ(Sorted(peer.Ids()), Sorted(ids));
            EXPECT_EQ(peer.Find("APIC").data, PictureData("image/png"));
        }
        TagLib::MPEG::File file(path.c_str(), false);
        TagLib::ID3v2::Tag* v2 = file.ID3v2Tag();
        ASSERT_NE(v2, nullptr);
        EXPECT_EQ(v2->header()->majorVersion(), c.to);
        EXPECT_EQ(v2->year(), c.year);
        const TagLib::ID3v2::FrameList pictures = v2->frameListMap()["APIC"];
        ASSERT_EQ(pictures.size(), 1u);
        const auto* apic = dynamic_cast<TagLib::ID3v2::AttachedPictureFrame*>(pictures.front());
        ASSERT_NE(apic, nullptr);
        EXPECT_EQ(apic->mimeType(), "image/png");
        const TagLib::ByteVector got = apic->picture();
        EXPECT_EQ(Bytes(got.begin(), got.end()), PictureBytes());
    }
}

TEST(Version22, ACompressedTagIsRefusedWithItsOwnCode) {
    TempDir dir;
    const std::string path = dir.File("compressed.mp3");
    WriteMp3(path, Tag(2, {Frame(2, "TT2", Latin1Text("x"))}, 0, 0x40));
    Tid3v2tag tag;
    EXPECT_EQ(id3v2::ErrorCode(tag.LoadFromFile(path, 0)), id3v2::kCompressedTag);
}

}  // namespace
