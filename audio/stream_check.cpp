// Finds the end of the audio, compares a VBR header with the stream, and
// words the findings for a tooltip.
#include "audio/stream_check.h"

#include <algorithm>
#include <cstdlib>
#include <string>

#include "audio/tag_bounds.h"

namespace audio {
namespace {

// A VBR header's byte count may leave out or take in a tag or a frame; a
// larger gap means it describes another stream.
constexpr int64_t kByteSlack = 8 * 1024;
constexpr int64_t kByteSlackDivisor = 100;

std::string Bytes(int64_t n) {
    return std::to_string(n) + (n == 1 ? " byte" : " bytes");
}

// Whether the header's byte count is not the stream's, beyond what a tag or a
// frame taken in or left out explains.
bool BytesDisagree(const VbrInfo& header, const CountedStream& stream) {
    const int64_t slack = std::max(kByteSlack, stream.bytes / kByteSlackDivisor);
    return header.bytes && std::abs(int64_t{*header.bytes} - stream.bytes) > slack;
}

}  // namespace

AudioEnd FindAudioEnd(const ByteSource& source, int64_t audioStart) {
    AudioEnd end{source.Size(), {}};
    auto probe = [&](int64_t bytes) {
        const int64_t from = std::max(audioStart, end.offset - bytes);
        return std::pair{from, ReadRange(source, from, end.offset - from)};
    };
    if (const auto [from, bytes] = probe(kId3v1Bytes);
        IsId3v1(bytes, 0) && from + kId3v1Bytes == end.offset) {
        end.offset = from;
    }
    if (const auto [from, bytes] = probe(kId3v2HeaderBytes); bytes.size() == kId3v2HeaderBytes) {
        const auto tag = Id3v2FooterTagBytes(bytes, 0);
        if (tag && *tag <= end.offset - audioStart) {
            end.offset -= *tag;
            end.tags.push_back({Finding::Kind::Id3v2InsideAudio, end.offset, *tag});
        }
    }
    if (const auto [from, bytes] = probe(kApeFooterBytes); bytes.size() == kApeFooterBytes) {
        const auto tag = ApeTagBytes(bytes, 0);
        if (tag && *tag <= end.offset - audioStart) {
            end.offset -= *tag;
            end.tags.push_back({Finding::Kind::ApeTag, end.offset, *tag});
        }
    }
    return end;
}

bool HeaderDisagrees(const VbrInfo& header, const CountedStream& stream) {
    if (stream.everyFrameCounted) {
        return header.frames && std::abs(int64_t{*header.frames} - stream.frames) > 1;
    }
    // The estimate is rough, but a count off by half or double belongs to another stream.
    const int64_t frames = header.frames.value_or(stream.frames);
    return BytesDisagree(header, stream) || frames < stream.frames / 2 ||
           frames > stream.frames * 2;
}

Finding MakeFinding(const Interruption& interruption, bool afterTag) {
    const std::string at = " at byte " + std::to_string(interruption.offset);
    switch (interruption.kind) {
        case Finding::Kind::JunkBeforeFirstFrame:
            return {interruption.kind, interruption.offset,
                    Bytes(interruption.bytes) + (afterTag
                                                     ? " between the tag and the first audio frame."
                                                     : " before the first audio frame.")};
        case Finding::Kind::JunkInsideAudio:
            return {interruption.kind, interruption.offset,
                    Bytes(interruption.bytes) + " that are not audio" + at + "."};
        case Finding::Kind::TruncatedLastFrame:
            return {interruption.kind, interruption.offset,
                    "The last frame" + at + " is cut short: only " + Bytes(interruption.bytes) +
                        " of it are there."};
        case Finding::Kind::Id3v2InsideAudio:
            return {interruption.kind, interruption.offset,
                    "A second ID3v2 tag (" + Bytes(interruption.bytes) + ")" + at +
                        "; this editor shows and edits only the first."};
        case Finding::Kind::ApeTag:
            return {interruption.kind, interruption.offset,
                    "An APE tag (" + Bytes(interruption.bytes) + ")" + at +
                        "; this editor neither shows nor updates it."};
        default:
            return {interruption.kind, interruption.offset, ""};
    }
}

Finding VbrWithoutHeaderFinding(int64_t offset) {
    return {Finding::Kind::VbrWithoutHeader, offset,
            "Variable bitrate without a Xing or VBRI header: players may show a wrong length."};
}

Finding HeaderDisagreesFinding(const VbrInfo& header, const CountedStream& stream, int64_t offset) {
    const std::string name = VbrHeaderName(header.kind);
    const std::string text =
        !stream.everyFrameCounted && BytesDisagree(header, stream)
            ? "The " + name + " header counts " + Bytes(header.bytes.value_or(0)) +
                  ", the stream has " + std::to_string(stream.bytes) + "."
            : "The " + name + " header counts " + std::to_string(header.frames.value_or(0)) +
                  " frames, the stream has " + (stream.everyFrameCounted ? "" : "about ") +
                  std::to_string(stream.frames) + ".";
    return {Finding::Kind::HeaderCountDisagrees, offset,
            text + " Its length is not used; the length comes from the frames."};
}

}  // namespace audio
