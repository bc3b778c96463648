// Puts the properties together. The reading is bounded so that a file of any
// size costs about the same: the first 64 KB of the audio and the last 16 KB
// before the end tags are read and walked frame by frame. A stream that fits
// in those two windows is walked whole, and its frame count is exact. In a
// longer stream the frames between the windows are estimated from the
// average size of the frames walked, unless a VBR header gives the count.
#include "audio/audio_properties.h"

#include <algorithm>

#include "audio/frame_scan.h"
#include "audio/stream_check.h"
#include "audio/tag_bounds.h"
#include "audio/vbr_header.h"
#include "platform/file.h"

namespace audio {
namespace {

constexpr int64_t kHeadWindowBytes = 64 * 1024;
constexpr int64_t kTailWindowBytes = 16 * 1024;
constexpr int64_t kMillisecondsPerSecond = 1000;
// Above any MPEG audio bitrate; only a header that lies about the length gives more.
constexpr int64_t kMaxBitrateKbps = 10000;

struct Walk {
    FrameRun head;
    std::optional<FrameRun> tail;  // none when the head window held the whole audio
};

Walk WalkAudio(const ByteSource& source, int64_t audioStart, int64_t audioEnd) {
    const bool whole = audioEnd - audioStart <= kHeadWindowBytes + kTailWindowBytes;
    const auto head =
        ReadRange(source, audioStart, whole ? audioEnd - audioStart : kHeadWindowBytes);
    Walk walk{ScanFrames(head, audioStart, std::nullopt, whole), std::nullopt};
    if (!whole && walk.head.first) {
        const int64_t tailStart = audioEnd - kTailWindowBytes;
        const auto tail = ReadRange(source, tailStart, kTailWindowBytes);
        walk.tail = ScanFrames(tail, tailStart, walk.head.first, true);
        // The tail window starts inside a frame: the bytes before its first
        // whole frame are no fault.
        std::erase_if(walk.tail->interruptions, [](const Interruption& interruption) {
            return interruption.kind == Finding::Kind::JunkBeforeFirstFrame;
        });
    }
    return walk;
}

// The frames of the stream, the VBR header's frame left out: all of them when
// the walk saw the whole audio, else those walked plus the bytes between the
// windows in frames of the average size walked.
int64_t CountFrames(const Walk& walk, int64_t audioEnd, bool headerFrame) {
    int64_t frames = walk.head.frames;
    if (walk.tail) {
        const FrameRun& tail = *walk.tail;
        const int64_t between =
            std::max<int64_t>(0, (tail.first ? tail.firstOffset : audioEnd) - walk.head.endOffset);
        const int64_t walkedFrames = walk.head.frames + tail.frames;
        const int64_t walkedBytes = walk.head.frameBytes + tail.frameBytes;
        frames += tail.frames + (between * walkedFrames + walkedBytes / 2) / walkedBytes;
    }
    return std::max<int64_t>(0, frames - (headerFrame ? 1 : 0));
}

bool BitrateVaries(const Walk& walk) {
    int low = walk.head.minBitrateKbps;
    int high = walk.head.maxBitrateKbps;
    if (walk.tail && walk.tail->bitrateSumKbps > 0) {
        low = low == 0 ? walk.tail->minBitrateKbps : std::min(low, walk.tail->minBitrateKbps);
        high = std::max(high, walk.tail->maxBitrateKbps);
    }
    return low != high;
}

void AddFindings(const FrameRun& run, bool afterTag, std::vector<Finding>& findings) {
    for (const Interruption& interruption : run.interruptions) {
        findings.push_back(MakeFinding(interruption, afterTag));
    }
}

// The length of `samples`, less the encoder's delay and padding when the
// header gives them and they fit in the stream.
int64_t DurationMs(int64_t samples, const VbrInfo& header, int sampleRate) {
    const int64_t gapless = header.encoderDelay + header.encoderPadding;
    if (gapless < samples) {
        samples -= gapless;
    }
    return (samples * kMillisecondsPerSecond + sampleRate / 2) / sampleRate;
}

}  // namespace

int64_t AudioStart(const ByteSource& source) {
    const auto header = ReadRange(source, 0, kId3v2HeaderBytes);
    return std::min(Id3v2TagBytes(header, 0).value_or(0), source.Size());
}

AudioProperties ReadAudioProperties(const ByteSource& source, int64_t audioStart) {
    AudioProperties properties;
    audioStart = std::clamp<int64_t>(audioStart, 0, source.Size());
    const AudioEnd end = FindAudioEnd(source, audioStart);
    const Walk walk = WalkAudio(source, audioStart, end.offset);
    AddFindings(walk.head, audioStart > 0, properties.findings);
    if (walk.tail) {
        AddFindings(*walk.tail, true, properties.findings);
    }
    for (const Interruption& tag : end.tags) {
        properties.findings.push_back(MakeFinding(tag, true));
    }
    if (!walk.head.first) {
        return properties;
    }

    const FrameHeader& first = *walk.head.first;
    properties.found = true;
    properties.version = first.version;
    properties.layer = first.layer;
    properties.sampleRate = first.sampleRate;
    properties.channelMode = first.channelMode;
    properties.firstFrameOffset = walk.head.firstOffset;

    const auto head = ReadRange(source, walk.head.firstOffset, first.frameBytes);
    const VbrInfo vbr = ParseVbrHeader(first, head);
    properties.vbrHeader = vbr.kind;
    properties.encoder = vbr.encoder;

    const bool headerFrame = vbr.kind != VbrHeader::None;
    const CountedStream counted{CountFrames(walk, end.offset, headerFrame), !walk.tail,
                                end.offset - walk.head.firstOffset};
    const bool headerTrusted = vbr.frames.value_or(0) > 0 && !HeaderDisagrees(vbr, counted);
    if (headerFrame && !headerTrusted && vbr.frames) {
        properties.findings.push_back(HeaderDisagreesFinding(vbr, counted, walk.head.firstOffset));
    }
    properties.frameCount = headerTrusted ? int64_t{*vbr.frames} : counted.frames;
    properties.durationExact = headerTrusted || counted.everyFrameCounted;
    properties.durationMs = DurationMs(properties.frameCount * first.samplesPerFrame,
                                       headerTrusted ? vbr : VbrInfo{}, first.sampleRate);

    properties.variableBitrate = BitrateVaries(walk);
    if (properties.variableBitrate && vbr.kind == VbrHeader::None) {
        properties.findings.push_back(VbrWithoutHeaderFinding(walk.head.firstOffset));
    }
    if (!properties.variableBitrate) {
        properties.bitrateKbps =
            walk.head.frames > 1 ? walk.head.maxBitrateKbps : first.bitrateKbps;
    } else {
        // The stream's bytes, the header frame's too, over the time of every
        // frame: bytes per millisecond times eight are kilobits per second.
        const int64_t streamMs =
            DurationMs((properties.frameCount + (headerFrame ? 1 : 0)) * first.samplesPerFrame,
                       VbrInfo{}, first.sampleRate);
        const int64_t kbps = streamMs > 0 ? (counted.bytes * 8 + streamMs / 2) / streamMs : 0;
        properties.bitrateKbps = static_cast<int>(std::min<int64_t>(kbps, kMaxBitrateKbps));
    }
    return properties;
}

AudioProperties ReadAudioProperties(const platform::File& file, int64_t audioStart) {
    return ReadAudioProperties(FileSource(file), audioStart);
}

AudioProperties ReadAudioProperties(const std::string& path) {
    const platform::File file(path, platform::File::Mode::Read);
    const FileSource source(file);
    return ReadAudioProperties(source, AudioStart(source));
}

const char* VersionName(MpegVersion version) {
    switch (version) {
        case MpegVersion::Mpeg1:
            return "MPEG-1";
        case MpegVersion::Mpeg2:
            return "MPEG-2";
        case MpegVersion::Mpeg25:
            return "MPEG-2.5";
    }
    return "";
}

const char* ChannelModeName(ChannelMode mode) {
    switch (mode) {
        case ChannelMode::Stereo:
            return "Stereo";
        case ChannelMode::JointStereo:
            return "Joint stereo";
        case ChannelMode::DualChannel:
            return "Dual channel";
        case ChannelMode::Mono:
            return "Mono";
    }
    return "";
}

const char* VbrHeaderName(VbrHeader header) {
    switch (header) {
        case VbrHeader::None:
            return "none";
        case VbrHeader::Xing:
            return "Xing";
        case VbrHeader::Info:
            return "Info";
        case VbrHeader::Vbri:
            return "VBRI";
    }
    return "";
}

}  // namespace audio
