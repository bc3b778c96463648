// Text and comment frames of the tag object: the decoder, and reading and
// writing "T..." frames and "COMM" frames over the frame table.
#include "id3v2/frames/text_frames.h"

#include <algorithm>
#include <cstring>
#include <utility>
#include <vector>

#include "id3v2/frames/layout.h"
#include "id3v2/id3v2.h"
#include "id3v2/result_codes.h"

using id3v2::kTextBadCommentEncoding;
using id3v2::kTextBadId;
using id3v2::kTextBadLanguage;
using id3v2::kTextDone;
using id3v2::kTextEmpty;
using id3v2::kTextEncrypted;
using id3v2::kTextFrameDeleted;
using id3v2::kTextInvalid;
using id3v2::kTextNoFrame;
using id3v2::kTextReadInPart;
using id3v2::kTextUnknownEncoding;

namespace {

bool IsLineBreak(uint8_t byte) {
    return byte == 0x0A || byte == 0x0D;
}

uint8_t DecodeLatin1(std::span<const uint8_t> bytes, bool multiLine, size_t& consumed,
                     std::string& text) {
    size_t i = 0;
    while (i < bytes.size()) {
        const uint8_t byte = bytes[i++];
        text.push_back(static_cast<char>(byte));
        if (byte < 0x20 && !(multiLine && IsLineBreak(byte))) {
            break;
        }
    }
    consumed = i;
    const uint8_t last = static_cast<uint8_t>(text.back());
    if (!multiLine && last < 0x20 && last != 0x00 && !IsLineBreak(last)) {
        text.clear();
        return kTextInvalid;
    }
    return kTextDone;
}

uint8_t DecodeUtf16(std::span<const uint8_t> bytes, uint8_t encoding, size_t& consumed,
                    std::string& text) {
    size_t i = 0;
    bool bigEndian = encoding == 2;
    if (encoding == 1) {
        if (bytes.size() >= 2 && bytes[0] == 0xFF && bytes[1] == 0xFE) {
            bigEndian = false;
        } else if (bytes.size() >= 2 && bytes[0] == 0xFE && bytes[1] == 0xFF) {
            bigEndian = true;
        } else {
            consumed = 0;
            return kTextInvalid;
        }
        i = 2;
    }
    uint8_t result = kTextDone;
    while (i + 2 <= bytes.size()) {
        const uint16_t unit = bigEndian ? static_cast<uint16_t>(bytes[i] << 8 | bytes[i + 1])
                                        : static_cast<uint16_t>(bytes[i + 1] << 8 | bytes[i]);
        i += 2;
        if (unit > 0xFF) {
            result = kTextReadInPart;
            break;
        }
        if (unit == 0x0000) {
            break;
        }
        if (unit < 0x20) {
            text.clear();
            result = kTextInvalid;
            break;
        }
        text.push_back(static_cast<char>(unit));
    }
    consumed = i;
    return result;
}

// Only the Latin-1 range is representable: two-byte sequences with a lead byte
// C0..C3; a lone continuation byte keeps its low six bits.
uint8_t DecodeUtf8(std::span<const uint8_t> bytes, size_t& consumed, std::string& text) {
    size_t i = 0;
    while (i < bytes.size()) {
        const uint8_t byte = bytes[i++];
        uint8_t character = byte;
        if (byte >= 0xC4) {
            consumed = i;
            return kTextReadInPart;
        }
        if (byte >= 0xC0) {
            if (i == bytes.size()) {
                consumed = i;
                return kTextInvalid;  // cut off: the text read so far stays
            }
            character = static_cast<uint8_t>((byte & 0x03) << 6 | (bytes[i++] & 0x3F));
        } else if (byte >= 0x80) {
            character = byte & 0x3F;
        }
        text.push_back(static_cast<char>(character));
        if (character < 0x20) {
            break;
        }
    }
    consumed = i;
    const uint8_t last = static_cast<uint8_t>(text.back());
    if (last < 0x20 && last != 0x00) {
        text.clear();
        return kTextInvalid;
    }
    return kTextDone;
}

}  // namespace

