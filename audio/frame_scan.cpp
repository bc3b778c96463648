// The frame walk over one window: in sync it steps from frame to frame; when
// sync is lost it skips tags and searches for the next confirmed frame.
#include "audio/frame_scan.h"

#include <algorithm>

#include "audio/tag_bounds.h"

namespace audio {
namespace {

constexpr size_t kHeaderBytes = 4;

class Walker {
  public:
    Walker(std::span<const uint8_t> window, int64_t offset,
           const std::optional<FrameHeader>& stream, bool endsAudio)
        : window_(window), offset_(offset), stream_(stream), endsAudio_(endsAudio) {}

    FrameRun Walk() {
        size_t at = 0;
        bool inSync = false;
        while (at < window_.size()) {
            // A header the window cuts is left to the next window.
            if (!endsAudio_ && window_.size() - at < kHeaderBytes) {
                break;
            }
            if (!inSync) {
                const size_t found = FindFrameOrTag(at);
                if (found > at) {
                    Note(run_.first ? Finding::Kind::JunkInsideAudio
                                    : Finding::Kind::JunkBeforeFirstFrame,
                         at, static_cast<int64_t>(found - at));
                }
                at = found;
                if (at >= window_.size()) {
                    break;
                }
                if (const auto tag = SkipTag(at)) {
                    at = *tag;
                    continue;
                }
            }
            const auto header = HeaderAt(at);
            if (!header) {
                inSync = false;
                continue;
            }
            if (at + static_cast<size_t>(header->frameBytes) > window_.size()) {
                run_.endOffset = offset_ + static_cast<int64_t>(at);
                if (endsAudio_) {
                    Note(Finding::Kind::TruncatedLastFrame, at,
                         static_cast<int64_t>(window_.size() - at));
                }
                return run_;
            }
            Count(*header, at);
            at += static_cast<size_t>(header->frameBytes);
            inSync = true;
        }
        run_.endOffset = offset_ + static_cast<int64_t>(std::min(at, window_.size()));
        return run_;
    }

  private:
    // A header of this stream at `at` with all four bytes in the window.
    std::optional<FrameHeader> HeaderAt(size_t at) const {
        if (at > window_.size() || window_.size() - at < kHeaderBytes) {
            return std::nullopt;
        }
        auto header = ParseFrameHeader(window_.data() + at);
        const auto& stream = stream_ ? stream_ : run_.first;
        if (header && stream && !stream->SameStream(*header)) {
            return std::nullopt;
        }
        return header;
    }

    // Whether a frame at `at` is confirmed: the next header follows it, or it
    // ends at or runs past the window's end.
    bool Confirmed(size_t at) const {
        const auto header = HeaderAt(at);
        if (!header) {
            return false;
        }
        const size_t next = at + static_cast<size_t>(header->frameBytes);
        if (next >= window_.size()) {
            return true;
        }
        const auto following = HeaderAt(next);
        return following && header->SameStream(*following);
    }

    // The first position from `at` on where a confirmed frame or a tag starts,
    // or the window's size when there is none.
    size_t FindFrameOrTag(size_t at) const {
        for (; at < window_.size(); ++at) {
            // Only a frame (0xFF), an ID3v2 tag ('I') or an APE tag ('A') can start here.
            const uint8_t lead = window_[at];
            if (lead != 0xFF && lead != 'I' && lead != 'A') {
                continue;
            }
            if (Confirmed(at) || TagBytes(at)) {
                return at;
            }
        }
        return window_.size();
    }

    std::optional<int64_t> TagBytes(size_t at) const {
        if (const auto id3 = Id3v2TagBytes(window_, at)) {
            return id3;
        }
        return ApeTagBytes(window_, at);
    }

    // Notes the tag at `at` and gives the position after it.
    std::optional<size_t> SkipTag(size_t at) {
        const auto id3 = Id3v2TagBytes(window_, at);
        const auto bytes = id3 ? id3 : ApeTagBytes(window_, at);
        if (!bytes) {
            return std::nullopt;
        }
        Note(id3 ? Finding::Kind::Id3v2InsideAudio : Finding::Kind::ApeTag, at, *bytes);
        const int64_t left = static_cast<int64_t>(window_.size() - at);
        return at + static_cast<size_t>(std::min(*bytes, left));
    }

    void Count(const FrameHeader& header, size_t at) {
        if (!run_.first) {
            run_.first = header;
            run_.firstOffset = offset_ + static_cast<int64_t>(at);
        } else {
            const bool firstBitrate = run_.bitrateSumKbps == 0;
            run_.minBitrateKbps = firstBitrate ? header.bitrateKbps
                                               : std::min(run_.minBitrateKbps, header.bitrateKbps);
            run_.maxBitrateKbps = std::max(run_.maxBitrateKbps, header.bitrateKbps);
            run_.bitrateSumKbps += header.bitrateKbps;
        }
        ++run_.frames;
        run_.frameBytes += header.frameBytes;
    }

    void Note(Finding::Kind kind, size_t at, int64_t bytes) {
        run_.interruptions.push_back({kind, offset_ + static_cast<int64_t>(at), bytes});
    }

    std::span<const uint8_t> window_;
    int64_t offset_;
    const std::optional<FrameHeader>& stream_;
    bool endsAudio_;
    FrameRun run_;
};

}  // namespace

FrameRun ScanFrames(std::span<const uint8_t> window, int64_t offset,
                    const std::optional<FrameHeader>& stream, bool endsAudio) {
    return Walker(window, offset, stream, endsAudio).Walk();
}

}  // namespace audio
