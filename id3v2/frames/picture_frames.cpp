// Attached pictures: the APIC codec and the picture operations of the tag
// object over the frame table.
#include "id3v2/frames/picture_frames.h"

#include <algorithm>
#include <set>
#include <string>
#include <string_view>
#include <utility>

#include "id3v2/frames/compression.h"
#include "id3v2/frames/layout.h"
#include "id3v2/frames/text_frames.h"
#include "id3v2/id3v2.h"
#include "id3v2/pictures.h"

namespace id3v2 {

std::optional<TPictureFields> ParsePictureData(std::span<const uint8_t> data) {
    if (data.empty() || data[0] > kEncodingUtf8) {
        return std::nullopt;
    }
    const auto mimeEnd = std::find(data.begin() + 1, data.end(), uint8_t{0});
    if (mimeEnd == data.end() || mimeEnd + 1 == data.end()) {
        return std::nullopt;
    }
    TPictureFields fields;
    fields.encoding = data[0];
    fields.mimeType = std::span(data.begin() + 1, mimeEnd);
    const size_t typeAt = fields.mimeType.size() + 2;
    fields.pictureType = data[typeAt];
    TDecodedValue description = DecodeValue(data, typeAt + 1, fields.encoding);
    // A UTF-16 terminator that lost its second byte at the end leaves the
    // image without a start.
    if (!description.terminated ||
        (description.end - typeAt - 1) % TerminatorWidth(fields.encoding) != 0) {
        return std::nullopt;
    }
    fields.description = std::move(description.text);
    fields.descriptionBroken = description.broken || description.noByteOrderMark;
    fields.image = data.subspan(description.end);
    return fields;
}

std::vector<uint8_t> RenderPictureData(uint8_t encoding, std::span<const uint8_t> mimeType,
                                       uint8_t pictureType, std::u32string_view description,
                                       std::span<const uint8_t> image) {
    std::vector<uint8_t> data{encoding};
    data.reserve(mimeType.size() + description.size() * 4 + image.size() + 8);
    data.insert(data.end(), mimeType.begin(), mimeType.end());
    data.insert(data.end(), {0, pictureType});
    AppendEncoded(data, description, encoding);
    data.insert(data.end(), TerminatorWidth(encoding), 0);
    data.insert(data.end(), image.begin(), image.end());
    return data;
}

TReencoding ReencodePictureForVersion3(std::span<const uint8_t> data, std::vector<uint8_t>& out) {
    if (data.empty() || (data[0] != kEncodingUtf16Be && data[0] != kEncodingUtf8)) {
        return TReencoding::Kept;
    }
    const std::optional<TPictureFields> fields = ParsePictureData(data);
    if (!fields || fields->descriptionBroken) {
        return TReencoding::Cannot;
    }
    out = RenderPictureData(kEncodingUtf16, fields->mimeType, fields->pictureType,
                            fields->description, fields->image);
    return TReencoding::Reencoded;
}

}  // namespace id3v2

namespace {

using namespace id3v2;
using text_frames::FindFrame;

constexpr char kPictureId[] = "APIC";

// The frame of picture `number` (1 for the first APIC frame in table order), or 0.
uint32_t PictureFrame(const TFrameIndex& frames, uint32_t number) {
    uint32_t seen = 0;
    for (uint32_t i = FindFrame(frames, kPictureId); i != 0;
         i = FindFrame(frames, kPictureId, i + 1)) {
        if (++seen == number) {
            return i;
        }
    }
    return 0;
}

// The fields of picture frame i. Plain data is parsed where it lies; data held
// unsynchronised or compressed is decoded into `plain` first, which then backs
// the fields. Nothing for a frame that cannot be read.
std::optional<TPictureFields> ReadFields(const TFrameIndex& frames, uint32_t i,
                                         std::vector<uint8_t>& plain) {
    if (text_frames::IsEncrypted(frames, i)) {
        return std::nullopt;
    }
    std::span<const uint8_t> data = frames.Data(i);
    if (frames.IsUnsynchronised(i) || frames.IsCompressed(i)) {
        std::optional<std::vector<uint8_t>> decoded = PlainFrameData(frames, i);
        if (!decoded) {
            return std::nullopt;
        }
        plain = std::move(*decoded);
        data = plain;
    }
    return ParsePictureData(data);
}

TPictureInfo InfoOf(const TFrameIndex& frames, uint32_t i,
                    const std::optional<TPictureFields>& fields) {
    TPictureInfo info;
    if (!fields) {
        info.Size = frames.DataSize(i);
        return info;
    }
    info.Readable = true;
    info.Encoding = fields->encoding;
    info.MimeType = ToUtf8(std::u32string(fields->mimeType.begin(), fields->mimeType.end()));
    info.PictureType = fields->pictureType;
    info.Description = ToUtf8(fields->description);
    info.Size = fields->image.size() + frames.LeftInFile(i);
    return info;
}

// Two pictures with one description collapse into one in readers that key
// pictures by it, and the standard allows one picture per description. A
// description another picture (other than frame `except`) holds gets the
// first free " (2)", " (3)"...; an empty one becomes "(2)"...
std::u32string UniqueDescription(const TFrameIndex& frames, uint32_t except,
                                 const std::u32string& wanted) {
    std::set<std::u32string> taken;
    for (uint32_t i = FindFrame(frames, kPictureId); i != 0;
         i = FindFrame(frames, kPictureId, i + 1)) {
        std::vector<uint8_t> plain;
        if (const std::optional<TPictureFields> fields = ReadFields(frames, i, plain);
            fields && i != except) {
            taken.insert(fields->description);
        }
    }
    std::u32string unique = wanted;
    const std::u32string stem = wanted.empty() ? U"(" : wanted + U" (";
    for (uint32_t n = 2; taken.count(unique) != 0; ++n) {
        const std::string number = std::to_string(n);
        unique = stem + std::u32string(number.begin(), number.end()) + U")";
    }
    return unique;
}

bool IsPrintableAscii(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return c >= 0x20 && c < 0x7F; });
}

