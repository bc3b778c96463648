// Frames that the interoperability tests ask TagLib to write: a cover picture
// of about 200 KB, large enough to carry a tag body past the reader's 64 KB ring.
#pragma once

#include <taglib/attachedpictureframe.h>
#include <taglib/id3v2tag.h>

#include <cstdint>
#include <vector>

namespace testing_mp3 {

// 200 KB of bytes that repeat nowhere near the ring's size.
inline std::vector<uint8_t> PictureBytes() {
    std::vector<uint8_t> picture(200 * 1024);
    for (size_t i = 0; i < picture.size(); ++i) {
        picture[i] = static_cast<uint8_t>((i * 131 + i / 977) % 256);
    }
    return picture;
}

// Adds an APIC front cover holding `bytes`; the tag owns the frame.
inline void AddPicture(TagLib::ID3v2::Tag& tag, const std::vector<uint8_t>& bytes) {
    auto* picture = new TagLib::ID3v2::AttachedPictureFrame();
    picture->setMimeType("image/png");
    picture->setType(TagLib::ID3v2::AttachedPictureFrame::FrontCover);
    picture->setDescription("cover");
    picture->setPicture(TagLib::ByteVector(reinterpret_cast<const char*>(bytes.data()),
                                           static_cast<unsigned>(bytes.size())));
    tag.addFrame(picture);
}

}  // namespace testing_mp3
