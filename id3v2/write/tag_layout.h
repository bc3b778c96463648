// The tag as a save writes it: frame headers, extended header, padding, size
// and CRC worked out before the file is touched, then rendered in one run.
#pragma once

#include <cstdint>
#include <vector>

#include "id3v2/id3v2.h"

namespace id3v2 {

// One frame as written: its header, and how many bytes of its Data follow.
struct FrameLayout {
    std::vector<uint8_t> header;
    size_t dataSize = 0;
};

struct TagLayout {
    uint8_t version = 3;
    bool unsync = false;
    bool extended = false;
    bool crcPresent = false;
    std::vector<FrameLayout> frames;
    uint64_t framesSize = 0;  // frame headers and data as written
    // A version 3 tag unsynchronised as a whole whose frames end in 0xFF: a
    // zero follows them, before any padding.
    bool finalZero = false;
    uint32_t crc = 0xFFFFFFFF;  // the register while folding, the stored CRC-32 after
    uint32_t padding = 0;
    std::vector<uint8_t> extendedHeader;
    uint64_t size = 0;  // the whole tag, 10-byte header included
};

// Lays out the prepared frames for a file of fileSize bytes whose old tag
// takes oldSize bytes. Chooses the padding and stores it in PaddingSize; a
// CRC bit sets the tag's extended-header flag. The work state's zero block
// must exist.
TagLayout LayOutTag(Tid3v2tag& tag, uint8_t version, uint64_t fileSize, uint32_t oldSize);

// The laid out tag's bytes, padding included, as the file will hold them; the
// save writes them from memory so that a failure can still be undone.
std::vector<uint8_t> RenderTag(const Tid3v2tag& tag, const TagLayout& layout);

}  // namespace id3v2
