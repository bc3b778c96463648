// Decoding a frame's bytes into a view, one reader per kind over the
// library's text codec. Nothing here throws on hostile bytes: what does not
// decode marks the view damaged.
#include "editor/frames/frame_view.h"

#include <algorithm>
#include <optional>
#include <span>

#include "id3v2/frames/compression.h"
#include "id3v2/frames/text_frames.h"
#include "id3v2/frames/unicode_text.h"
#include "id3v2/id3v2.h"

namespace frames {

namespace {

using Bytes = std::span<const uint8_t>;
using id3v2::text_frames::kCommentDescriptionOffset;
using id3v2::text_frames::kCommentLanguageOffset;
using id3v2::text_frames::kLanguageLength;

// Reads values of one text encoding from the frame's data.
struct ValueReader {
    Bytes data;
    uint8_t encoding;
    TFrameView& view;

    // The value at `at`; `at` moves past its terminator.
    std::string Next(size_t& at) const {
        const id3v2::TDecodedValue value = id3v2::DecodeValue(data, at, encoding);
        at = value.end;
        std::u32string text = value.text;
        // A cut-off value loses the character its cut broke, not its meaning.
        const bool atCut = view.cut && at >= data.size();
        if (atCut) {
            while (!text.empty() && text.back() == U'\xFFFD') {
                text.pop_back();
            }
        }
        view.damaged = view.damaged || ((value.broken || value.noByteOrderMark) && !atCut);
        return id3v2::ToUtf8(text);
    }
    // Every value from `at` to the end of the data. Empty values at the end
    // are the zeros some writers pad a frame with, not values.
    void Rest(size_t at) const {
        while (at < data.size()) {
            view.values.push_back(Next(at));
        }
        while (!view.values.empty() && view.values.back().empty()) {
            view.values.pop_back();
        }
    }
};

std::string Latin1(Bytes bytes) {
    return id3v2::ToUtf8(std::u32string(bytes.begin(), bytes.end()));
}

// A Latin-1 string ended by a zero byte or the data's end; `at` moves past it.
std::string Latin1Terminated(Bytes data, size_t& at) {
    const Bytes rest = data.subspan(std::min(at, data.size()));
    const auto zero = std::find(rest.begin(), rest.end(), uint8_t{0});
    const auto length = static_cast<size_t>(zero - rest.begin());
    at += length + (zero != rest.end() ? 1 : 0);
    return Latin1(rest.first(length));
}

std::string Hex(Bytes bytes) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string hex;
    for (const uint8_t byte : bytes) {
        hex.push_back(kDigits[byte >> 4]);
        hex.push_back(kDigits[byte & 0x0F]);
    }
    return hex;
}

// An identifier shown as text when it is printable ASCII, else in hex.
std::string Identifier(Bytes bytes) {
    const bool printable =
        std::all_of(bytes.begin(), bytes.end(), [](uint8_t b) { return b >= 0x20 && b < 0x7F; });
    return printable ? Latin1(bytes) : Hex(bytes);
}

// Splits each value of a version-3 frame that joins its values with "/".
void SplitSlashes(std::vector<std::string>& values) {
    std::vector<std::string> split;
    for (const std::string& value : values) {
        size_t from = 0;
        for (size_t slash; (slash = value.find('/', from)) != std::string::npos; from = slash + 1) {
            split.push_back(value.substr(from, slash - from));
        }
        split.push_back(value.substr(from));
    }
    values = std::move(split);
}

// Reads what follows the encoding byte of a text or text-like frame.
void ReadTextLike(Bytes data, TFrameView& view) {
    if (data.empty()) {
        // A text frame without data holds no value; any other lacks its fields.
        view.damaged = !IsTextKind(view.kind);
        return;
    }
    if (!id3v2::IsKnownEncoding(data[0])) {
        view.damaged = true;
        return;
    }
    const ValueReader reader{data, data[0], view};
    size_t at = 1;
    switch (view.kind) {
        case FrameKind::UserText:
            view.description = reader.Next(at);
            reader.Rest(at);
            break;
        case FrameKind::UserUrl:
            view.description = reader.Next(at);
            view.values.push_back(Latin1Terminated(data, at));
            break;
        case FrameKind::Comment:
        case FrameKind::Lyrics:
            if (data.size() < kCommentDescriptionOffset) {
                view.damaged = true;
                return;
            }
            view.language = Latin1(data.subspan(kCommentLanguageOffset, kLanguageLength));
            at = kCommentDescriptionOffset;
            view.description = reader.Next(at);
            // The text is one value, empty when the frame ends after the description.
            view.values.push_back(at < data.size() ? reader.Next(at) : std::string());
            break;
        case FrameKind::Picture:
            Latin1Terminated(data, at);  // the MIME type
            ++at;                        // the picture type
            view.description = reader.Next(at);
            break;
        default:
            reader.Rest(at);
            break;
    }
}

void ReadBinaryLike(Bytes data, TFrameView& view) {
    size_t at = 0;
    switch (view.kind) {
        case FrameKind::Url:
            view.values.push_back(Latin1Terminated(data, at));
            break;
        case FrameKind::UniqueId:
            view.owner = Latin1Terminated(data, at);
            view.values.push_back(Identifier(data.subspan(std::min(at, data.size()))));
            break;
        case FrameKind::Private:
            view.owner = Latin1Terminated(data, at);
            break;
        case FrameKind::Popularity:
            view.owner = Latin1Terminated(data, at);
            if (at < data.size()) {
                view.rating = data[at];
                // The counter has at least four bytes; more than eight cannot be shown.
                for (const uint8_t byte :
                     data.subspan(at + 1).first(std::min<size_t>(8, data.size() - at - 1))) {
                    view.playCount = view.playCount << 8 | byte;
                }
            }
            break;
        default:
            break;
    }
}

}  // namespace

