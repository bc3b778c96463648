// Tests of the Unicode text codec and of the UTF-8 interface of text and
// comment frames, on frame tables built in memory.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "id3v2/id3v2.h"
#include "id3v2/internal.h"
#include "id3v2/result_codes.h"
#include "tests/helpers/mp3_files.h"

namespace {

using namespace id3v2;
using testing_mp3::Bytes;
using testing_mp3::Concat;

constexpr char32_t kFffd = 0xFFFD;

TEST(DecodeValue, DecodesEachEncodingUpToItsFirstAlignedTerminator) {
    const struct {
        const char* name;
        Bytes data;
        size_t start;
        uint8_t encoding;
        std::u32string text;
        size_t end;
        bool terminated, broken, noByteOrderMark;
    } cases[] = {
        // clang-format off
        {"latin1", {'C', 0xE9, 0, 'x'}, 0, 0, U"C\u00E9", 3, true, false, false},
        {"from the start offset", {'a', 'b', 'c'}, 1, 0, U"bc", 3, false, false, false},
        {"start past the end", {'a'}, 5, 3, U"", 1, false, false, false},
        {"utf8", {0xD0, 0x9A, 0xF0, 0x9F, 0x8E, 0xB5, 0, 0}, 0, 3, U"\u041A\U0001F3B5", 7, true, false, false},
        {"utf16 le mark, surrogate pair", {0xFF, 0xFE, 0x3C, 0xD8, 0xB5, 0xDF}, 0, 1, U"\U0001F3B5", 6, false, false, false},
        {"utf16 be mark", {0xFE, 0xFF, 0x04, 0x1A, 0, 0, 0, 0x41}, 0, 1, U"\u041A", 6, true, false, false},
        {"utf16 without mark reads little-endian", {'A', 0, 'B', 0}, 0, 1, U"AB", 4, false, false, true},
        {"empty utf16 value needs no mark", {0, 0, 'A', 0}, 0, 1, U"", 2, true, false, false},
        {"zero pair across units is no terminator", {0x41, 0, 0, 0x42}, 0, 2, U"\u4100B", 4, false, false, false},
        {"utf16le", {0x1A, 0x04, 0, 0}, 0, 9, U"\u041A", 4, true, false, false},
        {"odd last zero byte ends the value", {0, 'A', 0}, 0, 2, U"A", 3, true, false, false},
        {"odd last byte is a cut-off unit", {0, 'A', 'B'}, 0, 2, {U'A', kFffd}, 3, false, true, false},
        {"lone surrogates", {0xFF, 0xFE, 0x3C, 0xD8, 'A', 0, 0xB5, 0xDF}, 0, 1, {kFffd, U'A', kFffd}, 8, false, true, false},
        {"utf8 overlong, encoded surrogate, beyond U+10FFFF", {0xC0, 0x80, 'a', 0xED, 0xA0, 0x80, 0xF4, 0x90, 0x80, 0x80}, 0, 3,
         {kFffd, kFffd, U'a', kFffd, kFffd, kFffd, kFffd, kFffd, kFffd, kFffd}, 10, false, true, false},
        {"utf8 cut off by the terminator", {'a', 0xE2, 0x82, 0, 'b'}, 0, 3, {U'a', kFffd}, 4, true, true, false},
        // clang-format on
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const TDecodedValue value = DecodeValue(c.data, c.start, c.encoding);
        EXPECT_EQ(value.text, c.text);
        EXPECT_EQ(value.end, c.end);
        EXPECT_EQ(value.terminated, c.terminated);
        EXPECT_EQ(value.broken, c.broken);
        EXPECT_EQ(value.noByteOrderMark, c.noByteOrderMark);
    }
}

TEST(ReencodeForVersion3, Utf8AndUtf16BeBecomeUtf16WithAMarkPerString) {
    const Bytes kBom{0xFF, 0xFE};
    const struct {
        const char* id;
        Bytes data;
        TReencoding outcome;
        Bytes out;
    } cases[] = {
        // clang-format off
        {"TIT2", {3, 0xD0, 0x9A}, TReencoding::Reencoded, Concat({{1}, kBom, {0x1A, 0x04}})},
        {"TPE1", {3, 'a', 0, 'b', 0}, TReencoding::Reencoded, Concat({{1}, kBom, {'a', 0, 0, 0}, kBom, {'b', 0, 0, 0}})},
        {"TXXX", {2, 0, 'd', 0, 0, 0, 0, 0, 'v'}, TReencoding::Reencoded,
         Concat({{1}, kBom, {'d', 0, 0, 0}, kBom, {0, 0}, kBom, {'v', 0}})},
        {"COMM", {3, 'e', 'n', 'g', 0, 't'}, TReencoding::Reencoded, Concat({{1, 'e', 'n', 'g'}, kBom, {0, 0}, kBom, {'t', 0}})},
        {"TIT2", {3}, TReencoding::Reencoded, {1}},
        {"TIT2", {0, 'a'}, TReencoding::Kept, {}},
        {"TIT2", {1, 0xFF, 0xFE, 'a', 0}, TReencoding::Kept, {}},
        {"APIC", {3, 'a'}, TReencoding::Kept, {}},
        {"TIT2", {}, TReencoding::Kept, {}},
        {"TIT2", {3, 'a', 0xC3}, TReencoding::Cannot, {}},
        {"TIT2", {2, 0xDC, 0x00}, TReencoding::Cannot, {}},
        {"COMM", {3, 'e'}, TReencoding::Cannot, {}},
        // clang-format on
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.id + ::testing::PrintToString(c.data));
        Bytes out;
        EXPECT_EQ(ReencodeForVersion3(c.id, c.data, out), c.outcome);
        EXPECT_EQ(out, c.out);
    }
}

