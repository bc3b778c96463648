// An edited frame view back to frame data for a tag of version 3 or 4, and
// the checks a value must pass first. The reasons are texts a panel or a
// command line shows as they are.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "editor/frames/frame_view.h"

namespace frames {

// Why `value` cannot be a value of frame `id`, or "" when it can: "n" or
// "n/total" for TRCK and TPOS, a whole number for TBPM and the other number
// frames, a timestamp yyyy[-MM[-dd[THH[:mm[:ss]]]]] for the time frames, a
// genre that is not blank, and for every text well-formed UTF-8 without
// U+0000 (a URL in ISO-8859-1 without control characters).
std::string ValueProblem(std::string_view id, std::string_view value);
// Several values of one frame show in one field joined with "; ", which real
// names and titles seldom hold; a field's text splits there back into values.
constexpr std::string_view kValueSeparator = "; ";
std::string JoinValues(const std::vector<std::string>& values);
std::vector<std::string> SplitValues(std::string_view text);
// The first problem of the values a field's text holds, or "" (empty text,
// which removes the frame, has none).
std::string ValuesProblem(std::string_view id, std::string_view text);

// The first problem of the view's values, language and description, or "".
std::string ViewProblem(const TFrameView& view);

struct TEncodedFrame {
    std::vector<uint8_t> data;
    std::string problem;  // empty when `data` is the frame's data
};

// The data of an edited view for a tag of `version`. Texts are ISO-8859-1
// when every character fits, else UTF-8 in version 4 and UTF-16 with byte
// order mark in version 3. Version 4 stores several values separated by zero
// bytes; version 3 joins them into one value with "/" (it has no separator
// of its own, and "/" is what its definition uses for the frames that hold
// several people). Kinds that are not edited give a problem.
TEncodedFrame EncodeFrame(const TFrameView& view, int version);

}  // namespace frames
