// Tests of the zlib glue (buffer routines, error texts, the inflate size limit),
// the frame compression operations and CRC-32.
#include <gtest/gtest.h>
#include <zlib.h>

#include <cstring>
#include <random>
#include <string>

#include "id3v2/id3v2.h"
#include "id3v2/internal.h"

namespace {

using id3v2::kFrameDone;
using id3v2::kFrameEncrypted;
using id3v2::kFrameFailed;
using id3v2::kFrameNothingToDo;
using id3v2::kFrameSizeDiffers;
using id3v2::kFrameUnsynchronised;

using Bytes = std::vector<uint8_t>;

Bytes RandomBytes(size_t size, uint32_t seed) {
    std::mt19937 gen(seed);
    Bytes bytes(size);
    for (uint8_t& b : bytes) {
        b = static_cast<uint8_t>(gen());
    }
    return bytes;
}

// Text-like data that deflate shrinks a good deal but not to nothing.
Bytes WordSoup(size_t size) {
    static const char* const kWords[] = {"title ", "artist ", "album ",    "1999 ",
                                         "genre ", "track ",  "comment\n", "zlib "};
    std::mt19937 gen(7);
    Bytes bytes;
    while (bytes.size() < size) {
        const char* word = kWords[gen() % std::size(kWords)];
        bytes.insert(bytes.end(), word, word + std::strlen(word));
    }
    bytes.resize(size);
    return bytes;
}

// Decompresses with zlib's own one-shot routine, as an independent check.
Bytes ZlibUncompress(const Bytes& stream, size_t size) {
    Bytes out(size);
    uLongf outSize = static_cast<uLongf>(size);
    EXPECT_EQ(uncompress(out.data(), &outSize, stream.data(), stream.size()), Z_OK);
    out.resize(outSize);
    return out;
}

// A zlib stream of `size` zero bytes, deflated piecewise so the test never holds
// the plain bytes at once.
Bytes ZerosStream(size_t size) {
    z_stream stream{};
    EXPECT_EQ(deflateInit(&stream, 1), Z_OK);
    const Bytes zeros(1 << 20, 0);
    Bytes out;
    uint8_t chunk[1 << 16];
    size_t left = size;
    int result = Z_OK;
    while (result != Z_STREAM_END) {
        if (stream.avail_in == 0 && left > 0) {
            const size_t piece = std::min(left, zeros.size());
            stream.next_in = const_cast<Bytef*>(zeros.data());
            stream.avail_in = static_cast<uInt>(piece);
            left -= piece;
        }
        stream.next_out = chunk;
        stream.avail_out = sizeof chunk;
        result = deflate(&stream, left == 0 ? Z_FINISH : Z_NO_FLUSH);
        EXPECT_GE(result, 0);
        out.insert(out.end(), chunk, chunk + (sizeof chunk - stream.avail_out));
    }
    deflateEnd(&stream);
    return out;
}

// 300 MB of zeros in a few hundred kilobytes, made once for the tests that need it.
const Bytes& ZipBomb() {
    static const Bytes bomb = ZerosStream(300u << 20);
    return bomb;
}

template <typename Error>
std::string MessageOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const Error& e) {
        return e.what();
    }
    return "(nothing raised)";
}

class CompressionLevels : public testing::TestWithParam<uint8_t> {};

TEST_P(CompressionLevels, EmptyBlockRoundTrips) {
    const Bytes stream = CompressBuffer(nullptr, 0, GetParam());
    EXPECT_GE(stream.size(), 8u);  // header and Adler-32 trailer at least
    EXPECT_LT(stream.size(), 16u);
    EXPECT_TRUE(DecompressBuffer(stream.data(), stream.size(), 0).empty());
}

