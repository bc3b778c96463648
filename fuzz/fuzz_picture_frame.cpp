// Fuzz target: the APIC codec on the input as picture frame data, its
// re-encoding for version 3, and the picture operations of a tag whose frame
// holds the input plain, unsynchronised or compressed.
#include <algorithm>
#include <cstdlib>
#include <optional>
#include <span>
#include <vector>

#include "id3v2/frames/layout.h"
#include "id3v2/frames/picture_frames.h"
#include "id3v2/id3v2.h"

namespace {

using namespace id3v2;

void Require(bool condition) {
    if (!condition) {
        std::abort();
    }
}

bool SameFields(const TPictureFields& a, const TPictureFields& b) {
    return std::equal(a.mimeType.begin(), a.mimeType.end(), b.mimeType.begin(), b.mimeType.end()) &&
           a.pictureType == b.pictureType && a.description == b.description &&
           std::equal(a.image.begin(), a.image.end(), b.image.begin(), b.image.end());
}

// Fields found lie inside the data, and render to data that parses the same.
void CheckCodec(std::span<const uint8_t> bytes) {
    const std::optional<TPictureFields> fields = ParsePictureData(bytes);
    if (!fields) {
        return;
    }
    Require(fields->encoding <= kEncodingUtf8 && fields->image.size() < bytes.size());
    Require(fields->image.data() + fields->image.size() == bytes.data() + bytes.size());
    if (!fields->descriptionBroken) {
        const std::vector<uint8_t> rendered =
            RenderPictureData(fields->encoding, fields->mimeType, fields->pictureType,
                              fields->description, fields->image);
        const std::optional<TPictureFields> again = ParsePictureData(rendered);
        Require(again && SameFields(*fields, *again));
    }
    std::vector<uint8_t> reencoded;
    if (ReencodePictureForVersion3(bytes, reencoded) == TReencoding::Reencoded) {
        const std::optional<TPictureFields> again = ParsePictureData(reencoded);
        Require(again && again->encoding == kEncodingUtf16 && SameFields(*fields, *again));
    }
}

// form 0: plain, 1: held unsynchronised, 2: held compressed.
void CheckTag(std::span<const uint8_t> bytes, int form) {
    Tid3v2tag tag;
    tag.MajorVersion = form == 1 ? 4 : 3;
    const uint32_t i = tag.Frames.AddFrame("APIC");
    tag.Frames.Data(i).assign(bytes.begin(), bytes.end());
    if (form == 1) {
        tag.Frames.Unsynchronise(i);
        tag.Frames.SetWantedFlags(i, 2, kFormatUnsync);
    } else if (form == 2) {
        tag.Frames.CompressFrame(i, 1);
        tag.Frames.SetWantedFlags(i, 2, kFormatCompression);
    }
    const std::vector<uint8_t> held = tag.Frames.Data(i);
    const std::vector<TPictureInfo> list = tag.ListPictures();
    Require(list.size() == 1);
    TPicture picture;
    const uint8_t result = tag.GetPicture(1, picture);
    Require(result == (list[0].Readable ? kPictureDone : kPictureUnreadable));
    Require(picture.Data.size() == (list[0].Readable ? list[0].Size : 0));
    Require(tag.Frames.Data(i) == held);  // reading changes nothing
    if (result != kPictureDone) {
        return;
    }
    const uint8_t added = tag.AddPicture(picture);
    Require(added == kPictureDone || added == kPictureUnknownImage ||
            added == kPictureInvalidText || added == kPictureBadType);
    const std::vector<TPictureInfo> after = tag.ListPictures();
    Require(after.size() == (added == kPictureDone ? 2u : 1u));
    if (added == kPictureDone) {
        Require(after[1].Readable && after[1].Description != after[0].Description &&
                after[1].Size == picture.Data.size());
        Require(tag.Frames.Data(i) == held);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::span<const uint8_t> bytes(data, size);
    CheckCodec(bytes);
    for (int form = 0; form < 3; ++form) {
        CheckTag(bytes, form);
    }
    return 0;
}
