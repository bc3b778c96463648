// Seeded property test of the UTF-8 text interface (set TAGVORA_SEED to replay
// one case): any Unicode text written into a version-3 or version-4 tag and saved,
// in that version or the other, reads back equal in our reader and in TagLib.
#include <gtest/gtest.h>
#include <taglib/commentsframe.h>
#include <taglib/id3v2tag.h>
#include <taglib/mpegfile.h>

#include <random>
#include <string>

#include "id3v2/id3v2.h"
#include "id3v2/internal.h"
#include "id3v2/result_codes.h"
#include "tests/helpers/mp3_files.h"
#include "tests/helpers/seeds.h"

namespace {

using testing_mp3::ForEachSeed;
using testing_mp3::TempDir;
using testing_mp3::WriteMp3;

// Texts drawn from Latin-1, a few scripts, combining marks, the rest of the
// basic plane and the supplementary planes (surrogate pairs in UTF-16).
class RandomText {
  public:
    explicit RandomText(uint32_t seed) : engine_(seed) {}

    std::string Next(bool multiLine) {
        static constexpr struct {
            char32_t first, last;
        } kRanges[] = {{0x20, 0x7E},       {0xA0, 0xFF},       {0x0400, 0x04FF}, {0x0370, 0x03FF},
                       {0x3040, 0x30FF},   {0x4E00, 0x9FFF},   {0x0300, 0x036F}, {0xE000, 0xFFFD},
                       {0x1F300, 0x1FAFF}, {0x10000, 0x10FFFF}};
        // Every fourth text stays within Latin-1, the encoding-0 path.
        const size_t ranges = Below(4) == 0 ? 2 : std::size(kRanges);
        std::u32string text;
        for (uint32_t n = Below(24); n > 0; --n) {
            if (multiLine && Below(10) == 0) {
                text.push_back(U'\n');
                continue;
            }
            const auto& range = kRanges[Below(static_cast<uint32_t>(ranges))];
            text.push_back(range.first + Below(range.last - range.first + 1));
        }
        return id3v2::ToUtf8(text);
    }

  private:
    uint32_t Below(uint32_t n) { return engine_() % n; }
    std::mt19937 engine_;
};

struct Written {
    std::string title, artist, description, comment;
};

std::string TagLibComment(const TagLib::ID3v2::Tag& tag, const std::string& description) {
    for (const TagLib::ID3v2::Frame* frame : tag.frameListMap()["COMM"]) {
        const auto* comment = dynamic_cast<const TagLib::ID3v2::CommentsFrame*>(frame);
        if (comment && comment->description().to8Bit(true) == description) {
            return comment->text().to8Bit(true);
        }
    }
    return "(none)";
}

// Texts set while the tag has `version`, saved as `savedVersion`.
void RunCase(uint32_t seed, uint8_t version, uint8_t savedVersion, const TempDir& dir) {
    RandomText random(seed * 2 + version);
    const Written w{random.Next(false), random.Next(false), random.Next(false), random.Next(true)};
    const std::string path = dir.File("unicode.mp3");
    WriteMp3(path, {}, 2);

    Tid3v2tag tag;
    tag.MajorVersion = version;
    // An empty text adds no frame; the album keeps the tag from being empty.
    ASSERT_EQ(tag.SetTextUtf8("TIT2", w.title), 0);
    ASSERT_EQ(tag.SetTextUtf8("TPE1", w.artist), 0);
    ASSERT_EQ(tag.SetTextUtf8("TALB", "\u0410"), 0);
    ASSERT_EQ(tag.SetCommentUtf8({0, "eng", w.description, w.comment}, w.description, "eng"), 0);
    ASSERT_EQ(tag.SaveToFile(path, savedVersion, 0, 0), 0);

    Tid3v2tag loaded;
    ASSERT_EQ(loaded.LoadFromFile(path, 0), 0);
    for (uint32_t i = 1; i <= loaded.Frames.FrameCount(); ++i) {
        // Encoding 0 for Latin-1 values, else a Unicode encoding of either version.
        const uint8_t encoding = loaded.Frames.Data(i)[0];
        ASSERT_TRUE(encoding == 0 || encoding == id3v2::UnicodeEncodingFor(version) ||
                    encoding == id3v2::UnicodeEncodingFor(savedVersion));
    }
    std::string title, artist;
    COMM comment;
    EXPECT_EQ(loaded.GetTextUtf8("TIT2", title), w.title.empty() ? 1 : 0);
    EXPECT_EQ(loaded.GetTextUtf8("TPE1", artist), w.artist.empty() ? 1 : 0);
    EXPECT_EQ(loaded.GetCommentUtf8(comment, w.description, "eng"), w.comment.empty() ? 1 : 0);
    EXPECT_EQ(title, w.title);
    EXPECT_EQ(artist, w.artist);
    EXPECT_EQ(comment.Text, w.comment);

    TagLib::MPEG::File file(path.c_str(), false);
    ASSERT_NE(file.ID3v2Tag(), nullptr);
    const TagLib::ID3v2::Tag& theirs = *file.ID3v2Tag();
    EXPECT_EQ(theirs.title().to8Bit(true), w.title);
    EXPECT_EQ(theirs.artist().to8Bit(true), w.artist);
    if (!w.comment.empty()) {
        EXPECT_EQ(TagLibComment(theirs, w.description), w.comment);
    }
}

#if defined(__SANITIZE_ADDRESS__)
constexpr uint32_t kCases = 50;
#else
constexpr uint32_t kCases = 200;
#endif

TEST(UnicodeTextProperty, AnyTextWrittenInEitherVersionReadsBackEqual) {
    TempDir dir;
    ForEachSeed(kCases, [&](uint32_t seed) {
        for (uint8_t version : {3, 4}) {
            // Every third case saves as the other version.
            const uint8_t saved = seed % 3 == 0 ? 7 - version : version;
            SCOPED_TRACE("set in version " + std::to_string(version) + ", saved as " +
                         std::to_string(saved));
            RunCase(seed, version, saved, dir);
        }
    });
}

}  // namespace
