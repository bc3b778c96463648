// The APIC frame codec: the fields of picture frame data found where they lie,
// the data built from fields, and its re-encoding for a version-3 tag.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "id3v2/frames/unicode_text.h"

namespace id3v2 {

// The fields of APIC data: encoding byte, MIME type ended by a zero byte,
// picture type byte, description ended by its encoding's terminator, image.
// The MIME type and the image are views into the data parsed.
struct TPictureFields {
    uint8_t encoding = 0;
    std::span<const uint8_t> mimeType;
    uint8_t pictureType = 0;
    std::u32string description;
    bool descriptionBroken = false;  // a sequence of it could not be decoded
    std::span<const uint8_t> image;
};

// Nothing when the fields do not fit: an encoding other than 0..3, a MIME type
// or description without its terminator, no picture type byte. Copies nothing
// but the description.
std::optional<TPictureFields> ParsePictureData(std::span<const uint8_t> data);

// APIC data of the fields; the description is written without U+0000 in
// `encoding` (0 needs a Latin-1 text), then its terminator.
std::vector<uint8_t> RenderPictureData(uint8_t encoding, std::span<const uint8_t> mimeType,
                                       uint8_t pictureType, std::u32string_view description,
                                       std::span<const uint8_t> image);

// For APIC data in encoding 2 or 3, which version 3 lacks: the same picture
// with its description in UTF-16 with byte order mark. The data must be plain.
TReencoding ReencodePictureForVersion3(std::span<const uint8_t> data, std::vector<uint8_t>& out);

}  // namespace id3v2
