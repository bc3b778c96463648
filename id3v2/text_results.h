// Result codes of the text and comment frame operations of Tid3v2tag: the same
// values for the 8-bit interface (GetText, SetText, GetComment, SetComment) and
// the Unicode one (GetTextUtf8, SetTextUtf8, GetCommentUtf8, SetCommentUtf8).
#pragma once

#include <cstdint>

namespace id3v2 {

constexpr uint8_t kTextDone = 0;
constexpr uint8_t kTextNoFrame = 1;
// The frame's data is empty, or no byte is left where the value would start.
constexpr uint8_t kTextEmpty = 2;
// Not four characters beginning with "T", or "TXXX"; or AddFrame refused it.
constexpr uint8_t kTextBadId = 3;
// The value ended before the rest of the frame: more values follow its
// terminator. The text given is the first value. (8-bit interface: also a
// character beyond U+00FF, with the text before it.)
constexpr uint8_t kTextReadInPart = 4;
constexpr uint8_t kTextUnknownEncoding = 5;
// SetComment only: an Encoding above 3 (the Unicode setter chooses the encoding).
constexpr uint8_t kTextBadCommentEncoding = 6;
// A comment language whose first three characters are not all U+0020..U+00FF.
constexpr uint8_t kTextBadLanguage = 7;
// Reading: the value is damaged. Unicode interface: a sequence that could not be
// decoded (given as U+FFFD), a UTF-16 value without byte order mark, or a
// control character (line breaks are allowed in a comment); the text holds what
// was decoded. Writing with the Unicode interface: a text or description that
// is not well-formed UTF-8 or holds U+0000; nothing is changed.
constexpr uint8_t kTextInvalid = 8;
constexpr uint8_t kTextEncrypted = 9;
constexpr uint8_t kTextDeleted = 255;  // a setter was given an empty text

// Codes of the Unicode interface: GetTextUtf8 0, 1, 2, 3, 4, 5, 8, 9;
// SetTextUtf8 0, 3, 8, 9, 255; GetCommentUtf8 0, 1, 2, 4, 5, 8, 9;
// SetCommentUtf8 0, 5, 7, 8, 9, 255.

// True when a getter's text is the whole stored value, or there is none (no
// frame, empty frame): a caller may then write an edited value back without
// losing anything it did not show.
constexpr bool TextReadInFull(uint8_t result) {
    return result <= kTextEmpty;
}

}  // namespace id3v2
