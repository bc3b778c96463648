// The Unicode text codec: ISO-8859-1, UTF-16 (with or without byte order mark)
// and UTF-8 frame bytes to code points and back.
#include "id3v2/frames/unicode_text.h"

#include <algorithm>
#include <utility>

namespace id3v2 {

namespace {

constexpr char32_t kReplacement = 0xFFFD;

bool IsHighSurrogate(char32_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}

bool IsLowSurrogate(char32_t unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

// Each maximal ill-formed subpart (a lead byte with the continuation bytes that
// fit it) becomes one U+FFFD, as the Unicode standard recommends, so that
// overlong forms, encoded surrogates and values beyond U+10FFFF never pass.
// Returns true when anything was replaced.
bool DecodeUtf8(std::span<const uint8_t> bytes, std::u32string& out) {
    bool broken = false;
    size_t i = 0;
    while (i < bytes.size()) {
        const uint8_t lead = bytes[i++];
        if (lead < 0x80) {
            out.push_back(lead);
            continue;
        }
        size_t length = 0;
        char32_t code = 0;
        uint8_t low = 0x80;  // the range of the next continuation byte
        uint8_t high = 0xBF;
        if (lead >= 0xC2 && lead <= 0xDF) {
            length = 1;
            code = lead & 0x1F;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 2;
            code = lead & 0x0F;
            low = lead == 0xE0 ? 0xA0 : 0x80;
            high = lead == 0xED ? 0x9F : 0xBF;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 3;
            code = lead & 0x07;
            low = lead == 0xF0 ? 0x90 : 0x80;
            high = lead == 0xF4 ? 0x8F : 0xBF;
        }
        size_t taken = 0;
        while (taken < length && i < bytes.size() && bytes[i] >= low && bytes[i] <= high) {
            code = code << 6 | (bytes[i++] & 0x3F);
            ++taken;
            low = 0x80;
            high = 0xBF;
        }
        if (length == 0 || taken < length) {
            out.push_back(kReplacement);
            broken = true;
        } else {
            out.push_back(code);
        }
    }
    return broken;
}

// Whole units only; a surrogate without its partner becomes U+FFFD.
bool DecodeUtf16(std::span<const uint8_t> bytes, bool bigEndian, std::u32string& out) {
    const auto unit = [&](size_t i) -> char32_t {
        return bigEndian ? char32_t{bytes[i]} << 8 | bytes[i + 1]
                         : char32_t{bytes[i + 1]} << 8 | bytes[i];
    };
    bool broken = false;
    const size_t units = bytes.size() / 2;
    for (size_t k = 0; k < units; ++k) {
        const char32_t first = unit(2 * k);
        if (IsHighSurrogate(first) && k + 1 < units && IsLowSurrogate(unit(2 * k + 2))) {
            out.push_back(0x10000 + ((first - 0xD800) << 10) + (unit(2 * k + 2) - 0xDC00));
            ++k;
        } else if (IsHighSurrogate(first) || IsLowSurrogate(first)) {
            out.push_back(kReplacement);
            broken = true;
        } else {
            out.push_back(first);
        }
    }
    return broken;
}

// Encoding 1 reads its byte order mark; without one the value is read
// little-endian, as most writers that leave it out write it.
void DecodeUtf16Value(std::span<const uint8_t> bytes, uint8_t encoding, TDecodedValue& value) {
    bool bigEndian = encoding == kEncodingUtf16Be;
    if (encoding == kEncodingUtf16 && !bytes.empty()) {
        if (bytes.size() >= 2 && bytes[0] == 0xFF && bytes[1] == 0xFE) {
            bytes = bytes.subspan(2);
        } else if (bytes.size() >= 2 && bytes[0] == 0xFE && bytes[1] == 0xFF) {
            bigEndian = true;
            bytes = bytes.subspan(2);
        } else {
            value.noByteOrderMark = true;
        }
    }
    value.broken = DecodeUtf16(bytes, bigEndian, value.text);
    if (bytes.size() % 2 != 0) {
        value.text.push_back(kReplacement);  // a cut-off unit
        value.broken = true;
    }
}

void AppendUtf16(std::vector<uint8_t>& out, std::u32string_view text, bool bigEndian) {
    const auto put = [&](char32_t unit) {
        const uint8_t high = static_cast<uint8_t>(unit >> 8);
        const uint8_t low = static_cast<uint8_t>(unit & 0xFF);
        out.push_back(bigEndian ? high : low);
        out.push_back(bigEndian ? low : high);
    };
    for (const char32_t c : text) {
        if (c >= 0x10000) {
            put(0xD800 + ((c - 0x10000) >> 10));
            put(0xDC00 + ((c - 0x10000) & 0x3FF));
        } else {
            put(c);
        }
    }
}

}  // namespace

bool IsKnownEncoding(uint8_t encoding) {
    return encoding <= kEncodingUtf8 || encoding == kEncodingUtf16Le;
}

size_t TerminatorWidth(uint8_t encoding) {
    return encoding == kEncodingUtf16 || encoding == kEncodingUtf16Be ||
                   encoding == kEncodingUtf16Le
               ? 2
               : 1;
}

TDecodedValue DecodeValue(std::span<const uint8_t> data, size_t start, uint8_t encoding) {
    TDecodedValue value;
    const std::span<const uint8_t> rest = data.subspan(std::min(start, data.size()));
    const size_t width = TerminatorWidth(encoding);
    size_t length = rest.size();
    size_t terminator = 0;
    for (size_t i = 0; i + width <= rest.size(); i += width) {
        if (std::all_of(rest.begin() + i, rest.begin() + i + width,
                        [](uint8_t byte) { return byte == 0; })) {
            length = i;
            terminator = width;
            break;
        }
    }
    if (terminator == 0 && width == 2 && rest.size() % 2 != 0 && rest.back() == 0) {
        length = rest.size() - 1;
        terminator = 1;
    }
    value.terminated = terminator != 0;
    value.end = data.size() - rest.size() + length + terminator;
    const std::span<const uint8_t> bytes = rest.first(length);
    switch (encoding) {
        case kEncodingLatin1:
            value.text.assign(bytes.begin(), bytes.end());
            break;
        case kEncodingUtf8:
            value.broken = DecodeUtf8(bytes, value.text);
            break;
        default:
            DecodeUtf16Value(bytes, encoding, value);
            break;
    }
    return value;
}

std::optional<std::u32string> Utf8CodePoints(std::string_view utf8) {
    std::u32string text;
    const std::span<const uint8_t> bytes(reinterpret_cast<const uint8_t*>(utf8.data()),
                                         utf8.size());
    if (DecodeUtf8(bytes, text)) {
        return std::nullopt;
    }
    return text;
}

std::string ToUtf8(std::u32string_view text) {
    std::string out;
    out.reserve(text.size());
    for (const char32_t c : text) {
        if (c < 0x80) {
            out.push_back(static_cast<char>(c));
        } else if (c < 0x800) {
            out.push_back(static_cast<char>(0xC0 | c >> 6));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        } else if (c < 0x10000) {
            out.push_back(static_cast<char>(0xE0 | c >> 12));
            out.push_back(static_cast<char>(0x80 | (c >> 6 & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xF0 | c >> 18));
            out.push_back(static_cast<char>(0x80 | (c >> 12 & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (c >> 6 & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        }
    }
    return out;
}

bool IsLatin1Text(std::u32string_view text) {
    return std::all_of(text.begin(), text.end(), [](char32_t c) { return c >= 1 && c <= 0xFF; });
}

uint8_t UnicodeEncodingFor(uint8_t majorVersion) {
    return majorVersion == 4 ? kEncodingUtf8 : kEncodingUtf16;
}

void AppendEncoded(std::vector<uint8_t>& out, std::u32string_view text, uint8_t encoding) {
    switch (encoding) {
        case kEncodingLatin1:
            for (const char32_t c : text) {
                out.push_back(static_cast<uint8_t>(c));
            }
            break;
        case kEncodingUtf16:
            out.insert(out.end(), {0xFF, 0xFE});
            AppendUtf16(out, text, false);
            break;
        case kEncodingUtf16Be:
            AppendUtf16(out, text, true);
            break;
        default: {
            const std::string utf8 = ToUtf8(text);
            out.insert(out.end(), utf8.begin(), utf8.end());
            break;
        }
    }
}

TReencoding ReencodeForVersion3(std::string_view id, std::span<const uint8_t> data,
                                std::vector<uint8_t>& out) {
    // Bytes before the first string: the encoding, and a comment's language.
    size_t prefix = 0;
    if (id == "COMM") {
        prefix = 4;
    } else if (id.size() == 4 && id[0] == 'T') {
        prefix = 1;
    }
    if (prefix == 0 || data.empty() || (data[0] != kEncodingUtf16Be && data[0] != kEncodingUtf8)) {
        return TReencoding::Kept;
    }
    if (data.size() < prefix) {
        return TReencoding::Cannot;
    }
    std::vector<uint8_t> result(data.begin(), data.begin() + static_cast<std::ptrdiff_t>(prefix));
    result[0] = kEncodingUtf16;
    for (size_t at = prefix; at < data.size();) {
        const TDecodedValue value = DecodeValue(data, at, data[0]);
        if (value.broken) {
            return TReencoding::Cannot;
        }
        AppendEncoded(result, value.text, kEncodingUtf16);
        if (value.terminated) {
            result.insert(result.end(), {0, 0});
        }
        at = value.end;
    }
    out = std::move(result);
    return TReencoding::Reencoded;
}

}  // namespace id3v2
