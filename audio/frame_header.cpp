// Decodes the MPEG audio frame header from the bitrate and sample-rate tables.
#include "audio/frame_header.h"

#include <array>

namespace audio {
namespace {

// Kilobits per second by bitrate index 1..14.
using BitrateRow = std::array<int, 14>;
constexpr BitrateRow kMpeg1Layer1 = {32,  64,  96,  128, 160, 192, 224,
                                     256, 288, 320, 352, 384, 416, 448};
constexpr BitrateRow kMpeg1Layer2 = {32,  48,  56,  64,  80,  96,  112,
                                     128, 160, 192, 224, 256, 320, 384};
constexpr BitrateRow kMpeg1Layer3 = {32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320};
constexpr BitrateRow kMpeg2Layer1 = {32,  48,  56,  64,  80,  96,  112,
                                     128, 144, 160, 176, 192, 224, 256};
constexpr BitrateRow kMpeg2Layer23 = {8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160};

const BitrateRow& BitrateTable(MpegVersion version, int layer) {
    if (version == MpegVersion::Mpeg1) {
        return layer == 1 ? kMpeg1Layer1 : layer == 2 ? kMpeg1Layer2 : kMpeg1Layer3;
    }
    return layer == 1 ? kMpeg2Layer1 : kMpeg2Layer23;
}

int SampleRate(MpegVersion version, int index) {
    constexpr std::array<int, 3> kMpeg1 = {44100, 48000, 32000};
    const int base = kMpeg1[static_cast<size_t>(index)];
    return version == MpegVersion::Mpeg1   ? base
           : version == MpegVersion::Mpeg2 ? base / 2
                                           : base / 4;
}

int SamplesPerFrame(MpegVersion version, int layer) {
    if (layer == 1) {
        return 384;
    }
    return layer == 3 && version != MpegVersion::Mpeg1 ? 576 : 1152;
}

int FrameBytes(const FrameHeader& header, bool padding) {
    const int bitsPerSecond = header.bitrateKbps * 1000;
    if (header.layer == 1) {
        return (12 * bitsPerSecond / header.sampleRate + (padding ? 1 : 0)) * 4;
    }
    // Bytes per frame: samples per frame / 8 bits, times bitrate over sample rate.
    const int factor = header.samplesPerFrame / 8;
    return factor * bitsPerSecond / header.sampleRate + (padding ? 1 : 0);
}

int SideInfoBytes(MpegVersion version, ChannelMode mode) {
    const bool mono = mode == ChannelMode::Mono;
    if (version == MpegVersion::Mpeg1) {
        return mono ? 17 : 32;
    }
    return mono ? 9 : 17;
}

}  // namespace

std::optional<FrameHeader> ParseFrameHeader(const uint8_t* bytes) {
    if (bytes[0] != 0xFF || (bytes[1] & 0xE0) != 0xE0) {
        return std::nullopt;
    }
    const int versionBits = (bytes[1] >> 3) & 0x03;
    const int layerBits = (bytes[1] >> 1) & 0x03;
    const int bitrateIndex = bytes[2] >> 4;
    const int rateIndex = (bytes[2] >> 2) & 0x03;
    const int emphasis = bytes[3] & 0x03;
    if (versionBits == 1 || layerBits == 0 || bitrateIndex == 0 || bitrateIndex == 15 ||
        rateIndex == 3 || emphasis == 2) {
        return std::nullopt;
    }
    FrameHeader header;
    header.version = versionBits == 3   ? MpegVersion::Mpeg1
                     : versionBits == 2 ? MpegVersion::Mpeg2
                                        : MpegVersion::Mpeg25;
    header.layer = 4 - layerBits;
    header.crc = (bytes[1] & 0x01) == 0;
    header.bitrateKbps = BitrateTable(header.version, header.layer)[bitrateIndex - 1];
    header.sampleRate = SampleRate(header.version, rateIndex);
    header.channelMode = static_cast<ChannelMode>(bytes[3] >> 6);
    header.samplesPerFrame = SamplesPerFrame(header.version, header.layer);
    header.frameBytes = FrameBytes(header, (bytes[2] & 0x02) != 0);
    header.sideInfoBytes =
        header.layer == 3 ? SideInfoBytes(header.version, header.channelMode) : 0;
    return header;
}

}  // namespace audio
