// JSON output: strings escaped so that any bytes make valid JSON, and a small
// writer of one object per line (JSON Lines).
#pragma once

#include <string>
#include <string_view>

namespace cli {

// `text` as a quoted JSON string: quote, backslash and control characters
// escaped, well-formed UTF-8 kept, each byte of a malformed sequence (an
// overlong form, a surrogate, a cut-off or stray byte) as U+FFFD.
std::string JsonString(std::string_view text);
// `text` for a terminal: escaped as in JSON but for quote and backslash, so
// that a hostile tag sends no control sequence and no malformed UTF-8.
std::string PrintableText(std::string_view text);

// Builds one JSON value in text; the caller opens and closes objects and
// arrays in order, and the writer puts the commas.
class TJsonWriter {
  public:
    TJsonWriter& BeginObject();
    TJsonWriter& EndObject();
    TJsonWriter& BeginArray();
    TJsonWriter& EndArray();
    // The key of the next value inside an object.
    TJsonWriter& Key(std::string_view key);
    TJsonWriter& String(std::string_view text);
    TJsonWriter& Number(long long value);
    TJsonWriter& Bool(bool value);
    TJsonWriter& Null();
    const std::string& Text() const { return text_; }

  private:
    void BeforeValue();
    TJsonWriter& Literal(std::string_view word);
    std::string text_;
    bool needComma_ = false;
};

}  // namespace cli
