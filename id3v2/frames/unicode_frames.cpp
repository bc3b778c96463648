// The Unicode interface of the text and comment frames: UTF-8 texts read from
// and written into "T..." and "COMM" frames in any ID3v2 text encoding.
#include <algorithm>
#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "id3v2/frames/text_frames.h"
#include "id3v2/frames/unicode_text.h"
#include "id3v2/id3v2.h"
#include "id3v2/result_codes.h"

namespace {

using namespace id3v2;
using text_frames::FindFrame;
using text_frames::IsTextFrameId;
using text_frames::PrepareForReading;
using text_frames::ReportUnreadRest;
using text_frames::StoreComment;
using text_frames::StoreTextFrame;

using text_frames::kCommentDescriptionOffset;
using text_frames::kCommentLanguageOffset;
using text_frames::kLanguageLength;

bool HasControlCharacter(std::u32string_view text, bool multiLine) {
    return std::any_of(text.begin(), text.end(), [multiLine](char32_t c) {
        return c < 0x20 && !(multiLine && (c == U'\n' || c == U'\r'));
    });
}

// Reads the value that starts at `start` into `text`, or with `every` each
// value up to the end of the data, separated by zero bytes, and tells whether
// that was read in full.
uint8_t ReadValue(const std::vector<uint8_t>& data, size_t start, bool multiLine, std::string& text,
                  bool every = false) {
    if (start >= data.size()) {
        return kTextEmpty;
    }
    if (!IsKnownEncoding(data[0])) {
        return kTextUnknownEncoding;
    }
    bool damaged = false;
    size_t end = start;
    do {
        const TDecodedValue value = DecodeValue(data, end, data[0]);
        if (end != start) {
            text.push_back('\0');
        }
        text += ToUtf8(value.text);
        damaged = damaged || value.broken || value.noByteOrderMark ||
                  HasControlCharacter(value.text, multiLine);
        end = value.end;
    } while (every && end < data.size());
    return ReportUnreadRest(damaged ? kTextInvalid : kTextDone, data, end);
}

// A text the setters can write: well-formed UTF-8 without U+0000, which would
// read back as a terminator.
std::optional<std::u32string> WritableText(const std::string& utf8) {
    std::optional<std::u32string> text = Utf8CodePoints(utf8);
    if (text && text->find(U'\0') != std::u32string::npos) {
        return std::nullopt;
    }
    return text;
}

// As in the 8-bit interface: a language argument of exactly three characters
// must equal the frame's language bytes; any other matches every language.
bool LanguageMatches(const std::string& language, const std::vector<uint8_t>& data) {
    const std::optional<std::u32string> wanted = Utf8CodePoints(language);
    if (!wanted || wanted->size() != kLanguageLength) {
        return true;
    }
    return std::equal(wanted->begin(), wanted->end(), data.begin() + kCommentLanguageOffset);
}

// Walks the comment frames in table order to the first whose description and
// language match; `found` is its index or 0, `textStart` where its text begins,
// `lastDescription` the last description decoded. A description that is not
// decoded cleanly up to its terminator matches nothing, so no frame is replaced
// through a damaged copy of its description. A frame whose description cannot
// be told (encrypted, unknown encoding) stops the walk with its result.
uint8_t FindComment(TFrameIndex& frames, const std::string& description,
                    const std::string& language, std::string& lastDescription, size_t& textStart,
                    uint32_t& found) {
    found = 0;
    for (uint32_t i = FindFrame(frames, "COMM"); i != 0; i = FindFrame(frames, "COMM", i + 1)) {
        if (PrepareForReading(frames, i) == kTextEncrypted) {
            return kTextEncrypted;
        }
        const std::vector<uint8_t>& data = frames.Data(i);
        if (data.size() <= kCommentDescriptionOffset) {
            continue;  // no room for a terminated description
        }
        if (!IsKnownEncoding(data[0])) {
            return kTextUnknownEncoding;
        }
        const TDecodedValue frameDescription =
            DecodeValue(data, kCommentDescriptionOffset, data[0]);
        lastDescription = ToUtf8(frameDescription.text);
        const bool clean = frameDescription.terminated && !frameDescription.broken &&
                           !frameDescription.noByteOrderMark;
        if (clean && lastDescription == description && LanguageMatches(language, data)) {
            found = i;
            textStart = frameDescription.end;
            return kTextDone;
        }
    }
    return kTextDone;
}

// The language bytes to write: the first three characters, each U+0020..U+00FF.
std::optional<std::array<uint8_t, kLanguageLength>> LanguageBytes(const std::string& language) {
    const std::optional<std::u32string> text = Utf8CodePoints(language);
    if (!text || text->size() < kLanguageLength ||
        !std::all_of(text->begin(), text->begin() + kLanguageLength,
                     [](char32_t c) { return c >= 0x20 && c <= 0xFF; })) {
        return std::nullopt;
    }
    std::array<uint8_t, kLanguageLength> bytes{};
    std::copy_n(text->begin(), kLanguageLength, bytes.begin());
    return bytes;
}

// The first value of a text frame, or with `every` all its values.
uint8_t ReadTextFrame(TFrameIndex& frames, const std::string& id, std::string& text, bool every) {
    text.clear();
    if (!IsTextFrameId(id)) {
        return kTextBadId;
    }
    const uint32_t i = FindFrame(frames, id);
    if (i == 0) {
        return kTextNoFrame;
    }
    if (const uint8_t result = PrepareForReading(frames, i); result != kTextDone) {
        return result;
    }
    return ReadValue(frames.Data(i), 1, false, text, every);
}

}  // namespace

