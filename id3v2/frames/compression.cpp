// zlib glue: whole-buffer deflate and inflate through zlib's C API with
// allocation on the program heap, and the frame-table operations built on them.
#include "id3v2/frames/compression.h"

#include <zlib.h>

#include <algorithm>
#include <cstdlib>
#include <limits>

#include "id3v2/frames/layout.h"
#include "id3v2/frames/unsync.h"
#include "id3v2/id3v2.h"
#include "id3v2/result_codes.h"

namespace {

constexpr int kDeflateLevels[4] = {0, 1, Z_DEFAULT_COMPRESSION, 9};

// Output blocks grow in whole steps of this many bytes.
constexpr size_t kBlockGrain = 256;

size_t RoundUpToGrain(size_t n) {
    return (n + kBlockGrain - 1) / kBlockGrain * kBlockGrain;
}

voidpf HeapAlloc(voidpf, uInt items, uInt size) {
    return std::malloc(size_t{items} * size);
}
void HeapFree(voidpf, voidpf address) {
    std::free(address);
}

z_stream NewStream() {
    z_stream stream{};
    stream.zalloc = HeapAlloc;
    stream.zfree = HeapFree;
    return stream;
}

template <typename Error>
void Check(int code) {
    if (code < 0) {
        throw Error(ZLibResultText(code));
    }
}

// zlib counts input in 32-bit units; a larger block cannot be passed in one piece.
template <typename Error>
uInt InputSize(size_t size) {
    if (size > std::numeric_limits<uInt>::max()) {
        throw Error(ZLibResultText(Z_BUF_ERROR));
    }
    return static_cast<uInt>(size);
}

void PointOutputAt(z_stream& stream, std::vector<uint8_t>& out) {
    stream.next_out = out.data() + stream.total_out;
    stream.avail_out = static_cast<uInt>(out.size() - stream.total_out);
}

// Calls process (deflate or inflate) until the stream ends, enlarging `out` to
// grownSize() whenever zlib stops short of the end, then shrinks `out` to what
// was written. The end routine runs on every path; a negative code raises Error.
template <typename Error, typename Process, typename Finish, typename GrownSize>
void RunToStreamEnd(z_stream& stream, Process process, int flush, Finish finish,
                    std::vector<uint8_t>& out, const GrownSize& grownSize) {
    try {
        for (;;) {
            const int result = process(&stream, flush);
            Check<Error>(result);
            // No preset dictionary can be supplied; inflate would stop here on every
            // call, so waiting for the stream end would never finish.
            if (result == Z_NEED_DICT) {
                throw Error(ZLibResultText(result));
            }
            if (result == Z_STREAM_END) {
                break;
            }
            out.resize(grownSize());
            PointOutputAt(stream, out);
        }
    } catch (...) {
        finish(&stream);
        throw;
    }
    Check<Error>(finish(&stream));
    out.resize(stream.total_out);
}

// Status of a frame operation that cannot run on data held in this state.
int RefusalStatus(uint8_t state) {
    if (state & id3v2::kFormatUnsync) {
        return id3v2::kFrameUnsynchronised;
    }
    return (state & id3v2::kFormatEncryption) ? id3v2::kFrameEncrypted : id3v2::kFrameNothingToDo;
}

}  // namespace

const char* ZLibResultText(int code) {
    static constexpr const char* kTexts[] = {"need dictionary",
                                             "stream end",
                                             "",
                                             "file error",
                                             "stream error",
                                             "data error",
                                             "insufficient memory",
                                             "buffer error",
                                             "incompatible version",
                                             ""};
    if (code > 2 || code < -7) {
        return "";
    }
    return kTexts[2 - code];
}

