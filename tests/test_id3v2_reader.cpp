// The tag reader: every load code and warning, what each outcome leaves in the
// tag object, extended headers, padding, frame extras, and the read ring
// (refills, wrapping, de-unsynchronisation across refills).
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <random>

#include "id3v2/id3v2.h"
#include "id3v2/internal.h"
#include "tests/helpers/mp3_files.h"

using namespace testing_mp3;
using id3v2::FoundNoTag;
using id3v2::kBadFrameId;
using id3v2::kBadVersion;
using id3v2::kCannotOpen;
using id3v2::kCorrupt;
using id3v2::kIoFailed;
using id3v2::kNoTag;
using id3v2::kOffsetPastEnd;
using id3v2::kReadFailed;
using id3v2::kRevisionRefused;
using id3v2::kTagPastEnd;
using id3v2::kWarnExtendedHeader;
using id3v2::kWarnHeaderFlags;
using id3v2::kWarnJunkAfterFrames;
using id3v2::kWarnPaddingDiffers;
using id3v2::kWarnRevision;
using id3v2::ResultWord;

namespace {

// Bytes rich in 0xFF, 0x00 and 0xE0.. so that unsynchronisation has work.
Bytes SyncRich(size_t size, uint32_t seed) {
    std::mt19937 random(seed);
    const uint8_t pick[] = {0xFF, 0xFF, 0x00, 0xE0, 0xFE, 0x41, 0x00, 0x12};
    Bytes data(size);
    for (uint8_t& byte : data) {
        byte = pick[random() % std::size(pick)];
    }
    return data;
}

Bytes Counting(size_t size) {
    Bytes data(size);
    for (size_t i = 0; i < size; ++i) {
        data[i] = static_cast<uint8_t>(i * 7 % 251);
    }
    return data;
}

// The unsynchronisation scheme over a whole body, through the frame table.
Bytes Unsync(const Bytes& plain) {
    TFrameIndex scratch;
    scratch.AddFrame("XXXX");
    scratch.Data(1) = plain;
    scratch.Unsynchronise(1);
    return scratch.Data(1);
}

// A version-3 tag whose body (frames and padding) is unsynchronised as a whole.
Bytes UnsyncV3Tag(const std::vector<Bytes>& frames, uint32_t padding = 0) {
    Bytes body = Concat(frames);
    body.resize(body.size() + padding, 0);
    const Bytes raw = Unsync(body);
    return Concat({TagHeader(3, static_cast<uint32_t>(raw.size()), 0x80), raw});
}

Bytes Be32(uint32_t v) {
    Bytes b(4);
    id3v2::WriteBigEndian32(b.data(), v);
    return b;
}

Bytes Syncsafe32(uint32_t v) {
    Bytes b(4);
    id3v2::WriteSyncsafe32(b.data(), v);
    return b;
}

class Reader : public ::testing::Test {
  protected:
    // Writes `prefix` and a little audio into a file and loads it.
    uint16_t Load(const Bytes& prefix, int64_t offset = 0) {
        WriteMp3(path, prefix, 3);
        return tag.LoadFromFile(path, offset);
    }
    // Writes exactly `bytes` into the file and loads it.
    uint16_t LoadExact(const Bytes& bytes) {
        WriteFile(path, bytes);
        return tag.LoadFromFile(path, 0);
    }
    void ExpectFrames(const std::vector<std::pair<std::string, Bytes>>& expected) {
        ASSERT_EQ(tag.Frames.FrameCount(), expected.size());
        for (uint32_t i = 1; i <= expected.size(); ++i) {
            EXPECT_EQ(tag.Frames.Id(i), expected[i - 1].first) << i;
            EXPECT_EQ(tag.Frames.Data(i), expected[i - 1].second) << i;
        }
    }
    // A tag object that has loaded one frame, to see what a failed load leaves.
    void LoadPrevious() { ASSERT_EQ(Load(Tag(4, {Frame(4, "TALB", Latin1Text("old"))}, 20)), 0); }

    TempDir dir;
    std::string path = dir.File("a.mp3");
    Tid3v2tag tag;
};

}  // namespace

// --- Codes before the tag header -------------------------------------------

TEST_F(Reader, MissingFileIsCode01AndChangesNothing) {
    LoadPrevious();
    const uint16_t previous = tag.LastResult;
    tag.ReadOnlyFile = 7;
    EXPECT_EQ(tag.LoadFromFile(dir.File("none.mp3"), 0), ResultWord(kCannotOpen));
    EXPECT_EQ(tag.FileName, path);
    EXPECT_EQ(tag.ReadOnlyFile, 7);
    EXPECT_EQ(tag.LastResult, previous);
    EXPECT_EQ(tag.Frames.FrameCount(), 1u);
}

TEST_F(Reader, EntryThatCannotBeOpenedIsCode01AndSetsOnlyReadOnlyFile) {
    LoadPrevious();
    const std::string hidden = dir.File(".folder.mp3");
    std::filesystem::create_directory(hidden);
    EXPECT_EQ(tag.LoadFromFile(hidden, 0), ResultWord(kCannotOpen));
    EXPECT_EQ(tag.ReadOnlyFile, 1);  // hidden
    EXPECT_EQ(tag.FileName, path);
    EXPECT_EQ(tag.Frames.FrameCount(), 1u);
}

