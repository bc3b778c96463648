// Fuzz target: the Unicode text codec with every encoding, the re-encoding for
// version-3 tags, and the UTF-8 text and comment interface over frames made of
// the same bytes.
#include <cstdlib>
#include <span>
#include <string>
#include <vector>

#include "id3v2/frames/unicode_text.h"
#include "id3v2/id3v2.h"
#include "id3v2/result_codes.h"

namespace {

using namespace id3v2;

void Require(bool condition) {
    if (!condition) {
        std::abort();
    }
}

bool IsScalarValue(char32_t c) {
    return c != 0 && c <= 0x10FFFF && (c < 0xD800 || c > 0xDFFF);
}

void CheckDecoder(std::span<const uint8_t> bytes, size_t start, uint8_t encoding) {
    const TDecodedValue value = DecodeValue(bytes, start, encoding);
    Require(value.end <= bytes.size());
    Require(start >= bytes.size() || value.end > start);
    for (const char32_t c : value.text) {
        Require(IsScalarValue(c));
    }
    Require(Utf8CodePoints(ToUtf8(value.text)) == value.text);
    // Whatever was decoded is written and read back unchanged in every encoding
    // the setters use.
    for (const uint8_t target : {kEncodingUtf16, kEncodingUtf16Be, kEncodingUtf8}) {
        std::vector<uint8_t> encoded;
        AppendEncoded(encoded, value.text, target);
        const TDecodedValue again = DecodeValue(encoded, 0, target);
        Require(again.text == value.text && again.end == encoded.size() && !again.broken);
    }
}

// The strings of a frame's data from `prefix` on, each with its terminated flag.
std::vector<TDecodedValue> Strings(std::span<const uint8_t> data, size_t prefix) {
    std::vector<TDecodedValue> strings;
    for (size_t at = prefix; at < data.size(); at = strings.back().end) {
        strings.push_back(DecodeValue(data, at, data[0]));
    }
    return strings;
}

void CheckReencoding(std::span<const uint8_t> bytes, const char* id, size_t prefix) {
    std::vector<uint8_t> out;
    const TReencoding outcome = ReencodeForVersion3(id, bytes, out);
    if (outcome != TReencoding::Reencoded) {
        Require(out.empty());
        return;
    }
    Require(out[0] == kEncodingUtf16 &&
            (bytes[0] == kEncodingUtf16Be || bytes[0] == kEncodingUtf8));
    const std::vector<TDecodedValue> before = Strings(bytes, prefix);
    const std::vector<TDecodedValue> after = Strings(out, prefix);
    Require(before.size() == after.size());
    for (size_t k = 0; k < before.size(); ++k) {
        Require(before[k].text == after[k].text && before[k].terminated == after[k].terminated &&
                !after[k].broken && !after[k].noByteOrderMark);
    }
}

void CheckFrames(std::span<const uint8_t> bytes, uint8_t version) {
    Tid3v2tag tag;
    tag.MajorVersion = version;
    tag.Frames.Data(tag.Frames.AddFrame("TIT2")).assign(bytes.begin(), bytes.end());
    tag.Frames.Data(tag.Frames.AddFrame("COMM")).assign(bytes.begin(), bytes.end());
    std::string text;
    const uint8_t result = tag.GetTextUtf8("TIT2", text);
    Require(result == kTextDone || result == kTextEmpty || result == kTextReadInPart ||
            result == kTextUnknownEncoding || result == kTextInvalid);
    Require(Utf8CodePoints(text).has_value());
    if (result == kTextDone && !text.empty()) {
        Require(tag.SetTextUtf8("TIT2", text) == kTextDone);
        std::string again;
        Require(tag.GetTextUtf8("TIT2", again) == kTextDone && again == text);
    }
    COMM value;
    const uint8_t commentResult = tag.GetCommentUtf8(value, "", "None");
    if (commentResult == kTextDone && !value.Text.empty() &&
        tag.SetCommentUtf8(value, "", "None") == kTextDone) {
        COMM again;
        Require(tag.GetCommentUtf8(again, "", "None") == kTextDone && again.Text == value.Text);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::span<const uint8_t> bytes(data, size);
    const size_t start = size > 0 ? data[0] % 8 : 0;
    for (const uint8_t encoding :
         {kEncodingLatin1, kEncodingUtf16, kEncodingUtf16Be, kEncodingUtf8, kEncodingUtf16Le}) {
        CheckDecoder(bytes, start, encoding);
    }
    CheckReencoding(bytes, "TIT2", 1);
    CheckReencoding(bytes, "COMM", 4);
    CheckFrames(bytes, size > 1 && data[1] % 2 == 0 ? 4 : 3);
    return 0;
}