uint8_t Tid3v2tag::GetTextUtf8(const std::string& id, std::string& text) {
    return ReadTextFrame(Frames, id, text, false);
}

uint8_t Tid3v2tag::GetTextValuesUtf8(const std::string& id, std::string& text) {
    return ReadTextFrame(Frames, id, text, true);
}

uint8_t Tid3v2tag::SetTextUtf8(const std::string& id, const std::string& text) {
    if (!IsTextFrameId(id)) {
        return kTextBadId;
    }
    const std::optional<std::u32string> value = WritableText(text);
    if (!value) {
        return kTextInvalid;
    }
    std::vector<uint8_t> data;
    if (!value->empty()) {
        const uint8_t encoding =
            IsLatin1Text(*value) ? kEncodingLatin1 : UnicodeEncodingFor(MajorVersion);
        data.push_back(encoding);
        AppendEncoded(data, *value, encoding);
    }
    return StoreTextFrame(Frames, id, std::move(data));
}

uint8_t Tid3v2tag::GetCommentUtf8(COMM& value, const std::string& description,
                                  const std::string& language) {
    value = COMM{};
    size_t textStart = 0;
    uint32_t i = 0;
    if (const uint8_t result =
            FindComment(Frames, description, language, value.Description, textStart, i);
        result != kTextDone) {
        return result;
    }
    if (i == 0) {
        return kTextNoFrame;
    }
    const std::vector<uint8_t>& data = Frames.Data(i);
    value.Encoding = data[0];
    value.Language =
        ToUtf8(std::u32string(data.begin() + kCommentLanguageOffset,
                              data.begin() + kCommentLanguageOffset + kLanguageLength));
    return ReadValue(data, textStart, true, value.Text);
}

uint8_t Tid3v2tag::SetCommentUtf8(const COMM& value, const std::string& description,
                                  const std::string& language) {
    const std::optional<std::u32string> frameDescription = WritableText(value.Description);
    const std::optional<std::u32string> text = WritableText(value.Text);
    if (!frameDescription || !text) {
        return kTextInvalid;
    }
    std::string lastDescription;
    size_t textStart = 0;
    uint32_t i = 0;
    if (const uint8_t result =
            FindComment(Frames, description, language, lastDescription, textStart, i);
        result != kTextDone) {
        return result;
    }
    if (i == 0 && text->empty()) {
        return kTextDone;
    }
    const auto languageBytes = LanguageBytes(value.Language);
    if (!languageBytes) {
        return kTextBadLanguage;
    }
    if (text->empty()) {
        return StoreComment(Frames, i, {});
    }
    const uint8_t encoding = IsLatin1Text(*frameDescription) && IsLatin1Text(*text)
                                 ? kEncodingLatin1
                                 : UnicodeEncodingFor(MajorVersion);
    const auto [l0, l1, l2] = *languageBytes;
    std::vector<uint8_t> data{encoding, l0, l1, l2};
    AppendEncoded(data, *frameDescription, encoding);
    data.insert(data.end(), TerminatorWidth(encoding), 0);
    AppendEncoded(data, *text, encoding);
    return StoreComment(Frames, i, std::move(data));
}