// A caller may start a new tag only where a file has none at all.
TEST_F(Reader, FoundNoTagOnlyForAFileWithoutAnyTag) {
    EXPECT_TRUE(FoundNoTag(Load({})));
    EXPECT_TRUE(FoundNoTag(LoadExact({})));
    EXPECT_FALSE(FoundNoTag(Load(Tag(3, {Frame(3, "TIT2", Latin1Text("x"))}))));
    EXPECT_FALSE(FoundNoTag(Load(TagHeader(2, 0))));
    EXPECT_FALSE(FoundNoTag(tag.LoadFromFile(dir.File("none.mp3"), 0)));
}

TEST_F(Reader, OffsetAtOrPastTheEndIsCode08) {
    LoadPrevious();
    WriteFile(path, Bytes(50, 0));
    ::chmod(path.c_str(), 0444);
    EXPECT_EQ(tag.LoadFromFile(path, 50), ResultWord(kOffsetPastEnd));
    EXPECT_EQ(tag.ReadOnlyFile, 1);
    EXPECT_EQ(tag.LoadFromFile(path, 51), ResultWord(kOffsetPastEnd));
    WriteFile(dir.File("empty.mp3"), {});
    EXPECT_EQ(tag.LoadFromFile(dir.File("empty.mp3"), 0), ResultWord(kOffsetPastEnd));
    EXPECT_EQ(tag.Frames.FrameCount(), 1u);
    EXPECT_EQ(tag.LastResult, 0);
}

TEST_F(Reader, NegativeOffsetIsAnInputOutputError) {
    EXPECT_EQ(Load(Tag(3, {Frame(3, "TIT2", Latin1Text("x"))}, 10), -1), ResultWord(kIoFailed));
}

// A sysfs file claims 4096 bytes but holds a few, so reading the header fails.
TEST_F(Reader, ReadFailureIsCode03) {
    const std::string shortRead = "/sys/devices/system/cpu/possible";
    std::error_code error;
    if (std::filesystem::file_size(shortRead, error) != 4096) {
        GTEST_SKIP() << shortRead << " is not a short sysfs file here";
    }
    EXPECT_EQ(tag.LoadFromFile(shortRead, 0), ResultWord(kReadFailed));
}

TEST_F(Reader, ReadOnlyFileReflectsTheAttributes) {
    const Bytes file = Tag(3, {Frame(3, "TIT2", Latin1Text("x"))}, 10);
    EXPECT_EQ(Load(file), 0);
    EXPECT_EQ(tag.ReadOnlyFile, 0);
    ::chmod(path.c_str(), 0444);
    EXPECT_EQ(tag.LoadFromFile(path, 0), 0);
    EXPECT_EQ(tag.ReadOnlyFile, 1);
    WriteMp3(dir.File(".hidden.mp3"), file);
    EXPECT_EQ(tag.LoadFromFile(dir.File(".hidden.mp3"), 0), 0);
    EXPECT_EQ(tag.ReadOnlyFile, 1);
}

// --- The tag header ---------------------------------------------------------

TEST_F(Reader, NoTagHeaderIsCode10AndLeavesTheTagLoading) {
    LoadPrevious();
    const Bytes bad[] = {
        ToBytes("ID3\x03"),                          // fewer than 10 bytes
        ToBytes("ABC\x03\x00\x00\x00\x00\x00\x10"),  // magic
        {'I', 'D', '3', 3, 0, 0, 0, 0, 0x80, 0},     // size byte 0x80
        {'I', 'D', '3', 0xFF, 0, 0, 0, 0, 0, 0},     // version 0xFF
        {'I', 'D', '3', 3, 0xFF, 0, 0, 0, 0, 0},     // revision 0xFF
    };
    for (const Bytes& bytes : bad) {
        EXPECT_EQ(LoadExact(bytes), ResultWord(kNoTag));
        EXPECT_EQ(tag.FileName, path);
        EXPECT_EQ(tag.Complete, 0);
        EXPECT_EQ(tag.Progress, 0);
        EXPECT_EQ(tag.Status, "Loading tag");
        EXPECT_EQ(tag.LastResult, 0);
        EXPECT_EQ(tag.MajorVersion, 4);
        EXPECT_EQ(tag.Frames.FrameCount(), 1u);
    }
    // The ten bytes are counted from the offset.
    WriteFile(path, Concat({Bytes(5, 0), TagHeader(3, 0)}));
    EXPECT_EQ(tag.LoadFromFile(path, 6), ResultWord(kNoTag));
}

