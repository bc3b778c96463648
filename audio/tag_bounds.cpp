// Reads the size fields of ID3v2 headers and footers and of APE tags.
#include "audio/tag_bounds.h"

#include <cstring>

namespace audio {
namespace {

constexpr uint8_t kId3v2FooterFlag = 0x10;
constexpr uint32_t kApeHasHeader = 0x80000000u;
constexpr uint32_t kApeIsHeader = 0x20000000u;

uint32_t LittleEndian32(const uint8_t* p) {
    return p[0] | (uint32_t{p[1]} << 8) | (uint32_t{p[2]} << 16) | (uint32_t{p[3]} << 24);
}

// Header and footer share their layout after the three identifying bytes.
std::optional<int64_t> Id3v2Bytes(std::span<const uint8_t> bytes, size_t at, const char* id) {
    if (!HasText(bytes, at, id) || bytes.size() - at < kId3v2HeaderBytes) {
        return std::nullopt;
    }
    const uint8_t* p = bytes.data() + at;
    if (p[3] == 0xFF || p[4] == 0xFF || ((p[6] | p[7] | p[8] | p[9]) & 0x80) != 0) {
        return std::nullopt;
    }
    const int64_t body =
        (int64_t{p[6]} << 21) | (int64_t{p[7]} << 14) | (int64_t{p[8]} << 7) | p[9];
    // Only version 4 has a footer; the bit means nothing in earlier versions.
    const bool footer = p[3] == 4 && (p[5] & kId3v2FooterFlag) != 0;
    return kId3v2HeaderBytes + body + (footer ? kId3v2HeaderBytes : 0);
}

}  // namespace

bool HasText(std::span<const uint8_t> bytes, size_t at, const char* text) {
    const size_t length = std::strlen(text);
    return at <= bytes.size() && length <= bytes.size() - at &&
           std::memcmp(bytes.data() + at, text, length) == 0;
}

std::optional<int64_t> Id3v2TagBytes(std::span<const uint8_t> bytes, size_t at) {
    return Id3v2Bytes(bytes, at, "ID3");
}

std::optional<int64_t> Id3v2FooterTagBytes(std::span<const uint8_t> bytes, size_t at) {
    return Id3v2Bytes(bytes, at, "3DI");
}

std::optional<int64_t> ApeTagBytes(std::span<const uint8_t> bytes, size_t at) {
    if (!HasText(bytes, at, "APETAGEX") || bytes.size() - at < kApeFooterBytes) {
        return std::nullopt;
    }
    // The size counts the items and the footer, not the header.
    const int64_t size = LittleEndian32(bytes.data() + at + 12);
    const uint32_t flags = LittleEndian32(bytes.data() + at + 20);
    if (size < kApeFooterBytes) {
        return std::nullopt;
    }
    if (flags & kApeIsHeader) {
        return kApeFooterBytes + size;
    }
    return size + ((flags & kApeHasHeader) ? kApeFooterBytes : 0);
}

bool IsId3v1(std::span<const uint8_t> bytes, size_t at) {
    return HasText(bytes, at, "TAG") && bytes.size() - at >= kId3v1Bytes;
}

}  // namespace audio
