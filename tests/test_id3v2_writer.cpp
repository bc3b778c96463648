// The tag writer: the exact bytes of both versions, the refusing checks and
// their codes, padding, CRC, moving the audio data, and the unsync helpers.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <zlib.h>

#include <fstream>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "id3v2/id3v2.h"
#include "id3v2/internal.h"
#include "tests/helpers/mp3_files.h"

namespace {

using id3v2::kBadVersion;
using id3v2::kCannotOpen;
using id3v2::kEncryptedLengthUnknown;
using id3v2::kEncryptionMismatch;
using id3v2::kFrameDone;
using id3v2::kGroupingMismatch;
using id3v2::kIoFailed;
using id3v2::kLastLoadFailed;
using id3v2::kNoFrames;
using id3v2::kOffsetPastEnd;
using id3v2::kProtectedFile;
using id3v2::kRevisionRefused;
using id3v2::kTagPastEnd;
using id3v2::kTagTooLarge;
using id3v2::kTextDone;
using id3v2::kWarnFlagsAdjusted;
using id3v2::ResultWord;
using testing_mp3::Bytes;
using testing_mp3::Concat;
using testing_mp3::Frame;
using testing_mp3::Latin1Text;
using testing_mp3::ReadFile;
using testing_mp3::TagHeader;
using testing_mp3::TempDir;
using testing_mp3::ToBytes;
using testing_mp3::WriteFile;

const auto& Audio = testing_mp3::PositionalAudio;

Bytes Zeros(size_t n) {
    return Bytes(n, 0);
}

uint32_t AddFrame(Tid3v2tag& tag, const std::string& id, const Bytes& data, uint8_t format = 0,
                  uint8_t status = 0) {
    const uint32_t i = tag.Frames.AddFrame(id);
    tag.Frames.Data(i) = data;
    tag.Frames.SetState(i, 2, format);
    tag.Frames.SetWantedFlags(i, 2, format);
    tag.Frames.SetWantedFlags(i, 1, status);
    return i;
}

// A tag with two text frames and a fixed padding, so its bytes are predictable.
void TwoTextFrames(Tid3v2tag& tag, uint32_t padding) {
    AddFrame(tag, "TIT2", Latin1Text("Title"));
    AddFrame(tag, "TPE1", Latin1Text("Artist"));
    tag.PaddingMode = 0;
    tag.PaddingSize = padding;
}

Bytes TwoTextFramesV(uint8_t version) {
    return Concat({Frame(version, "TIT2", Latin1Text("Title")),
                   Frame(version, "TPE1", Latin1Text("Artist"))});
}

// The standard CRC-32, as zlib and every reader that checks it compute it.
uint32_t Crc32(const Bytes& bytes) {
    return static_cast<uint32_t>(crc32(0, bytes.data(), static_cast<uInt>(bytes.size())));
}

class WriterTest : public ::testing::Test {
  protected:
    std::string Make(const Bytes& content, const std::string& name = "song.mp3") {
        const std::string path = dir.File(name);
        WriteFile(path, content);
        return path;
    }
    // Saves two text frames with the CRC bit and fixed padding; returns the file.
    Bytes SaveWithCrc(Tid3v2tag& tag, uint8_t version, uint32_t padding) {
        const std::string path = Make(Audio(200));
        TwoTextFrames(tag, padding);
        tag.SetCrcPresent(true);
        EXPECT_EQ(tag.SaveToFile(path, version, 0, 0), 0);
        return ReadFile(path);
    }
    TempDir dir;
};

// --- unsynchronisation of byte runs ---

Bytes Unsync(Bytes bytes) {
    const size_t length = bytes.size();
    bytes.resize(length + id3v2::CountUnsync(bytes.data(), length));
    EXPECT_EQ(id3v2::UnsyncInPlace(bytes.data(), length), bytes.size() - length);
    return bytes;
}

TEST(UnsyncRun, InsertsAZeroOnlyBeforeFollowersThatCouldBeSyncBits) {
    EXPECT_EQ(Unsync({0xFF, 0xE0}), (Bytes{0xFF, 0x00, 0xE0}));
    EXPECT_EQ(Unsync({0xFF, 0x00}), (Bytes{0xFF, 0x00, 0x00}));
    EXPECT_EQ(Unsync({0xFF, 0x01, 0xFF, 0xDF}), (Bytes{0xFF, 0x01, 0xFF, 0xDF}));
    EXPECT_EQ(Unsync({0xFF, 0xFF, 0xFF}), (Bytes{0xFF, 0x00, 0xFF, 0x00, 0xFF}));
    EXPECT_EQ(Unsync({0x41, 0xFF}), (Bytes{0x41, 0xFF}));
    EXPECT_EQ(Unsync({}), Bytes{});
    EXPECT_EQ(id3v2::CountUnsync32(0xFFE0FF00), 2u);
    EXPECT_EQ(id3v2::CountUnsync32(0x00FFFF41), 1u);
}

TEST(UnsyncRun, AgreesWithTheFrameTransformAndItsInverse) {
    std::mt19937 random(7);
    for (int round = 0; round < 500; ++round) {
        Bytes data(random() % 64);
        for (uint8_t& b : data) {
            const uint32_t r = random() % 4;
            b = r == 0 ? 0xFF : r == 1 ? 0x00 : r == 2 ? 0xE0 : static_cast<uint8_t>(random());
        }
        TFrameIndex frames;
        frames.AddFrame("TEST");
        frames.Data(1) = data;
        ASSERT_EQ(frames.Unsynchronise(1), kFrameDone);
        // The frame's data ends its stream: a final 0xFF gets a zero, which a
        // run inside the tag does not need.
        Bytes unsynced = Unsync(data);
        if (!data.empty() && data.back() == 0xFF) {
            unsynced.push_back(0x00);
        }
        ASSERT_EQ(unsynced, frames.Data(1));
        EXPECT_EQ(id3v2::CountResync(unsynced.data(), unsynced.size()),
                  unsynced.size() - data.size());
        ASSERT_EQ(frames.Resynchronise(1), kFrameDone);
        EXPECT_EQ(frames.Data(1), data);
    }
}

// --- padding arithmetic ---

uint32_t PaddingByLoop(uint32_t f, uint32_t o, uint32_t n, uint32_t b) {
    uint32_t p = (f / b + 1) * b - (f - o) - n;
    while (p > b) {
        p -= b;
    }
    return p;
}

TEST(Padding, DirectFormulaMatchesTheSubtractionLoop) {
    std::mt19937 random(11);
    const uint32_t blocks[] = {1, 2, 1000, 4096, 4097, 65536};
    int compared = 0;
    for (int round = 0; round < 5000; ++round) {
        const uint32_t b = blocks[random() % 6];
        const uint32_t f = random() % 5000000;
        const uint32_t o = random() % 3 == 0 ? 0 : random() % (f + 1) % 300000;
        const uint32_t n = random() % 300000 + 10;
        const uint32_t first = (f / b + 1) * b - (f - o) - n;
        if (first / b > 100000) {
            continue;  // the loop would take too long; the wrapped cases follow below
        }
        ASSERT_EQ(id3v2::AlignedPadding(f, o, n, b), PaddingByLoop(f, o, n, b))
            << f << " " << o << " " << n << " " << b;
        ++compared;
    }
    EXPECT_GT(compared, 2000);
    // A tag far larger than the file wraps the first value; the result still aligns.
    EXPECT_EQ(id3v2::AlignedPadding(5000, 0, 1000000, 4096), PaddingByLoop(5000, 0, 1000000, 4096));
    EXPECT_EQ((5000 + 1000000 + id3v2::AlignedPadding(5000, 0, 1000000, 4096)) % 4096, 0u);
}

TEST(Padding, ResultLiesBetweenOneAndABlockOrIsZeroAtTheExactBoundary) {
    EXPECT_EQ(id3v2::AlignedPadding(10000, 0, 2288, 4096), 0u);      // 12288 = 3 * 4096
    EXPECT_EQ(id3v2::AlignedPadding(8192, 5000, 904, 4096), 4096u);  // a whole block, not 0
    EXPECT_EQ(id3v2::AlignedPadding(100, 0, 100, 4096), 4096u - 200u);
    // A block of 0 counts as 1: the padding is never more than one byte.
    EXPECT_LE(id3v2::AlignedPadding(12345, 100, 678, 0), 1u);
}

TEST(Padding, ModesChooseFixedKeptOrAlignedPadding) {
    Tid3v2tag tag;
    tag.PaddingSize = 77;
    tag.PaddingMode = 0;
    EXPECT_EQ(id3v2::ChoosePadding(tag, 50000, 4096, 1000), 77u);
    tag.PaddingMode = 1;
    tag.PaddingLimit = 100;  // below the block: the tag keeps its old size
    EXPECT_EQ(id3v2::ChoosePadding(tag, 50000, 4096, 1000), 3096u);
    EXPECT_EQ(id3v2::ChoosePadding(tag, 50000, 4096, 5000),
              id3v2::AlignedPadding(50000, 4096, 5000, 4096));  // growing: aligned
    tag.PaddingLimit = 4096;
    EXPECT_EQ(id3v2::ChoosePadding(tag, 50000, 4096, 1000),
              id3v2::AlignedPadding(50000, 4096, 1000, 4096));
    tag.PaddingMode = 2;
    tag.PaddingLimit = 0;
    EXPECT_EQ(id3v2::ChoosePadding(tag, 50000, 4096, 1000),
              id3v2::AlignedPadding(50000, 4096, 1000, 4096));
}

// --- exact bytes ---

TEST_F(WriterTest, Version3TagIsInsertedInFrontOfTheAudio) {
    const Bytes audio = Audio(5000);
    const std::string path = Make(audio);
    Tid3v2tag tag;
    TwoTextFrames(tag, 16);
    EXPECT_EQ(tag.SaveToFile(path, 3, 0, 0), 0);
    const Bytes frames = TwoTextFramesV(3);
    const Bytes expected =
        Concat({TagHeader(3, static_cast<uint32_t>(frames.size() + 16)), frames, Zeros(16), audio});
    EXPECT_EQ(ReadFile(path), expected);
    EXPECT_EQ(tag.TagSize, frames.size() + 26);
    EXPECT_EQ(tag.LastResult, 0);
    EXPECT_EQ(tag.FileName, path);
    EXPECT_EQ(tag.Progress, 100);
    EXPECT_EQ(tag.Status, "Save Complete");
}

// Junk after the last frame of a version-3 tag, which other programs read:
// a save writes the frames with clean padding and leaves the audio as it was.
TEST_F(WriterTest, AVersion3TagWithJunkAfterItsFramesIsSavedClean) {
    const Bytes frame = Frame(3, "TIT2", Latin1Text("a"));
    const Bytes body = Concat({frame, ToBytes("** appended by another program **")});
    const Bytes audio = Audio(5000);
    const std::string path =
        Make(Concat({TagHeader(3, static_cast<uint32_t>(body.size())), body, audio}));
    Tid3v2tag tag;
    ASSERT_EQ(tag.LoadFromFile(path, 0), id3v2::kWarnJunkAfterFrames);
    ASSERT_EQ(tag.SaveToFile(path, 3, 0, 0), 0);
    const Bytes saved = ReadFile(path);
    ASSERT_GE(saved.size(), 10 + frame.size() + audio.size());
    const size_t padding = saved.size() - 10 - frame.size() - audio.size();
    EXPECT_EQ(saved, Concat({TagHeader(3, static_cast<uint32_t>(frame.size() + padding)), frame,
                             Zeros(padding), audio}));
}

TEST_F(WriterTest, Version4HeaderFramesAndExtendedHeaderBytes) {
    const Bytes audio = Audio(3000);
    const std::string path = Make(audio);
    Tid3v2tag tag;
    TwoTextFrames(tag, 5);
    tag.Flags = 0x40 | 0x20 | 0x10;  // the footer flag is never written
    tag.ExtendedFlags = 0x40 | 0x10;
    tag.Restrictions = 0x5A;
    EXPECT_EQ(tag.SaveToFile(path, 4, 0, 0), 0);
    const Bytes extended = {0x00, 0x00, 0x00, 0x09, 0x01, 0x50, 0x00, 0x01, 0x5A};
    const Bytes frames = TwoTextFramesV(4);
    const Bytes expected = Concat({TagHeader(4, static_cast<uint32_t>(9 + frames.size() + 5), 0x60),
                                   extended, frames, Zeros(5), audio});
    EXPECT_EQ(ReadFile(path), expected);
    EXPECT_EQ(tag.Flags & 0x10, 0);
}

TEST_F(WriterTest, FrameFlagsAndExtraFieldsInBothVersions) {
    for (uint8_t version : {3, 4}) {
        SCOPED_TRACE(version);
        const std::string path = Make(Audio(100));
        Tid3v2tag tag;
        tag.PaddingMode = 0;
        const Bytes payload = {1, 2, 3, 4, 5, 6, 7};
        // Held compressed, encrypted and grouped: written as held with its extras.
        const uint32_t i = AddFrame(tag, "APIC", payload, 0x40 | 0x08 | 0x04 | 0x01, 0x70);
        tag.Frames.SetDataLength(i, 300);
        tag.Frames.SetEncryptionMethod(i, 0x81);
        tag.Frames.SetGroupId(i, 0x92);
        ASSERT_EQ(tag.SaveToFile(path, version, 0, 0), 0);
        Bytes frame;
        if (version == 3) {
            frame = Concat({testing_mp3::ToBytes("APIC"),
                            {0, 0, 0, 13, 0xE0, 0xE0},
                            {0, 0, 0x01, 0x2C, 0x81, 0x92},
                            payload});
        } else {
            frame = Concat({testing_mp3::ToBytes("APIC"),
                            {0, 0, 0, 13, 0x70, 0x4D},
                            {0x92, 0x81, 0, 0, 0x02, 0x2C},
                            payload});
        }
        const Bytes file = ReadFile(path);
        EXPECT_EQ(Bytes(file.begin() + 10, file.begin() + 10 + frame.size()), frame);
    }
}

TEST_F(WriterTest, Version3UnsyncCoversHeaderBytesAndTheFirstDataByte) {
    const std::string path = Make(Audio(100));
    Tid3v2tag tag;
    tag.PaddingMode = 0;
    tag.Flags = 0x80;
    // 254 data bytes + 1 group byte: size field 00 00 00 FF before status 0xE0;
    // the group byte 0xFF meets data starting 0xE0.
    Bytes data(254, 0x41);
    data[0] = 0xE0;
    const uint32_t i = AddFrame(tag, "TXXX", data, 0x40, 0x70);
    tag.Frames.SetGroupId(i, 0xFF);
    ASSERT_EQ(tag.SaveToFile(path, 3, 0, 0), 0);
    const Bytes header =
        Concat({testing_mp3::ToBytes("TXXX"), {0, 0, 0, 0xFF, 0x00, 0xE0, 0x20, 0xFF, 0x00}});
    const Bytes file = ReadFile(path);
    EXPECT_EQ(file[5], 0x80);
    EXPECT_EQ(Bytes(file.begin() + 10, file.begin() + 10 + header.size()), header);
    EXPECT_EQ(file[10 + header.size()], 0xE0);
    EXPECT_EQ(tag.TagSize, 10 + header.size() + data.size());
}

TEST_F(WriterTest, Version4UnsynchronisesEachFrameAndFlagsIt) {
    const std::string path = Make(Audio(100));
    Tid3v2tag tag;
    tag.PaddingMode = 0;
    tag.SetUnsynchronisation(true);
    AddFrame(tag, "PRIV", {0xFF, 0xE0});
    ASSERT_EQ(tag.SaveToFile(path, 4, 0, 0), 0);
    const Bytes frame =
        Concat({testing_mp3::ToBytes("PRIV"), {0, 0, 0, 3, 0x00, 0x02}, {0xFF, 0x00, 0xE0}});
    EXPECT_EQ(ReadFile(path), Concat({TagHeader(4, 13, 0x80), frame, Audio(100)}));
}

TEST_F(WriterTest, DataHeldUnsynchronisedIsSizedAsTheReaderSeesIt) {
    // As a version 4 load leaves a frame with its own unsync flag: RawSize unset.
    const std::string path = Make(Audio(100));
    Tid3v2tag tag;
    tag.PaddingMode = 0;
    AddFrame(tag, "PRIV", {0xFF, 0x00, 0xE0, 0x41}, 0x02);
    ASSERT_EQ(tag.SaveToFile(path, 3, 0, 0), 0);
    const Bytes file = ReadFile(path);
    EXPECT_EQ(file[5], 0x80);
    EXPECT_EQ(id3v2::ReadBigEndian32(&file[14]), 3u);
    Tid3v2tag loaded;
    ASSERT_EQ(loaded.LoadFromFile(path, 0), 0);
    EXPECT_EQ(loaded.Frames.Data(1), (Bytes{0xFF, 0xE0, 0x41}));
}

TEST_F(WriterTest, Version3CrcForcesTheExtendedHeaderAndCoversFramesOnly) {
    Tid3v2tag tag;
    const Bytes file = SaveWithCrc(tag, 3, 40);
    const Bytes frames = TwoTextFramesV(3);
    const uint32_t crc = Crc32(frames);
    Bytes extended = {0, 0, 0, 0x0A, 0x80, 0x00, 0, 0, 0, 40, 0, 0, 0, 0};
    id3v2::WriteBigEndian32(&extended[10], crc);
    EXPECT_EQ(file[5], 0x40);
    EXPECT_EQ(Bytes(file.begin() + 10, file.begin() + 24), extended);
    EXPECT_EQ(tag.Crc, crc);
    EXPECT_TRUE(tag.ExtendedHeader());
}

TEST_F(WriterTest, Version4CrcCoversFramesAndPaddingInFiveSevenBitBytes) {
    Tid3v2tag tag;
    const Bytes file = SaveWithCrc(tag, 4, 33);
    const uint32_t crc = Crc32(Concat({TwoTextFramesV(4), Zeros(33)}));
    const Bytes extended = {0,
                            0,
                            0,
                            0x0C,
                            0x01,
                            0x20,
                            0x05,
                            static_cast<uint8_t>(crc >> 28),
                            static_cast<uint8_t>((crc >> 21) & 0x7F),
                            static_cast<uint8_t>((crc >> 14) & 0x7F),
                            static_cast<uint8_t>((crc >> 7) & 0x7F),
                            static_cast<uint8_t>(crc & 0x7F)};
    EXPECT_EQ(file[5], 0x40);
    EXPECT_EQ(Bytes(file.begin() + 10, file.begin() + 22), extended);
    EXPECT_EQ(tag.Crc, crc);
}

TEST_F(WriterTest, Version3CrcIsTakenOverTheFramesBeforeUnsynchronisation) {
    const std::string path = Make(Audio(200));
    Tid3v2tag tag;
    tag.PaddingMode = 0;
    tag.SetUnsynchronisation(true);
    tag.SetCrcPresent(true);
    AddFrame(tag, "PRIV", {0xFF, 0xE0, 0xFF});
    ASSERT_EQ(tag.SaveToFile(path, 3, 0, 0), 0);
    const uint32_t crc = Crc32(Concat({ToBytes("PRIV"), {0, 0, 0, 3, 0, 0, 0xFF, 0xE0, 0xFF}}));
    EXPECT_EQ(tag.Crc, crc);
    Tid3v2tag loaded;
    ASSERT_EQ(loaded.LoadFromFile(path, 0), 0);
    EXPECT_EQ(loaded.Crc, crc);
}

// --- unsynchronised data that ends in 0xFF ---

// Each frame of a saved file with its data brought back to plain bytes.
std::vector<std::pair<std::string, Bytes>> PlainFrames(const std::string& path) {
    Tid3v2tag tag;
    EXPECT_EQ(tag.LoadFromFile(path, 0), 0);
    std::vector<std::pair<std::string, Bytes>> frames;
    for (uint32_t i = 1; i <= tag.Frames.FrameCount(); ++i) {
        tag.Frames.Resynchronise(i);
        tag.Frames.DecompressFrame(i);
        frames.emplace_back(tag.Frames.Id(i), tag.Frames.Data(i));
    }
    return frames;
}

TEST_F(WriterTest, UnsynchronisedDataEndingInFFGetsAZeroWhereAReaderNeedsIt) {
    const Bytes v3First = Concat({ToBytes("PRIV"), {0, 0, 0, 2, 0, 0, 0x41, 0xFF}});
    const Bytes v3Second = Concat({ToBytes("PRIV"), {0, 0, 0, 2, 0, 0, 0x42, 0xFF}});
    const struct {
        uint8_t version;
        uint32_t padding;
        Bytes body;
    } cases[] = {
        // Each version 4 frame is unsynchronised on its own.
        {4, 0,
         Concat({Frame(4, "PRIV", {0x41, 0xFF, 0x00}, 0, 0x02),
                 Frame(4, "PRIV", {0x42, 0xFF, 0x00}, 0, 0x02)})},
        // Version 3 unsynchronises the tag as one stream: the next frame's
        // identifier needs no zero, the end of the frames does.
        {3, 0, Concat({v3First, v3Second, {0x00}})},
        {3, 3, Concat({v3First, v3Second, {0x00}, Zeros(3)})},
    };
    // The same data given plain, or held unsynchronised as a version 4 load
    // leaves it: with the zero after its final 0xFF, or without, as some
    // writers (and our own before) left it.
    const struct {
        uint8_t held;
        Bytes first, second;
    } sources[] = {{0, {0x41, 0xFF}, {0x42, 0xFF}}, {0x02, {0x41, 0xFF, 0x00}, {0x42, 0xFF}}};
    const std::vector<std::pair<std::string, Bytes>> plain = {{"PRIV", {0x41, 0xFF}},
                                                              {"PRIV", {0x42, 0xFF}}};
    for (const auto& c : cases) {
        for (const auto& source : sources) {
            SCOPED_TRACE(testing::Message() << int{c.version} << " padding " << c.padding
                                            << " held " << int{source.held});
            const std::string path = Make(Audio(100));
            Tid3v2tag tag;
            tag.PaddingMode = 0;
            tag.PaddingSize = c.padding;
            tag.SetUnsynchronisation(true);
            AddFrame(tag, "PRIV", source.first, source.held);
            AddFrame(tag, "PRIV", source.second, source.held);
            ASSERT_EQ(tag.SaveToFile(path, c.version, 0, 0), 0);
            EXPECT_EQ(ReadFile(path),
                      Concat({TagHeader(c.version, static_cast<uint32_t>(c.body.size()), 0x80),
                              c.body, Audio(100)}));
            EXPECT_EQ(PlainFrames(path), plain);
        }
    }
}

// --- text that version 3 cannot hold ---

TEST_F(WriterTest, Version3SavesReencodeUtf8AndUtf16BeTextVersion4KeepsIt) {
    const Bytes kino8 = ToBytes("\xD0\x9A\xD0\xB8\xD0\xBD\xD0\xBE");  // "Кино"
    const Bytes kino16be = {0x04, 0x1A, 0x04, 0x38, 0x04, 0x3D, 0x04, 0x3E};
    const Bytes kino16 = {0xFF, 0xFE, 0x1A, 0x04, 0x38, 0x04, 0x3D, 0x04, 0x3E, 0x04};
    const Bytes picture = Concat({{3}, ToBytes("image/png"), {0, 3, 0, 0xFF, 0xD8}});
    const struct {
        const char* id;
        Bytes data;
        Bytes inVersion3;
        uint8_t held = 0;  // State(i, 2) and FormatFlags
    } frames[] = {
        {"TIT2", Concat({{3}, kino8}), Concat({{1}, kino16})},
        {"TPE1", Concat({{2}, kino16be}), Concat({{1}, kino16})},
        {"TRCK", {3, '7'}, {1, 0xFF, 0xFE, '7', 0}, 0x08},
        {"COMM", Concat({{3}, ToBytes("engd"), {0}, kino8}),
         Concat({{1}, ToBytes("eng"), {0xFF, 0xFE, 'd', 0, 0, 0}, kino16})},
        {"TCON", Concat({{1}, kino16}), Concat({{1}, kino16})},
        {"APIC", picture,
         Concat({{1}, ToBytes("image/png"), {0, 3, 0xFF, 0xFE, 0, 0, 0xFF, 0xD8}})},
        // Not decodable, or encrypted: kept as they are, with the save's warning.
        {"TPE2", {3, 0xC3}, {3, 0xC3}},
        {"TPE3", {3, 0x55}, {3, 0x55}, 0x04},
    };
    for (uint8_t version : {3, 4}) {
        SCOPED_TRACE(int{version});
        const std::string path = Make(Audio(100));
        Tid3v2tag tag;
        std::vector<std::pair<std::string, Bytes>> expected;
        for (const auto& frame : frames) {
            const uint32_t i = AddFrame(tag, frame.id, frame.data, frame.held & 0x04);
            if (frame.held & 0x08) {
                ASSERT_EQ(tag.Frames.CompressFrame(i, 2), kFrameDone);
                tag.Frames.SetWantedFlags(i, 2, 0x08);
            }
            expected.emplace_back(frame.id, version == 3 ? frame.inVersion3 : frame.data);
        }
        EXPECT_EQ(tag.SaveToFile(path, version, 0, 0), version == 3 ? kWarnFlagsAdjusted : 0);
        EXPECT_EQ(PlainFrames(path), expected);
    }
}

// --- refusing checks: each leaves the file as it was ---

TEST_F(WriterTest, RefusedSavesReturnTheirCodeAndLeaveTheFileAlone) {
    const Bytes original = Concat({TagHeader(3, 20), Zeros(20), Audio(999)});
    struct Case {
        const char* name;
        uint16_t expected;
        void (*arrange)(Tid3v2tag&);
        uint8_t version;
        uint8_t revision;
        int64_t offset;
    };
    const Case cases[] = {
        {"version 2", ResultWord(kBadVersion), [](Tid3v2tag&) {}, 2, 0, 0},
        {"revision 1", ResultWord(kRevisionRefused), [](Tid3v2tag&) {}, 3, 1, 0},
        {"no frames", ResultWord(kNoFrames), [](Tid3v2tag& t) { t.Frames.ClearFrames(); }, 3, 0, 0},
        {"all frames empty", ResultWord(kNoFrames),
         [](Tid3v2tag& t) {
             t.Frames.Data(1).clear();
             t.Frames.Data(2).clear();
         },
         4, 0, 0},
        {"failed last load", ResultWord(kLastLoadFailed),
         [](Tid3v2tag& t) { t.LastResult = ResultWord(kTagPastEnd); }, 3, 0, 0},
        {"offset past the end", ResultWord(kOffsetPastEnd), [](Tid3v2tag&) {}, 3, 0, 5000},
        {"encryption flag without encrypted data", ResultWord(kEncryptionMismatch),
         [](Tid3v2tag& t) { t.Frames.SetWantedFlags(1, 2, 0x04); }, 3, 0, 0},
        {"grouping flag without a group byte", ResultWord(kGroupingMismatch),
         [](Tid3v2tag& t) { t.Frames.SetWantedFlags(1, 2, 0x40); }, 3, 0, 0},
        {"data length of encrypted data unknown", ResultWord(kEncryptedLengthUnknown),
         [](Tid3v2tag& t) {
             t.Frames.SetState(1, 2, 0x04);
             t.Frames.SetWantedFlags(1, 2, 0x05);
         },
         4, 0, 0},
        {"compressed data that does not decompress", ResultWord(kIoFailed),
         [](Tid3v2tag& t) { t.Frames.SetState(1, 2, 0x08); }, 4, 0, 0},
        {"tag too large", ResultWord(kTagTooLarge),
         [](Tid3v2tag& t) { t.PaddingSize = 0x0FFFFFF0; }, 3, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = Make(original);
        Tid3v2tag tag;
        TwoTextFrames(tag, 10);
        c.arrange(tag);
        EXPECT_EQ(tag.SaveToFile(path, c.version, c.offset, c.revision), c.expected);
        EXPECT_EQ(ReadFile(path), original);
        EXPECT_NE(tag.Status, "Save Complete");
        EXPECT_EQ(tag.FileName, "");
    }
}

TEST_F(WriterTest, ARefusedSaveKeepsItsPreparationButNotTheSavedState) {
    const Bytes original = Concat({TagHeader(3, 20), Zeros(20), Audio(300)});
    const std::string path = Make(original);
    Tid3v2tag tag;
    TwoTextFrames(tag, 0x0FFFFFF0);  // too large
    tag.Frames.SetWantedFlags(2, 2, 0x02);
    EXPECT_EQ(tag.SaveToFile(path, 4, 0, 0), ResultWord(kTagTooLarge));
    EXPECT_EQ(ReadFile(path), original);
    EXPECT_TRUE(tag.Unsynchronisation());
    EXPECT_TRUE(tag.Frames.IsUnsynchronised(1));
    EXPECT_EQ(tag.PaddingSize, 0x0FFFFFF0u);
    EXPECT_EQ(tag.MajorVersion, 3);
    EXPECT_EQ(tag.TagSize, 0u);
    EXPECT_EQ(tag.LastResult, 0);
    EXPECT_EQ(tag.Modified, 1);
}

TEST_F(WriterTest, ProtectedOrMissingFilesAreNotWritten) {
    Tid3v2tag tag;
    TwoTextFrames(tag, 10);
    EXPECT_EQ(tag.SaveToFile(dir.File("missing.mp3"), 3, 0, 0), ResultWord(kCannotOpen));

    const Bytes original = Audio(500);
    const std::string readOnly = Make(original, "ro.mp3");
    ASSERT_EQ(::chmod(readOnly.c_str(), 0444), 0);
    struct stat before {};
    ASSERT_EQ(::stat(readOnly.c_str(), &before), 0);
    EXPECT_EQ(tag.SaveToFile(readOnly, 3, 0, 0), ResultWord(kProtectedFile));
    struct stat after {};
    ASSERT_EQ(::stat(readOnly.c_str(), &after), 0);
    EXPECT_EQ(after.st_mtim.tv_nsec, before.st_mtim.tv_nsec);
    EXPECT_EQ(ReadFile(readOnly), original);

    EXPECT_EQ(tag.SaveToFile(Make(original, ".hidden.mp3"), 3, 0, 0), ResultWord(kProtectedFile));
}

TEST_F(WriterTest, AdjustFlagsDropsWhatCannotBeHonouredWithAWarning) {
    const std::string path = Make(Audio(100));
    Tid3v2tag tag;
    TwoTextFrames(tag, 0);
    tag.AdjustFlags = 1;
    tag.Frames.SetWantedFlags(1, 2, 0x04);  // encryption without encrypted data
    tag.Frames.SetWantedFlags(2, 2, 0x40);  // grouping without a group byte
    EXPECT_EQ(tag.SaveToFile(path, 3, 0, 0), kWarnFlagsAdjusted);
    EXPECT_EQ(tag.Frames.WantedFlags(1, 2), 0);
    EXPECT_EQ(tag.Frames.WantedFlags(2, 2), 0);
    const Bytes frames = TwoTextFramesV(3);
    EXPECT_EQ(ReadFile(path),
              Concat({TagHeader(3, static_cast<uint32_t>(frames.size())), frames, Audio(100)}));
}

TEST_F(WriterTest, EncryptedDataKeepsItsFlagWhenFlagsAreAdjusted) {
    const std::string path = Make(Audio(100));
    Tid3v2tag tag;
    TwoTextFrames(tag, 0);
    tag.AdjustFlags = 1;
    tag.Frames.SetState(1, 2, 0x04);  // encrypted data, flag asks for plain
    EXPECT_EQ(tag.SaveToFile(path, 3, 0, 0), kWarnFlagsAdjusted);
    EXPECT_EQ(tag.Frames.WantedFlags(1, 2), 0x04);
    EXPECT_EQ(ReadFile(path)[19], 0x40);  // version 3 encryption bit of the first frame
}

TEST_F(WriterTest, AFrameThatCannotBeCompressedIsWrittenUncompressed) {
    const std::string path = Make(Audio(100));
    Tid3v2tag tag;
    TwoTextFrames(tag, 0);
    tag.CompressionLevel = 9;  // no such level: zlib refuses
    tag.Frames.SetWantedFlags(1, 2, 0x08);
    EXPECT_EQ(tag.SaveToFile(path, 4, 0, 0), kWarnFlagsAdjusted);
    EXPECT_EQ(tag.Frames.WantedFlags(1, 2), 0x01);  // compression cleared, length kept
    EXPECT_EQ(tag.Frames.DataLength(1), 6u);
    const Bytes file = ReadFile(path);
    EXPECT_EQ(file[19], 0x01);
    EXPECT_EQ(Bytes(file.begin() + 20, file.begin() + 30),
              Concat({{0, 0, 0, 6}, Latin1Text("Title")}));
}

TEST_F(WriterTest, APlainFramesDataLengthFollowsItsNewText) {
    // A loaded version 4 frame with a data length indicator over plain data.
    const Bytes loaded = Concat({testing_mp3::ToBytes("TIT2"),
                                 {0, 0, 0, 10, 0x00, 0x01},
                                 {0, 0, 0, 6},
                                 Latin1Text("Title")});
    const std::string path =
        Make(Concat({TagHeader(4, static_cast<uint32_t>(loaded.size())), loaded, Audio(100)}));
    Tid3v2tag tag;
    ASSERT_EQ(tag.LoadFromFile(path, 0), 0);
    ASSERT_EQ(tag.SetText("TIT2", "A much longer title"), kTextDone);
    tag.PaddingMode = 0;
    ASSERT_EQ(tag.SaveToFile("=", 255, -1, 255), 0);
    const Bytes file = ReadFile(path);
    EXPECT_EQ(file[19], 0x01);
    EXPECT_EQ(id3v2::ReadSyncsafe32(&file[20]), Latin1Text("A much longer title").size());
}

TEST_F(WriterTest, CompressedFramesCarryTheirPlainSize) {
    const std::string path = Make(Audio(100));
    Tid3v2tag tag;
    tag.PaddingMode = 0;
    const Bytes text = Latin1Text(std::string(1000, 'x'));
    AddFrame(tag, "TIT2", text);
    tag.Frames.SetWantedFlags(1, 2, 0x08);
    ASSERT_EQ(tag.SaveToFile(path, 3, 0, 0), 0);
    const Bytes file = ReadFile(path);
    EXPECT_EQ(file[19], 0x80);
    EXPECT_EQ(id3v2::ReadBigEndian32(&file[20]), text.size());
    EXPECT_EQ(id3v2::ReadBigEndian32(&file[14]), tag.Frames.DataSize(1) + 4);
    EXPECT_LT(tag.Frames.DataSize(1), 100u);
}

// --- where the tag goes, and how the audio moves ---

// Write system calls of this process so far, or -1 where the kernel does not tell.
long WriteCalls() {
    std::ifstream io("/proc/self/io");
    std::string key;
    long value = 0;
    while (io >> key >> value) {
        if (key == "syscw:") {
            return value;
        }
    }
    return -1;
}

TEST_F(WriterTest, DefaultPaddingAlignsTheFileAndASecondSaveMovesNoAudio) {
    const Bytes audio = Audio(100000);
    const std::string path = Make(audio);
    Tid3v2tag tag;
    AddFrame(tag, "TIT2", Latin1Text("Title"));
    ASSERT_EQ(tag.SaveToFile(path, 255, -1, 255), 0);
    Bytes file = ReadFile(path);
    EXPECT_EQ(file.size() % 4096, 0u);
    EXPECT_EQ(file.size(), tag.TagSize + audio.size());
    EXPECT_EQ(Bytes(file.begin() + tag.TagSize, file.end()), audio);
    EXPECT_EQ(file[3], 3);  // version 255 means MajorVersion

    const uint32_t firstSize = tag.TagSize;
    const uint64_t before = id3v2::StagedBytesWritten();
    const long callsBefore = WriteCalls();
    ASSERT_EQ(tag.SaveToFile("=", 255, -1, 255), 0);
    const long calls = WriteCalls() - callsBefore;
    EXPECT_EQ(id3v2::StagedBytesWritten() - before, tag.TagSize);
    EXPECT_EQ(tag.TagSize, firstSize);
    EXPECT_EQ(ReadFile(path), file);
    if (callsBefore >= 0) {
        EXPECT_EQ(calls, 1);  // a tag below 16 KB reaches the file as one block
    }
}

TEST_F(WriterTest, SameFileAndNegativeOffsetWriteWhereTheTagWasLoaded) {
    const Bytes prefix = Audio(64);
    const Bytes audio = Audio(700);
    const std::string path = Make(Concat({prefix, TagHeader(3, 30), Zeros(30), audio}));
    Tid3v2tag tag;
    TwoTextFrames(tag, 0);
    tag.FileName = path;
    tag.TagOffset = 64;
    ASSERT_EQ(tag.SaveToFile("=", 3, -1, 0), 0);
    const Bytes frames = TwoTextFramesV(3);
    EXPECT_EQ(ReadFile(path),
              Concat({prefix, TagHeader(3, static_cast<uint32_t>(frames.size())), frames, audio}));
    EXPECT_EQ(tag.TagOffset, 64u);
}

TEST_F(WriterTest, ShrinkingGrowingAndSameSizeTagsKeepTheAudio) {
    const Bytes audio = Audio(70000);  // several chunks
    const Bytes frames = TwoTextFramesV(4);
    for (uint32_t oldBody : {40000u, 70u, static_cast<uint32_t>(frames.size() + 100)}) {
        SCOPED_TRACE(oldBody);
        const std::string path = Make(Concat({TagHeader(4, oldBody), Zeros(oldBody), audio}));
        Tid3v2tag tag;
        TwoTextFrames(tag, 100);
        ASSERT_EQ(tag.SaveToFile(path, 4, 0, 0), 0);
        EXPECT_EQ(ReadFile(path), Concat({TagHeader(4, static_cast<uint32_t>(frames.size() + 100)),
                                          frames, Zeros(100), audio}));
    }
}

TEST_F(WriterTest, AnOldTagPastTheEndOfTheFileReachesToTheEnd) {
    const std::string path = Make(Concat({TagHeader(3, 100000), Zeros(50)}));
    Tid3v2tag tag;
    TwoTextFrames(tag, 0);
    ASSERT_EQ(tag.SaveToFile(path, 3, 0, 0), 0);
    const Bytes frames = TwoTextFramesV(3);
    EXPECT_EQ(ReadFile(path), Concat({TagHeader(3, static_cast<uint32_t>(frames.size())), frames}));
}

TEST_F(WriterTest, AnOldVersion4FooterIsReplacedWithItsTag) {
    const Bytes audio = Audio(300);
    Bytes footer = TagHeader(4, 20, 0x10);
    footer[0] = '3';
    footer[1] = 'D';
    footer[2] = 'I';
    const std::string path = Make(Concat({TagHeader(4, 20, 0x10), Zeros(20), footer, audio}));
    Tid3v2tag tag;
    TwoTextFrames(tag, 0);
    ASSERT_EQ(tag.SaveToFile(path, 4, 0, 0), 0);
    const Bytes frames = TwoTextFramesV(4);
    EXPECT_EQ(ReadFile(path),
              Concat({TagHeader(4, static_cast<uint32_t>(frames.size())), frames, audio}));
}

TEST_F(WriterTest, AKeptModificationTimeComesBackToTheNanosecond) {
    for (const uint32_t oldPadding : {4000u, 0u}) {  // in place, and moving the audio
        const std::string path = Make(Concat(
            {testing_mp3::Tag(3, {Frame(3, "TIT2", Latin1Text("old"))}, oldPadding), Audio(5000)}));
        for (const uint8_t keep : {1, 0}) {
            testing_mp3::SetModificationTime(path, testing_mp3::kOldTime);
            Tid3v2tag tag;
            ASSERT_EQ(tag.LoadFromFile(path, 0), 0);
            tag.KeepModificationTime = keep;
            tag.SetText("TIT2", std::string(100 + 100 * keep, 'n'));
            ASSERT_EQ(tag.SaveToFile("=", 255, -1, 255), 0);
            EXPECT_EQ(testing_mp3::ModificationTime(path) == testing_mp3::kOldTime, keep == 1);
        }
    }
}

TEST_F(WriterTest, RemovingTheTagLeavesEveryOtherByte) {
    const Bytes audio = Audio(70000);  // more than one move chunk
    const Bytes record = Concat({ToBytes("TAG"), Bytes(125, 'x')});
    const Bytes footer = Concat({ToBytes("3DI"), Bytes{4, 0, 0x10, 0, 0, 0, 20}});
    const std::pair<const char*, Bytes> cases[] = {
        {"version 3 with padding",
         testing_mp3::Tag(3, {Frame(3, "TIT2", Latin1Text("old"))}, 3000)},
        {"version 4 with its footer",
         Concat({testing_mp3::Tag(4, {Frame(4, "TIT2", Latin1Text("old"))}, 0, 0x10), footer})},
        {"version 2.2", testing_mp3::Tag(2, {Frame(2, "TT2", Latin1Text("old"))})},
        {"no tag", {}},
    };
    for (const auto& [name, old] : cases) {
        SCOPED_TRACE(name);
        const std::string path = Make(Concat({old, audio, record}));
        Tid3v2tag tag;
        EXPECT_EQ(tag.RemoveFromFile(path), old.empty() ? ResultWord(id3v2::kNoTag) : 0);
        EXPECT_EQ(ReadFile(path), Concat({audio, record}));
        EXPECT_EQ(tag.Frames.FrameCount(), 0u);
    }
}

}  // namespace
