// The header an encoder writes into the first frame of a stream: Xing (or
// Info for a constant bitrate) with the LAME encoder tag after it, or VBRI.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "audio/frame_header.h"

namespace audio {

struct VbrInfo {
    VbrHeader kind = VbrHeader::None;
    // The counts the header gives: audio frames after the header frame, and
    // the stream's bytes including it.
    std::optional<uint32_t> frames;
    std::optional<uint32_t> bytes;
    std::string encoder;
    // Samples the encoder put before and after the audio (from the LAME tag);
    // a player that knows them leaves them out, and so does the length.
    int encoderDelay = 0;
    int encoderPadding = 0;
};

// Looks for a VBR header in `frame`, the bytes of the first frame (fewer
// when the frame is cut short); kind None when there is none.
VbrInfo ParseVbrHeader(const FrameHeader& header, std::span<const uint8_t> frame);

}  // namespace audio
