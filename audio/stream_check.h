// The stream check: where the audio ends before the tags at the end of the
// file, and the findings, with their texts, from what the frame walk saw.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "audio/frame_scan.h"
#include "audio/vbr_header.h"

namespace audio {

struct AudioEnd {
    int64_t offset = 0;
    std::vector<Interruption> tags;  // an APE or ID3v2 tag found at the end
};

// Steps back over an ID3v1 record, an ID3v2 tag with a footer and an APE tag
// at the end of the source, never before `audioStart`.
AudioEnd FindAudioEnd(const ByteSource& source, int64_t audioStart);

// What the stream check compares a VBR header with.
struct CountedStream {
    int64_t frames = 0;  // audio frames after the header frame, counted or estimated
    bool everyFrameCounted = false;
    int64_t bytes = 0;  // from the first frame to the audio's end
};

// Whether the header's counts are not the stream's: its frame count against
// a count of every frame (one frame apart is allowed for a frame cut at the
// end); when not every frame was counted, its byte count against the
// stream's bytes and its frame count against the estimate.
bool HeaderDisagrees(const VbrInfo& header, const CountedStream& stream);

Finding MakeFinding(const Interruption& interruption, bool afterTag);
Finding VbrWithoutHeaderFinding(int64_t offset);
Finding HeaderDisagreesFinding(const VbrInfo& header, const CountedStream& stream, int64_t offset);

}  // namespace audio