TEST_P(CompressionLevels, MegabyteRoundTripsAndIsAValidZlibStream) {
    for (const Bytes& plain : {WordSoup(1 << 20), RandomBytes(1 << 20, 3), Bytes(1 << 20, 0)}) {
        const Bytes stream = CompressBuffer(plain.data(), plain.size(), GetParam());
        EXPECT_EQ(ZlibUncompress(stream, plain.size()), plain);
        EXPECT_EQ(DecompressBuffer(stream.data(), stream.size(), 0), plain);
    }
}

INSTANTIATE_TEST_SUITE_P(AllLevels, CompressionLevels, testing::Values(0, 1, 2, 3));

TEST(CompressBuffer, LevelsMapToStoredFastDefaultAndBest) {
    const Bytes plain = WordSoup(200000);
    std::vector<size_t> sizes;
    for (uint8_t level = 0; level < 4; ++level) {
        sizes.push_back(CompressBuffer(plain.data(), plain.size(), level).size());
    }
    EXPECT_GT(sizes[0], plain.size());  // stored blocks carry the bytes plus framing
    EXPECT_LT(sizes[1], plain.size() / 2);
    EXPECT_LE(sizes[2], sizes[1]);
    EXPECT_LE(sizes[3], sizes[2]);
}

TEST(CompressBuffer, LevelZeroWritesStoredBlocksThatRestoreExactly) {
    const Bytes plain = RandomBytes(100000, 11);
    const Bytes stream = CompressBuffer(plain.data(), plain.size(), 0);
    // The first block header follows the two-byte zlib header: type bits 00 = stored.
    EXPECT_EQ(stream[2] & 0x06, 0);
    // The plain bytes appear verbatim right after the first stored block header.
    EXPECT_EQ(std::memcmp(stream.data() + 7, plain.data(), 1000), 0);
    EXPECT_EQ(DecompressBuffer(stream.data(), stream.size(), 0), plain);
}

TEST(CompressBuffer, LevelIndexBeyondTableRaises) {
    const Bytes plain = WordSoup(100);
    EXPECT_EQ(MessageOf<EZCompressionError>([&] { CompressBuffer(plain.data(), plain.size(), 4); }),
              "stream error");
}

TEST(DecompressBuffer, ResultDoesNotDependOnTheEstimate) {
    const Bytes plain = WordSoup(50000);
    const Bytes stream = CompressBuffer(plain.data(), plain.size(), 2);
    for (size_t estimate : {size_t{1}, size_t{1000}, plain.size(), plain.size() * 3}) {
        EXPECT_EQ(DecompressBuffer(stream.data(), stream.size(), estimate), plain) << estimate;
    }
}

TEST(DecompressBuffer, CorruptStreamRaisesDataError) {
    const Bytes notZlib = {'n', 'o', 't', ' ', 'z', 'l', 'i', 'b', 0, 0, 0, 0};
    EXPECT_EQ(MessageOf<EZDecompressionError>(
                  [&] { DecompressBuffer(notZlib.data(), notZlib.size(), 0); }),
              "data error");

    const Bytes plain = WordSoup(5000);
    Bytes stream = CompressBuffer(plain.data(), plain.size(), 2);
    stream.back() ^= 0x01;  // Adler-32 trailer no longer matches
    EXPECT_EQ(
        MessageOf<EZDecompressionError>([&] { DecompressBuffer(stream.data(), stream.size(), 0); }),
        "data error");
}

TEST(DecompressBuffer, TruncatedOrEmptyStreamRaisesBufferError) {
    const Bytes plain = WordSoup(5000);
    const Bytes stream = CompressBuffer(plain.data(), plain.size(), 2);
    for (size_t cut : {stream.size() - 1, stream.size() / 2, size_t{2}, size_t{0}}) {
        EXPECT_EQ(MessageOf<EZDecompressionError>([&] { DecompressBuffer(stream.data(), cut, 0); }),
                  "buffer error")
            << cut;
    }
}