TEST_F(Reader, OtherVersionsAreCode11WithVersionAndOffsetTaken) {
    LoadPrevious();
    // Version 2.2 is read (test_interop_conversion.cpp); version 1 never was one.
    for (uint8_t version : {uint8_t{1}, uint8_t{5}}) {
        EXPECT_EQ(Load(Concat({Bytes(7, 'x'), TagHeader(version, 0, 0, 1)}), 7),
                  ResultWord(kBadVersion));
        EXPECT_EQ(tag.MajorVersion, version);
        EXPECT_EQ(tag.Revision, 1);
        EXPECT_EQ(tag.TagOffset, 7u);
        EXPECT_EQ(tag.LastResult, 0);
        EXPECT_EQ(tag.Frames.FrameCount(), 1u);
    }
}

TEST_F(Reader, NonZeroRevisionWarnsOrIsRefused) {
    Bytes file = Tag(3, {Frame(3, "TIT2", Latin1Text("x"))}, 10);
    file[4] = 1;
    EXPECT_EQ(Load(file), kWarnRevision);
    EXPECT_EQ(tag.Revision, 1);
    EXPECT_EQ(tag.LastResult, kWarnRevision);
    tag.AcceptRevisions = 0;
    EXPECT_EQ(tag.LoadFromFile(path, 0), ResultWord(kRevisionRefused));
    EXPECT_EQ(tag.LastResult, kWarnRevision);
}

TEST_F(Reader, UndefinedHeaderFlagsWarn) {
    const Bytes frame = Frame(3, "TIT2", Latin1Text("x"));
    EXPECT_EQ(Load(Tag(3, {frame}, 10, 0x01)), kWarnHeaderFlags);
    EXPECT_EQ(tag.Flags, 0);  // undefined bits are never stored
    EXPECT_EQ(Load(Tag(3, {frame}, 10, 0x10)), kWarnHeaderFlags);
    EXPECT_EQ(Load(Tag(4, {Frame(4, "TIT2", Latin1Text("x"))}, 10, 0x10)), 0);
    EXPECT_EQ(tag.Flags, 0x10);
    EXPECT_EQ(Load(Tag(4, {Frame(4, "TIT2", Latin1Text("x"))}, 10, 0x28)), kWarnHeaderFlags);
    EXPECT_EQ(tag.Flags, 0x20);
}

TEST_F(Reader, TagReachingPastTheFileIsCode20AndKeepsThePreviousFrames) {
    LoadPrevious();
    const Bytes file = Tag(3, {Frame(3, "TIT2", Latin1Text("abc"))}, 10, 0x20);
    Bytes cut(file.begin(), file.end() - 1);
    EXPECT_EQ(LoadExact(cut), ResultWord(kTagPastEnd));
    EXPECT_EQ(tag.TagSize, file.size() - 10);
    EXPECT_EQ(tag.Flags, 0x20);
    EXPECT_EQ(tag.LastResult, ResultWord(kTagPastEnd));
    EXPECT_EQ(tag.Complete, 1);
    EXPECT_EQ(tag.Progress, 100);
    EXPECT_EQ(tag.Status, "Load Complete");
    ExpectFrames({{"TALB", Latin1Text("old")}});

    EXPECT_EQ(LoadExact(file), 0);  // ending exactly at the end of the file
    ExpectFrames({{"TIT2", Latin1Text("abc")}});
}

// --- Success and what it leaves ---------------------------------------------

TEST_F(Reader, LoadsFramesInOrderWithOffsetsAndFlags) {
    tag.Modified = 1;
    const Bytes file =
        Concat({Bytes(100, 0xAA), Tag(3,
                                      {
                                          Frame(3, "TIT2", Latin1Text("Title")),
                                          Frame(3, "TPE1", Latin1Text("Artist"), 0xE0),
                                          Frame(3, "tyer", Latin1Text("2024")),
                                      },
                                      30)});
    EXPECT_EQ(Load(file, 100), 0);
    EXPECT_EQ(tag.LastResult, 0);
    EXPECT_EQ(tag.Complete, 1);
    EXPECT_EQ(tag.Progress, 100);
    EXPECT_EQ(tag.Status, "Load Complete");
    EXPECT_EQ(tag.Modified, 0);
    EXPECT_EQ(tag.MajorVersion, 3);
    EXPECT_EQ(tag.TagOffset, 100u);
    EXPECT_EQ(tag.FileName, path);
    EXPECT_EQ(tag.PaddingSize, 30u);
    ExpectFrames({{"TIT2", Latin1Text("Title")},
                  {"TPE1", Latin1Text("Artist")},
                  {"TYER", Latin1Text("2024")}});
    EXPECT_EQ(tag.Frames.FrameOffset(1), 10u);
    EXPECT_EQ(tag.Frames.FrameOffset(2), 26u);
    EXPECT_EQ(tag.Frames.FrameOffset(3), 43u);
    // Version-3 status flags move to version-4 positions.
    EXPECT_EQ(tag.Frames.State(2, 1), 0x70);
    EXPECT_EQ(tag.Frames.WantedFlags(2, 1), 0x70);
    EXPECT_EQ(tag.Frames.State(1, 2), 0);
}

