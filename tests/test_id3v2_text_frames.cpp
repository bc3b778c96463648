// Tests of the text decoder and of reading and writing text and comment frames
// on frame tables built in memory.
#include <gtest/gtest.h>

#include <string>

#include "id3v2/id3v2.h"
#include "id3v2/internal.h"

namespace {

using Bytes = std::vector<uint8_t>;
using namespace std::string_literals;
using namespace id3v2;  // the result names

Bytes Concat(std::initializer_list<Bytes> parts) {
    Bytes all;
    for (const Bytes& part : parts) {
        all.insert(all.end(), part.begin(), part.end());
    }
    return all;
}

Bytes Chars(const std::string& text) {
    return {text.begin(), text.end()};
}

// UTF-16 units of a Latin-1 text, little- or big-endian.
Bytes Utf16(const std::string& text, bool bigEndian = false) {
    Bytes units;
    for (char c : text) {
        const uint8_t low = static_cast<uint8_t>(c);
        units.push_back(bigEndian ? 0 : low);
        units.push_back(bigEndian ? low : 0);
    }
    return units;
}

struct Decoded {
    uint8_t result;
    std::string text;
    size_t consumed;
};

Decoded Decode(const Bytes& data, uint8_t encoding, bool multiLine = false, size_t start = 0,
               size_t limit = 0) {
    Decoded d{0, "stale", limit};
    d.result = DecodeText(data, start, d.consumed, encoding, multiLine, d.text);
    return d;
}

TEST(DecodeLatin1, KeepsTheTerminatorAndCountsWhatItRead) {
    const Decoded d = Decode(Concat({Chars("Title"), {0}, Chars("rest")}), 0);
    EXPECT_EQ(d.result, kTextDone);
    EXPECT_EQ(d.text, "Title\0"s);
    EXPECT_EQ(d.consumed, 6u);
}

TEST(DecodeLatin1, ReadsToTheEndOrTheLimit) {
    EXPECT_EQ(Decode(Chars("caf\xE9"), 0).text, "caf\xE9");
    const Decoded limited = Decode(Chars("abcdef"), 0, false, 1, 3);
    EXPECT_EQ(limited.text, "bcd");
    EXPECT_EQ(limited.consumed, 3u);
    EXPECT_EQ(Decode(Chars("abc"), 0, false, 1, 100).text, "bc");
}

TEST(DecodeLatin1, LineBreaksEndASingleLineTextAndStayInAMultiLineOne) {
    const Bytes text = Chars("one\r\ntwo");
    const Decoded single = Decode(text, 0);
    EXPECT_EQ(single.result, kTextDone);
    EXPECT_EQ(single.text, "one\r");
    EXPECT_EQ(Decode(text, 0, true).text, "one\r\ntwo");
}

TEST(DecodeLatin1, OtherControlCharacterInvalidatesASingleLineText) {
    const Decoded d = Decode(Chars("ab\tcd"), 0);
    EXPECT_EQ(d.result, kTextInvalid);
    EXPECT_EQ(d.text, "");
    const Decoded multi = Decode(Chars("ab\tcd"), 0, true);
    EXPECT_EQ(multi.result, kTextDone);
    EXPECT_EQ(multi.text, "ab\t");
}

TEST(DecodeText, StartAtOrPastTheEndIsEmpty) {
    for (size_t start : {3u, 4u, 100u}) {
        const Decoded d = Decode(Chars("abc"), 0, false, start);
        EXPECT_EQ(d.result, kTextEmpty);
        EXPECT_EQ(d.text, "");
    }
    EXPECT_EQ(Decode({}, 1).result, kTextEmpty);
}

TEST(DecodeText, UnknownEncodingIsRefused) {
    for (uint8_t encoding : {4, 5, 8, 10, 255}) {
        const Decoded d = Decode(Chars("abc"), encoding);
        EXPECT_EQ(d.result, kTextUnknownEncoding) << int{encoding};
        EXPECT_EQ(d.text, "");
    }
}

TEST(DecodeUtf16, ByteOrderMarkPicksTheByteOrder) {
    const Decoded little = Decode(Concat({{0xFF, 0xFE}, Utf16("Abc")}), 1);
    EXPECT_EQ(little.result, kTextDone);
    EXPECT_EQ(little.text, "Abc");
    EXPECT_EQ(little.consumed, 8u);
    EXPECT_EQ(Decode(Concat({{0xFE, 0xFF}, Utf16("Abc", true)}), 1).text, "Abc");
}

TEST(DecodeUtf16, MissingOrBadByteOrderMarkIsInvalid) {
    for (const Bytes& data : {Utf16("Abc"), Bytes{0xFF}, Bytes{0xFE, 0xFE, 0x41, 0}}) {
        const Decoded d = Decode(data, 1);
        EXPECT_EQ(d.result, kTextInvalid);
        EXPECT_EQ(d.text, "");
    }
}

TEST(DecodeUtf16, EncodingsTwoAndNineHaveAFixedByteOrder) {
    EXPECT_EQ(Decode(Utf16("Ab\xE9", true), 2).text, "Ab\xE9");
    EXPECT_EQ(Decode(Utf16("Ab\xE9"), 9).text, "Ab\xE9");
    // Read with the wrong order every unit has a non-zero high byte.
    EXPECT_EQ(Decode(Utf16("Ab"), 2).result, kTextReadInPart);
}

TEST(DecodeUtf16, ZeroUnitEndsTheTextAndIsCounted) {
    const Decoded d = Decode(Concat({{0xFF, 0xFE}, Utf16("ab"), {0, 0}, Utf16("cd")}), 1);
    EXPECT_EQ(d.result, kTextDone);
    EXPECT_EQ(d.text, "ab");
    EXPECT_EQ(d.consumed, 8u);
}

TEST(DecodeUtf16, CharacterBeyondLatin1KeepsTheTextSoFar) {
    // A, Cyrillic small de (U+0434), b
    const Decoded d = Decode({0xFF, 0xFE, 0x41, 0x00, 0x34, 0x04, 0x62, 0x00}, 1);
    EXPECT_EQ(d.result, kTextReadInPart);
    EXPECT_EQ(d.text, "A");
}

TEST(DecodeUtf16, ControlUnitInvalidatesEvenInMultiLineMode) {
    for (bool multiLine : {false, true}) {
        const Decoded d = Decode(Concat({{0xFF, 0xFE}, Utf16("a\nb")}), 1, multiLine);
        EXPECT_EQ(d.result, kTextInvalid);
        EXPECT_EQ(d.text, "");
    }
}

TEST(DecodeUtf16, OddTrailingByteAndLimitEndTheText) {
    const Decoded odd = Decode({0x41, 0x00, 0x42}, 9);
    EXPECT_EQ(odd.text, "A");
    EXPECT_EQ(odd.consumed, 2u);
    const Decoded limited = Decode(Utf16("abcd"), 9, false, 0, 5);
    EXPECT_EQ(limited.text, "ab");
    EXPECT_EQ(limited.consumed, 4u);
}

TEST(DecodeUtf8, TwoByteSequencesGiveLatin1Characters) {
    const Decoded d = Decode({'c', 'a', 'f', 0xC3, 0xA9, 0xC2, 0xA0}, 3);
    EXPECT_EQ(d.result, kTextDone);
    EXPECT_EQ(d.text, "caf\xE9\xA0");
    EXPECT_EQ(d.consumed, 7u);
}

TEST(DecodeUtf8, LoneContinuationByteKeepsItsLowBits) {
    EXPECT_EQ(Decode({'a', 0xA9, 'b'}, 3).text, "a)b");
}

TEST(DecodeUtf8, TerminatorIsKeptAndCounted) {
    const Decoded d = Decode({'a', 'b', 0, 'c'}, 3);
    EXPECT_EQ(d.result, kTextDone);
    EXPECT_EQ(d.text, "ab\0"s);
    EXPECT_EQ(d.consumed, 3u);
}

TEST(DecodeUtf8, CutOffSequenceKeepsTheTextSoFar) {
    const Decoded d = Decode({'a', 'b', 0xC3}, 3);
    EXPECT_EQ(d.result, kTextInvalid);
    EXPECT_EQ(d.text, "ab");
    // The limit cuts the sequence just as the end of the data does.
    const Decoded limited = Decode({'a', 0xC3, 0xA9}, 3, false, 0, 2);
    EXPECT_EQ(limited.result, kTextInvalid);
    EXPECT_EQ(limited.text, "a");
}

TEST(DecodeUtf8, CharacterBeyondLatin1KeepsTheTextSoFar) {
    const Decoded d = Decode({'a', 'b', 0xD0, 0xB4, 'c'}, 3);
    EXPECT_EQ(d.result, kTextReadInPart);
    EXPECT_EQ(d.text, "ab");
}

TEST(DecodeUtf8, LineBreakInvalidatesEvenInMultiLineMode) {
    for (bool multiLine : {false, true}) {
        const Decoded d = Decode(Chars("a\nb"), 3, multiLine);
        EXPECT_EQ(d.result, kTextInvalid);
        EXPECT_EQ(d.text, "");
    }
}

// A tag whose frame table the tests fill by hand.
class TextFrames : public testing::Test {
  protected:
    uint32_t Add(const std::string& id, const Bytes& data) {
        const uint32_t i = tag.Frames.AddFrame(id);
        tag.Frames.Data(i) = data;
        return i;
    }
    uint32_t AddText(const std::string& id, const std::string& text) {
        return Add(id, Concat({{0}, Chars(text)}));
    }
    std::string Text(const std::string& id, uint8_t expectedResult = kTextDone) {
        std::string text = "stale";
        EXPECT_EQ(tag.GetText(id, text), expectedResult) << id;
        return text;
    }
    Tid3v2tag tag;
};

TEST_F(TextFrames, GetTextDecodesTheFirstFrameWithTheIdentifier) {
    AddText("TPE1", "Artist");
    AddText("TIT2", "Title");
    AddText("TIT2", "Other");
    EXPECT_EQ(Text("TIT2"), "Title");
    EXPECT_EQ(Text("TPE1"), "Artist");
}

TEST_F(TextFrames, GetTextKeepsAStoredTerminator) {
    AddText("TIT2", "Title"s + '\0');
    EXPECT_EQ(Text("TIT2"), "Title\0"s);
}

TEST_F(TextFrames, GetTextReportsATextThatStopsBeforeMoreOfTheFrame) {
    AddText("TPE1", "One"s + '\0' + "Two");
    AddText("TIT2", "Line\r\nbreak");
    Add("TALB", Concat({{1, 0xFF, 0xFE}, Utf16("A"), {0, 0}, Utf16("B")}));
    AddText("TCON", "Rock"s + '\0' + '\0');
    EXPECT_EQ(Text("TPE1", kTextReadInPart), "One\0"s);
    EXPECT_EQ(Text("TIT2", kTextReadInPart), "Line\r");
    EXPECT_EQ(Text("TALB", kTextReadInPart), "A");
    EXPECT_EQ(Text("TCON"), "Rock\0"s);  // only zero bytes follow
}

TEST_F(TextFrames, GetTextUsesTheFrameEncoding) {
    Add("TALB", Concat({{1, 0xFF, 0xFE}, Utf16("Album")}));
    Add("TPE1", Concat({{3}, {'B', 'j', 0xC3, 0xB6, 'r', 'k'}}));
    Add("TCON", Chars("\x07Rock"));
    EXPECT_EQ(Text("TALB"), "Album");
    EXPECT_EQ(Text("TPE1"), "Bj\xF6rk");
    EXPECT_EQ(Text("TCON", kTextUnknownEncoding), "");
}

TEST_F(TextFrames, GetTextWithoutTheFrameReportsNoFrame) {
    AddText("TPE1", "Artist");
    EXPECT_EQ(Text("TIT2", kTextNoFrame), "");
}

TEST_F(TextFrames, GetTextRefusesIdentifiersThatAreNotTextFrames) {
    AddText("TXXX", "x");
    Add("COMM", {0, 'e', 'n', 'g', 0, 'x'});
    for (const char* id : {"TXXX", "COMM", "TIT", "TIT22", "", "tit2"}) {
        EXPECT_EQ(Text(id, kTextBadId), "");
    }
}

TEST_F(TextFrames, GetTextOfEmptyFrameOrBareEncodingByteIsEmpty) {
    Add("TIT2", {});
    Add("TPE1", {0});
    EXPECT_EQ(Text("TIT2", kTextEmpty), "");
    EXPECT_EQ(Text("TPE1", kTextEmpty), "");
}

TEST_F(TextFrames, GetTextLeavesTheFrameDecodedWithItsWantedFlags) {
    const std::string title = "Ti\xFF\xE9tle";  // 0xFF 0xE9 needs an unsynchronisation byte
    const uint32_t i = AddText("TIT2", title);
    tag.Frames.SetWantedFlags(i, 2, 0x0B);
    ASSERT_EQ(tag.Frames.CompressFrame(i, 2), kFrameDone);
    ASSERT_EQ(tag.Frames.Unsynchronise(i), kFrameDone);

    EXPECT_EQ(Text("TIT2"), title);
    EXPECT_EQ(tag.Frames.State(i, 2), 0);
    EXPECT_EQ(tag.Frames.WantedFlags(i, 2), 0x0B);
    EXPECT_EQ(tag.Frames.Data(i), Concat({{0}, Chars(title)}));
}

TEST_F(TextFrames, GetTextRefusesEncryptedFramesAndLeavesThem) {
    const uint32_t i = AddText("TIT2", "secret");
    tag.Frames.SetWantedFlags(i, 2, 0x06);
    tag.Frames.SetState(i, 2, 0x06);
    const Bytes stored = tag.Frames.Data(i);
    EXPECT_EQ(Text("TIT2", kTextEncrypted), "");
    EXPECT_EQ(tag.Frames.Data(i), stored);
    EXPECT_EQ(tag.Frames.State(i, 2), 0x06);
}

TEST_F(TextFrames, GetTextReadsAFrameThatFailsToDecompressAsStored) {
    const uint32_t i = AddText("TIT2", "not zlib");
    tag.Frames.SetWantedFlags(i, 2, 0x08);
    tag.Frames.SetState(i, 2, 0x08);
    EXPECT_EQ(Text("TIT2"), "not zlib");
    EXPECT_TRUE(tag.Frames.IsCompressed(i));
}

TEST_F(TextFrames, SetTextAddsAFrameWithEncodingZero) {
    EXPECT_EQ(tag.SetText("TIT2", "Caf\xE9"), kTextDone);
    ASSERT_EQ(tag.Frames.FrameCount(), 1u);
    EXPECT_EQ(tag.Frames.Id(1), "TIT2");
    EXPECT_EQ(tag.Frames.Data(1), Concat({{0}, Chars("Caf\xE9")}));
    EXPECT_EQ(Text("TIT2"), "Caf\xE9");
}

TEST_F(TextFrames, SetTextReplacesTheDataAndKeepsTheFlags) {
    const Bytes plain = Concat({{1, 0xFF, 0xFE}, Utf16("Old")});
    const Bytes packed = CompressBuffer(plain.data(), plain.size(), 2);
    const uint32_t i = Add("TIT2", packed);
    tag.Frames.SetState(i, 2, 0x09);
    tag.Frames.SetWantedFlags(i, 1, 0x40);
    tag.Frames.SetWantedFlags(i, 2, 0x09);
    tag.Frames.SetDataLength(i, static_cast<uint32_t>(plain.size()));

    EXPECT_EQ(tag.SetText("TIT2", "New"), kTextDone);
    EXPECT_EQ(tag.Frames.FrameCount(), 1u);
    EXPECT_EQ(tag.Frames.Data(i), Concat({{0}, Chars("New")}));
    EXPECT_EQ(tag.Frames.State(i, 2), 0);
    EXPECT_EQ(tag.Frames.WantedFlags(i, 1), 0x40);
    EXPECT_EQ(tag.Frames.WantedFlags(i, 2), 0x09);
    EXPECT_EQ(tag.Frames.DataLength(i), plain.size());
}

TEST_F(TextFrames, SetTextWithEmptyTextDeletesTheFrame) {
    AddText("TPE1", "Artist");
    AddText("TIT2", "Title");
    EXPECT_EQ(tag.SetText("TIT2", ""), kTextFrameDeleted);
    ASSERT_EQ(tag.Frames.FrameCount(), 1u);
    EXPECT_EQ(tag.Frames.Id(1), "TPE1");
    EXPECT_EQ(tag.SetText("TIT2", ""), kTextDone);
    EXPECT_EQ(tag.Frames.FrameCount(), 1u);
}

TEST_F(TextFrames, SetTextRefusesBadIdentifiersAndAddsNothing) {
    for (const char* id : {"TXXX", "COMM", "TIT", "T-X1", "T 12"}) {
        EXPECT_EQ(tag.SetText(id, "x"), kTextBadId) << id;
    }
    EXPECT_EQ(tag.Frames.FrameCount(), 0u);
}

TEST_F(TextFrames, SetTextAddsALowerCaseIdentifierInUpperCase) {
    EXPECT_EQ(tag.SetText("Tit2", "x"), kTextDone);
    EXPECT_EQ(tag.Frames.Id(1), "TIT2");
}

TEST_F(TextFrames, SetTextLeavesEncryptedFramesAlone) {
    const uint32_t i = AddText("TIT2", "secret");
    tag.Frames.SetState(i, 2, 0x04);
    tag.Frames.SetWantedFlags(i, 2, 0x04);
    EXPECT_EQ(tag.SetText("TIT2", "plain"), kTextEncrypted);
    EXPECT_EQ(tag.SetText("TIT2", ""), kTextEncrypted);
    EXPECT_EQ(tag.Frames.FrameCount(), 1u);
    EXPECT_EQ(tag.Frames.Data(i), Concat({{0}, Chars("secret")}));
}

// Comment frame data: encoding, language, description bytes (with their
// terminator), text bytes.
Bytes Comment(uint8_t encoding, const std::string& language, const Bytes& description,
              const Bytes& text) {
    return Concat({{encoding}, Chars(language), description, text});
}

Bytes Latin1Comment(const std::string& language, const std::string& description,
                    const std::string& text) {
    return Comment(0, language, Concat({Chars(description), {0}}), Chars(text));
}

class CommentFrames : public TextFrames {
  protected:
    COMM Get(const std::string& description, const std::string& language,
             uint8_t expectedResult = kTextDone) {
        COMM value{7, "old", "old", "old"};
        EXPECT_EQ(tag.GetComment(value, description, language), expectedResult);
        return value;
    }
};

TEST_F(CommentFrames, GetCommentFillsTheValueOfTheMatchingFrame) {
    Add("COMM", Latin1Comment("eng", "", "Nice\r\nsong"));
    const COMM value = Get("", "None");
    EXPECT_EQ(value.Encoding, 0);
    EXPECT_EQ(value.Language, "eng");
    EXPECT_EQ(value.Description, "");
    EXPECT_EQ(value.Text, "Nice\r\nsong");
}

TEST_F(CommentFrames, DescriptionMustMatchExactly) {
    Add("COMM", Latin1Comment("eng", "note", "first"));
    Add("COMM", Latin1Comment("eng", "", "second"));
    Add("COMM", Latin1Comment("eng", "Note", "third"));
    EXPECT_EQ(Get("", "None").Text, "second");
    EXPECT_EQ(Get("note", "None").Text, "first");
    EXPECT_EQ(Get("Note", "None").Text, "third");
    const COMM none = Get("no", "None", kTextNoFrame);
    EXPECT_EQ(none.Text, "");
    EXPECT_EQ(none.Language, "");
    EXPECT_EQ(none.Description, "Note");  // the last description examined
}

TEST_F(CommentFrames, ThreeCharacterLanguageMustMatchOthersMatchAny) {
    Add("COMM", Latin1Comment("deu", "", "deutsch"));
    Add("COMM", Latin1Comment("eng", "", "english"));
    EXPECT_EQ(Get("", "eng").Text, "english");
    EXPECT_EQ(Get("", "deu").Text, "deutsch");
    EXPECT_EQ(Get("", "None").Text, "deutsch");
    EXPECT_EQ(Get("", "").Text, "deutsch");
    EXPECT_EQ(Get("", "ENG", kTextNoFrame).Text, "");
}

TEST_F(CommentFrames, MultiLineCommentInEachEncoding) {
    Add("COMM", Latin1Comment("eng", "latin", "a\nb"));
    Add("COMM", Comment(1, "eng", Concat({{0xFF, 0xFE}, Utf16("utf16"), {0, 0}}),
                        Concat({{0xFF, 0xFE}, Utf16("a\nb")})));
    Add("COMM", Comment(2, "eng", Concat({Utf16("be", true), {0, 0}}), Utf16("a\nb", true)));
    Add("COMM", Comment(3, "eng", Concat({Chars("utf8"), {0}}), Chars("a\nb")));
    Add("COMM", Comment(9, "eng", Concat({Utf16("le"), {0, 0}}), Utf16("a\nb")));
    EXPECT_EQ(Get("latin", "None").Text, "a\nb");
    for (const char* description : {"utf16", "be", "utf8", "le"}) {
        const COMM value = Get(description, "None", kTextInvalid);
        EXPECT_EQ(value.Text, "") << description;
        EXPECT_EQ(value.Language, "eng");
    }
}

TEST_F(CommentFrames, CommentTextThatStopsBeforeMoreOfTheFrameIsReadInPart) {
    Add("COMM", Latin1Comment("eng", "", "tab\there"));
    Add("COMM", Latin1Comment("eng", "end", "text"s + '\0'));
    EXPECT_EQ(Get("", "None", kTextReadInPart).Text, "tab\t");
    EXPECT_EQ(Get("end", "None").Text, "text\0"s);
}

TEST_F(CommentFrames, UnicodeCommentsDecodeAfterTheirDescription) {
    Add("COMM", Comment(1, "eng", Concat({{0xFE, 0xFF}, Utf16("d", true), {0, 0}}),
                        Concat({{0xFF, 0xFE}, Utf16("Hello")})));
    Add("COMM", Comment(3, "eng", {'n', 0xC3, 0xA9, 0}, {'c', 0xC3, 0xA9}));
    const COMM utf16 = Get("d", "eng");
    EXPECT_EQ(utf16.Encoding, 1);
    EXPECT_EQ(utf16.Text, "Hello");
    EXPECT_EQ(Get("n\xE9", "eng").Text, "c\xE9");
}

TEST_F(CommentFrames, UnreadableCommentStopsTheSearch) {
    Add("COMM", {0, 'e', 'n', 'g'});  // nothing after the language
    Add("COMM", Latin1Comment("eng", "", "never reached"));
    EXPECT_EQ(Get("", "None", kTextEmpty).Text, "");

    tag.Frames.ClearFrames();
    const uint32_t secret = Add("COMM", Latin1Comment("eng", "", "secret"));
    tag.Frames.SetState(secret, 2, 0x04);
    Add("COMM", Latin1Comment("eng", "", "never reached"));
    EXPECT_EQ(Get("", "None", kTextEncrypted).Text, "");

    tag.Frames.ClearFrames();
    Add("COMM", Comment(1, "eng", {'x', 0}, {}));  // no byte order mark
    EXPECT_EQ(Get("", "None", kTextInvalid).Text, "");
}

TEST_F(CommentFrames, CommentWithoutTextIsEmpty) {
    Add("COMM", Latin1Comment("eng", "", ""));
    EXPECT_EQ(Get("", "None", kTextEmpty).Language, "eng");
}

TEST_F(CommentFrames, SetCommentReplacesTheMatchingFrame) {
    Add("COMM", Latin1Comment("deu", "", "alt"));
    EXPECT_EQ(tag.SetComment({0, "ENG", "", "hello"}, "", "None"), kTextDone);
    ASSERT_EQ(tag.Frames.FrameCount(), 1u);
    EXPECT_EQ(tag.Frames.Data(1), Concat({{0}, Chars("ENG"), {0}, Chars("hello")}));
    EXPECT_EQ(tag.Frames.State(1, 2), 0);
}

TEST_F(CommentFrames, SetCommentAddsAFrameWhenNoneMatches) {
    Add("COMM", Latin1Comment("eng", "note", "kept"));
    EXPECT_EQ(tag.SetComment({0, "eng", "", "new"}, "", "None"), kTextDone);
    ASSERT_EQ(tag.Frames.FrameCount(), 2u);
    EXPECT_EQ(tag.Frames.Id(2), "COMM");
    EXPECT_EQ(Get("", "None").Text, "new");
    EXPECT_EQ(Get("note", "None").Text, "kept");
}

TEST_F(CommentFrames, SetCommentWritesTheValueDescriptionWithOneTerminator) {
    EXPECT_EQ(tag.SetComment({3, "fin", "desc", "text"}, "", "None"), kTextDone);
    EXPECT_EQ(tag.Frames.Data(1), Concat({{3}, Chars("fin"), Chars("desc"), {0}, Chars("text")}));
    EXPECT_EQ(tag.SetComment({0, "fin", "desc"s + '\0', "more"}, "desc", "fin"), kTextDone);
    EXPECT_EQ(tag.Frames.Data(1), Concat({{0}, Chars("fin"), Chars("desc"), {0}, Chars("more")}));
}

TEST_F(CommentFrames, SetThenGetRoundTrips) {
    const COMM written{0, "eng", "", "line one\r\nline two"};
    ASSERT_EQ(tag.SetComment(written, "", "None"), kTextDone);
    const COMM read = Get("", "None");
    EXPECT_EQ(read.Encoding, written.Encoding);
    EXPECT_EQ(read.Language, written.Language);
    EXPECT_EQ(read.Text, written.Text);
}

TEST_F(CommentFrames, SetCommentWithEmptyTextDeletesTheMatchingFrame) {
    Add("COMM", Latin1Comment("eng", "note", "kept"));
    Add("COMM", Latin1Comment("eng", "", "gone"));
    EXPECT_EQ(tag.SetComment({0, "eng", "", ""}, "", "None"), kTextFrameDeleted);
    ASSERT_EQ(tag.Frames.FrameCount(), 1u);
    EXPECT_EQ(tag.SetComment({0, "eng", "", ""}, "", "None"), kTextDone);
    EXPECT_EQ(tag.Frames.FrameCount(), 1u);
}

TEST_F(CommentFrames, SetCommentChecksEncodingAndLanguage) {
    for (bool existing : {false, true}) {
        tag.Frames.ClearFrames();
        if (existing) {
            Add("COMM", Latin1Comment("eng", "", "old"));
        }
        EXPECT_EQ(tag.SetComment({4, "eng", "", "x"}, "", "None"), kTextBadCommentEncoding);
        EXPECT_EQ(tag.SetComment({0, "en", "", "x"}, "", "None"), kTextBadLanguage);
        EXPECT_EQ(tag.SetComment({0, "e\tg", "", "x"}, "", "None"), kTextBadLanguage);
        EXPECT_EQ(tag.Frames.FrameCount(), existing ? 1u : 0u);
    }
    // The checks come before a deletion too.
    EXPECT_EQ(tag.SetComment({4, "eng", "", ""}, "", "None"), kTextBadCommentEncoding);
    EXPECT_EQ(tag.Frames.FrameCount(), 1u);
}

TEST_F(CommentFrames, SetCommentStopsAtAnUnreadableComment) {
    Add("COMM", Comment(6, "eng", {0}, Chars("odd encoding")));
    EXPECT_EQ(tag.SetComment({0, "eng", "", "x"}, "", "None"), kTextUnknownEncoding);
    EXPECT_EQ(tag.Frames.FrameCount(), 1u);
}

TEST_F(CommentFrames, SetCommentReplacesACompressedFrame) {
    const uint32_t i = Add("COMM", Latin1Comment("eng", "", "old"));
    tag.Frames.SetWantedFlags(i, 2, 0x09);
    ASSERT_EQ(tag.Frames.CompressFrame(i, 2), kFrameDone);
    EXPECT_EQ(tag.SetComment({0, "eng", "", "new"}, "", "eng"), kTextDone);
    EXPECT_EQ(tag.Frames.Data(i), Latin1Comment("eng", "", "new"));
    EXPECT_EQ(tag.Frames.State(i, 2), 0);
    EXPECT_EQ(tag.Frames.WantedFlags(i, 2), 0x09);
}

}  // namespace
