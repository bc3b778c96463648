// Frames described for `show`, and the user text frames `set` writes, decoded
// and encoded with the tag library's text codec.
#include "cli/frame_listing.h"

#include "cli/field_names.h"
#include "id3v2/frames/text_frames.h"
#include "id3v2/frames/unicode_text.h"
#include "id3v2/id3v2.h"

namespace cli {

namespace {

using id3v2::text_frames::PrepareForReading;

struct TDecodedPair {
    std::string first;
    std::string second;
};

// Two values of a frame's plain data from `start`: a description and its
// text. Nothing when the encoding is unknown.
std::optional<TDecodedPair> DecodePair(const std::vector<uint8_t>& data, size_t start) {
    if (data.empty() || !id3v2::IsKnownEncoding(data[0])) {
        return std::nullopt;
    }
    const uint8_t encoding = data[0];
    const id3v2::TDecodedValue first = id3v2::DecodeValue(data, start, encoding);
    const id3v2::TDecodedValue second = id3v2::DecodeValue(data, first.end, encoding);
    return TDecodedPair{id3v2::ToUtf8(first.text), id3v2::ToUtf8(second.text)};
}

// The values of a text frame: zero-separated in one string by the library.
std::vector<std::string> SplitValues(const std::string& joined) {
    std::vector<std::string> values;
    size_t start = 0;
    for (size_t end = joined.find('\0'); end != std::string::npos;
         start = end + 1, end = joined.find('\0', start)) {
        values.push_back(joined.substr(start, end - start));
    }
    values.push_back(joined.substr(start));
    return values;
}

void ReadValues(Tid3v2tag& tag, uint32_t i, TFrameDescription& frame) {
    const std::string& id = frame.id;
    const bool comment = id == "COMM";
    if (!comment && (id.empty() || id[0] != 'T')) {
        return;
    }
    if (!comment && id != "TXXX") {
        std::string joined;
        const uint8_t result = tag.GetTextValuesUtf8(id, joined);
        // A damaged value is shown with U+FFFD where it could not be decoded.
        frame.unreadable = !id3v2::TextReadInFull(result) && result != id3v2::kTextReadInPart;
        if (!joined.empty()) {
            frame.values = SplitValues(joined);
        }
        return;
    }
    constexpr size_t kCommentLanguageEnd = id3v2::text_frames::kCommentDescriptionOffset;
    const std::vector<uint8_t>& data = tag.Frames.Data(i);
    const size_t start = comment ? kCommentLanguageEnd : 1;
    std::optional<TDecodedPair> pair;
    if (PrepareForReading(tag.Frames, i) == 0 && data.size() >= start) {
        pair = DecodePair(data, start);
    }
    if (!pair) {
        frame.unreadable = true;
        return;
    }
    if (comment) {
        frame.language = std::string(data.begin() + 1, data.begin() + kCommentLanguageEnd);
    }
    frame.description = pair->first;
    frame.values = {pair->second};
}

// The index of the TXXX frame with this description, or 0.
uint32_t FindUserText(Tid3v2tag& tag, const std::string& description, std::string* value) {
    for (uint32_t i = 1; i <= tag.Frames.FrameCount(); ++i) {
        if (tag.Frames.Id(i) != "TXXX" || PrepareForReading(tag.Frames, i) != 0) {
            continue;
        }
        if (const auto pair = DecodePair(tag.Frames.Data(i), 1);
            pair && pair->first == description) {
            if (value != nullptr) {
                *value = pair->second;
            }
            return i;
        }
    }
    return 0;
}

}  // namespace

std::vector<TFrameDescription> DescribeFrames(Tid3v2tag& tag) {
    std::vector<TFrameDescription> frames;
    for (uint32_t i = 1; i <= tag.Frames.FrameCount(); ++i) {
        TFrameDescription frame;
        frame.id = tag.Frames.Id(i);
        frame.name = std::string(FrameName(frame.id));
        frame.size = tag.Frames.DataSize(i) + tag.Frames.LeftInFile(i);
        ReadValues(tag, i, frame);
        frames.push_back(std::move(frame));
    }
    return frames;
}

std::optional<std::string> UserText(Tid3v2tag& tag, const std::string& description) {
    std::string value;
    if (FindUserText(tag, description, &value) == 0) {
        return std::nullopt;
    }
    return value;
}

bool SetUserText(Tid3v2tag& tag, const std::string& description, const std::string& value) {
    const auto descriptionText = id3v2::Utf8CodePoints(description);
    const auto valueText = id3v2::Utf8CodePoints(value);
    if (!descriptionText || !valueText || descriptionText->find(U'\0') != std::u32string::npos ||
        valueText->find(U'\0') != std::u32string::npos) {
        return false;
    }
    uint32_t i = FindUserText(tag, description, nullptr);
    if (value.empty()) {
        if (i != 0) {
            tag.Frames.DeleteFrame(i);
        }
        return true;
    }
    const uint8_t encoding = id3v2::IsLatin1Text(*descriptionText + *valueText)
                                 ? id3v2::kEncodingLatin1
                                 : id3v2::UnicodeEncodingFor(tag.MajorVersion);
    std::vector<uint8_t> data{encoding};
    id3v2::AppendEncoded(data, *descriptionText, encoding);
    data.insert(data.end(), id3v2::TerminatorWidth(encoding), 0);
    id3v2::AppendEncoded(data, *valueText, encoding);
    if (i == 0) {
        i = tag.Frames.AddFrame("TXXX");
    }
    id3v2::text_frames::ReplaceData(tag.Frames, i, std::move(data));
    return true;
}

}  // namespace cli
