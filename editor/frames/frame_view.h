// What a frame of a loaded tag holds, decoded for showing and editing:
// identifier, readable name, kind, values and the fields beside them. Views
// are built in the order the tag stores its frames and never change the tag.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "editor/frames/frame_catalogue.h"

class Tid3v2tag;
class TFrameIndex;

namespace frames {

// The most bytes of a frame decoded for showing: a longer value shows its
// first part, and `size` tells how much the frame holds.
constexpr size_t kShownBytes = 16 * 1024;

struct TFrameView {
    uint32_t stored = 0;  // 1-based place in the tag's frame table; 0 for a new frame
    std::string id;
    std::string name;
    FrameKind kind = FrameKind::Binary;
    std::vector<std::string> values;  // UTF-8; a URL, identifier or comment text is one value
    std::string description;          // TXXX, WXXX, COMM, USLT, APIC
    std::string language;             // COMM, USLT
    std::string owner;                // UFID, PRIV; POPM's e-mail
    int rating = -1;                  // POPM 0..255; -1 for none
    uint64_t playCount = 0;           // POPM
    size_t size = 0;                  // bytes the frame's data holds (a picture's image too)
    bool cut = false;                 // only the first kShownBytes were decoded
    // The frame could not be decoded in full (encrypted, compressed data that
    // does not inflate, an unknown encoding byte, broken characters): what
    // shows is not all it holds.
    bool damaged = false;

    bool operator==(const TFrameView&) const = default;
};

// Frame i of the table as a view; `version` is the tag's major version,
// which decides whether values joined with "/" before version 4 are split.
TFrameView ViewFrame(const TFrameIndex& frames, uint32_t i, int version);
// Every frame of the tag in stored order.
std::vector<TFrameView> ViewFrames(const Tid3v2tag& tag);

}  // namespace frames
