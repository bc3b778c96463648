// The Unicode text codec of ID3v2 frames: frame bytes in any text encoding to
// code points and back, and the re-encoding a version-3 tag needs.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace id3v2 {

// Text encoding bytes. 9 is no ID3v2 encoding, but the Latin-1 decoder has
// always read it as UTF-16 little-endian, so the Unicode one does too.
constexpr uint8_t kEncodingLatin1 = 0;
constexpr uint8_t kEncodingUtf16 = 1;  // with a byte order mark
constexpr uint8_t kEncodingUtf16Be = 2;
constexpr uint8_t kEncodingUtf8 = 3;
constexpr uint8_t kEncodingUtf16Le = 9;

bool IsKnownEncoding(uint8_t encoding);
// One zero byte, or one zero unit for the UTF-16 encodings.
size_t TerminatorWidth(uint8_t encoding);

// One value of a frame, decoded.
struct TDecodedValue {
    std::u32string text;
    size_t end = 0;                // offset just past the value's terminator, or the data's end
    bool terminated = false;       // a terminator ended the value
    bool broken = false;           // a sequence that could not be decoded became U+FFFD
    bool noByteOrderMark = false;  // encoding 1 without a byte order mark, read little-endian
};

// Decodes the value that starts at `start` and ends at the first terminator of
// its encoding (aligned to whole units for UTF-16) or at the end of the data.
// Encoding 1 takes the byte order mark at the start of the value. A last odd
// byte of a UTF-16 value is a cut-off unit, unless it is zero: then it is taken
// as a terminator that lost its second byte. `encoding` must be known.
TDecodedValue DecodeValue(std::span<const uint8_t> data, size_t start, uint8_t encoding);

// The code points of well-formed UTF-8, or nothing.
std::optional<std::u32string> Utf8CodePoints(std::string_view utf8);
std::string ToUtf8(std::u32string_view text);

// True when every character lies in U+0001..U+00FF: such a text is written as
// ISO-8859-1 (encoding 0), exactly as the 8-bit interface writes it.
bool IsLatin1Text(std::u32string_view text);
// The encoding for a text that is not Latin-1: UTF-8 in a version-4 tag, UTF-16
// with byte order mark in any other (version 3 knows no UTF-8).
uint8_t UnicodeEncodingFor(uint8_t majorVersion);
// Appends `text` in `encoding` (0, 1, 2 or 3) without terminator; encoding 1
// starts with the byte order mark FF FE. Encoding 0 needs a Latin-1 text.
void AppendEncoded(std::vector<uint8_t>& out, std::u32string_view text, uint8_t encoding);

// Re-encoding of a frame's plain data for a version-3 tag, which has no
// UTF-16BE (2) and no UTF-8 (3).
enum class TReencoding : uint8_t {
    Kept,       // nothing to do: not a text or comment frame, or encoding 0, 1 or other
    Reencoded,  // `out` holds the same strings in encoding 1
    Cannot,     // the data does not decode in full; it must stay as it is
};
// For a text-information frame ("T...", "TXXX" included) or a comment frame
// ("COMM") in encoding 2 or 3: every string becomes UTF-16 with its own byte
// order mark, every terminator two zero bytes; the language of a comment stays.
// The data must be plain (not compressed, encrypted or unsynchronised).
TReencoding ReencodeForVersion3(std::string_view id, std::span<const uint8_t> data,
                                std::vector<uint8_t>& out);

}  // namespace id3v2