// Writes `picture` into frame i, or into a new frame when i is 0.
uint8_t StorePicture(TFrameIndex& frames, uint8_t majorVersion, uint32_t i,
                     const TPicture& picture) {
    if (picture.PictureType >= kPictureTypeCount) {
        return kPictureBadType;
    }
    const std::optional<std::u32string> description = Utf8CodePoints(picture.Description);
    if (!description || description->find(U'\0') != std::u32string::npos) {
        return kPictureInvalidText;
    }
    std::string_view mimeType = ImageMimeType(picture.Data);
    if (mimeType.empty()) {
        if (picture.Data.empty() || picture.MimeType.empty()) {
            return kPictureUnknownImage;
        }
        if (!IsPrintableAscii(picture.MimeType)) {
            return kPictureInvalidText;
        }
        mimeType = picture.MimeType;
    }
    const std::u32string unique = UniqueDescription(frames, i, *description);
    const uint8_t encoding =
        IsLatin1Text(unique) ? kEncodingLatin1 : UnicodeEncodingFor(majorVersion);
    std::vector<uint8_t> data = RenderPictureData(
        encoding, std::span(reinterpret_cast<const uint8_t*>(mimeType.data()), mimeType.size()),
        picture.PictureType, unique, picture.Data);
    if (i == 0) {
        i = frames.AddFrame(kPictureId);
    } else {
        // The new data is plain: only what the writer applies itself may stay
        // wanted (encryption and grouping it cannot apply).
        constexpr uint8_t kApplied = kFormatCompression | kFormatUnsync | kFormatDataLength;
        frames.SetWantedFlags(i, 2, frames.WantedFlags(i, 2) & kApplied);
        frames.SetLeftInFile(i, 0);
    }
    text_frames::ReplaceData(frames, i, std::move(data));
    return kPictureDone;
}

}  // namespace

std::vector<TPictureInfo> Tid3v2tag::ListPictures() const {
    std::vector<TPictureInfo> pictures;
    for (uint32_t i = FindFrame(Frames, kPictureId); i != 0;
         i = FindFrame(Frames, kPictureId, i + 1)) {
        std::vector<uint8_t> plain;
        pictures.push_back(InfoOf(Frames, i, ReadFields(Frames, i, plain)));
    }
    return pictures;
}

uint8_t Tid3v2tag::GetPicture(uint32_t number, TPicture& picture) const {
    picture = TPicture{};
    const uint32_t i = PictureFrame(Frames, number);
    if (i == 0) {
        return kPictureNoSuch;
    }
    std::vector<uint8_t> plain;
    const std::optional<TPictureFields> fields = ReadFields(Frames, i, plain);
    static_cast<TPictureInfo&>(picture) = InfoOf(Frames, i, fields);
    if (!fields || Frames.LeftInFile(i) != 0) {
        return kPictureUnreadable;
    }
    picture.Data.assign(fields->image.begin(), fields->image.end());
    return kPictureDone;
}

uint8_t Tid3v2tag::AddPicture(const TPicture& picture) {
    return StorePicture(Frames, MajorVersion, 0, picture);
}

uint8_t Tid3v2tag::ReplacePicture(uint32_t number, const TPicture& picture) {
    const uint32_t i = PictureFrame(Frames, number);
    return i == 0 ? kPictureNoSuch : StorePicture(Frames, MajorVersion, i, picture);
}

uint8_t Tid3v2tag::RemovePicture(uint32_t number) {
    const uint32_t i = PictureFrame(Frames, number);
    return i != 0 && Frames.DeleteFrame(i) ? kPictureDone : kPictureNoSuch;
}

uint32_t Tid3v2tag::RemoveAllPictures() {
    uint32_t removed = 0;
    for (uint32_t i = Frames.FrameCount(); i >= 1; --i) {
        if (Frames.Id(i) == kPictureId) {
            Frames.DeleteFrame(i);
            ++removed;
        }
    }
    return removed;
}