namespace id3v2::text_frames {

bool IsTextFrameId(const std::string& id) {
    return id.size() == 4 && id[0] == 'T' && id != "TXXX";
}

// The first frame from `from` on whose identifier is `id` (case-sensitive), or 0.
uint32_t FindFrame(const TFrameIndex& frames, const std::string& id, uint32_t from) {
    for (uint32_t i = from; i <= frames.FrameCount(); ++i) {
        if (frames.Id(i) == id) {
            return i;
        }
    }
    return 0;
}

bool IsEncrypted(const TFrameIndex& frames, uint32_t i) {
    return ((frames.WantedFlags(i, 2) | frames.State(i, 2)) & id3v2::kFormatEncryption) != 0;
}

// Brings the frame's data into plain form for reading. The wanted flags stay, so
// the writer encodes the frame again. A failed resynchronisation or
// decompression leaves the stored bytes, which the decoder then reads as they are.
uint8_t PrepareForReading(TFrameIndex& frames, uint32_t i) {
    if (IsEncrypted(frames, i)) {
        return kTextEncrypted;  // checked first so the frame stays exactly as it is
    }
    const uint8_t flags = frames.WantedFlags(i, 2) | frames.State(i, 2);
    if (flags & id3v2::kFormatUnsync) {
        frames.Resynchronise(i);
    }
    if (flags & id3v2::kFormatCompression) {
        frames.DecompressFrame(i);
    }
    return frames.DataSize(i) == 0 ? kTextEmpty : kTextDone;
}

// The decoder stops at a terminator or, in a single-line text, at a line break.
// When anything but zero bytes follows in the frame (further values of a
// multi-value frame, the rest of a broken line), the text read is only part of
// the frame: it is reported as read in part, which keeps the text read so far,
// so that a caller writing it back does not cut the frame short.
uint8_t ReportUnreadRest(uint8_t result, const std::vector<uint8_t>& data, size_t end) {
    if (result == kTextDone && std::any_of(data.begin() + static_cast<std::ptrdiff_t>(end),
                                           data.end(), [](uint8_t byte) { return byte != 0; })) {
        return kTextReadInPart;
    }
    return result;
}

// Replaces the frame's data by plain bytes.
void ReplaceData(TFrameIndex& frames, uint32_t i, std::vector<uint8_t> data) {
    frames.SetState(i, 2, 0);
    frames.Data(i) = std::move(data);
}

uint8_t StoreTextFrame(TFrameIndex& frames, const std::string& id, std::vector<uint8_t> data) {
    uint32_t i = FindFrame(frames, id);
    if (i != 0 && IsEncrypted(frames, i)) {
        return kTextEncrypted;
    }
    if (data.empty()) {
        if (i == 0) {
            return kTextDone;
        }
        frames.DeleteFrame(i);
        return kTextFrameDeleted;
    }
    if (i == 0) {
        i = frames.AddFrame(id);
        if (i == 0) {
            return kTextBadId;  // not a valid frame identifier once upper-cased
        }
    }
    ReplaceData(frames, i, std::move(data));
    return kTextDone;
}

uint8_t StoreComment(TFrameIndex& frames, uint32_t i, std::vector<uint8_t> data) {
    if (data.empty()) {
        frames.DeleteFrame(i);
        return kTextFrameDeleted;
    }
    if (i == 0) {
        i = frames.AddFrame("COMM");
    }
    ReplaceData(frames, i, std::move(data));
    return kTextDone;
}

}  // namespace id3v2::text_frames

namespace {

using id3v2::text_frames::FindFrame;
using id3v2::text_frames::IsTextFrameId;
using id3v2::text_frames::kCommentDescriptionOffset;
using id3v2::text_frames::kCommentLanguageOffset;
using id3v2::text_frames::kLanguageLength;
using id3v2::text_frames::PrepareForReading;
using id3v2::text_frames::ReportUnreadRest;
using id3v2::text_frames::StoreComment;
using id3v2::text_frames::StoreTextFrame;

// Walks the comment frames in table order to the first whose description and
// language match. `found` is its index or 0; `frameDescription` holds the last
// description decoded (one trailing zero removed) and `consumed` the bytes it
// took. A frame that cannot be read stops the walk with its result code.
uint8_t FindComment(TFrameIndex& frames, const std::string& description,
                    const std::string& language, std::string& frameDescription, size_t& consumed,
                    uint32_t& found) {
    found = 0;
    for (uint32_t i = FindFrame(frames, "COMM"); i != 0; i = FindFrame(frames, "COMM", i + 1)) {
        if (const uint8_t result = PrepareForReading(frames, i); result != kTextDone) {
            return result;
        }
        const std::vector<uint8_t>& data = frames.Data(i);
        consumed = 0;
        const uint8_t result =
            DecodeText(data, kCommentDescriptionOffset, consumed, data[0], false, frameDescription);
        if (!frameDescription.empty() && frameDescription.back() == '\0') {
            frameDescription.pop_back();
        }
        if (result != kTextDone) {
            return result;
        }
        // The decoder succeeded from offset 4, so the three language bytes exist.
        const bool languageMatches =
            language.size() != kLanguageLength ||
            std::memcmp(language.data(), data.data() + kCommentLanguageOffset, kLanguageLength) ==
                0;
        if (frameDescription == description && languageMatches) {
            found = i;
            return kTextDone;
        }
    }
    return kTextDone;
}

// The language is a short string of at most three characters; missing ones
// count as zero bytes, so a shorter language is refused.
bool IsValidLanguage(const std::string& language) {
    for (size_t k = 0; k < kLanguageLength; ++k) {
        if (k >= language.size() || static_cast<uint8_t>(language[k]) < 0x20) {
            return false;
        }
    }
    return true;
}

std::vector<uint8_t> CommentData(const COMM& value) {
    std::string bytes(1, static_cast<char>(value.Encoding));
    bytes += value.Language.substr(0, kLanguageLength);
    bytes += value.Description;
    if (value.Description.empty() || value.Description.back() != '\0') {
        bytes += '\0';
    }
    bytes += value.Text;
    return {bytes.begin(), bytes.end()};
}

}  // namespace

