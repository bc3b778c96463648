// Building frame data from edited views, and the value checks of each kind.
#include "editor/frames/frame_encoding.h"

#include <algorithm>
#include <array>
#include <optional>

#include "id3v2/frames/unicode_text.h"

namespace frames {

namespace {

bool AllDigits(std::string_view text) {
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// A number of exactly `digits` digits from `low` to `high`.
bool FieldInRange(std::string_view text, size_t digits, int low, int high) {
    if (text.size() != digits || !AllDigits(text)) {
        return false;
    }
    const int value = std::stoi(std::string(text));
    return value >= low && value <= high;
}

bool TimestampValid(std::string_view text) {
    // Each part: its separator before it, its width and its range.
    struct Part {
        char separator;
        int low, high;
    };
    static constexpr std::array<Part, 6> kParts{
        {{'\0', 0, 9999}, {'-', 1, 12}, {'-', 1, 31}, {'T', 0, 23}, {':', 0, 59}, {':', 0, 59}}};
    size_t at = 0;
    for (const Part& part : kParts) {
        if (at == text.size()) {
            return at > 0;
        }
        if (part.separator != '\0' && text[at++] != part.separator) {
            return false;
        }
        const size_t width = part.separator == '\0' ? 4 : 2;
        if (!FieldInRange(text.substr(at, width), width, part.low, part.high)) {
            return false;
        }
        at += width;
    }
    return at == text.size();
}

bool PositiveNumber(std::string_view text) {
    return AllDigits(text) && text.find_first_not_of('0') != std::string_view::npos;
}

std::optional<std::u32string> CodePoints(std::string_view text) {
    std::optional<std::u32string> points = id3v2::Utf8CodePoints(text);
    if (points && points->find(U'\0') != std::u32string::npos) {
        return std::nullopt;
    }
    return points;
}

bool UrlValid(std::string_view text) {
    const std::optional<std::u32string> points = CodePoints(text);
    return points && std::all_of(points->begin(), points->end(),
                                 [](char32_t c) { return c >= 0x20 && c <= 0xFF; });
}

// The encoding every one of the texts can be written in.
uint8_t EncodingFor(const std::vector<std::u32string>& texts, int version) {
    const bool latin1 = std::all_of(texts.begin(), texts.end(), [](const std::u32string& text) {
        return id3v2::IsLatin1Text(text);
    });
    return latin1 ? id3v2::kEncodingLatin1
                  : id3v2::UnicodeEncodingFor(static_cast<uint8_t>(version));
}

// The encoded texts, each followed by a terminator but the last.
void AppendTexts(std::vector<uint8_t>& out, const std::vector<std::u32string>& texts,
                 uint8_t encoding) {
    for (size_t i = 0; i < texts.size(); ++i) {
        if (i != 0) {
            out.insert(out.end(), id3v2::TerminatorWidth(encoding), 0);
        }
        id3v2::AppendEncoded(out, texts[i], encoding);
    }
}

std::u32string Join(const std::vector<std::u32string>& values, std::u32string_view separator) {
    std::u32string joined;
    for (size_t i = 0; i < values.size(); ++i) {
        joined.append(i == 0 ? U"" : separator).append(values[i]);
    }
    return joined;
}

std::vector<uint8_t> Latin1Bytes(const std::u32string& text) {
    return std::vector<uint8_t>(text.begin(), text.end());
}

// The language bytes: three characters, or "XXX" (unknown) when none is given.
std::u32string LanguageOf(const TFrameView& view) {
    return view.language.empty() ? U"XXX" : *CodePoints(view.language);
}

TEncodedFrame Encode(const TFrameView& view, int version) {
    std::vector<std::u32string> values;
    for (const std::string& value : view.values) {
        values.push_back(*CodePoints(value));
    }
    const std::u32string description = *CodePoints(view.description);
    TEncodedFrame encoded;
    std::vector<uint8_t>& out = encoded.data;
    if (view.kind == FrameKind::Url) {
        out = Latin1Bytes(values.empty() ? U"" : values.front());
        return encoded;
    }
    // A comment's or lyrics' text is one value: several are its lines.
    if (view.kind == FrameKind::Comment || view.kind == FrameKind::Lyrics) {
        values = {Join(values, U"\n")};
    }
    if (version != 4 && values.size() > 1) {
        values = {Join(values, U"/")};
    }
    // A user URL's own text is its description; the URL is always ISO-8859-1.
    std::vector<std::u32string> texts =
        view.kind == FrameKind::UserUrl ? std::vector<std::u32string>{} : values;
    texts.push_back(description);
    const uint8_t encoding = EncodingFor(texts, version);
    out.push_back(encoding);
    switch (view.kind) {
        case FrameKind::Comment:
        case FrameKind::Lyrics:
            for (const char32_t c : LanguageOf(view)) {
                out.push_back(static_cast<uint8_t>(c));
            }
            [[fallthrough]];
        case FrameKind::UserText:
        case FrameKind::UserUrl:
            values.insert(values.begin(), description);
            break;
        default:
            break;
    }
    if (view.kind == FrameKind::UserUrl) {
        id3v2::AppendEncoded(out, values.front(), encoding);
        out.insert(out.end(), id3v2::TerminatorWidth(encoding), 0);
        const std::vector<uint8_t> url = Latin1Bytes(values.size() > 1 ? values[1] : U"");
        out.insert(out.end(), url.begin(), url.end());
        return encoded;
    }
    AppendTexts(out, values, encoding);
    return encoded;
}

}  // namespace

std::string ValueProblem(std::string_view id, std::string_view value) {
    const FrameKind kind = FrameType(id).kind;
    if (kind == FrameKind::Url || kind == FrameKind::UserUrl) {
        return UrlValid(value) ? "" : "A URL holds ISO-8859-1 characters without control codes.";
    }
    if (!CodePoints(value)) {
        return "The text is not well-formed UTF-8 or holds a zero character.";
    }
    switch (kind) {
        case FrameKind::NumberOfTotal: {
            const size_t slash = value.find('/');
            const bool valid =
                PositiveNumber(value.substr(0, slash)) &&
                (slash == std::string_view::npos || PositiveNumber(value.substr(slash + 1)));
            return valid ? "" : "Give a number or a number and a total, such as 3 or 3/12.";
        }
        case FrameKind::Number:
            return AllDigits(value) ? "" : "Give a whole number of digits only.";
        case FrameKind::Timestamp:
            return TimestampValid(value)
                       ? ""
                       : "Give a time as yyyy, yyyy-MM, yyyy-MM-dd or yyyy-MM-ddTHH[:mm[:ss]].";
        case FrameKind::Genre:
            return value.find_first_not_of(' ') != std::string_view::npos ? ""
                                                                          : "A genre needs a name.";
        default:
            return "";
    }
}

std::string ViewProblem(const TFrameView& view) {
    if (!IsEditable(view.kind)) {
        return "This frame is shown, not edited.";
    }
    if ((view.kind == FrameKind::Url || view.kind == FrameKind::UserUrl) &&
        view.values.size() > 1) {
        return "A URL frame holds one URL.";
    }
    for (const std::string& value : view.values) {
        if (std::string problem = ValueProblem(view.id, value); !problem.empty()) {
            return problem;
        }
    }
    if (!CodePoints(view.description)) {
        return "The description is not well-formed UTF-8 or holds a zero character.";
    }
    if (view.kind == FrameKind::Comment || view.kind == FrameKind::Lyrics) {
        const std::optional<std::u32string> language = CodePoints(view.language);
        const bool valid = view.language.empty() ||
                           (language && language->size() == 3 &&
                            std::all_of(language->begin(), language->end(),
                                        [](char32_t c) { return c >= 0x20 && c <= 0x7E; }));
        if (!valid) {
            return "A language is three letters, such as eng.";
        }
    }
    return "";
}

std::string JoinValues(const std::vector<std::string>& values) {
    std::string joined;
    for (size_t i = 0; i < values.size(); ++i) {
        joined.append(i == 0 ? "" : kValueSeparator).append(values[i]);
    }
    return joined;
}

std::vector<std::string> SplitValues(std::string_view text) {
    std::vector<std::string> values;
    size_t from = 0;
    for (size_t at; (at = text.find(kValueSeparator, from)) != std::string_view::npos;
         from = at + kValueSeparator.size()) {
        values.emplace_back(text.substr(from, at - from));
    }
    values.emplace_back(text.substr(from));
    return values;
}

std::string ValuesProblem(std::string_view id, std::string_view text) {
    if (text.empty()) {
        return "";
    }
    for (const std::string& value : SplitValues(text)) {
        if (std::string problem = ValueProblem(id, value); !problem.empty()) {
            return problem;
        }
    }
    return "";
}

TEncodedFrame EncodeFrame(const TFrameView& view, int version) {
    if (std::string problem = ViewProblem(view); !problem.empty()) {
        return {{}, std::move(problem)};
    }
    return Encode(view, version);
}

}  // namespace frames
