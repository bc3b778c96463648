// The four-byte MPEG audio frame header: its fields and the frame's size.
#pragma once

#include <cstdint>
#include <optional>

#include "audio/audio_properties.h"

namespace audio {

struct FrameHeader {
    MpegVersion version = MpegVersion::Mpeg1;
    int layer = 0;
    int bitrateKbps = 0;
    int sampleRate = 0;
    ChannelMode channelMode = ChannelMode::Stereo;
    bool crc = false;
    int frameBytes = 0;       // header included
    int samplesPerFrame = 0;  // per channel
    int sideInfoBytes = 0;    // layer III only, 0 otherwise

    // Whether `other` can be a later frame of the same stream.
    bool SameStream(const FrameHeader& other) const {
        return version == other.version && layer == other.layer && sampleRate == other.sampleRate;
    }
};

// The header at `bytes` (four bytes), or nothing when they are no valid
// header. Free-format frames (bitrate index 0) are refused: their size is not
// in the header.
std::optional<FrameHeader> ParseFrameHeader(const uint8_t* bytes);

}  // namespace audio
