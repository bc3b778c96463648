// Reads the Xing/Info header with its LAME tag, and the VBRI header, from the
// first frame of a layer III stream.
#include "audio/vbr_header.h"

#include "audio/tag_bounds.h"

namespace audio {
namespace {

constexpr uint32_t kXingFrames = 0x01;
constexpr uint32_t kXingBytes = 0x02;
constexpr uint32_t kXingToc = 0x04;
constexpr uint32_t kXingQuality = 0x08;
constexpr size_t kXingTocBytes = 100;
// The encoder's name at the start of the LAME tag ("LAME3.100", "Lavc58.54").
constexpr size_t kEncoderNameBytes = 9;
// Where the LAME tag keeps the encoder delay and padding: two 12-bit numbers.
constexpr size_t kGaplessOffset = 21;
// VBRI sits at a fixed place: 32 bytes after the frame header.
constexpr size_t kVbriOffset = 36;
constexpr size_t kVbriBytes = 26;

uint32_t BigEndian32(const uint8_t* p) {
    return (uint32_t{p[0]} << 24) | (uint32_t{p[1]} << 16) | (uint32_t{p[2]} << 8) | p[3];
}

// The encoder's name when the bytes there read as one: printable ASCII that
// starts with a letter, without the spaces or zeros that pad it.
std::string EncoderName(std::span<const uint8_t> frame, size_t offset) {
    if (offset + kEncoderNameBytes > frame.size() || frame[offset] < 'A' || frame[offset] > 'z') {
        return {};
    }
    std::string name;
    for (size_t i = 0; i < kEncoderNameBytes; ++i) {
        const uint8_t c = frame[offset + i];
        if (c < 0x20 || c > 0x7E) {
            break;
        }
        name.push_back(static_cast<char>(c));
    }
    while (!name.empty() && name.back() == ' ') {
        name.pop_back();
    }
    return name;
}

std::optional<VbrInfo> ParseXing(std::span<const uint8_t> frame, size_t offset) {
    const bool xing = HasText(frame, offset, "Xing");
    if ((!xing && !HasText(frame, offset, "Info")) || offset + 8 > frame.size()) {
        return std::nullopt;
    }
    VbrInfo info;
    info.kind = xing ? VbrHeader::Xing : VbrHeader::Info;
    const uint32_t flags = BigEndian32(frame.data() + offset + 4);
    size_t field = offset + 8;
    if ((flags & kXingFrames) && field + 4 <= frame.size()) {
        info.frames = BigEndian32(frame.data() + field);
        field += 4;
    }
    if ((flags & kXingBytes) && field + 4 <= frame.size()) {
        info.bytes = BigEndian32(frame.data() + field);
        field += 4;
    }
    field += (flags & kXingToc) ? kXingTocBytes : 0;
    field += (flags & kXingQuality) ? 4 : 0;
    info.encoder = EncoderName(frame, field);
    if (!info.encoder.empty() && field + kGaplessOffset + 3 <= frame.size()) {
        const uint8_t* gapless = frame.data() + field + kGaplessOffset;
        info.encoderDelay = (gapless[0] << 4) | (gapless[1] >> 4);
        info.encoderPadding = ((gapless[1] & 0x0F) << 8) | gapless[2];
    }
    return info;
}

std::optional<VbrInfo> ParseVbri(std::span<const uint8_t> frame) {
    if (!HasText(frame, kVbriOffset, "VBRI") || kVbriOffset + kVbriBytes > frame.size()) {
        return std::nullopt;
    }
    VbrInfo info;
    info.kind = VbrHeader::Vbri;
    info.bytes = BigEndian32(frame.data() + kVbriOffset + 10);
    info.frames = BigEndian32(frame.data() + kVbriOffset + 14);
    return info;
}

}  // namespace

VbrInfo ParseVbrHeader(const FrameHeader& header, std::span<const uint8_t> frame) {
    if (header.layer != 3) {
        return {};
    }
    // The Xing header follows the side information, after the CRC when there is one.
    const size_t xingOffset = 4 + static_cast<size_t>(header.sideInfoBytes);
    for (const size_t offset : {xingOffset, xingOffset + 2}) {
        if (const auto info = ParseXing(frame, offset)) {
            return *info;
        }
    }
    if (const auto info = ParseVbri(frame)) {
        return *info;
    }
    return {};
}

}  // namespace audio
