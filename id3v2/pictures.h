// Attached pictures (APIC frames) of a tag: what a picture is, the standard
// picture type names, the image kinds told from their bytes, and the results
// of the picture operations of Tid3v2tag (id3v2.h).
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace id3v2 {

// Picture types 0..20; a stored byte beyond them is read and kept as it is.
constexpr uint8_t kPictureTypeCount = 21;
constexpr uint8_t kPictureFrontCover = 3;
// The standard name of a picture type ("Front cover"), or "" beyond 20.
std::string_view PictureTypeName(uint8_t type);

// The MIME type of JPEG, PNG, GIF, WebP and BMP images told from their first
// bytes ("image/jpeg", never "image/jpg"), or "" for anything else.
std::string_view ImageMimeType(std::span<const uint8_t> bytes);

// Results of GetPicture, AddPicture, ReplacePicture and RemovePicture.
constexpr uint8_t kPictureDone = 0;
constexpr uint8_t kPictureNoSuch = 1;  // no picture with that number
// The picture's frame cannot be read (encrypted, compressed data that does not
// inflate, fields that do not fit the frame), or a listing load left its
// image in the file; it is kept as it is.
constexpr uint8_t kPictureUnreadable = 2;
constexpr uint8_t kPictureBadType = 3;  // a picture type beyond 20
// The bytes are no image the library knows, and no MIME type was given.
constexpr uint8_t kPictureUnknownImage = 4;
// A description that is not well-formed UTF-8 or holds U+0000, or a given MIME
// type that is not printable ASCII; nothing is changed.
constexpr uint8_t kPictureInvalidText = 8;

}  // namespace id3v2

// What a picture is, without its bytes: the fields of its frame as stored.
struct TPictureInfo {
    // False for a frame that cannot be read (see kPictureUnreadable): then only
    // Size is known, the size of the frame's data as held.
    bool Readable = false;
    uint8_t Encoding = 0;  // text encoding of the description, 0..3
    std::string MimeType;  // as stored, whatever it says; UTF-8 of its Latin-1 bytes
    uint8_t PictureType = id3v2::kPictureFrontCover;
    std::string Description;  // UTF-8
    size_t Size = 0;          // bytes of image data
};

// A picture with its bytes. Writing takes PictureType, Description and Data;
// the encoding follows the description like that of text frames, and the MIME
// type comes from the bytes (MimeType counts only for bytes of no known kind).
struct TPicture : TPictureInfo {
    std::vector<uint8_t> Data;
};
