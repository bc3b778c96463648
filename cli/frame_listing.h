// What `show` tells of each frame of a tag: the frames room's view of it
// (identifier, readable name, kind, values and the fields beside them), so
// the command line names and decodes frames as the tag panel does.
#pragma once

#include <string_view>
#include <vector>

#include "editor/frames/frame_view.h"

namespace cli {

// Every frame of the tag in stored order.
std::vector<frames::TFrameView> DescribeFrames(const Tid3v2tag& tag);

// The kind of a frame as scripts read it: "text", "number_of_total", ...
std::string_view KindName(frames::FrameKind kind);
// Whether frames of the kind carry a description, and a language.
bool HasDescription(frames::FrameKind kind);
bool HasLanguage(frames::FrameKind kind);

}  // namespace cli