// A tag whose frame table the tests fill by hand.
class UnicodeFrames : public testing::Test {
  protected:
    uint32_t Add(const std::string& id, const Bytes& data, uint8_t held = 0) {
        const uint32_t i = tag.Frames.AddFrame(id);
        tag.Frames.Data(i) = data;
        tag.Frames.SetState(i, 2, held);
        return i;
    }
    Tid3v2tag tag;
};

TEST_F(UnicodeFrames, GetTextTellsWhetherTheValueWasReadInFull) {
    const struct {
        const char* name;
        Bytes data;
        uint8_t held;
        const char* id;
        std::string text;
        uint8_t result;
    } cases[] = {
        {"utf16", {1, 0xFF, 0xFE, 0x3C, 0xD8, 0xB5, 0xDF}, 0, "TIT2", "\U0001F3B5", kTextDone},
        {"terminator and zeros", {3, 0xD0, 0x9A, 0, 0, 0}, 0, "TIT2", "\u041A", kTextDone},
        {"more values", {3, 'a', 0, 'b'}, 0, "TIT2", "a", kTextReadInPart},
        {"control character", {0, 'a', '\t', 'b'}, 0, "TIT2", "a\tb", kTextInvalid},
        {"line break", {0, 'a', '\n', 'b'}, 0, "TIT2", "a\nb", kTextInvalid},
        {"broken sequence", {3, 'a', 0xC3}, 0, "TIT2", "a\uFFFD", kTextInvalid},
        {"no byte order mark", {1, 'a', 0}, 0, "TIT2", "a", kTextInvalid},
        {"unknown encoding", {7, 'a'}, 0, "TIT2", "", kTextUnknownEncoding},
        {"bare encoding byte", {3}, 0, "TIT2", "", kTextEmpty},
        {"encrypted", {0, 'a'}, 0x04, "TIT2", "", kTextEncrypted},
        {"no frame", {0, 'a'}, 0, "TPE1", "", kTextNoFrame},
        {"not a text frame", {0, 'a'}, 0, "TXXX", "", kTextBadId},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        tag.Frames.ClearFrames();
        Add("TIT2", c.data, c.held);
        Add("TXXX", c.data);
        std::string text = "stale";
        EXPECT_EQ(tag.GetTextUtf8(c.id, text), c.result);
        EXPECT_EQ(text, c.text);
    }
}

TEST_F(UnicodeFrames, GetCommentFindsTheFirstCleanMatchingDescription) {
    const Bytes kBom{0xFF, 0xFE};
    const struct {
        const char* name;
        std::vector<Bytes> frames;
        const char* description;
        const char* language;
        std::string text;
        uint8_t result;
    } cases[] = {
        // clang-format off
        {"utf16 description, two-byte terminator, line break kept",
         {Concat({{1, 'e', 'n', 'g'}, kBom, {0x34, 0x04, 0, 0}, kBom, {'a', 0, '\n', 0, 'b', 0}})}, "\u0434", "None", "a\nb", kTextDone},
        {"language", {{3, 'd', 'e', 'u', 0, 'd'}, {3, 'e', 'n', 'g', 0, 'e'}}, "", "eng", "e", kTextDone},
        {"damaged or unterminated descriptions match nothing",
         {{1, 'e', 'n', 'g', 'x', 0, 0, 0, 'a', 0}, {3, 'e', 'n', 'g'}, {3, 'e', 'n', 'g', 0, 't'}}, "", "None", "t", kTextDone},
        {"more values", {{3, 'e', 'n', 'g', 0, 'a', 0, 'b'}}, "", "None", "a", kTextReadInPart},
        {"no text", {{3, 'e', 'n', 'g', 0}}, "", "None", "", kTextEmpty},
        {"no match", {{3, 'e', 'n', 'g', 'd', 0, 't'}}, "", "None", "", kTextNoFrame},
        {"unknown encoding stops", {{5, 'e', 'n', 'g', 0, 't'}, {0, 'e', 'n', 'g', 0, 't'}}, "", "None", "", kTextUnknownEncoding},
        // clang-format on
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        tag.Frames.ClearFrames();
        for (const Bytes& frame : c.frames) {
            Add("COMM", frame);
        }
        COMM value{7, "old", "old", "old"};
        EXPECT_EQ(tag.GetCommentUtf8(value, c.description, c.language), c.result);
        EXPECT_EQ(value.Text, c.text);
    }
}

