// The ID3v2 byte layout, described once for the reader, the writer and the
// tests: number encodings, flag bits and the conversion of frame flags between
// the version 3 and version 4 bit positions (memory always holds version 4).
#pragma once

#include <cstdint>

namespace id3v2 {

// Tag header flags.
constexpr uint8_t kTagUnsync = 0x80;
constexpr uint8_t kTagExtendedHeader = 0x40;
constexpr uint8_t kTagExperimental = 0x20;
constexpr uint8_t kTagFooter = 0x10;

// Version 2.2: the tag header's compression flag, and the frame header's size.
constexpr uint8_t kV22Compression = 0x40;
constexpr uint32_t kV22FrameHeaderSize = 6;

// Extended-header flags (version 4 positions, used in memory for both versions).
constexpr uint8_t kExtUpdate = 0x40;
constexpr uint8_t kExtCrc = 0x20;
constexpr uint8_t kExtRestrictions = 0x10;

// Frame status flags, version 4 positions.
constexpr uint8_t kStatusTagAlter = 0x40;
constexpr uint8_t kStatusFileAlter = 0x20;
constexpr uint8_t kStatusReadOnly = 0x10;

// Frame format flags, version 4 positions.
constexpr uint8_t kFormatGrouping = 0x40;
constexpr uint8_t kFormatCompression = 0x08;
constexpr uint8_t kFormatEncryption = 0x04;
constexpr uint8_t kFormatUnsync = 0x02;
constexpr uint8_t kFormatDataLength = 0x01;

// Version 3 frame format flags.
constexpr uint8_t kV3Compression = 0x80;
constexpr uint8_t kV3Encryption = 0x40;
constexpr uint8_t kV3Grouping = 0x20;

// The largest tag body (28-bit syncsafe size).
constexpr uint32_t kMaxTagBody = 0x0FFFFFFF;
// The furthest tag offset: TagOffset holds 32 bits.
constexpr int64_t kMaxTagOffset = 0xFFFFFFFF;

// Big-endian and syncsafe numbers. The syncsafe reader does not mask top bits:
// callers that must refuse them check the bytes themselves.
inline uint32_t ReadBigEndian32(const uint8_t* p) {
    return (uint32_t{p[0]} << 24) | (uint32_t{p[1]} << 16) | (uint32_t{p[2]} << 8) | p[3];
}
inline uint32_t ReadSyncsafe32(const uint8_t* p) {
    return (uint32_t{p[0]} << 21) + (uint32_t{p[1]} << 14) + (uint32_t{p[2]} << 7) + p[3];
}
inline void WriteBigEndian32(uint8_t* p, uint32_t v) {
    p[0] = static_cast<uint8_t>(v >> 24);
    p[1] = static_cast<uint8_t>(v >> 16);
    p[2] = static_cast<uint8_t>(v >> 8);
    p[3] = static_cast<uint8_t>(v);
}
inline void WriteSyncsafe32(uint8_t* p, uint32_t v) {
    p[0] = static_cast<uint8_t>((v >> 21) & 0x7F);
    p[1] = static_cast<uint8_t>((v >> 14) & 0x7F);
    p[2] = static_cast<uint8_t>((v >> 7) & 0x7F);
    p[3] = static_cast<uint8_t>(v & 0x7F);
}

// A tag header: "ID3", version and revision bytes below 0xFF, and a syncsafe
// size whose four bytes are each below 0x80. The 10 bytes must be readable.
inline bool IsTagHeader(const uint8_t* header) {
    return header[0] == 'I' && header[1] == 'D' && header[2] == '3' && header[3] != 0xFF &&
           header[4] != 0xFF && header[6] < 0x80 && header[7] < 0x80 && header[8] < 0x80 &&
           header[9] < 0x80;
}

// Frame flags between version 3 bytes and version 4 positions.
inline uint8_t StatusFromV3(uint8_t v3) {
    return static_cast<uint8_t>(v3 >> 1);
}
inline uint8_t StatusToV3(uint8_t v4) {
    return static_cast<uint8_t>((v4 << 1) & 0xE0);
}

// The version 3 format bits and the version 4 bits they stand for.
struct FormatBitPair {
    uint8_t v3;
    uint8_t v4;
};
constexpr FormatBitPair kFormatBitPairs[] = {{kV3Compression, kFormatCompression},
                                             {kV3Encryption, kFormatEncryption},
                                             {kV3Grouping, kFormatGrouping}};

// A compressed version 3 frame always carries its decompressed size, which
// version 4 announces with the data length indicator.
inline uint8_t FormatFromV3(uint8_t v3) {
    uint8_t v4 = (v3 & kV3Compression) ? kFormatDataLength : 0;
    for (const FormatBitPair& pair : kFormatBitPairs) {
        if (v3 & pair.v3) {
            v4 |= pair.v4;
        }
    }
    return v4;
}
inline uint8_t FormatToV3(uint8_t v4) {
    uint8_t v3 = 0;
    for (const FormatBitPair& pair : kFormatBitPairs) {
        if (v4 & pair.v4) {
            v3 |= pair.v3;
        }
    }
    return v3;
}

// A zero byte is inserted after 0xFF when the follower is 0x00 or at least 0xE0.
inline bool NeedsUnsyncByte(uint8_t follower) {
    return follower == 0x00 || follower >= 0xE0;
}

}  // namespace id3v2
