// zlib glue for compressed ID3v2 frames: whole-buffer deflate and inflate, and
// the exceptions that carry zlib's error texts.
#pragma once

#include <cstddef>
#include <cstdint>
#include <exception>
#include <optional>
#include <string>
#include <utility>
#include <vector>

// A zlib failure; what() is zlib's text for the result code, such as "data error".
class EZLibError : public std::exception {
  public:
    explicit EZLibError(std::string message) : message_(std::move(message)) {}
    const char* what() const noexcept override { return message_.c_str(); }

  private:
    std::string message_;
};

class EZCompressionError : public EZLibError {
  public:
    using EZLibError::EZLibError;
};

class EZDecompressionError : public EZLibError {
  public:
    using EZLibError::EZLibError;
};

// zlib's text for a result code (2 down to -6); empty for codes without one.
const char* ZLibResultText(int code);

// Inflated output is refused beyond this size: no tag can hold more, and a small
// hostile frame must not cost gigabytes of memory and time.
constexpr size_t kMaxDecompressedSize = 0x10000000;

// A complete zlib stream of the block. level is an index 0..3 into the deflate
// levels 0 (stored), 1 (fastest), -1 (zlib's default) and 9 (best); any other
// index raises EZCompressionError("stream error").
std::vector<uint8_t> CompressBuffer(const uint8_t* data, size_t size, uint8_t level);
// The inflated block. estimate is the expected size, 0 when unknown. Raises
// EZDecompressionError for a bad or cut-off stream, for one that needs a preset
// dictionary ("need dictionary"), and ("insufficient memory")
// when the output would pass kMaxDecompressedSize bytes.
std::vector<uint8_t> DecompressBuffer(const uint8_t* data, size_t size, size_t estimate);

class TFrameIndex;

namespace id3v2 {

// A copy of frame i's data in plain form, resynchronised and inflated as it is
// held, leaving the frame as it is; nothing when its compressed data does not
// inflate. The frame must not be encrypted.
std::optional<std::vector<uint8_t>> PlainFrameData(const TFrameIndex& frames, uint32_t i);

}  // namespace id3v2