std::vector<uint8_t> CompressBuffer(const uint8_t* data, size_t size, uint8_t level) {
    if (level >= std::size(kDeflateLevels)) {
        throw EZCompressionError(ZLibResultText(Z_STREAM_ERROR));
    }
    // Sized so that a typical deflate result fits at once.
    std::vector<uint8_t> out(RoundUpToGrain(size + size / 10 + 12));
    z_stream stream = NewStream();
    // zlib never writes through next_in; its type just lacks the const.
    stream.next_in = const_cast<Bytef*>(data);
    stream.avail_in = InputSize<EZCompressionError>(size);
    PointOutputAt(stream, out);
    Check<EZCompressionError>(deflateInit_(&stream, kDeflateLevels[level], ZLIB_VERSION,
                                           static_cast<int>(sizeof(z_stream))));
    RunToStreamEnd<EZCompressionError>(stream, deflate, Z_FINISH, deflateEnd, out,
                                       [&out] { return out.size() + kBlockGrain; });
    return out;
}

std::vector<uint8_t> DecompressBuffer(const uint8_t* data, size_t size, size_t estimate) {
    // One byte beyond the limit is room enough to see that the stream goes on.
    constexpr size_t kMaxBlock = kMaxDecompressedSize + 1;
    // A zero step would hand zlib no output space at all for an empty input.
    const size_t step = RoundUpToGrain(std::max<size_t>(size, 1));
    std::vector<uint8_t> out(std::min(estimate != 0 ? estimate : step, kMaxBlock));
    z_stream stream = NewStream();
    stream.next_in = const_cast<Bytef*>(data);
    stream.avail_in = InputSize<EZDecompressionError>(size);
    PointOutputAt(stream, out);
    Check<EZDecompressionError>(
        inflateInit_(&stream, ZLIB_VERSION, static_cast<int>(sizeof(z_stream))));
    const auto grownSize = [&] {
        if (stream.total_out > kMaxDecompressedSize) {
            throw EZDecompressionError(ZLibResultText(Z_MEM_ERROR));
        }
        return std::min(out.size() + step, kMaxBlock);
    };
    RunToStreamEnd<EZDecompressionError>(stream, inflate, Z_NO_FLUSH, inflateEnd, out, grownSize);
    if (out.size() > kMaxDecompressedSize) {
        throw EZDecompressionError(ZLibResultText(Z_MEM_ERROR));
    }
    return out;
}

int TFrameIndex::CompressFrame(uint32_t index, uint8_t level) {
    TFrameEntry& entry = At(index);
    constexpr uint8_t kBlocking =
        id3v2::kFormatCompression | id3v2::kFormatEncryption | id3v2::kFormatUnsync;
    if (entry.State[1] & kBlocking) {
        return RefusalStatus(entry.State[1]);
    }
    try {
        std::vector<uint8_t> packed = CompressBuffer(entry.Data.data(), entry.Data.size(), level);
        entry.DataLength = static_cast<uint32_t>(entry.Data.size());
        entry.Data = std::move(packed);
        entry.State[1] |= id3v2::kFormatCompression;
        entry.Modified = 1;
        return id3v2::kFrameDone;
    } catch (const std::exception&) {
        return id3v2::kFrameFailed;
    }
}

int TFrameIndex::DecompressFrame(uint32_t index) {
    TFrameEntry& entry = At(index);
    if ((entry.State[1] & id3v2::kFormatCompression) == 0 ||
        (entry.State[1] & (id3v2::kFormatEncryption | id3v2::kFormatUnsync))) {
        return RefusalStatus(entry.State[1]);
    }
    try {
        std::vector<uint8_t> plain = DecompressBuffer(entry.Data.data(), entry.Data.size(), 0);
        const int status =
            plain.size() == entry.DataLength ? id3v2::kFrameDone : id3v2::kFrameSizeDiffers;
        entry.DataLength = 0;
        entry.Data = std::move(plain);
        entry.State[1] &= static_cast<uint8_t>(~id3v2::kFormatCompression);
        entry.Modified = 1;
        return status;
    } catch (const std::exception&) {
        return id3v2::kFrameFailed;
    }
}

std::optional<std::vector<uint8_t>> id3v2::PlainFrameData(const TFrameIndex& frames, uint32_t i) {
    std::vector<uint8_t> plain = frames.Data(i);
    if (frames.IsUnsynchronised(i)) {
        ResyncBytes(plain);
    }
    if (frames.IsCompressed(i)) {
        try {
            plain = DecompressBuffer(plain.data(), plain.size(), 0);
        } catch (const EZLibError&) {
            return std::nullopt;
        }
    }
    return plain;
}
