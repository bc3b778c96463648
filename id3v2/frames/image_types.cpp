// The picture type names of APIC frames and the image kinds told from their
// first bytes, for the MIME type a picture is written with.
#include <algorithm>
#include <array>
#include <string_view>

#include "id3v2/pictures.h"

namespace id3v2 {

namespace {

constexpr std::array<std::string_view, kPictureTypeCount> kPictureTypeNames = {
    "Other",
    "32x32 pixels file icon",
    "Other file icon",
    "Front cover",
    "Back cover",
    "Leaflet page",
    "Media",
    "Lead artist",
    "Artist",
    "Conductor",
    "Band",
    "Composer",
    "Lyricist",
    "Recording location",
    "During recording",
    "During performance",
    "Movie/video screen capture",
    "A bright coloured fish",
    "Illustration",
    "Band/artist logotype",
    "Publisher/Studio logotype",
};

// An image kind: its marker at offset 0 and, where one marker is too short to
// tell, a second one further on.
struct TImageSignature {
    std::string_view mimeType;
    std::string_view marker;
    size_t secondAt = 0;
    std::string_view second = {};
};

constexpr TImageSignature kSignatures[] = {
    {"image/jpeg", "\xFF\xD8\xFF"}, {"image/png", "\x89PNG\r\n\x1A\n"}, {"image/gif", "GIF87a"},
    {"image/gif", "GIF89a"},        {"image/webp", "RIFF", 8, "WEBP"},
};

bool HasAt(std::span<const uint8_t> bytes, size_t at, std::string_view marker) {
    return bytes.size() >= at + marker.size() &&
           std::equal(marker.begin(), marker.end(), bytes.begin() + at,
                      [](char m, uint8_t b) { return static_cast<uint8_t>(m) == b; });
}

// "BM" alone begins too many other files: the size of the header that follows
// the 14-byte file header must be one that a bitmap version defines.
bool IsBitmap(std::span<const uint8_t> bytes) {
    if (!HasAt(bytes, 0, "BM") || bytes.size() < 18) {
        return false;
    }
    const uint32_t infoSize =
        bytes[14] | bytes[15] << 8 | bytes[16] << 16 | uint32_t{bytes[17]} << 24;
    constexpr uint32_t kInfoSizes[] = {12, 40, 52, 56, 64, 108, 124};
    return std::find(std::begin(kInfoSizes), std::end(kInfoSizes), infoSize) !=
           std::end(kInfoSizes);
}

}  // namespace

std::string_view PictureTypeName(uint8_t type) {
    return type < kPictureTypeCount ? kPictureTypeNames[type] : std::string_view{};
}

std::string_view ImageMimeType(std::span<const uint8_t> bytes) {
    for (const TImageSignature& signature : kSignatures) {
        if (HasAt(bytes, 0, signature.marker) &&
            (signature.second.empty() || HasAt(bytes, signature.secondAt, signature.second))) {
            return signature.mimeType;
        }
    }
    return IsBitmap(bytes) ? "image/bmp" : std::string_view{};
}

}  // namespace id3v2