TEST_F(Reader, Version3LoadClearsWhatAVersion4TagLeft) {
    tag.Flags = 0x10;
    tag.ExtendedFlags = 0x70;
    tag.Restrictions = 5;
    EXPECT_EQ(Load(Tag(3, {Frame(3, "TIT2", Latin1Text("x"))}, 10)), 0);
    EXPECT_EQ(tag.Flags, 0);
    EXPECT_EQ(tag.ExtendedFlags, 0);
    EXPECT_EQ(tag.Restrictions, 0);
}

TEST_F(Reader, ExtendedHeaderFlagWithTooFewBytesReadsAsNoExtendedHeader) {
    tag.PaddingSize = 9;
    tag.Crc = 9;
    // Version 3: ten body bytes are not more than ten.
    EXPECT_EQ(Load(Tag(3, {}, 10, 0x40)), 0);
    EXPECT_TRUE(tag.ExtendedHeader());
    EXPECT_EQ(tag.ExtendedHeaderSize, 0u);
    EXPECT_EQ(tag.PaddingSize, 10u);
    EXPECT_EQ(tag.Crc, 0u);
    // Version 4: six body bytes are not more than six.
    tag.ExtendedFlags = 0x70;
    EXPECT_EQ(Load(Tag(4, {}, 6, 0x40)), 0);
    EXPECT_TRUE(tag.ExtendedHeader());
    EXPECT_EQ(tag.ExtendedFlags, 0);
    EXPECT_EQ(tag.PaddingSize, 6u);
}

// --- Frame identifiers and corrupt bodies -----------------------------------

TEST_F(Reader, InvalidIdentifierIsCode21AndKeepsTheFramesBefore) {
    for (const std::string& bad : std::vector<std::string>{"TI-2", std::string("TI\0"
                                                                               "2",
                                                                               4)}) {
        EXPECT_EQ(Load(Tag(4,
                           {Frame(4, "TIT2", Latin1Text("a")), Frame(4, bad, Latin1Text("b")),
                            Frame(4, "TPE1", Latin1Text("c"))},
                           10)),
                  ResultWord(kBadFrameId));
        EXPECT_EQ(tag.LastResult, ResultWord(kBadFrameId));
        ExpectFrames({{"TIT2", Latin1Text("a")}});
    }
}

TEST_F(Reader, CorruptBodiesAreCodeFE) {
    const Bytes title = Frame(4, "TIT2", Latin1Text("a"));
    Bytes tooBig = Frame(4, "TPE1", Latin1Text("bc"));
    id3v2::WriteSyncsafe32(tooBig.data() + 4, 4);
    struct Case {
        const char* name;
        Bytes body;
    };
    const Case cases[] = {
        {"frame_size_past_body", Concat({title, tooBig})},
        {"five_bytes_after_last_frame", Concat({title, {1, 2, 3, 4, 5}})},
        {"empty_frame_header_ends_body", Concat({title, Frame(4, "TPE1", {})})},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Load(Concat({TagHeader(4, static_cast<uint32_t>(c.body.size())), c.body})),
                  ResultWord(kCorrupt))
            << c.name;
        EXPECT_EQ(tag.LastResult, ResultWord(kCorrupt));
        EXPECT_EQ(tag.Complete, 1);
        EXPECT_EQ(tag.Frames.Id(1), "TIT2") << c.name;
    }
    // A failing frame whose header was whole keeps its entry, without data.
    EXPECT_EQ(
        Load(Concat({TagHeader(4, static_cast<uint32_t>(cases[0].body.size())), cases[0].body})),
        ResultWord(kCorrupt));
    ASSERT_EQ(tag.Frames.FrameCount(), 2u);
    EXPECT_EQ(tag.Frames.Id(2), "TPE1");
    EXPECT_EQ(tag.Frames.DataSize(2), 0u);
}

TEST_F(Reader, Version3TrailingBytesAreFineWhenTheExtendedHeaderDeclaresPadding) {
    const Bytes title = Frame(3, "TIT2", Latin1Text("a"));
    const Bytes ext = Concat({Be32(6), {0, 0}, Be32(64)});
    for (const Bytes& tail : {Bytes{1, 2, 3, 4, 5}, Frame(3, "TPE1", {})}) {
        const Bytes body = Concat({ext, title, tail});
        EXPECT_EQ(Load(Concat({TagHeader(3, static_cast<uint32_t>(body.size()), 0x40), body})), 0);
        EXPECT_EQ(tag.PaddingSize, 0u) << "the body holds no padding";
        ExpectFrames({{"TIT2", Latin1Text("a")}});
    }
}

