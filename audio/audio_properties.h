// What an MP3 file's audio is: MPEG version, layer, sample rate, channels,
// bitrate, duration, the VBR header and its encoder, and the faults of the
// stream. Reads the first 64 KB of the audio and the last bytes of the file,
// never the whole of a large file.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "audio/byte_source.h"

namespace platform {
class File;
}

namespace audio {

enum class MpegVersion { Mpeg1, Mpeg2, Mpeg25 };
enum class ChannelMode { Stereo, JointStereo, DualChannel, Mono };
enum class VbrHeader { None, Xing, Info, Vbri };

// One fault of a stream, with a plain-English text for a tooltip.
struct Finding {
    enum class Kind {
        JunkBeforeFirstFrame,  // bytes between the tag (or the file's start) and the first frame
        JunkInsideAudio,       // bytes between frames that are no frame and no tag
        VbrWithoutHeader,      // the bitrate varies but no Xing or VBRI header gives the length
        HeaderCountDisagrees,  // the VBR header's frame or byte count is not the stream's
        TruncatedLastFrame,    // the last frame ends past the end of the audio
        Id3v2InsideAudio,      // an ID3v2 tag after the first frame or after the first tag
        ApeTag,                // an APE tag inside or at the end of the audio
    };
    Kind kind;
    int64_t offset = 0;  // where in the file the fault starts
    std::string text;
};

struct AudioProperties {
    // False when no run of MPEG audio frames was found; the fields below
    // then keep their defaults, and the findings may still tell why.
    bool found = false;
    MpegVersion version = MpegVersion::Mpeg1;
    int layer = 0;
    int sampleRate = 0;
    ChannelMode channelMode = ChannelMode::Stereo;
    // Kilobits per second: the frames' bitrate, or the average of a variable stream.
    int bitrateKbps = 0;
    bool variableBitrate = false;
    int64_t durationMs = 0;
    // True when the length comes from a VBR header's frame count or from
    // counting every frame; false when it is estimated from the frames read.
    bool durationExact = false;
    int64_t frameCount = 0;
    VbrHeader vbrHeader = VbrHeader::None;
    std::string encoder{};  // as the LAME/Info header names it ("LAME3.100"), or empty
    int64_t firstFrameOffset = 0;
    std::vector<Finding> findings{};
};

// Where the audio starts: after the ID3v2 tag at the start of the source
// (its footer included), or 0 when there is none.
int64_t AudioStart(const ByteSource& source);

// The properties of the audio that starts at `audioStart`. Read failures of
// a file source reach the caller as platform::ReadError.
AudioProperties ReadAudioProperties(const ByteSource& source, int64_t audioStart);
AudioProperties ReadAudioProperties(const platform::File& file, int64_t audioStart);
// Opens the file (platform::OpenError when it cannot) and finds the audio after its tag.
AudioProperties ReadAudioProperties(const std::string& path);

// A length as "m:ss", or "h:mm:ss" from an hour on; "~" before an estimate.
std::string DurationText(int64_t milliseconds, bool exact = true);
// One line of all the properties for a tooltip, for example "MPEG-1 Layer III,
// 44100 Hz, Joint stereo, 190 kbps VBR, 3:25, Xing header, LAME3.100"; "No
// MPEG audio found" when none was.
std::string Summary(const AudioProperties& properties);
// The findings' texts, one a line; empty when the stream has no fault.
std::string FindingsText(const AudioProperties& properties);

// Names for showing: "MPEG-1", "MPEG-2", "MPEG-2.5"; "Stereo", "Joint stereo",
// "Dual channel", "Mono"; "Xing", "Info", "VBRI", "none".
const char* VersionName(MpegVersion version);
const char* ChannelModeName(ChannelMode mode);
const char* VbrHeaderName(VbrHeader header);

}  // namespace audio