TEST_F(UnicodeFrames, Latin1TextsGetTheBytesOfThe8BitSetters) {
    for (uint8_t version : {3, 4}) {
        for (const std::string latin1 : {"Title", "Caf\xE9 \xFF", "a\x01z"}) {
            std::string utf8;
            for (const char c : latin1) {
                utf8 += ToUtf8(std::u32string(1, static_cast<uint8_t>(c)));
            }
            Tid3v2tag old;
            old.SetText("TIT2", latin1);
            old.SetComment({0, "ENG", latin1, latin1}, "", "None");
            tag.Frames.ClearFrames();
            tag.MajorVersion = version;
            ASSERT_EQ(tag.SetTextUtf8("TIT2", utf8), kTextDone);
            ASSERT_EQ(tag.SetCommentUtf8({0, "ENG", utf8, utf8}, "", "None"), kTextDone);
            EXPECT_EQ(tag.Frames.Data(1), old.Frames.Data(1));
            EXPECT_EQ(tag.Frames.Data(2), old.Frames.Data(2));
        }
    }
}

TEST_F(UnicodeFrames, OtherTextsAreUtf16InVersion3AndUtf8InVersion4) {
    const Bytes kBom{0xFF, 0xFE};
    const struct {
        uint8_t version;
        Bytes title, comment;
    } cases[] = {
        {3, Concat({{1}, kBom, {0x1A, 0x04}}),
         Concat({{1, 'e', 'n', 'g'}, kBom, {'d', 0, 0, 0}, kBom, {0x1A, 0x04}})},
        {4, {3, 0xD0, 0x9A}, {3, 'e', 'n', 'g', 'd', 0, 0xD0, 0x9A}},
        {2, Concat({{1}, kBom, {0x1A, 0x04}}),
         Concat({{1, 'e', 'n', 'g'}, kBom, {'d', 0, 0, 0}, kBom, {0x1A, 0x04}})},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(int{c.version});
        tag.Frames.ClearFrames();
        tag.MajorVersion = c.version;
        ASSERT_EQ(tag.SetTextUtf8("TIT2", "\u041A"), kTextDone);
        ASSERT_EQ(tag.SetCommentUtf8({0, "eng", "d", "\u041A"}, "d", "None"), kTextDone);
        EXPECT_EQ(tag.Frames.Data(1), c.title);
        EXPECT_EQ(tag.Frames.Data(2), c.comment);
    }
}

TEST_F(UnicodeFrames, SettersRefuseWhatTheyCannotWriteAndDeleteOnEmpty) {
    const struct {
        const char* name;
        const char* id;
        std::string text;
        const char* language;
        uint8_t held;
        uint8_t titleResult, commentResult;
        uint32_t framesLeft;
    } cases[] = {
        {"not utf8", "TIT2", "a\xC3", "eng", 0, kTextInvalid, kTextInvalid, 2},
        {"zero character", "TIT2", std::string("a\0b", 3), "eng", 0, kTextInvalid, kTextInvalid, 2},
        {"bad identifier", "TXXX", "a", "eng", 0, kTextBadId, kTextDone, 2},
        {"bad language", "TIT2", "a", "\u0430\u043D\u0433", 0, kTextDone, kTextBadLanguage, 2},
        {"short language", "TIT2", "a", "en", 0, kTextDone, kTextBadLanguage, 2},
        {"encrypted", "TIT2", "a", "eng", 0x04, kTextEncrypted, kTextEncrypted, 2},
        {"empty deletes", "TIT2", "", "eng", 0, kTextFrameDeleted, kTextFrameDeleted, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        tag.Frames.ClearFrames();
        Add("TIT2", {0, 'o'}, c.held);
        Add("COMM", {0, 'e', 'n', 'g', 0, 'o'}, c.held);
        EXPECT_EQ(tag.SetTextUtf8(c.id, c.text), c.titleResult);
        EXPECT_EQ(tag.SetCommentUtf8({0, c.language, "", c.text}, "", "None"), c.commentResult);
        EXPECT_EQ(tag.Frames.FrameCount(), c.framesLeft);
    }
}

}  // namespace
