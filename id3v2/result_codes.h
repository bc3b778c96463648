// The results of the tag library, named once for the library and its callers:
// the result word of loads and saves, the text and comment results, and the
// status values of the operations on one frame.
#pragma once

#include <cstdint>

#include "platform/file.h"

namespace id3v2 {

// --- Result word of LoadFromFile, ReadTag, SaveToFile and SaveToStream ---
// High byte an error code (0 success), low byte warning bits collected by OR.

constexpr uint16_t ResultWord(uint8_t code) {
    return static_cast<uint16_t>(code << 8);
}
constexpr uint8_t ErrorCode(uint16_t result) {
    return static_cast<uint8_t>(result >> 8);
}
// Warnings do not make a load or save fail.
constexpr bool Succeeded(uint16_t result) {
    return result < 0x100;
}
// Setting an error code keeps the warnings collected so far.
constexpr void SetErrorCode(uint16_t& result, uint8_t code) {
    result = static_cast<uint16_t>(ResultWord(code) | (result & 0xFF));
}

// Error codes of loads and saves alike.
constexpr uint8_t kCannotOpen = 0x01;  // the file does not exist or cannot be opened
constexpr uint8_t kReadFailed = 0x03;
constexpr uint8_t kIoFailed = 0x05;  // any other input/output failure
// A load: the file is not longer than the tag offset. A save: the file is
// shorter than the start offset.
constexpr uint8_t kOffsetPastEnd = 0x08;
// The tag offset is 4 GiB or more, beyond what TagOffset holds; nothing is
// read or written.
constexpr uint8_t kOffsetTooLarge = 0x09;
// A load: neither 2, 3 nor 4. A save or a conversion: neither 3 nor 4.
constexpr uint8_t kBadVersion = 0x11;
// A load: a revision other than 0 while AcceptRevisions is 0. A save: a
// revision other than 0 asked for.
constexpr uint8_t kRevisionRefused = 0x12;

// Error codes of loads only.
constexpr uint8_t kNoTag = 0x10;       // no tag header at the offset
constexpr uint8_t kTagPastEnd = 0x20;  // the tag reaches past the end of the file
constexpr uint8_t kBadFrameId = 0x21;
// A version 2.2 tag whose header marks it compressed: that version never
// defined the method, so its frames cannot be read.
constexpr uint8_t kCompressedTag = 0x13;
constexpr uint8_t kCorrupt = 0xFE;

// Error codes of saves only.
constexpr uint8_t kProtectedFile = 0x02;  // read-only, hidden or system
constexpr uint8_t kWriteFailed = 0x04;
constexpr uint8_t kTagTooLarge = 0x22;  // the body would pass the 28-bit size
// A frame's wanted flag disagrees with its data, and AdjustFlags is off.
constexpr uint8_t kEncryptionMismatch = 0xC0;
constexpr uint8_t kGroupingMismatch = 0xC1;
// A version 4 frame asks for a data length its encrypted data cannot tell.
constexpr uint8_t kEncryptedLengthUnknown = 0xC2;
constexpr uint8_t kNoFrames = 0xFD;  // before or after pruning
// The last load failed, or was a listing load that left image bytes in the
// file; nothing is saved.
constexpr uint8_t kLastLoadFailed = 0xFE;

// Warning bits of loads.
constexpr uint16_t kWarnHeaderFlags = 0x80;     // undefined tag header flags set
constexpr uint16_t kWarnExtendedHeader = 0x40;  // irregular extended header
constexpr uint16_t kWarnRevision = 0x10;        // a revision other than 0
constexpr uint16_t kWarnPaddingDiffers = 0x04;  // version 3: not the declared padding
// Version 3: bytes after the last frame that are neither padding nor a frame
// (other programs read such tags); they count as padding, which a save writes
// as zeros.
constexpr uint16_t kWarnJunkAfterFrames = 0x02;
// Warning bit of saves: a frame is not written as asked. A frame flag the
// writer cannot honour was changed, or a version 3 save left a text or comment
// frame in an encoding version 3 lacks (encrypted, or not decodable).
constexpr uint16_t kWarnFlagsAdjusted = 0x08;

// A load that found no ID3v2 tag at all: no tag header at the offset, or
// nothing at the offset. A new tag may be started for such a file.
constexpr bool FoundNoTag(uint16_t loadResult) {
    const uint8_t code = ErrorCode(loadResult);
    return code == kNoTag || code == kOffsetPastEnd;
}

// --- Results of the text and comment operations: the 8-bit interface (DecodeText,
// GetText, SetText, GetComment, SetComment) and the Unicode one (GetTextUtf8,
// SetTextUtf8, GetCommentUtf8, SetCommentUtf8) share the values ---

constexpr uint8_t kTextDone = 0;
constexpr uint8_t kTextNoFrame = 1;
// The frame's data is empty, or no byte is left where the value would start.
constexpr uint8_t kTextEmpty = 2;
// Not four characters beginning with "T", or "TXXX"; or AddFrame refused it.
constexpr uint8_t kTextBadId = 3;
// The text holds only part of the value: more values follow its terminator
// (the text is the first value), or, in the 8-bit interface, a character beyond
// U+00FF ended it (the text read so far stays).
constexpr uint8_t kTextReadInPart = 4;
constexpr uint8_t kTextUnknownEncoding = 5;
// SetComment only: an Encoding above 3 (the Unicode setter chooses the encoding).
constexpr uint8_t kTextBadCommentEncoding = 6;
// SetComment: a language character below 0x20; SetCommentUtf8: a language
// whose first three characters are not all U+0020..U+00FF.
constexpr uint8_t kTextBadLanguage = 7;
// Reading: the value is damaged (a bad byte order mark, a control character,
// a sequence that could not be decoded; the Unicode interface gives U+FFFD for
// it and reads UTF-16 without byte order mark as little-endian). Writing with
// the Unicode interface: a text or description that is not well-formed UTF-8
// or holds U+0000; nothing is changed.
constexpr uint8_t kTextInvalid = 8;
constexpr uint8_t kTextEncrypted = 9;
constexpr uint8_t kTextFrameDeleted = 255;  // the new text was empty

// Codes of the Unicode interface: GetTextUtf8 0, 1, 2, 3, 4, 5, 8, 9;
// SetTextUtf8 0, 3, 8, 9, 255; GetCommentUtf8 0, 1, 2, 4, 5, 8, 9;
// SetCommentUtf8 0, 5, 7, 8, 9, 255.

// True when the text got is the frame's whole value, or there is no value:
// done, no frame or empty. Any other result leaves a stored value that the
// text does not reproduce, so a caller writes it back only when edited.
constexpr bool TextReadInFull(uint8_t result) {
    return result == kTextDone || result == kTextNoFrame || result == kTextEmpty;
}

// --- Status values of CompressFrame, DecompressFrame, Unsynchronise and Resynchronise ---

constexpr int kFrameDone = 0;
constexpr int kFrameNothingToDo = -1;    // already in, or not in, the asked form
constexpr int kFrameSizeDiffers = -2;    // decompressed, but not to DataLength bytes
constexpr int kFrameEncrypted = 1;       // the data is encrypted
constexpr int kFrameUnsynchronised = 2;  // the data is unsynchronised
constexpr int kFrameFailed = 4;          // the transform raised; the data is unchanged

// The errno value behind the last error code that ErrorCodeOf gave on this
// thread, so that a caller can name the cause; it clears it before the operation.
inline thread_local int lastErrorNumber = 0;
inline int LastErrorNumber() {
    return lastErrorNumber;
}
inline void ClearLastErrorNumber() {
    lastErrorNumber = 0;
}

// The error code of a load or save that a file operation ended; callers that
// write through the platform's files themselves (the ID3v1 record) report
// their failures with the same codes.
inline uint8_t ErrorCodeOf(const platform::IoError& error) {
    lastErrorNumber = error.Code();
    if (dynamic_cast<const platform::OpenError*>(&error) != nullptr) {
        return kCannotOpen;
    }
    if (dynamic_cast<const platform::ReadError*>(&error) != nullptr) {
        return kReadFailed;
    }
    if (dynamic_cast<const platform::WriteError*>(&error) != nullptr) {
        return kWriteFailed;
    }
    return kIoFailed;
}

}  // namespace id3v2
