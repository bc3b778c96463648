// The JSON string escaper and writer.
#include "cli/json.h"

#include <cstdint>

namespace cli {

namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";  // U+FFFD

// The length of the well-formed UTF-8 sequence at `i`, or 0 when the bytes
// there are none: no overlong forms, no surrogates, nothing past U+10FFFF.
size_t SequenceLength(std::string_view text, size_t i) {
    const auto byte = [&](size_t k) { return static_cast<uint8_t>(text[k]); };
    const uint8_t lead = byte(i);
    size_t length = 0;
    uint8_t low = 0x80;
    uint8_t high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return 0;
    }
    if (i + length > text.size()) {
        return 0;
    }
    // Only the second byte has a narrowed range; the others are any continuation.
    if (byte(i + 1) < low || byte(i + 1) > high) {
        return 0;
    }
    for (size_t k = i + 2; k < i + length; ++k) {
        if (byte(k) < 0x80 || byte(k) > 0xBF) {
            return 0;
        }
    }
    return length;
}

void AppendHex(std::string& out, unsigned code) {
    constexpr char kHex[] = "0123456789abcdef";
    out += "\\u00";
    out += kHex[(code >> 4) & 0xF];
    out += kHex[code & 0xF];
}

// An ASCII character: quote and backslash escaped in JSON only, control
// characters escaped always, so no terminal control sequence gets through.
void AppendAscii(std::string& out, unsigned char c, bool json) {
    const char* shortForm = c == '\n' ? "\\n" : c == '\r' ? "\\r" : c == '\t' ? "\\t" : nullptr;
    if (json && (c == '"' || c == '\\')) {
        out += '\\';
        out += static_cast<char>(c);
    } else if (shortForm != nullptr) {
        out += shortForm;
    } else if (c < 0x20 || c == 0x7F) {
        AppendHex(out, c);
    } else {
        out += static_cast<char>(c);
    }
}

std::string Escaped(std::string_view text, bool json) {
    std::string out;
    out.reserve(text.size() + 2);
    for (size_t i = 0; i < text.size();) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c < 0x80) {
            AppendAscii(out, c, json);
            ++i;
        } else if (const size_t length = SequenceLength(text, i); length == 0) {
            out += kReplacement;
            ++i;
        } else if (c == 0xC2 && static_cast<uint8_t>(text[i + 1]) < 0xA0) {
            // U+0080..U+009F: the C1 controls, which some terminals obey.
            AppendHex(out, static_cast<uint8_t>(text[i + 1]));
            i += length;
        } else {
            out.append(text.substr(i, length));
            i += length;
        }
    }
    return out;
}

}  // namespace

std::string JsonString(std::string_view text) {
    return '"' + Escaped(text, true) + '"';
}

std::string PrintableText(std::string_view text) {
    return Escaped(text, false);
}

void TJsonWriter::BeforeValue() {
    if (needComma_) {
        text_ += ',';
    }
    needComma_ = true;
}

TJsonWriter& TJsonWriter::BeginObject() {
    BeforeValue();
    text_ += '{';
    needComma_ = false;
    return *this;
}

TJsonWriter& TJsonWriter::EndObject() {
    text_ += '}';
    needComma_ = true;
    return *this;
}

TJsonWriter& TJsonWriter::BeginArray() {
    BeforeValue();
    text_ += '[';
    needComma_ = false;
    return *this;
}

TJsonWriter& TJsonWriter::EndArray() {
    text_ += ']';
    needComma_ = true;
    return *this;
}

TJsonWriter& TJsonWriter::Key(std::string_view key) {
    BeforeValue();
    text_ += JsonString(key);
    text_ += ':';
    needComma_ = false;
    return *this;
}

TJsonWriter& TJsonWriter::String(std::string_view text) {
    BeforeValue();
    text_ += JsonString(text);
    return *this;
}

TJsonWriter& TJsonWriter::Number(long long value) {
    BeforeValue();
    text_ += std::to_string(value);
    return *this;
}

TJsonWriter& TJsonWriter::Bool(bool value) {
    return Literal(value ? "true" : "false");
}

TJsonWriter& TJsonWriter::Null() {
    return Literal("null");
}

TJsonWriter& TJsonWriter::Literal(std::string_view word) {
    BeforeValue();
    text_ += word;
    return *this;
}

}  // namespace cli