TFrameView ViewFrame(const TFrameIndex& frames, uint32_t i, int version) {
    TFrameView view;
    view.stored = i;
    view.id = frames.Id(i);
    const TFrameType type = FrameType(view.id);
    view.kind = type.kind;
    view.size = frames.DataSize(i) + frames.LeftInFile(i);
    const bool encrypted = frames.IsEncrypted(i) || frames.Encryption(i);
    std::optional<std::vector<uint8_t>> plain;
    if (!encrypted && (frames.IsUnsynchronised(i) || frames.IsCompressed(i))) {
        plain = id3v2::PlainFrameData(frames, i);
    }
    if (encrypted || (frames.IsCompressed(i) && !plain)) {
        view.damaged = true;
        view.name = ReadableName(view.id);
        return view;
    }
    Bytes data = plain ? Bytes(*plain) : Bytes(frames.Data(i));
    view.size = data.size() + frames.LeftInFile(i);
    if (data.size() > kShownBytes && view.kind != FrameKind::Picture) {
        data = data.first(kShownBytes);
        view.cut = true;
    }
    if (IsTextKind(view.kind) || view.kind == FrameKind::UserUrl ||
        view.kind == FrameKind::Comment || view.kind == FrameKind::Lyrics ||
        view.kind == FrameKind::Picture) {
        ReadTextLike(data, view);
    } else {
        ReadBinaryLike(data, view);
    }
    if (version < 4 && JoinsWithSlash(view.id)) {
        SplitSlashes(view.values);
    }
    view.name = ReadableName(view.id, view.description);
    return view;
}

std::vector<TFrameView> ViewFrames(const Tid3v2tag& tag) {
    std::vector<TFrameView> views;
    views.reserve(tag.Frames.FrameCount());
    for (uint32_t i = 1; i <= tag.Frames.FrameCount(); ++i) {
        views.push_back(ViewFrame(tag.Frames, i, tag.MajorVersion));
    }
    return views;
}

}  // namespace frames