// Other programs read the frames of a version-3 tag with junk after its last
// frame; the junk counts as padding. Junk with no frame before it is no tag.
TEST_F(Reader, Version3JunkAfterTheLastFrameCountsAsPaddingWithAWarning) {
    const Bytes title = Frame(3, "TIT2", Latin1Text("a"));
    const Bytes junk = ToBytes("** appended by another program **");
    Bytes pastBody = Frame(3, "TPE1", Latin1Text("bc"));
    id3v2::WriteBigEndian32(pastBody.data() + 4, 400);
    const struct {
        const char* name;
        Bytes body;
        uint16_t result;
        uint32_t padding;
    } cases[] = {
        {"five bytes", Concat({title, {1, 2, 3, 4, 5}}), kWarnJunkAfterFrames, 5},
        {"text", Concat({title, junk}), kWarnJunkAfterFrames, 33},
        {"a frame size past the body", Concat({title, pastBody, Bytes(20, 0)}),
         kWarnJunkAfterFrames, 33},
        {"junk with no frame before it", junk, ResultWord(kBadFrameId), 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Load(Concat({TagHeader(3, static_cast<uint32_t>(c.body.size())), c.body})),
                  c.result);
        if (id3v2::Succeeded(c.result)) {
            EXPECT_EQ(tag.PaddingSize, c.padding);
            ExpectFrames({{"TIT2", Latin1Text("a")}});
        }
    }
}

TEST_F(Reader, HugeFrameSizeInASmallFileIsCorruptWithoutAllocating) {
    Bytes frame = Frame(3, "APIC", Bytes(1000, 1));
    id3v2::WriteBigEndian32(frame.data() + 4, 200u << 20);
    EXPECT_EQ(Load(Tag(3, {frame})), ResultWord(kCorrupt));
    Bytes v4 = Frame(4, "APIC", Bytes(1000, 1));
    v4[4] = v4[5] = v4[6] = v4[7] = 0x7F;
    EXPECT_EQ(Load(Tag(4, {v4})), ResultWord(kCorrupt));
    EXPECT_EQ(tag.Frames.DataSize(1), 0u);
}

// --- Padding ----------------------------------------------------------------

TEST_F(Reader, PaddingRunsFromTheFirstPaddingBlockToTheEnd) {
    const Bytes title = Frame(4, "TIT2", Latin1Text("a"));
    EXPECT_EQ(Load(Tag(4, {title}, 300)), 0);
    EXPECT_EQ(tag.PaddingSize, 300u);
    // "MP3e" starts the padding whatever follows it.
    EXPECT_EQ(Load(Tag(4, {title, ToBytes("MP3ext garbage \xFF\xFF")})), 0);
    EXPECT_EQ(tag.PaddingSize, 17u);
    ExpectFrames({{"TIT2", Latin1Text("a")}});
    // A short block of zeros at the very end is padding too.
    EXPECT_EQ(Load(Tag(4, {title}, 4)), 0);
    EXPECT_EQ(tag.PaddingSize, 4u);
    // Frames that fill the body exactly leave no padding.
    EXPECT_EQ(Load(Tag(4, {title})), 0);
    EXPECT_EQ(tag.PaddingSize, 0u);
}

// A declared size never exceeds the padding the body holds, so that no file
// can make a save with PaddingMode 0 write more than it had.
TEST_F(Reader, Version3DeclaredPaddingStaysUpToWhatTheBodyHoldsAndWarnsWhenItDiffers) {
    const Bytes title = Frame(3, "TIT2", Latin1Text("a"));
    const auto load = [&](uint32_t declared, uint32_t real) {
        const Bytes body = Concat({Be32(6), {0, 0}, Be32(declared), title, Bytes(real, 0)});
        return Load(Concat({TagHeader(3, static_cast<uint32_t>(body.size()), 0x40), body}));
    };
    EXPECT_EQ(load(100, 200), kWarnPaddingDiffers);
    EXPECT_EQ(tag.PaddingSize, 100u);
    EXPECT_EQ(load(200, 200), 0);
    EXPECT_EQ(tag.PaddingSize, 200u);
    EXPECT_EQ(load(300, 200), kWarnPaddingDiffers);
    EXPECT_EQ(tag.PaddingSize, 200u);
    EXPECT_EQ(load(209295872, 0), 0);  // frames fill the body: no padding at all
    EXPECT_EQ(tag.PaddingSize, 0u);
    EXPECT_EQ(load(0, 30), 0);
    EXPECT_EQ(tag.PaddingSize, 30u);
}

TEST(ReaderPadding, IsPaddingTest) {
    using id3v2::IsPadding;
    EXPECT_TRUE(IsPadding(Bytes(10, 0)));
    EXPECT_TRUE(IsPadding(Bytes(1, 0)));
    EXPECT_TRUE(IsPadding(ToBytes("MP3e")));
    EXPECT_TRUE(IsPadding(ToBytes("MP3e\x01\x02\x03\x04\x05\x06")));
    EXPECT_FALSE(IsPadding(ToBytes("MP3")));
    EXPECT_FALSE(IsPadding(Bytes{0, 0, 0, 0, 0, 0, 0, 0, 0, 1}));
}

// --- Extended headers -------------------------------------------------------

TEST_F(Reader, Version3ExtendedHeaderWithCrc) {
    const Bytes title = Frame(3, "TIT2", Latin1Text("a"));
    const Bytes body =
        Concat({Be32(10), {0x80, 0}, Be32(20), Be32(0xDEADBEEF), title, Bytes(20, 0)});
    EXPECT_EQ(Load(Concat({TagHeader(3, static_cast<uint32_t>(body.size()), 0x40), body})), 0);
    EXPECT_EQ(tag.ExtendedHeaderSize, 10u);
    EXPECT_TRUE(tag.CrcPresent());
    EXPECT_EQ(tag.Crc, 0xDEADBEEFu);
    EXPECT_EQ(tag.PaddingSize, 20u);
    EXPECT_EQ(tag.Frames.FrameOffset(1), 24u);
    ExpectFrames({{"TIT2", Latin1Text("a")}});
}

