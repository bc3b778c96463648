// The text decoder of text and comment frames: frame bytes in one of the ID3v2
// encodings to an 8-bit (ISO-8859-1) string.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

// Decodes `data` from `start` with the encoding byte `encoding`: 0 ISO-8859-1,
// 1 UTF-16 with byte order mark, 2 UTF-16 big-endian, 3 UTF-8, 9 UTF-16
// little-endian. `limit` is in: the most bytes to read, 0 for no limit; out: the
// bytes consumed from `start`, byte order mark and terminator included, so a
// caller finds what follows a terminated text. In multi-line mode line breaks do
// not end an ISO-8859-1 text. Returns kTextDone, kTextEmpty (start at or past
// the end), kTextReadInPart (a character beyond U+00FF; the text so far stays),
// kTextUnknownEncoding or kTextInvalid (text emptied, except for a UTF-8
// sequence cut off at the end), all of id3v2/result_codes.h.
uint8_t DecodeText(std::span<const uint8_t> data, size_t start, size_t& limit, uint8_t encoding,
                   bool multiLine, std::string& text);

class TFrameIndex;

// Frame-table helpers that the 8-bit and the Unicode text interfaces share.
namespace id3v2::text_frames {

// Comment frame data: encoding byte, three language bytes, then the description.
constexpr size_t kCommentLanguageOffset = 1;
constexpr size_t kLanguageLength = 3;
constexpr size_t kCommentDescriptionOffset = 4;

// Four characters beginning with "T", and not "TXXX".
bool IsTextFrameId(const std::string& id);
// The first frame from `from` on whose identifier is `id` (case-sensitive), or 0.
uint32_t FindFrame(const TFrameIndex& frames, const std::string& id, uint32_t from = 1);
// Encrypted as wanted or as held.
bool IsEncrypted(const TFrameIndex& frames, uint32_t i);
// Resynchronises and decompresses the frame's data for reading; 9 when it is
// encrypted, 2 when the data is empty, else 0.
uint8_t PrepareForReading(TFrameIndex& frames, uint32_t i);
// 4 in place of 0 when anything but zero bytes follows `end` in the data.
uint8_t ReportUnreadRest(uint8_t result, const std::vector<uint8_t>& data, size_t end);
// Replaces the frame's data by plain bytes (State[2] becomes 0).
void ReplaceData(TFrameIndex& frames, uint32_t i, std::vector<uint8_t> data);
// The setters' last step for the text frame `id`: empty data deletes the frame
// (kTextFrameDeleted, or kTextDone when there is none), other data replaces the
// frame's data or goes into a new frame. kTextEncrypted leaves an encrypted
// frame alone; kTextBadId when the identifier cannot be added.
uint8_t StoreTextFrame(TFrameIndex& frames, const std::string& id, std::vector<uint8_t> data);
// The same for comment frame `i` (0: none yet) with empty data meaning "no text".
uint8_t StoreComment(TFrameIndex& frames, uint32_t i, std::vector<uint8_t> data);

}  // namespace id3v2::text_frames
