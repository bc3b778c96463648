// The sizes of the tags that can sit before, inside or after MPEG audio:
// ID3v2 (header or footer), APE and the 128-byte ID3v1 record.
#pragma once

#include <cstdint>
#include <optional>
#include <span>

namespace audio {

constexpr int64_t kId3v1Bytes = 128;
constexpr int64_t kId3v2HeaderBytes = 10;
constexpr int64_t kApeFooterBytes = 32;

// Whether `text` (its bytes without the final zero) stands at `at`.
bool HasText(std::span<const uint8_t> bytes, size_t at, const char* text);
// The whole size of the ID3v2 tag whose header ("ID3") or footer ("3DI")
// starts at `at`, or nothing when there is none there.
std::optional<int64_t> Id3v2TagBytes(std::span<const uint8_t> bytes, size_t at);
std::optional<int64_t> Id3v2FooterTagBytes(std::span<const uint8_t> bytes, size_t at);
// The whole size of the APE tag whose header or footer ("APETAGEX") starts at
// `at`: from a header, the bytes from it to the tag's end; from a footer, the
// bytes from the tag's start to the footer's end.
std::optional<int64_t> ApeTagBytes(std::span<const uint8_t> bytes, size_t at);
bool IsId3v1(std::span<const uint8_t> bytes, size_t at);

}  // namespace audio
