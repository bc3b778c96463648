// Walks the frames of one window of the audio: counts them and their bytes,
// and notes what interrupts them (non-audio bytes, tags, a frame cut short).
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "audio/frame_header.h"

namespace audio {

struct Interruption {
    Finding::Kind kind;
    int64_t offset = 0;  // in the file
    int64_t bytes = 0;   // how many bytes it takes; for a cut frame, how many it has
};

struct FrameRun {
    std::optional<FrameHeader> first;
    int64_t firstOffset = 0;  // in the file; meaningful when `first` is set
    // Where the walk ended: the end of the window's last whole frame, or the
    // start of the frame the window cuts.
    int64_t endOffset = 0;
    int64_t frames = 0;
    int64_t frameBytes = 0;
    // The lowest and highest bitrate of the frames after the first one (the
    // first may hold a VBR header rather than audio).
    int minBitrateKbps = 0;
    int maxBitrateKbps = 0;
    int64_t bitrateSumKbps = 0;
    std::vector<Interruption> interruptions;
};

// Walks `window`, whose first byte is at `offset` in the file. A frame found
// after lost sync must be followed by another (or end the window) before it
// counts, and must belong to `stream` when one is given. When `endsAudio`,
// the window's end is the audio's end: a frame past it is cut short, bytes
// after the last frame are not audio. Reads only inside the window and
// advances at least one byte a step.
FrameRun ScanFrames(std::span<const uint8_t> window, int64_t offset,
                    const std::optional<FrameHeader>& stream, bool endsAudio);

}  // namespace audio