TEST_F(Reader, Version3ExtendedHeaderIrregularitiesAndCrcPastTheBody) {
    const Bytes title = Frame(3, "TIT2", Latin1Text("a"));
    // Undefined extended flags warn; the CRC is taken only with size 10.
    for (const Bytes& flags : {Bytes{0x81, 0}, Bytes{0x80, 1}}) {
        const Bytes body = Concat({Be32(6), flags, Be32(0), title, Bytes(10, 0)});
        EXPECT_EQ(Load(Concat({TagHeader(3, static_cast<uint32_t>(body.size()), 0x40), body})),
                  kWarnExtendedHeader);
        EXPECT_TRUE(tag.CrcPresent());
        EXPECT_EQ(tag.Crc, 0u);
        ExpectFrames({{"TIT2", Latin1Text("a")}});
    }
    LoadPrevious();
    const Bytes shortCrc = Concat({Be32(10), {0x80, 0}, Be32(0), {1, 2}});
    EXPECT_EQ(Load(Concat({TagHeader(3, 12, 0x40), shortCrc})), ResultWord(kCorrupt));
    EXPECT_EQ(tag.Frames.Id(1), "TALB");  // the table is not cleared
}

TEST_F(Reader, Version4ExtendedHeaderFlagData) {
    const Bytes title = Frame(4, "TIT2", Latin1Text("a"));
    // Update (no data), CRC (5 bytes, 35-bit syncsafe), restrictions (1 byte).
    const Bytes ext = {0, 0, 0, 15, 1, 0x70, 0, 5, 0x0F, 0x7F, 0x7F, 0x7F, 0x7F, 1, 0xA5};
    const Bytes body = Concat({ext, title, Bytes(10, 0)});
    EXPECT_EQ(Load(Concat({TagHeader(4, static_cast<uint32_t>(body.size()), 0x40), body})), 0);
    EXPECT_EQ(tag.ExtendedHeaderSize, 15u);
    EXPECT_TRUE(tag.TagIsUpdate());
    EXPECT_TRUE(tag.CrcPresent());
    EXPECT_TRUE(tag.RestrictionsPresent());
    EXPECT_EQ(tag.Crc, 0xFFFFFFFFu);
    EXPECT_EQ(tag.Restrictions, 0xA5);
    EXPECT_EQ(tag.PaddingSize, 10u);
    EXPECT_EQ(tag.Modified, 0);
    EXPECT_EQ(tag.Frames.FrameOffset(1), 25u);
    ExpectFrames({{"TIT2", Latin1Text("a")}});
}

TEST_F(Reader, Version4ExtendedHeaderIrregularitiesWarn) {
    const Bytes title = Frame(4, "TIT2", Latin1Text("a"));
    const auto load = [&](const Bytes& ext) {
        const Bytes body = Concat({ext, title, Bytes(10, 0)});
        return Load(Concat({TagHeader(4, static_cast<uint32_t>(body.size()), 0x40), body}));
    };
    // Undefined bit 0x80 with two bytes of flag data, skipped; then restrictions.
    EXPECT_EQ(load({0, 0, 0, 11, 1, 0x90, 2, 9, 9, 1, 0x33}), kWarnExtendedHeader);
    EXPECT_EQ(tag.Restrictions, 0x33);
    EXPECT_EQ(load({0, 0, 0, 6, 1, 0x01}), kWarnExtendedHeader);
    EXPECT_EQ(load({0, 0, 0, 7, 2, 0x00, 0x00}), kWarnExtendedHeader);
    EXPECT_EQ(load({0, 0, 0, 6, 1, 0x00}), 0);
    EXPECT_FALSE(tag.CrcPresent());
}

TEST_F(Reader, Version4ExtendedHeaderSizesThatDoNotFitAreCorrupt) {
    const Bytes title = Frame(4, "TIT2", Latin1Text("a"));
    struct Case {
        const char* name;
        Bytes ext;
    };
    const Case cases[] = {
        {"size_below_6", {0, 0, 0, 5, 1, 0, 0}},
        {"no_flag_bytes", {0, 0, 0, 6, 0, 0}},
        {"crc_data_shorter_than_5", {0, 0, 0, 11, 1, 0x20, 4, 1, 1, 1, 1}},
        {"crc_past_the_extended_header", {0, 0, 0, 8, 1, 0x20, 5, 1}},
        {"update_data_past_the_extended_header", {0, 0, 0, 6, 1, 0x40}},
        {"restrictions_past_the_extended_header", {0, 0, 0, 7, 1, 0x10, 1}},
        {"undefined_data_past_the_extended_header", {0, 0, 0, 7, 1, 0x80, 3}},
        {"size_past_the_body", {0, 0, 0x7F, 0x7F, 1, 0}},
    };
    for (const Case& c : cases) {
        LoadPrevious();
        const Bytes body = Concat({c.ext, title});
        EXPECT_EQ(Load(Concat({TagHeader(4, static_cast<uint32_t>(body.size()), 0x40), body})),
                  ResultWord(kCorrupt))
            << c.name;
        EXPECT_EQ(tag.LastResult, ResultWord(kCorrupt)) << c.name;
        EXPECT_EQ(tag.Status, "Load Complete");
        ExpectFrames({{"TALB", Latin1Text("old")}});  // the table is not cleared
    }
}