// A stream whose header asks for a preset dictionary, which no frame can supply.
Bytes StreamWithPresetDictionary() {
    const std::string dictionary = "title artist album";
    const std::string text = "title and artist";
    z_stream stream{};
    EXPECT_EQ(deflateInit(&stream, 9), Z_OK);
    deflateSetDictionary(&stream, reinterpret_cast<const Bytef*>(dictionary.data()),
                         static_cast<uInt>(dictionary.size()));
    Bytes out(256);
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(text.data()));
    stream.avail_in = static_cast<uInt>(text.size());
    stream.next_out = out.data();
    stream.avail_out = static_cast<uInt>(out.size());
    EXPECT_EQ(deflate(&stream, Z_FINISH), Z_STREAM_END);
    out.resize(stream.total_out);
    deflateEnd(&stream);
    return out;
}

TEST(DecompressBuffer, StreamNeedingAPresetDictionaryRaisesInsteadOfLooping) {
    const Bytes stream = StreamWithPresetDictionary();
    EXPECT_EQ(
        MessageOf<EZDecompressionError>([&] { DecompressBuffer(stream.data(), stream.size(), 0); }),
        "need dictionary");
    // Found by fuzzing: a 13-byte frame that asks for a dictionary.
    const Bytes found = {0x28, 0x34, 0xEC, 0x0B, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    EXPECT_THROW(DecompressBuffer(found.data(), found.size(), 0), EZDecompressionError);
}

TEST(DecompressBuffer, ErrorsBelongToTheZLibFamily) {
    const Bytes junk(10, 0x55);
    EXPECT_THROW(DecompressBuffer(junk.data(), junk.size(), 0), EZLibError);
    EXPECT_THROW(DecompressBuffer(junk.data(), junk.size(), 0), std::exception);
}

TEST(DecompressBuffer, RefusesOutputBeyondTheLargestTag) {
    const Bytes& bomb = ZipBomb();
    ASSERT_LT(bomb.size(), 2000000u);
    EXPECT_EQ(
        MessageOf<EZDecompressionError>([&] { DecompressBuffer(bomb.data(), bomb.size(), 0); }),
        "insufficient memory");
    // A huge estimate does not get around the limit either.
    EXPECT_THROW(DecompressBuffer(bomb.data(), bomb.size(), size_t{1} << 40), EZDecompressionError);
}

TEST(DecompressBuffer, AcceptsOutputOfExactlyTheLimit) {
    const Bytes stream = ZerosStream(kMaxDecompressedSize);
    EXPECT_EQ(DecompressBuffer(stream.data(), stream.size(), 0).size(), kMaxDecompressedSize);
    const Bytes oneMore = ZerosStream(kMaxDecompressedSize + 1);
    EXPECT_THROW(DecompressBuffer(oneMore.data(), oneMore.size(), 0), EZDecompressionError);
}

TEST(ZLibResultText, CoversEveryZlibCode) {
    EXPECT_STREQ(ZLibResultText(Z_NEED_DICT), "need dictionary");
    EXPECT_STREQ(ZLibResultText(Z_STREAM_END), "stream end");
    EXPECT_STREQ(ZLibResultText(Z_OK), "");
    EXPECT_STREQ(ZLibResultText(Z_ERRNO), "file error");
    EXPECT_STREQ(ZLibResultText(Z_STREAM_ERROR), "stream error");
    EXPECT_STREQ(ZLibResultText(Z_DATA_ERROR), "data error");
    EXPECT_STREQ(ZLibResultText(Z_MEM_ERROR), "insufficient memory");
    EXPECT_STREQ(ZLibResultText(Z_BUF_ERROR), "buffer error");
    EXPECT_STREQ(ZLibResultText(Z_VERSION_ERROR), "incompatible version");
    EXPECT_STREQ(ZLibResultText(-7), "");
    EXPECT_STREQ(ZLibResultText(-100), "");
    EXPECT_STREQ(ZLibResultText(3), "");
}

TEST(UpdateCrc32, GivesTheComplementOfTheCheckValue) {
    const std::string digits = "123456789";
    uint32_t crc = 0xFFFFFFFF;
    UpdateCrc32(reinterpret_cast<const uint8_t*>(digits.data()), digits.size(), crc);
    EXPECT_EQ(crc, 0x340BC6D9u);
}

TEST(UpdateCrc32, EmptyBlockLeavesTheRegister) {
    uint32_t crc = 0x12345678;
    UpdateCrc32(nullptr, 0, crc);
    EXPECT_EQ(crc, 0x12345678u);
}

TEST(UpdateCrc32, PiecewiseEqualsWholeAndMatchesZlib) {
    const Bytes data = RandomBytes(100003, 5);
    uint32_t whole = 0xFFFFFFFF;
    UpdateCrc32(data.data(), data.size(), whole);
    uint32_t pieces = 0xFFFFFFFF;
    UpdateCrc32(data.data(), 1, pieces);
    UpdateCrc32(data.data() + 1, 50000, pieces);
    UpdateCrc32(data.data() + 50001, data.size() - 50001, pieces);
    EXPECT_EQ(pieces, whole);
    EXPECT_EQ(~whole, crc32(0, data.data(), static_cast<uInt>(data.size())));
}

// A frame table with one frame holding `data`, held in the state `state`.
class FrameCompression : public testing::Test {
  protected:
    uint32_t AddFrame(const Bytes& data, uint8_t state = 0) {
        const uint32_t i = tag.Frames.AddFrame("TXXX");
        tag.Frames.Data(i) = data;
        tag.Frames.SetState(i, 2, state);
        return i;
    }
    Tid3v2tag tag;
};

TEST_F(FrameCompression, CompressThenDecompressRestoresTheFrame) {
    const Bytes plain = WordSoup(30000);
    const uint32_t i = AddFrame(plain);
    tag.Frames.SetWantedFlags(i, 2, 0x02);

    ASSERT_EQ(tag.Frames.CompressFrame(i, 3), kFrameDone);
    EXPECT_TRUE(tag.Frames.IsCompressed(i));
    EXPECT_EQ(tag.Frames.DataLength(i), plain.size());
    EXPECT_LT(tag.Frames.DataSize(i), plain.size());
    EXPECT_EQ(ZlibUncompress(tag.Frames.Data(i), plain.size()), plain);

    ASSERT_EQ(tag.Frames.DecompressFrame(i), kFrameDone);
    EXPECT_FALSE(tag.Frames.IsCompressed(i));
    EXPECT_EQ(tag.Frames.DataLength(i), 0u);
    EXPECT_EQ(tag.Frames.Data(i), plain);
    EXPECT_EQ(tag.Frames.WantedFlags(i, 2), 0x02);  // only the state changes
}

TEST_F(FrameCompression, EmptyFrameRoundTrips) {
    const uint32_t i = AddFrame({});
    ASSERT_EQ(tag.Frames.CompressFrame(i, 2), kFrameDone);
    EXPECT_FALSE(tag.Frames.Data(i).empty());
    EXPECT_EQ(tag.Frames.DecompressFrame(i), kFrameDone);
    EXPECT_TRUE(tag.Frames.Data(i).empty());
}

TEST_F(FrameCompression, CompressRefusesDataThatIsNotPlain) {
    const Bytes data = {1, 2, 3};
    const struct {
        uint8_t state;
        int status;
    } cases[] = {{0x02, kFrameUnsynchronised}, {0x06, kFrameUnsynchronised},
                 {0x0E, kFrameUnsynchronised}, {0x04, kFrameEncrypted},
                 {0x0C, kFrameEncrypted},      {0x08, kFrameNothingToDo}};
    for (const auto& c : cases) {
        const uint32_t i = AddFrame(data, c.state);
        tag.Frames.SetDataLength(i, 77);
        EXPECT_EQ(tag.Frames.CompressFrame(i, 2), c.status) << int{c.state};
        EXPECT_EQ(tag.Frames.Data(i), data);
        EXPECT_EQ(tag.Frames.State(i, 2), c.state);
        EXPECT_EQ(tag.Frames.DataLength(i), 77u);
    }
}

TEST_F(FrameCompression, DecompressRefusesDataThatIsNotJustCompressed) {
    const Bytes data = {1, 2, 3};
    const struct {
        uint8_t state;
        int status;
    } cases[] = {{0x00, kFrameNothingToDo},    {0x40, kFrameNothingToDo},
                 {0x02, kFrameUnsynchronised}, {0x0A, kFrameUnsynchronised},
                 {0x0E, kFrameUnsynchronised}, {0x04, kFrameEncrypted},
                 {0x0C, kFrameEncrypted}};
    for (const auto& c : cases) {
        const uint32_t i = AddFrame(data, c.state);
        EXPECT_EQ(tag.Frames.DecompressFrame(i), c.status) << int{c.state};
        EXPECT_EQ(tag.Frames.Data(i), data);
        EXPECT_EQ(tag.Frames.State(i, 2), c.state);
    }
}

TEST_F(FrameCompression, SizeDifferentFromDataLengthIsReportedButKept) {
    const Bytes plain = WordSoup(1000);
    const uint32_t i = AddFrame(CompressBuffer(plain.data(), plain.size(), 2), 0x09);
    tag.Frames.SetDataLength(i, 999);
    EXPECT_EQ(tag.Frames.DecompressFrame(i), kFrameSizeDiffers);
    EXPECT_EQ(tag.Frames.Data(i), plain);
    EXPECT_EQ(tag.Frames.State(i, 2), 0x01);
    EXPECT_EQ(tag.Frames.DataLength(i), 0u);
}

TEST_F(FrameCompression, FailuresAreReportedAndKeepTheFrame) {
    const Bytes junk = {'j', 'u', 'n', 'k', 0, 1, 2, 3};
    const uint32_t corrupt = AddFrame(junk, 0x08);
    tag.Frames.SetDataLength(corrupt, 500);
    EXPECT_EQ(tag.Frames.DecompressFrame(corrupt), kFrameFailed);
    EXPECT_EQ(tag.Frames.Data(corrupt), junk);
    EXPECT_EQ(tag.Frames.State(corrupt, 2), 0x08);
    EXPECT_EQ(tag.Frames.DataLength(corrupt), 500u);

    const Bytes& bomb = ZipBomb();
    const uint32_t hostile = AddFrame(bomb, 0x08);
    EXPECT_EQ(tag.Frames.DecompressFrame(hostile), kFrameFailed);
    EXPECT_EQ(tag.Frames.Data(hostile), bomb);
    EXPECT_TRUE(tag.Frames.IsCompressed(hostile));

    const Bytes needsDictionary = StreamWithPresetDictionary();
    const uint32_t dictionary = AddFrame(needsDictionary, 0x08);
    EXPECT_EQ(tag.Frames.DecompressFrame(dictionary), kFrameFailed);
    EXPECT_EQ(tag.Frames.Data(dictionary), needsDictionary);

    const uint32_t plain = AddFrame(junk);
    EXPECT_EQ(tag.Frames.CompressFrame(plain, 9), kFrameFailed);
    EXPECT_EQ(tag.Frames.Data(plain), junk);
    EXPECT_FALSE(tag.Frames.IsCompressed(plain));
}

TEST_F(FrameCompression, BadIndexRaisesTheRangeError) {
    AddFrame({1});
    EXPECT_THROW(tag.Frames.CompressFrame(0, 2), ERangeError);
    EXPECT_THROW(tag.Frames.CompressFrame(2, 2), ERangeError);
    EXPECT_THROW(tag.Frames.DecompressFrame(0), ERangeError);
    EXPECT_THROW(tag.Frames.DecompressFrame(2), ERangeError);
}

}  // namespace
