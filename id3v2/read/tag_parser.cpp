// The body parsers: header flags and size, the extended header of each
// version, and the frame loop with its padding and frame extras.
#include "id3v2/read/tag_parser.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <string>

#include "id3v2/frames/layout.h"
#include "id3v2/frames/picture_frames.h"
#include "id3v2/id3v2.h"
#include "id3v2/read/frames_v22.h"
#include "id3v2/read/read_ring.h"
#include "id3v2/result_codes.h"
#include "id3v2/work_state.h"

namespace id3v2 {
namespace {

// Header flags, tag size, the check against the file size and the first fill
// of the ring. False when the tag reaches past the end of the file.
bool StartBody(uint16_t& result, const uint8_t* header, uint8_t version) {
    Tid3v2tag& tag = *Work.CurrentTag;
    const uint8_t flags = header[5];
    tag.SetUnsynchronisation(flags & kTagUnsync);
    // Version 2.2 has no extended header and no experimental bit.
    tag.SetExtendedHeader(version != 2 && (flags & kTagExtendedHeader));
    tag.SetExperimental(version != 2 && (flags & kTagExperimental));
    if (version == 4) {
        tag.SetFooter(flags & kTagFooter);
    } else {
        // Nothing of an earlier version-4 tag may linger in an older one.
        tag.SetFooter(false);
        tag.SetTagIsUpdate(false);
        tag.SetRestrictionsPresent(false);
    }
    if (flags & (version == 4 ? 0x0F : version == 3 ? 0x1F : 0x3F)) {
        result |= kWarnHeaderFlags;
    }
    tag.TagSize = ReadSyncsafe32(header + 6);
    Work.BodySize = tag.TagSize;
    if (Work.TagStart + 10 + int64_t{tag.TagSize} > Work.FileSize) {
        SetErrorCode(result, kTagPastEnd);
        return false;
    }
    FillRing(version != 4 && tag.Unsynchronisation());
    return true;
}

bool ExtendedHeaderV3(uint16_t& result) {
    Tid3v2tag& tag = *Work.CurrentTag;
    tag.Crc = 0;
    if (tag.ExtendedHeader() && Work.Remaining > 10) {
        if (!Take(10)) {
            SetErrorCode(result, kCorrupt);
            return false;
        }
        const uint8_t* ext = Work.ScratchStream->data();
        tag.ExtendedHeaderSize = ReadBigEndian32(ext);
        tag.SetCrcPresent(ext[4] & 0x80);
        if ((ext[4] & 0x7F) != 0 || ext[5] != 0) {
            result |= kWarnExtendedHeader;
        }
        tag.PaddingSize = ReadBigEndian32(ext + 6);
        if (tag.CrcPresent() && tag.ExtendedHeaderSize == 10) {
            if (!Take(4)) {
                SetErrorCode(result, kCorrupt);
                return false;
            }
            tag.Crc = ReadBigEndian32(Work.ScratchStream->data());
        }
    } else {
        tag.ExtendedHeaderSize = 0;
        tag.PaddingSize = 0;
        tag.SetCrcPresent(false);
    }
    tag.Restrictions = 0;
    tag.Modified = 0;
    return true;
}

// The flag data of a version 4 extended header taken whole into `ext` (byte
// positions count from its first size byte): the CRC and the restrictions.
// Every length byte is checked against the size, so nothing past it is read.
bool ReadV4FlagData(Tid3v2tag& tag, const std::vector<uint8_t>& ext, uint32_t size) {
    // p: the length byte of the next flag data.
    size_t p = 5 + size_t{ext[4]};
    const auto skipFlagData = [&](uint8_t minimum) {
        if (p >= size || ext[p] < minimum || p + 1 + ext[p] > size) {
            return false;
        }
        p += 1 + size_t{ext[p]};
        return true;
    };
    if ((ext[5] & 0x80) && !skipFlagData(0)) {
        return false;
    }
    if (tag.TagIsUpdate() && !skipFlagData(0)) {
        return false;
    }
    tag.Crc = 0;
    if (tag.CrcPresent()) {
        const size_t crcAt = p + 1;
        if (!skipFlagData(5)) {
            return false;
        }
        uint64_t crc = 0;
        for (size_t i = crcAt; i < crcAt + 5; ++i) {
            crc = (crc << 7) + ext[i];
        }
        tag.Crc = static_cast<uint32_t>(crc);
    }
    tag.Restrictions = 0;
    if (tag.RestrictionsPresent()) {
        if (p + 1 >= size) {
            return false;
        }
        tag.Restrictions = ext[p + 1];
    }
    return true;
}

bool ExtendedHeaderV4(uint16_t& result) {
    Tid3v2tag& tag = *Work.CurrentTag;
    if (!tag.ExtendedHeader() || Work.Remaining <= 6) {
        tag.ExtendedHeaderSize = 0;
        tag.PaddingSize = 0;
        tag.Crc = 0;
        tag.Restrictions = 0;
        tag.SetTagIsUpdate(false);
        tag.SetCrcPresent(false);
        tag.SetRestrictionsPresent(false);
        tag.Modified = 0;
        return true;
    }
    const auto corrupt = [&result] {
        SetErrorCode(result, kCorrupt);
        return false;
    };
    if (!Take(4)) {
        return corrupt();
    }
    const uint32_t size = ReadSyncsafe32(Work.ScratchStream->data());
    tag.ExtendedHeaderSize = size;
    if (size < 6 || size - 4 > Work.Remaining) {
        return corrupt();
    }
    std::vector<uint8_t> ext(Work.ScratchStream->begin(), Work.ScratchStream->end());
    if (ReadBody(ext, size - 4) != size - 4 || ext[4] == 0) {
        return corrupt();
    }
    tag.PaddingSize = 0;
    const uint8_t flags = ext[5];
    tag.SetTagIsUpdate(flags & kExtUpdate);
    tag.SetCrcPresent(flags & kExtCrc);
    tag.SetRestrictionsPresent(flags & kExtRestrictions);
    if (!ReadV4FlagData(tag, ext, size)) {
        return corrupt();
    }
    if ((flags & 0x8F) != 0 || ext[4] > 1) {
        result |= kWarnExtendedHeader;
    }
    tag.Modified = 0;
    return true;
}

// The extra fields after a frame header, in the order the version stores them.
bool ReadFrameExtras(uint32_t index, uint32_t& size, bool v4) {
    TFrameIndex& frames = Work.CurrentTag->Frames;
    const uint8_t format = frames.State(index, 2);
    const bool grouped = format & kFormatGrouping;
    const bool encrypted = format & kFormatEncryption;
    const bool lengthKnown = format & kFormatDataLength;
    const uint32_t needed = (grouped ? 1 : 0) + (encrypted ? 1 : 0) + (lengthKnown ? 4 : 0);
    if (needed > size) {
        return false;
    }
    size -= needed;
    const auto takeLength = [&] {
        if (!Take(4)) {
            return false;
        }
        const uint8_t* p = Work.ScratchStream->data();
        frames.SetDataLength(index, v4 ? ReadSyncsafe32(p) : ReadBigEndian32(p));
        return true;
    };
    const auto takeByte = [&](void (TFrameIndex::*set)(uint32_t, uint8_t)) {
        if (!Take(1)) {
            return false;
        }
        (frames.*set)(index, Work.ScratchStream->front());
        return true;
    };
    if (v4) {
        return (!grouped || takeByte(&TFrameIndex::SetGroupId)) &&
               (!encrypted || takeByte(&TFrameIndex::SetEncryptionMethod)) &&
               (!lengthKnown || takeLength());
    }
    return (!lengthKnown || takeLength()) &&
           (!encrypted || takeByte(&TFrameIndex::SetEncryptionMethod)) &&
           (!grouped || takeByte(&TFrameIndex::SetGroupId));
}

// The padding that starts with `block` runs to the end of the body; returns
// its size. A version-3 extended header may have declared another size: a
// smaller one stands, a larger one gives way to what the file holds, so that
// no file can make a save write padding it never had.
uint32_t TakePadding(uint16_t& result, const std::vector<uint8_t>& block, bool v4) {
    Tid3v2tag& tag = *Work.CurrentTag;
    const uint32_t length = static_cast<uint32_t>(block.size());
    if (Work.Remaining == 0) {
        tag.PaddingSize = length;
        return length;
    }
    const uint32_t found = length + Work.Remaining;
    Work.Remaining = 0;
    if (v4 || tag.PaddingSize == 0) {
        tag.PaddingSize = found;
    } else if (found != tag.PaddingSize) {
        result |= kWarnPaddingDiffers;
        tag.PaddingSize = std::min(tag.PaddingSize, found);
    }
    return found;
}

// Whether `block` could begin a version-3 frame: an identifier AddFrame takes
// and a size the rest of the body holds.
bool IsV3FrameHeader(const std::vector<uint8_t>& block) {
    const auto idChar = [](uint8_t c) {
        return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
    };
    return block.size() == 10 && std::all_of(block.begin(), block.begin() + 4, idChar) &&
           ReadBigEndian32(&block[4]) <= Work.Remaining;
}

// Bytes after the last frame of a version-3 tag that begin neither padding nor
// a frame: other programs read the frames before them, so they count as
// padding, with a warning, and a save writes zeros in their place.
bool IsJunkAfterFrames(const std::vector<uint8_t>& block, uint8_t version) {
    return version == 3 && Work.CurrentTag->Frames.FrameCount() > 0 && !IsV3FrameHeader(block);
}

// Reads the `size` data bytes of frame `index`. A listing load reads a large
// picture stored plain only as far as its head, which holds its fields unless
// the description is very long, and passes over the image bytes in the file.
bool ReadFrameData(uint32_t index, uint32_t size) {
    TFrameIndex& frames = Work.CurrentTag->Frames;
    std::vector<uint8_t>& data = frames.Data(index);
    constexpr uint32_t kHead = kPageSize;
    constexpr uint8_t kTransformed = kFormatCompression | kFormatEncryption | kFormatUnsync;
    if (!Work.Listing || Work.DeunsyncBody || size <= kRingSize ||
        (frames.State(index, 2) & kTransformed) != 0 || frames.Id(index) != "APIC") {
        return ReadBody(data, size) == size;
    }
    if (ReadBody(data, kHead) != kHead) {
        return false;
    }
    const uint32_t rest = size - kHead;
    if (!ParsePictureData(data)) {
        return ReadBody(data, rest) == rest;
    }
    frames.SetLeftInFile(index, rest);
    return SkipBody(rest) == rest;
}

// One frame whose 10-byte header is `block`: a new entry with its flags,
// extras and data. False when the frame is refused; `result` says why.
bool ReadFrame(uint16_t& result, const std::vector<uint8_t>& block, bool v4) {
    TFrameIndex& frames = Work.CurrentTag->Frames;
    const uint32_t index = frames.AddFrame(std::string(block.begin(), block.begin() + 4));
    if (index == 0) {
        SetErrorCode(result, kBadFrameId);
        return false;
    }
    uint32_t size = v4 ? ReadSyncsafe32(&block[4]) : ReadBigEndian32(&block[4]);
    const int64_t dataOffset = TakenOffset();
    if (size > Work.Remaining || (!v4 && dataOffset + size > 0x10000000)) {
        SetErrorCode(result, kCorrupt);
        return false;
    }
    const uint32_t frameOffset = static_cast<uint32_t>(dataOffset - 10);
    frames.SetFrameOffset(index, frameOffset);
    const uint8_t status = v4 ? block[8] : StatusFromV3(block[8]);
    const uint8_t format = v4 ? block[9] : FormatFromV3(block[9]);
    frames.SetState(index, 1, status);
    frames.SetState(index, 2, format);
    frames.SetWantedFlags(index, 1, status);
    frames.SetWantedFlags(index, 2, format);
    if (!ReadFrameExtras(index, size, v4)) {
        SetErrorCode(result, kCorrupt);
        return false;
    }
    std::vector<uint8_t>& data = frames.Data(index);
    if (!ReadFrameData(index, size)) {
        data.clear();
        SetErrorCode(result, kCorrupt);
        return false;
    }
    return true;
}

// One version 2.2 frame whose 6-byte header (three letters, a 24-bit size, no
// flags) is `block`, entered under its version 3 identifier.
bool ReadFrameV22(uint16_t& result, const std::vector<uint8_t>& block) {
    TFrameIndex& frames = Work.CurrentTag->Frames;
    const std::string id(block.begin(), block.begin() + 3);
    const uint32_t index = frames.AddFrame(FrameIdFromV22(id));
    if (index == 0) {
        SetErrorCode(result, kBadFrameId);
        return false;
    }
    const uint32_t size = (uint32_t{block[3]} << 16) | (uint32_t{block[4]} << 8) | block[5];
    if (size > Work.Remaining) {
        SetErrorCode(result, kCorrupt);
        return false;
    }
    frames.SetFrameOffset(index, static_cast<uint32_t>(TakenOffset() - kV22FrameHeaderSize));
    std::vector<uint8_t>& data = frames.Data(index);
    if (ReadBody(data, size) != size) {
        data.clear();
        SetErrorCode(result, kCorrupt);
        return false;
    }
    if (id == "PIC") {
        PictureFromV22(data);
    }
    return true;
}

// Returns the size of the padding found after the frames, 0 when none.
uint32_t FrameLoop(uint16_t& result, uint8_t version) {
    const Tid3v2tag& tag = *Work.CurrentTag;
    std::vector<uint8_t>& block = *Work.ScratchStream;
    const bool v4 = version == 4;
    const uint32_t headerSize = version == 2 ? kV22FrameHeaderSize : 10;
    uint32_t padding = 0;
    while (Work.Remaining > 0) {
        block.clear();
        ReadBody(block, std::min<uint32_t>(headerSize, Work.Remaining));
        UpdateLoadProgress();
        if (IsPadding(block)) {
            padding = TakePadding(result, block, v4);
            block.clear();
        }
        // Junk after the frames counts as padding, where a version-3 extended
        // header did not declare padding of its own for the last bytes.
        if (!block.empty() && IsJunkAfterFrames(block, version) &&
            (Work.Remaining > 0 || tag.PaddingSize == 0)) {
            result |= kWarnJunkAfterFrames;
            return TakePadding(result, block, v4);
        }
        if (Work.Remaining == 0) {
            // A trailing block that is neither padding nor a whole frame is
            // corrupt, unless a version-3 extended header declared padding.
            if (tag.PaddingSize == 0) {
                SetErrorCode(result, kCorrupt);
            }
            return padding;
        }
        if (block.size() < headerSize) {
            SetErrorCode(result, kCorrupt);
            return padding;
        }
        if (!(version == 2 ? ReadFrameV22(result, block) : ReadFrame(result, block, v4))) {
            return padding;
        }
    }
    return padding;
}

// The tag header is still in the scratch stream when a parser starts; it is
// copied out because the parser reuses the stream for every field it takes.
void ParseBody(uint16_t& result, uint8_t version) {
    std::array<uint8_t, 10> header;
    std::copy_n(Work.ScratchStream->begin(), 10, header.begin());
    // Version 2.2 named a compression but never defined it.
    if (version == 2 && (header[5] & kV22Compression)) {
        SetErrorCode(result, kCompressedTag);
        return;
    }
    if (!StartBody(result, header.data(), version)) {
        return;
    }
    // A version 2.2 tag has no extended header: the version 3 pass, finding
    // none, clears what an earlier tag left.
    if (!(version == 4 ? ExtendedHeaderV4(result) : ExtendedHeaderV3(result))) {
        return;
    }
    Tid3v2tag& tag = *Work.CurrentTag;
    tag.Frames.ClearFrames();
    const uint32_t padding = FrameLoop(result, version);
    // Declared padding the body does not hold is not kept either.
    tag.PaddingSize = std::min(tag.PaddingSize, padding);
}

}  // namespace

void ParseV22(uint16_t& result) {
    ParseBody(result, 2);
}
void ParseV23(uint16_t& result) {
    ParseBody(result, 3);
}
void ParseV24(uint16_t& result) {
    ParseBody(result, 4);
}

bool IsPadding(const std::vector<uint8_t>& block) {
    if (block.size() >= 4 && std::memcmp(block.data(), "MP3e", 4) == 0) {
        return true;
    }
    return std::all_of(block.begin(), block.end(), [](uint8_t b) { return b == 0; });
}

}  // namespace id3v2