// --- Frame extras -----------------------------------------------------------

TEST_F(Reader, Version3CompressedEncryptedGroupedFrame) {
    const Bytes compressed = {0x78, 0x9C, 1, 2, 3};
    // Compression, encryption and grouping: decompressed size, method, group.
    const Bytes data = Concat({Be32(1234), {0x81, 0x42}, compressed});
    EXPECT_EQ(Load(Tag(3, {Frame(3, "TXXX", data, 0, 0xE0)}, 10)), 0);
    EXPECT_EQ(tag.Frames.State(1, 2), 0x4D);
    EXPECT_EQ(tag.Frames.WantedFlags(1, 2), 0x4D);
    EXPECT_EQ(tag.Frames.DataLength(1), 1234u);
    EXPECT_EQ(tag.Frames.EncryptionMethod(1), 0x81);
    EXPECT_EQ(tag.Frames.GroupId(1), 0x42);
    EXPECT_EQ(tag.Frames.Data(1), compressed);

    EXPECT_EQ(Load(Tag(3, {Frame(3, "TXXX", Concat({Be32(99), compressed}), 0, 0x80)}, 10)), 0);
    EXPECT_EQ(tag.Frames.State(1, 2), 0x09);
    EXPECT_EQ(tag.Frames.DataLength(1), 99u);
    EXPECT_EQ(tag.Frames.Data(1), compressed);
}

TEST_F(Reader, Version4ExtrasAndUnsynchronisedFrame) {
    const Bytes data = Concat({{0x42, 0x81}, Syncsafe32(300), {0xFF, 0x00, 0xE0}});
    EXPECT_EQ(Load(Tag(4, {Frame(4, "TXXX", data, 0x60, 0x4F)}, 10, 0x80)), 0);
    EXPECT_EQ(tag.Frames.State(1, 1), 0x60);
    EXPECT_EQ(tag.Frames.State(1, 2), 0x4F);
    EXPECT_EQ(tag.Frames.GroupId(1), 0x42);
    EXPECT_EQ(tag.Frames.EncryptionMethod(1), 0x81);
    EXPECT_EQ(tag.Frames.DataLength(1), 300u);
    // The version-4 body is never de-unsynchronised by the reader.
    EXPECT_EQ(tag.Frames.Data(1), (Bytes{0xFF, 0x00, 0xE0}));
    EXPECT_TRUE(tag.Unsynchronisation());
}

TEST_F(Reader, FrameSmallerThanItsExtrasIsCorrupt) {
    EXPECT_EQ(Load(Tag(3, {Frame(3, "TXXX", {1, 2, 3}, 0, 0x80)}, 10)), ResultWord(kCorrupt));
    EXPECT_EQ(Load(Tag(4, {Frame(4, "TXXX", {1}, 0, 0x41)}, 10)), ResultWord(kCorrupt));
    EXPECT_EQ(Load(Tag(4, {Frame(4, "TXXX", {1, 2, 3, 4, 5}, 0, 0x01)}, 10)), 0);
    EXPECT_EQ(tag.Frames.DataSize(1), 1u);
}

// --- Unsynchronisation and the read ring ------------------------------------

TEST_F(Reader, Version3UnsynchronisedBodyReachesTheParserPlain) {
    const std::pair<Bytes, Bytes> cases[] = {
        {{0xFF, 0x00, 0xE0}, {0xFF, 0xE0}},
        {{0xFF, 0x00, 0x00}, {0xFF, 0x00}},
        {{0xFF, 0x00, 0x41}, {0xFF, 0x00, 0x41}},
        {{0xFF, 0x00, 0xFF, 0x00, 0xE0}, {0xFF, 0xFF, 0xE0}},
    };
    for (const auto& [raw, plain] : cases) {
        const Bytes frame = Frame(3, "TXXX", plain);  // the size counts plain bytes
        Bytes body(frame.begin(), frame.begin() + 10);
        body.insert(body.end(), raw.begin(), raw.end());
        body.resize(body.size() + 10, 0);
        EXPECT_EQ(Load(Concat({TagHeader(3, static_cast<uint32_t>(body.size()), 0x80), body})), 0);
        ExpectFrames({{"TXXX", plain}});
    }
}

TEST_F(Reader, LastZeroOfAnUnsynchronisedBodyStays) {
    const Bytes body = Concat({Frame(3, "TXXX", {1, 0xFF, 0x00})});
    EXPECT_EQ(Load(Concat({TagHeader(3, static_cast<uint32_t>(body.size()), 0x80), body})), 0);
    ExpectFrames({{"TXXX", {1, 0xFF, 0x00}}});
}