uint8_t DecodeText(std::span<const uint8_t> data, size_t start, size_t& limit, uint8_t encoding,
                   bool multiLine, std::string& text) {
    text.clear();
    const size_t wanted = limit;
    limit = 0;
    if (start >= data.size()) {
        return kTextEmpty;
    }
    const size_t available = data.size() - start;
    const std::span<const uint8_t> bytes =
        data.subspan(start, wanted != 0 ? std::min(wanted, available) : available);
    switch (encoding) {
        case 0:
            return DecodeLatin1(bytes, multiLine, limit, text);
        case 1:
        case 2:
        case 9:
            return DecodeUtf16(bytes, encoding, limit, text);
        case 3:
            return DecodeUtf8(bytes, limit, text);
        default:
            return kTextUnknownEncoding;
    }
}

uint8_t Tid3v2tag::GetText(const std::string& id, std::string& text) {
    text.clear();
    if (!IsTextFrameId(id)) {
        return kTextBadId;
    }
    const uint32_t i = FindFrame(Frames, id);
    if (i == 0) {
        return kTextNoFrame;
    }
    if (const uint8_t result = PrepareForReading(Frames, i); result != kTextDone) {
        return result;
    }
    const std::vector<uint8_t>& data = Frames.Data(i);
    size_t consumed = 0;
    const uint8_t result = DecodeText(data, 1, consumed, data[0], false, text);
    return ReportUnreadRest(result, data, 1 + consumed);
}

uint8_t Tid3v2tag::SetText(const std::string& id, const std::string& text) {
    if (!IsTextFrameId(id)) {
        return kTextBadId;
    }
    std::vector<uint8_t> data;
    if (!text.empty()) {
        data.push_back(0x00);  // ISO-8859-1; the caller's bytes as they are
        data.insert(data.end(), text.begin(), text.end());
    }
    return StoreTextFrame(Frames, id, std::move(data));
}

uint8_t Tid3v2tag::GetComment(COMM& value, const std::string& description,
                              const std::string& language) {
    value = COMM{};
    size_t consumed = 0;
    uint32_t i = 0;
    if (const uint8_t result =
            FindComment(Frames, description, language, value.Description, consumed, i);
        result != kTextDone) {
        return result;
    }
    if (i == 0) {
        return kTextNoFrame;
    }
    const std::vector<uint8_t>& data = Frames.Data(i);
    value.Encoding = data[0];
    value.Language.assign(data.begin() + kCommentLanguageOffset,
                          data.begin() + kCommentLanguageOffset + kLanguageLength);
    const size_t textStart = kCommentDescriptionOffset + consumed;
    size_t textConsumed = 0;
    const uint8_t result =
        DecodeText(data, textStart, textConsumed, value.Encoding, true, value.Text);
    return ReportUnreadRest(result, data, textStart + textConsumed);
}

uint8_t Tid3v2tag::SetComment(const COMM& value, const std::string& description,
                              const std::string& language) {
    std::string frameDescription;
    size_t consumed = 0;
    uint32_t i = 0;
    if (const uint8_t result =
            FindComment(Frames, description, language, frameDescription, consumed, i);
        result != kTextDone) {
        return result;
    }
    if (i == 0 && value.Text.empty()) {
        return kTextDone;
    }
    if (value.Encoding > 3) {
        return kTextBadCommentEncoding;
    }
    if (!IsValidLanguage(value.Language)) {
        return kTextBadLanguage;
    }
    return StoreComment(Frames, i,
                        value.Text.empty() ? std::vector<uint8_t>{} : CommentData(value));
}
