// The tag as written: frame headers of both versions, the extended header, the
// size with its padding, the CRC-32 over what it covers, and writing it out.
#include "id3v2/write/tag_layout.h"

#include <algorithm>

#include "id3v2/frames/crc32.h"
#include "id3v2/frames/layout.h"
#include "id3v2/frames/unsync.h"
#include "id3v2/work_state.h"
#include "id3v2/write/padding.h"
#include "id3v2/write/staged_output.h"

namespace id3v2 {
namespace {

// A version 3 frame header before any unsynchronisation.
std::vector<uint8_t> FrameHeaderV3(const TFrameIndex& frames, uint32_t i) {
    const std::vector<uint8_t>& data = frames.Data(i);
    const uint8_t format = frames.WantedFlags(i, 2);
    // The size field counts the data as the reader sees it, de-unsynchronised.
    uint64_t size = data.size();
    if (frames.IsUnsynchronised(i)) {
        size -= CountResync(data.data(), data.size());
    }
    std::vector<uint8_t> header(10);
    std::copy_n(frames.Id(i).begin(), 4, header.begin());
    header[8] = StatusToV3(frames.WantedFlags(i, 1));
    header[9] = FormatToV3(format);
    if (format & kFormatCompression) {
        header.resize(14);
        WriteBigEndian32(&header[10], frames.DataLength(i));
    }
    if (format & kFormatEncryption) {
        header.push_back(frames.EncryptionMethod(i));
    }
    if (format & kFormatGrouping) {
        header.push_back(frames.GroupId(i));
    }
    WriteBigEndian32(&header[4], static_cast<uint32_t>(size + header.size() - 10));
    return header;
}

// With whole-tag unsynchronisation a version 3 header is unsynchronised together
// with the first data byte, so that a 0xFF ending the header gets its zero byte
// when the data starts with 0x00 or 0xE0+.
void UnsyncHeaderV3(std::vector<uint8_t>& header, const std::vector<uint8_t>& data) {
    const bool follower = !data.empty();
    if (follower) {
        header.push_back(data[0]);
    }
    UnsyncBytes(header);
    if (follower) {
        header.pop_back();
    }
}

std::vector<uint8_t> FrameHeaderV4(const TFrameIndex& frames, uint32_t i) {
    const uint8_t format =
        frames.WantedFlags(i, 2) & (kFormatGrouping | kFormatCompression | kFormatEncryption |
                                    kFormatUnsync | kFormatDataLength);
    std::vector<uint8_t> header(10);
    std::copy_n(frames.Id(i).begin(), 4, header.begin());
    header[8] = frames.WantedFlags(i, 1) & (kStatusTagAlter | kStatusFileAlter | kStatusReadOnly);
    header[9] = format;
    if (format & kFormatGrouping) {
        header.push_back(frames.GroupId(i));
    }
    if (format & kFormatEncryption) {
        header.push_back(frames.EncryptionMethod(i));
    }
    if (format & kFormatDataLength) {
        header.resize(header.size() + 4);
        WriteSyncsafe32(&header[header.size() - 4], frames.DataLength(i));
    }
    WriteSyncsafe32(&header[4], static_cast<uint32_t>(frames.DataSize(i) + header.size() - 10));
    return header;
}

// Folds a frame into the CRC register. Version 3 covers the frames as they
// are before the tag's unsynchronisation, version 4 the frames as written.
void FoldFrameIntoCrc(uint32_t& crc, const std::vector<uint8_t>& header,
                      const std::vector<uint8_t>& data, bool resynchronise) {
    UpdateCrc32(header.data(), header.size(), crc);
    if (resynchronise) {
        std::vector<uint8_t> plain = data;
        ResyncBytes(plain);
        UpdateCrc32(plain.data(), plain.size(), crc);
    } else {
        UpdateCrc32(data.data(), data.size(), crc);
    }
}

// Lays out the frames and folds them into the CRC register when one is wanted.
// A version 3 tag is unsynchronised as one stream: a 0xFF ending a frame's
// data meets the next frame's identifier, which needs no zero, so the zero
// that Unsynchronise put after it is left out (a reader would keep it as
// data); where the frames end, 0xFF gets its zero back.
TagLayout PlanFrames(Tid3v2tag& tag, uint8_t version) {
    TagLayout layout;
    layout.version = version;
    layout.unsync = tag.Unsynchronisation();
    layout.crcPresent = tag.CrcPresent();
    if (layout.crcPresent) {
        tag.Flags |= kTagExtendedHeader;
        tag.Status = "Calculating CRC-32";
    }
    layout.extended = tag.ExtendedHeader();
    const bool unsyncTag = version == 3 && layout.unsync;
    const TFrameIndex& frames = tag.Frames;
    uint8_t lastByte = 0;
    for (uint32_t i = 1; i <= frames.FrameCount(); ++i) {
        const std::vector<uint8_t>& data = frames.Data(i);
        const bool unsyncData = unsyncTag && frames.IsUnsynchronised(i);
        FrameLayout frame{version == 3 ? FrameHeaderV3(frames, i) : FrameHeaderV4(frames, i),
                          data.size()};
        if (layout.crcPresent) {
            FoldFrameIntoCrc(layout.crc, frame.header, data, unsyncData);
        }
        if (unsyncTag) {
            UnsyncHeaderV3(frame.header, data);
        }
        if (unsyncData && EndsInFinalUnsyncZero(data)) {
            --frame.dataSize;
        }
        lastByte = frame.dataSize > 0 ? data[frame.dataSize - 1] : frame.header.back();
        layout.framesSize += frame.header.size() + frame.dataSize;
        layout.frames.push_back(std::move(frame));
    }
    layout.finalZero = unsyncTag && lastByte == 0xFF;
    return layout;
}

// Extended-header size before any unsynchronisation of its fields.
uint32_t ExtendedHeaderBaseSize(const Tid3v2tag& tag, const TagLayout& layout) {
    if (!layout.extended) {
        return 0;
    }
    if (layout.version == 3) {
        return layout.crcPresent ? 14 : 10;
    }
    return 6 + (tag.TagIsUpdate() ? 1 : 0) + (layout.crcPresent ? 6 : 0) +
           (tag.RestrictionsPresent() ? 2 : 0);
}

// Version 3: size, flags, padding size and CRC; when the tag is
// unsynchronised, the padding size and CRC are unsynchronised as one run.
std::vector<uint8_t> ExtendedHeaderV3(const TagLayout& layout) {
    std::vector<uint8_t> bytes(6, 0);
    bytes[3] = layout.crcPresent ? 10 : 6;
    bytes[4] = layout.crcPresent ? 0x80 : 0x00;
    const size_t runStart = bytes.size();
    bytes.resize(runStart + 4);
    WriteBigEndian32(&bytes[runStart], layout.padding);
    if (layout.crcPresent) {
        bytes.resize(runStart + 8);
        WriteBigEndian32(&bytes[runStart + 4], layout.crc);
    }
    if (layout.unsync) {
        const size_t runLength = bytes.size() - runStart;
        const size_t inserted = layout.crcPresent ? CountUnsync(&bytes[runStart], runLength)
                                                  : CountUnsync32(layout.padding);
        bytes.resize(bytes.size() + inserted);
        UnsyncInPlace(&bytes[runStart], runLength);
    }
    return bytes;
}

// Version 4: syncsafe size, one flag byte, then the data of each flag in turn.
std::vector<uint8_t> ExtendedHeaderV4(const Tid3v2tag& tag, const TagLayout& layout) {
    std::vector<uint8_t> bytes(4);
    WriteSyncsafe32(bytes.data(), ExtendedHeaderBaseSize(tag, layout));
    bytes.push_back(0x01);
    bytes.push_back(static_cast<uint8_t>((tag.TagIsUpdate() ? kExtUpdate : 0) |
                                         (layout.crcPresent ? kExtCrc : 0) |
                                         (tag.RestrictionsPresent() ? kExtRestrictions : 0)));
    if (tag.TagIsUpdate()) {
        bytes.push_back(0x00);
    }
    if (layout.crcPresent) {
        const uint32_t crc = layout.crc;
        bytes.insert(
            bytes.end(),
            {0x05, static_cast<uint8_t>(crc >> 28), static_cast<uint8_t>((crc >> 21) & 0x7F),
             static_cast<uint8_t>((crc >> 14) & 0x7F), static_cast<uint8_t>((crc >> 7) & 0x7F),
             static_cast<uint8_t>(crc & 0x7F)});
    }
    if (tag.RestrictionsPresent()) {
        bytes.push_back(0x01);
        bytes.push_back(tag.Restrictions);
    }
    return bytes;
}

std::vector<uint8_t> ExtendedHeaderBytes(const Tid3v2tag& tag, const TagLayout& layout) {
    if (!layout.extended) {
        return {};
    }
    return layout.version == 3 ? ExtendedHeaderV3(layout) : ExtendedHeaderV4(tag, layout);
}

// The version 4 CRC covers the padding too: one zero byte per padding byte.
void FoldPaddingIntoCrc(TagLayout& layout) {
    for (uint64_t left = layout.padding; left > 0;) {
        const size_t piece = static_cast<size_t>(std::min<uint64_t>(left, kStageSize));
        UpdateCrc32(Work.PaddingBlock->data(), piece, layout.crc);
        left -= piece;
    }
}

}  // namespace

TagLayout LayOutTag(Tid3v2tag& tag, uint8_t version, uint64_t fileSize, uint32_t oldSize) {
    TagLayout layout = PlanFrames(tag, version);
    const uint64_t framesEnd = layout.framesSize + (layout.finalZero ? 1 : 0);
    const uint64_t sizeWithoutPadding = 10 + ExtendedHeaderBaseSize(tag, layout) + framesEnd;
    layout.padding = ChoosePadding(tag, fileSize, oldSize, sizeWithoutPadding);
    tag.PaddingSize = layout.padding;
    if (version == 4 && layout.crcPresent) {
        FoldPaddingIntoCrc(layout);
    }
    // The standard CRC-32, the one every other program checks: the register inverted.
    layout.crc ^= 0xFFFFFFFF;
    layout.extendedHeader = ExtendedHeaderBytes(tag, layout);
    layout.size = 10 + layout.extendedHeader.size() + framesEnd + layout.padding;
    return layout;
}

std::vector<uint8_t> RenderTag(const Tid3v2tag& tag, const TagLayout& layout) {
    uint8_t header[10] = {
        'I',
        'D',
        '3',
        layout.version,
        0,
        static_cast<uint8_t>(tag.Flags & (kTagUnsync | kTagExtendedHeader | kTagExperimental))};
    WriteSyncsafe32(header + 6, static_cast<uint32_t>(layout.size - 10));
    std::vector<uint8_t> bytes(header, header + sizeof header);
    bytes.reserve(static_cast<size_t>(layout.size));
    bytes.insert(bytes.end(), layout.extendedHeader.begin(), layout.extendedHeader.end());
    for (uint32_t i = 1; i <= tag.Frames.FrameCount(); ++i) {
        const FrameLayout& frame = layout.frames[i - 1];
        const std::vector<uint8_t>& data = tag.Frames.Data(i);
        bytes.insert(bytes.end(), frame.header.begin(), frame.header.end());
        bytes.insert(bytes.end(), data.begin(),
                     data.begin() + static_cast<ptrdiff_t>(frame.dataSize));
    }
    bytes.resize(static_cast<size_t>(layout.size), 0);  // a final unsync zero, then the padding
    return bytes;
}

}  // namespace id3v2