// A large frame of sync-rich data, shifted byte by byte so that sequences like
// FF 00 E0 fall on every position around each ring refill.
TEST_F(Reader, UnsyncStraddlesRingRefills) {
    for (uint32_t shift = 0; shift < 6; ++shift) {
        const Bytes lead = Frame(3, "TXXX", Bytes(shift + 1, 0x41));
        const Bytes big = SyncRich(150000, shift);
        const Bytes tail = SyncRich(3000, 100 + shift);
        const Bytes file = UnsyncV3Tag({lead, Frame(3, "APIC", big), Frame(3, "TXXX", tail)}, 7);
        ASSERT_GT(file.size(), 2u * id3v2::kRingSize);
        ASSERT_EQ(Load(file), 0) << shift;
        ExpectFrames({{"TXXX", Bytes(shift + 1, 0x41)}, {"APIC", big}, {"TXXX", tail}});
        EXPECT_EQ(tag.PaddingSize, 7u);
    }
}

// Raw bytes that no unsynchroniser would write (FF 00 00 E0, FF 00 FF 00 00...)
// still follow the one rule, wherever the refills fall: the frame table's
// Resynchronise over the same bytes says what the parser must see.
TEST_F(Reader, ArbitraryUnsyncBytesFollowTheRuleAcrossRefills) {
    for (uint32_t seed = 0; seed < 4; ++seed) {
        Bytes raw = SyncRich(200000 + seed, seed);
        raw.back() = 0x41;
        TFrameIndex expected;
        expected.AddFrame("PRIV");
        expected.Data(1) = raw;
        expected.SetState(1, 2, 0x02);
        expected.Resynchronise(1);
        const Bytes& plain = expected.Data(1);
        Bytes header = Frame(3, "PRIV", {});
        id3v2::WriteBigEndian32(header.data() + 4, static_cast<uint32_t>(plain.size()));
        const Bytes body = Concat({header, raw});
        ASSERT_EQ(Load(Concat({TagHeader(3, static_cast<uint32_t>(body.size()), 0x80), body})), 0);
        ExpectFrames({{"PRIV", plain}});
    }
}

// Many small frames over several refills: frame headers themselves straddle.
TEST_F(Reader, UnsyncFrameHeadersStraddleRingRefills) {
    std::vector<Bytes> frames;
    std::vector<std::pair<std::string, Bytes>> expected;
    for (uint32_t i = 0; i < 3000; ++i) {
        const Bytes data = SyncRich(i % 97 + 1, i);
        frames.push_back(Frame(3, "TXXX", data));
        expected.emplace_back("TXXX", data);
    }
    const Bytes file = UnsyncV3Tag(frames, 100);
    ASSERT_GT(file.size(), 2u * id3v2::kRingSize);
    ASSERT_EQ(Load(file), 0);
    ExpectFrames(expected);
    EXPECT_EQ(tag.PaddingSize, 100u);
}

TEST_F(Reader, FrameWrappingTheRingEndIsContiguous) {
    const Bytes first = Counting(60000);
    const Bytes wrapping = Counting(20000);
    const Bytes huge = Counting(200000);
    EXPECT_EQ(Load(Tag(4,
                       {Frame(4, "PRIV", first), Frame(4, "APIC", wrapping), Frame(4, "GEOB", huge),
                        Frame(4, "TIT2", Latin1Text("end"))},
                       5000)),
              0);
    ExpectFrames(
        {{"PRIV", first}, {"APIC", wrapping}, {"GEOB", huge}, {"TIT2", Latin1Text("end")}});
    EXPECT_EQ(tag.Frames.FrameOffset(2), 60020u);
    EXPECT_EQ(tag.PaddingSize, 5000u);
}

TEST_F(Reader, BodyOfExactlyOneRingLoads) {
    const Bytes data = Counting(id3v2::kRingSize - 20);
    EXPECT_EQ(Load(Tag(3, {Frame(3, "PRIV", data)}, 10)), 0);
    EXPECT_EQ(tag.TagSize, id3v2::kRingSize);
    ExpectFrames({{"PRIV", data}});
}

// A version-3 size check happens before de-unsynchronisation shrinks the rest
// of the body, so a frame may pass it and still claim more than the body holds.
TEST_F(Reader, UnsyncFrameClaimingBytesThatShrinkAwayIsCorrupt) {
    // 100000 plain bytes of 0xFF become 199999 raw bytes; the check sees the
    // not yet loaded part raw, so 150000 passes it.
    Bytes file = UnsyncV3Tag({Frame(3, "PRIV", Bytes(100000, 0xFF))});
    id3v2::WriteBigEndian32(file.data() + 14, 150000);
    EXPECT_EQ(Load(file), ResultWord(kCorrupt));
    ASSERT_EQ(tag.Frames.FrameCount(), 1u);
    EXPECT_EQ(tag.Frames.DataSize(1), 0u);
}
